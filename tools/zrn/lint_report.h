// What the lint checks share: the files under their archive keys and the list of
// problems found, each naming its file and line.
#pragma once

#include <map>
#include <string>
#include <vector>

// Archive key ("./Scenario/fileNameList.txt") -> the file's bytes.
using LintFiles = std::map<std::string, std::string>;

struct LintProblem {
    std::string key;
    int line; // 1-based; 0 when the problem concerns the whole file
    std::string text;
};

struct LintReport {
    std::vector<LintProblem> problems;
    void Add(const std::string& key, int line, const std::string& text) {
        problems.push_back({key, line, text});
    }
};

// The 1-based line of a byte offset in a text.
int LineOfOffset(const std::string& text, std::size_t offset);

// The text of a file as the game's loaders see it: up to its first NUL.
std::string TextOf(const std::string& bytes);

// A token of the map files, the model texts and the tags' attributes, with its line.
struct LintToken {
    std::string text;
    int line;
};
// Splits at runs of the game's nine delimiters (space = | ] , line feed E O F).
std::vector<LintToken> TokenizeLikeGame(const std::string& text);

// A scenario slot that a map file starts (a character or a marker), and where.
struct SlotUse {
    int slot;
    std::string key;
    int line;
};

// The file list and the scripts: tags, labels, pages, text that will not show.
void LintScenario(const LintFiles& files, LintReport* report);
// The five data files of each map; returns the scenario slots they start.
std::vector<SlotUse> LintMaps(const LintFiles& files, LintReport* report);
// Slots that characters, markers or jumps start must name a script.
void LintScenarioSlots(const LintFiles& files, const std::vector<SlotUse>& uses,
                       LintReport* report);
// Every key the game asks the archive for, and the textures the models name.
void LintRequiredKeys(const LintFiles& files, LintReport* report);
