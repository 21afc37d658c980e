#include "app/settings_overlay.h"

#include "app/settings.h"
#include "app/text_pace.h"
#include "core/frame_clock.h"
#include "core/input_state.h"
#include "scene/panel.h"

#include "platform/input/input_devices.h"
#include "platform/window/window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

enum SettingsLine {
    LINE_FULLSCREEN,
    LINE_SCALE,
    LINE_MUSIC,
    LINE_EFFECTS,
    LINE_MUTE,
    LINE_TEXT_SPEED,
    LINE_AUTO_PAUSE,
    LINE_CLOSE,
    LINE_COUNT,
};

constexpr int VOLUME_STEP = 10;
constexpr int AUTO_PAUSE_STEP = 15;
constexpr const char* SCALE_LABELS[] = {"linear", "nearest", "integer"};
constexpr const char* SPEED_LABELS[] = {"slower", "normal", "faster", "instant"};
constexpr int LINE_TEXT_SIZE = 48;

LaunchOptions s_run;
bool s_open = false;
int s_line = 0;
bool s_leftWasDown = false;

int Cycle(int value, int step, int count) {
    return (value + step + count) % count;
}

// Changes one line by a step (-1 or +1), in the run and in the settings file.
void ChangeLine(int line, int step) {
    switch (line) {
    case LINE_FULLSCREEN:
        g_settings.fullscreen = s_run.fullscreen = !s_run.fullscreen;
        if (IsWindowFullscreen() != s_run.fullscreen)
            ToggleWindowFullscreen();
        break;
    case LINE_SCALE:
        s_run.scaleMode = static_cast<FrameScaleMode>(Cycle(s_run.scaleMode, step, 3));
        g_settings.scaleMode = s_run.scaleMode;
        SetWindowLaunchChoices(IsWindowFullscreen(), s_run.scaleMode);
        break;
    case LINE_MUSIC:
        g_settings.musicVolume = s_run.musicVolume =
            std::clamp(s_run.musicVolume + step * VOLUME_STEP, 0, 100);
        break;
    case LINE_EFFECTS:
        g_settings.effectsVolume = s_run.effectsVolume =
            std::clamp(s_run.effectsVolume + step * VOLUME_STEP, 0, 100);
        break;
    case LINE_MUTE:
        g_settings.mute = s_run.mute = !s_run.mute;
        break;
    case LINE_TEXT_SPEED:
        g_settings.textSpeed = g_textSpeed = Cycle(g_textSpeed, step, TEXT_SPEED_COUNT);
        break;
    case LINE_AUTO_PAUSE:
        g_settings.autoPauseFrames = g_autoPauseFrames =
            std::clamp(g_autoPauseFrames + step * AUTO_PAUSE_STEP, AUTO_PAUSE_MIN_FRAMES,
                       AUTO_PAUSE_MAX_FRAMES);
        break;
    default:
        s_open = false;
        return;
    }
    ApplyLaunchOptions(s_run);
    StoreSettings();
}

void LineText(int line, char (&text)[LINE_TEXT_SIZE]) {
    switch (line) {
    case LINE_FULLSCREEN:
        std::snprintf(text, sizeof text, "Fullscreen      %s", s_run.fullscreen ? "on" : "off");
        break;
    case LINE_SCALE:
        std::snprintf(text, sizeof text, "Scaling         %s", SCALE_LABELS[s_run.scaleMode]);
        break;
    case LINE_MUSIC:
        std::snprintf(text, sizeof text, "Music volume    %d%%", s_run.musicVolume);
        break;
    case LINE_EFFECTS:
        std::snprintf(text, sizeof text, "Effects volume  %d%%", s_run.effectsVolume);
        break;
    case LINE_MUTE:
        std::snprintf(text, sizeof text, "Mute            %s", s_run.mute ? "on" : "off");
        break;
    case LINE_TEXT_SPEED:
        std::snprintf(text, sizeof text, "Text speed      %s", SPEED_LABELS[g_textSpeed]);
        break;
    case LINE_AUTO_PAUSE:
        std::snprintf(text, sizeof text, "Auto pause      %.2f s", g_autoPauseFrames / 60.0);
        break;
    default:
        std::snprintf(text, sizeof text, "Close");
        break;
    }
}

} // namespace

void InitSettingsOverlay(const LaunchOptions& run) {
    s_run = run;
    s_open = false;
    s_line = 0;
}

bool IsSettingsOverlayOpen() {
    return s_open;
}

bool SettingsOverlayKey(int key) {
    if (key == DIK_F10) {
        s_open = !s_open;
        return true;
    }
    if (!s_open)
        return false;
    switch (key) {
    case DIK_ESCAPE:
        s_open = false;
        break;
    case DIK_UP:
        s_line = Cycle(s_line, -1, LINE_COUNT);
        break;
    case DIK_DOWN:
        s_line = Cycle(s_line, 1, LINE_COUNT);
        break;
    case DIK_LEFT:
        ChangeLine(s_line, -1);
        break;
    case DIK_RIGHT:
    case DIK_RETURN:
    case DIK_SPACE:
        ChangeLine(s_line, 1);
        break;
    default:
        break;
    }
    return true;
}

void TakeSettingsOverlayInput() {
    if (!s_open)
        return;
    const bool leftDown = (g_mouseState.buttons[0] & 0x80) != 0;
    if (leftDown && !s_leftWasDown) {
        int x = 0, y = 0;
        GetCursorScreenPosition(&x, &y);
        x -= static_cast<int>(g_windowPosX);
        y -= static_cast<int>(g_windowPosY);
        const int line = PanelLineAt(LINE_COUNT, x, y);
        if (line >= 0) {
            s_line = line;
            ChangeLine(line, 1);
        }
    }
    s_leftWasDown = leftDown;
    std::memset(g_mouseState.buttons, 0, sizeof g_mouseState.buttons);
    g_mouseState.z = 0;
    std::memset(g_keyState, 0, sizeof g_keyState);
}

void DrawSettingsOverlay() {
    if (!s_open)
        return;
    char texts[LINE_COUNT][LINE_TEXT_SIZE];
    const char* lines[LINE_COUNT];
    for (int k = 0; k < LINE_COUNT; ++k) {
        LineText(k, texts[k]);
        lines[k] = texts[k];
    }
    DrawPanel("Settings (F10)", lines, LINE_COUNT, s_line);
}
