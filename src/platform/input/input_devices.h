// The keyboard and mouse devices, read as DirectInput reads them in non-exclusive
// foreground mode: states are available only while the game window has the focus.
// For automation the devices can take injected states instead of the system's.
#pragma once

#include "platform/win_types.h"

#include <cstdint>

constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);

enum InputDeviceKind {
    INPUT_DEVICE_KEYBOARD,
    INPUT_DEVICE_MOUSE,
};

// Creates the device on the game window; false when there is no window system.
bool CreateInputDevice(InputDeviceKind kind);
void ReleaseInputDevice(InputDeviceKind kind);
bool HasInputDevice(InputDeviceKind kind);
// Fails while the window has no focus.
HRESULT AcquireInputDevice(InputDeviceKind kind);
void UnacquireInputDevice(InputDeviceKind kind);

// 256 bytes indexed by DirectInput key code; high bit set: down.
// DIERR_NOTACQUIRED when the device is not acquired (the state is left as it was).
HRESULT GetKeyboardDeviceState(std::uint8_t keys[256]);
// Relative axes and four button bytes (high bit set: down).
HRESULT GetMouseDeviceState(std::int32_t* dx, std::int32_t* dy, std::int32_t* dz,
                            std::uint8_t buttons[4]);

// The pointer position in screen coordinates.
void GetCursorScreenPosition(int* x, int* y);

// Injection: while on, the devices report only injected keys and buttons, the
// pointer position is the injected one, and the devices count as acquired.
void SetInputInjection(bool on);
void InjectCursorPosition(int x, int y);
void InjectMouseButton(int button, bool down); // 0 left, 1 right, 2 middle
void InjectKey(int directInputKey, bool down);
// Wheel notches for the next read of the mouse: positive away from the player.
void InjectMouseWheel(int notches);
