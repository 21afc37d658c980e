#include "app/unpacked_folder.h"

#include "archive/archive.h"
#include "platform/files/host_files.h"

std::string EnterUnpackedGameFolder(const char* dir) {
    std::string reason;
    if (!EnterHostFolder(dir, &reason))
        return std::string("cannot enter game folder ") + dir + ": " + reason;
    SetArchiveFolderForced(true);
    return "";
}
