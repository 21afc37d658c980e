// The start-up read of the archive's table into g_archiveIndex.
#include "archive/archive.h"

#include "platform/files/host_files.h"

ArchiveIndex g_archiveIndex;
std::uint32_t g_archiveEntryCount = 0;
std::string g_archivePath;

namespace {

constexpr std::size_t NUMBER_BYTES = 4;

std::uint32_t BytesToNumber(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// Reads and decodes count words; false when the file ends first.
bool ReadDecodedBytes(std::FILE* file, std::uint8_t* out, std::size_t count) {
    std::uint8_t stored[4 * ARCHIVE_ENTRY_WORDS];
    if (std::fread(stored, 4, count, file) != count)
        return false;
    DecodeArchiveBytes(stored, out, count);
    return true;
}

} // namespace

bool ReadArchiveHeader(std::FILE* file, std::uint32_t* entryCount) {
    std::uint8_t bytes[NUMBER_BYTES];
    if (!ReadDecodedBytes(file, bytes, NUMBER_BYTES))
        return false;
    *entryCount = BytesToNumber(bytes);
    return true;
}

bool ReadArchiveTableEntry(std::FILE* file, ArchiveTableEntry* entry) {
    std::uint8_t bytes[ARCHIVE_ENTRY_WORDS];
    if (!ReadDecodedBytes(file, bytes, ARCHIVE_ENTRY_WORDS))
        return false;
    const char* name = reinterpret_cast<const char*>(bytes);
    const void* nul = std::memchr(name, 0, ARCHIVE_NAME_SIZE);
    entry->nameHasNul = nul != nullptr;
    entry->key.assign(name, nul ? static_cast<const char*>(nul) - name : ARCHIVE_NAME_SIZE);
    entry->size = BytesToNumber(bytes + ARCHIVE_NAME_SIZE);
    entry->offset = BytesToNumber(bytes + ARCHIVE_NAME_SIZE + NUMBER_BYTES);
    return true;
}

// A key that took all 128 bytes could never be asked for (keys hold at most 127), and
// lengths or positions past 32 bits would wrap into another entry's data.
bool IsArchiveEntryUsable(const ArchiveTableEntry& entry) {
    if (!entry.nameHasNul)
        return false;
    // An empty entry reads nothing, so its offset points nowhere in particular.
    if (entry.size == 0)
        return true;
    if (entry.size >= ARCHIVE_WORD_COUNT_LIMIT || entry.offset >= ARCHIVE_WORD_COUNT_LIMIT)
        return false;
    const std::uint64_t end = 4 * (static_cast<std::uint64_t>(entry.offset) + entry.size);
    return end <= ARCHIVE_MAX_FILE_SIZE;
}

// The table is read straight through; a table cut short keeps the entries read
// completely, so a damaged tail costs only its own files.
HRESULT LoadArchiveIndex(std::FILE* file) {
    std::uint32_t count = 0;
    if (!ReadArchiveHeader(file, &count))
        return E_FAIL;
    g_archiveEntryCount = count;
    ArchiveTableEntry entry;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!ReadArchiveTableEntry(file, &entry))
            return E_FAIL;
        if (!IsArchiveEntryUsable(entry))
            continue;
        const std::uint32_t length = 4 * entry.size;
        const std::uint32_t position = 4 * entry.offset;
        g_archiveIndex.try_emplace(entry.key, ArchiveEntry{length, position});
    }
    return S_OK;
}

HRESULT OpenArchiveFile(const char* path) {
    g_archiveIndex.clear();
    g_archiveFoldedKeys.clear();
    g_archiveFolderPaths.clear();
    g_archiveIsFolder = false;
    g_archiveEntryCount = 0;
    g_archivePath = path;
    std::FILE* file = OpenHostFile(path, "rb");
    if (!file)
        return E_FAIL;
    const HRESULT hr = LoadArchiveIndex(file);
    std::fclose(file);
    return hr;
}
