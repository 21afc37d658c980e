#include "platform/text/cp932.h"

#include <iconv.h>

#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t NOT_LOOKED_UP = 0xFFFFFFFFu;

// Two-byte characters are looked up through iconv once and remembered.
std::vector<std::uint32_t>& DoubleByteTable() {
    static std::vector<std::uint32_t> table(65536, NOT_LOOKED_UP);
    return table;
}

std::uint32_t ConvertWithIconv(const std::uint8_t* bytes, std::size_t length) {
    static iconv_t converter = iconv_open("UTF-32LE", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return CP932_REPLACEMENT;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char input[2];
    std::memcpy(input, bytes, length);
    char output[8];
    char* in = input;
    char* out = output;
    std::size_t inLeft = length;
    std::size_t outLeft = sizeof(output);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0 || sizeof(output) - outLeft != 4)
        return CP932_REPLACEMENT;
    const auto* u = reinterpret_cast<const std::uint8_t*>(output);
    return static_cast<std::uint32_t>(u[0]) | static_cast<std::uint32_t>(u[1]) << 8 |
           static_cast<std::uint32_t>(u[2]) << 16 | static_cast<std::uint32_t>(u[3]) << 24;
}

void AppendUtf8(std::string* out, std::uint32_t c) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace

bool IsCp932LeadByte(std::uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

int DecodeCp932Char(const std::uint8_t* bytes, int count, std::uint32_t* codepoint) {
    const std::uint8_t first = bytes[0];
    if (first < 0x80) {
        *codepoint = first;
        return 1;
    }
    if (first >= 0xA1 && first <= 0xDF) {
        *codepoint = 0xFF61 + (first - 0xA1); // half-width katakana
        return 1;
    }
    if (!IsCp932LeadByte(first) || count < 2) {
        *codepoint = CP932_REPLACEMENT;
        return 1;
    }
    const std::uint32_t key = static_cast<std::uint32_t>(first) << 8 | bytes[1];
    std::uint32_t& cached = DoubleByteTable()[key];
    if (cached == NOT_LOOKED_UP)
        cached = ConvertWithIconv(bytes, 2);
    *codepoint = cached;
    return 2;
}

std::string Cp932ToUtf8(const char* text, std::size_t length) {
    std::string out;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    std::size_t i = 0;
    while (i < length) {
        std::uint32_t c;
        const int used =
            DecodeCp932Char(bytes + i, static_cast<int>(length - i > 2 ? 2 : length - i), &c);
        AppendUtf8(&out, c);
        i += static_cast<std::size_t>(used);
    }
    return out;
}

bool Utf8ToCp932(const std::string& text, std::string* out) {
    iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string input = text;
    // Each UTF-8 character of one to four bytes becomes at most two bytes.
    std::string output(2 * input.size() + 1, '\0');
    char* in = input.data();
    char* written = output.data();
    std::size_t inLeft = input.size();
    std::size_t outLeft = output.size();
    const bool converted =
        iconv(converter, &in, &inLeft, &written, &outLeft) != static_cast<std::size_t>(-1) &&
        inLeft == 0;
    iconv_close(converter);
    if (!converted)
        return false;
    output.resize(output.size() - outLeft);
    *out = output;
    return true;
}
