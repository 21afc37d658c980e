// Bitmaps written byte by byte, decoded and compared texel by texel with what the bytes
// say.
#include "bmp_image.h"

#include "platform/gfx/bmp_decode.h"
#include "platform/gfx/device.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct BmpFields {
    std::uint32_t infoSize = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> masks;   // red, green, blue[, alpha]
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::uint32_t colorsUsed = 0;
    Bytes pixels; // as stored, rows padded by hand
};

void Put(Bytes* b, std::size_t at, std::uint32_t v, int count) {
    for (int i = 0; i < count; ++i)
        (*b)[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

Bytes BuildBmp(const BmpFields& s) {
    const bool core = s.infoSize == 12;
    const std::size_t masksAfter = s.infoSize == 40 ? 4 * s.masks.size() : 0;
    const std::size_t entry = core ? 3 : 4;
    const std::size_t pixelOffset = 14 + s.infoSize + masksAfter + entry * s.palette.size();
    Bytes b(pixelOffset, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(&b, 2, static_cast<std::uint32_t>(pixelOffset + s.pixels.size()), 4);
    Put(&b, 10, static_cast<std::uint32_t>(pixelOffset), 4);
    Put(&b, 14, s.infoSize, 4);
    if (core) {
        Put(&b, 18, static_cast<std::uint32_t>(s.width), 2);
        Put(&b, 20, static_cast<std::uint32_t>(s.height), 2);
        Put(&b, 22, 1, 2);
        Put(&b, 24, s.bits, 2);
    } else {
        Put(&b, 18, static_cast<std::uint32_t>(s.width), 4);
        Put(&b, 22, static_cast<std::uint32_t>(s.height), 4);
        Put(&b, 26, 1, 2);
        Put(&b, 28, s.bits, 2);
    }
    if (s.infoSize >= 40) {
        Put(&b, 30, s.compression, 4);
        Put(&b, 34, static_cast<std::uint32_t>(s.pixels.size()), 4);
        Put(&b, 46, s.colorsUsed, 4);
    }
    for (std::size_t i = 0; i < s.masks.size(); ++i)
        Put(&b, 54 + 4 * i, s.masks[i], 4);
    const std::size_t palette = 14 + s.infoSize + masksAfter;
    for (std::size_t i = 0; i < s.palette.size(); ++i)
        Put(&b, palette + entry * i, s.palette[i], static_cast<int>(entry));
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

bool Decode(const Bytes& file, DecodedImage* image) {
    return DecodeBmp(file.data(), static_cast<std::uint32_t>(file.size()), 0, false, image);
}

// Texels as 0xAARRGGBB, top row first.
std::vector<std::uint32_t> Texels(const DecodedImage& image) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        const std::uint8_t* t = &image.rgba[i];
        out.push_back(std::uint32_t{t[3]} << 24 | std::uint32_t{t[0]} << 16 |
                      std::uint32_t{t[1]} << 8 | t[2]);
    }
    return out;
}

const std::vector<std::uint32_t> RLE_PALETTE = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF};

// Rows top first: a digit is a palette index (opaque), "." transparent black.
std::vector<std::uint32_t> FromRows(const std::vector<std::string>& rows) {
    std::vector<std::uint32_t> out;
    for (const std::string& row : rows) {
        for (char c : row)
            out.push_back(c == '.' ? 0u : 0xFF000000u | RLE_PALETTE[c - '0']);
    }
    return out;
}

struct RleCase {
    const char* what;
    Bytes stream;
    std::vector<std::string> rows;
};

void CheckRle(std::uint16_t bits, std::int32_t width, std::int32_t height, const RleCase& c) {
    BmpFields fields;
    fields.width = width;
    fields.height = height;
    fields.bits = bits;
    fields.compression = bits == 8 ? 1 : 2;
    fields.palette = RLE_PALETTE;
    fields.pixels = c.stream;
    DecodedImage image;
    ASSERT_TRUE(Decode(BuildBmp(fields), &image)) << c.what;
    EXPECT_EQ(image.fileFormat, FMT_P8) << c.what;
    EXPECT_EQ(Texels(image), FromRows(c.rows)) << c.what;
}

} // namespace

