// Render-target textures, depth surfaces and the framebuffers that pair them.
#include "platform/gfx/gfx_internal.h"

#include <algorithm>

namespace {

// Attaches the colour textures and the depth surface to the bound framebuffer; with a
// second colour texture, pixel shader outputs 0 and 1 go to attachments 0 and 1.
void AttachTargets(GLuint color, GLuint color1, const GfxSurface* depth) {
    if (color)
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color, 0);
    if (color1) {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, color1, 0);
        const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
        glDrawBuffers(2, buffers);
    }
    if (depth && depth->depthBuffer) {
        const GLenum attachment =
            depth->format == FMT_D24S8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, depth->depthBuffer);
    }
}

bool FramebufferComplete(GLuint color, GLuint color1, const GfxSurface* depth) {
    GLuint probe = 0;
    glGenFramebuffers(1, &probe);
    glBindFramebuffer(GL_FRAMEBUFFER, probe);
    AttachTargets(color, color1, depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, g_gfx.gl.framebuffer);
    glDeleteFramebuffers(1, &probe);
    return complete;
}

bool FormatRefused(std::uint32_t format) {
    const bool floatFormat = format == FMT_G16R16F || format == FMT_A16B16G16R16F;
    return floatFormat && !g_gfxSetup.floatTargets;
}

struct TargetFormat {
    std::uint32_t format;
    GLint internalFormat;
    GLenum pixelFormat;
    GLenum pixelType;
};

constexpr TargetFormat TARGET_FORMATS[] = {
    {FMT_A8R8G8B8, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE},
    {FMT_X8R8G8B8, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE},
    {FMT_G16R16F, GL_RG16F, GL_RG, GL_HALF_FLOAT},
    {FMT_G16R16, GL_RG16, GL_RG, GL_UNSIGNED_SHORT},
    {FMT_A16B16G16R16, GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT},
    {FMT_A16B16G16R16F, GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT},
};

} // namespace

namespace {

// The cached framebuffer of a pairing of targets, made and checked the first time the
// pairing is used: later frames with the same targets make and check nothing.
const FramebufferEntry& PairingFramebuffer(const GfxSurface* color, const GfxSurface* color1,
                                           const GfxSurface* depth) {
    const GLuint colorName = color ? color->colorTexture : 0;
    const GLuint color1Name = color1 ? color1->colorTexture : 0;
    const GLuint depthName = depth ? depth->depthBuffer : 0;
    for (const FramebufferEntry& entry : g_gfx.framebuffers) {
        if (entry.color == colorName && entry.color1 == color1Name && entry.depth == depthName)
            return entry;
    }
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    g_gfx.gl.framebuffer = framebuffer;
    AttachTargets(colorName, color1Name, depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    return g_gfx.framebuffers.emplace_back(
        FramebufferEntry{colorName, color1Name, depthName, framebuffer, complete});
}

} // namespace

void BindCurrentTarget() {
    const GLuint framebuffer =
        PairingFramebuffer(g_gfx.renderTarget, g_gfx.renderTarget1, g_gfx.depthSurface).framebuffer;
    if (g_gfx.gl.framebuffer != framebuffer) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        g_gfx.gl.framebuffer = framebuffer;
    }
}

// Drops the framebuffers that use a GL object about to be deleted.
void ForgetFramebuffersOf(GLuint color, GLuint depth) {
    auto uses = [color, depth](const FramebufferEntry& entry) {
        return (color && (entry.color == color || entry.color1 == color)) ||
               (depth && entry.depth == depth);
    };
    for (const FramebufferEntry& entry : g_gfx.framebuffers) {
        if (!uses(entry))
            continue;
        if (g_gfx.gl.framebuffer == entry.framebuffer) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            g_gfx.gl.framebuffer = 0;
        }
        glDeleteFramebuffers(1, &entry.framebuffer);
    }
    std::erase_if(g_gfx.framebuffers, uses);
}

