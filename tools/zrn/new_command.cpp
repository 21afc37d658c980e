// zrn new DIR: a small game that runs at once (`tavelle --unpacked DIR`) and passes
// `zrn lint DIR`, for an author to change piece by piece.
#include "new_game.h"
#include "zrn_commands.h"

#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"

#include <cstdio>

namespace {

constexpr const char* COMMAND = "new";

bool WriteFiles(const std::string& root, const NewGameFiles& files) {
    for (const NewGameFile& file : files) {
        const std::string path = JoinHostPath(root, file.path);
        std::string reason;
        if (!MakeHostFolders(HostParentFolder(path), &reason) ||
            !WriteHostFile(path, file.bytes.data(), file.bytes.size())) {
            PrintError(COMMAND, "cannot write " + path);
            return false;
        }
    }
    return true;
}

} // namespace

int RunNewCommand(int argc, char** argv) {
    if (argc != 2)
        return ReportUsageError(argv[0]);
    const std::string root = argv[1];
    if (GetHostEntryKind(root) != HOST_NOTHING && !IsEmptyHostFolder(root)) {
        PrintError(COMMAND, root + " already exists and is not empty; nothing was written");
        return EXIT_PROBLEM;
    }
    NewGameFiles files;
    AddNewGameScripts(&files);
    AddNewGameMaps(&files);
    AddNewGameModels(&files);
    AddNewGamePictures(&files);
    std::string why;
    if (!AddNewGameSound(&files, &why)) {
        PrintError(COMMAND, why);
        return EXIT_PROBLEM;
    }
    if (!WriteFiles(root, files))
        return EXIT_PROBLEM;
    std::printf("%s: a new game of %zu files. Play it with\n  tavelle --unpacked %s\n"
                "and see docs/authoring.md for what to change.\n",
                root.c_str(), files.size(), root.c_str());
    return 0;
}
