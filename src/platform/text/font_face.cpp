#include "platform/text/font_face.h"

#include "platform/text/font_lookup.h"

namespace {

FT_Library s_freetype = nullptr;

} // namespace

bool OpenFontFace(const char* faceName, unsigned emWidth, unsigned emHeight, FontFace* font) {
    if (!s_freetype && FT_Init_FreeType(&s_freetype) != 0)
        return false;
    FontFile match;
    if (!FindFontFile(faceName, &match))
        return false;
    FT_Face face = nullptr;
    if (FT_New_Face(s_freetype, match.file.c_str(), match.index, &face) != 0)
        return false;
    FT_Set_Pixel_Sizes(face, emWidth, emHeight);
    font->face = face;
    font->family = match.family;
    font->ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    return true;
}

void CloseFontFace(FontFace* font) {
    if (font->face)
        FT_Done_Face(font->face);
    font->face = nullptr;
}

FT_GlyphSlot RenderFontGlyph(const FontFace& font, std::uint32_t codepoint) {
    // A character the face lacks maps to glyph 0, which loads without an error and
    // draws the face's empty box: the lack shows in the index, not in the load.
    const FT_UInt glyph = FT_Get_Char_Index(font.face, codepoint);
    if (glyph == 0 || FT_Load_Glyph(font.face, glyph, FT_LOAD_RENDER) != 0)
        FT_Load_Char(font.face, '?', FT_LOAD_RENDER);
    return font.face->glyph;
}
