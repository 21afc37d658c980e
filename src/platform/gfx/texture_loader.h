// Textures from BMP files, in memory or on disk, the way the graphics utility loads
// them: the image fills the whole texture (texture coordinates 0 to 1 span the
// picture), a full mip chain with linear filters, and a colour key that turns
// opaque magenta (0xFFFF00FF) texels into transparent black.
#pragma once

#include "platform/gfx/device.h"

#include <cstdint>

constexpr std::uint32_t GFX_DEFAULT = 0xFFFFFFFFu; // "take it from the file"
constexpr std::uint32_t FILTER_LINEAR = 2;
constexpr std::uint32_t COLOR_KEY_MAGENTA = 0xFFFF00FFu;
constexpr std::uint32_t RTYPE_TEXTURE = 3;
constexpr std::uint32_t IFF_BMP = 0;

// The largest side of an image that is accepted.
constexpr std::uint32_t IMAGE_MAX_SIDE = 8192;

// The image as the file describes it: its own width and height (before rounding of
// the texture size), depth 1, one level, the file's pixel format, RTYPE_TEXTURE, IFF_BMP.
struct ImageInfo {
    std::uint32_t Width;
    std::uint32_t Height;
    std::uint32_t Depth;
    std::uint32_t MipLevels;
    std::uint32_t Format;
    std::uint32_t ResourceType;
    std::uint32_t ImageFileFormat;
};

// size may exceed the file (the bytes past it are ignored). width and height:
// GFX_DEFAULT (the file's, rounded up to powers of two for the reported size).
// format: FMT_A1R5G5B5 (one-bit alpha) or FMT_A8R8G8B8. colorKey: 0 for none.
// A truncated or malformed file, an unsupported bit depth, or a side above
// IMAGE_MAX_SIDE or above the largest texture the device holds gives E_FAIL and a null
// texture.
HRESULT CreateTextureFromFileInMemoryEx(GfxDevice* device, const void* data, std::uint32_t size,
                                        std::uint32_t width, std::uint32_t height,
                                        std::uint32_t mipLevels, std::uint32_t usage,
                                        std::uint32_t format, std::uint32_t pool,
                                        std::uint32_t filter, std::uint32_t mipFilter,
                                        std::uint32_t colorKey, ImageInfo* info,
                                        GfxTexture** texture);

// All defaults: the file's format, no colour key. path is a file on disk; Windows
// separators ("\") are accepted.
HRESULT CreateTextureFromFile(GfxDevice* device, const char* path, GfxTexture** texture);
