// Screen-space quads: four pre-transformed vertices in triangle-fan order
// (0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left).
#pragma once

#include "platform/gfx/device.h"

#include <cstdint>

// x, y in pixels (y down), z, reciprocal w, ARGB colour, texture coordinates.
using ScreenVertex = GfxScreenVertex;

constexpr std::uint32_t SCREEN_VERTEX_FVF = 0x144; // XYZRHW | DIFFUSE | TEX1

struct ScreenQuad {
    ScreenVertex v[4];
};
