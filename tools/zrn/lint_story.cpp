// Lint across scripts and maps: what starts each scenario, which variables are set
// and tested, and whether the pictures, effects and music that scripts ask for exist.
#include "lint_report.h"

#include "render/assets.h"
#include "scenario/scenario_store.h"
#include "scenario/variables.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include "platform/files/host_files.h"

#include <set>

namespace {

// A script that FillPage would find nothing in: no tag and no two-byte character.
bool ShowsNothing(const std::string& text) {
    for (const char b : text) {
        if (b == '[' || static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

void LintSlots(const LintInput& input, const LintFacts& facts, LintReport* report) {
    std::set<int> started;
    for (const NumberUse& start : facts.starts) {
        if (!IsScenarioSlot(start.number)) {
            report->Add(start.key, start.line,
                        "scenario " + std::to_string(start.number) + " is outside slots 0 to " +
                            std::to_string(SCENARIO_COUNT - 1));
            continue;
        }
        started.insert(start.number);
        const std::string& key = facts.slotKeys[start.number];
        const auto found = input.files.find(key);
        if (key.empty()) {
            report->Add(start.key, start.line,
                        "starts scenario " + std::to_string(start.number) + ", which is \"NONE\"");
        } else if (found != input.files.end() && ShowsNothing(ScriptTextOf(found->second))) {
            report->Add(start.key, start.line,
                        "starts scenario " + std::to_string(start.number) + ", whose script " +
                            key + " is empty: the game would wait for ever");
        }
    }
    for (int slot = 0; slot < SCENARIO_COUNT; ++slot) {
        if (!facts.slotKeys[slot].empty() && !started.count(slot)) {
            report->Add(SCENARIO_LIST_KEY, facts.slotLines[slot],
                        "scenario " + std::to_string(slot) + " (" + facts.slotKeys[slot] +
                            ") is never started: no marker, character or jump starts it");
        }
    }
}

// Each variable once: the first place that tests it without any script setting it,
// and the first place that sets it without anything testing it.
void LintVariables(const LintFacts& facts, LintReport* report) {
    std::set<std::string> set = {"e." + std::to_string(STARTUP_FLAG)};
    std::set<std::string> tested;
    for (const VariableUse& use : facts.sets)
        set.insert(use.name);
    for (const VariableUse& use : facts.tests)
        tested.insert(use.name);
    std::set<std::string> reported;
    for (const VariableUse& use : facts.tests) {
        if (!set.count(use.name) && reported.insert(use.name).second)
            report->Add(use.key, use.line,
                        use.name + " is tested, but no script sets it: it is always 0");
    }
    for (const VariableUse& use : facts.sets) {
        if (!tested.count(use.name) && reported.insert(use.name).second)
            report->Add(use.key, use.line, use.name + " is set, but nothing tests it");
    }
}

// Where a loose file should be and is not, as a reason; "" when it is there or when
// lint reads an archive alone.
std::string MissingLooseFile(const LintInput& input, const char* gamePath) {
    if (!input.hasFolder || GetHostEntryKind(LooseFilePath(input, gamePath)) == HOST_FILE)
        return "";
    return ": " + LooseFileName(gamePath) + " is missing";
}

void LintPictures(const LintInput& input, const LintFacts& facts, LintReport* report) {
    for (const NumberUse& use : facts.pictures) {
        // Picture 0 never has one: showing it is how a script empties a layer.
        if (use.number == 0)
            continue;
        const TextureAsset* asset = nullptr;
        for (const TextureAsset& candidate : TEXTURE_ASSETS) {
            if (candidate.picture == &g_pictures[use.number])
                asset = &candidate;
        }
        const std::string picture = "picture " + std::to_string(use.number);
        if (!asset)
            report->Add(use.key, use.line,
                        picture +
                            " has no file: the layer shows nothing (picture 0 empties a layer)");
        else if (!input.files.count(asset->key))
            report->Add(use.key, use.line,
                        picture + " has no file: " + asset->key + " is not in the archive");
    }
}

void LintSounds(const LintInput& input, const LintFacts& facts, LintReport* report) {
    for (const NumberUse& use : facts.effects) {
        const std::string effect = "effect " + std::to_string(use.number);
        if (use.number < 0 || use.number >= SOUND_EFFECT_FILE_COUNT) {
            report->Add(use.key, use.line,
                        effect + " has no file (0 " + LooseFileName(SOUND_EFFECT_FILES[0]) +
                            ", 1 " + LooseFileName(SOUND_EFFECT_FILES[1]) + ")");
            continue;
        }
        const std::string missing = MissingLooseFile(input, SOUND_EFFECT_FILES[use.number]);
        if (!missing.empty())
            report->Add(use.key, use.line, effect + " has no file" + missing);
    }
    for (const NumberUse& use : facts.music) {
        const std::string music = "music " + std::to_string(use.number);
        if (use.number < 0 || use.number >= MUSIC_CHANNEL_COUNT) {
            report->Add(use.key, use.line,
                        music + " has no file (channels 0 to " +
                            std::to_string(MUSIC_CHANNEL_COUNT - 1) + ")");
            continue;
        }
        const std::string missing = MissingLooseFile(input, MUSIC_FILES[use.number]);
        if (!missing.empty())
            report->Add(use.key, use.line, music + " has no file" + missing);
    }
}

} // namespace

void LintStory(const LintInput& input, const LintFacts& facts, LintReport* report) {
    LintSlots(input, facts, report);
    LintVariables(facts, report);
    LintPictures(input, facts, report);
    LintSounds(input, facts, report);
}
