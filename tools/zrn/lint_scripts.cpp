// Lint of the scenario: the file list and every script it names.
#include "archive/folder_convert.h"
#include "lint_report.h"

#include "core/tokenizer.h"
#include "scenario/interpreter.h"
#include "scenario/labels.h"
#include "scenario/links.h"
#include "scenario/page.h"
#include "scenario/picture_layers.h"
#include "scenario/scenario_store.h"
#include "scenario/variables.h"

#include <algorithm>
#include <cstring>

namespace {

struct LabelUse {
    int slot; // the scenario searched
    std::string label;
    bool skipAttributes; // a jump passes over a "*" right after "="
    std::string key;     // where the use is written
    int line;
    const char* what;
};

// Reads the list as the store does: names split at runs of line feeds, each losing
// its last byte (the CR), "NONE" anywhere for an empty slot.
void ReadFileList(const LintFiles& files, LintFacts* facts, LintReport* report) {
    facts->slotKeys.assign(SCENARIO_COUNT, "");
    facts->slotLines.assign(SCENARIO_COUNT, 0);
    const auto found = files.find(SCENARIO_LIST_KEY);
    if (found == files.end())
        return;
    const std::string text = ScriptTextOf(found->second);
    const LineIndex lines = IndexLines(text);
    int slot = 0;
    std::size_t start = 0;
    while (start < text.size() && slot < SCENARIO_COUNT) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start) {
            std::string name = text.substr(start, end - start);
            const int line = LineOf(lines, start);
            // Only a list that mixes its line ends keeps a line without its CR.
            if (name.back() != '\r') {
                report->Add(SCENARIO_LIST_KEY, line,
                            "line ends without CR among lines with CR LF: the game drops the last "
                            "character of \"" +
                                name + "\"");
            }
            name.pop_back();
            if (name.find("NONE") == std::string::npos)
                facts->slotKeys[slot] = name;
            facts->slotLines[slot] = line;
            ++slot;
        }
        start = end + 1;
    }
    if (slot < SCENARIO_COUNT) {
        report->Add(SCENARIO_LIST_KEY, 0,
                    "only " + std::to_string(slot) + " names; the list needs " +
                        std::to_string(SCENARIO_COUNT) + " lines, \"NONE\" for an empty slot");
    }
}

