// Encoding: 6961 is prime and 61 is prime to 6960, so raising to 61 is a permutation
// of the residues whose inverse is raising to 61's inverse modulo 6960. The byte
// itself, a residue below 256, maps to a word that decodes back to it.
#include "archive/archive_writer.h"

#include "archive/archive.h"

#include <algorithm>
#include <array>
#include <set>

namespace {

constexpr std::uint32_t InverseModulo(std::uint32_t value, std::uint32_t modulus) {
    for (std::uint32_t inverse = 1; inverse < modulus; ++inverse) {
        if (value * inverse % modulus == 1)
            return inverse;
    }
    return 0;
}

constexpr std::uint32_t ENCODE_EXPONENT =
    InverseModulo(ARCHIVE_DECODE_EXPONENT, ARCHIVE_MODULUS - 1);
static_assert(ENCODE_EXPONENT != 0, "the decoding power must be invertible");

constexpr std::array<std::uint32_t, 256> BuildByteWords() {
    std::array<std::uint32_t, 256> words{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t result = 1;
        std::uint32_t base = byte;
        for (std::uint32_t e = ENCODE_EXPONENT; e; e >>= 1) {
            if (e & 1)
                result = result * base % ARCHIVE_MODULUS;
            base = base * base % ARCHIVE_MODULUS;
        }
        words[byte] = result;
    }
    return words;
}

constexpr std::array<std::uint32_t, 256> BYTE_WORDS = BuildByteWords();

void AppendWord(std::uint32_t word, std::vector<std::uint8_t>* stored) {
    for (int shift = 0; shift < 32; shift += 8)
        stored->push_back(static_cast<std::uint8_t>(word >> shift));
}

bool CheckKey(const std::string& key, std::string* error) {
    if (key.empty() || key.find('\0') != std::string::npos) {
        *error = "a key must be a non-empty string without NUL bytes";
        return false;
    }
    if (key.size() > ARCHIVE_MAX_KEY_LENGTH) {
        *error = "key of " + std::to_string(key.size()) + " bytes (at most " +
                 std::to_string(ARCHIVE_MAX_KEY_LENGTH) + "): " + key;
        return false;
    }
    return true;
}

} // namespace

std::uint32_t EncodeArchiveByte(std::uint8_t byte) {
    return BYTE_WORDS[byte];
}

void EncodeArchiveBytes(const std::uint8_t* bytes, std::size_t n,
                        std::vector<std::uint8_t>* stored) {
    stored->reserve(stored->size() + 4 * n);
    for (std::size_t i = 0; i < n; ++i)
        AppendWord(BYTE_WORDS[bytes[i]], stored);
}

void EncodeArchiveNumber(std::uint32_t number, std::vector<std::uint8_t>* stored) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
        static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
    EncodeArchiveBytes(bytes, 4, stored);
}

bool BuildArchiveTable(const std::vector<ArchiveTableFile>& files,
                       std::vector<std::uint8_t>* stored, std::vector<std::uint32_t>* offsets,
                       std::string* error) {
    std::set<std::string, ArchiveKeyLess> keys;
    std::uint64_t nextWord =
        ARCHIVE_HEADER_WORDS + static_cast<std::uint64_t>(ARCHIVE_ENTRY_WORDS) * files.size();
    offsets->clear();
    for (const ArchiveTableFile& file : files) {
        if (!CheckKey(file.key, error))
            return false;
        if (!keys.insert(file.key).second) {
            *error = "key given twice: " + file.key;
            return false;
        }
        offsets->push_back(static_cast<std::uint32_t>(nextWord));
        nextWord += file.size;
        if (4 * nextWord > ARCHIVE_MAX_FILE_SIZE) {
            *error = "the archive would exceed " + std::to_string(ARCHIVE_MAX_FILE_SIZE) +
                     " bytes (each byte of data takes four)";
            return false;
        }
    }
    EncodeArchiveNumber(static_cast<std::uint32_t>(files.size()), stored);
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::uint8_t name[ARCHIVE_NAME_SIZE] = {};
        std::copy(files[i].key.begin(), files[i].key.end(), name);
        EncodeArchiveBytes(name, ARCHIVE_NAME_SIZE, stored);
        EncodeArchiveNumber(files[i].size, stored);
        EncodeArchiveNumber((*offsets)[i], stored);
    }
    return true;
}

bool BuildArchiveImage(const std::vector<ArchiveFileData>& files, std::vector<std::uint8_t>* image,
                       std::string* error) {
    std::vector<const ArchiveFileData*> ordered;
    for (const ArchiveFileData& file : files)
        ordered.push_back(&file);
    std::sort(ordered.begin(), ordered.end(),
              [](const ArchiveFileData* a, const ArchiveFileData* b) {
                  return ArchiveKeyLess()(a->key, b->key);
              });
    std::vector<ArchiveTableFile> tableFiles;
    for (const ArchiveFileData* file : ordered) {
        if (file->data.size() >= ARCHIVE_WORD_COUNT_LIMIT) {
            *error = "file too large for the archive: " + file->key;
            return false;
        }
        tableFiles.push_back({file->key, static_cast<std::uint32_t>(file->data.size())});
    }
    std::vector<std::uint32_t> offsets;
    image->clear();
    if (!BuildArchiveTable(tableFiles, image, &offsets, error))
        return false;
    for (const ArchiveFileData* file : ordered)
        EncodeArchiveBytes(file->data.data(), file->data.size(), image);
    return true;
}
