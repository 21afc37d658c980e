// zrn lint GAME_DIR | ARCHIVE: reads a game folder as the game would run in it (its
// ZRN.dat, or, without one, the files below it as the keys, and its loose files), or
// an archive (with the loose files beside it when it is a game's ZRN.dat), reports
// every problem as "KEY:LINE: text" on stdout and ends with a summary line.
#include "lint_command.h"

#include "archive/archive.h"
#include "lint_report.h"
#include "map_picture.h"
#include "zrn_commands.h"

#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"

#include <cstdio>

namespace {

// A file of a game folder as folder mode serves it, with a note when it was converted.
void ReadFolderEntry(const std::string& key, const ArchiveEntry& entry, LintInput* input) {
    FolderConverted converted;
    if (!ReadConvertedFolderFile(entry, &converted)) {
        input->readProblems.push_back({key, converted.line, converted.problem});
        // The game's read of it fails and leaves its slot or texture empty.
        input->files[key].clear();
        return;
    }
    if (converted.changed) {
        const bool picture = g_archiveFolderConversions[entry.position] == FOLDER_PNG;
        input->readNotes.push_back(
            {key, 0,
             picture ? "read from the PNG of that name: folder mode and zrn pack convert it "
                       "to a bitmap"
                     : "saved as UTF-8: folder mode and zrn pack convert it to Shift-JIS "
                       "(CP932)"});
    }
    input->files[key].assign(converted.bytes.begin(), converted.bytes.end());
}

bool ReadArchive(const char* command, const char* path, LintInput* input) {
    bool complete = false;
    if (!LoadIndexForTool(command, path, &complete))
        return false;
    LintFiles* files = &input->files;
    for (const auto& [key, entry] : g_archiveIndex) {
        if (g_archiveIsFolder) {
            ReadFolderEntry(key, entry, input);
            continue;
        }
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

bool ReadLintInput(const char* command, const char* path, LintInput* input) {
    const std::string given = path;
    input->hasFolder = GetHostEntryKind(given) == HOST_FOLDER;
    input->folder = given;
    // A game's archive is played in the folder that holds it, beside its loose files.
    if (!input->hasFolder && HostFileName(given) == "ZRN.dat") {
        const std::string parent = HostParentFolder(given);
        input->hasFolder = true;
        input->folder = parent.empty() ? "." : parent;
    }
    const std::string archive = JoinHostPath(input->folder, "ZRN.dat");
    // A folder without ZRN.dat is read as folder mode serves it.
    const bool packed = input->hasFolder && GetHostEntryKind(archive) == HOST_FILE;
    return ReadArchive(command, packed ? archive.c_str() : path, input);
}

void RunLintChecks(const LintInput& input, LintFacts* facts, LintReport* report) {
    const LintFiles& files = input.files;
    for (const LintProblem& problem : input.readProblems)
        report->Add(problem.key, problem.line, problem.text);
    report->notes = input.readNotes;
    LintRequiredKeys(files, report);
    LintScenario(files, facts, report);
    LintMaps(files, facts, report);
    LintStory(input, *facts, report);
    LintWalls(files, *facts, report);
    LintPens(files, *facts, report);
    LintView(files, *facts, report);
    LintMedia(input, report);
    NamePicturePoints(files, *facts, report);
}

int RunLintCommand(int argc, char** argv) {
    if (argc != 2)
        return ReportUsageError(argv[0]);
    LintInput input;
    if (!ReadLintInput(argv[0], argv[1], &input))
        return EXIT_PROBLEM;
    LintReport report;
    LintFacts facts;
    RunLintChecks(input, &facts, &report);
    for (const LintProblem& problem : report.problems) {
        if (problem.line > 0)
            std::printf("%s:%d: %s\n", problem.key.c_str(), problem.line, problem.text.c_str());
        else
            std::printf("%s: %s\n", problem.key.c_str(), problem.text.c_str());
    }
    for (const LintProblem& note : report.notes)
        std::printf("%s: note: %s\n", note.key.c_str(), note.text.c_str());
    const std::size_t checked = input.files.size() + input.readProblems.size() +
                                static_cast<std::size_t>(report.looseFilesChecked);
    std::printf("%zu file%s checked, %zu warning%s", checked, checked == 1 ? "" : "s",
                report.problems.size(), report.problems.size() == 1 ? "" : "s");
    if (!report.notes.empty())
        std::printf(", %zu note%s", report.notes.size(), report.notes.size() == 1 ? "" : "s");
    std::printf("\n");
    return report.problems.empty() ? 0 : EXIT_PROBLEM;
}
