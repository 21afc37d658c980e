// The message font: a FreeType face found through fontconfig, drawn from a glyph
// atlas with one draw per DrawText call.
#pragma once

#include "platform/win_types.h"

#include <cstdint>

class GfxDevice;

// Height is the cell height in pixels, Width the half-width advance; FaceName is UTF-8.
struct FontDesc {
    std::int32_t Height;
    std::uint32_t Width;
    std::uint32_t Weight;
    std::uint32_t MipLevels;
    bool Italic;
    std::uint8_t CharSet;
    std::uint8_t OutputPrecision;
    std::uint8_t Quality;
    std::uint8_t PitchAndFamily;
    char FaceName[64];
};

constexpr std::uint32_t DT_TOPLEFT = 0;

struct GfxFontData;

struct GfxFont {
    // Draws count bytes of CP932 text (-1: up to the first NUL) from the top-left of
    // rect, clipped to it, in an ARGB colour. Only line feeds break lines; a NUL or
    // other control byte draws nothing and takes no room. format must be DT_TOPLEFT.
    // Returns the height of the text drawn.
    int DrawText(const char* text, int count, const IntRect* rect, std::uint32_t format,
                 std::uint32_t color);
    // The family fontconfig chose.
    const char* GetFamilyName() const;
    void Release();

    GfxFontData* data = nullptr; // device-private
};

// "ＭＳ ゴシック" and "MS Gothic" resolve to IPAGothic (or a metric-compatible Gothic).
// A face that cannot be found falls back to any installed Japanese Gothic, noted once
// on stderr; E_FAIL when no font can be loaded at all.
HRESULT CreateFontIndirect(GfxDevice* device, const FontDesc* desc, GfxFont** font);
