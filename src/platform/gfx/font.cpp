#include "platform/gfx/font.h"

#include "platform/gfx/gfx_internal.h"
#include "platform/text/cp932.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int ATLAS_SIZE = 2048;

struct Glyph {
    float u0, v0, u1, v1;
    int left, top; // bitmap offset from the pen on the baseline
    int width, height;
    int advance;
};

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
    if (!FcInit())
        return false;
    if (!s_aliasesLoaded) {
        FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(),
                                       reinterpret_cast<const FcChar8*>(FONT_ALIASES), FcFalse);
        s_aliasesLoaded = true;
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

bool CreateTextProgram() {
    if (g_gfx.textProgram)
        return true;
    const std::string pixel = PixelPreamble() +
                              "uniform sampler2D u_atlas;\n"
                              "void main() {\n"
                              "    o_color = vec4(v_color.rgb, v_color.a * texture(u_atlas, "
                              "v_tex0.xy).r);\n"
                              "}\n";
    g_gfx.textProgram = LinkProgram(ScreenVertexShader(), pixel, nullptr);
    if (!g_gfx.textProgram)
        return false;
    UseProgram(g_gfx.textProgram);
    glUniform1i(glGetUniformLocation(g_gfx.textProgram, "u_atlas"), FONT_TEXTURE_UNIT);
    return true;
}

} // namespace

struct GfxFontData {
    FT_Face face = nullptr;
    std::string family;
    int cellHeight = 45;
    int ascender = 0;
    GLuint atlas = 0;
    int shelfX = 0, shelfY = 0, shelfHeight = 0;
    std::unordered_map<std::uint32_t, Glyph> glyphs;
    std::vector<float> vertices; // screen vertices, 7 words each, reused every call
};

namespace {

void ResetAtlas(GfxFontData* font) {
    font->glyphs.clear();
    font->shelfX = font->shelfY = font->shelfHeight = 0;
}

const Glyph* LoadGlyph(GfxFontData* font, std::uint32_t codepoint) {
    auto found = font->glyphs.find(codepoint);
    if (found != font->glyphs.end())
        return &found->second;
    Glyph glyph = {};
    if (FT_Load_Char(font->face, codepoint, FT_LOAD_RENDER) != 0)
        FT_Load_Char(font->face, '?', FT_LOAD_RENDER);
    const FT_GlyphSlot slot = font->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.advance = static_cast<int>(slot->advance.x >> 6);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    if (glyph.width > 0 && glyph.height > 0 && glyph.width < ATLAS_SIZE &&
        glyph.height < ATLAS_SIZE) {
        if (font->shelfX + glyph.width + 1 > ATLAS_SIZE) {
            font->shelfX = 0;
            font->shelfY += font->shelfHeight + 1;
            font->shelfHeight = 0;
        }
        if (font->shelfY + glyph.height + 1 > ATLAS_SIZE) {
            ResetAtlas(font);
        }
        BindTextureUnit(FONT_TEXTURE_UNIT, font->atlas);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, bitmap.pitch);
        glTexSubImage2D(GL_TEXTURE_2D, 0, font->shelfX, font->shelfY, glyph.width, glyph.height,
                        GL_RED, GL_UNSIGNED_BYTE, bitmap.buffer);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glyph.u0 = static_cast<float>(font->shelfX) / ATLAS_SIZE;
        glyph.v0 = static_cast<float>(font->shelfY) / ATLAS_SIZE;
        glyph.u1 = static_cast<float>(font->shelfX + glyph.width) / ATLAS_SIZE;
        glyph.v1 = static_cast<float>(font->shelfY + glyph.height) / ATLAS_SIZE;
        font->shelfX += glyph.width + 1;
        if (glyph.height > font->shelfHeight)
            font->shelfHeight = glyph.height;
    } else {
        glyph.width = glyph.height = 0;
    }
    return &font->glyphs.emplace(codepoint, glyph).first->second;
}

void PushVertex(std::vector<float>* out, float x, float y, std::uint32_t color, float u, float v) {
    float colorBits;
    std::memcpy(&colorBits, &color, sizeof(colorBits));
    out->insert(out->end(), {x, y, 0.0f, 1.0f, colorBits, u, v});
}

} // namespace

