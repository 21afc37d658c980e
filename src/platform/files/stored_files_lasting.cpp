#include "platform/files/stored_files_lasting.h"

#include <fcntl.h>
#include <unistd.h>

// The rename is only lasting once the folder's entry is on the disk too.
void MakeStoredFilesLast(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool StoredFilesLast() {
    return true;
}
