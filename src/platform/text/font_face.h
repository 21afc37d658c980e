// A FreeType face found through fontconfig, shared by the game's font and by the
// message boxes, so that both draw the same Gothic glyphs.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>

struct FontFace {
    FT_Face face = nullptr;
    std::string family; // the family fontconfig chose
    int ascender = 0;   // baseline below the top of a line, in pixels
};

// Opens the face named faceName (UTF-8) at an em of emWidth × emHeight pixels.
// "ＭＳ ゴシック" and "MS Gothic" resolve to IPAGothic (or a metric-compatible Gothic);
// a face that cannot be found falls back to any installed Japanese Gothic, noted once
// on stderr. false when no font can be loaded at all.
bool OpenFontFace(const char* faceName, unsigned emWidth, unsigned emHeight, FontFace* font);
void CloseFontFace(FontFace* font);

// Renders one character into the face's glyph slot as 8-bit coverage; a character the
// face lacks draws as '?'.
FT_GlyphSlot RenderFontGlyph(const FontFace& font, std::uint32_t codepoint);
