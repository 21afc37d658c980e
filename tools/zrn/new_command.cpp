// zrn new DIR: a small game that runs at once (`tavelle --unpacked DIR`) and passes
// `zrn lint DIR`, for an author to change piece by piece.
#include "new_game.h"
#include "zrn_commands.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* COMMAND = "new";

bool WriteFiles(const fs::path& root, const NewGameFiles& files) {
    for (const NewGameFile& file : files) {
        const fs::path path = root / file.path;
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()),
                  static_cast<std::streamsize>(file.bytes.size()));
        out.close();
        if (error || !out) {
            PrintError(COMMAND, "cannot write " + path.string());
            return false;
        }
    }
    return true;
}

} // namespace

int RunNewCommand(int argc, char** argv) {
    if (argc != 2)
        return ReportUsageError(argv[0]);
    const fs::path root = argv[1];
    std::error_code error;
    if (fs::exists(root, error) && !fs::is_empty(root, error)) {
        PrintError(COMMAND,
                   root.string() + " already exists and is not empty; nothing was written");
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
