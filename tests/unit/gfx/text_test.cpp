// The message font: glyph spacing, line spacing, NUL bytes, the shadow and clipping.
#include "gfx_fixture.h"

#include "render/camera.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"

#include "platform/text/cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
};

// Pixels within a column range that are brighter than the background.
InkBox FindInk(const std::uint8_t* frame, int x0, int x1, int y0, int y1) {
    InkBox box;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (PixelAt(frame, x, y).r > 200) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    }
    return box;
}

class TextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InitGfxFixture() || !g_pFont)
            CreateMessageFont();
        if (!InitGfxFixture() || !g_pFont)
            GTEST_SKIP() << "no device or font";
        g_pD3DDevice->SetRenderTarget(0, g_camera.backBuffer);
    }
    const std::uint8_t* Draw(const std::string& text) {
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464u, 1.0f, 0);
        const IntRect shadow = {52, 52, 976, 720};
        const IntRect rect = {50, 50, 974, 718};
        g_pFont->DrawText(text.data(), static_cast<int>(text.size()), &shadow, DT_TOPLEFT,
                          0xFF000000u);
        g_pFont->DrawText(text.data(), static_cast<int>(text.size()), &rect, DT_TOPLEFT,
                          0xFFFFFFFFu);
        return PresentFrame();
    }
};

// "Ｉ" (full-width I, CP932 0x8268) is a narrow vertical stroke, easy to find.
const std::string FULL_I = "\x82\x68";

} // namespace

TEST_F(TextTest, FaceResolvesToAJapaneseGothic) {
    EXPECT_STREQ(g_pFont->GetFamilyName(), "IPAGothic");
}

// CP932 0xF040, the first user-defined character, decodes to U+E000, a private-use
// character that no Gothic face draws: it shows as the face's '?'.
TEST_F(TextTest, ACharacterTheFaceLacksDrawsAsAQuestionMark) {
    const std::uint8_t* drawn = Draw("?");
    const std::vector<std::uint8_t> question(drawn, drawn + 1024 * 768 * 4);
    const InkBox questionInk = FindInk(question.data(), 40, 200, 40, 120);
    ASSERT_FALSE(questionInk.Empty());
    const std::uint8_t* lacking = Draw("\xF0\x40");
    const InkBox lackingInk = FindInk(lacking, 40, 200, 40, 120);
    EXPECT_EQ(
        (std::vector<int>{lackingInk.left, lackingInk.top, lackingInk.right, lackingInk.bottom}),
        (std::vector<int>{questionInk.left, questionInk.top, questionInk.right,
                          questionInk.bottom}));
    int differing = 0;
    for (int y = 40; y < 120; ++y) {
        for (int x = 40; x < 200; ++x)
            differing += PixelAt(lacking, x, y).r != PixelAt(question.data(), x, y).r;
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(TextTest, FullWidthCharactersAre36ApartAndLines45) {
    const std::uint8_t* frame = Draw(FULL_I + FULL_I + "\n" + FULL_I);
    const InkBox first = FindInk(frame, 50, 86, 50, 95);
    const InkBox second = FindInk(frame, 86, 122, 50, 95);
    const InkBox below = FindInk(frame, 50, 86, 95, 140);
    ASSERT_FALSE(first.Empty());
    ASSERT_FALSE(second.Empty());
    ASSERT_FALSE(below.Empty());
    EXPECT_EQ(second.left - first.left, 36);
    EXPECT_EQ(below.top - first.top, 45);
    EXPECT_EQ(below.left, first.left);
}

TEST_F(TextTest, NulBytesTakeNoRoom) {
    const std::string withNul = FULL_I + std::string(1, '\0') + FULL_I;
    const std::uint8_t* frame = Draw(withNul);
    const InkBox first = FindInk(frame, 50, 86, 50, 95);
    const InkBox second = FindInk(frame, 86, 122, 50, 95);
    ASSERT_FALSE(second.Empty());
    EXPECT_EQ(second.left - first.left, 36);
}

TEST_F(TextTest, WhiteTextHasABlackShadowTwoPixelsDownRight) {
    const std::uint8_t* frame = Draw(FULL_I);
    const InkBox ink = FindInk(frame, 50, 86, 50, 95);
    ASSERT_FALSE(ink.Empty());
    // The strongest pixel of the glyph's bottom row; below it there is only shadow.
    int x = ink.left;
    for (int i = ink.left; i <= ink.right; ++i) {
        if (PixelAt(frame, i, ink.bottom).r > PixelAt(frame, x, ink.bottom).r)
            x = i;
    }
    const Pixel white = PixelAt(frame, x, ink.bottom);
    const Pixel shadow = PixelAt(frame, x + 2, ink.bottom + 2);
    EXPECT_GT(white.r, 200);
    EXPECT_LT(shadow.r, 30);
    EXPECT_EQ(PixelAt(frame, 40, 40).r, 100);
}

TEST(Cp932, DecodesSingleAndDoubleBytes) {
    struct Case {
        const char* bytes;
        int count;
        std::uint32_t codepoint;
        int used;
    };
    const Case cases[] = {
        {"A", 1, 'A', 1},
        {"\x82\xa0", 2, 0x3042, 2},        // あ
        {"\x81\x60", 2, 0xFF5E, 2},        // the CP932 wave dash
        {"\xb1", 1, 0xFF71, 1},            // half-width katakana
        {"\x82", 1, CP932_REPLACEMENT, 1}, // a lead byte at the end
    };
    for (const Case& c : cases) {
        std::uint32_t codepoint = 0;
        EXPECT_EQ(
            DecodeCp932Char(reinterpret_cast<const std::uint8_t*>(c.bytes), c.count, &codepoint),
            c.used);
        EXPECT_EQ(codepoint, c.codepoint) << c.bytes;
    }
    EXPECT_EQ(Cp932ToUtf8("\x82\xa0"
                          "a",
                          3),
              "あa");
}

TEST_F(TextTest, EveryCharacterOfALineDrawsAsThePageGrows) {
    // "霧の向こう": five different glyphs, each loaded into the atlas on first use, as a
    // scenario page shows them: one more each frame, with other draws in between.
    const std::string line = "\x96\xb6\x82\xcc\x8c\xfc\x82\xb1\x82\xa4";
    ScreenQuad quad;
    SetQuad(&quad, 255, 900, 700, 964, 764, 0, 0, 64, 64);
    for (std::size_t shown = 2; shown < line.size(); shown += 2) {
        Draw(line.substr(0, shown));
        DrawQuad(&quad, nullptr);
    }
    const std::uint8_t* frame = Draw(line);
    for (int i = 0; i < 5; ++i) {
        const int left = 50 + 36 * i;
        EXPECT_FALSE(FindInk(frame, left, left + 36, 50, 95).Empty()) << "character " << i;
    }
}
