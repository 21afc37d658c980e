// Lint of the keys the game asks the archive for at start-up and on every map.
#include "lint_report.h"

namespace {

const char* const FIXED_KEYS[] = {"./Scenario/fileNameList.txt",
                                  "./X/textback.bmp",
                                  "./CG/cursor.bmp",
                                  "./CG/click.bmp",
                                  "./CG/selectback.bmp",
                                  "./X/mapchip.bmp",
                                  "./X/tavelle.bmp",
                                  "./X/miroune.bmp",
                                  "./CG/miroune.bmp",
                                  "./X/pendel.bmp",
                                  "./CG/pendel.bmp",
                                  "./X/sorvane.bmp",
                                  "./CG/sorvane.bmp",
                                  "./X/obrik.bmp",
                                  "./CG/obrik.bmp",
                                  "./X/daskel.bmp",
                                  "./CG/daskel.bmp",
                                  "./X/korvath.bmp",
                                  "./CG/korvath.bmp",
                                  "./CG/end.bmp",
                                  "./X/effect.bmp",
                                  "./X/cursor.3dd",
                                  "./X/space.3dd",
                                  "./X/question.3dd"};
const char* const MAP_KINDS[] = {"base", "baseUV", "attribute", "chara", "event"};

void LintModelTexture(const LintFiles& files, const std::string& key, LintReport* report) {
    const auto found = files.find(key);
    if (found == files.end())
        return;
    const std::vector<LintToken> tokens = TokenizeLikeGame(TextOf(found->second));
    if (tokens.size() < 4) {
        report->Add(key, 0, "a model needs a header, two counts and a texture key");
        return;
    }
    std::string texture = tokens[3].text;
    if (texture.back() != '\r') {
        report->Add(key, tokens[3].line,
                    "the texture key's line ends without CR: the game drops its last character");
    }
    texture.pop_back();
    if (!files.count(texture))
        report->Add(key, tokens[3].line, "texture " + texture + " is not in the archive");
}

} // namespace

void LintRequiredKeys(const LintFiles& files, LintReport* report) {
    for (const char* key : FIXED_KEYS) {
        if (!files.count(key))
            report->Add(key, 0, "missing: the game loads it at start-up");
    }
    for (int map = 1; map <= 3; ++map) {
        for (const char* kind : MAP_KINDS) {
            const std::string key = "./Data/map" + std::to_string(map) + kind + ".dat";
            if (!files.count(key))
                report->Add(key, 0,
                            "missing: the game reads it when map " + std::to_string(map) +
                                " is built");
        }
    }
    for (const char* model : {"./X/cursor.3dd", "./X/space.3dd", "./X/question.3dd"})
        LintModelTexture(files, model, report);
}
