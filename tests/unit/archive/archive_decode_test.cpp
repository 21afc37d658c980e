#include "archive/archive.h"
#include "archive/archive_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

// Checks DecodeArchiveWords on words[0..n) against the step-by-step reference and
// returns the number of mismatches (the first few are reported).
int CountMismatches(const std::vector<std::uint32_t>& words) {
    std::vector<std::uint8_t> out(words.size());
    DecodeArchiveWords(words.data(), out.data(), words.size());
    int mismatches = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::uint8_t expected = DecodeArchiveWordByExponent(words[i]);
        if (out[i] != expected && ++mismatches <= 5)
            ADD_FAILURE() << "word " << words[i] << ": " << int(out[i]) << " != " << int(expected);
    }
    return mismatches;
}

TEST(ArchiveDecode, ReferenceGivesKnownBytes) {
    // Worked out independently with 32-bit wrapping arithmetic.
    const struct {
        std::uint32_t word;
        int byte;
    } cases[] = {{0, 0},           {1, 1},           {2, 55},           {3, 223},   {255, 24},
                 {6960, 48},       {6961, 0},        {65535, 123},      {65536, 0}, {65537, 152},
                 {123456789, 107}, {0x80000000u, 0}, {0xffffffffu, 147}};
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeArchiveWordByExponent(c.word), c.byte) << c.word;
        std::uint8_t out = 0;
        DecodeArchiveWords(&c.word, &out, 1);
        EXPECT_EQ(out, c.byte) << c.word;
    }
}

TEST(ArchiveDecode, MatchesReferenceForAllWordsBelow2To20) {
    std::vector<std::uint32_t> words(1u << 20);
    for (std::uint32_t w = 0; w < words.size(); ++w)
        words[w] = w;
    EXPECT_EQ(CountMismatches(words), 0);
}

// Small and large words mixed at random so that blocks of either kind and blocks with
// both occur.
TEST(ArchiveDecode, MatchesReferenceForRandomWords) {
    std::mt19937 random(4);
    std::vector<std::uint32_t> words(1u << 22);
    for (std::uint32_t& w : words)
        w = random() % 4 == 0 ? random() : random() % 65536;
    EXPECT_EQ(CountMismatches(words), 0);
}

TEST(ArchiveDecode, StoredBytesAreLittleEndianWords) {
    const std::uint32_t words[] = {2, 65537, 3, 0xffffffffu, 6960, 1, 255, 123456789, 65535};
    std::vector<std::uint8_t> stored;
    for (std::uint32_t w : words) {
        for (int shift = 0; shift < 32; shift += 8)
            stored.push_back(static_cast<std::uint8_t>(w >> shift));
    }
    std::uint8_t out[9];
    DecodeArchiveBytes(stored.data(), out, 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(out[i], DecodeArchiveWordByExponent(words[i])) << i;
}

TEST(ArchiveDecode, WritesExactlyNBytes) {
    const std::uint32_t words[17] = {2, 3, 2, 3, 2, 3, 2, 3, 2, 3, 2, 3, 2, 3, 2, 3, 2};
    for (std::size_t n : {0, 1, 8, 9, 16, 17}) {
        std::vector<std::uint8_t> out(20, 0xee);
        DecodeArchiveWords(words, out.data(), n);
        for (std::size_t i = 0; i < out.size(); ++i)
            EXPECT_EQ(out[i], i < n ? (i % 2 ? 223 : 55) : 0xee) << "n " << n << " byte " << i;
    }
}

TEST(ArchiveEncode, EveryByteRoundTripsThroughASmallWord) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::uint32_t word = EncodeArchiveByte(static_cast<std::uint8_t>(byte));
        EXPECT_LT(word, ARCHIVE_MODULUS);
        EXPECT_EQ(DecodeArchiveWordByExponent(word), byte);
    }
}

// Every 32-bit word; minutes of work, so only when asked for:
// test_archive --gtest_also_run_disabled_tests --gtest_filter='*AllWords*'
TEST(ArchiveDecode, DISABLED_MatchesReferenceForAllWords) {
    constexpr std::uint64_t CHUNK = 1u << 24;
    std::vector<std::uint32_t> words(CHUNK);
    std::vector<std::uint8_t> out(CHUNK);
    std::uint64_t mismatches = 0;
    for (std::uint64_t start = 0; start < (1ull << 32); start += CHUNK) {
        for (std::uint64_t i = 0; i < CHUNK; ++i)
            words[i] = static_cast<std::uint32_t>(start + i);
        DecodeArchiveWords(words.data(), out.data(), CHUNK);
        for (std::uint64_t i = 0; i < CHUNK; ++i)
            mismatches += out[i] != DecodeArchiveWordByExponent(words[i]);
    }
    EXPECT_EQ(mismatches, 0u);
}

} // namespace
