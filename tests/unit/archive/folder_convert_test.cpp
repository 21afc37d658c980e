// Files from today's tools: UTF-8 scripts become Shift-JIS, PNG pictures bitmaps whose
// pixels the game's own decoder reads back unchanged, and what cannot be converted is
// refused with its line.
#include "archive/folder_convert.h"
#include "platform/gfx/bmp_decode.h"
#include "platform/gfx/png_writer.h"
#include "platform/gfx/texture_loader.h"
#include "temp_folder.h"

#include <gmock/gmock.h>

#include <fstream>
#include <iterator>

namespace {

using ::testing::HasSubstr;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(FolderConvertTest, KeysOfPicturesAndTexts) {
    struct Case {
        const char* key;
        FolderConversion conversion;
        const char* served;
    };
    const Case cases[] = {
        {"./Scenario/a.txt", FOLDER_TEXT, "./Scenario/a.txt"},
        {"./Scenario/A.TXT", FOLDER_TEXT, "./Scenario/A.TXT"},
        {"./X/mapchip.png", FOLDER_PNG, "./X/mapchip.bmp"},
        {"./CG/End.PNG", FOLDER_PNG, "./CG/End.bmp"},
        {"./X/mapchip.bmp", FOLDER_AS_IS, "./X/mapchip.bmp"},
        {"./X/space.3dd", FOLDER_AS_IS, "./X/space.3dd"},
        {"png", FOLDER_AS_IS, "png"},
    };
    for (const Case& c : cases) {
        std::string key = c.key;
        EXPECT_EQ(FolderConversionOfKey(&key), c.conversion) << c.key;
        EXPECT_EQ(key, c.served) << c.key;
    }
}

TEST(FolderConvertTest, TextsAsTheGameReadsThem) {
    struct Case {
        const char* what;
        std::string file;
        bool converts;
        std::string bytes; // what the game reads, when it converts
        bool changed;
        int line;
        const char* problem;
    };
    const Case cases[] = {
        {"Shift-JIS stays", "[l]\x82\xa0\r\n", true, "[l]\x82\xa0\r\n", false, 0, ""},
        {"ASCII stays", "[exit]\r\n", true, "[exit]\r\n", false, 0, ""},
        {"UTF-8", "\xe3\x81\x82[l]\n", true, "\x82\xa0[l]\n", true, 0, ""},
        {"UTF-8 with a BOM", "\xef\xbb\xbf\xe3\x81\x82\n", true, "\x82\xa0\n", true, 0, ""},
        {"a BOM before ASCII", "\xef\xbb\xbf[exit]\n", true, "[exit]\n", true, 0, ""},
        {"half-width katakana", "\xef\xbd\xb1\n", true, "\xb1\n", true, 0, ""},
        {"Hangul on line 3", "a\r\n\xe3\x81\x82\r\nb\xed\x95\x9c\r\n", false, "", false, 3,
         "the character U+D55C has no Shift-JIS (CP932) form"},
        {"an emoji", "\xf0\x9f\x98\x80", false, "", false, 1, "U+1F600"},
        {"a BOM before Shift-JIS", "\xef\xbb\xbf\r\n\x82\xa0", false, "", false, 2,
         "not UTF-8 text"},
    };
    for (const Case& c : cases) {
        FolderConverted out;
        EXPECT_EQ(ConvertFolderFile(FOLDER_TEXT, Bytes(c.file), &out), c.converts) << c.what;
        if (c.converts) {
            EXPECT_EQ(out.bytes, Bytes(c.bytes)) << c.what;
        }
        EXPECT_EQ(out.changed, c.changed) << c.what;
        EXPECT_EQ(out.line, c.line) << c.what;
        EXPECT_THAT(out.problem, HasSubstr(c.problem)) << c.what;
    }
}

class FolderPngTest : public ::testing::Test {
  protected:
    std::vector<std::uint8_t> Png(const std::vector<std::uint8_t>& rgba, int width, int height) {
        const std::string path = (folder_.Path() / "picture.png").string();
        EXPECT_TRUE(WritePng(path, rgba.data(), width, height));
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The converted file through the game's own bitmap decoder.
    DecodedImage Decode(const FolderConverted& converted) {
        DecodedImage image;
        EXPECT_TRUE(DecodeBmp(converted.bytes.data(),
                              static_cast<std::uint32_t>(converted.bytes.size()), 0, false,
                              &image));
        return image;
    }
    TempFolder folder_{"png"};
};

// 3 x 2: a width whose rows need padding, magenta for the game's colour key.
const std::vector<std::uint8_t> OPAQUE = {
    255, 0,  255, 255, 10,  20,  30,  255, 40,  50,  60,  255,
    70,  80, 90,  255, 100, 110, 120, 255, 255, 255, 255, 255,
};

TEST_F(FolderPngTest, AnOpaquePictureBecomesA24BitBitmapOfTheSamePixels) {
    FolderConverted converted;
    ASSERT_TRUE(ConvertFolderFile(FOLDER_PNG, Png(OPAQUE, 3, 2), &converted)) << converted.problem;
    EXPECT_TRUE(converted.changed);
    EXPECT_EQ(converted.bytes[28], 24); // bits per pixel
    const DecodedImage image = Decode(converted);
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.fileFormat, FMT_R8G8B8);
    EXPECT_EQ(image.rgba, OPAQUE);
}

TEST_F(FolderPngTest, APictureWithSeeThroughPixelsKeepsItsAlpha) {
    std::vector<std::uint8_t> rgba = OPAQUE;
    rgba[7] = 0;
    rgba[11] = 128;
    FolderConverted converted;
    ASSERT_TRUE(ConvertFolderFile(FOLDER_PNG, Png(rgba, 3, 2), &converted)) << converted.problem;
    EXPECT_EQ(converted.bytes[28], 32);
    const DecodedImage image = Decode(converted);
    EXPECT_EQ(image.fileFormat, FMT_A8R8G8B8);
    EXPECT_EQ(image.rgba, rgba);
}

TEST_F(FolderPngTest, ABrokenPictureIsRefusedWithWhy) {
    std::vector<std::uint8_t> png = Png(OPAQUE, 3, 2);
    const std::vector<std::vector<std::uint8_t>> broken = {
        {},
        Bytes("BM not a png"),
        std::vector<std::uint8_t>(png.begin(), png.begin() + 40),
    };
    for (const auto& file : broken) {
        FolderConverted converted;
        EXPECT_FALSE(ConvertFolderFile(FOLDER_PNG, file, &converted)) << file.size();
        EXPECT_THAT(converted.problem, HasSubstr("PNG")) << file.size();
    }
}

} // namespace