// The text between the first pair of double quotes in a tag; "" when there is none.
std::string QuotedAttribute(const std::string& tag) {
    const std::size_t opening = tag.find('"');
    const std::size_t closing = opening == std::string::npos ? opening : tag.find('"', opening + 1);
    if (closing == std::string::npos)
        return "";
    return tag.substr(opening + 1, closing - opening - 1);
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

// The words of an expression, split as the game splits them.
std::vector<std::string> Words(const std::string& text) {
    std::string copy = text;
    char* cursor = copy.data();
    std::vector<std::string> words;
    while (const char* word = NextToken(&cursor, WORD_DELIMITERS))
        words.push_back(word);
    return words;
}

bool IsVariable(const std::string& word) {
    return IsNumber(word.substr(std::min(word.size(), std::size_t{2}))) &&
           VariableSlot(word.c_str()) != nullptr;
}

// The variable's name as the checks compare it: "e.03" and "e.3" are one variable.
std::string VariableName(const std::string& word) {
    const std::int32_t* slot = VariableSlot(word.c_str());
    if (slot >= g_eVars && slot < g_eVars + E_VAR_COUNT)
        return "e." + std::to_string(slot - g_eVars);
    return "s." + std::to_string(slot - g_sVars);
}

// An operand: a decimal number, or a variable the game has.
bool IsOperand(const std::string& word, bool variableOnly) {
    if (word.find('.') == std::string::npos)
        return !variableOnly && IsNumber(word);
    return IsVariable(word);
}

std::string VariableLimits() {
    return "(e.0 to e." + std::to_string(E_VAR_COUNT - 1) + ", s.0 to s." +
           std::to_string(S_VAR_COUNT - 1) + ")";
}

// Checks [eval x="target = a + b ..."] and [if x="a + b == c ..."]: operands and
// operators in turn, evaluated left to right by the game. Records what is set and read.
void LintExpression(const std::string& tag, bool comparison, const std::string& key, int line,
                    LintFacts* facts, LintReport* report) {
    std::vector<std::string> words = Words(QuotedAttribute(tag));
    if (words.empty() || tag.find("=\"") == std::string::npos) {
        report->Add(key, line, "expression must be written as x=\"...\" in " + tag);
        return;
    }
    std::string target;
    if (!comparison) {
        if (words.size() < 3 || words[1] != "=") {
            report->Add(key, line, "eval needs \"e.N = value\" or \"s.N = value\" in " + tag);
            return;
        }
        if (IsOperand(words[0], true)) {
            target = VariableName(words[0]);
            facts->sets.push_back({target, key, line});
        } else {
            report->Add(key, line,
                        "'" + words[0] + "' is no variable " + VariableLimits() + " in " + tag);
        }
        words.erase(words.begin(), words.begin() + 2);
    }
    int comparisons = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (i % 2 == 0) {
            if (!IsOperand(word, false))
                report->Add(key, line,
                            "'" + word + "' is neither a number nor a variable in " + tag);
            else if (IsVariable(word) && VariableName(word) != target)
                facts->tests.push_back({VariableName(word), key, line});
            continue;
        }
        if (IsComparisonOperator(word.c_str()) && comparison)
            ++comparisons;
        else if (!IsArithmeticOperator(word.c_str()))
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
    return index < tokens.size() ? TokenToInt(tokens[index].text.c_str()) : 0;
}

struct ScriptScan {
    const std::string& key;
    const std::string& text;
    int slot;
    LintFacts* facts;
    LintReport* report;
    std::vector<LabelUse>* uses;
    int links = 0;
    bool pageOpen = false;
    std::size_t pageStart = 0;
    // A new page skips single-byte text up to its first tag or two-byte character:
    // at the script's start, after [ct] and after a label a jump may land on.
    bool pageStarting = true;
};

// [jump N target="*label"], read as the game reads it: every number that names a
// slot before "target" chooses the scenario searched; the label follows in quotes.
void LintJump(ScriptScan* scan, const std::string& tag, int line) {
    std::string copy = tag;
    char* cursor = copy.data();
    NextToken(&cursor, TOKEN_DELIMITERS); // "[jump"
    int slot = scan->slot;
    while (const char* token = NextToken(&cursor, TOKEN_DELIMITERS)) {
        if (std::strcmp(token, "target") != 0) {
            const int n = TokenToInt(token);
            if (IsScenarioSlot(n))
                slot = n;
            else
                scan->report->Add(scan->key, line,
                                  "jump to scenario " + std::to_string(n) + ", slots are 0 to " +
                                      std::to_string(SCENARIO_COUNT - 1));
            continue;
        }
        const char* label = NextToken(&cursor, " \"");
        if (!label || label[0] != '*' || std::strchr(label, ']')) {
            scan->report->Add(scan->key, line,
                              "jump target must be written target=\"*label\": " + tag);
            return;
        }
        scan->uses->push_back({slot, label + 1, true, scan->key, line, "jump"});
        if (slot != scan->slot)
            scan->facts->starts.push_back({slot, scan->key, line});
        return;
    }
    scan->report->Add(scan->key, line,
                      "jump without target=\"*label\" does not turn the page: " + tag);
}

void LintTag(ScriptScan* scan, const std::string& tag, const std::string& name, int line) {
    LintReport* report = scan->report;
    const std::string& key = scan->key;
    const std::vector<LintToken> tokens = TokenizeLikeGame(tag);
    if (name == "ct" || name == "s" || name == "exit" || name == "jump")
        scan->pageOpen = false;
    scan->pageStarting = name == "ct";
    if (name == "s") {
        if (scan->links == 0)
            report->Add(key, line, "[s] waits for a choice, but no [link] comes before it");
        scan->links = 0;
    } else if (name == "link") {
        if (++scan->links > LINK_COUNT)
            report->Add(key, line, "more than " + std::to_string(LINK_COUNT) + " links before [s]");
        const std::size_t equals = tag.find('=');
        if (tag.compare(0, 12, "[link target") != 0 || equals == std::string::npos) {
            report->Add(key, line, "link must be written [link target=*label]: " + tag);
            return;
        }
        const std::string label = tag.substr(equals + 2, tag.size() - equals - 3);
        scan->uses->push_back({scan->slot, label, false, key, line, "link"});
    } else if (name == "jump") {
        LintJump(scan, tag, line);
    } else if (name == "image") {
        const int picture = TagNumber(tokens, 1);
        if (picture < 0 || picture >= PICTURE_NUMBER_COUNT)
            report->Add(key, line,
                        "picture " + std::to_string(picture) + " does not exist (0 to " +
                            std::to_string(PICTURE_NUMBER_COUNT - 1) + ")");
        else
            scan->facts->pictures.push_back({picture, key, line});
        for (std::size_t i = 2; i + 1 < tokens.size(); ++i) {
            if (tokens[i].text == "layer" && tokens[i + 1].text != "base") {
                const int layer = TagNumber(tokens, i + 1);
                if (layer < 0 || layer >= PICTURE_LAYER_COUNT)
                    report->Add(key, line,
                                "layer " + std::to_string(layer) + " does not exist (0 to " +
                                    std::to_string(PICTURE_LAYER_COUNT - 1) + ")");
            }
        }
    } else if (name == "playse") {
        scan->facts->effects.push_back({TagNumber(tokens, 1), key, line});
    } else if (name == "playbgm") {
        scan->facts->music.push_back({TagNumber(tokens, 1), key, line});
    } else if (name == "eval" || name == "if") {
        LintExpression(tag, name == "if", key, line, scan->facts, report);
    }
}

void LintScript(ScriptScan* scan) {
    const std::string& text = scan->text;
    LintReport* report = scan->report;
    const int size = static_cast<int>(text.size());
    const LineIndex lines = IndexLines(text);
    std::size_t i = 0;
    int strayLine = 0;
    while (i < text.size()) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        const int line = LineOf(lines, i);
        if (b >= 0x80) {
            if (b >= 0xA1 && b <= 0xDF) {
                report->Add(scan->key, line,
                            "half-width katakana: the game reads it as the first byte of a "
                            "two-byte character");
            }
            if (!scan->pageOpen)
                scan->pageStart = i;
            scan->pageOpen = true;
            scan->pageStarting = false;
            i += 2;
        } else if (b == '[') {
            // Searched within the line only, so that many open tags cost no more than one.
            const std::size_t lineEnd = std::min(text.find('\n', i), text.size());
            const std::size_t close = static_cast<std::size_t>(
                std::find(text.begin() + static_cast<std::ptrdiff_t>(i),
                          text.begin() + static_cast<std::ptrdiff_t>(lineEnd), ']') -
                text.begin());
            if (close == lineEnd) {
                report->Add(scan->key, line, "tag without \"]\" on its line");
                i = lineEnd;
                continue;
            }
            const std::string tag = text.substr(i, close - i + 1);
            int length = 0;
            char name[MAX_TAG_LENGTH];
            if (!ReadTag(text.data(), static_cast<int>(i), size, &length, name)) {
                report->Add(scan->key, line,
                            "tag of " + std::to_string(tag.size()) + " bytes, at most " +
                                std::to_string(MAX_TAG_LENGTH) + " fit");
                i = close + 1;
                continue;
            }
            if (!scan->pageOpen)
                scan->pageStart = i;
            scan->pageOpen = true;
            if (!IsScriptTag(name))
                report->Add(scan->key, line, "unknown tag " + tag + " is shown as text");
            else
                LintTag(scan, tag, name, line);
            i = close + 1;
        } else if (b == ';' || b == '*') {
            const std::size_t end = std::min(text.find('\n', i), text.size());
            if (scan->pageStarting) {
                const auto wide = std::find_if(text.begin() + static_cast<std::ptrdiff_t>(i),
                                               text.begin() + static_cast<std::ptrdiff_t>(end),
                                               [](char c) { return (c & 0x80) != 0; });
                if (wide != text.begin() + static_cast<std::ptrdiff_t>(end)) {
                    report->Add(scan->key, line,
                                std::string(b == ';' ? "comment" : "label") +
                                    " line with two-byte text right after a page start (the "
                                    "script's start, [ct] or a label): the game skips the \"" +
                                    static_cast<char>(b) +
                                    "\" and shows the text; write the line in ASCII or move it "
                                    "after the page's first tag");
                    scan->pageStarting = false;
                }
            }
            if (b == '*')
                scan->pageStarting = true;
            i = end;
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
        report->Add(scan->key, LineOf(IndexLines(text), scan->pageStart),
                    "this page reaches the end of the script without [ct], a jump, a choice "
                    "or [exit]");
    }
}

} // namespace

