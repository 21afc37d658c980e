// PNG files to RGBA pixels, for the author's game folders: a picture saved by today's
// tools stands in for the bitmap the game reads. Builds that carry no PNG decoder say
// so instead of decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PngPixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba; // width × height × 4, top row first
};

// Any PNG (palette, grey, 16-bit, with or without transparency) as 8-bit RGBA. Sides
// above maxSide are refused before any pixel is allocated. false, with why in *error,
// for a broken or cut-short file.
bool DecodePng(const std::uint8_t* data, std::size_t size, std::uint32_t maxSide, PngPixels* pixels,
               std::string* error);
