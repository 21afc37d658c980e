#include "app/game_main.h"

#include "app/command_line.h"
#include "app/frame_states.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/save_game.h"
#include "app/settings.h"
#include "app/settings_overlay.h"
#include "app/text_pace.h"
#include "archive/archive.h"
#include "core/frame_clock.h"
#include "render/render_setup.h"
#include "scene/note.h"
#include "sound/direct_sound.h"
#include "sound/sound_effects.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/device_output.h"
#include "platform/audio/null_output.h"
#include "platform/clock/frame_pacer.h"
#include "platform/gfx/device.h"
#include "platform/gfx/screenshot_file.h"
#include "platform/input/key_codes.h"
#include "platform/process_memory.h"
#include "platform/system/window_system.h"
#include "platform/window/message_box.h"
#include "platform/window/window.h"

#include <cstdio>
#include <string>

namespace {

bool s_quitRequested = false;
bool s_screenshotWanted = false;

// The frame the last Present showed, as the player saw it inside the window.
void SaveFrameScreenshot() {
    const std::uint8_t* frame = GetCapturedFrame();
    if (!frame)
        return;
    std::string error;
    const std::string path = SaveScreenshot(frame, GAME_FRAME_WIDTH, GAME_FRAME_HEIGHT, &error);
    if (path.empty()) {
        std::fprintf(stderr, "tavelle: screenshot not saved: %s\n", error.c_str());
        ShowNote("Screenshot not saved");
    } else {
        std::fprintf(stderr, "tavelle: screenshot saved as %s\n", path.c_str());
        ShowNote(("Screenshot: " + path.substr(path.rfind('/') + 1)).c_str());
    }
}

// One frame when frames may run, with the screenshot the player asked for.
void RunPacedFrame() {
    if (s_screenshotWanted)
        SetPresentCapture(true);
    const int presented = RunFrame();
    if (s_screenshotWanted) {
        if (presented)
            SaveFrameScreenshot();
        SetPresentCapture(false);
        s_screenshotWanted = false;
    }
    WaitForNextFrame();
}

void UpdateWindowPosition() {
    int x = 0, y = 0;
    GetWindowOuterPosition(&x, &y);
    g_windowPosX = static_cast<float>(x);
    g_windowPosY = static_cast<float>(y);
}

} // namespace

void HandleWindowEvent(const WindowEvent& event) {
    switch (event.type) {
    case WINDOW_EVENT_QUIT:
        s_quitRequested = true;
        break;
    case WINDOW_EVENT_MOVE:
        UpdateWindowPosition();
        break;
    case WINDOW_EVENT_MINIMIZED:
        g_windowActive = 0;
        break;
    case WINDOW_EVENT_RESTORED:
        g_windowActive = 1;
        break;
    case WINDOW_EVENT_SCREENSHOT:
        s_screenshotWanted = true;
        break;
    case WINDOW_EVENT_KEYDOWN:
        // Escape closes the program in every state, except that it closes an open backlog.
        if (!(event.repeat && event.key == DIK_F10) && SettingsOverlayKey(event.key))
            break;
        if (event.key == DIK_ESCAPE)
            s_quitRequested = !CloseBacklogByEscape();
        // A held F5 or F9 saves or loads once: repeats would overwrite the backup too.
        else if (event.key == DIK_F5 && !event.repeat)
            RequestQuickSave();
        else if (event.key == DIK_F9 && !event.repeat)
            RequestLoad();
        break;
    default:
        break;
    }
}

bool IsQuitRequested() {
    return s_quitRequested;
}

bool StartupGame() {
    s_quitRequested = false;
    FixLargeAllocationThreshold();
    if (!InitWindowSystem() ||
        !CreatePlatformWindow("Tavelle ver.1.03", SCREEN_WIDTH, SCREEN_HEIGHT)) {
        ShowMessageBox("ウィンドウを作成できません（ディスプレイがありません）", "ERROR",
                       MB_OWNER_NONE);
        return false;
    }
    UpdateWindowPosition();
    g_windowActive = 1;
    if (FAILED(InitDirect3D()))
        return false;
    InitDirectMusic();
    InitDirectSound();
    InitKeyboard();
    InitMouse();
    InitRenderStates();
    return true;
}

void ShutdownGame() {
    ReleaseInput();
    StopAndUnloadSoundEffects();
    CloseDirectMusic();
    ReleaseLoadingTexture();
    ReleaseDirect3D();
    QuitWindowSystem();
}

int GameMain(int argc, char** argv) {
    LoadSettings();
    LaunchOptions options;
    SettingsToLaunchOptions(g_settings, &options);
    const int parsed = ParseCommandLine(argc, argv, &options, stdout, stderr);
    if (parsed != LAUNCH_RUN)
        return parsed;
    std::string error;
    if (!EnterDataFolder(options, InstalledDataDir(), &error)) {
        std::fprintf(stderr, "tavelle: %s\n", error.c_str());
        return LAUNCH_EXIT_FAILED;
    }
    SetArchiveFolderForced(options.unpacked);
    // Without a display the game would run unseen for ever: say so and stop.
    if (!InitWindowSystem()) {
        std::fputs("no display (DISPLAY/WAYLAND_DISPLAY unset or unreachable)\n", stderr);
        return LAUNCH_EXIT_FAILED;
    }
    ApplyLaunchOptions(options);
    ApplyTextSettings(g_settings);
    InitSettingsOverlay(options);
    SetFrameRateCap(options.fps);
    // A muted game opens no sound device at all.
    ChooseAudioOutput(options.mute ? GetNullOutput() : GetDeviceOutput());

    if (!StartupGame()) {
        std::fputs("tavelle: the game could not start (no window or no OpenGL 3.3 device)\n",
                   stderr);
        ShutdownGame();
        return LAUNCH_EXIT_FAILED;
    }
    while (!s_quitRequested) {
        if (PeekWindowEvent())
            HandleWindowEvent(GetWindowEvent());
        else if (g_windowActive == 1)
            RunPacedFrame();
        else
            WaitWindowEvent();
    }
    WriteAutomaticSave();
    ShutdownGame();
    return 0;
}
