// BMP files to RGBA texels, checked before any pixel is read: a file that is cut short,
// has a broken header, an unsupported depth or compression, or a side above
// IMAGE_MAX_SIDE is refused.
#pragma once

#include <cstdint>
#include <vector>

struct DecodedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t fileFormat = 0;   // FMT_R8G8B8, FMT_X8R8G8B8, FMT_P8 ...
    std::vector<std::uint8_t> rgba; // width × height × 4, top row first
};

// size may exceed the file. colorKey: ARGB texels equal to it become transparent
// black (0 = no key). oneBitAlpha: alpha becomes 0 or 255 (A1R5G5B5 textures).
bool DecodeBmp(const void* data, std::uint32_t size, std::uint32_t colorKey, bool oneBitAlpha,
               DecodedImage* image);
