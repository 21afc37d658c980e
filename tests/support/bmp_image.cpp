#include "bmp_image.h"

#include "render/render_setup.h"

#include "platform/gfx/texture_loader.h"

std::vector<std::uint8_t> MakeBmp24(int w, int h,
                                    const std::function<std::uint32_t(int x, int y)>& texel) {
    const int rowBytes = (w * 3 + 3) / 4 * 4;
    const std::uint32_t fileSize = 54 + rowBytes * h;
    std::vector<std::uint8_t> bmp(fileSize, 0);
    auto put32 = [&bmp](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, fileSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = texel(x, y);
            std::uint8_t* p = &bmp[54 + (h - 1 - y) * rowBytes + x * 3];
            p[0] = static_cast<std::uint8_t>(c);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
    return bmp;
}

GfxTexture* TextureFromBmp(const std::vector<std::uint8_t>& bmp, std::uint32_t format) {
    GfxTexture* texture = nullptr;
    CreateTextureFromFileInMemoryEx(
        g_pD3DDevice, bmp.data(), static_cast<std::uint32_t>(bmp.size()), GFX_DEFAULT, GFX_DEFAULT,
        GFX_DEFAULT, 0, format, POOL_MANAGED, FILTER_LINEAR, FILTER_LINEAR, COLOR_KEY_MAGENTA,
        nullptr, &texture);
    return texture;
}