HRESULT CreateFontIndirect(GfxDevice* device, const FontDesc* desc, GfxFont** font) {
    if (!font)
        return E_FAIL;
    *font = nullptr;
    if (!device || !desc || desc->Height <= 0 || !CreateTextProgram())
        return E_FAIL;
    if (!s_freetype && FT_Init_FreeType(&s_freetype) != 0)
        return E_FAIL;
    char faceName[sizeof(desc->FaceName) + 1] = {};
    std::memcpy(faceName, desc->FaceName, sizeof(desc->FaceName));
    FontMatch match;
    if (!FindFace(faceName, &match))
        return E_FAIL;
    auto* data = new GfxFontData;
    if (FT_New_Face(s_freetype, match.file.c_str(), match.index, &data->face) != 0) {
        delete data;
        return E_FAIL;
    }
    // The cell is Height pixels tall and half-width characters Width wide, so the em
    // is twice the width.
    const FT_UInt emWidth = desc->Width ? desc->Width * 2 : static_cast<FT_UInt>(desc->Height);
    FT_Set_Pixel_Sizes(data->face, emWidth, static_cast<FT_UInt>(desc->Height));
    data->family = match.family;
    data->cellHeight = desc->Height;
    data->ascender = static_cast<int>(data->face->size->metrics.ascender >> 6);
    data->atlas = CreateGlTexture();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, ATLAS_SIZE, ATLAS_SIZE, 0, GL_RED, GL_UNSIGNED_BYTE,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    *font = new GfxFont;
    (*font)->data = data;
    return S_OK;
}

const char* GfxFont::GetFamilyName() const {
    return data->family.c_str();
}

int GfxFont::DrawText(const char* text, int count, const IntRect* rect, std::uint32_t format,
                      std::uint32_t color) {
    if (!text || !rect || format != DT_TOPLEFT || rect->right <= rect->left ||
        rect->bottom <= rect->top)
        return 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    const int length = count < 0 ? static_cast<int>(std::strlen(text)) : count;
    std::vector<float>& vertices = data->vertices;
    vertices.clear();
    int penX = rect->left;
    int baseline = rect->top + data->ascender;
    int lines = 1;
    for (int i = 0; i < length;) {
        std::uint32_t codepoint;
        i += DecodeCp932Char(bytes + i, length - i, &codepoint);
        if (codepoint == '\n') {
            penX = rect->left;
            baseline += data->cellHeight;
            ++lines;
            continue;
        }
        if (codepoint < 0x20 || codepoint == 0x7F)
            continue;
        const Glyph* glyph = LoadGlyph(data, codepoint);
        if (glyph->width > 0) {
            const float x0 = static_cast<float>(penX + glyph->left);
            const float y0 = static_cast<float>(baseline - glyph->top);
            const float x1 = x0 + static_cast<float>(glyph->width);
            const float y1 = y0 + static_cast<float>(glyph->height);
            PushVertex(&vertices, x0, y0, color, glyph->u0, glyph->v0);
            PushVertex(&vertices, x1, y0, color, glyph->u1, glyph->v0);
            PushVertex(&vertices, x1, y1, color, glyph->u1, glyph->v1);
            PushVertex(&vertices, x0, y0, color, glyph->u0, glyph->v0);
            PushVertex(&vertices, x1, y1, color, glyph->u1, glyph->v1);
            PushVertex(&vertices, x0, y1, color, glyph->u0, glyph->v1);
        }
        penX += glyph->advance;
    }
    if (!vertices.empty()) {
        BindCurrentTarget();
        // Text is blended by its coverage over whatever is below, untouched by depth.
        SetBlend(true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        SetDepth(false, false, g_gfx.gl.depthFunc);
        SetCull(false, g_gfx.gl.cullFace);
        SetScissor(true);
        glScissor(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        UseProgram(g_gfx.textProgram);
        BindTextureUnit(FONT_TEXTURE_UNIT, data->atlas);
        const auto bytesUsed = static_cast<std::uint32_t>(vertices.size() * sizeof(float));
        const GLint first = StreamVertices(vertices.data(), bytesUsed, 28, g_gfx.streamArrays[0]);
        glDrawArrays(GL_TRIANGLES, first, static_cast<GLsizei>(vertices.size() / 7));
    }
    return lines * data->cellHeight;
}

void GfxFont::Release() {
    if (data->face)
        FT_Done_Face(data->face);
    if (g_gfx.context) {
        if (g_gfx.gl.textures[FONT_TEXTURE_UNIT] == data->atlas)
            BindTextureUnit(FONT_TEXTURE_UNIT, 0);
        glDeleteTextures(1, &data->atlas);
    }
    delete data;
    delete this;
}
