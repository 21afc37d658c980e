// Lint of the map data files: sizes, chips, attributes, characters and markers.
#include "lint_report.h"

#include <cstdlib>

namespace {

constexpr int MAP_COUNT = 3;
constexpr int MAX_CELLS = 16;
constexpr int MAX_ATTRIBUTE_CELLS = 32;
constexpr int MAX_EVENTS = 100;
constexpr int MAX_MAP_CHARACTERS = 6;
constexpr int E_VARIABLES = 50;

std::string MapKey(int map, const char* kind) {
    return "./Data/map" + std::to_string(map) + kind + ".dat";
}

int Int(const LintToken& token) {
    return std::atoi(token.text.c_str());
}

// The file's tokens; a lone CR among them means a delimiter stood before a line end.
bool ReadTokens(const LintFiles& files, const std::string& key, std::vector<LintToken>* tokens,
                LintReport* report) {
    const auto found = files.find(key);
    if (found == files.end())
        return false;
    *tokens = TokenizeLikeGame(TextOf(found->second));
    for (const LintToken& token : *tokens) {
        if (token.text == "\r") {
            report->Add(key, token.line,
                        "a delimiter before the line end makes the CR a field of its own, which "
                        "reads as 0 and shifts every later field");
            break;
        }
    }
    return true;
}

bool HasTokens(const std::vector<LintToken>& tokens, std::size_t needed, const std::string& key,
               const char* what, LintReport* report) {
    if (tokens.size() >= needed)
        return true;
    report->Add(key, tokens.empty() ? 0 : tokens.back().line,
                std::string("too few numbers: ") + what + " need " + std::to_string(needed) +
                    ", the file has " + std::to_string(tokens.size()));
    return false;
}

void LintFlag(const LintToken& token, const std::string& key, LintReport* report) {
    const int flag = Int(token);
    if (flag < 0 || flag >= E_VARIABLES) {
        report->Add(key, token.line,
                    "flag e." + std::to_string(flag) + " does not exist (e.0 to e.49)");
    }
}

bool IsAttribute(int value) {
    return (value >= 0 && value <= 8) || (value >= 50 && value <= 53);
}

void LintGrids(const LintFiles& files, int map, LintReport* report) {
    std::vector<LintToken> base;
    const std::string baseKey = MapKey(map, "base");
    if (!ReadTokens(files, baseKey, &base, report) ||
        !HasTokens(base, 10, baseKey, "camera, size and subdivision", report))
        return;
    const int width = Int(base[7]), height = Int(base[8]), split = Int(base[9]);
    if (width < 1 || height < 1 || width > MAX_CELLS || height > MAX_CELLS) {
        report->Add(baseKey, base[7].line,
                    "map size " + std::to_string(width) + " x " + std::to_string(height) +
                        " is outside 1 x 1 to 16 x 16");
        return;
    }
    if (split < 1 || width * split > MAX_ATTRIBUTE_CELLS || height * split > MAX_ATTRIBUTE_CELLS) {
        report->Add(baseKey, base[9].line,
                    "attribute grid " + std::to_string(width * split) + " x " +
                        std::to_string(height * split) + " is outside 1 x 1 to 32 x 32");
        return;
    }
    HasTokens(base, 10 + static_cast<std::size_t>((width + 1) * (height + 1)), baseKey,
              "the corner heights", report);

    std::vector<LintToken> chips;
    const std::string uvKey = MapKey(map, "baseUV");
    if (ReadTokens(files, uvKey, &chips, report) &&
        HasTokens(chips, 1 + static_cast<std::size_t>(width * height), uvKey, "the chip numbers",
                  report)) {
        for (int i = 0; i < width * height; ++i) {
            const int chip = Int(chips[1 + i]);
            if (chip < 0 || chip > 77 || chip % 10 > 7) {
                report->Add(uvKey, chips[1 + i].line,
                            "chip " + std::to_string(chip) + " is outside the 8 x 8 atlas");
            }
        }
    }

    std::vector<LintToken> cells;
    const std::string attributeKey = MapKey(map, "attribute");
    const int count = width * split * height * split;
    if (ReadTokens(files, attributeKey, &cells, report) &&
        HasTokens(cells, 1 + static_cast<std::size_t>(count), attributeKey, "the attributes",
                  report)) {
        for (int i = 0; i < count; ++i) {
            if (!IsAttribute(Int(cells[1 + i]))) {
                report->Add(attributeKey, cells[1 + i].line,
                            "unknown attribute value " + cells[1 + i].text);
            }
        }
    }
}

void LintCharacters(const LintFiles& files, int map, std::vector<SlotUse>* uses,
                    LintReport* report) {
    std::vector<LintToken> tokens;
    const std::string key = MapKey(map, "chara");
    if (!ReadTokens(files, key, &tokens, report))
        return;
    std::size_t i = 1;
    int records = 0;
    while (true) {
        if (i >= tokens.size()) {
            report->Add(key, tokens.empty() ? 0 : tokens.back().line,
                        "the list of characters does not end with a 0");
            return;
        }
        if (Int(tokens[i]) == 0)
            return;
        if (i + 6 >= tokens.size()) {
            report->Add(key, tokens[i].line, "a character record needs seven numbers");
            return;
        }
        const int number = Int(tokens[i + 4]);
        if (number < 0 || number > 6) {
            report->Add(key, tokens[i + 4].line,
                        "character " + std::to_string(number) + " has no sprite sheet (0 to 6)");
        } else {
            uses->push_back({number, key, tokens[i + 4].line});
        }
        LintFlag(tokens[i + 5], key, report);
        if (++records == MAX_MAP_CHARACTERS + 1) {
            report->Add(key, tokens[i].line,
                        "more than six characters: the character table holds six besides the lead");
        }
        i += 7;
    }
}

void LintEvents(const LintFiles& files, int map, std::vector<SlotUse>* uses, LintReport* report) {
    std::vector<LintToken> tokens;
    const std::string key = MapKey(map, "event");
    if (!ReadTokens(files, key, &tokens, report) || !HasTokens(tokens, 1, key, "the count", report))
        return;
    const int count = Int(tokens[0]);
    if (count < 0 || count > MAX_EVENTS) {
        report->Add(key, tokens[0].line,
                    "event count " + std::to_string(count) + " is outside 0 to 100");
        return;
    }
    if (!HasTokens(tokens, 1 + static_cast<std::size_t>(count) * 8, key, "the event records",
                   report))
        return;
    for (int k = 0; k < count; ++k) {
        const LintToken* record = &tokens[1 + k * 8];
        if (Int(record[0]) != 1) {
            report->Add(key, record[0].line,
                        "marker kind " + record[0].text + " has no model; only kind 1 exists");
        }
        LintFlag(record[1], key, report);
        uses->push_back({Int(record[7]), key, record[7].line});
    }
}

} // namespace

std::vector<SlotUse> LintMaps(const LintFiles& files, LintReport* report) {
    std::vector<SlotUse> uses;
    for (int map = 1; map <= MAP_COUNT; ++map) {
        LintGrids(files, map, report);
        LintCharacters(files, map, &uses, report);
        LintEvents(files, map, &uses, report);
    }
    return uses;
}
