#include "gfx_fixture.h"

#include "render/render_setup.h"

#include "platform/gfx/bmp_decode.h"
#include "platform/gfx/texture_loader.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t Grey(int, int) {
    return 0x808080u;
}

void Put32(std::vector<std::uint8_t>* bmp, int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        (*bmp)[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

TEST(BmpDecode, RefusesBrokenFiles) {
    const std::vector<std::uint8_t> good = MakeBmp24(4, 4, Grey);
    struct Case {
        const char* what;
        void (*spoil)(std::vector<std::uint8_t>*);
    };
    const Case cases[] = {
        {"truncated", [](std::vector<std::uint8_t>* b) { b->resize(b->size() - 5); }},
        {"bad magic", [](std::vector<std::uint8_t>* b) { (*b)[0] = 'X'; }},
        {"bad header size", [](std::vector<std::uint8_t>* b) { Put32(b, 14, 33); }},
        {"huge width", [](std::vector<std::uint8_t>* b) { Put32(b, 18, 0x7FFFFFFF); }},
        {"negative width", [](std::vector<std::uint8_t>* b) { Put32(b, 18, 0xFFFFFFFC); }},
        {"zero height", [](std::vector<std::uint8_t>* b) { Put32(b, 22, 0); }},
        {"unsupported depth", [](std::vector<std::uint8_t>* b) { (*b)[28] = 12; }},
        {"compressed", [](std::vector<std::uint8_t>* b) { Put32(b, 30, 1); }},
        {"pixels past the end", [](std::vector<std::uint8_t>* b) { Put32(b, 10, 0xFFFFFF00); }},
        {"empty", [](std::vector<std::uint8_t>* b) { b->clear(); }},
    };
    DecodedImage image;
    ASSERT_TRUE(DecodeBmp(good.data(), static_cast<std::uint32_t>(good.size()), 0, false, &image));
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bad = good;
        c.spoil(&bad);
        EXPECT_FALSE(
            DecodeBmp(bad.data(), static_cast<std::uint32_t>(bad.size()), 0, false, &image))
            << c.what;
    }
}

TEST(BmpDecode, ByteCountBeyondTheFileIsAccepted) {
    std::vector<std::uint8_t> bmp = MakeBmp24(3, 2, Grey);
    const std::size_t fileSize = bmp.size();
    bmp.resize(fileSize * 4, 0xCD);
    DecodedImage image;
    ASSERT_TRUE(DecodeBmp(bmp.data(), static_cast<std::uint32_t>(bmp.size()), 0, false, &image));
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.rgba[0], 0x80);
    EXPECT_EQ(image.rgba[3], 255);
}

TEST(TextureLoader, ReportsTheFilesOwnSizeAndARoundedTexture) {
    if (!InitGfxFixture())
        GTEST_SKIP() << "no OpenGL 3.3 device";
    const std::vector<std::uint8_t> bmp = MakeBmp24(600, 300, Grey);
    ImageInfo info = {};
    GfxTexture* texture = nullptr;
    ASSERT_EQ(CreateTextureFromFileInMemoryEx(
                  g_pD3DDevice, bmp.data(), static_cast<std::uint32_t>(bmp.size()), GFX_DEFAULT,
                  GFX_DEFAULT, GFX_DEFAULT, 0, FMT_A8R8G8B8, POOL_MANAGED, FILTER_LINEAR,
                  FILTER_LINEAR, COLOR_KEY_MAGENTA, &info, &texture),
              S_OK);
    SurfaceDesc desc = {};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(info.Width, 600u);
    EXPECT_EQ(info.Height, 300u);
    EXPECT_EQ(info.Format, FMT_R8G8B8);
    EXPECT_EQ(desc.Width, 1024u);
    EXPECT_EQ(desc.Height, 512u);
    texture->Release();

    std::vector<std::uint8_t> truncated = bmp;
    truncated.resize(100);
    EXPECT_EQ(CreateTextureFromFileInMemoryEx(g_pD3DDevice, truncated.data(), 100, GFX_DEFAULT,
                                              GFX_DEFAULT, GFX_DEFAULT, 0, FMT_A1R5G5B5,
                                              POOL_MANAGED, FILTER_LINEAR, FILTER_LINEAR,
                                              COLOR_KEY_MAGENTA, nullptr, &texture),
              E_FAIL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(CreateTextureFromFile(g_pD3DDevice, ".\\no\\such.bmp", &texture), E_FAIL);
}
