// The input every subsystem reads: the device states read once per frame, and the
// per-frame latch that turns them into buttons, the click latch and the pointer quad.
#pragma once

#include "core/screen_vertex.h"

#include "platform/input/key_codes.h"
#include "platform/win_types.h"

#include <cstdint>

struct MouseState {
    std::int32_t x, y, z;
    std::uint8_t buttons[4]; // high bit set: down
};

extern MouseState g_mouseState;
extern std::uint8_t g_keyState[256]; // by DirectInput key code; high bit set: down
extern std::uint8_t g_buttonDown[3]; // left, right, middle; latched once per frame
extern bool g_clickArmed;
extern bool g_clickLatch; // set by a press after a release; cleared only by [l]
extern IntRect g_screenRect;
extern ScreenQuad g_cursorQuad;
