// Shift-JIS bytes from outside (scripts, keys, link targets) as UTF-8: every input
// converts, the output is well-formed UTF-8 of at most one character per input byte,
// and a character never takes more bytes than are left.
#include "platform/text/cp932.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The length of the well-formed UTF-8 character at s[i], or 0.
std::size_t Utf8CharLength(const std::string& s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
    const std::uint8_t b = byte(i);
    std::size_t n;
    std::uint32_t c;
    if (b < 0x80)
        return 1;
    if ((b & 0xE0) == 0xC0)
        n = 2, c = b & 0x1F;
    else if ((b & 0xF0) == 0xE0)
        n = 3, c = b & 0x0F;
    else if ((b & 0xF8) == 0xF0)
        n = 4, c = b & 0x07;
    else
        return 0;
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (byte(i + k) & 0x3F);
    }
    const std::uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string utf8 = Cp932ToUtf8(reinterpret_cast<const char*>(data), size);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++characters) {
        const std::size_t n = Utf8CharLength(utf8, i);
        if (n == 0)
            std::abort();
        i += n;
    }
    if (characters > size)
        std::abort();
    for (std::size_t i = 0; i < size;) {
        std::uint32_t codepoint = 0;
        const int left = size - i > 2 ? 2 : static_cast<int>(size - i);
        const int used = DecodeCp932Char(data + i, left, &codepoint);
        if (used < 1 || used > left || (used == 2 && !IsCp932LeadByte(data[i])))
            std::abort();
        i += static_cast<std::size_t>(used);
    }
    return 0;
}
