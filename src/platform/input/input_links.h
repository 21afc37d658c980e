// What the input devices learn from the window. The platform's start-up
// (platform/system) fills the record, so that input includes nothing of the window's;
// until then there is no window: nothing focused, the frame at the screen's corner.
#pragma once

#include "platform/frame_fit.h"

struct InputWindowLinks {
    bool (*hasWindow)();
    bool (*isFocused)();
    // The window's outer top-left corner in screen coordinates.
    void (*outerPosition)(int* x, int* y);
    WindowGeometry (*geometry)();
    // Quits as closing the window would.
    void (*postQuit)();
};

extern InputWindowLinks g_inputWindow;
