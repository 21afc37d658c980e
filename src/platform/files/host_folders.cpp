#include "platform/files/host_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool Failed(const std::error_code& error, std::string* reason) {
    if (!error)
        return false;
    *reason = error.message();
    return true;
}

} // namespace

std::string JoinHostPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string HostParentFolder(const std::string& path) {
    return fs::path(path).parent_path().string();
}

std::string HostFileName(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string HostAbsolutePath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return (error ? fs::path(path) : absolute).lexically_normal().string();
}

std::string HostResolvedPath(const std::string& path) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(path, error);
    return error ? "" : resolved.string();
}

bool IsHostLink(const std::string& path) {
    std::error_code error;
    return fs::is_symlink(fs::symlink_status(path, error));
}

bool IsSameHostFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

bool IsEmptyHostFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error) && fs::is_empty(path, error) && !error;
}

bool MakeHostFolders(const std::string& path, std::string* reason) {
    std::error_code error;
    if (!path.empty())
        fs::create_directories(path, error);
    return !Failed(error, reason);
}

bool CopyHostFile(const std::string& from, const std::string& to, std::string* reason) {
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    return !Failed(error, reason);
}

bool RemoveHostTree(const std::string& path, std::string* reason) {
    std::error_code error;
    fs::remove_all(path, error);
    return !Failed(error, reason);
}

std::FILE* CreateHostFileBeside(const std::string& path, std::string* tempPath,
                                std::string* reason) {
    *tempPath = path + ".tmp-XXXXXX";
    const int fd = mkstemp(tempPath->data());
    if (fd < 0) {
        *reason = std::strerror(errno);
        return nullptr;
    }
    // mkstemp makes it private; the finished file gets the mode any new file would.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        *reason = std::strerror(errno);
        close(fd);
        unlink(tempPath->c_str());
    }
    return file;
}

bool CloseHostFileToDisk(std::FILE* file, std::string* reason) {
    bool ok = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    if (!ok)
        *reason = std::strerror(errno);
    if (std::fclose(file) != 0 && ok) {
        *reason = std::strerror(errno);
        ok = false;
    }
    return ok;
}

bool RenameHostFile(const std::string& from, const std::string& to, std::string* reason) {
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    *reason = std::strerror(errno);
    return false;
}

bool RemoveHostFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

bool LinkHostFileAsNew(const std::string& from, const std::string& to, bool* taken,
                       std::string* reason) {
    *taken = false;
    if (link(from.c_str(), to.c_str()) == 0)
        return true;
    *taken = errno == EEXIST;
    *reason = std::strerror(errno);
    return false;
}
