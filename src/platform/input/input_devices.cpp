#include "platform/input/input_devices.h"

#include "platform/input/gamepad.h"
#include "platform/input/input_events.h"
#include "platform/input/input_links.h"
#include "platform/input/key_codes.h"
#include "platform/input/press_latch.h"
#include "platform/input/sdl_key_map.h"

#include <SDL.h>

#include <cstring>

namespace {

// Left, right, middle and the fourth button, in the device's button order.
PressLatch s_buttonLatches[4];

int LatchIndexOfMouseButton(Uint8 button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return 0;
    case SDL_BUTTON_RIGHT:
        return 1;
    case SDL_BUTTON_MIDDLE:
        return 2;
    case SDL_BUTTON_X1:
        return 3;
    default:
        return -1;
    }
}

struct DeviceRecord {
    bool exists;
    bool acquired;
};

DeviceRecord s_devices[2];

struct InjectedInput {
    bool on;
    int cursorX, cursorY;
    std::uint8_t buttons[4];
    std::uint8_t keys[256];
    int wheel;
};

// Keys that went down since the last read: a key pressed and let go between two frames
// (a quick tap, a page's synthetic press) is still seen down for one frame.
bool s_keyTapped[256];

// Wheel notches turned since the last read, away from the player positive.
int s_wheelNotches = 0;
// DirectInput reports one notch as this much relative z.
constexpr int WHEEL_DELTA = 120;

InjectedInput s_injected;

bool ReadyToRead(InputDeviceKind kind) {
    DeviceRecord& device = s_devices[kind];
    if (!device.exists)
        return false;
    if (!s_injected.on && !g_inputWindow.isFocused())
        device.acquired = false;
    return device.acquired;
}

} // namespace

bool CreateInputDevice(InputDeviceKind kind) {
    if (!s_injected.on && !g_inputWindow.hasWindow())
        return false;
    s_devices[kind].exists = true;
    s_devices[kind].acquired = false;
    return true;
}

void ReleaseInputDevice(InputDeviceKind kind) {
    s_devices[kind] = DeviceRecord{};
}

bool HasInputDevice(InputDeviceKind kind) {
    return s_devices[kind].exists;
}

HRESULT AcquireInputDevice(InputDeviceKind kind) {
    DeviceRecord& device = s_devices[kind];
    if (!device.exists)
        return E_FAIL;
    if (!s_injected.on && !g_inputWindow.isFocused())
        return E_FAIL; // another window has the foreground
    device.acquired = true;
    return S_OK;
}

void UnacquireInputDevice(InputDeviceKind kind) {
    s_devices[kind].acquired = false;
}

HRESULT GetKeyboardDeviceState(std::uint8_t keys[256]) {
    if (!ReadyToRead(INPUT_DEVICE_KEYBOARD))
        return DIERR_NOTACQUIRED;
    if (s_injected.on) {
        std::memcpy(keys, s_injected.keys, 256);
        return S_OK;
    }
    int count = 0;
    const Uint8* sdlKeys = SDL_GetKeyboardState(&count);
    FillDirectInputKeyState(sdlKeys, count, keys);
    for (int key = 0; key < 256; ++key) {
        if (s_keyTapped[key])
            keys[key] = 0x80;
        s_keyTapped[key] = false;
    }
    // Fullscreen and screenshot keys belong to the program around the game.
    keys[DIK_F11] = 0;
    keys[DIK_F12] = 0;
    // The gamepad's Start, held long enough, reloads as F1 does.
    if (TakeGamepadReload())
        keys[DIK_F1] = 0x80;
    AddGamepadKeys(keys);
    return S_OK;
}

HRESULT GetMouseDeviceState(std::int32_t* dx, std::int32_t* dy, std::int32_t* dz,
                            std::uint8_t buttons[4]) {
    if (!ReadyToRead(INPUT_DEVICE_MOUSE))
        return DIERR_NOTACQUIRED;
    if (s_injected.on) {
        *dx = 0;
        *dy = 0;
        *dz = s_injected.wheel * WHEEL_DELTA;
        s_injected.wheel = 0;
        std::memcpy(buttons, s_injected.buttons, 4);
        return S_OK;
    }
    int rx = 0, ry = 0;
    SDL_GetRelativeMouseState(&rx, &ry);
    *dx = rx;
    *dy = ry;
    *dz = s_wheelNotches * WHEEL_DELTA;
    s_wheelNotches = 0;
    UpdateGamepad();
    for (int i = 0; i < 4; ++i)
        buttons[i] = ReadPressLatch(&s_buttonLatches[i]) ? 0x80 : 0;
    return S_OK;
}

// The game takes the pointer relative to the window's outer corner; it is given the
// frame pixel under the pointer plus that corner, whatever the window's size, the
// bars around the picture, and the window system (Wayland has no global position).
void GetCursorScreenPosition(int* x, int* y) {
    if (s_injected.on) {
        *x = s_injected.cursorX;
        *y = s_injected.cursorY;
        return;
    }
    int frameX = 0, frameY = 0;
    if (!GetGamepadPointer(&frameX, &frameY))
        GetMousePointerInFrame(&frameX, &frameY);
    int outerX = 0, outerY = 0;
    g_inputWindow.outerPosition(&outerX, &outerY);
    *x = frameX + outerX;
    *y = frameY + outerY;
}

void GetMousePointerInFrame(int* x, int* y) {
    int windowX = 0, windowY = 0;
    SDL_GetMouseState(&windowX, &windowY);
    const WindowGeometry geometry = g_inputWindow.geometry();
    MapWindowPointToFrame(windowX, windowY, geometry.windowWidth, geometry.windowHeight,
                          geometry.drawableWidth, geometry.drawableHeight, geometry.mode, x, y);
}

void NoteButton(int button, bool down) {
    if (button < 0 || button >= 4)
        return;
    if (down)
        NotePress(&s_buttonLatches[button]);
    else
        NoteRelease(&s_buttonLatches[button]);
}

void HandleInputEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        NoteButton(LatchIndexOfMouseButton(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEMOTION:
        ReleaseGamepadPointer();
        break;
    case SDL_KEYDOWN:
        if (const int key = DirectInputKeyFromScancode(event.key.keysym.scancode))
            s_keyTapped[key] = true;
        break;
    case SDL_MOUSEWHEEL:
        s_wheelNotches +=
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        break;
    default:
        HandleGamepadEvent(event);
        break;
    }
}

void ClearInputLatches() {
    for (PressLatch& latch : s_buttonLatches)
        ClearPressLatch(&latch);
    std::memset(s_keyTapped, 0, sizeof s_keyTapped);
    ClearGamepadState();
}

void SetInputInjection(bool on) {
    s_injected = InjectedInput{};
    s_injected.on = on;
}

void InjectCursorPosition(int x, int y) {
    s_injected.cursorX = x;
    s_injected.cursorY = y;
}

void InjectMouseWheel(int notches) {
    s_injected.wheel += notches;
}

void InjectMouseButton(int button, bool down) {
    if (button >= 0 && button < 4)
        s_injected.buttons[button] = down ? 0x80 : 0;
}

void InjectKey(int directInputKey, bool down) {
    if (directInputKey >= 0 && directInputKey < 256)
        s_injected.keys[directInputKey] = down ? 0x80 : 0;
}

void OpenGamepadSupport() {
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER))
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void CloseGamepadSupport() {
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) {
        CloseGamepads();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
}
