#include "platform/gfx/font_face.h"

#include "platform/library_leaks.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The Windows faces the game names are met by a metric-compatible Gothic.
const char* FONT_ALIASES = "<?xml version=\"1.0\"?>\n"
                           "<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                           "<fontconfig>\n"
                           "  <alias binding=\"same\"><family>ＭＳ ゴシック</family>"
                           "<accept><family>IPAGothic</family></accept></alias>\n"
                           "  <alias binding=\"same\"><family>MS Gothic</family>"
                           "<accept><family>IPAGothic</family></accept></alias>\n"
                           "</fontconfig>\n";

FT_Library s_freetype = nullptr;
bool s_aliasesLoaded = false;
bool s_fallbackNoted = false;

struct FontMatch {
    std::string file;
    int index = 0;
    std::string family;
};

bool MatchFont(const char* pattern, bool wantJapanese, FontMatch* match) {
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!query)
        return false;
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result;
    FcPattern* found = FcFontMatch(nullptr, query, &result);
    FcPatternDestroy(query);
    if (!found)
        return false;
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    FcLangSet* langs = nullptr;
    bool ok = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch &&
              FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch;
    if (ok && wantJapanese) {
        ok = FcPatternGetLangSet(found, FC_LANG, 0, &langs) == FcResultMatch &&
             FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
    }
    if (ok) {
        match->file = reinterpret_cast<const char*>(file);
        match->family = reinterpret_cast<const char*>(family);
        int index = 0;
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        match->index = index;
    }
    FcPatternDestroy(found);
    return ok;
}

bool FindFace(const char* faceName, FontMatch* match) {
    {
        // fontconfig's parser loses a few hundred bytes of the configuration it reads.
        const LibraryLeakIgnored parserLeaks;
        if (!FcInit())
            return false;
        if (!s_aliasesLoaded) {
            FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(),
                                           reinterpret_cast<const FcChar8*>(FONT_ALIASES), FcFalse);
            s_aliasesLoaded = true;
        }
    }
    // Only the family is taken from the name: fontconfig would read ':' and '-' in it.
    FcPattern* probe = FcPatternCreate();
    FcPatternAddString(probe, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    FcChar8* unparsed = FcNameUnparse(probe);
    FcPatternDestroy(probe);
    const std::string pattern = unparsed ? reinterpret_cast<const char*>(unparsed) : "";
    std::free(unparsed);
    if (MatchFont(pattern.c_str(), true, match))
        return true;
    if (!MatchFont("sans-serif:lang=ja", true, match) && !MatchFont("sans-serif", false, match))
        return false;
    if (!s_fallbackNoted) {
        std::fprintf(stderr, "font \"%s\" not found; using \"%s\"\n", faceName,
                     match->family.c_str());
        s_fallbackNoted = true;
    }
    return true;
}

} // namespace

bool OpenFontFace(const char* faceName, unsigned emWidth, unsigned emHeight, FontFace* font) {
    if (!s_freetype && FT_Init_FreeType(&s_freetype) != 0)
        return false;
    FontMatch match;
    if (!FindFace(faceName, &match))
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