HRESULT GfxDevice::CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                                 std::uint32_t usage, std::uint32_t format, std::uint32_t pool,
                                 GfxTexture** texture) {
    if (!texture)
        return E_FAIL;
    *texture = nullptr;
    if (!(usage & USAGE_RENDERTARGET) || levels > 1 || width == 0 || height == 0 || width > 8192 ||
        height > 8192)
        return E_FAIL;
    if (FormatRefused(format))
        return E_FAIL;
    const TargetFormat* chosen = nullptr;
    for (const TargetFormat& candidate : TARGET_FORMATS) {
        if (candidate.format == format)
            chosen = &candidate;
    }
    if (!chosen)
        return E_FAIL;

    const GLuint name = CreateGlTexture();
    bool stored;
    {
        const ExpectedGlErrors outOfMemoryIsAnAnswer;
        while (glGetError() != GL_NO_ERROR) {
        }
        glTexImage2D(GL_TEXTURE_2D, 0, chosen->internalFormat, static_cast<GLsizei>(width),
                     static_cast<GLsizei>(height), 0, chosen->pixelFormat, chosen->pixelType,
                     nullptr);
        stored = glGetError() == GL_NO_ERROR;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    if (!stored || !FramebufferComplete(name, 0, nullptr)) {
        BindTextureUnit(FIXED_TEXTURE_UNIT, 0);
        glDeleteTextures(1, &name);
        return E_FAIL;
    }
    const GfxSurface level0 = {
        .colorTexture = name, .format = format, .width = width, .height = height};
    *texture = new GfxTexture{.name = name,
                              .format = format,
                              .usage = usage,
                              .pool = pool,
                              .width = width,
                              .height = height,
                              .surface = level0};
    return S_OK;
}

HRESULT GfxDevice::CreateDepthStencilSurface(std::uint32_t width, std::uint32_t height,
                                             std::uint32_t format, std::uint32_t multiSample,
                                             std::uint32_t, bool, GfxSurface** surface) {
    if (!surface)
        return E_FAIL;
    *surface = nullptr;
    if ((format != FMT_D16 && format != FMT_D24S8) || multiSample != 0 || width == 0 ||
        height == 0 || width > 8192 || height > 8192)
        return E_FAIL;
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    glRenderbufferStorage(GL_RENDERBUFFER,
                          format == FMT_D16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH24_STENCIL8,
                          static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    const GfxSurface created = {
        .depthBuffer = name, .format = format, .width = width, .height = height};
    if (!FramebufferComplete(0, 0, &created)) {
        glDeleteRenderbuffers(1, &name);
        return E_FAIL;
    }
    *surface = new GfxSurface(created);
    return S_OK;
}

HRESULT GfxDevice::GetRenderTarget(std::uint32_t index, GfxSurface** surface) {
    if (index != 0 || !surface)
        return E_FAIL;
    *surface = g_gfx.renderTarget;
    return S_OK;
}

HRESULT GfxDevice::SetRenderTarget(std::uint32_t index, GfxSurface* surface) {
    if (index == 1 && !surface) {
        g_gfx.renderTarget1 = nullptr;
        return S_OK;
    }
    if (index > 1 || !surface || !surface->colorTexture)
        return E_FAIL;
    if (index == 0) {
        g_gfx.renderTarget = surface;
        return S_OK;
    }
    const GfxSurface* first = g_gfx.renderTarget;
    if (!g_gfxSetup.secondColourTarget || !first || first == surface ||
        first->width != surface->width || first->height != surface->height ||
        !PairingFramebuffer(first, surface, g_gfx.depthSurface).complete)
        return E_FAIL;
    g_gfx.renderTarget1 = surface;
    return S_OK;
}

HRESULT GfxDevice::ClearRenderTarget(std::uint32_t index, const ColorValue& color) {
    if (index > 1 || (index == 1 && !g_gfx.renderTarget1))
        return E_FAIL;
    BindCurrentTarget();
    SetScissor(false);
    // A clear writes every channel whatever the write mask of the last draw was.
    if (index == 1)
        SetSecondTargetWriteMask(0xF);
    const GLfloat value[4] = {color.r, color.g, color.b, color.a};
    glClearBufferfv(GL_COLOR, static_cast<GLint>(index), value);
    return S_OK;
}

void GfxDevice::SetViewDepthScale(float scale) {
    g_gfx.viewDepthScale = scale;
    g_gfx.fixedUniformsDirty = true;
}

HRESULT GfxDevice::GetDepthStencilSurface(GfxSurface** surface) {
    if (!surface)
        return E_FAIL;
    *surface = g_gfx.depthSurface;
    return S_OK;
}

HRESULT GfxDevice::SetDepthStencilSurface(GfxSurface* surface) {
    if (surface && !surface->depthBuffer)
        return E_FAIL;
    g_gfx.depthSurface = surface;
    return S_OK;
}

HRESULT GfxDevice::GetViewport(Viewport* viewport) {
    if (!viewport)
        return E_FAIL;
    const GfxSurface* target = g_gfx.renderTarget;
    viewport->X = 0;
    viewport->Y = 0;
    viewport->Width = target ? target->width : static_cast<std::uint32_t>(g_gfx.width);
    viewport->Height = target ? target->height : static_cast<std::uint32_t>(g_gfx.height);
    viewport->MinZ = 0.0f;
    viewport->MaxZ = 1.0f;
    return S_OK;
}

void GfxTexture::Release() {
    if (g_gfx.texture == this)
        g_gfx.texture = nullptr;
    if (g_gfx.renderTarget == &surface)
        g_gfx.renderTarget = &g_gfx.backBuffer;
    if (g_gfx.renderTarget1 == &surface)
        g_gfx.renderTarget1 = nullptr;
    if (g_gfx.context) {
        ForgetFramebuffersOf(name, 0);
        for (int unit = 0; unit < TEXTURE_UNIT_COUNT; ++unit) {
            if (g_gfx.gl.textures[unit] == name)
                BindTextureUnit(unit, 0);
        }
        glDeleteTextures(1, &name);
    }
    delete this;
}

HRESULT GfxTexture::GetSurfaceLevel(std::uint32_t level, GfxSurface** out) {
    if (!out)
        return E_FAIL;
    *out = nullptr;
    if (level != 0 || !(usage & USAGE_RENDERTARGET))
        return E_FAIL;
    *out = &surface;
    return S_OK;
}

HRESULT GfxTexture::GetLevelDesc(std::uint32_t level, SurfaceDesc* desc) {
    if (!desc || level != 0)
        return E_FAIL;
    desc->Format = format;
    desc->Usage = usage;
    desc->Pool = pool;
    desc->Width = width;
    desc->Height = height;
    return S_OK;
}
