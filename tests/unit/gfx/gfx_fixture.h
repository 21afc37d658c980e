// A window, the device, its targets and effects, once per test program; frames are
// read back from Present.
#pragma once

#include "bmp_image.h"

#include "platform/gfx/device.h"

#include <cstdint>
#include <vector>

bool InitGfxFixture();

struct Pixel {
    int r, g, b, a;
};

// Presents the back buffer and returns the captured frame (1024 × 768 RGBA).
const std::uint8_t* PresentFrame();
Pixel PixelAt(const std::uint8_t* frame, int x, int y);

// A bottom-up 24-bit BMP of w × h, texel (x, y) from the top-left given as 0xRRGGBB.
