// What the pieces of the graphics device share: the device record, the GL state it
// has applied, and the draw preparation. Only platform/gfx includes this.
#pragma once

#include "platform/frame_fit.h"
#include "platform/gfx/device.h"

#include <epoxy/gl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct GfxEffectData;

// Vertex attribute slots shared by every program.
constexpr GLuint ATTRIB_POSITION = 0;
constexpr GLuint ATTRIB_NORMAL = 1;
constexpr GLuint ATTRIB_TEX = 2;
constexpr GLuint ATTRIB_COLOR = 3;

// Texture units: 0 for stage 0 of the fixed-function path, then effect samplers, then
// the font atlas.
constexpr int FIXED_TEXTURE_UNIT = 0;
constexpr int FIRST_EFFECT_UNIT = 1;
constexpr int EFFECT_UNIT_COUNT = 4;
constexpr int FONT_TEXTURE_UNIT = FIRST_EFFECT_UNIT + EFFECT_UNIT_COUNT;
constexpr int TEXTURE_UNIT_COUNT = FONT_TEXTURE_UNIT + 1;

// The GL state last applied, so that nothing is set twice.
struct AppliedGlState {
    bool valid = false;
    bool blend = false;
    bool blendSecond = false; // glEnable(GL_BLEND) turns it on for every draw buffer
    GLenum srcBlend = GL_ONE;
    GLenum dstBlend = GL_ZERO;
    GLenum blendEquation = GL_FUNC_ADD;
    std::uint32_t secondWriteMask = 0xF;
    bool depthTest = false;
    bool depthWrite = true;
    GLenum depthFunc = GL_LESS;
    bool cull = false;
    GLenum cullFace = GL_BACK;
    bool scissor = false;
    GLuint program = 0;
    GLuint vertexArray = 0;
    GLuint framebuffer = 0;
    GLuint textures[TEXTURE_UNIT_COUNT] = {};
    int activeUnit = 0;
};

// The fixed-function program and where its uniforms live.
struct FixedProgram {
    GLuint program = 0;
    GLint pretransformed = -1;
    GLint worldViewProj = -1;
    GLint world = -1;
    GLint lighting = -1;
    GLint lightDirection = -1;
    GLint lightDiffuse = -1;
    GLint ambient = -1;
    GLint materialDiffuse = -1;
    GLint materialEmissive = -1;
    GLint specularColor = -1;
    GLint specularPower = -1;
    GLint eye = -1;
    GLint colorStage = -1;
    GLint alphaStage = -1;
    GLint worldView = -1;
    GLint depthProjection = -1;
    GLint viewDepthScale = -1;
    std::uint32_t uploadedFvf = 0;
};

// The game pairs about ten targets in all; room for more than that, made with the
// device, keeps a pairing's first use (the first fade, say) from allocating mid-game.
constexpr std::size_t FRAMEBUFFER_CACHE_ROOM = 32;

struct FramebufferEntry {
    GLuint color;
    GLuint color1; // the second colour attachment, 0 for none
    GLuint depth;
    GLuint framebuffer;
    bool complete; // as the driver answered when the pairing was first made
};

struct GfxDeviceState {
    void* window = nullptr;              // SDL_Window*
    void* context = nullptr;             // SDL_GLContext
    std::uint32_t maxTextureSide = 1024; // the driver's, read when the device is made
    int width = GAME_FRAME_WIDTH;
    int height = GAME_FRAME_HEIGHT;

    Matrix world, view, projection;
    std::uint32_t renderStates[RENDER_STATE_COUNT] = {};
    std::uint32_t stageStates[7] = {};
    Material material = {};
    Light light = {};
    bool lightEnabled = false;
    GfxTexture* texture = nullptr;
    std::uint32_t fvf = FVF_SCREEN_VERTEX;
    GfxVertexBuffer* stream = nullptr;
    std::uint32_t streamOffset = 0;
    std::uint32_t streamStride = 0;
    bool fixedUniformsDirty = true;

