// The packed data archive "ZRN.dat": every stored byte is one 32-bit little-endian
// word, decoded by a modular power. The index of path keys is read once at start-up;
// every later read opens the archive again, seeks to the entry and decodes it whole.
//
// Calling pattern of every loader:
//     n = GetArchiveFileSize(key);            // 4x the decoded length, or 0x80004005
//     if (n == ARCHIVE_SIZE_NOT_FOUND)        // never allocate the failure value:
//         ReadMissingArchiveFile(key);        // the read's own messages, no buffer
//     buffer = new char[n];
//     ReadArchiveFile(key, buffer);           // decoded bytes, then a NUL when n > 0
#pragma once

#include "archive/folder_convert.h"
#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

constexpr const char* ARCHIVE_FILE_NAME = "ZRN.dat";

// Layout, counted in words (one word per stored byte).
constexpr std::uint32_t ARCHIVE_HEADER_WORDS = 4;
constexpr std::uint32_t ARCHIVE_NAME_SIZE = 128; // key bytes plus the NUL that ends them
constexpr std::uint32_t ARCHIVE_MAX_KEY_LENGTH = ARCHIVE_NAME_SIZE - 1;
constexpr std::uint32_t ARCHIVE_ENTRY_WORDS = ARCHIVE_NAME_SIZE + 4 + 4;
// Entry lengths and positions are four times a word count in 32 bits, and positions
// are signed 32-bit file offsets: nothing of an archive lies at or past this byte.
constexpr std::uint32_t ARCHIVE_MAX_FILE_SIZE = 0x7fffffffu;
constexpr std::uint32_t ARCHIVE_WORD_COUNT_LIMIT = 0x40000000u;

constexpr std::uint32_t ARCHIVE_MODULUS = 6961;
constexpr std::uint32_t ARCHIVE_DECODE_EXPONENT = 61;

// The value GetArchiveFileSize returns for a missing key (E_FAIL's bits). Real lengths
// are multiples of four, so it never equals one.
constexpr std::uint32_t ARCHIVE_SIZE_NOT_FOUND = 0x80004005u;

struct ArchiveEntry {
    std::uint32_t length;   // 4 x decoded length: archive bytes of the entry's data
    std::uint32_t position; // byte position of the entry's first word in the archive
};

// The bytes an entry decodes to: one per stored word. A length is what an entry
// records and what GetArchiveFileSize returns for it.
constexpr std::uint32_t DecodedLength(std::uint32_t length) {
    return length / 4;
}
constexpr std::uint32_t DecodedLength(const ArchiveEntry& entry) {
    return DecodedLength(entry.length);
}

// Keys are Shift-JIS byte strings: ordered by unsigned bytes, a key before its
// extensions, whatever the signedness of char.
struct ArchiveKeyLess {
    bool operator()(const std::string& a, const std::string& b) const {
        const int order =
            std::memcmp(a.data(), b.data(), a.size() < b.size() ? a.size() : b.size());
        return order < 0 || (order == 0 && a.size() < b.size());
    }
};
using ArchiveIndex = std::map<std::string, ArchiveEntry, ArchiveKeyLess>;

extern ArchiveIndex g_archiveIndex;
extern std::uint32_t g_archiveEntryCount; // N as the header states it
extern std::string g_archivePath;         // the file that reads reopen

// The stored words' decoding, exact for every 32-bit word: out[i] is the low byte of
// words[i]^61 mod 6961 as the game's own 32-bit arithmetic computes it. Writes
// out[0..n-1] and nothing else.
void DecodeArchiveWords(const std::uint32_t* words, std::uint8_t* out, std::size_t n);
// The same for words as they lie in the file: 4n little-endian bytes.
void DecodeArchiveBytes(const std::uint8_t* stored, std::uint8_t* out, std::size_t n);
// One word, step by step as the format defines it: the reference the fast decoder
// is checked against.
std::uint8_t DecodeArchiveWordByExponent(std::uint32_t word);

// Start-up (and every reload): clears the index, then loads it from ARCHIVE_FILE_NAME
// in the working directory. E_FAIL, silently, when the file cannot be opened (the index
// stays empty) or when its table is cut short (the entries read completely are kept).
// In folder mode (forced, or when the working directory has no ARCHIVE_FILE_NAME but
// has Scenario/fileNameList.txt) the index is built from the working directory instead.
HRESULT OpenArchive();
// The same for an archive at any path (tools and tests); g_archivePath becomes path.
HRESULT OpenArchiveFile(const char* path);
// Reads the header and the table from the file's current position (its start) into
// g_archiveIndex. Entries that cannot describe data of a valid archive (a name with
// no NUL in its 128 bytes, S or O that do not fit the 32-bit byte arithmetic, data
// reaching past ARCHIVE_MAX_FILE_SIZE) are skipped; of two entries with one key the
// earlier is kept. E_FAIL when the table ends before N entries.
HRESULT LoadArchiveIndex(std::FILE* file);

// One table entry as stored, for tools that inspect an archive without the index's
// rules (duplicates, names with no NUL, out-of-range numbers).
struct ArchiveTableEntry {
    std::string key; // name bytes up to the first NUL, or all 128 without one
    bool nameHasNul;
    std::uint32_t size;   // S: decoded bytes
    std::uint32_t offset; // O: word index of the data
};
// false when the file ends before the 4 header words.
bool ReadArchiveHeader(std::FILE* file, std::uint32_t* entryCount);
// false when the file ends before the entry's 136 words.
bool ReadArchiveTableEntry(std::FILE* file, ArchiveTableEntry* entry);
// Whether an entry's numbers describe data inside a valid archive (see LoadArchiveIndex).
bool IsArchiveEntryUsable(const ArchiveTableEntry& entry);

