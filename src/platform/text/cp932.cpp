#include "platform/text/cp932.h"

#include "platform/text/cp932_table.h"

#include <algorithm>

namespace {

// The row of a lead byte in the table, -1 for a byte that leads nothing.
int LeadRow(std::uint8_t lead) {
    if (lead >= 0x81 && lead <= 0x9F)
        return lead - 0x81;
    if (lead >= 0xE0 && lead <= 0xFC)
        return lead - 0xE0 + (0x9F - 0x81 + 1);
    return -1;
}

std::uint32_t LookUpDoubleByte(std::uint8_t lead, std::uint8_t trail) {
    const int row = LeadRow(lead);
    const int column = trail - CP932_TRAIL_FIRST;
    if (row < 0 || column < 0 || column >= CP932_TRAIL_COUNT)
        return CP932_REPLACEMENT;
    const std::uint16_t codepoint = CP932_DOUBLE_BYTE[row][column];
    return codepoint == 0 ? CP932_REPLACEMENT : codepoint;
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

// One UTF-8 character: the bytes it takes, 0 when the text is not valid UTF-8 there
// (overlong forms, surrogates and values past U+10FFFF included).
int DecodeUtf8Char(const std::uint8_t* bytes, std::size_t count, std::uint32_t* codepoint) {
    const std::uint8_t first = bytes[0];
    int length = 0;
    std::uint32_t c = 0;
    std::uint32_t least = 0;
    if (first < 0x80) {
        *codepoint = first;
        return 1;
    } else if ((first & 0xE0) == 0xC0) {
        length = 2, c = first & 0x1F, least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3, c = first & 0x0F, least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4, c = first & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (count < static_cast<std::size_t>(length))
        return 0;
    for (int k = 1; k < length; k++) {
        if ((bytes[k] & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (bytes[k] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    *codepoint = c;
    return length;
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
    *codepoint = LookUpDoubleByte(first, bytes[1]);
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

bool Utf8ToCp932(const std::string& text, std::string* out, Utf8Stop* stop) {
    std::string converted;
    converted.reserve(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    std::size_t i = 0;
    while (i < text.size()) {
        std::uint32_t c = 0;
        const int used = DecodeUtf8Char(bytes + i, text.size() - i, &c);
        if (stop)
            *stop = {i, used == 0 ? 0 : c};
        if (used == 0)
            return false;
        i += static_cast<std::size_t>(used);
        if (c < 0x80) {
            converted.push_back(static_cast<char>(c));
            continue;
        }
        if (c >= 0xFF61 && c <= 0xFF9F) {
            converted.push_back(static_cast<char>(0xA1 + (c - 0xFF61)));
            continue;
        }
        const Cp932Encoding* end = CP932_ENCODINGS + CP932_ENCODING_COUNT;
        const Cp932Encoding* found =
            std::lower_bound(CP932_ENCODINGS, end, c, [](const Cp932Encoding& e, std::uint32_t v) {
                return e.codepoint < v;
            });
        if (found == end || found->codepoint != c || found->bytes < 0x100)
            return false;
        converted.push_back(static_cast<char>(found->bytes >> 8));
        converted.push_back(static_cast<char>(found->bytes & 0xFF));
    }
    *out = converted;
    return true;
}