TEST(BmpDecode, Rle8EveryEscapeCode) {
    const RleCase cases[] = {
        {"runs, end of line, end of bitmap",
         {4, 1, 0, 0, 2, 2, 2, 3, 0, 0, 1, 0, 3, 1, 0, 1},
         {"0111", "2233", "1111"}},
        {"absolute run of odd length skips its pad byte",
         {0, 3, 1, 2, 3, 0xEE, 1, 0, 0, 0, 0, 4, 3, 2, 1, 0, 0, 1},
         {"....", "3210", "1230"}},
        {"delta moves right and up, skipped pixels stay transparent",
         {1, 1, 0, 2, 2, 1, 1, 3, 0, 1},
         {"....", "...3", "1..."}},
        {"a run past the row end is clipped, not wrapped",
         {6, 2, 0, 0, 1, 3, 0, 3, 1, 1, 1, 0, 0, 1},
         {"....", "3111", "2222"}},
        {"a delta past the last row ends the image",
         {1, 1, 0, 2, 0, 5, 1, 2},
         {"....", "....", "1..."}},
        {"a stream that stops leaves the rest transparent",
         {4, 1, 0, 0, 2, 2},
         {"....", "....", "22..", "1111"}},
        {"an absolute run cut by the stream's end keeps what is there",
         {0, 4, 1, 2},
         {"....", "....", "12.."}},
        {"a delta cut by the stream's end", {1, 3, 0, 2, 1}, {"....", "....", "3..."}},
    };
    for (const RleCase& c : cases) {
        const std::int32_t height = static_cast<std::int32_t>(c.rows.size());
        CheckRle(8, 4, height, c);
    }
}

TEST(BmpDecode, Rle4EveryEscapeCode) {
    const RleCase cases[] = {
        {"encoded runs alternate the two nibbles",
         {5, 0x12, 0, 0, 3, 0x30, 0, 1},
         {"303...", "12121."}},
        {"absolute runs, the odd one padded to a whole word",
         {0, 3, 0x12, 0x30, 2, 0x11, 0, 0, 0, 5, 0x12, 0x31, 0x20, 0xEE, 1, 0x30, 0, 1},
         {"123123", "12311."}},
        {"delta and end of bitmap",
         {1, 0x10, 0, 2, 3, 1, 1, 0x20, 0, 1, 1, 0x30},
         {"....2.", "1....."}},
        {"a run past the row end is clipped", {8, 0x23, 0, 0, 1, 0x10}, {"1.....", "232323"}},
        {"an absolute run cut by the stream's end", {0, 6, 0x12}, {"......", "12...."}},
    };
    for (const RleCase& c : cases)
        CheckRle(4, 6, static_cast<std::int32_t>(c.rows.size()), c);
}

// Two bytes of a stream paint at most 255 pixels: a picture larger than its whole
// stream could paint is refused; one it could just paint is decoded.
TEST(BmpDecode, RlePictureMustFitWhatItsStreamCanPaint) {
    struct Case {
        std::uint16_t bits;
        std::int32_t width, height;
        Bytes stream;
        bool accepted;
    };
    const Bytes twoLongRuns = {255, 1, 255, 0x11};
    const Case cases[] = {
        {8, 255, 2, twoLongRuns, true},  {8, 256, 2, twoLongRuns, false},
        {8, 255, 3, twoLongRuns, false}, {4, 510, 1, twoLongRuns, true},
        {4, 511, 1, twoLongRuns, false}, {8, 1, 1, {}, false},
        {8, 8192, 8192, {0, 1}, false},
    };
    for (const Case& c : cases) {
        BmpFields fields;
        fields.width = c.width;
        fields.height = c.height;
        fields.bits = c.bits;
        fields.compression = c.bits == 8 ? 1 : 2;
        fields.palette = RLE_PALETTE;
        fields.pixels = c.stream;
        DecodedImage image;
        EXPECT_EQ(Decode(BuildBmp(fields), &image), c.accepted)
            << c.bits << "-bit " << c.width << " × " << c.height;
    }
}

TEST(BmpDecode, RleTopDown) {
    CheckRle(8, 4, -2, {"rows from the top", {4, 1, 0, 0, 2, 2, 0, 1}, {"1111", "22.."}});
}

