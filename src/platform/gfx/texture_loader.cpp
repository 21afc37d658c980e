#include "platform/gfx/texture_loader.h"

#include "platform/files/host_files.h"
#include "platform/gfx/bmp_decode.h"
#include "platform/gfx/bmp_layout.h"
#include "platform/gfx/gfx_internal.h"

#include <vector>

namespace {

// No bitmap the game loads comes near this; a larger file is refused unread.
constexpr std::size_t MAX_TEXTURE_FILE_BYTES = 256u << 20;

std::uint32_t RoundUpToPowerOfTwo(std::uint32_t v) {
    std::uint32_t p = 1;
    while (p < v)
        p <<= 1;
    return p;
}

// Five bits per colour channel, as the 16-bit format holds them, kept in 8-bit storage:
// a software rasteriser samples 8-bit texels faster. Level 0 reads back the 16-bit
// format's values to within 1/510; mip levels keep their 8-bit averages. Alpha is 0 or
// 255 already.
void QuantizeToFiveBits(std::vector<std::uint8_t>* rgba) {
    for (std::size_t i = 0; i < rgba->size(); ++i) {
        if (i % 4 == 3)
            continue;
        const unsigned level = ((*rgba)[i] * 31u + 127u) / 255u;
        (*rgba)[i] = static_cast<std::uint8_t>((level * 255u + 15u) / 31u);
    }
}

// The image keeps its own size in GL: texture coordinates 0..1 span the picture just
// as they span the rounded-up texture the picture is stretched to. Filtering belongs to
// the sampler stage that reads the texture (see CreateSamplers).
GfxTexture* UploadImage(const DecodedImage& image, std::uint32_t format, std::uint32_t pool,
                        std::uint32_t width, std::uint32_t height, bool mipmaps) {
    const GLuint name = CreateGlTexture();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(image.width),
                 static_cast<GLsizei>(image.height), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.rgba.data());
    if (mipmaps)
        glGenerateMipmap(GL_TEXTURE_2D);
    else
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // A loaded image is no render target: it has no surface.
    return new GfxTexture{.name = name,
                          .format = format,
                          .pool = pool,
                          .width = width,
                          .height = height,
                          .surface = {}};
}

} // namespace

HRESULT CreateTextureFromFileInMemoryEx(GfxDevice* device, const void* data, std::uint32_t size,
                                        std::uint32_t width, std::uint32_t height,
                                        std::uint32_t mipLevels, std::uint32_t,
                                        std::uint32_t format, std::uint32_t pool, std::uint32_t,
                                        std::uint32_t, std::uint32_t colorKey, ImageInfo* info,
                                        GfxTexture** texture) {
    if (!texture)
        return E_FAIL;
    *texture = nullptr;
    if (!device || !data)
        return E_FAIL;
    if (format == GFX_DEFAULT || format == FMT_UNKNOWN)
        format = FMT_A8R8G8B8;
    if (format != FMT_A1R5G5B5 && format != FMT_A8R8G8B8 && format != FMT_X8R8G8B8)
        return E_FAIL;
    // A picture the device cannot hold is refused before its texels are made.
    BmpLayout layout;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (!ReadBmpLayout(bytes, size, &layout) || layout.width > MaxTextureSide() ||
        layout.height > MaxTextureSide())
        return E_FAIL;
    DecodedImage image;
    if (!DecodeBmp(data, size, colorKey, format == FMT_A1R5G5B5, &image))
        return E_FAIL;
    if (format == FMT_A1R5G5B5)
        QuantizeToFiveBits(&image.rgba);
    if (format == FMT_X8R8G8B8) {
        for (std::size_t i = 3; i < image.rgba.size(); i += 4)
            image.rgba[i] = 255;
    }
    if (width == GFX_DEFAULT || width == 0)
        width = RoundUpToPowerOfTwo(image.width);
    if (height == GFX_DEFAULT || height == 0)
        height = RoundUpToPowerOfTwo(image.height);
    *texture = UploadImage(image, format, pool, width, height, mipLevels != 1);
    if (info) {
        *info = {image.width, image.height, 1, 1, image.fileFormat, RTYPE_TEXTURE, IFF_BMP};
    }
    return S_OK;
}

HRESULT CreateTextureFromFile(GfxDevice* device, const char* path, GfxTexture** texture) {
    if (!texture)
        return E_FAIL;
    *texture = nullptr;
    if (!device || !path)
        return E_FAIL;
    std::vector<std::uint8_t> bytes;
    if (!ReadHostFile(ToHostPath(path), MAX_TEXTURE_FILE_BYTES, &bytes) || bytes.empty())
        return E_FAIL;
    return CreateTextureFromFileInMemoryEx(
        device, bytes.data(), static_cast<std::uint32_t>(bytes.size()), GFX_DEFAULT, GFX_DEFAULT,
        GFX_DEFAULT, 0, GFX_DEFAULT, POOL_MANAGED, GFX_DEFAULT, GFX_DEFAULT, 0, nullptr, texture);
}
