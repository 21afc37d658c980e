#include "app/game_main.h"

#include "app/input.h"
#include "app/main_loop.h"
#include "render/render_setup.h"
#include "sound/direct_sound.h"
#include "sound/sound_effects.h"

#include "platform/input/key_codes.h"
#include "platform/window/message_box.h"

int g_windowActive = 0;
float g_windowPosX = 0.0f;
float g_windowPosY = 0.0f;

namespace {

bool s_quitRequested = false;

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
    case WINDOW_EVENT_KEYDOWN:
        // Escape closes the program in every state.
        if (event.key == DIK_ESCAPE)
            s_quitRequested = true;
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
    if (!InitWindowSystem() || !CreatePlatformWindow("Tavelle ver.1.03", 1024, 768)) {
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
    ReleaseDirect3D();
    QuitWindowSystem();
}

int GameMain() {
    if (!StartupGame())
        return 0;
    while (!s_quitRequested) {
        if (PeekWindowEvent()) {
            HandleWindowEvent(GetWindowEvent());
        } else if (g_windowActive == 1) {
            RunFrame();
            SleepMilliseconds(1);
        } else {
            WaitWindowEvent();
        }
    }
    ShutdownGame();
    return 0;
}