void LintScenario(const LintFiles& files, LintFacts* facts, LintReport* report) {
    ReadFileList(files, facts, report);
    std::vector<LabelUse> uses;
    // The labels are searched in the game's own store, as the game searches them.
    for (int slot = 0; slot < SCENARIO_COUNT; ++slot)
        StoreScenarioText(slot, "", 0);
    for (int slot = 0; slot < SCENARIO_COUNT; ++slot) {
        const std::string& key = facts->slotKeys[slot];
        if (key.empty())
            continue;
        const auto found = files.find(key);
        if (found == files.end()) {
            report->Add(SCENARIO_LIST_KEY, facts->slotLines[slot],
                        "slot " + std::to_string(slot) + " names " + key + ", which is not there");
            continue;
        }
        const std::string text = ScriptTextOf(found->second);
        if (text.size() > static_cast<std::size_t>(SCENARIO_MAX_LENGTH)) {
            report->Add(key, 0,
                        std::to_string(text.size()) + " bytes; a script slot holds " +
                            std::to_string(SCENARIO_MAX_LENGTH));
        }
        StoreScenarioText(slot, text.data(), text.size());
        if (LooksLikeUtf8(text)) {
            // Its every two-byte character would be a symptom of its own: one line says why.
            report->Add(key, 0,
                        "this file looks like UTF-8: save it as Shift-JIS (CP932), or name it "
                        ".txt in a game folder, whose folder mode and zrn pack convert it; the "
                        "game shows none of its text");
            continue;
        }
        ScriptScan scan{key, text, slot, facts, report, &uses};
        LintScript(&scan);
    }
    for (const LabelUse& use : uses) {
        // An empty slot is reported with what starts it, a missing script with the list.
        if (facts->slotKeys[use.slot].empty() || !files.count(facts->slotKeys[use.slot]))
            continue;
        if (FindLabel(use.slot, use.label.data(), static_cast<int>(use.label.size()),
                      use.skipAttributes) < 0) {
            report->Add(use.key, use.line,
                        std::string(use.what) + " to label *" + use.label + ", which scenario " +
                            std::to_string(use.slot) + " does not define");
        }
    }
}
