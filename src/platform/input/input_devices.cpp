#include "platform/input/input_devices.h"

#include "platform/input/sdl_key_map.h"
#include "platform/window/window.h"

#include <SDL.h>

#include <cstring>

namespace {

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
};

InjectedInput s_injected;

bool ReadyToRead(InputDeviceKind kind) {
    DeviceRecord& device = s_devices[kind];
    if (!device.exists)
        return false;
    if (!s_injected.on && !IsWindowFocused())
        device.acquired = false;
    return device.acquired;
}

} // namespace

bool CreateInputDevice(InputDeviceKind kind) {
    if (!s_injected.on && !GetMainWindowHandle())
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
    if (!s_injected.on && !IsWindowFocused())
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
    return S_OK;
}

HRESULT GetMouseDeviceState(std::int32_t* dx, std::int32_t* dy, std::int32_t* dz,
                            std::uint8_t buttons[4]) {
    if (!ReadyToRead(INPUT_DEVICE_MOUSE))
        return DIERR_NOTACQUIRED;
    *dz = 0;
    if (s_injected.on) {
        *dx = 0;
        *dy = 0;
        std::memcpy(buttons, s_injected.buttons, 4);
        return S_OK;
    }
    int rx = 0, ry = 0;
    SDL_GetRelativeMouseState(&rx, &ry);
    *dx = rx;
    *dy = ry;
    const Uint32 mask = SDL_GetGlobalMouseState(nullptr, nullptr);
    buttons[0] = (mask & SDL_BUTTON_LMASK) ? 0x80 : 0;
    buttons[1] = (mask & SDL_BUTTON_RMASK) ? 0x80 : 0;
    buttons[2] = (mask & SDL_BUTTON_MMASK) ? 0x80 : 0;
    buttons[3] = (mask & SDL_BUTTON_X1MASK) ? 0x80 : 0;
    return S_OK;
}

void GetCursorScreenPosition(int* x, int* y) {
    if (s_injected.on) {
        *x = s_injected.cursorX;
        *y = s_injected.cursorY;
        return;
    }
    SDL_GetGlobalMouseState(x, y);
}

void SetInputInjection(bool on) {
    s_injected = InjectedInput{};
    s_injected.on = on;
}

void InjectCursorPosition(int x, int y) {
    s_injected.cursorX = x;
    s_injected.cursorY = y;
}

void InjectMouseButton(int button, bool down) {
    if (button >= 0 && button < 4)
        s_injected.buttons[button] = down ? 0x80 : 0;
}

void InjectKey(int directInputKey, bool down) {
    if (directInputKey >= 0 && directInputKey < 256)
        s_injected.keys[directInputKey] = down ? 0x80 : 0;
}
