#include "platform/gfx/bmp_decode.h"

#include "platform/gfx/bmp_layout.h"
#include "platform/gfx/bmp_rle.h"
#include "platform/gfx/device.h"

#include <cstring>

namespace {

// One channel of a packed pixel, scaled from its field's width to 0..255.
struct Field {
    std::uint32_t mask = 0;
    std::uint32_t shift = 0;
    std::uint64_t top = 0; // the field's largest value

    explicit Field(std::uint32_t m) : mask(m) {
        if (mask == 0)
            return;
        while (((mask >> shift) & 1) == 0)
            ++shift;
        top = mask >> shift;
    }

    std::uint8_t Read(std::uint32_t pixel) const {
        if (top == 0)
            return 0;
        const std::uint64_t value = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((value * 255 + top / 2) / top);
    }
};

void ReadPalette(const std::uint8_t* bytes, const BmpLayout& layout, BmpPalette* palette) {
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint8_t* entry = (*palette)[i];
        entry[0] = entry[1] = entry[2] = 0;
        entry[3] = 255;
        if (i >= layout.paletteCount)
            continue;
        const std::uint8_t* bgr = bytes + layout.paletteOffset + i * layout.paletteEntryBytes;
        entry[0] = bgr[2];
        entry[1] = bgr[1];
        entry[2] = bgr[0];
    }
}

void DecodeIndexedRow(const std::uint8_t* row, const BmpLayout& layout, const BmpPalette& palette,
                      std::uint8_t* out) {
    const std::uint32_t perByte = 8 / layout.bits;
    const std::uint32_t valueMask = (1u << layout.bits) - 1;
    for (std::uint32_t x = 0; x < layout.width; ++x) {
        const std::uint32_t shift = 8 - layout.bits * (x % perByte + 1);
        const std::uint32_t index = (row[x / perByte] >> shift) & valueMask;
        std::memcpy(out + 4 * x, palette[index], 4);
    }
}

// Returns whether some pixel of the row has a non-zero alpha field.
bool DecodePackedRow(const std::uint8_t* row, const BmpLayout& layout, const Field (&fields)[4],
                     std::uint8_t* out) {
    bool alpha = false;
    for (std::uint32_t x = 0; x < layout.width; ++x) {
        std::uint32_t pixel;
        if (layout.bits == 16) {
            pixel = static_cast<std::uint32_t>(row[2 * x] | row[2 * x + 1] << 8);
        } else {
            const std::uint8_t* p = row + 4 * x;
            pixel = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                    static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
        }
        for (int c = 0; c < 4; ++c)
            out[4 * x + c] = fields[c].Read(pixel);
        alpha = alpha || out[4 * x + 3] != 0;
    }
    return alpha;
}

// Returns whether some pixel has a non-zero alpha field.
bool DecodeRows(const std::uint8_t* bytes, const BmpLayout& layout, const BmpPalette& palette,
                std::uint8_t* rgba) {
    const std::size_t rowBytes = (std::size_t{layout.width} * layout.bits + 31) / 32 * 4;
    const Field fields[4] = {Field(layout.masks[0]), Field(layout.masks[1]), Field(layout.masks[2]),
                             Field(layout.masks[3])};
    bool alpha = false;
    for (std::uint32_t r = 0; r < layout.height; ++r) {
        const std::uint8_t* row = bytes + layout.pixelOffset + r * rowBytes;
        const std::uint32_t y = layout.topDown ? r : layout.height - 1 - r;
        std::uint8_t* out = rgba + std::size_t{y} * layout.width * 4;
        if (layout.bits <= 8) {
            DecodeIndexedRow(row, layout, palette, out);
        } else if (layout.bits == 24) {
            for (std::uint32_t x = 0; x < layout.width; ++x) {
                out[4 * x] = row[3 * x + 2];
                out[4 * x + 1] = row[3 * x + 1];
                out[4 * x + 2] = row[3 * x];
                out[4 * x + 3] = 255;
            }
        } else if (DecodePackedRow(row, layout, fields, out)) {
            alpha = true;
        }
    }
    return alpha;
}

// The format the file's pixels are in, as the texture loader reports it.
std::uint32_t FileFormat(const BmpLayout& layout, bool alpha) {
    switch (layout.bits) {
    case 32:
        return alpha ? FMT_A8R8G8B8 : FMT_X8R8G8B8;
    case 24:
        return FMT_R8G8B8;
    case 16:
        if (layout.hasAlphaMask)
            return FMT_A1R5G5B5;
        return layout.masks[1] == 0x07E0 ? FMT_R5G6B5 : FMT_X1R5G5B5;
    default:
        return FMT_P8;
    }
}

void ApplyColorKey(std::uint32_t colorKey, bool oneBitAlpha, std::vector<std::uint8_t>* rgba) {
    const std::uint8_t key[4] = {
        static_cast<std::uint8_t>(colorKey >> 16), static_cast<std::uint8_t>(colorKey >> 8),
        static_cast<std::uint8_t>(colorKey), static_cast<std::uint8_t>(colorKey >> 24)};
    for (std::size_t i = 0; i < rgba->size(); i += 4) {
        std::uint8_t* t = &(*rgba)[i];
        if (colorKey != 0 && std::memcmp(t, key, 4) == 0) {
            std::memset(t, 0, 4);
            continue;
        }
        if (oneBitAlpha)
            t[3] = t[3] >= 128 ? 255 : 0;
    }
}

} // namespace

bool DecodeBmp(const void* data, std::uint32_t size, std::uint32_t colorKey, bool oneBitAlpha,
               DecodedImage* image) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    BmpLayout layout;
    if (!bytes || !image || !ReadBmpLayout(bytes, size, &layout))
        return false;
    BmpPalette palette;
    ReadPalette(bytes, layout, &palette);
    image->width = layout.width;
    image->height = layout.height;
    image->rgba.assign(std::size_t{layout.width} * layout.height * 4, 0);
    bool alpha = true;
    if (layout.compression == BMP_RLE8 || layout.compression == BMP_RLE4) {
        DecodeBmpRle(bytes + layout.pixelOffset, layout.pixelBytes, layout, palette,
                     image->rgba.data());
    } else {
        alpha = DecodeRows(bytes, layout, palette, image->rgba.data());
    }
    image->fileFormat = FileFormat(layout, alpha);
    // A file whose alpha fields are zero everywhere was not written with alpha in mind.
    if (!alpha) {
        for (std::size_t i = 3; i < image->rgba.size(); i += 4)
            image->rgba[i] = 255;
    }
    ApplyColorKey(colorKey, oneBitAlpha, &image->rgba);
    return true;
}
