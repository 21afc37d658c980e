#include "platform/gfx/bmp_failure.h"

#include "platform/gfx/bmp_decode.h"
#include "platform/gfx/bmp_layout.h"

#include <cstring>

namespace {

struct Signature {
    const char* bytes;
    std::uint32_t length;
    const char* reason;
};

// Files saved under a .bmp name by today's paint programs.
constexpr Signature OTHER_FORMATS[] = {
    {"\x89PNG\r\n\x1a\n", 8,
     "a PNG file, not a bitmap: save it as BMP (or name it .png in a game "
     "folder, which converts it)"},
    {"\xff\xd8\xff", 3, "a JPEG file, not a bitmap: save it as BMP"},
    {"GIF8", 4, "a GIF file, not a bitmap: save it as BMP"},
    {"RIFF", 4, "a RIFF file (WebP or sound), not a bitmap: save it as BMP"},
};

std::uint32_t ReadLe32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

} // namespace

const char* DescribeBitmapFailure(const void* data, std::uint32_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (!bytes || size == 0)
        return "empty";
    for (const Signature& format : OTHER_FORMATS) {
        if (size >= format.length && std::memcmp(bytes, format.bytes, format.length) == 0)
            return format.reason;
    }
    if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return "not a bitmap (no \"BM\" at its start)";
    BmpLayout layout;
    if (size >= 6 && ReadLe32(bytes + 2) > size && !ReadBmpLayout(bytes, size, &layout))
        return "cut short: fewer bytes than its header says";
    DecodedImage image;
    if (!DecodeBmp(bytes, size, 0, false, &image))
        return "a bitmap header the game cannot read (a side of 0 or above 8192, a depth that "
               "does not fit its compression, or pixels past the end)";
    return nullptr;
}
