#include "platform/window/message_text.h"

#include "platform/text/cp932.h"

#include <cstring>

namespace {

// The length of the valid UTF-8 sequence at bytes (0 when there is none) and its
// character. Overlong forms, surrogates and values past U+10FFFF are not valid.
int DecodeUtf8Char(const std::uint8_t* bytes, std::size_t count, std::uint32_t* codepoint) {
    const std::uint8_t first = bytes[0];
    int length;
    std::uint32_t c;
    if (first < 0x80) {
        *codepoint = first;
        return 1;
    } else if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        c = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        c = first & 0x0F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        c = first & 0x07;
    } else {
        return 0;
    }
    if (count < static_cast<std::size_t>(length))
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (bytes[i] & 0x3F);
    }
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    *codepoint = c;
    return length;
}

// Japanese text may break between any two of its characters.
bool IsWide(std::uint32_t c) {
    return c >= 0x2E80;
}

bool IsClosing(std::uint32_t c) {
    static const std::u32string CLOSING =
        U"、。，．・：；？！ー…‥）」』】〕〉》’”ぁぃぅぇぉっゃゅょ"
        U"ァィゥェォッャュョ々),.;:!?";
    return CLOSING.find(static_cast<char32_t>(c)) != std::u32string::npos;
}

bool IsOpening(std::uint32_t c) {
    static const std::u32string OPENING = U"（「『【〔〈《‘“(";
    return OPENING.find(static_cast<char32_t>(c)) != std::u32string::npos;
}

bool CanBreakBetween(std::uint32_t before, std::uint32_t after) {
    if (after == ' ' || IsClosing(after) || IsOpening(before))
        return false;
    return before == ' ' || IsWide(before) || IsWide(after);
}

int LineWidth(const MessageLine& line, const std::function<int(std::uint32_t)>& advance) {
    int width = 0;
    for (std::uint32_t c : line)
        width += advance(c);
    return width;
}

void TrimTrailingSpaces(MessageLine* line) {
    while (!line->empty() && line->back() == ' ')
        line->pop_back();
}

} // namespace

std::vector<std::uint32_t> DecodeMessageText(const char* text) {
    std::vector<std::uint32_t> out;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < length;) {
        std::uint32_t c;
        int used = DecodeUtf8Char(bytes + i, length - i, &c);
        if (used == 0)
            used = DecodeCp932Char(bytes + i, length - i >= 2 ? 2 : 1, &c);
        i += static_cast<std::size_t>(used);
        if (c == '\t')
            c = ' ';
        if (c == '\n' || !(c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)))
            out.push_back(c);
    }
    return out;
}

std::vector<MessageLine> WrapMessageText(const std::vector<std::uint32_t>& text, int maxWidth,
                                         const std::function<int(std::uint32_t)>& advance) {
    std::vector<MessageLine> lines;
    MessageLine line;
    int width = 0;
    bool wrapped = false; // the line began at a break: spaces before its first word go
    for (std::uint32_t c : text) {
        if (c == '\n') {
            TrimTrailingSpaces(&line);
            lines.push_back(line);
            line.clear();
            width = 0;
            wrapped = false;
            continue;
        }
        const int w = advance(c);
        if (!line.empty() && c != ' ' && width + w > maxWidth) {
            // The latest place where the line may break, or a cut before c.
            std::size_t keep = line.size();
            for (std::size_t p = line.size(); p > 0; --p) {
                const std::uint32_t after = p < line.size() ? line[p] : c;
                if (CanBreakBetween(line[p - 1], after)) {
                    keep = p;
                    break;
                }
            }
            MessageLine rest(line.begin() + static_cast<std::ptrdiff_t>(keep), line.end());
            line.resize(keep);
            TrimTrailingSpaces(&line);
            lines.push_back(line);
            while (!rest.empty() && rest.front() == ' ')
                rest.erase(rest.begin());
            line = rest;
            width = LineWidth(line, advance);
            wrapped = true;
        }
        if (c == ' ' && wrapped && line.empty())
            continue;
        line.push_back(c);
        width += w;
    }
    TrimTrailingSpaces(&line);
    lines.push_back(line);
    return lines;
}
