#include "platform/host_path.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <string>

namespace {

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
