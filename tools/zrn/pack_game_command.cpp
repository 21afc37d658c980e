// zrn pack GAME_DIR OUT_DIR: a game folder played unpacked turned into the game as it is
// handed out: OUT_DIR/ZRN.dat with the archive's files, beside it the files the game
// reads from disk (the loading picture, the effects and the music), then lint of what
// was written, so that a missing loose file shows before a player meets it.
#include "lint_command.h"
#include "lint_report.h"
#include "zrn_commands.h"

#include "app/frame_states.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr const char* COMMAND = "pack";

// The files the game opens by path instead of asking the archive for.
std::vector<const char*> LooseGamePaths() {
    std::vector<const char*> paths = {LOADING_PICTURE_PATH};
    paths.insert(paths.end(), SOUND_EFFECT_FILES, SOUND_EFFECT_FILES + SOUND_EFFECT_FILE_COUNT);
    for (const char* music : MUSIC_FILES) {
        if (std::find_if(paths.begin(), paths.end(), [&](const char* known) {
                return std::string(known) == music;
            }) == paths.end())
            paths.push_back(music);
    }
    return paths;
}

// True when inner is outer or lies below it.
bool IsInside(const std::filesystem::path& inner, const std::filesystem::path& outer) {
    std::error_code error;
    const std::filesystem::path a = std::filesystem::weakly_canonical(inner, error);
    const std::filesystem::path b = std::filesystem::weakly_canonical(outer, error);
    if (error)
        return false;
    const auto mismatch = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    return mismatch.first == b.end();
}

bool CopyLooseFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    std::filesystem::create_directories(to.parent_path(), error);
    if (!error)
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                                   error);
    if (error)
        PrintError(COMMAND,
                   "cannot copy " + from.string() + " to " + to.string() + ": " + error.message());
    return !error;
}

} // namespace

int PackGame(const std::filesystem::path& game, const std::filesystem::path& out) {
    if (!std::filesystem::is_directory(game)) {
        PrintError(COMMAND, game.string() + ": not a game folder");
        return EXIT_PROBLEM;
    }
    if (IsInside(out, game)) {
        PrintError(COMMAND, out.string() + " is inside the game folder " + game.string() +
                                ": choose an output folder outside it, or its next pack would "
                                "pack the last one");
        return EXIT_PROBLEM;
    }
    std::error_code error;
    std::filesystem::create_directories(out, error);
    if (error) {
        PrintError(COMMAND, "cannot create " + out.string() + ": " + error.message());
        return EXIT_PROBLEM;
    }
    LintInput source;
    source.hasFolder = true;
    source.folder = game;
    LintInput target = source;
    target.folder = out;
    std::vector<std::filesystem::path> leaveOut;
    for (const char* path : LooseGamePaths()) {
        const std::filesystem::path from = LooseFilePath(source, path);
        if (!std::filesystem::is_regular_file(from))
            continue; // lint reports it below
        leaveOut.push_back(from);
        if (!CopyLooseFile(from, LooseFilePath(target, path)))
            return EXIT_PROBLEM;
    }
    // A packed game kept in the folder is not what the folder plays.
    leaveOut.push_back(game / "ZRN.dat");
    if (!PackTree(game, (out / "ZRN.dat").string(), leaveOut))
        return EXIT_PROBLEM;
    std::string outText = out.string();
    char lintName[] = "lint";
    char* lintArguments[] = {lintName, outText.data(), nullptr};
    return RunLintCommand(2, lintArguments);
}