TEST(BmpDecode, EveryDepthAndHeader) {
    struct Case {
        const char* what;
        BmpFields fields;
        std::uint32_t format;
        std::vector<std::uint32_t> texels; // top-left, top-right, bottom-left, bottom-right
    };
    const Case cases[] = {
        {"1-bit",
         {40, 2, 2, 1, 0, {}, {0x112233, 0xFFEEDD}, 0, {0x40, 0, 0, 0, 0x80, 0, 0, 0}},
         FMT_P8,
         {0xFFFFEEDD, 0xFF112233, 0xFF112233, 0xFFFFEEDD}},
        {"4-bit with three colours used",
         {40, 2, 2, 4, 0, {}, {0x010203, 0x0A0B0C, 0xA0B0C0}, 3, {0x21, 0, 0, 0, 0x02, 0, 0, 0}},
         FMT_P8,
         {0xFF010203, 0xFFA0B0C0, 0xFFA0B0C0, 0xFF0A0B0C}},
        {"8-bit, an index past the palette is black",
         {40, 2, 2, 8, 0, {}, {0x336699}, 1, {0, 7, 0, 0, 7, 0, 0, 0}},
         FMT_P8,
         {0xFF000000, 0xFF336699, 0xFF336699, 0xFF000000}},
        {"16-bit 5-5-5, the top bit ignored",
         {40, 2, 2, 16, 0, {}, {}, 0, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0xFF}},
         FMT_X1R5G5B5,
         {0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00}},
        {"16-bit bit fields 5-6-5",
         {40,
          2,
          2,
          16,
          3,
          {0xF800, 0x07E0, 0x001F},
          {},
          0,
          {0x10, 0x84, 0xE0, 0x07, 0x00, 0xF8, 0x1F, 0x00}},
         FMT_R5G6B5,
         {0xFFFF0000, 0xFF0000FF, 0xFF848284, 0xFF00FF00}},
        {"16-bit bit fields with an alpha mask",
         {56,
          2,
          2,
          16,
          3,
          {0x7C00, 0x03E0, 0x001F, 0x8000},
          {},
          0,
          {0x00, 0xFC, 0xE0, 0x03, 0x1F, 0x80, 0xFF, 0x7F}},
         FMT_A1R5G5B5,
         {0xFF0000FF, 0x00FFFFFF, 0xFFFF0000, 0x0000FF00}},
        {"24-bit",
         {40, 2, 2, 24, 0, {}, {}, 0, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
         FMT_R8G8B8,
         {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
        {"32-bit, fourth byte zero everywhere",
         {40, 2, 2, 32, 0, {}, {}, 0, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}},
         FMT_X8R8G8B8,
         {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
        {"32-bit with one alpha byte set",
         {40, 2, 2, 32, 0, {}, {}, 0, {1, 2, 3, 0, 4, 5, 6, 0x80, 7, 8, 9, 0, 10, 11, 12, 0}},
         FMT_A8R8G8B8,
         {0x00090807, 0x000C0B0A, 0x00030201, 0x80060504}},
        {"32-bit bit fields after a 40-byte header",
         {40,
          2,
          2,
          32,
          3,
          {0xFF, 0xFF00, 0xFF0000},
          {},
          0,
          {1, 2, 3, 9, 4, 5, 6, 9, 7, 8, 9, 9, 10, 11, 12, 9}},
         FMT_X8R8G8B8,
         {0xFF070809, 0xFF0A0B0C, 0xFF010203, 0xFF040506}},
        {"32-bit, 52-byte header",
         {52,
          2,
          2,
          32,
          3,
          {0xFF0000, 0xFF00, 0xFF},
          {},
          0,
          {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}},
         FMT_X8R8G8B8,
         {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
        {"32-bit V4 header, no alpha mask",
         {108,
          2,
          2,
          32,
          3,
          {0xFF0000, 0xFF00, 0xFF, 0},
          {},
          0,
          {1, 2, 3, 7, 4, 5, 6, 7, 7, 8, 9, 7, 10, 11, 12, 7}},
         FMT_X8R8G8B8,
         {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
        {"32-bit V5 header, bytes in R G B A order",
         {124,
          2,
          2,
          32,
          3,
          {0xFF, 0xFF00, 0xFF0000, 0xFF000000},
          {},
          0,
          {1, 2, 3, 0xFF, 4, 5, 6, 0x40, 7, 8, 9, 0, 10, 11, 12, 0xFF}},
         FMT_A8R8G8B8,
         {0x00070809, 0xFF0A0B0C, 0xFF010203, 0x40040506}},
        {"OS/2 core header, three-byte palette",
         {12, 2, 2, 8, 0, {}, {0x0000FF, 0xFF8000}, 0, {1, 0, 0, 0, 0, 1, 0, 0}},
         FMT_P8,
         {0xFF0000FF, 0xFFFF8000, 0xFFFF8000, 0xFF0000FF}},
        {"OS/2 2.x header of 64 bytes",
         {64, 2, 2, 8, 0, {}, {0x123456, 0x654321}, 2, {1, 0, 0, 0, 0, 1, 0, 0}},
         FMT_P8,
         {0xFF123456, 0xFF654321, 0xFF654321, 0xFF123456}},
        {"OS/2 2.x header of 16 bytes",
         {16, 2, 2, 24, 0, {}, {}, 0, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
         FMT_R8G8B8,
         {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
        {"24-bit top-down",
         {40, 2, -2, 24, 0, {}, {}, 0, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
         FMT_R8G8B8,
         {0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}},
    };
    for (const Case& c : cases) {
        DecodedImage image;
        ASSERT_TRUE(Decode(BuildBmp(c.fields), &image)) << c.what;
        EXPECT_EQ(image.width, 2u) << c.what;
        EXPECT_EQ(image.height, 2u) << c.what;
        EXPECT_EQ(image.fileFormat, c.format) << c.what;
        EXPECT_EQ(Texels(image), c.texels) << c.what;
    }
}

// A palette count beyond what the depth can index is capped there, as lenient readers do.
TEST(BmpDecode, PaletteCountBeyondTheDepthIsCapped) {
    BmpFields fields{40, 2, 1, 8, 0, {}, {}, 0xFFFFFFFFu, {0, 255, 0, 0}};
    for (std::uint32_t i = 0; i < 256; ++i)
        fields.palette.push_back(i * 0x010101u);
    DecodedImage image;
    ASSERT_TRUE(Decode(BuildBmp(fields), &image));
    EXPECT_EQ(Texels(image), (std::vector<std::uint32_t>{0xFF000000, 0xFFFFFFFF}));
}

TEST(BmpDecode, RefusesBrokenFiles) {
    const Bytes good = MakeBmp24(4, 4, [](int, int) { return 0x808080u; });
    BmpFields rle{40, 4, 1, 8, 1, {}, RLE_PALETTE, 0, {4, 1, 0, 1}};
    const Bytes goodRle = BuildBmp(rle);
    struct Case {
        const char* what;
        const Bytes& base;
        void (*spoil)(Bytes*);
    };
    const Case cases[] = {
        {"rows cut short", good, [](Bytes* b) { b->resize(b->size() - 5); }},
        {"bad magic", good, [](Bytes* b) { (*b)[0] = 'X'; }},
        {"bad header size", good, [](Bytes* b) { Put(b, 14, 33, 4); }},
        {"huge width", good, [](Bytes* b) { Put(b, 18, 0x7FFFFFFF, 4); }},
        {"negative width", good, [](Bytes* b) { Put(b, 18, 0xFFFFFFFC, 4); }},
        {"zero height", good, [](Bytes* b) { Put(b, 22, 0, 4); }},
        {"lowest height", good, [](Bytes* b) { Put(b, 22, 0x80000000u, 4); }},
        {"two planes", good, [](Bytes* b) { (*b)[26] = 2; }},
        {"unsupported depth", good, [](Bytes* b) { (*b)[28] = 12; }},
        {"RLE8 on 24 bits", good, [](Bytes* b) { Put(b, 30, 1, 4); }},
        {"bit fields on 24 bits", good, [](Bytes* b) { Put(b, 30, 3, 4); }},
        {"unknown compression", good, [](Bytes* b) { Put(b, 30, 4, 4); }},
        {"pixels past the end", good, [](Bytes* b) { Put(b, 10, 0xFFFFFF00, 4); }},
        {"header past the end", good, [](Bytes* b) { b->resize(40); }},
        {"empty", good, [](Bytes* b) { b->clear(); }},
        {"RLE4 on 8 bits", goodRle, [](Bytes* b) { Put(b, 30, 2, 4); }},
        {"RLE image size past the end", goodRle, [](Bytes* b) { Put(b, 34, 5, 4); }},
        {"RLE pixel offset past the end", goodRle, [](Bytes* b) { Put(b, 10, 0x10000, 4); }},
        {"RLE 8192 × 8192 from four bytes", goodRle,
         [](Bytes* b) {
             Put(b, 18, 8192, 4);
             Put(b, 22, 8192, 4);
         }},
    };
    DecodedImage image;
    ASSERT_TRUE(Decode(good, &image));
    ASSERT_TRUE(Decode(goodRle, &image));
    for (const Case& c : cases) {
        Bytes bad = c.base;
        c.spoil(&bad);
        EXPECT_FALSE(Decode(bad, &image)) << c.what;
    }
}

// The archive's readers hand over four times the decoded length: a file cut short then
// reads the zero bytes after it as its own, as the original graphics library does.
TEST(BmpDecode, ByteCountBeyondTheFileIsRead) {
    Bytes bmp = MakeBmp24(3, 2, [](int, int) { return 0x808080u; });
    // The top row keeps its first pixel only.
    const std::size_t cut = bmp.size() - 9;
    bmp.resize(cut);
    bmp.resize(cut * 4, 0);
    DecodedImage image;
    ASSERT_TRUE(Decode(bmp, &image));
    EXPECT_EQ(Texels(image), (std::vector<std::uint32_t>{0xFF808080, 0xFF000000, 0xFF000000,
                                                         0xFF808080, 0xFF808080, 0xFF808080}));
}
