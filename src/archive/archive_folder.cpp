// Folder mode: the archive's keys served from the files of an unpacked game folder, so
// that an author sees an edit without packing. The index is built from a directory
// walk; reads open the file itself instead of decoding words.
#include "archive/archive.h"

#include "platform/host_path.h"
#include "platform/text/cp932.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

bool g_archiveIsFolder = false;
std::vector<std::string> g_archiveFolderPaths;
std::map<std::string, std::string, ArchiveKeyLess> g_archiveFoldedKeys;

namespace {

bool s_archiveFolderForced = false;

constexpr const char* LIST_FILE_DIRECTORY = "Scenario";
constexpr const char* LIST_FILE_NAME = "fileNameList.txt";

// The notes already given: every F1 walks the folder again, and an author sees each
// note once per run instead of once per reload.
std::set<std::string> s_notesGiven;

void NoteSkippedFile(const fs::path& path, const char* why) {
    const std::string note = "tavelle: " + path.string() + " is not served: " + why + "\n";
    if (s_notesGiven.insert(note).second)
        std::fputs(note.c_str(), stderr);
}

bool IsInside(const fs::path& path, const fs::path& root) {
    const auto [rootEnd, pathAt] =
        std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return rootEnd == root.end();
}

void AddFolderFile(const fs::path& file, const fs::path& relative) {
    std::string key;
    if (!FolderFileKey(relative.generic_string(), &key)) {
        NoteSkippedFile(file, "its name has no Shift-JIS (CP932) form");
        return;
    }
    if (key.size() > ARCHIVE_MAX_KEY_LENGTH) {
        NoteSkippedFile(file, "its key is longer than 127 bytes");
        return;
    }
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size >= ARCHIVE_WORD_COUNT_LIMIT) {
        NoteSkippedFile(file, error ? "it cannot be read" : "it is larger than 1 GiB");
        return;
    }
    const bool added =
        g_archiveIndex
            .try_emplace(key, ArchiveEntry{4 * static_cast<std::uint32_t>(size),
                                           static_cast<std::uint32_t>(g_archiveFolderPaths.size())})
            .second;
    if (!added)
        return;
    g_archiveFolderPaths.push_back(file.string());
    g_archiveFoldedKeys.try_emplace(FoldArchiveKey(key), key);
}

// The one entry of a directory whose name equals name but for letter case.
fs::path FindCaseVariant(const fs::path& directory, const std::string& name) {
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (FoldArchiveKey(candidate) == FoldArchiveKey(name))
            return it->path();
    }
    return {};
}

// A data folder without ZRN.dat is played unpacked only when it has the scenario list:
// anything else (a home folder, say) is not walked.
bool HasScenarioList(const fs::path& root) {
    const fs::path directory = FindCaseVariant(root, LIST_FILE_DIRECTORY);
    std::error_code error;
    return !directory.empty() && fs::is_directory(directory, error) &&
           !FindCaseVariant(directory, LIST_FILE_NAME).empty();
}

} // namespace

bool FolderServedFile(const fs::directory_entry& entry, const fs::path& canonicalRoot,
                      fs::path* file) {
    std::error_code error;
    if (entry.is_symlink(error)) {
        const fs::path target = fs::canonical(entry.path(), error);
        if (error || !IsInside(target, canonicalRoot) || !fs::is_regular_file(target, error))
            return false;
        *file = target;
        return true;
    }
    if (!entry.is_regular_file(error))
        return false;
    *file = entry.path();
    return true;
}

std::string FoldArchiveKey(const std::string& key) {
    std::string folded = key;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(folded[i]);
        if (IsCp932LeadByte(byte))
            ++i; // the second byte of a two-byte character is not a letter
        else if (byte >= 'A' && byte <= 'Z')
            folded[i] = static_cast<char>(byte - 'A' + 'a');
    }
    return folded;
}

bool FolderFileKey(const std::string& relativePath, std::string* key) {
    return Utf8ToCp932("./" + relativePath, key);
}

bool FolderPathOfKey(const std::string& key, std::string* path) {
    const std::string utf8 = Cp932ToUtf8(key.data(), key.size());
    std::string back;
    if (!Utf8ToCp932(utf8, &back) || back != key)
        return false;
    *path = utf8;
    return true;
}

void SetArchiveFolderForced(bool forced) {
    s_archiveFolderForced = forced;
}

HRESULT OpenArchiveFolder(const char* dir) {
    g_archiveIndex.clear();
    g_archiveFoldedKeys.clear();
    g_archiveFolderPaths.clear();
    g_archiveEntryCount = 0;
    g_archiveIsFolder = true;
    std::error_code error;
    const fs::path root = fs::canonical(dir, error);
    g_archivePath = error ? std::string(dir) : root.string();
    if (error || !fs::is_directory(root, error))
        return E_FAIL;
    for (fs::recursive_directory_iterator
             it(root, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        fs::path file;
        if (FolderServedFile(*it, root, &file))
            AddFolderFile(file, it->path().lexically_relative(root));
    }
    g_archiveEntryCount = static_cast<std::uint32_t>(g_archiveIndex.size());
    return error ? E_FAIL : S_OK;
}

HRESULT OpenArchive() {
    // A copy from a disc made on a case-blind system may be named "zrn.DAT".
    const std::string packedPath = ToHostPath(ARCHIVE_FILE_NAME);
    std::error_code error;
    const bool packed = fs::is_regular_file(packedPath, error);
    if (s_archiveFolderForced || (!packed && HasScenarioList(".")))
        return OpenArchiveFolder(".");
    return OpenArchiveFile(packedPath.c_str());
}

bool ReadFolderFile(const ArchiveEntry& entry, std::uint8_t* out) {
    if (entry.position >= g_archiveFolderPaths.size())
        return false;
    const std::string& path = g_archiveFolderPaths[entry.position];
    // The folder may have changed since the walk: the file must still be a regular file
    // inside it, of the size the caller's buffer was made for.
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    if (error || !IsInside(target, fs::path(g_archivePath)))
        return false;
    const int fd = open(target.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    bool read = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                static_cast<std::uint64_t>(status.st_size) == DecodedLength(entry);
    std::size_t done = 0;
    const std::size_t size = DecodedLength(entry);
    while (read && done < size) {
        const ssize_t count = ::read(fd, out + done, size - done);
        read = count > 0;
        if (read)
            done += static_cast<std::size_t>(count);
    }
    close(fd);
    return read;
}

void RefreshFolderEntrySize(ArchiveEntry* entry) {
    if (entry->position >= g_archiveFolderPaths.size())
        return;
    std::error_code error;
    const std::uintmax_t size = fs::file_size(g_archiveFolderPaths[entry->position], error);
    if (!error && size < ARCHIVE_WORD_COUNT_LIMIT)
        entry->length = 4 * static_cast<std::uint32_t>(size);
}
