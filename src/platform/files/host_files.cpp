#include "platform/files/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Exactly size bytes from the descriptor; false when it ends or fails sooner.
bool ReadAll(int fd, std::uint8_t* out, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = ::read(fd, out + done, size - done);
        if (count <= 0)
            return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// The first entry of `directory` (in byte order) equal to `name` but for ASCII case,
// or `name` itself when there is none.
std::string FindCaseVariant(const std::string& directory, const std::string& name) {
    DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
    if (!dir)
        return name;
    std::string best;
    while (const dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) != 0)
            continue;
        if (best.empty() || best.compare(entry->d_name) > 0)
            best = entry->d_name;
    }
    closedir(dir);
    return best.empty() ? name : best;
}

bool IsInside(const fs::path& path, const fs::path& root) {
    const auto [rootEnd, pathAt] =
        std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return rootEnd == root.end();
}

} // namespace

std::string ToHostPath(const char* path) {
    std::string written = path ? path : "";
    for (char& c : written) {
        if (c == '\\')
            c = '/';
    }
    std::string host;
    std::size_t start = 0;
    if (!written.empty() && written[0] == '/') {
        host = "/";
        start = 1;
    }
    while (start <= written.size()) {
        std::size_t end = written.find('/', start);
        if (end == std::string::npos)
            end = written.size();
        std::string component = written.substr(start, end - start);
        if (!component.empty() && component != "." && component != ".." &&
            !Exists(host + component))
            component = FindCaseVariant(host, component);
        host += component;
        if (end < written.size())
            host += '/';
        start = end + 1;
    }
    return host;
}

HostEntryKind GetHostEntryKind(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return HOST_NOTHING;
    if (S_ISREG(info.st_mode))
        return HOST_FILE;
    return S_ISDIR(info.st_mode) ? HOST_FOLDER : HOST_OTHER;
}

bool GetHostFileSize(const std::string& path, std::uint64_t* size) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    *size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

std::string HostFolderProblem(const std::string& dir) {
    struct stat info;
    if (stat(dir.c_str(), &info) != 0)
        return std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return "not a folder";
    DIR* opened = opendir(dir.c_str());
    if (!opened || access(dir.c_str(), X_OK) != 0) {
        const std::string reason = std::strerror(errno);
        if (opened)
            closedir(opened);
        return reason;
    }
    closedir(opened);
    return "";
}

bool EnterHostFolder(const std::string& dir, std::string* reason) {
    if (chdir(dir.c_str()) == 0)
        return true;
    *reason = std::strerror(errno);
    return false;
}

std::string HostProgramPath() {
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    return length > 0 ? std::string(exe, static_cast<std::size_t>(length)) : "";
}

std::string HostEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HostCurrentFolder() {
    std::string folder(256, '\0');
    while (!getcwd(folder.data(), folder.size())) {
        if (errno != ERANGE)
            return "";
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return folder;
}

void SetHostEnvironment(const char* name, const char* value) {
    setenv(name, value, 1);
}

std::FILE* OpenHostFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

int OpenHostFileHandle(const std::string& path, std::uint64_t* size) {
    const int handle = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        return -1;
    struct stat info;
    const bool known = fstat(handle, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        // A folder, a device or a pipe is no file to read whole.
        const int why = !known ? errno : (S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        close(handle);
        errno = why;
        return -1;
    }
    *size = static_cast<std::uint64_t>(info.st_size);
    return handle;
}

bool ListHostFolder(const std::string& root, std::vector<HostFolderFile>* files,
                    std::vector<std::string>* refusedLinks, std::string* realRoot) {
    std::error_code error;
    const fs::path canonicalRoot = fs::canonical(root, error);
    if (error || !fs::is_directory(canonicalRoot, error))
        return false;
    *realRoot = canonicalRoot.string();
    for (fs::recursive_directory_iterator
             it(canonicalRoot, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        const std::string relative = it->path().lexically_relative(canonicalRoot).generic_string();
        std::error_code entryError;
        if (it->is_symlink(entryError)) {
            const fs::path target = fs::canonical(it->path(), entryError);
            if (entryError || !IsInside(target, canonicalRoot) ||
                !fs::is_regular_file(target, entryError))
                refusedLinks->push_back(relative);
            else
                files->push_back({target.string(), relative, true});
        } else if (it->is_regular_file(entryError)) {
            files->push_back({it->path().string(), relative, false});
        }
    }
    // The walk's own order is the directory's, which differs between file systems.
    std::sort(files->begin(), files->end(), [](const HostFolderFile& a, const HostFolderFile& b) {
        return a.relative < b.relative;
    });
    std::sort(refusedLinks->begin(), refusedLinks->end());
    return !error;
}

bool ReadHostFileInside(const std::string& realRoot, const std::string& path, std::uint8_t* out,
                        std::size_t size) {
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    if (error || !IsInside(target, fs::path(realRoot)))
        return false;
    std::uint64_t actual = 0;
    const int fd = OpenHostFileHandle(target.string(), &actual);
    if (fd < 0)
        return false;
    const bool read = actual == size && ReadAll(fd, out, size);
    close(fd);
    return read;
}

bool ReadHostFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>* bytes) {
    std::uint64_t size = 0;
    const int fd = OpenHostFileHandle(path, &size);
    if (fd < 0)
        return false;
    bool read = size <= maxBytes;
    if (!read)
        errno = EFBIG;
    if (read) {
        bytes->resize(static_cast<std::size_t>(size));
        read = ReadAll(fd, bytes->data(), bytes->size());
    }
    close(fd);
    return read;
}

bool WriteHostFile(const std::string& path, const void* data, std::size_t size) {
    std::FILE* file = OpenHostFile(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}
