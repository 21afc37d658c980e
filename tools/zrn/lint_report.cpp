#include "lint_report.h"

#include <algorithm>
#include <cstring>

int LineOfOffset(const std::string& text, std::size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

std::string TextOf(const std::string& bytes) {
    return bytes.substr(0, std::min(bytes.size(), bytes.find('\0')));
}

std::vector<LintToken> TokenizeLikeGame(const std::string& text) {
    static const char* DELIMITERS = " =|],\nEOF";
    std::vector<LintToken> tokens;
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        if (std::strchr(DELIMITERS, text[i])) {
            line += text[i] == '\n';
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && !std::strchr(DELIMITERS, text[i]))
            ++i;
        tokens.push_back({text.substr(start, i - start), line});
    }
    return tokens;
}
