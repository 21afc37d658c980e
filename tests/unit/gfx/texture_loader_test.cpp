#include "gfx_fixture.h"

#include "render/render_setup.h"

#include "platform/gfx/texture_loader.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t Grey(int, int) {
    return 0x808080u;
}

} // namespace

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

// On a device that holds only the 1024 texels a side that OpenGL 3.3 guarantees, a wider
// or taller picture is refused (an upload would be a GL error) and one of 1024 loads.
TEST(TextureLoader, RefusesAPictureLargerThanTheDeviceHolds) {
    if (!InitGfxFixture())
        GTEST_SKIP() << "no OpenGL 3.3 device";
    GfxDeviceSetup setup;
    setup.textureSideLimit = 1024;
    SetGfxDeviceSetup(setup);
    struct Case {
        int width, height;
        HRESULT result;
    };
    const Case cases[] = {{1024, 2, S_OK}, {1025, 2, E_FAIL}, {2, 1025, E_FAIL}};
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> bmp = MakeBmp24(c.width, c.height, Grey);
        GfxTexture* texture = nullptr;
        EXPECT_EQ(CreateTextureFromFileInMemoryEx(
                      g_pD3DDevice, bmp.data(), static_cast<std::uint32_t>(bmp.size()), GFX_DEFAULT,
                      GFX_DEFAULT, GFX_DEFAULT, 0, FMT_A8R8G8B8, POOL_MANAGED, FILTER_LINEAR,
                      FILTER_LINEAR, COLOR_KEY_MAGENTA, nullptr, &texture),
                  c.result)
            << c.width << " × " << c.height;
        EXPECT_EQ(texture != nullptr, c.result == S_OK);
        if (texture)
            texture->Release();
    }
    SetGfxDeviceSetup({});
}
