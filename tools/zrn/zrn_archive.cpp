// What the reading commands share: opening an archive and reporting why not.
#include "zrn_commands.h"

#include "archive/archive.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void PrintError(const char* command, const std::string& text) {
    std::fprintf(stderr, "zrn %s: %s\n", command, text.c_str());
}

bool LoadIndexForTool(const char* command, const char* path, bool* complete) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        PrintError(command, std::string("cannot open ") + path + ": " + std::strerror(errno));
        return false;
    }
    std::fclose(file);
    *complete = SUCCEEDED(OpenArchiveFile(path));
    if (!*complete) {
        PrintError(command, std::string(path) +
                                ": the table is cut short; only its complete entries are used");
    }
    return true;
}
