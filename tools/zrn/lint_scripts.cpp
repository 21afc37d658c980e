// Lint of the scenario: the file list and every script it names.
#include "lint_report.h"

#include <cstdlib>
#include <cstring>
#include <set>

namespace {

constexpr const char* FILE_LIST_KEY = "./Scenario/fileNameList.txt";
constexpr int SCENARIO_SLOTS = 100;
constexpr std::size_t SCENARIO_TEXT_LIMIT = 65534;
constexpr std::size_t TAG_LIMIT = 255;
constexpr int LINK_RECORDS = 10;

const std::set<std::string> KNOWN_TAGS = {"l",       "ct",   "image", "playse",  "playbgm",
                                          "stopbgm", "jump", "link",  "endlink", "s",
                                          "eval",    "if",   "endif", "exit"};

struct LabelUse {
    int slot; // the scenario searched
    std::string label;
    std::string key; // where the use is written
    int line;
    const char* what;
};

// Slot -> key, or "" for an empty ("NONE") or missing line.
std::vector<std::string> ReadFileList(const LintFiles& files, LintReport* report) {
    std::vector<std::string> slots(SCENARIO_SLOTS);
    const auto found = files.find(FILE_LIST_KEY);
    if (found == files.end())
        return slots;
    const std::string text = TextOf(found->second);
    int slot = 0;
    std::size_t start = 0;
    while (start < text.size() && slot < SCENARIO_SLOTS) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start) {
            std::string name = text.substr(start, end - start);
            const int line = LineOfOffset(text, start);
            if (name.back() != '\r') {
                report->Add(FILE_LIST_KEY, line,
                            "line ends without CR: the game drops the last character of \"" + name +
                                "\"");
            }
            name.pop_back();
            if (name.find("NONE") == std::string::npos)
                slots[slot] = name;
            ++slot;
        }
        start = end + 1;
    }
    if (slot < SCENARIO_SLOTS) {
        report->Add(FILE_LIST_KEY, 0,
                    "only " + std::to_string(slot) +
                        " names; the list needs 100 lines, \"NONE\" for an empty slot");
    }
    return slots;
}

// "name" of an attribute "name=value" or name="value" in a tag's text; "" when absent.
std::string QuotedAttribute(const std::string& tag) {
    const std::size_t open = tag.find('"');
    const std::size_t close = open == std::string::npos ? open : tag.find('"', open + 1);
    if (close == std::string::npos)
        return "";
    return tag.substr(open + 1, close - open - 1);
}

bool IsNumber(const std::string& word) {
    if (word.empty())
        return false;
    std::size_t i = word[0] == '-' || word[0] == '+';
    if (i == word.size())
        return false;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9')
            return false;
    }
    return true;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

// An operand: a decimal number, or e.0 to e.49, s.0 to s.9.
bool IsOperand(const std::string& word, bool variableOnly) {
    const std::size_t dot = word.find('.');
    if (dot == std::string::npos)
        return !variableOnly && IsNumber(word);
    const std::string prefix = word.substr(0, dot);
    const std::string index = word.substr(dot + 1);
    const int limit = prefix == "e" ? 50 : prefix == "s" ? 10 : 0;
    return limit && IsNumber(index) && std::atoi(index.c_str()) >= 0 &&
           std::atoi(index.c_str()) < limit;
}

// Checks [eval x="target = a + b ..."] and [if x="a + b == c ..."]: operands and
// operators in turn, evaluated left to right by the game.
void LintExpression(const std::string& tag, bool comparison, const std::string& key, int line,
                    LintReport* report) {
    std::vector<std::string> words = Words(QuotedAttribute(tag));
    if (words.empty() || tag.find("=\"") == std::string::npos) {
        report->Add(key, line, "expression must be written as x=\"...\" in " + tag);
        return;
    }
    if (!comparison) {
        if (words.size() < 3 || words[1] != "=") {
            report->Add(key, line, "eval needs \"e.N = value\" or \"s.N = value\" in " + tag);
            return;
        }
        if (!IsOperand(words[0], true))
            report->Add(key, line,
                        "'" + words[0] + "' is no variable (e.0 to e.49, s.0 to s.9) in " + tag);
        words.erase(words.begin(), words.begin() + 2);
    }
    int comparisons = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (i % 2 == 0) {
            if (!IsOperand(word, false))
                report->Add(key, line,
                            "'" + word + "' is neither a number nor a variable in " + tag);
            continue;
        }
        const bool compare =
            word == ">" || word == "<" || word == ">=" || word == "<=" || word == "==";
        if (compare && comparison)
            ++comparisons;
        else if (word != "+" && word != "-" && word != "*" && word != "/")
            report->Add(key, line, "unknown operator '" + word + "' in " + tag);
        if (word == "/" && i + 1 < words.size() && words[i + 1] == "0")
            report->Add(key, line, "division by zero in " + tag);
    }
    if (words.size() % 2 == 0)
        report->Add(key, line, "an operator has no operand after it in " + tag);
    if (comparison && comparisons != 1)
        report->Add(key, line, "if needs exactly one comparison in " + tag);
}

