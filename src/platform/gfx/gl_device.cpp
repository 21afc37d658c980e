// The device: its GL context on the game window, the states the game sets, and the
// draws.
#include "platform/files/host_files.h"
#include "platform/gfx/gfx_internal.h"
#include "platform/gfx/gfx_links.h"
#include "platform/gfx/gl_dialect.h"
#include "platform/gfx/shader_sources.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

GfxDevice g_gfxDevice;
GfxDeviceSetup g_gfxSetup;

namespace {

bool s_deviceExists = false;
int s_expectedGlErrors = 0;

// Debug builds, and every build under test, stop at the first GL error with GL's own
// message: a wrong call would otherwise show only as a wrong picture, or not at all.
bool GlErrorsStop() {
#ifndef NDEBUG
    return true;
#else
    return HostEnvironment("TAVELLE_GL_CHECK") == "1";
#endif
}

void GLAPIENTRY StopOnGlError(GLenum, GLenum type, GLuint id, GLenum, GLsizei,
                              const GLchar* message, const void*) {
    if (type != GL_DEBUG_TYPE_ERROR || s_expectedGlErrors > 0)
        return;
    std::fprintf(stderr, "GL error %u: %s\n", id, message);
    std::abort();
}

void InstallGlErrorCheck() {
    if (!GlErrorsStop())
        return;
    if (!epoxy_has_gl_extension("GL_KHR_debug")) {
        std::fprintf(stderr, "GL errors are not checked: the driver lacks GL_KHR_debug\n");
        return;
    }
    // Synchronous, so that the message comes from inside the call that failed.
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_FALSE);
    glDebugMessageControl(GL_DONT_CARE, GL_DEBUG_TYPE_ERROR, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    glDebugMessageCallback(StopOnGlError, nullptr);
}

void SetDefaultStates() {
    MatrixIdentity(&g_gfx.world);
    MatrixIdentity(&g_gfx.view);
    MatrixIdentity(&g_gfx.projection);
    std::memset(g_gfx.renderStates, 0, sizeof(g_gfx.renderStates));
    std::uint32_t* rs = g_gfx.renderStates;
    rs[RS_ZENABLE] = 1;
    rs[RS_ZWRITEENABLE] = 1;
    rs[RS_SRCBLEND] = BLEND_ONE;
    rs[RS_DESTBLEND] = BLEND_ZERO;
    rs[RS_CULLMODE] = CULL_CCW;
    rs[RS_ZFUNC] = CMP_LESSEQUAL;
    rs[RS_BLENDOP] = BLENDOP_ADD;
    rs[RS_COLORWRITEENABLE1] = 0xF;
    rs[RS_LIGHTING] = 1;
    std::uint32_t* ts = g_gfx.stageStates;
    ts[TSS_COLOROP] = TOP_MODULATE;
    ts[TSS_COLORARG1] = TA_TEXTURE;
    ts[TSS_COLORARG2] = TA_CURRENT;
    ts[TSS_ALPHAOP] = TOP_SELECTARG1;
    ts[TSS_ALPHAARG1] = TA_TEXTURE;
    ts[TSS_ALPHAARG2] = TA_CURRENT;
    g_gfx.material = {};
    g_gfx.light = {};
    g_gfx.lightEnabled = false;
    g_gfx.texture = nullptr;
    g_gfx.fvf = FVF_SCREEN_VERTEX;
    g_gfx.stream = nullptr;
    g_gfx.fixedUniformsDirty = true;
    g_gfx.fixed.uploadedFvf = 0;
    g_gfx.effect = nullptr;
}

bool CreateFixedProgram() {
    FixedProgram& p = g_gfx.fixed;
    p.program = LinkProgram(FixedVertexShader(), FixedPixelShader(), nullptr);
    if (!p.program)
        return false;
    const GLuint program = p.program;
    auto at = [program](const char* name) { return glGetUniformLocation(program, name); };
    p.pretransformed = at("u_pretransformed");
    p.worldViewProj = at("u_worldViewProj");
    p.world = at("u_world");
    p.lighting = at("u_lighting");
    p.lightDirection = at("u_lightDirection");
    p.lightDiffuse = at("u_lightDiffuse");
    p.ambient = at("u_ambient");
    p.materialDiffuse = at("u_materialDiffuse");
    p.specularColor = at("u_specularColor");
    p.specularPower = at("u_specularPower");
    p.eye = at("u_eye");
    p.colorStage = at("u_colorStage");
    p.alphaStage = at("u_alphaStage");
    p.worldView = at("u_worldView");
    p.depthProjection = at("u_depthProjection");
    p.viewDepthScale = at("u_viewDepthScale");
    UseProgram(p.program);
    glUniform1i(at("u_texture"), FIXED_TEXTURE_UNIT);
    return true;
}

bool CreateBackBuffer() {
    const GLuint color = CreateGlTexture();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, g_gfx.width, g_gfx.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    GLuint depth = 0;
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, g_gfx.width, g_gfx.height);
    const auto w = static_cast<std::uint32_t>(g_gfx.width);
    const auto h = static_cast<std::uint32_t>(g_gfx.height);
    g_gfx.backBuffer = {color, 0, FMT_A8R8G8B8, w, h};
    g_gfx.backDepth = {0, depth, FMT_D24S8, w, h};
    g_gfx.renderTarget = &g_gfx.backBuffer;
    g_gfx.depthSurface = &g_gfx.backDepth;
    BindCurrentTarget();
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void CreateStreamObjects() {
    glGenBuffers(1, &g_gfx.streamBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, g_gfx.streamBuffer);
    glBufferData(GL_ARRAY_BUFFER, STREAM_BUFFER_SIZE, nullptr, GL_STREAM_DRAW);
    glGenVertexArrays(2, g_gfx.streamArrays);
    glGenVertexArrays(2, g_gfx.sourceArrays);
    const std::uint32_t formats[2] = {FVF_SCREEN_VERTEX, FVF_MODEL_VERTEX};
    for (int i = 0; i < 2; ++i) {
        BindVertexArray(g_gfx.streamArrays[i]);
        SetVertexLayout(formats[i]);
        // Model vertices carry no colour: the fixed path reads opaque white.
        glVertexAttrib4f(ATTRIB_COLOR, 1.0f, 1.0f, 1.0f, 1.0f);
    }
    BindVertexArray(0);
}

void CreateWhiteTexture() {
    g_gfx.whiteTexture = CreateGlTexture();
    const std::uint8_t white[4] = {255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
}

// Filtering is a state of the sampler stage, as in the device interface the game is
// written against, not of the texture. Stage 0 of the fixed-function path keeps that
// interface's defaults, which the game never changes: point sampling, no mip levels.
// Every effect sampler filters linearly between texels and between mip levels. The font
// atlas unit has no sampler and reads its texels as they are.
void CreateSamplers() {
    GLuint samplers[2];
    glGenSamplers(2, samplers);
    glSamplerParameteri(samplers[0], GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glSamplerParameteri(samplers[0], GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindSampler(FIXED_TEXTURE_UNIT, samplers[0]);
    glSamplerParameteri(samplers[1], GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glSamplerParameteri(samplers[1], GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    for (int unit = FIRST_EFFECT_UNIT; unit < FIRST_EFFECT_UNIT + EFFECT_UNIT_COUNT; ++unit)
        glBindSampler(static_cast<GLuint>(unit), samplers[1]);
}

int FormatIndex(std::uint32_t fvf) {
    if (fvf == FVF_SCREEN_VERTEX)
        return 0;
    if (fvf == FVF_MODEL_VERTEX)
        return 1;
    return -1;
}

std::uint32_t FormatStride(std::uint32_t fvf) {
    return fvf == FVF_SCREEN_VERTEX ? sizeof(GfxScreenVertex) : sizeof(GfxModelVertex);
}

bool PrimitiveMode(std::uint32_t type, GLenum* mode) {
    if (type == PT_TRIANGLEFAN)
        *mode = GL_TRIANGLE_FAN;
    else if (type == PT_TRIANGLESTRIP)
        *mode = GL_TRIANGLE_STRIP;
    else
        return false;
    return true;
}

} // namespace

ExpectedGlErrors::ExpectedGlErrors() {
    ++s_expectedGlErrors;
}

ExpectedGlErrors::~ExpectedGlErrors() {
    --s_expectedGlErrors;
}

std::uint32_t MaxTextureSide() {
    const std::uint32_t limit = g_gfxSetup.textureSideLimit;
    return limit != 0 && limit < g_gfx.maxTextureSide ? limit : g_gfx.maxTextureSide;
}

GfxSystem* CreateGfxSystem() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_GL_LoadLibrary(nullptr) != 0)
        return nullptr;
    return new GfxSystem;
}

// The system holds one load of the GL library, as SDL counts them; without the unload,
// SDL's EGL records outlive the video subsystem.
void GfxSystem::Release() {
    SDL_GL_UnloadLibrary();
    delete this;
}

HRESULT GfxSystem::CreateDevice(void* window, GfxDeviceKind kind, GfxDevice** device) {
    if (!device)
        return E_FAIL;
    *device = nullptr;
    if (!window || s_deviceExists)
        return E_FAIL;
    RequestGlContext(kind == GFX_DEVICE_COMPATIBLE);
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, kind == GFX_DEVICE_HARDWARE ? 1 : -1);
    auto* sdlWindow = static_cast<SDL_Window*>(window);
    SDL_GLContext context = SDL_GL_CreateContext(sdlWindow);
    if (!context)
        return E_FAIL;
    if (SDL_GL_MakeCurrent(sdlWindow, context) != 0 || epoxy_gl_version() < 33) {
        SDL_GL_DeleteContext(context);
        return E_FAIL;
    }
    const bool captureOn = g_gfx.captureOn;
    g_gfx = GfxDeviceState();
    g_gfx.captureOn = captureOn;
    g_gfx.window = window;
    g_gfx.context = context;
    // The game's frames are 1024×768 whatever the window's drawable size; Present
    // scales them to the window.
    g_gfx.width = GAME_FRAME_WIDTH;
    g_gfx.height = GAME_FRAME_HEIGHT;
    g_gfx.framebuffers.reserve(FRAMEBUFFER_CACHE_ROOM);
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    g_gfx.maxTextureSide = static_cast<std::uint32_t>(std::max<GLint>(maxTextureSize, 1024));
    InstallGlErrorCheck();
    SetDefaultStates();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glViewport(0, 0, g_gfx.width, g_gfx.height);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    g_gfx.gl.depthTest = true;
    if (!CreateFixedProgram() || !CreateBackBuffer()) {
        SDL_GL_DeleteContext(context);
        g_gfx = GfxDeviceState();
        return E_FAIL;
    }
    CreateWhiteTexture();
    CreateSamplers();
    CreateStreamObjects();
    ApplyFrameRasterization();
    // Presentation follows the display's refresh where the system allows it.
    SDL_GL_SetSwapInterval(1);
    s_deviceExists = true;
    *device = &g_gfxDevice;
    return S_OK;
}

void GfxDevice::Release() {
    if (!s_deviceExists)
        return;
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(g_gfx.window), nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(g_gfx.context));
    g_gfx = GfxDeviceState();
    s_deviceExists = false;
}

HRESULT GfxDevice::Clear(std::uint32_t rectCount, const void* rects, std::uint32_t flags,
                         std::uint32_t color, float z, std::uint32_t stencil) {
    if (rectCount != 0 || rects)
        return E_FAIL;
    BindCurrentTarget();
    SetScissor(false);
    GLbitfield mask = 0;
    if (flags & CLEAR_TARGET) {
        glClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((color >> 8) & 0xFF) / 255.0f,
                     static_cast<float>(color & 0xFF) / 255.0f,
                     static_cast<float>(color >> 24) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & CLEAR_ZBUFFER) && g_gfx.depthSurface) {
        // A clear writes depth whatever the depth-write state says.
        SetDepth(g_gfx.gl.depthTest, true, g_gfx.gl.depthFunc);
        glClearDepth(z < 0.0f ? 0.0 : (z > 1.0f ? 1.0 : z));
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((flags & CLEAR_STENCIL) && g_gfx.depthSurface && g_gfx.depthSurface->format == FMT_D24S8) {
        glClearStencil(static_cast<GLint>(stencil));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    if (mask)
        glClear(mask);
    return S_OK;
}

HRESULT GfxDevice::BeginScene() {
    return S_OK;
}

HRESULT GfxDevice::EndScene() {
    return S_OK;
}

namespace {

// The frame goes into the window's drawable at the size and place the window's
// scaling gives it, black around it. The back buffer is stored top row first; the
// window wants bottom row first.
void PresentScaledFrame() {
    const WindowGeometry geometry = g_gfxWindow.geometry();
    const FrameRect picture =
        FitFrame(geometry.drawableWidth, geometry.drawableHeight, geometry.mode);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    SetScissor(false);
    if (picture.width != geometry.drawableWidth || picture.height != geometry.drawableHeight) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Integer mode is sharp at whole multiples; shrunk below 1× it smooths like linear.
    const bool smooth = geometry.mode == FRAME_SCALE_LINEAR ||
                        (geometry.mode == FRAME_SCALE_INTEGER && picture.width < g_gfx.width);
    const int top = geometry.drawableHeight - picture.y;
    glBlitFramebuffer(0, 0, g_gfx.width, g_gfx.height, picture.x, top, picture.x + picture.width,
                      top - picture.height, GL_COLOR_BUFFER_BIT, smooth ? GL_LINEAR : GL_NEAREST);
}

} // namespace

HRESULT GfxDevice::Present() {
    const GLuint back = g_gfx.backBuffer.colorTexture;
    GLuint readFramebuffer = 0;
    for (const FramebufferEntry& entry : g_gfx.framebuffers) {
        if (entry.color == back)
            readFramebuffer = entry.framebuffer;
    }
    if (!readFramebuffer) {
        GfxSurface* saved = g_gfx.renderTarget;
        g_gfx.renderTarget = &g_gfx.backBuffer;
        BindCurrentTarget();
        g_gfx.renderTarget = saved;
        readFramebuffer = g_gfx.gl.framebuffer;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    if (g_gfx.captureOn) {
        // The read waits for everything queued: under CPU load llvmpipe has handed back
        // the previous frame when this one's only work on the back buffer was its clear,
        // queued before the passes into other targets.
        glFinish();
        g_gfx.captured.resize(static_cast<std::size_t>(g_gfx.width) * g_gfx.height * 4);
        glReadPixels(0, 0, g_gfx.width, g_gfx.height, GL_RGBA, GL_UNSIGNED_BYTE,
                     g_gfx.captured.data());
        g_gfx.capturedValid = true;
    }
    PresentScaledFrame();
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(g_gfx.window));
    glBindFramebuffer(GL_FRAMEBUFFER, g_gfx.gl.framebuffer);
    return S_OK;
}

HRESULT GfxDevice::SetTransform(std::uint32_t state, const Matrix* matrix) {
    if (!matrix)
        return E_FAIL;
    switch (state) {
    case TS_WORLD:
        g_gfx.world = *matrix;
        break;
    case TS_VIEW:
        g_gfx.view = *matrix;
        break;
    case TS_PROJECTION:
        g_gfx.projection = *matrix;
        break;
    default:
        return E_FAIL;
    }
    g_gfx.fixedUniformsDirty = true;
    return S_OK;
}

HRESULT GfxDevice::GetTransform(std::uint32_t state, Matrix* matrix) {
    if (!matrix)
        return E_FAIL;
    switch (state) {
    case TS_WORLD:
        *matrix = g_gfx.world;
        return S_OK;
    case TS_VIEW:
        *matrix = g_gfx.view;
        return S_OK;
    case TS_PROJECTION:
        *matrix = g_gfx.projection;
        return S_OK;
    default:
        return E_FAIL;
    }
}

HRESULT GfxDevice::SetRenderState(std::uint32_t state, std::uint32_t value) {
    if (state >= RENDER_STATE_COUNT)
        return E_FAIL;
    if (g_gfx.renderStates[state] == value)
        return S_OK;
    g_gfx.renderStates[state] = value;
    if (state == RS_LIGHTING || state == RS_AMBIENT || state == RS_SPECULARENABLE)
        g_gfx.fixedUniformsDirty = true;
    return S_OK;
}

HRESULT GfxDevice::GetRenderState(std::uint32_t state, std::uint32_t* value) {
    if (state >= RENDER_STATE_COUNT || !value)
        return E_FAIL;
    *value = g_gfx.renderStates[state];
    return S_OK;
}

HRESULT GfxDevice::SetTextureStageState(std::uint32_t stage, std::uint32_t type,
                                        std::uint32_t value) {
    if (stage != 0 || type < TSS_COLOROP || type > TSS_ALPHAARG2)
        return E_FAIL;
    if (g_gfx.stageStates[type] != value) {
        g_gfx.stageStates[type] = value;
        g_gfx.fixedUniformsDirty = true;
    }
    return S_OK;
}

HRESULT GfxDevice::SetMaterial(const Material* material) {
    if (!material)
        return E_FAIL;
    g_gfx.material = *material;
    g_gfx.fixedUniformsDirty = true;
    return S_OK;
}

HRESULT GfxDevice::SetLight(std::uint32_t index, const Light* light) {
    if (index != 0 || !light)
        return E_FAIL;
    g_gfx.light = *light;
    g_gfx.fixedUniformsDirty = true;
    return S_OK;
}

HRESULT GfxDevice::LightEnable(std::uint32_t index, bool enable) {
    if (index != 0)
        return E_FAIL;
    g_gfx.lightEnabled = enable;
    g_gfx.fixedUniformsDirty = true;
    return S_OK;
}

HRESULT GfxDevice::SetTexture(std::uint32_t stage, GfxTexture* texture) {
    if (stage != 0)
        return E_FAIL;
    g_gfx.texture = texture;
    return S_OK;
}

HRESULT GfxDevice::SetVertexShader(const void* shader) {
    return shader ? E_FAIL : S_OK;
}

HRESULT GfxDevice::SetFVF(std::uint32_t fvf) {
    if (FormatIndex(fvf) < 0)
        return E_FAIL;
    g_gfx.fvf = fvf;
    return S_OK;
}

HRESULT GfxDevice::DrawPrimitiveUP(std::uint32_t type, std::uint32_t primitiveCount,
                                   const void* vertices, std::uint32_t stride) {
    GLenum mode;
    const int format = FormatIndex(g_gfx.fvf);
    if (!vertices || primitiveCount == 0 || !PrimitiveMode(type, &mode) || format < 0 ||
        stride != FormatStride(g_gfx.fvf))
        return E_FAIL;
    // One draw's vertices go into the streaming buffer whole.
    if ((static_cast<std::uint64_t>(primitiveCount) + 2) * stride > STREAM_BUFFER_SIZE)
        return E_FAIL;
    const std::uint32_t count = primitiveCount + 2;
    PrepareDraw(g_gfx.fvf);
    const GLint first =
        StreamVertices(vertices, count * stride, stride, g_gfx.streamArrays[format]);
    glDrawArrays(mode, first, static_cast<GLsizei>(count));
    return S_OK;
}

HRESULT GfxDevice::SetStreamSource(std::uint32_t stream, GfxVertexBuffer* buffer,
                                   std::uint32_t offset, std::uint32_t stride) {
    if (stream != 0)
        return E_FAIL;
    g_gfx.stream = buffer;
    g_gfx.streamOffset = offset;
    g_gfx.streamStride = stride;
    return S_OK;
}

HRESULT GfxDevice::DrawPrimitive(std::uint32_t type, std::uint32_t startVertex,
                                 std::uint32_t primitiveCount) {
    GLenum mode;
    const int format = FormatIndex(g_gfx.fvf);
    GfxVertexBuffer* buffer = g_gfx.stream;
    if (!buffer || format < 0 || !PrimitiveMode(type, &mode) || primitiveCount == 0 ||
        g_gfx.streamStride != FormatStride(g_gfx.fvf) || g_gfx.streamOffset != 0)
        return E_FAIL;
    const std::uint64_t end =
        (static_cast<std::uint64_t>(startVertex) + primitiveCount + 2) * g_gfx.streamStride;
    if (end > buffer->length)
        return E_FAIL;
    PrepareDraw(g_gfx.fvf);
    BindVertexArray(g_gfx.sourceArrays[format]);
    if (g_gfx.sourceArrayBuffers[format] != buffer->name) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer->name);
        SetVertexLayout(g_gfx.fvf);
        glVertexAttrib4f(ATTRIB_COLOR, 1.0f, 1.0f, 1.0f, 1.0f);
        g_gfx.sourceArrayBuffers[format] = buffer->name;
    }
    glDrawArrays(mode, static_cast<GLint>(startVertex), static_cast<GLsizei>(primitiveCount + 2));
    return S_OK;
}

