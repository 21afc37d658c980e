// BMP bytes from outside: every file is either decoded within its own bytes or refused.
#include "platform/gfx/bmp_decode.h"

#include <cstddef>
#include <cstdint>

namespace {

// A compressed stream of a few bytes may describe the largest image there is; such
// inputs only slow the search down, they reach no other code.
bool ClaimsAHugeImage(const std::uint8_t* data, std::size_t size) {
    if (size < 26)
        return false;
    const auto le = [data](int at, int count) {
        std::uint32_t v = 0;
        for (int i = count - 1; i >= 0; --i)
            v = v << 8 | data[at + i];
        return v;
    };
    const bool core = le(14, 4) == 12;
    const std::uint64_t width = core ? le(18, 2) : le(18, 4);
    std::int64_t height = core ? le(20, 2) : static_cast<std::int32_t>(le(22, 4));
    if (height < 0)
        height = -height;
    return width * static_cast<std::uint64_t>(height) > (1u << 22);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 24) || ClaimsAHugeImage(data, size))
        return 0;
    DecodedImage image;
    if (DecodeBmp(data, static_cast<std::uint32_t>(size), 0xFFFF00FFu, true, &image) &&
        image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        __builtin_trap();
    return 0;
}
