#include "platform/files/stored_files.h"

#include "platform/files/stored_files_lasting.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home && home[0] ? home : ".";
}

// An XDG base folder: the variable when it names an absolute path, else the fallback
// below the home folder (relative values are to be ignored).
std::string BaseFolder(const char* variable, const char* fallback) {
    const char* named = std::getenv(variable);
    if (named && named[0] == '/')
        return named;
    return HomeFolder() + "/" + fallback;
}

std::string Describe(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string UserDataFolder() {
    return BaseFolder("XDG_DATA_HOME", ".local/share") + "/tavelle";
}

std::string UserConfigFolder() {
    return BaseFolder("XDG_CONFIG_HOME", ".config") + "/tavelle";
}

bool ReadStoredFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error,
                    bool* missing) {
    if (missing)
        *missing = false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (missing)
            *missing = errno == ENOENT || errno == ENOTDIR;
        *error = Describe("cannot open", path);
        return false;
    }
    bytes->clear();
    std::uint8_t chunk[16384];
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, file);
        if (bytes->size() + n > STORED_FILE_MAX_BYTES) {
            *error = path + " is too large";
            ok = false;
            break;
        }
        bytes->insert(bytes->end(), chunk, chunk + n);
        if (n < sizeof chunk) {
            if (std::ferror(file)) {
                *error = Describe("cannot read", path);
                ok = false;
            }
            break;
        }
    }
    std::fclose(file);
    return ok;
}

bool WriteStoredFile(const std::string& path, const void* data, std::size_t size, bool keepBackup,
                     std::string* error) {
    const std::filesystem::path target(path);
    const std::string folder = target.parent_path().string();
    std::error_code failure;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, failure);
        if (failure) {
            *error = "cannot make " + folder + ": " + failure.message();
            return false;
        }
    }
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = Describe("cannot write", temporary);
        return false;
    }
    const bool written = WriteAll(fd, static_cast<const std::uint8_t*>(data), size);
    const int writeErrno = errno;
    const bool synced = written && ::fsync(fd) == 0;
    const int syncErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !synced || !closed) {
        errno = !written ? writeErrno : !synced ? syncErrno : errno;
        *error = Describe("cannot write", temporary);
        ::unlink(temporary.c_str());
        return false;
    }
    // A hard link keeps the previous file under its own name until the rename below
    // replaces it, so there is no moment without a good file at path.
    if (keepBackup && ::access(path.c_str(), F_OK) == 0) {
        const std::string backup = path + ".bak";
        ::unlink(backup.c_str());
        if (::link(path.c_str(), backup.c_str()) != 0) {
            std::filesystem::copy_file(path, backup,
                                       std::filesystem::copy_options::overwrite_existing, failure);
        }
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = Describe("cannot replace", path);
        ::unlink(temporary.c_str());
        return false;
    }
    MakeStoredFilesLast(folder.empty() ? "." : folder);
    return true;
}

bool GetStoredFileTime(const std::string& path, std::int64_t* nanoseconds) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    *nanoseconds =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
}