int TagNumber(const std::vector<LintToken>& tokens, std::size_t index) {
    return index < tokens.size() ? std::atoi(tokens[index].text.c_str()) : 0;
}

struct ScriptScan {
    const std::string& key;
    const std::string& text;
    int slot;
    LintReport* report;
    std::vector<LabelUse>* uses;
    int links = 0;
    bool pageOpen = false;
    std::size_t pageStart = 0;
};

void LintTag(ScriptScan* scan, const std::string& tag, const std::string& name, int line) {
    LintReport* report = scan->report;
    const std::string& key = scan->key;
    const std::vector<LintToken> tokens = TokenizeLikeGame(tag);
    if (name == "ct" || name == "s" || name == "exit" || name == "jump")
        scan->pageOpen = false;
    if (name == "s") {
        if (scan->links == 0)
            report->Add(key, line, "[s] waits for a choice, but no [link] comes before it");
        scan->links = 0;
    } else if (name == "link") {
        if (++scan->links > LINK_RECORDS)
            report->Add(key, line, "more than 10 links before [s]");
        const std::size_t equals = tag.find('=');
        if (tag.compare(0, 12, "[link target") != 0 || equals == std::string::npos) {
            report->Add(key, line, "link must be written [link target=*label]: " + tag);
            return;
        }
        const std::string label = tag.substr(equals + 2, tag.size() - equals - 3);
        scan->uses->push_back({scan->slot, label, key, line, "link"});
    } else if (name == "jump") {
        int slot = scan->slot;
        bool target = false;
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            if (tokens[i].text == "target") {
                const std::size_t quote = tag.find("\"*");
                const std::size_t close =
                    quote == std::string::npos ? quote : tag.find('"', quote + 2);
                if (close == std::string::npos) {
                    report->Add(key, line, "jump target must be written target=\"*label\": " + tag);
                    return;
                }
                scan->uses->push_back(
                    {slot, tag.substr(quote + 2, close - quote - 2), key, line, "jump"});
                target = true;
                break;
            }
            slot = std::atoi(tokens[i].text.c_str());
        }
        if (!target)
            report->Add(key, line, "jump without target=\"*label\" does not turn the page: " + tag);
        if (slot < 0 || slot >= SCENARIO_SLOTS)
            report->Add(key, line,
                        "jump to scenario " + std::to_string(slot) + ", slots are 0 to 99");
    } else if (name == "image") {
        const int picture = TagNumber(tokens, 1);
        if (picture < 0 || picture > 8)
            report->Add(key, line,
                        "picture " + std::to_string(picture) + " does not exist (0 to 8)");
        for (std::size_t i = 2; i + 1 < tokens.size(); ++i) {
            if (tokens[i].text == "layer" && tokens[i + 1].text != "base") {
                const int layer = TagNumber(tokens, i + 1);
                if (layer < 0 || layer > 9)
                    report->Add(key, line,
                                "layer " + std::to_string(layer) + " does not exist (0 to 9)");
            }
        }
    } else if (name == "playse") {
        const int effect = TagNumber(tokens, 1);
        if (effect < 0 || effect > 1)
            report->Add(key, line,
                        "effect " + std::to_string(effect) + " has no sound (0 click, 1 talk)");
    } else if (name == "playbgm") {
        const int channel = TagNumber(tokens, 1);
        if (channel < 0 || channel > 2)
            report->Add(key, line,
                        "music channel " + std::to_string(channel) + " has no music (0 to 2)");
    } else if (name == "eval" || name == "if") {
        LintExpression(tag, name == "if", key, line, report);
    }
}