    GfxSurface backBuffer;
    GfxSurface backDepth;
    GfxSurface* renderTarget = nullptr;
    GfxSurface* renderTarget1 = nullptr;
    GfxSurface* depthSurface = nullptr;
    float viewDepthScale = 1.0f;
    std::vector<FramebufferEntry> framebuffers;

    // The effect pass being applied, if any.
    GfxEffectData* effect = nullptr;
    GLuint effectProgram = 0;

    FixedProgram fixed;
    GLuint textProgram = 0;
    GLuint whiteTexture = 0;
    // Client-memory draws go through one streaming buffer, one vertex array per format.
    GLuint streamBuffer = 0;
    GLuint streamArrays[2] = {}; // screen, model
    std::uint32_t streamWrite = 0;
    // Vertex-buffer draws: one vertex array per format, re-pointed when the buffer changes.
    GLuint sourceArrays[2] = {};
    GLuint sourceArrayBuffers[2] = {};

    bool captureOn = false;
    std::vector<std::uint8_t> captured;
    bool capturedValid = false;

    AppliedGlState gl;
};

extern GfxDeviceState g_gfx;
extern GfxDevice g_gfxDevice;
extern GfxDeviceSetup g_gfxSetup;

// Turns rasterisation on or off for the frame being drawn, as the set-up and the
// frame's capture ask.
void ApplyFrameRasterization();

constexpr std::uint32_t STREAM_BUFFER_SIZE = 1u << 20;

// While one lives, GL errors do not stop a checked build: for calls that may fail by
// design (a target the driver has no memory for), whose caller reads glGetError.
struct ExpectedGlErrors {
    ExpectedGlErrors();
    ~ExpectedGlErrors();
    ExpectedGlErrors(const ExpectedGlErrors&) = delete;
    ExpectedGlErrors& operator=(const ExpectedGlErrors&) = delete;
};

// Binds the current target, applies the render states and the program (fixed-function
// or the effect pass) and its textures, for a draw of vertex format fvf.
void PrepareDraw(std::uint32_t fvf);
// Copies vertices into the streaming buffer; returns the first vertex index for a draw
// with the given stride from the format's streaming vertex array, which it binds.
GLint StreamVertices(const void* vertices, std::uint32_t bytes, std::uint32_t stride,
                     GLuint vertexArray);
// The attribute layout of a vertex format into the bound vertex array and buffer.
void SetVertexLayout(std::uint32_t fvf);

void UseProgram(GLuint program);
void BindVertexArray(GLuint vertexArray);
void BindTextureUnit(int unit, GLuint texture);
void SetBlend(bool on, GLenum src, GLenum dst);
void SetBlendEquation(GLenum equation);
// Render target 1 is never blended; mask bits red 1, green 2, blue 4, alpha 8.
void SetSecondTargetUnblended();
void SetSecondTargetWriteMask(std::uint32_t mask);
void SetDepth(bool test, bool write, GLenum func);
void SetCull(bool on, GLenum face);
void SetScissor(bool on);
// The framebuffer of the current render targets and depth surface.
void BindCurrentTarget();

// Drops the framebuffers that use a GL texture or renderbuffer about to be deleted.
void ForgetFramebuffersOf(GLuint color, GLuint depth);

// Compiles and links vertex + pixel source (each without #version); 0 and the log on
// failure.
GLuint LinkProgram(const std::string& vertexSource, const std::string& pixelSource,
                   std::string* log);
// The preambles every shader of the device starts with.
std::string VertexPreamble();
std::string PixelPreamble();
// Rewrites a vertex shader that writes gl_Position in Direct3D clip space so that it
// writes GL's (y mirrored for top-row-first targets, depth 0..1 moved to -w..w).
std::string VertexEpilogue();
// The vertex shader of pre-transformed screen vertices.
std::string ScreenVertexShader();

// Effect passes upload their changed parameters and bind their textures.
void ApplyEffectParameters(GfxEffectData* effect);

// Textures shared by the loaders.
GLuint CreateGlTexture();
// The largest side of a texture the device holds.
std::uint32_t MaxTextureSide();
