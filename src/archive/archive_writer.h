// Making archives: the encoding of bytes as words and the layout of header, table
// and data. The game never writes archives; the packing tool and the tests do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A word that decodes to byte (the smallest such word: below the modulus).
std::uint32_t EncodeArchiveByte(std::uint8_t byte);
// Appends the words of n bytes to stored, 4 little-endian bytes each.
void EncodeArchiveBytes(const std::uint8_t* bytes, std::size_t n,
                        std::vector<std::uint8_t>* stored);
// Appends the 4 words of a little-endian 32-bit number.
void EncodeArchiveNumber(std::uint32_t number, std::vector<std::uint8_t>* stored);

struct ArchiveTableFile {
    std::string key;
    std::uint32_t size; // decoded bytes
};

// Header and table for files whose data follow the table in the given order,
// contiguously. offsets receives each file's O (word index of its data). false with
// a message in error when a key is empty, holds a NUL or is over 127 bytes, a key is
// repeated, or the archive would pass the format's 2^31 - 1 bytes.
bool BuildArchiveTable(const std::vector<ArchiveTableFile>& files,
                       std::vector<std::uint8_t>* stored, std::vector<std::uint32_t>* offsets,
                       std::string* error);

struct ArchiveFileData {
    std::string key;
    std::vector<std::uint8_t> data;
};

// A whole archive in memory, files in index order (unsigned bytes of the keys), so
// that equal input gives equal bytes whatever order it came in.
bool BuildArchiveImage(const std::vector<ArchiveFileData>& files, std::vector<std::uint8_t>* image,
                       std::string* error);
