#include "platform/gfx/bmp_decode.h"

#include "platform/gfx/device.h"
#include "platform/gfx/texture_loader.h"

#include <SDL.h>

#include <cstring>

namespace {

std::uint32_t ReadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t ReadLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

constexpr std::uint32_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

// What the headers promise must lie inside the bytes given; SDL then reads only there.
bool CheckHeaders(const std::uint8_t* bytes, std::uint32_t size, std::uint32_t* bitCount) {
    if (size < FILE_HEADER_SIZE + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const std::uint32_t pixelOffset = ReadLe32(bytes + 10);
    const std::uint32_t infoSize = ReadLe32(bytes + 14);
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
        infoSize != 124)
        return false;
    if (size < FILE_HEADER_SIZE + infoSize)
        return false;
    std::int64_t width, height;
    std::uint32_t planes, bits, compression = BI_RGB;
    if (infoSize == 12) {
        width = ReadLe16(bytes + 18);
        height = ReadLe16(bytes + 20);
        planes = ReadLe16(bytes + 22);
        bits = ReadLe16(bytes + 24);
    } else {
        width = static_cast<std::int32_t>(ReadLe32(bytes + 18));
        height = static_cast<std::int32_t>(ReadLe32(bytes + 22));
        planes = ReadLe16(bytes + 26);
        bits = ReadLe16(bytes + 28);
        compression = ReadLe32(bytes + 30);
    }
    if (height < 0)
        height = -height;
    if (width <= 0 || height <= 0 || width > IMAGE_MAX_SIDE || height > IMAGE_MAX_SIDE ||
        planes != 1)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bits == 16 || bits == 32)))
        return false;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    if (pixelOffset < FILE_HEADER_SIZE + infoSize ||
        static_cast<std::uint64_t>(pixelOffset) + rowBytes * static_cast<std::uint64_t>(height) >
            size)
        return false;
    *bitCount = bits;
    return true;
}

std::uint32_t FileFormat(std::uint32_t bits, const SDL_PixelFormat* format) {
    switch (bits) {
    case 32:
        return format->Amask ? FMT_A8R8G8B8 : FMT_X8R8G8B8;
    case 24:
        return FMT_R8G8B8;
    case 16:
        return format->Gmask == 0x07E0 ? FMT_R5G6B5 : FMT_X1R5G5B5;
    default:
        return FMT_P8;
    }
}

} // namespace

bool DecodeBmp(const void* data, std::uint32_t size, std::uint32_t colorKey, bool oneBitAlpha,
               DecodedImage* image) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint32_t bits = 0;
    if (!bytes || !image || !CheckHeaders(bytes, size, &bits))
        return false;
    SDL_RWops* stream =
        SDL_RWFromConstMem(bytes, static_cast<int>(size > INT32_MAX ? INT32_MAX : size));
    if (!stream)
        return false;
    SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
    if (!loaded)
        return false;
    const std::uint32_t fileFormat = FileFormat(bits, loaded->format);
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba)
        return false;
    image->width = static_cast<std::uint32_t>(rgba->w);
    image->height = static_cast<std::uint32_t>(rgba->h);
    image->fileFormat = fileFormat;
    image->rgba.resize(static_cast<std::size_t>(rgba->w) * rgba->h * 4);
    SDL_LockSurface(rgba);
    const std::size_t rowBytes = static_cast<std::size_t>(rgba->w) * 4;
    for (int y = 0; y < rgba->h; ++y) {
        std::memcpy(image->rgba.data() + y * rowBytes,
                    static_cast<const std::uint8_t*>(rgba->pixels) + y * rgba->pitch, rowBytes);
    }
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);

    const std::uint8_t keyA = static_cast<std::uint8_t>(colorKey >> 24);
    const std::uint8_t keyR = static_cast<std::uint8_t>(colorKey >> 16);
    const std::uint8_t keyG = static_cast<std::uint8_t>(colorKey >> 8);
    const std::uint8_t keyB = static_cast<std::uint8_t>(colorKey);
    for (std::size_t i = 0; i < image->rgba.size(); i += 4) {
        std::uint8_t* t = &image->rgba[i];
        if (colorKey != 0 && t[0] == keyR && t[1] == keyG && t[2] == keyB && t[3] == keyA) {
            t[0] = t[1] = t[2] = t[3] = 0;
            continue;
        }
        if (oneBitAlpha)
            t[3] = t[3] >= 128 ? 255 : 0;
    }
    return true;
}
