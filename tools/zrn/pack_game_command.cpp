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

#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"

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
bool IsInside(const std::string& inner, const std::string& outer) {
    const std::string a = HostResolvedPath(inner);
    const std::string b = HostResolvedPath(outer);
    if (a.empty() || b.empty())
        return false;
    return a == b || (a.compare(0, b.size(), b) == 0 && (b.back() == '/' || a[b.size()] == '/'));
}

bool CopyLooseFile(const std::string& from, const std::string& to) {
    std::string reason;
    if (MakeHostFolders(HostParentFolder(to), &reason) && CopyHostFile(from, to, &reason))
        return true;
    PrintError(COMMAND, "cannot copy " + from + " to " + to + ": " + reason);
    return false;
}

} // namespace

int PackGame(const std::string& game, const std::string& out) {
    if (GetHostEntryKind(game) != HOST_FOLDER) {
        PrintError(COMMAND, game + ": not a game folder");
        return EXIT_PROBLEM;
    }
    if (IsInside(out, game)) {
        PrintError(COMMAND, out + " is inside the game folder " + game +
                                ": choose an output folder outside it, or its next pack would "
                                "pack the last one");
        return EXIT_PROBLEM;
    }
    std::string reason;
    if (!MakeHostFolders(out, &reason)) {
        PrintError(COMMAND, "cannot create " + out + ": " + reason);
        return EXIT_PROBLEM;
    }
    LintInput source;
    source.hasFolder = true;
    source.folder = game;
    LintInput target = source;
    target.folder = out;
    std::vector<std::string> leaveOut;
    for (const char* path : LooseGamePaths()) {
        const std::string from = LooseFilePath(source, path);
        if (GetHostEntryKind(from) != HOST_FILE)
            continue; // lint reports it below
        leaveOut.push_back(from);
        if (!CopyLooseFile(from, LooseFilePath(target, path)))
            return EXIT_PROBLEM;
    }
    // A packed game kept in the folder is not what the folder plays.
    leaveOut.push_back(JoinHostPath(game, "ZRN.dat"));
    if (!PackTree(game, JoinHostPath(out, "ZRN.dat"), leaveOut))
        return EXIT_PROBLEM;
    std::string outText = out;
    char lintName[] = "lint";
    char* lintArguments[] = {lintName, outText.data(), nullptr};
    return RunLintCommand(2, lintArguments);
}
