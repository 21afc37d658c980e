#include "platform/gfx/font.h"

#include "platform/gfx/gfx_internal.h"
#include "platform/text/cp932.h"
#include "platform/text/font_face.h"

#include <cstring>
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
    FontFace font;
    int cellHeight = 45;
    GLuint atlas = 0;
    int shelfX = 0, shelfY = 0, shelfHeight = 0;
    std::unordered_map<std::uint32_t, Glyph> glyphs;
    std::vector<GfxScreenVertex> vertices; // reused every call
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
    const FT_GlyphSlot slot = RenderFontGlyph(font->font, codepoint);
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

void PushVertex(std::vector<GfxScreenVertex>* out, float x, float y, std::uint32_t color, float u,
                float v) {
    out->push_back({x, y, 0.0f, 1.0f, color, u, v});
}

} // namespace

HRESULT CreateFontIndirect(GfxDevice* device, const FontDesc* desc, GfxFont** font) {
    if (!font)
        return E_FAIL;
    *font = nullptr;
    if (!device || !desc || desc->Height <= 0 || !CreateTextProgram())
        return E_FAIL;
    char faceName[sizeof(desc->FaceName) + 1] = {};
    std::memcpy(faceName, desc->FaceName, sizeof(desc->FaceName));
    // The cell is Height pixels tall and half-width characters Width wide, so the em
    // is twice the width.
    const unsigned emWidth = desc->Width ? desc->Width * 2 : static_cast<unsigned>(desc->Height);
    auto* data = new GfxFontData;
    if (!OpenFontFace(faceName, emWidth, static_cast<unsigned>(desc->Height), &data->font)) {
        delete data;
        return E_FAIL;
    }
    data->cellHeight = desc->Height;
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
    return data->font.family.c_str();
}

int GfxFont::DrawText(const char* text, int count, const IntRect* rect, std::uint32_t format,
                      std::uint32_t color) {
    if (!text || !rect || format != DT_TOPLEFT || rect->right <= rect->left ||
        rect->bottom <= rect->top)
        return 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    const int length = count < 0 ? static_cast<int>(std::strlen(text)) : count;
    std::vector<GfxScreenVertex>& vertices = data->vertices;
    vertices.clear();
    int penX = rect->left;
    int baseline = rect->top + data->font.ascender;
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
        constexpr std::uint32_t stride = sizeof(GfxScreenVertex);
        const auto bytesUsed = static_cast<std::uint32_t>(vertices.size() * stride);
        const GLint first =
            StreamVertices(vertices.data(), bytesUsed, stride, g_gfx.streamArrays[0]);
        glDrawArrays(GL_TRIANGLES, first, static_cast<GLsizei>(vertices.size()));
    }
    return lines * data->cellHeight;
}

void GfxFont::Release() {
    CloseFontFace(&data->font);
    if (g_gfx.context) {
        if (g_gfx.gl.textures[FONT_TEXTURE_UNIT] == data->atlas)
            BindTextureUnit(FONT_TEXTURE_UNIT, 0);
        glDeleteTextures(1, &data->atlas);
    }
    delete data;
    delete this;
}
