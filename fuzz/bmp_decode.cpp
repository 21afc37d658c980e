// BMP bytes from outside: every file is either decoded within its own bytes or refused.
#include "platform/gfx/bmp_decode.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 24))
        return 0;
    DecodedImage image;
    if (DecodeBmp(data, static_cast<std::uint32_t>(size), 0xFFFF00FFu, true, &image) &&
        image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        __builtin_trap();
    return 0;
}
