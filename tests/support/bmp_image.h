// Small in-memory bitmaps for the tests and benchmarks that draw.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct GfxTexture;

// The bytes of a 24-bit BMP file; texel gives 0xRRGGBB for (x, y), y = 0 the top row.
std::vector<std::uint8_t> MakeBmp24(int w, int h,
                                    const std::function<std::uint32_t(int x, int y)>& texel);

// A texture made from BMP bytes the way the game loads its pictures (magenta is
// transparent), in the given format; null when it cannot be made.
GfxTexture* TextureFromBmp(const std::vector<std::uint8_t>& bmp, std::uint32_t format);
