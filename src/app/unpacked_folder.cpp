#include "app/unpacked_folder.h"

#include "archive/archive.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

std::string EnterUnpackedGameFolder(const char* dir) {
    if (chdir(dir) != 0)
        return std::string("cannot enter game folder ") + dir + ": " + std::strerror(errno);
    SetArchiveFolderForced(true);
    return "";
}
