#include "platform/input/gamepad.h"

#include "platform/frame_fit.h"
#include "platform/input/input_events.h"
#include "platform/input/input_links.h"
#include "platform/input/key_codes.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int MAX_GAMEPADS = 4;
// Full deflection crosses the frame's width in about a second.
constexpr double POINTER_SPEED = 1024.0;
constexpr double DEAD_ZONE = 0.2;
constexpr double RELOAD_HOLD_SECONDS = 1.0;
// The right stick pushed this far up or down holds the up or down arrow (the backlog's
// scroll); each push is one step.
constexpr double SCROLL_DEFLECTION = 0.5;
// A stalled frame moves the pointer no further than this much time would.
constexpr double MAX_STEP_SECONDS = 0.1;

struct GamepadState {
    SDL_GameController* pads[MAX_GAMEPADS];
    bool pointerActive;
    double pointerX, pointerY;
    std::uint64_t lastUpdate;
    bool startDown, backDown;
    std::uint64_t startPressedAt;
    bool reloadDone;
    bool reloadPending;
    bool buttonDown[SDL_CONTROLLER_BUTTON_MAX];
    int scrollKey; // the arrow the right stick holds, 0 for none
};

// The buttons that stand for keys: held while the button is, and each press also comes
// as that key's press, so the settings overlay and the backlog answer the pad.
struct ButtonKey {
    SDL_GameControllerButton button;
    int key;
};

constexpr ButtonKey BUTTON_KEYS[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, DIK_UP},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, DIK_DOWN},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, DIK_LEFT},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, DIK_RIGHT},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, DIK_PRIOR},     // the backlog, a page back
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, DIK_LCONTROL}, // skipping read text
    {SDL_CONTROLLER_BUTTON_Y, DIK_A},                    // automatic advance
    {SDL_CONTROLLER_BUTTON_BACK, DIK_F10},               // the settings
};

GamepadState s_pad;

// SDL announces every pad, those plugged in before start-up included, with an
// added event; a pad announced twice is opened once.
void OpenPad(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex))
        return;
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (SDL_GameController* pad : s_pad.pads) {
        if (pad && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id)
            return;
    }
    for (SDL_GameController*& pad : s_pad.pads) {
        if (!pad) {
            pad = SDL_GameControllerOpen(deviceIndex);
            return;
        }
    }
}

void ClosePad(SDL_JoystickID id) {
    for (SDL_GameController*& pad : s_pad.pads) {
        if (pad && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id) {
            SDL_GameControllerClose(pad);
            pad = nullptr;
        }
    }
}

double AxisValue(SDL_GameController* pad, SDL_GameControllerAxis axis) {
    return SDL_GameControllerGetAxis(pad, axis) / 32767.0;
}

void HandleButton(Uint8 button, bool down) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
        NoteButton(0, down);
        break;
    case SDL_CONTROLLER_BUTTON_B:
        NoteButton(1, down);
        break;
    case SDL_CONTROLLER_BUTTON_START:
        s_pad.startDown = down;
        s_pad.startPressedAt = SDL_GetPerformanceCounter();
        s_pad.reloadDone = false;
        break;
    case SDL_CONTROLLER_BUTTON_BACK:
        s_pad.backDown = down;
        break;
    default:
        break;
    }
    if (button < SDL_CONTROLLER_BUTTON_MAX)
        s_pad.buttonDown[button] = down;
    if (down && s_pad.startDown && s_pad.backDown)
        g_inputWindow.postQuit();
}

} // namespace

void CloseGamepads() {
    for (SDL_GameController*& pad : s_pad.pads) {
        if (pad)
            SDL_GameControllerClose(pad);
        pad = nullptr;
    }
}

int GamepadButtonKey(int button) {
    for (const ButtonKey& pair : BUTTON_KEYS) {
        if (pair.button == button)
            return pair.key;
    }
    return 0;
}

void AddGamepadKeys(std::uint8_t keys[256]) {
    for (const ButtonKey& pair : BUTTON_KEYS) {
        if (s_pad.buttonDown[pair.button])
            keys[pair.key] = 0x80;
    }
    if (s_pad.scrollKey)
        keys[s_pad.scrollKey] = 0x80;
}

void HandleGamepadEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        OpenPad(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        ClosePad(event.cdevice.which);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        HandleButton(event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
        break;
    default:
        break;
    }
}

void UpdateGamepad() {
    const std::uint64_t now = SDL_GetPerformanceCounter();
    const double frequency = static_cast<double>(SDL_GetPerformanceFrequency());
    const double step =
        s_pad.lastUpdate ? std::min((now - s_pad.lastUpdate) / frequency, MAX_STEP_SECONDS) : 0.0;
    s_pad.lastUpdate = now;

    double x = 0.0, y = 0.0, scroll = 0.0;
    for (SDL_GameController* pad : s_pad.pads) {
        if (pad) {
            x += AxisValue(pad, SDL_CONTROLLER_AXIS_LEFTX);
            y += AxisValue(pad, SDL_CONTROLLER_AXIS_LEFTY);
            scroll += AxisValue(pad, SDL_CONTROLLER_AXIS_RIGHTY);
        }
    }
    s_pad.scrollKey =
        scroll < -SCROLL_DEFLECTION ? DIK_UP : (scroll > SCROLL_DEFLECTION ? DIK_DOWN : 0);
    const double length = std::hypot(x, y);
    if (length > DEAD_ZONE) {
        if (!s_pad.pointerActive) {
            int mouseX = 0, mouseY = 0;
            GetMousePointerInFrame(&mouseX, &mouseY);
            s_pad.pointerX = mouseX;
            s_pad.pointerY = mouseY;
            s_pad.pointerActive = true;
        }
        // Past the dead zone the speed grows with the square of the deflection, for
        // fine aiming near the centre.
        const double strength = std::min((length - DEAD_ZONE) / (1.0 - DEAD_ZONE), 1.0);
        const double speed = POINTER_SPEED * strength * strength * step / length;
        s_pad.pointerX = std::clamp(s_pad.pointerX + x * speed, 0.0, GAME_FRAME_WIDTH - 1.0);
        s_pad.pointerY = std::clamp(s_pad.pointerY + y * speed, 0.0, GAME_FRAME_HEIGHT - 1.0);
    }

    if (s_pad.startDown && !s_pad.backDown && !s_pad.reloadDone &&
        (now - s_pad.startPressedAt) / frequency >= RELOAD_HOLD_SECONDS) {
        s_pad.reloadDone = true;
        s_pad.reloadPending = true;
    }
}

bool GetGamepadPointer(int* x, int* y) {
    if (!s_pad.pointerActive)
        return false;
    *x = static_cast<int>(s_pad.pointerX);
    *y = static_cast<int>(s_pad.pointerY);
    return true;
}

void ReleaseGamepadPointer() {
    s_pad.pointerActive = false;
}

bool TakeGamepadReload() {
    const bool pending = s_pad.reloadPending;
    s_pad.reloadPending = false;
    return pending;
}

void ClearGamepadState() {
    s_pad.startDown = false;
    s_pad.backDown = false;
    s_pad.reloadPending = false;
    std::memset(s_pad.buttonDown, 0, sizeof s_pad.buttonDown);
    s_pad.scrollKey = 0;
}