// Folder mode: key "./Scenario/s01.txt" is the file DIR/Scenario/s01.txt. Keys are the
// Shift-JIS forms of the UTF-8 paths below DIR; a key the game asks for that matches no
// file exactly may differ from one in the letter case of its ASCII letters. Symbolic
// links are followed only to regular files inside DIR. Files that cannot be keys (no
// Shift-JIS form, longer than 127 bytes, 1 GiB or more) are noted on stderr and left
// out. An entry's position numbers its file in g_archiveFolderPaths and its conversion
// in g_archiveFolderConversions: a ".txt" text saved as UTF-8 is served as Shift-JIS, a
// ".png" picture as the ".bmp" key of its name, in a bitmap (see folder_convert.h).
extern bool g_archiveIsFolder;
extern std::vector<std::string> g_archiveFolderPaths;
extern std::vector<FolderConversion> g_archiveFolderConversions;
extern std::map<std::string, std::string, ArchiveKeyLess> g_archiveFoldedKeys; // folded -> key
// The key of the file at relativePath (UTF-8, "/" between its parts) below a game
// folder: "./" and the path in Shift-JIS. false when the name has no Shift-JIS form.
// Folder mode and the packing tool name files by it, so both serve the same keys.
bool FolderFileKey(const std::string& relativePath, std::string* key);
// The reverse, for writing a key's file into a folder: the key as a UTF-8 path. false
// when the key is not Shift-JIS text, or names a character whose UTF-8 form would come
// back as other bytes (code page 932 writes some characters twice).
bool FolderPathOfKey(const std::string& key, std::string* path);
// Why a file below a game folder is not served.
enum FolderFileProblem {
    FOLDER_FILE_SERVED,
    FOLDER_FILE_LINK_OUT,          // a link out of the folder or to a folder
    FOLDER_FILE_NO_KEY,            // its name has no Shift-JIS (CP932) form
    FOLDER_FILE_KEY_TOO_LONG,      // its key is longer than ARCHIVE_MAX_KEY_LENGTH
    FOLDER_FILE_UNREADABLE,        // its size cannot be read
    FOLDER_FILE_TOO_LARGE,         // ARCHIVE_WORD_COUNT_LIMIT bytes or more
    FOLDER_FILE_PNG_BESIDE_BITMAP, // a PNG whose ".bmp" key a bitmap of the folder has
};
struct FolderFile {
    std::string key;      // empty when it has none
    std::string path;     // what to open: a link's target inside the folder
    std::string relative; // below the folder, "/" between the parts, as on disk
    std::uint64_t size;
    FolderFileProblem problem;
    FolderConversion conversion; // what the game reads is made from the file
};
// Every file below a game folder, as folder mode and the packing tool both see it, so
// that both serve the same files: in key order, files whose keys are equal (Shift-JIS
// writes some characters twice) by their names' bytes, the first of them served. A
// link is followed only to a file inside the folder (to a folder it could make a walk
// circle). *realRoot receives the folder with links resolved; false when it cannot be
// read.
bool ListGameFolder(const std::string& root, std::vector<FolderFile>* files, std::string* realRoot);
// Loads the index from the files below dir; g_archivePath becomes dir's canonical path.
// E_FAIL when dir is not a readable folder, or the walk stopped part way (what it
// found is kept).
HRESULT OpenArchiveFolder(const char* dir);
// Makes OpenArchive use folder mode on the working directory even beside a ZRN.dat.
void SetArchiveFolderForced(bool forced);
// The key with ASCII letters in lower case; the second bytes of two-byte characters,
// which can lie in the letters' range, are kept.
std::string FoldArchiveKey(const std::string& key);
// Folder mode's halves of the size query and the read: the entry's length taken again
// from the file (from what it converts to, for a file that is converted), and the
// bytes the game reads (false, with why, when the file is gone, no longer a regular
// file inside the folder, no longer of the entry's length, or cannot be converted).
void RefreshFolderEntrySize(ArchiveEntry* entry);
bool ReadFolderFile(const ArchiveEntry& entry, std::uint8_t* out, std::string* why);
// The whole of a folder entry as the game reads it, and whether it was converted; false
// with converted->problem when the file cannot be read or converted.
bool ReadConvertedFolderFile(const ArchiveEntry& entry, FolderConverted* converted);

// key is NUL-terminated. Found: writes length and position and returns S_OK.
// Missing: "分割ファイルNot Found" / "Error", out values untouched, E_FAIL.
HRESULT FindArchiveEntry(const char* key, std::uint32_t* length, std::uint32_t* position);
// The entry's length (4 x decoded bytes); missing: "結合ファイルNot Found" / "Error"
// and ARCHIVE_SIZE_NOT_FOUND.
std::uint32_t GetArchiveFileSize(const char* key);
// Writes the entry's S decoded bytes to buffer, then a NUL at buffer[S] when S > 0 (the
// size query's 4S bytes leave room), and returns S_OK. An empty entry writes nothing and
// reads no file, wherever its position points. Missing key: the message of
// FindArchiveEntry, then "結合ファイルデータNot Found", E_FAIL. Archive gone or shorter
// than the entry: "結合ファイルデータRead Error", E_FAIL; the buffer is left untouched
// (a file cut short while it is being read can leave part of it written, never past S).
HRESULT ReadArchiveFile(const char* key, void* buffer);
// The read a loader makes after its size query failed: it shows the read's own messages
// for the missing key and needs no buffer, so that none is sized from the failure value.
void ReadMissingArchiveFile(const char* key);
