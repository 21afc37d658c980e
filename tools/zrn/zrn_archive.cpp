// What the reading commands share: opening an archive, or a game folder as folder mode
// serves it, and reporting why not.
#include "zrn_commands.h"

#include "archive/archive.h"

#include "platform/files/host_files.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

bool ReadFileBytes(const std::string& path, std::string* bytes) {
    std::vector<std::uint8_t> content;
    if (!ReadHostFile(path, SIZE_MAX, &content))
        return false;
    bytes->assign(content.begin(), content.end());
    return true;
}

void PrintError(const char* command, const std::string& text) {
    std::fprintf(stderr, "zrn %s: %s\n", command, text.c_str());
}

bool LoadIndexForTool(const char* command, const char* path, bool* complete) {
    if (GetHostEntryKind(path) == HOST_FOLDER) {
        *complete = SUCCEEDED(OpenArchiveFolder(path));
        if (!*complete)
            PrintError(command, std::string("cannot read all of ") + path +
                                    "; only the files found are used");
        return true;
    }
    std::FILE* file = OpenHostFile(path, "rb");
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
