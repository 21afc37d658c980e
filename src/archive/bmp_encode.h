// The one bitmap form every loader of the game takes: BI_RGB, rows bottom first.
#pragma once

#include <cstdint>
#include <vector>

// pixels: width × height × channels bytes, top row first, R G B (A). Three channels
// give a 24-bit file; four a 32-bit one whose fourth byte is the pixel's alpha.
std::vector<std::uint8_t> EncodeBmp(int width, int height, const std::uint8_t* pixels,
                                    int channels);
