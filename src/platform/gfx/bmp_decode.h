// BMP files to RGBA texels: 1-, 4-, 8-, 16-, 24- and 32-bit, bit fields, RLE8 and RLE4,
// bottom-up or top-down. The headers are checked before any pixel is read: a file whose
// rows are cut short, whose header is broken, whose depth and compression do not belong
// together, with a side above IMAGE_MAX_SIDE, or with more pixels than its compressed
// stream could paint is refused. A compressed stream is decoded within its bytes; what
// it does not reach stays transparent black.
#pragma once

#include <cstdint>
#include <vector>

struct DecodedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // FMT_P8 up to 8 bits; FMT_X1R5G5B5, FMT_R5G6B5 or, with an alpha mask, FMT_A1R5G5B5;
    // FMT_R8G8B8; FMT_X8R8G8B8, or FMT_A8R8G8B8 when some pixel's alpha is not zero.
    std::uint32_t fileFormat = 0;
    std::vector<std::uint8_t> rgba; // width × height × 4, top row first
};

// size may exceed the file: the bytes past it are read as the file's own, as pixels
// or as a compressed stream. colorKey: ARGB texels equal to it become transparent
// black (0 = no key). oneBitAlpha: alpha becomes 0 or 255 (A1R5G5B5 textures).
bool DecodeBmp(const void* data, std::uint32_t size, std::uint32_t colorKey, bool oneBitAlpha,
               DecodedImage* image);
