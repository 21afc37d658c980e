// What a BMP file's headers say about its pixels, checked against the bytes given:
// Windows 3 and later headers (40, 52, 56, 108 and 124 bytes), the OS/2 core header
// (12 bytes) and the OS/2 2.x header (16 or 64 bytes).
#pragma once

#include <cstdint>

constexpr std::uint32_t BMP_RGB = 0;
constexpr std::uint32_t BMP_RLE8 = 1;
constexpr std::uint32_t BMP_RLE4 = 2;
constexpr std::uint32_t BMP_BITFIELDS = 3;

struct BmpLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;
    std::uint32_t bits = 0;
    std::uint32_t compression = BMP_RGB;
    std::uint32_t masks[4] = {}; // red, green, blue, alpha: depths 16 and 32
    bool hasAlphaMask = false;   // written by the file, not the default of its depth
    std::uint32_t paletteOffset = 0;
    std::uint32_t paletteEntryBytes = 4;
    std::uint32_t paletteCount = 0; // entries inside the bytes, at most 2^bits
    std::uint32_t pixelOffset = 0;
    // Uncompressed: all rows lie inside the bytes. Compressed: the stream's length, the
    // stated image size, or what follows the pixel offset when that is not stated.
    std::uint32_t pixelBytes = 0;
};

// False for a file that is not a BMP, is cut before its pixels, has a side of 0 or above
// IMAGE_MAX_SIDE, a depth and compression that do not belong together, or a compressed
// stream too short to paint the pixels it declares, even with runs of the greatest
// length (a picture left mostly transparent by deltas and early ends, which no encoder
// writes at that size, is refused with it).
bool ReadBmpLayout(const std::uint8_t* bytes, std::uint32_t size, BmpLayout* layout);
