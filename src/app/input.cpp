#include "app/input.h"

#include "core/frame_clock.h"
#include "core/frame_state.h"
#include "field/cursor_pick.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"

#include "platform/input/input_devices.h"

#include <cstring>

namespace {

// A device that keeps reporting a lost input is given up on for this frame rather
// than retried without end.
constexpr int MAX_REACQUIRE_TRIES = 16;

void RecoverDevice(InputDeviceKind kind, HRESULT readResult) {
    if (readResult != DIERR_INPUTLOST && readResult != DIERR_NOTACQUIRED)
        return;
    for (int tries = 0; tries < MAX_REACQUIRE_TRIES; ++tries) {
        if (AcquireInputDevice(kind) != DIERR_INPUTLOST)
            break;
    }
}

void LatchScenarioPointer(int x, int y) {
    g_cursorQuad.v[0].x = static_cast<float>(x);
    g_cursorQuad.v[0].y = static_cast<float>(y - 64);
    g_cursorQuad.v[1].x = static_cast<float>(x + 64);
    g_cursorQuad.v[1].y = static_cast<float>(y - 64);
    g_cursorQuad.v[2].x = static_cast<float>(x + 64);
    g_cursorQuad.v[2].y = static_cast<float>(y);
    g_cursorQuad.v[3].x = static_cast<float>(x);
    g_cursorQuad.v[3].y = static_cast<float>(y);
    ClampQuad(&g_cursorQuad, g_screenRect.left, g_screenRect.top, g_screenRect.right,
              g_screenRect.bottom);
}

// The pick works on the transforms the device holds, as the scene was drawn with them.
void PickFieldPoint(int x, int y) {
    Matrix view, projection;
    g_pD3DDevice->GetTransform(TS_PROJECTION, &projection);
    g_pD3DDevice->GetTransform(TS_VIEW, &view);
    UpdatePickedPoint(view, projection, x, y);
}

} // namespace

bool InitKeyboard() {
    if (!CreateInputDevice(INPUT_DEVICE_KEYBOARD))
        return false;
    AcquireInputDevice(INPUT_DEVICE_KEYBOARD);
    return true;
}

bool InitMouse() {
    if (!CreateInputDevice(INPUT_DEVICE_MOUSE))
        return false;
    AcquireInputDevice(INPUT_DEVICE_MOUSE);
    return true;
}

void ReadInputDevices() {
    if (HasInputDevice(INPUT_DEVICE_MOUSE)) {
        const HRESULT hr = GetMouseDeviceState(&g_mouseState.x, &g_mouseState.y, &g_mouseState.z,
                                               g_mouseState.buttons);
        RecoverDevice(INPUT_DEVICE_MOUSE, hr);
    }
    if (HasInputDevice(INPUT_DEVICE_KEYBOARD)) {
        const HRESULT hr = GetKeyboardDeviceState(g_keyState);
        RecoverDevice(INPUT_DEVICE_KEYBOARD, hr);
    }
}

void ResetInputState() {
    g_screenRect = IntRect{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
    std::memset(g_buttonDown, 0, sizeof g_buttonDown);
}

void LatchInput() {
    for (int i = 0; i < 3; ++i)
        g_buttonDown[i] = (g_mouseState.buttons[i] & 0x80) ? 1 : 0;

    int sx = 0, sy = 0;
    GetCursorScreenPosition(&sx, &sy);
    // The window's outer corner, not the client origin: everything that tests
    // against the pointer shares this offset.
    const int ox = static_cast<int>(g_windowPosX);
    const int oy = static_cast<int>(g_windowPosY);

    if (g_frameNo == FRAME_SCENARIO)
        LatchScenarioPointer(sx - ox, sy - oy);
    else
        PickFieldPoint(sx - ox, sy - oy - PICK_ROWS_ABOVE_POINTER);

    if (g_buttonDown[0] == 0) {
        g_clickArmed = true;
    } else if (g_clickArmed) {
        g_clickLatch = true;
        g_clickArmed = false;
    }
}

void ReleaseInput() {
    for (InputDeviceKind kind : {INPUT_DEVICE_KEYBOARD, INPUT_DEVICE_MOUSE}) {
        if (HasInputDevice(kind)) {
            UnacquireInputDevice(kind);
            ReleaseInputDevice(kind);
        }
    }
}
