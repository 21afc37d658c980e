// Lint of the keys the game asks the archive for at start-up and on every map.
#include "lint_report.h"

#include "field/map_files.h"
#include "render/assets.h"
#include "scenario/scenario_store.h"

namespace {

const char* const MODEL_KEYS[] = {CURSOR_MODEL_KEY, FOG_VOLUME_MODEL_KEY, QUESTION_MODEL_KEY};

void LintModelTexture(const LintFiles& files, const std::string& key, LintReport* report) {
    const auto found = files.find(key);
    if (found == files.end())
        return;
    const std::vector<LintToken> tokens = TokenizeLikeGame(DataTextOf(found->second));
    if (tokens.size() < 4) {
        report->Add(key, 0, "a model needs a header, two counts and a texture key");
        return;
    }
    // The carriage return of a CR LF line end is not part of the key.
    std::string texture = tokens[3].text;
    if (texture.back() == '\r')
        texture.pop_back();
    if (!files.count(texture))
        report->Add(key, tokens[3].line, "texture " + texture + " is not in the archive");
}

void RequireKey(const LintFiles& files, const std::string& key, const std::string& when,
                LintReport* report) {
    if (!files.count(key))
        report->Add(key, 0, "missing: the game reads it " + when);
}

} // namespace

void LintRequiredKeys(const LintFiles& files, LintReport* report) {
    RequireKey(files, SCENARIO_LIST_KEY, "at start-up", report);
    for (const TextureAsset& asset : TEXTURE_ASSETS)
        RequireKey(files, asset.key, "at start-up", report);
    for (const char* key : MODEL_KEYS)
        RequireKey(files, key, "at start-up", report);
    for (int map = 1; map <= MAP_COUNT; ++map) {
        for (int kind = 0; kind < MAP_FILE_KIND_COUNT; ++kind)
            RequireKey(files, g_mapFileNames[kind][map],
                       "when map " + std::to_string(map) + " is built", report);
    }
    for (const char* model : MODEL_KEYS)
        LintModelTexture(files, model, report);
}
