#include "core/input_state.h"

MouseState g_mouseState;
std::uint8_t g_keyState[256];
std::uint8_t g_buttonDown[3];
bool g_clickArmed = false;
bool g_clickLatch = false;
IntRect g_screenRect;
ScreenQuad g_cursorQuad;
