#include "platform/gfx/bmp_rle.h"

#include <cstring>

namespace {

constexpr std::uint8_t ESCAPE_END_OF_LINE = 0;
constexpr std::uint8_t ESCAPE_END_OF_BITMAP = 1;
constexpr std::uint8_t ESCAPE_DELTA = 2;

// Where the decoder stands: x counts pixels along the row, row counts rows in stream
// order (the bottom row first unless the file is top-down). Both stop at the image's
// edge, so that no count can overflow.
struct RleCursor {
    const BmpLayout& layout;
    const BmpPalette& palette;
    std::uint8_t* rgba;
    std::uint32_t x = 0;
    std::uint32_t row = 0;

    bool Done() const { return row >= layout.height; }

    void Put(std::uint8_t index) {
        if (x >= layout.width)
            return;
        const std::uint32_t y = layout.topDown ? row : layout.height - 1 - row;
        std::memcpy(rgba + (std::size_t{y} * layout.width + x) * 4, palette[index], 4);
        ++x;
    }

    void EndLine() {
        x = 0;
        ++row;
    }

    void Move(std::uint8_t dx, std::uint8_t dy) {
        x = x + dx < layout.width ? x + dx : layout.width;
        row = row + dy < layout.height ? row + dy : layout.height;
    }
};

// Pixel i of a run's bytes: a byte each for RLE8, the high nibble first for RLE4.
std::uint8_t RunPixel(const std::uint8_t* bytes, std::uint32_t i, bool fourBits) {
    if (!fourBits)
        return bytes[i];
    const std::uint8_t byte = bytes[i / 2];
    return i % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

} // namespace

void DecodeBmpRle(const std::uint8_t* stream, std::uint32_t length, const BmpLayout& layout,
                  const BmpPalette& palette, std::uint8_t* rgba) {
    const bool fourBits = layout.compression == BMP_RLE4;
    RleCursor cursor{layout, palette, rgba};
    std::uint32_t at = 0;
    while (!cursor.Done() && length - at >= 2) {
        const std::uint8_t count = stream[at];
        const std::uint8_t value = stream[at + 1];
        at += 2;
        if (count > 0) {
            // An encoded run repeats one byte: one index for RLE8, two alternating for RLE4.
            for (std::uint32_t i = 0; i < count; ++i)
                cursor.Put(RunPixel(&value, i % (fourBits ? 2 : 1), fourBits));
            continue;
        }
        if (value == ESCAPE_END_OF_LINE) {
            cursor.EndLine();
        } else if (value == ESCAPE_END_OF_BITMAP) {
            return;
        } else if (value == ESCAPE_DELTA) {
            if (length - at < 2)
                return;
            cursor.Move(stream[at], stream[at + 1]);
            at += 2;
        } else {
            // An absolute run of `value` pixels, padded to a whole 16-bit word.
            const std::uint32_t bytes = fourBits ? (value + 1u) / 2 : value;
            const std::uint32_t there = length - at < bytes ? length - at : bytes;
            const std::uint32_t pixels = there == bytes ? value : (fourBits ? there * 2 : there);
            for (std::uint32_t i = 0; i < pixels; ++i)
                cursor.Put(RunPixel(stream + at, i, fourBits));
            at += there;
            if (there < bytes)
                return;
            if (bytes % 2 != 0 && at < length)
                ++at;
        }
    }
}
