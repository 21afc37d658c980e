// zrn lint GAME_DIR | ARCHIVE: reads a game folder as the game would run in it (its
// ZRN.dat, or, without one, the files below it as the keys, and its loose files), or
// a packed archive alone, and reports every problem as "KEY:LINE: text" on stdout.
#include "lint_command.h"

#include "archive/archive.h"
#include "lint_report.h"
#include "zrn_commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

bool ReadTree(const char* command, const std::filesystem::path& root, LintFiles* files) {
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file())
            continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in && !in.eof()) {
            PrintError(command, "cannot read " + it->path().string());
            return false;
        }
        const std::string key = "./" + it->path().lexically_relative(root).generic_string();
        (*files)[key] = bytes.str();
    }
    if (error) {
        PrintError(command, "cannot read " + root.string() + ": " + error.message());
        return false;
    }
    return true;
}

bool ReadArchive(const char* command, const char* path, LintFiles* files) {
    bool complete = false;
    if (!LoadIndexForTool(command, path, &complete))
        return false;
    for (const auto& [key, entry] : g_archiveIndex) {
        std::string bytes(DecodedLength(entry) + 1, '\0');
        if (FAILED(ReadArchiveFile(key.c_str(), bytes.data()))) {
            PrintError(command, "the data of '" + key + "' lies outside " + path);
            continue;
        }
        bytes.pop_back();
        (*files)[key] = bytes;
    }
    return true;
}

} // namespace

int RunLintCommand(int argc, char** argv) {
    if (argc != 2)
        return ReportUsageError(argv[0]);
    LintInput input;
    input.hasFolder = std::filesystem::is_directory(argv[1]);
    input.folder = argv[1];
    const std::filesystem::path archive = input.folder / "ZRN.dat";
    bool read = false;
    if (!input.hasFolder)
        read = ReadArchive(argv[0], argv[1], &input.files);
    else if (std::filesystem::is_regular_file(archive))
        read = ReadArchive(argv[0], archive.c_str(), &input.files);
    else
        read = ReadTree(argv[0], input.folder, &input.files);
    if (!read)
        return EXIT_PROBLEM;
    const LintFiles& files = input.files;
    LintReport report;
    LintFacts facts;
    LintRequiredKeys(files, &report);
    LintScenario(files, &facts, &report);
    LintMaps(files, &facts, &report);
    LintStory(input, facts, &report);
    LintWalls(files, facts, &report);
    LintMedia(input, &report);
    for (const LintProblem& problem : report.problems) {
        if (problem.line > 0)
            std::printf("%s:%d: %s\n", problem.key.c_str(), problem.line, problem.text.c_str());
        else
            std::printf("%s: %s\n", problem.key.c_str(), problem.text.c_str());
    }
    if (report.problems.empty())
        return 0;
    std::fprintf(stderr, "zrn lint: %zu problem%s in %s\n", report.problems.size(),
                 report.problems.size() == 1 ? "" : "s", argv[1]);
    return EXIT_PROBLEM;
}
