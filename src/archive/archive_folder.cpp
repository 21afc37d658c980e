// Folder mode: the archive's keys served from the files of an unpacked game folder, so
// that an author sees an edit without packing. The index is built from a directory
// walk; reads open the file itself instead of decoding words.
#include "archive/archive.h"

#include "platform/files/host_files.h"
#include "platform/text/cp932.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

bool g_archiveIsFolder = false;
std::vector<std::string> g_archiveFolderPaths;
std::vector<FolderConversion> g_archiveFolderConversions;
std::map<std::string, std::string, ArchiveKeyLess> g_archiveFoldedKeys;

namespace {

bool s_archiveFolderForced = false;

constexpr const char* SCENARIO_LIST_PATH = "Scenario/fileNameList.txt";

// The notes already given: every F1 walks the folder again, and an author sees each
// note once per run instead of once per reload.
std::set<std::string> s_notesGiven;

void NoteSkippedFile(const std::string& path, const char* why) {
    const std::string note = "tavelle: " + path + " is not served: " + why + "\n";
    if (s_notesGiven.insert(note).second)
        std::fputs(note.c_str(), stderr);
}

void AddFolderFile(const FolderFile& file) {
    const auto [entry, added] = g_archiveIndex.try_emplace(
        file.key, ArchiveEntry{4 * static_cast<std::uint32_t>(file.size),
                               static_cast<std::uint32_t>(g_archiveFolderPaths.size())});
    if (!added)
        return;
    g_archiveFolderPaths.push_back(file.path);
    g_archiveFolderConversions.push_back(file.conversion);
    g_archiveFoldedKeys.try_emplace(FoldArchiveKey(file.key), file.key);
    // The index tells the length the game will read, also to whoever reads it without a
    // size query first (the tools do).
    if (file.conversion != FOLDER_AS_IS)
        RefreshFolderEntrySize(&entry->second);
}

// A data folder without ZRN.dat is played unpacked only when it has the scenario list:
// anything else (a home folder, say) is not walked.
bool HasScenarioList() {
    return GetHostEntryKind(ToHostPath(SCENARIO_LIST_PATH)) == HOST_FILE;
}

// The file's key and what keeps it from being served.
FolderFileProblem FolderFileProblemOf(FolderFile* file) {
    if (!FolderFileKey(file->relative, &file->key))
        return FOLDER_FILE_NO_KEY;
    file->conversion = FolderConversionOfKey(&file->key);
    if (file->key.size() > ARCHIVE_MAX_KEY_LENGTH)
        return FOLDER_FILE_KEY_TOO_LONG;
    if (!GetHostFileSize(file->path, &file->size))
        return FOLDER_FILE_UNREADABLE;
    if (file->size >= ARCHIVE_WORD_COUNT_LIMIT)
        return FOLDER_FILE_TOO_LARGE;
    // No script comes near this size; a text this large is served as it is rather than
    // read whole at every walk of the folder.
    if (file->conversion == FOLDER_TEXT && file->size > FOLDER_TEXT_CONVERSION_LIMIT)
        file->conversion = FOLDER_AS_IS;
    return FOLDER_FILE_SERVED;
}

} // namespace

bool ListGameFolder(const std::string& root, std::vector<FolderFile>* files,
                    std::string* realRoot) {
    std::vector<HostFolderFile> found;
    std::vector<std::string> refusedLinks;
    if (!ListHostFolder(root, &found, &refusedLinks, realRoot))
        return false;
    for (const std::string& relative : refusedLinks)
        files->push_back(
            {"", *realRoot + "/" + relative, relative, 0, FOLDER_FILE_LINK_OUT, FOLDER_AS_IS});
    for (const HostFolderFile& file : found) {
        FolderFile served{"", file.path, file.relative, 0, FOLDER_FILE_SERVED, FOLDER_AS_IS};
        served.problem = FolderFileProblemOf(&served);
        files->push_back(served);
    }
    // Ties keep the walk's order, which is the names' byte order.
    std::stable_sort(files->begin(), files->end(), [](const FolderFile& a, const FolderFile& b) {
        return ArchiveKeyLess()(a.key, b.key);
    });
    // "a.bmp" sorts before "a.png": the bitmap is served and its PNG twin left out.
    for (std::size_t i = 1; i < files->size(); ++i) {
        FolderFile& file = (*files)[i];
        if (file.conversion == FOLDER_PNG && file.problem == FOLDER_FILE_SERVED &&
            (*files)[i - 1].key == file.key)
            file.problem = FOLDER_FILE_PNG_BESIDE_BITMAP;
    }
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
    g_archiveFolderConversions.clear();
    g_archiveEntryCount = 0;
    g_archiveIsFolder = true;
    g_archivePath = dir;
    std::vector<FolderFile> files;
    if (!ListGameFolder(dir, &files, &g_archivePath))
        return E_FAIL;
    for (const FolderFile& file : files) {
        switch (file.problem) {
        case FOLDER_FILE_SERVED:
            AddFolderFile(file);
            break;
        case FOLDER_FILE_LINK_OUT:
            break;
        case FOLDER_FILE_NO_KEY:
            NoteSkippedFile(file.path, "its name has no Shift-JIS (CP932) form");
            break;
        case FOLDER_FILE_KEY_TOO_LONG:
            NoteSkippedFile(file.path, "its key is longer than 127 bytes");
            break;
        case FOLDER_FILE_UNREADABLE:
            NoteSkippedFile(file.path, "it cannot be read");
            break;
        case FOLDER_FILE_TOO_LARGE:
            NoteSkippedFile(file.path, "it is larger than 1 GiB");
            break;
        case FOLDER_FILE_PNG_BESIDE_BITMAP:
            NoteSkippedFile(file.path, "a bitmap of the same name is served instead");
            break;
        }
    }
    g_archiveEntryCount = static_cast<std::uint32_t>(g_archiveIndex.size());
    return S_OK;
}

