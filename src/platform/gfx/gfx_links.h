// What the graphics device learns from the window. The platform's start-up
// (platform/system) fills the record, so that gfx includes nothing of the window's;
// until then the frame is presented as if the window were exactly its size.
#pragma once

#include "platform/frame_fit.h"

struct GfxWindowLinks {
    // The window's size, its drawable size and the scaling, read at each present.
    WindowGeometry (*geometry)();
};

extern GfxWindowLinks g_gfxWindow;
