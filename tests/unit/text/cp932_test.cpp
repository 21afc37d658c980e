// The built-in code page 932 table against the C library's own converter: every
// two-byte code, the extension rows included, decodes as iconv decodes it, and text
// written back by the table is what iconv writes.
#include "platform/text/cp932.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// iconv's reading of one code, or CP932_REPLACEMENT when it refuses it.
std::uint32_t IconvDecode(iconv_t converter, const std::uint8_t* bytes, std::size_t length) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char input[2];
    std::memcpy(input, bytes, length);
    std::uint8_t output[8];
    char* in = input;
    char* out = reinterpret_cast<char*>(output);
    std::size_t inLeft = length, outLeft = sizeof(output);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0 || sizeof(output) - outLeft != 4)
        return CP932_REPLACEMENT;
    return output[0] | output[1] << 8 | output[2] << 16 |
           static_cast<std::uint32_t>(output[3]) << 24;
}

// The tests that need iconv's CP932 and only those: the browser build, whose C library
// has none, leaves this fixture out by name.
class Cp932Table : public ::testing::Test {
  protected:
    void SetUp() override {
        m_decoder = iconv_open("UTF-32LE", "CP932");
        ASSERT_NE(m_decoder, reinterpret_cast<iconv_t>(-1)) << "iconv has no CP932 here";
    }
    void TearDown() override { iconv_close(m_decoder); }
    iconv_t m_decoder = reinterpret_cast<iconv_t>(-1);
};

TEST_F(Cp932Table, EveryTwoByteCodeDecodesAsIconvDoes) {
    int mapped = 0;
    std::vector<std::string> differences;
    for (int lead = 0x81; lead <= 0xFC; lead++) {
        if (!IsCp932LeadByte(static_cast<std::uint8_t>(lead)))
            continue;
        for (int trail = 0x00; trail <= 0xFF; trail++) {
            const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(lead),
                                           static_cast<std::uint8_t>(trail)};
            std::uint32_t ours = 0;
            ASSERT_EQ(DecodeCp932Char(bytes, 2, &ours), 2);
            const std::uint32_t theirs = IconvDecode(m_decoder, bytes, 2);
            if (ours != CP932_REPLACEMENT)
                mapped++;
            if (ours != theirs && differences.size() < 20) {
                char line[64];
                std::snprintf(line, sizeof(line), "%02X%02X: ours U+%04X, iconv U+%04X", lead,
                              trail, ours, theirs);
                differences.push_back(line);
            }
        }
    }
    EXPECT_TRUE(differences.empty()) << ::testing::PrintToString(differences);
    // The JIS rows, the NEC specials, NEC-selected IBM and IBM extensions, user area.
    EXPECT_EQ(mapped, 9604);
}

TEST(Cp932Text, ExtensionRowsAndSingleBytes) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        int used;
        std::uint32_t codepoint;
    };
    const Case cases[] = {
        {{0x81, 0x60}, 2, 0xFF5E},            // wave dash as Windows writes it, not U+301C
        {{0x87, 0x40}, 2, 0x2460},            // NEC special row: circled one
        {{0xED, 0x40}, 2, 0x7E8A},            // NEC-selected IBM extension
        {{0xFA, 0x40}, 2, 0x2170},            // IBM extension: small roman one
        {{0xF0, 0x40}, 2, 0xE000},            // user-defined area
        {{0x82, 0xA0}, 2, 0x3042},            // hiragana a
        {{0x81, 0x7F}, 2, CP932_REPLACEMENT}, // 0x7F never follows a lead byte
        {{0x85, 0x40}, 2, CP932_REPLACEMENT}, // an empty row
        {{0x41}, 1, 0x41},
        {{0xB1}, 1, 0xFF71}, // half-width katakana
        {{0x80}, 1, CP932_REPLACEMENT},
        {{0xA0}, 1, CP932_REPLACEMENT},
        {{0xFD}, 1, CP932_REPLACEMENT},
        {{0x82}, 1, CP932_REPLACEMENT}, // a lead byte at the end of the text
    };
    for (const Case& c : cases) {
        std::uint32_t codepoint = 0;
        EXPECT_EQ(DecodeCp932Char(c.bytes.data(), static_cast<int>(c.bytes.size()), &codepoint),
                  c.used);
        EXPECT_EQ(codepoint, c.codepoint) << std::hex << int(c.bytes[0]);
    }
}

// Everything the table decodes is written back as iconv writes it.
TEST_F(Cp932Table, WritesTextBackAsIconvDoes) {
    iconv_t encoder = iconv_open("CP932", "UTF-8");
    ASSERT_NE(encoder, reinterpret_cast<iconv_t>(-1));
    int differences = 0;
    for (int lead = 0x81; lead <= 0xFC; lead++) {
        for (int trail = 0x40; trail <= 0xFC && IsCp932LeadByte(static_cast<std::uint8_t>(lead));
             trail++) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::string utf8 = Cp932ToUtf8(bytes, 2);
            if (utf8 == "\xEF\xBF\xBD")
                continue;
            std::string ours;
            ASSERT_TRUE(Utf8ToCp932(utf8, &ours)) << std::hex << lead << trail;
            std::string input = utf8;
            char output[8];
            char* in = input.data();
            char* out = output;
            std::size_t inLeft = input.size(), outLeft = sizeof(output);
            iconv(encoder, nullptr, nullptr, nullptr, nullptr);
            ASSERT_NE(iconv(encoder, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1));
            if (ours != std::string(output, sizeof(output) - outLeft))
                differences++;
        }
    }
    iconv_close(encoder);
    EXPECT_EQ(differences, 0);
}

TEST(Cp932Text, RefusesWhatCodePage932CannotWrite) {
    const char* refused[] = {
        "\xC3\x28",         // broken two-byte UTF-8
        "\xE2\x82",         // cut short
        "\xC0\xAF",         // overlong '/'
        "\xED\xA0\x80",     // a surrogate
        "\xF0\x9F\x98\x80", // an emoji: no code for it
        "\xC3\xA9",         // é: no code for it
    };
    for (const char* text : refused) {
        std::string out = "unchanged";
        EXPECT_FALSE(Utf8ToCp932(text, &out)) << text;
        EXPECT_EQ(out, "unchanged");
    }
    std::string out;
    ASSERT_TRUE(Utf8ToCp932("a\xEF\xBD\xB1\xE3\x81\x82\xEF\xBD\x9E", &out)); // a ｱ あ ～
    EXPECT_EQ(out, "a\xB1\x82\xA0\x81\x60");
}

} // namespace
