#include "platform/gfx/gfx_links.h"

GfxWindowLinks g_gfxWindow = {
    [] { return WindowlessGeometry(FRAME_SCALE_LINEAR); },
};
