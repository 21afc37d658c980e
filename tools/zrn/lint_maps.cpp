// Lint of the map data files: sizes, chips, attributes, characters and markers.
#include "lint_report.h"

#include "core/tokenizer.h"
#include "field/characters.h"
#include "field/events.h"
#include "field/map_files.h"
#include "field/terrain.h"
#include "scenario/variables.h"

namespace {

// The entries besides the lead's.
constexpr int MAX_MAP_CHARACTERS = FIELD_CHARACTER_COUNT - 1;

std::string MapKey(int map, MapFileKind kind) {
    return g_mapFileNames[kind][map];
}

int Int(const LintToken& token) {
    return TokenToInt(token.text.c_str());
}

float Float(const LintToken& token) {
    return TokenToFloat(token.text.c_str());
}

// The file's tokens; a lone CR among them means a delimiter stood before a line end.
bool ReadTokens(const LintFiles& files, const std::string& key, std::vector<LintToken>* tokens,
                LintReport* report) {
    const auto found = files.find(key);
    if (found == files.end())
        return false;
    *tokens = TokenizeLikeGame(DataTextOf(found->second));
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

void LintFlag(const LintToken& token, const std::string& key, LintFacts* facts,
              LintReport* report) {
    const int flag = Int(token);
    if (flag < 0 || flag >= E_VAR_COUNT) {
        report->Add(key, token.line,
                    "flag e." + std::to_string(flag) + " does not exist (e.0 to e." +
                        std::to_string(E_VAR_COUNT - 1) + ")");
    } else {
        facts->tests.push_back({"e." + std::to_string(flag), key, token.line});
    }
}

void LintGrids(const LintFiles& files, int map, LintReport* report) {
    std::vector<LintToken> base;
    const std::string baseKey = MapKey(map, MAP_FILE_BASE);
    if (!ReadTokens(files, baseKey, &base, report) ||
        !HasTokens(base, 10, baseKey, "camera, size and subdivision", report))
        return;
    // Wide enough that no product of the three overflows.
    const long long width = Int(base[7]), height = Int(base[8]), split = Int(base[9]);
    if (width < 1 || height < 1 || width > MAP_MAX_CELLS || height > MAP_MAX_CELLS) {
        report->Add(baseKey, base[7].line,
                    "map size " + std::to_string(width) + " x " + std::to_string(height) +
                        " is outside 1 x 1 to " + std::to_string(MAP_MAX_CELLS) + " x " +
                        std::to_string(MAP_MAX_CELLS));
        return;
    }
    if (split < 1 || width * split > ATTRIBUTE_GRID_SIZE || height * split > ATTRIBUTE_GRID_SIZE) {
        report->Add(baseKey, base[9].line,
                    "attribute grid " + std::to_string(width * split) + " x " +
                        std::to_string(height * split) + " is outside 1 x 1 to " +
                        std::to_string(ATTRIBUTE_GRID_SIZE) + " x " +
                        std::to_string(ATTRIBUTE_GRID_SIZE));
        return;
    }
    HasTokens(base, 10 + static_cast<std::size_t>((width + 1) * (height + 1)), baseKey,
              "the corner heights", report);

    std::vector<LintToken> chips;
    const std::string uvKey = MapKey(map, MAP_FILE_BASE_UV);
    if (ReadTokens(files, uvKey, &chips, report) &&
        HasTokens(chips, 1 + static_cast<std::size_t>(width * height), uvKey, "the chip numbers",
                  report)) {
        for (int i = 0; i < width * height; ++i) {
            const int chip = Int(chips[1 + i]);
            if (chip < 0 || chip / 10 >= MAP_CHIP_ATLAS_TILES ||
                chip % 10 >= MAP_CHIP_ATLAS_TILES) {
                const std::string tiles = std::to_string(MAP_CHIP_ATLAS_TILES);
                report->Add(uvKey, chips[1 + i].line,
                            "chip " + std::to_string(chip) + " is outside the " + tiles + " x " +
                                tiles + " atlas");
            }
        }
    }

    std::vector<LintToken> cells;
    const std::string attributeKey = MapKey(map, MAP_FILE_ATTRIBUTE);
    const int count = static_cast<int>(width * split * height * split);
    if (ReadTokens(files, attributeKey, &cells, report) &&
        HasTokens(cells, 1 + static_cast<std::size_t>(count), attributeKey, "the attributes",
                  report)) {
        for (int i = 0; i < count; ++i) {
            const int value = Int(cells[1 + i]);
            if (value != 0 && !AttributeActs(value)) {
                report->Add(attributeKey, cells[1 + i].line,
                            "unknown attribute value " + cells[1 + i].text);
            }
        }
    }
}

void LintCharacters(const LintFiles& files, int map, LintFacts* facts, LintReport* report) {
    std::vector<LintToken> tokens;
    const std::string key = MapKey(map, MAP_FILE_CHARA);
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
        if (number < 0 || number >= CHARACTER_SHEET_COUNT) {
            report->Add(key, tokens[i + 4].line,
                        "character " + std::to_string(number) + " has no sprite sheet (0 to " +
                            std::to_string(CHARACTER_SHEET_COUNT - 1) + ")");
        } else {
            facts->starts.push_back({number, key, tokens[i + 4].line});
            facts->characters.push_back(
                {map, number, Float(tokens[i + 1]), Float(tokens[i + 3]), key, tokens[i].line});
        }
        LintFlag(tokens[i + 5], key, facts, report);
        if (++records == MAX_MAP_CHARACTERS + 1) {
            report->Add(key, tokens[i].line,
                        "more than " + std::to_string(MAX_MAP_CHARACTERS) +
                            " characters: the character table holds " +
                            std::to_string(MAX_MAP_CHARACTERS) + " besides the lead");
        }
        i += 7;
    }
}

void LintEvents(const LintFiles& files, int map, LintFacts* facts, LintReport* report) {
    std::vector<LintToken> tokens;
    const std::string key = MapKey(map, MAP_FILE_EVENT);
    if (!ReadTokens(files, key, &tokens, report) || !HasTokens(tokens, 1, key, "the count", report))
        return;
    const int count = Int(tokens[0]);
    if (count < 0 || count > EVENT_OBJECT_COUNT) {
        report->Add(key, tokens[0].line,
                    "event count " + std::to_string(count) + " is outside 0 to " +
                        std::to_string(EVENT_OBJECT_COUNT));
        return;
    }
    if (!HasTokens(tokens, 1 + static_cast<std::size_t>(count) * 8, key, "the event records",
                   report))
        return;
    for (int k = 0; k < count; ++k) {
        const LintToken* record = &tokens[1 + k * 8];
        if (Int(record[0]) != CLICKABLE_EVENT_KIND) {
            report->Add(key, record[0].line,
                        "marker kind " + record[0].text + " has no model; only kind " +
                            std::to_string(CLICKABLE_EVENT_KIND) + " exists");
        }
        LintFlag(record[1], key, facts, report);
        facts->starts.push_back({Int(record[7]), key, record[7].line});
    }
}

} // namespace

void LintMaps(const LintFiles& files, LintFacts* facts, LintReport* report) {
    for (int map = 1; map <= MAP_COUNT; ++map) {
        LintGrids(files, map, report);
        LintCharacters(files, map, facts, report);
        LintEvents(files, map, facts, report);
    }
}
