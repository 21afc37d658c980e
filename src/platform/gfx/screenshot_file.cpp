#include "platform/gfx/screenshot_file.h"

#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"
#include "platform/files/stored_files.h"
#include "platform/gfx/png_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>

namespace {

std::string HomeFolder() {
    const std::string home = HostEnvironment("HOME");
    return home.empty() ? "." : home;
}

// The pictures folder named in ~/.config/user-dirs.dirs, as XDG_PICTURES_DIR="$HOME/...".
std::string PicturesFolderFromUserDirs() {
    const std::string config = HostEnvironment("XDG_CONFIG_HOME");
    const std::string file =
        (config.empty() ? HomeFolder() + "/.config" : config) + "/user-dirs.dirs";
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadStoredFile(file, &bytes, &error))
        return "";
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=\"";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) != 0 || line.back() != '"')
            continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0)
            value = HomeFolder() + value.substr(5);
        if (!value.empty() && value[0] == '/')
            return value;
    }
    return "";
}

} // namespace

std::string ScreenshotFolder() {
    std::string pictures = HostEnvironment("XDG_PICTURES_DIR");
    if (pictures.empty() || pictures[0] != '/')
        pictures = PicturesFolderFromUserDirs();
    if (pictures.empty())
        pictures = HomeFolder() + "/Pictures";
    return pictures + "/Tavelle";
}

std::string SaveScreenshot(const std::uint8_t* rgba, int width, int height, std::string* error) {
    const std::string folder = ScreenshotFolder();
    std::string reason;
    if (!MakeHostFolders(folder, &reason)) {
        *error = "cannot make " + folder + ": " + reason;
        return "";
    }
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // The picture is written under a name of its own and linked to its final name only
    // when whole: a failed write leaves no broken PNG, and a link never replaces a file,
    // so two pictures in one second (from two games, say) each keep theirs.
    std::string temporary;
    std::FILE* file = CreateHostFileBeside(folder + "/.tavelle", &temporary, &reason);
    if (!file) {
        *error = "cannot write in " + folder + ": " + reason;
        return "";
    }
    std::fclose(file);
    if (!WritePng(temporary, rgba, width, height)) {
        *error = "cannot write " + temporary + ": " + std::strerror(errno);
        RemoveHostFile(temporary);
        return "";
    }
    for (int n = 0; n < 100; ++n) {
        std::string path = folder + "/tavelle-" + stamp;
        if (n > 0)
            path += "-" + std::to_string(n);
        path += ".png";
        bool taken = false;
        if (LinkHostFileAsNew(temporary, path, &taken, &reason)) {
            RemoveHostFile(temporary);
            return path;
        }
        if (!taken) {
            *error = "cannot write " + path + ": " + reason;
            RemoveHostFile(temporary);
            return "";
        }
    }
    RemoveHostFile(temporary);
    *error = "too many screenshots this second in " + folder;
    return "";
}
