// Word decoding. The format's square-and-multiply keeps 32-bit values, so only the
// first squaring can wrap: for w < 65536 the byte is (w^61 mod 6961) & 0xff and
// depends on w mod 6961 alone, so one table of the small words answers them. For
// larger words the wrapped square enters the rest of the exponentiation, which
// multiplies w by that square's 30th power; both factors come from tables of the
// 6961 residues.
#include "archive/archive.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t SMALL_WORD_LIMIT = 65536;

constexpr std::uint32_t PowerModulo(std::uint32_t base, std::uint32_t exponent) {
    std::uint32_t result = 1;
    base %= ARCHIVE_MODULUS;
    while (exponent) {
        if (exponent & 1)
            result = result * base % ARCHIVE_MODULUS;
        base = base * base % ARCHIVE_MODULUS;
        exponent >>= 1;
    }
    return result;
}

// Byte of each residue r: (r^61 mod 6961) & 0xff.
constexpr std::array<std::uint8_t, ARCHIVE_MODULUS> BuildResidueBytes() {
    std::array<std::uint8_t, ARCHIVE_MODULUS> table{};
    for (std::uint32_t r = 0; r < ARCHIVE_MODULUS; ++r)
        table[r] = static_cast<std::uint8_t>(PowerModulo(r, ARCHIVE_DECODE_EXPONENT));
    return table;
}

// After the first step the exponentiation has r = w and a = w*w; the remaining bits
// of 61 (11110) multiply r by a^2, a^4, a^8 and a^16.
constexpr std::array<std::uint16_t, ARCHIVE_MODULUS> BuildSquareFactors() {
    std::array<std::uint16_t, ARCHIVE_MODULUS> table{};
    for (std::uint32_t a = 0; a < ARCHIVE_MODULUS; ++a)
        table[a] = static_cast<std::uint16_t>(PowerModulo(a, ARCHIVE_DECODE_EXPONENT >> 1));
    return table;
}

constexpr std::array<std::uint8_t, ARCHIVE_MODULUS> RESIDUE_BYTES = BuildResidueBytes();
constexpr std::array<std::uint16_t, ARCHIVE_MODULUS> SQUARE_FACTORS = BuildSquareFactors();

// The byte of every small word, indexed by the word itself: no division in the loop
// that packed data takes. A packer's words lie below the modulus, so the part in use
// stays in the first-level cache.
constexpr std::array<std::uint8_t, SMALL_WORD_LIMIT> BuildSmallWordBytes() {
    std::array<std::uint8_t, SMALL_WORD_LIMIT> table{};
    for (std::uint32_t w = 0; w < SMALL_WORD_LIMIT; ++w)
        table[w] = RESIDUE_BYTES[w % ARCHIVE_MODULUS];
    return table;
}

constexpr std::array<std::uint8_t, SMALL_WORD_LIMIT> SMALL_WORD_BYTES = BuildSmallWordBytes();

inline std::uint8_t DecodeLargeWord(std::uint32_t word) {
    const std::uint32_t square = word * word; // wraps, as the game's arithmetic does
    const std::uint32_t r = word % ARCHIVE_MODULUS * SQUARE_FACTORS[square % ARCHIVE_MODULUS];
    return static_cast<std::uint8_t>(r % ARCHIVE_MODULUS);
}

inline std::uint8_t DecodeWord(std::uint32_t word) {
    if (word < SMALL_WORD_LIMIT)
        return SMALL_WORD_BYTES[word];
    return DecodeLargeWord(word);
}

inline std::uint32_t LoadLittleEndianWord(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr std::size_t DECODE_BLOCK = 8;

inline void StoreLittleEndian(std::uint64_t bytes, std::uint8_t* out) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &bytes, sizeof bytes);
    } else {
        for (std::size_t k = 0; k < sizeof bytes; ++k)
            out[k] = static_cast<std::uint8_t>(bytes >> (8 * k));
    }
}

} // namespace

std::uint8_t DecodeArchiveWordByExponent(std::uint32_t word) {
    std::uint32_t a = word;
    std::uint32_t r = 1;
    std::uint32_t e = ARCHIVE_DECODE_EXPONENT;
    do {
        if (e & 1)
            r *= a;
        a *= a;
        e >>= 1;
        if (a >= ARCHIVE_MODULUS)
            a %= ARCHIVE_MODULUS;
        if (r >= ARCHIVE_MODULUS)
            r %= ARCHIVE_MODULUS;
    } while (e > 1);
    r *= a;
    if (r >= ARCHIVE_MODULUS)
        r %= ARCHIVE_MODULUS;
    return static_cast<std::uint8_t>(r);
}

// Packed data holds small words, so whole blocks of them take the branch-free table
// path; a block with any large word falls back to word-by-word decoding.
void DecodeArchiveWords(const std::uint32_t* words, std::uint8_t* out, std::size_t n) {
    std::size_t i = 0;
    for (; i + DECODE_BLOCK <= n; i += DECODE_BLOCK) {
        std::uint32_t high = 0;
        for (std::size_t k = 0; k < DECODE_BLOCK; ++k)
            high |= words[i + k];
        if (high < SMALL_WORD_LIMIT) {
            // Eight bytes gathered into one store.
            std::uint64_t bytes = 0;
            for (std::size_t k = 0; k < DECODE_BLOCK; ++k)
                bytes |= static_cast<std::uint64_t>(SMALL_WORD_BYTES[words[i + k]]) << (8 * k);
            StoreLittleEndian(bytes, out + i);
        } else {
            for (std::size_t k = 0; k < DECODE_BLOCK; ++k)
                out[i + k] = DecodeWord(words[i + k]);
        }
    }
    for (; i < n; ++i)
        out[i] = DecodeWord(words[i]);
}

void DecodeArchiveBytes(const std::uint8_t* stored, std::uint8_t* out, std::size_t n) {
    std::size_t i = 0;
    for (; i + DECODE_BLOCK <= n; i += DECODE_BLOCK) {
        std::uint32_t words[DECODE_BLOCK];
        for (std::size_t k = 0; k < DECODE_BLOCK; ++k)
            words[k] = LoadLittleEndianWord(stored + 4 * (i + k));
        DecodeArchiveWords(words, out + i, DECODE_BLOCK);
    }
    for (; i < n; ++i)
        out[i] = DecodeWord(LoadLittleEndianWord(stored + 4 * i));
}