HRESULT OpenArchive() {
    // A copy from a disc made on a case-blind system may be named "zrn.DAT".
    const std::string packedPath = ToHostPath(ARCHIVE_FILE_NAME);
    if (s_archiveFolderForced || (GetHostEntryKind(packedPath) != HOST_FILE && HasScenarioList()))
        return OpenArchiveFolder(".");
    return OpenArchiveFile(packedPath.c_str());
}

bool ReadConvertedFolderFile(const ArchiveEntry& entry, FolderConverted* converted) {
    *converted = FolderConverted{};
    std::uint64_t size = 0;
    if (entry.position >= g_archiveFolderPaths.size()) {
        converted->problem = "not a file of the folder";
        return false;
    }
    const std::string& path = g_archiveFolderPaths[entry.position];
    std::vector<std::uint8_t> file;
    if (GetHostFileSize(path, &size) && size < ARCHIVE_WORD_COUNT_LIMIT) {
        file.resize(size);
        if (!ReadHostFileInside(g_archivePath, path, file.data(), file.size()))
            size = ARCHIVE_WORD_COUNT_LIMIT;
    }
    if (size >= ARCHIVE_WORD_COUNT_LIMIT) {
        converted->problem = "cannot be read: gone or changed since the folder was read";
        return false;
    }
    if (ConvertFolderFile(g_archiveFolderConversions[entry.position], std::move(file), converted))
        return true;
    if (g_archiveFolderConversions[entry.position] == FOLDER_PNG)
        converted->problem = "its picture " + path + ": " + converted->problem;
    return false;
}

bool ReadFolderFile(const ArchiveEntry& entry, std::uint8_t* out, std::string* why) {
    *why = "cannot be read: gone or cut short since the folder was read";
    if (entry.position >= g_archiveFolderPaths.size())
        return false;
    if (g_archiveFolderConversions[entry.position] == FOLDER_AS_IS) {
        return ReadHostFileInside(g_archivePath, g_archiveFolderPaths[entry.position], out,
                                  DecodedLength(entry));
    }
    FolderConverted converted;
    if (!ReadConvertedFolderFile(entry, &converted)) {
        *why = converted.line > 0
                   ? "line " + std::to_string(converted.line) + ": " + converted.problem
                   : converted.problem;
        return false;
    }
    if (converted.bytes.size() != DecodedLength(entry)) {
        *why = "cannot be read: changed since its size was asked";
        return false;
    }
    std::copy(converted.bytes.begin(), converted.bytes.end(), out);
    return true;
}

void RefreshFolderEntrySize(ArchiveEntry* entry) {
    std::uint64_t size = 0;
    if (entry->position >= g_archiveFolderPaths.size())
        return;
    if (g_archiveFolderConversions[entry->position] != FOLDER_AS_IS) {
        // A file that cannot be converted keeps its length; its read says why.
        FolderConverted converted;
        if (ReadConvertedFolderFile(*entry, &converted))
            entry->length = 4 * static_cast<std::uint32_t>(converted.bytes.size());
        return;
    }
    if (GetHostFileSize(g_archiveFolderPaths[entry->position], &size) &&
        size < ARCHIVE_WORD_COUNT_LIMIT)
        entry->length = 4 * static_cast<std::uint32_t>(size);
}
