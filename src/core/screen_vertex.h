// Screen-space quads: four pre-transformed vertices in triangle-fan order
// (0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left).
#pragma once

#include <cstdint>

// x, y in pixels (y down), z, reciprocal w, ARGB colour, texture coordinates. 28 bytes.
struct ScreenVertex {
    float x, y, z, rhw;
    std::uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(ScreenVertex) == 28, "screen vertices are 28 bytes");

constexpr std::uint32_t SCREEN_VERTEX_FVF = 0x144; // XYZRHW | DIFFUSE | TEX1

struct ScreenQuad {
    ScreenVertex v[4];
};
