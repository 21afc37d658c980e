#include "platform/gfx/bmp_layout.h"

#include "platform/gfx/texture_loader.h"

namespace {

constexpr std::uint32_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t CORE_HEADER_SIZE = 12;
constexpr std::uint32_t INFO_HEADER_SIZE = 40;
// The longest run one two-byte code of an RLE8 or RLE4 stream paints.
constexpr std::uint64_t RLE_MOST_PIXELS_PER_RUN = 255;

std::uint32_t ReadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t ReadLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool IsKnownHeaderSize(std::uint32_t infoSize) {
    switch (infoSize) {
    case 12:
    case 16:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
        return true;
    default:
        return false;
    }
}

// OS/2 2.x headers number their compressions differently from 3 on (Huffman, RLE24).
bool IsOs2Header(std::uint32_t infoSize) {
    return infoSize == 16 || infoSize == 64;
}

bool DepthFitsCompression(std::uint32_t bits, std::uint32_t compression, std::uint32_t infoSize) {
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    switch (compression) {
    case BMP_RGB:
        return true;
    case BMP_RLE8:
        return bits == 8;
    case BMP_RLE4:
        return bits == 4;
    case BMP_BITFIELDS:
        return !IsOs2Header(infoSize) && (bits == 16 || bits == 32);
    default:
        return false;
    }
}

// Masks of the bit fields: after a 40-byte header, or inside the larger ones.
bool ReadMasks(const std::uint8_t* bytes, std::uint32_t size, std::uint32_t infoSize,
               BmpLayout* layout) {
    const std::uint32_t at = FILE_HEADER_SIZE + INFO_HEADER_SIZE;
    if (layout->compression != BMP_BITFIELDS) {
        if (layout->bits == 16) {
            layout->masks[0] = 0x7C00;
            layout->masks[1] = 0x03E0;
            layout->masks[2] = 0x001F;
        } else if (layout->bits == 32) {
            // The fourth byte counts as alpha only where some pixel sets it.
            layout->masks[0] = 0x00FF0000;
            layout->masks[1] = 0x0000FF00;
            layout->masks[2] = 0x000000FF;
            layout->masks[3] = 0xFF000000;
        }
        return true;
    }
    if (size < at + 12)
        return false;
    for (int i = 0; i < 3; ++i)
        layout->masks[i] = ReadLe32(bytes + at + 4 * i);
    if (infoSize >= 56) {
        layout->masks[3] = ReadLe32(bytes + at + 12);
        layout->hasAlphaMask = layout->masks[3] != 0;
    }
    return true;
}

// A stated count above what the depth can index is capped there; entries that would
// reach into the pixels or past the bytes are left out and read as black.
void FindPalette(const std::uint8_t* bytes, std::uint32_t infoSize, std::uint32_t size,
                 BmpLayout* layout) {
    if (layout->bits > 8)
        return;
    const std::uint32_t most = 1u << layout->bits;
    std::uint32_t count = most;
    if (infoSize >= INFO_HEADER_SIZE) {
        const std::uint32_t stated = ReadLe32(bytes + FILE_HEADER_SIZE + 32);
        if (stated != 0 && stated < most)
            count = stated;
    }
    layout->paletteOffset = FILE_HEADER_SIZE + infoSize;
    layout->paletteEntryBytes = infoSize == CORE_HEADER_SIZE ? 3 : 4;
    const std::uint32_t end = layout->pixelOffset < size ? layout->pixelOffset : size;
    const std::uint32_t room =
        end > layout->paletteOffset ? (end - layout->paletteOffset) / layout->paletteEntryBytes : 0;
    layout->paletteCount = count < room ? count : room;
}

} // namespace

bool ReadBmpLayout(const std::uint8_t* bytes, std::uint32_t size, BmpLayout* layout) {
    if (size < FILE_HEADER_SIZE + 4 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const std::uint32_t infoSize = ReadLe32(bytes + FILE_HEADER_SIZE);
    if (!IsKnownHeaderSize(infoSize) || size < FILE_HEADER_SIZE + infoSize)
        return false;
    const std::uint8_t* info = bytes + FILE_HEADER_SIZE;
    std::int64_t width, height;
    std::uint32_t planes;
    std::uint32_t sizeImage = 0;
    if (infoSize == CORE_HEADER_SIZE) {
        width = ReadLe16(info + 4);
        height = ReadLe16(info + 6);
        planes = ReadLe16(info + 8);
        layout->bits = ReadLe16(info + 10);
    } else {
        width = static_cast<std::int32_t>(ReadLe32(info + 4));
        height = static_cast<std::int32_t>(ReadLe32(info + 8));
        planes = ReadLe16(info + 12);
        layout->bits = ReadLe16(info + 14);
        if (infoSize >= INFO_HEADER_SIZE) {
            layout->compression = ReadLe32(info + 16);
            sizeImage = ReadLe32(info + 20);
        }
    }
    layout->topDown = height < 0;
    if (height < 0)
        height = -height;
    if (width <= 0 || height <= 0 || width > IMAGE_MAX_SIDE || height > IMAGE_MAX_SIDE ||
        planes != 1 || !DepthFitsCompression(layout->bits, layout->compression, infoSize))
        return false;
    layout->width = static_cast<std::uint32_t>(width);
    layout->height = static_cast<std::uint32_t>(height);
    layout->pixelOffset = ReadLe32(bytes + 10);
    if (layout->pixelOffset < FILE_HEADER_SIZE + infoSize || layout->pixelOffset > size)
        return false;
    if (!ReadMasks(bytes, size, infoSize, layout))
        return false;
    FindPalette(bytes, infoSize, size, layout);

    const std::uint32_t available = size - layout->pixelOffset;
    if (layout->compression == BMP_RLE8 || layout->compression == BMP_RLE4) {
        if (sizeImage > available)
            return false;
        layout->pixelBytes = sizeImage != 0 ? sizeImage : available;
        // Every two bytes of a stream paint at most RLE_MOST_PIXELS_PER_RUN pixels. A
        // picture larger than its stream could ever paint is refused before its texels
        // are made: a few bytes could otherwise claim a side of 8192 (256 MiB of texels).
        const std::uint64_t paintable =
            std::uint64_t{layout->pixelBytes / 2} * RLE_MOST_PIXELS_PER_RUN;
        return std::uint64_t{layout->width} * layout->height <= paintable;
    }
    const std::uint64_t rowBytes = (std::uint64_t{layout->width} * layout->bits + 31) / 32 * 4;
    const std::uint64_t pixelBytes = rowBytes * layout->height;
    if (pixelBytes > available)
        return false;
    layout->pixelBytes = static_cast<std::uint32_t>(pixelBytes);
    return true;
}
