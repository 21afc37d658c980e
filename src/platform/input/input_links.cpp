#include "platform/input/input_links.h"

InputWindowLinks g_inputWindow = {
    [] { return false; },
    [] { return false; },
    [](int* x, int* y) { *x = *y = 0; },
    [] { return WindowlessGeometry(FRAME_SCALE_LINEAR); },
    [] {},
};
