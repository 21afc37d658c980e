#include "lint_report.h"

#include "archive/line_ends.h"
#include "core/tokenizer.h"

#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"

#include <algorithm>

LineIndex IndexLines(const std::string& text) {
    LineIndex index;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        index.lineFeeds.push_back(at);
    return index;
}

int LineOf(const LineIndex& index, std::size_t offset) {
    const auto before = std::lower_bound(index.lineFeeds.begin(), index.lineFeeds.end(), offset);
    return 1 + static_cast<int>(before - index.lineFeeds.begin());
}

std::string TextOf(const std::string& bytes) {
    return bytes.substr(0, std::min(bytes.size(), bytes.find('\0')));
}

std::string ScriptTextOf(const std::string& bytes) {
    const std::string text = TextOf(bytes);
    const std::vector<char> converted = ToCrLfLineEnds(text.data(), text.size());
    return std::string(converted.begin(), converted.end());
}

std::string DataTextOf(const std::string& bytes) {
    std::string text = TextOf(bytes);
    ConvertLoneCarriageReturns(text.data(), text.size());
    return text;
}

std::vector<LintToken> TokenizeLikeGame(const std::string& text) {
    std::string copy = TextOf(text);
    char* const start = copy.data();
    char* cursor = start;
    std::vector<LintToken> tokens;
    int line = 1;
    std::size_t counted = 0;
    while (char* token = NextToken(&cursor, TOKEN_DELIMITERS)) {
        const std::size_t offset = static_cast<std::size_t>(token - start);
        line +=
            static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                        text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
        counted = offset;
        tokens.push_back({token, line});
    }
    return tokens;
}

std::string LooseFilePath(const LintInput& input, const char* gamePath) {
    std::string relative = ToHostPath(gamePath);
    if (relative.compare(0, 2, "./") == 0)
        relative.erase(0, 2);
    return JoinHostPath(input.folder, relative);
}

std::string LooseFileName(const char* gamePath) {
    return ToHostPath(gamePath);
}
