#include "temp_folder.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <vector>

TempFolder::TempFolder(const std::string& name) {
    const std::string pattern =
        (std::filesystem::temp_directory_path() / ("tavelle-" + name + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("cannot make a temporary folder from " + pattern);
    path_ = buffer.data();
}

TempFolder::~TempFolder() {
    // Never throws from a destructor: a folder that cannot go stays behind.
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
