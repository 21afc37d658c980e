// zrn list: the entries the game would find, in index order.
#include "zrn_commands.h"

#include "archive/archive.h"

#include <cstdio>

int RunListCommand(int argc, char** argv) {
    if (argc != 2)
        return ReportUsageError(argv[0]);
    bool complete = false;
    if (!LoadIndexForTool(argv[0], argv[1], &complete))
        return EXIT_PROBLEM;
    for (const auto& [key, entry] : g_archiveIndex) {
        std::printf("%10u %10u ", DecodedLength(entry), entry.position);
        std::fwrite(key.data(), 1, key.size(), stdout);
        std::fputc('\n', stdout);
    }
    return complete ? 0 : EXIT_PROBLEM;
}
