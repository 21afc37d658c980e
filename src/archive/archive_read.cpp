// Reading one file of the archive by its path key: the index gives its place, the
// archive is opened again for every read and the entry is decoded whole.
#include "archive/archive.h"
#include "core/file_report.h"

#include "platform/files/host_files.h"
#include "platform/window/message_box.h"

#include <sys/types.h>

#include <algorithm>
#include <vector>

namespace {

constexpr const char* ARCHIVE_MESSAGE_CAPTION = "Error";
// Words decoded per file read: a large entry is streamed through a small buffer
// instead of allocating four times its size.
constexpr std::uint32_t READ_CHUNK_WORDS = 65536;

// A packed archive matches keys byte for byte; a folder also takes a key that differs
// from a file's only in letter case, as loose files are found.
ArchiveEntry* LookUpEntry(const char* key) {
    if (!key)
        return nullptr;
    auto found = g_archiveIndex.find(key);
    if (found == g_archiveIndex.end() && g_archiveIsFolder) {
        const auto variant = g_archiveFoldedKeys.find(FoldArchiveKey(key));
        if (variant != g_archiveFoldedKeys.end())
            found = g_archiveIndex.find(variant->second);
    }
    return found == g_archiveIndex.end() ? nullptr : &found->second;
}

// The index was made from another state of the file, or the file changed since:
// everything the entry names must still be there before the caller's buffer is touched.
bool ArchiveHoldsEntry(std::FILE* file, const ArchiveEntry& entry) {
    if (fseeko(file, 0, SEEK_END) != 0)
        return false;
    const off_t fileSize = ftello(file);
    return fileSize >= 0 && static_cast<std::uint64_t>(entry.position) + entry.length <=
                                static_cast<std::uint64_t>(fileSize);
}

bool ReadEntryData(std::FILE* file, const ArchiveEntry& entry, std::uint8_t* out) {
    if (!ArchiveHoldsEntry(file, entry) || fseeko(file, entry.position, SEEK_SET) != 0)
        return false;
    std::uint32_t remaining = DecodedLength(entry);
    std::vector<std::uint8_t> stored(
        4 * static_cast<std::size_t>(std::min(remaining, READ_CHUNK_WORDS)));
    while (remaining > 0) {
        const std::uint32_t count = std::min(remaining, READ_CHUNK_WORDS);
        if (std::fread(stored.data(), 4, count, file) != count)
            return false;
        DecodeArchiveBytes(stored.data(), out, count);
        out += count;
        remaining -= count;
    }
    return true;
}

} // namespace

HRESULT FindArchiveEntry(const char* key, std::uint32_t* length, std::uint32_t* position) {
    const ArchiveEntry* entry = LookUpEntry(key);
    if (!entry) {
        ShowMessageBox("分割ファイルNot Found", ARCHIVE_MESSAGE_CAPTION);
        return E_FAIL;
    }
    *length = entry->length;
    *position = entry->position;
    return S_OK;
}

std::uint32_t GetArchiveFileSize(const char* key) {
    ArchiveEntry* entry = LookUpEntry(key);
    if (!entry) {
        ShowMessageBox("結合ファイルNot Found", ARCHIVE_MESSAGE_CAPTION);
        ReportFileFailure(key, "missing from the archive");
        return ARCHIVE_SIZE_NOT_FOUND;
    }
    // An author may have saved the file since the walk: the caller sizes its buffer now.
    if (g_archiveIsFolder)
        RefreshFolderEntrySize(entry);
    return entry->length;
}

HRESULT ReadArchiveFile(const char* key, void* buffer) {
    ArchiveEntry entry;
    if (FAILED(FindArchiveEntry(key, &entry.length, &entry.position))) {
        ShowMessageBox("結合ファイルデータNot Found", ARCHIVE_MESSAGE_CAPTION);
        ReportFileFailure(key, "missing from the archive: nothing to read");
        return E_FAIL;
    }
    // An empty entry has nothing to read, wherever its position points.
    if (DecodedLength(entry) == 0)
        return S_OK;
    if (!buffer)
        return E_FAIL;
    auto* out = static_cast<std::uint8_t*>(buffer);
    bool read = false;
    std::string why = "cannot be read: the archive is cut short";
    if (g_archiveIsFolder) {
        read = ReadFolderFile(entry, out, &why);
    } else if (std::FILE* file = OpenHostFile(g_archivePath, "rb")) {
        read = ReadEntryData(file, entry, out);
        std::fclose(file);
    }
    if (!read) {
        ShowMessageBox("結合ファイルデータRead Error", ARCHIVE_MESSAGE_CAPTION);
        ReportFileFailure(key, why.c_str());
        return E_FAIL;
    }
    // Text readers stop at a NUL; the caller's 4S bytes have room for one after S.
    static_cast<std::uint8_t*>(buffer)[DecodedLength(entry)] = 0;
    return S_OK;
}

void ReadMissingArchiveFile(const char* key) {
    ReadArchiveFile(key, nullptr);
}