void LintScript(ScriptScan* scan) {
    const std::string& text = scan->text;
    LintReport* report = scan->report;
    std::size_t i = 0;
    int strayLine = 0;
    while (i < text.size()) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        const int line = LineOfOffset(text, i);
        if (b >= 0x80) {
            if (b >= 0xA1 && b <= 0xDF) {
                report->Add(scan->key, line,
                            "half-width katakana: the game reads it as the first byte of a "
                            "two-byte character");
            }
            if (!scan->pageOpen)
                scan->pageStart = i;
            scan->pageOpen = true;
            i += 2;
        } else if (b == '[') {
            const std::size_t close = text.find(']', i);
            const std::size_t lineEnd = text.find('\n', i);
            if (close == std::string::npos || (lineEnd != std::string::npos && close > lineEnd)) {
                report->Add(scan->key, line, "tag without \"]\" on its line");
                i = lineEnd == std::string::npos ? text.size() : lineEnd;
                continue;
            }
            const std::string tag = text.substr(i, close - i + 1);
            if (tag.size() > TAG_LIMIT) {
                report->Add(scan->key, line,
                            "tag of " + std::to_string(tag.size()) + " bytes, at most 255 fit");
            }
            const std::string name = tag.substr(1, std::min(tag.find(' '), tag.size() - 1) - 1);
            if (!scan->pageOpen)
                scan->pageStart = i;
            scan->pageOpen = true;
            if (KNOWN_TAGS.count(name) == 0)
                report->Add(scan->key, line, "unknown tag " + tag + " is shown as text");
            else
                LintTag(scan, tag, name, line);
            i = close + 1;
        } else if (b == ';' || b == '*') {
            const std::size_t end = text.find('\n', i);
            i = end == std::string::npos ? text.size() : end;
        } else if (b == '\\' && text.compare(i + 1, 2, "\r\n") == 0) {
            i += 3;
        } else {
            if (b > ' ' && b < 0x7F && strayLine != line) {
                report->Add(scan->key, line,
                            std::string("single-byte text '") + static_cast<char>(b) +
                                "' outside tags will not show");
                strayLine = line;
            }
            ++i;
        }
    }
    if (scan->pageOpen) {
        report->Add(scan->key, LineOfOffset(text, scan->pageStart),
                    "this page reaches the end of the script without [ct], a jump, a choice "
                    "or [exit]");
    }
}

std::set<std::string> LabelsOf(const std::string& text) {
    std::set<std::string> labels;
    for (std::size_t i = text.find('*'); i != std::string::npos; i = text.find('*', i + 1)) {
        if (i > 0 && text[i - 1] == '=')
            continue;
        std::size_t end = text.find_first_of("\n|", i);
        if (end == std::string::npos)
            end = text.size();
        std::string name = text.substr(i + 1, end - i - 1);
        if (end < text.size() && text[end] == '\n' && !name.empty() && name.back() == '\r')
            name.pop_back();
        labels.insert(name);
    }
    return labels;
}

} // namespace

void LintScenario(const LintFiles& files, LintReport* report) {
    const std::vector<std::string> slots = ReadFileList(files, report);
    std::vector<LabelUse> uses;
    std::vector<std::set<std::string>> labels(SCENARIO_SLOTS);
    for (int slot = 0; slot < SCENARIO_SLOTS; ++slot) {
        if (slots[slot].empty())
            continue;
        const auto found = files.find(slots[slot]);
        if (found == files.end()) {
            report->Add(FILE_LIST_KEY, 0,
                        "slot " + std::to_string(slot) + " names " + slots[slot] +
                            ", which is not there");
            continue;
        }
        const std::string text = TextOf(found->second);
        if (text.size() > SCENARIO_TEXT_LIMIT) {
            report->Add(slots[slot], 0,
                        std::to_string(text.size()) + " bytes; a script slot holds 65534");
        }
        labels[slot] = LabelsOf(text);
        ScriptScan scan{slots[slot], text, slot, report, &uses};
        LintScript(&scan);
    }
    for (const LabelUse& use : uses) {
        if (use.slot < 0 || use.slot >= SCENARIO_SLOTS)
            continue;
        if (slots[use.slot].empty() || !files.count(slots[use.slot])) {
            report->Add(use.key, use.line,
                        std::string(use.what) + " into scenario " + std::to_string(use.slot) +
                            ", which is empty");
        } else if (!use.label.empty() && labels[use.slot].count(use.label) == 0) {
            report->Add(use.key, use.line,
                        std::string(use.what) + " to label *" + use.label + ", which scenario " +
                            std::to_string(use.slot) + " does not define");
        }
    }
}

void LintScenarioSlots(const LintFiles& files, const std::vector<SlotUse>& uses,
                       LintReport* report) {
    LintReport ignored;
    const std::vector<std::string> slots = ReadFileList(files, &ignored);
    for (const SlotUse& use : uses) {
        if (use.slot < 0 || use.slot >= SCENARIO_SLOTS) {
            report->Add(use.key, use.line,
                        "scenario " + std::to_string(use.slot) + " is outside slots 0 to 99");
        } else if (slots[use.slot].empty()) {
            report->Add(use.key, use.line,
                        "starts scenario " + std::to_string(use.slot) + ", which is \"NONE\"");
        }
    }
}