HRESULT GfxDevice::CreateVertexBuffer(std::uint32_t length, std::uint32_t, std::uint32_t fvf,
                                      std::uint32_t, GfxVertexBuffer** buffer) {
    if (!buffer)
        return E_FAIL;
    *buffer = nullptr;
    if (length == 0 || length > (64u << 20))
        return E_FAIL;
    auto* created = new GfxVertexBuffer;
    created->contents = static_cast<std::uint8_t*>(std::calloc(length, 1));
    if (!created->contents) {
        delete created;
        return E_FAIL;
    }
    created->length = length;
    created->fvf = fvf;
    glGenBuffers(1, &created->name);
    glBindBuffer(GL_ARRAY_BUFFER, created->name);
    glBufferData(GL_ARRAY_BUFFER, length, created->contents, GL_DYNAMIC_DRAW);
    *buffer = created;
    return S_OK;
}

HRESULT GfxVertexBuffer::Lock(std::uint32_t offset, std::uint32_t size, void** data,
                              std::uint32_t) {
    if (!data)
        return E_FAIL;
    *data = nullptr;
    if (locked || offset > length || (size != 0 && size > length - offset))
        return E_FAIL;
    locked = true;
    *data = contents + offset;
    return S_OK;
}

HRESULT GfxVertexBuffer::Unlock() {
    if (!locked)
        return E_FAIL;
    locked = false;
    glBindBuffer(GL_ARRAY_BUFFER, name);
    glBufferSubData(GL_ARRAY_BUFFER, 0, length, contents);
    return S_OK;
}

void GfxVertexBuffer::Release() {
    if (g_gfx.stream == this)
        g_gfx.stream = nullptr;
    if (g_gfx.context) {
        for (int i = 0; i < 2; ++i) {
            if (g_gfx.sourceArrayBuffers[i] == name)
                g_gfx.sourceArrayBuffers[i] = 0;
        }
        glDeleteBuffers(1, &name);
    }
    std::free(contents);
    delete this;
}

void SetPresentCapture(bool on) {
    g_gfx.captureOn = on;
    ApplyFrameRasterization();
}

const std::uint8_t* GetCapturedFrame() {
    return g_gfx.capturedValid ? g_gfx.captured.data() : nullptr;
}

void SetGfxDeviceSetup(const GfxDeviceSetup& setup) {
    g_gfxSetup = setup;
    ApplyFrameRasterization();
}

void ApplyFrameRasterization() {
    if (!g_gfx.context)
        return;
    if (g_gfxSetup.rasterizeUncapturedFrames || g_gfx.captureOn)
        glDisable(GL_RASTERIZER_DISCARD);
    else
        glEnable(GL_RASTERIZER_DISCARD);
}

void WaitForGpu() {
    if (g_gfx.context)
        glFinish();
}
