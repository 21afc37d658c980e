// What the lint checks share: the files under their archive keys, the facts that one
// check gathers for another, and the list of problems found, each naming its file and line.
#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

// Archive key ("./Scenario/fileNameList.txt") -> the file's bytes.
using LintFiles = std::map<std::string, std::string>;

struct LintProblem {
    std::string key;
    int line; // 1-based; 0 when the problem concerns the whole file
    std::string text;
};

// A script named in several slots is read once for each, so a problem may be found
// more than once; it is reported once.
struct LintReport {
    std::vector<LintProblem> problems;
    // What lint tells without failing: files that folder mode and zrn pack convert.
    std::vector<LintProblem> notes;
    int looseFilesChecked = 0; // besides the archive's entries
    std::set<std::tuple<std::string, int, std::string>> seen;
    void Add(const std::string& key, int line, const std::string& text) {
        if (seen.insert({key, line, text}).second)
            problems.push_back({key, line, text});
    }
};

// What lint reads: the archive's entries and, for a game folder or a packed game's
// ZRN.dat, the folder that holds the loose files (the loading picture, the music and
// the effects).
struct LintInput {
    LintFiles files;
    // Found while reading a game folder's files: conversions, and files that cannot be
    // converted (left out of files).
    std::vector<LintProblem> readNotes;
    std::vector<LintProblem> readProblems;
    bool hasFolder = false;
    std::string folder;
};

// The 1-based lines of a text's byte offsets, found in the line ends counted once, so
// that a scan asking at every byte stays linear in the text's size.
struct LineIndex {
    std::vector<std::size_t> lineFeeds; // offsets, in order
};
LineIndex IndexLines(const std::string& text);
int LineOf(const LineIndex& index, std::size_t offset);

// The text of a file as the game's loaders see it: up to its first NUL.
std::string TextOf(const std::string& bytes);
// The text as the scenario store reads it: with CR LF line ends, whatever the editor wrote.
std::string ScriptTextOf(const std::string& bytes);
// The text as the map and model readers read it: carriage returns alone turned into
// line feeds.
std::string DataTextOf(const std::string& bytes);

// A token of the map files, the model texts and the tags' attributes, with its line.
struct LintToken {
    std::string text;
    int line;
};
// Splits a text with the game's own tokeniser and delimiter set.
std::vector<LintToken> TokenizeLikeGame(const std::string& text);

// A place in a file that names a number: a scenario slot started, a picture, an
// effect, a music channel.
struct NumberUse {
    int number;
    std::string key;
    int line;
};

// A story variable ("e.3", "s.0") read or written at a place.
struct VariableUse {
    std::string name;
    std::string key;
    int line;
};

// A character that a chara file puts on a map, where its record stands.
struct PlacedCharacter {
    int map;
    int number;
    float x, z;
    std::string key;
    int line;
};

// What the checks of single files learn for the checks across files.
struct LintFacts {
    std::vector<std::string> slotKeys; // per slot: the script's key, "" for "NONE"
    std::vector<int> slotLines;        // per slot: its line in the file list, 0 for none
    std::vector<NumberUse> starts;     // markers, characters and jumps starting a slot
    std::vector<NumberUse> pictures;   // [image N]
    std::vector<NumberUse> effects;    // [playse N]
    std::vector<NumberUse> music;      // [playbgm N]
    std::vector<VariableUse> sets;     // targets of [eval]
    std::vector<VariableUse> tests;    // read by [if], by [eval] for another variable, by maps
    std::vector<PlacedCharacter> characters;
};

// The file list and the scripts: tags, labels, pages, text that will not show.
void LintScenario(const LintFiles& files, LintFacts* facts, LintReport* report);
// The five data files of each map: sizes, chips, attributes, characters, markers.
void LintMaps(const LintFiles& files, LintFacts* facts, LintReport* report);
// Across the scripts and maps: slots nothing starts or that are empty when started,
// variables tested but never set (and the reverse), numbers that have no file.
void LintStory(const LintInput& input, const LintFacts& facts, LintReport* report);
// Exits and characters that walls keep the lead from, walking from where it arrives.
void LintWalls(const LintFiles& files, const LintFacts& facts, LintReport* report);
// Characters that can slip out of their pens through corners, walk off the map or
// wander into an exit.
void LintPens(const LintFiles& files, const LintFacts& facts, LintReport* report);
// Exits and characters that the camera of their map never shows.
void LintView(const LintFiles& files, const LintFacts& facts, LintReport* report);
// Whether the game's wall and exit scan gives an attribute value a meaning.
bool AttributeActs(int value);
// Every key the game asks the archive for, and the textures the models name.
void LintRequiredKeys(const LintFiles& files, LintReport* report);
// Bitmaps in the archive and under CG/ and X/, the effect waves and the music.
void LintMedia(const LintInput& input, LintReport* report);

// Reads a game folder (its ZRN.dat, or the files folder mode serves) or an archive as
// zrn lint reads it; false after a message when it cannot be read.
bool ReadLintInput(const char* command, const char* path, LintInput* input);
// Every check of zrn lint, in its order.
void RunLintChecks(const LintInput& input, LintFacts* facts, LintReport* report);

// The host path of a loose file that the game names as ".\Sound\talk.wav".
std::string LooseFilePath(const LintInput& input, const char* gamePath);
// The key-like name lint reports a loose file under: "./Sound/talk.wav".
std::string LooseFileName(const char* gamePath);
