#include "archive/line_ends.h"

#include <cstring>

void ConvertLoneCarriageReturns(char* text, std::size_t length) {
    if (std::memchr(text, '\n', length) != nullptr)
        return;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '\r')
            text[i] = '\n';
    }
}

std::vector<char> ToCrLfLineEnds(const char* text, std::size_t length) {
    std::vector<char> out(text, text + length);
    const bool hasLf = std::memchr(text, '\n', length) != nullptr;
    for (std::size_t i = 0; i + 1 < length; ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n')
            return out;
    }
    if (!hasLf && std::memchr(text, '\r', length) == nullptr)
        return out;
    // One kind of line end throughout: each LF gets a CR before it, or each CR an LF after it.
    out.clear();
    out.reserve(length + length / 16);
    for (std::size_t i = 0; i < length; ++i) {
        if (hasLf && text[i] == '\n')
            out.push_back('\r');
        out.push_back(text[i]);
        if (!hasLf && text[i] == '\r')
            out.push_back('\n');
    }
    return out;
}
