// zrn unpack: every entry the game would find, written below an output directory under
// the UTF-8 form of its Shift-JIS key, the name folder mode serves the key from.
#include "zrn_commands.h"

#include "archive/archive.h"

#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"

#include <cstdio>
#include <vector>

namespace {

// Keys (as UTF-8 paths) name files below the game's directory: "./" and then non-empty components,
// none of them "." or "..". Anything else could land outside the output directory.
bool KeyToRelativePath(const std::string& key, std::vector<std::string>* relative) {
    if (key.rfind("./", 0) != 0)
        return false;
    std::vector<std::string> path;
    std::size_t start = 2;
    while (true) {
        const std::size_t end = key.find('/', start);
        const std::string component =
            key.substr(start, end == std::string::npos ? end : end - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        path.push_back(component);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    *relative = path;
    return true;
}

// A symbolic link already inside the output directory would carry the files elsewhere.
// Also gives the path the entry is written to.
bool PassesThroughLink(const std::string& outDir, const std::vector<std::string>& relative,
                       std::string* target) {
    *target = outDir;
    for (const std::string& component : relative) {
        *target = JoinHostPath(*target, component);
        if (IsHostLink(*target))
            return true;
    }
    return false;
}

bool WriteEntry(const char* command, const std::string& key, const ArchiveEntry& entry,
                const std::string& target) {
    std::string reason;
    if (!MakeHostFolders(HostParentFolder(target), &reason)) {
        PrintError(command, "cannot create " + HostParentFolder(target) + ": " + reason);
        return false;
    }
    std::vector<char> buffer(DecodedLength(entry) + 1);
    if (FAILED(ReadArchiveFile(key.c_str(), buffer.data()))) {
        PrintError(command, "the data of '" + key + "' lies outside the archive");
        return false;
    }
    if (!WriteHostFile(target, buffer.data(), DecodedLength(entry))) {
        PrintError(command, "cannot write " + target);
        return false;
    }
    return true;
}

} // namespace

int RunUnpackCommand(int argc, char** argv) {
    if (argc != 3)
        return ReportUsageError(argv[0]);
    bool complete = false;
    if (!LoadIndexForTool(argv[0], argv[1], &complete))
        return EXIT_PROBLEM;
    const std::string outDir = argv[2];
    bool ok = complete;
    for (const auto& [key, entry] : g_archiveIndex) {
        std::string path;
        if (!FolderPathOfKey(key, &path)) {
            PrintError(argv[0], "refusing key '" + key +
                                    "': it is not Shift-JIS text that a UTF-8 file name can "
                                    "hold and give back");
            ok = false;
            continue;
        }
        std::vector<std::string> relative;
        if (!KeyToRelativePath(path, &relative)) {
            PrintError(argv[0],
                       "refusing key '" + key + "': not a path below the output directory");
            ok = false;
            continue;
        }
        std::string target;
        if (PassesThroughLink(outDir, relative, &target)) {
            PrintError(argv[0],
                       "refusing key '" + key + "': its path passes through a symbolic link");
            ok = false;
            continue;
        }
        ok = WriteEntry(argv[0], key, entry, target) && ok;
    }
    return ok ? 0 : EXIT_PROBLEM;
}
