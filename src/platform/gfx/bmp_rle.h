// The run-length compressions of 8- and 4-bit BMP files.
#pragma once

#include "platform/gfx/bmp_layout.h"

#include <cstdint>

// Colours of palette entries as RGBA bytes; every index has one (black past the file's).
using BmpPalette = std::uint8_t[256][4];

// Decodes the stream of an RLE8 or RLE4 file into rgba (width × height × 4 bytes, top row
// first), which holds transparent black beforehand. Pixels the stream skips with a delta
// or an early end of line or bitmap stay transparent black, and so does everything after
// a stream that stops without its end-of-bitmap code. Pixels that a run puts past the end
// of its row, or rows past the last one, are dropped.
void DecodeBmpRle(const std::uint8_t* stream, std::uint32_t length, const BmpLayout& layout,
                  const BmpPalette& palette, std::uint8_t* rgba);
