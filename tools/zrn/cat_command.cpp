// zrn cat: one entry's decoded bytes, exactly as a loader of the game receives them.
#include "zrn_commands.h"

#include "archive/archive.h"

#include <cstdio>
#include <vector>

int RunCatCommand(int argc, char** argv) {
    if (argc != 3)
        return ReportUsageError(argv[0]);
    bool complete = false;
    if (!LoadIndexForTool(argv[0], argv[1], &complete))
        return EXIT_PROBLEM;
    const auto found = g_archiveIndex.find(argv[2]);
    if (found == g_archiveIndex.end()) {
        PrintError(argv[0], std::string("no entry '") + argv[2] + "' in " + argv[1]);
        return EXIT_PROBLEM;
    }
    const std::size_t size = DecodedLength(found->second);
    std::vector<char> buffer(size + 1);
    if (FAILED(ReadArchiveFile(argv[2], buffer.data()))) {
        PrintError(argv[0], std::string("the data of '") + argv[2] + "' lies outside " + argv[1]);
        return EXIT_PROBLEM;
    }
    if (std::fwrite(buffer.data(), 1, size, stdout) != size || std::fflush(stdout) != 0) {
        PrintError(argv[0], "cannot write to stdout");
        return EXIT_PROBLEM;
    }
    return 0;
}
