// The graphics device: one process-wide device over OpenGL 3.3 core with the
// operations, states and constants of a Direct3D 9 device, as plain C++. Results are
// S_OK or E_FAIL. Everything runs on the main thread.
//
// Conventions every caller may rely on:
// - Matrices are row-vector (v × M); depth runs 0 (near) to 1 (far).
// - Screen vertices (format 0x144) are pixels of the 1024×768 target, (0, 0) the
//   top-left corner of the top-left pixel, y down.
// - Textures and render targets are stored top row first: texture v = 0 is the top
//   of the image, and clip-space y = +1 is the top of every target.
// - "Clockwise" means clockwise as seen on screen (y down), as Direct3D counts it.
#pragma once

#include "platform/gfx/gfx_math.h"
#include "platform/win_types.h"

#include <cstdint>

// Formats (values as Direct3D numbers them).
constexpr std::uint32_t FMT_UNKNOWN = 0;
constexpr std::uint32_t FMT_R8G8B8 = 20;
constexpr std::uint32_t FMT_A8R8G8B8 = 21;
constexpr std::uint32_t FMT_X8R8G8B8 = 22;
constexpr std::uint32_t FMT_R5G6B5 = 23;
constexpr std::uint32_t FMT_X1R5G5B5 = 24;
constexpr std::uint32_t FMT_A1R5G5B5 = 25;
constexpr std::uint32_t FMT_G16R16 = 34;
constexpr std::uint32_t FMT_A16B16G16R16 = 36;
constexpr std::uint32_t FMT_P8 = 41;
constexpr std::uint32_t FMT_D24S8 = 75;
constexpr std::uint32_t FMT_D16 = 80;
constexpr std::uint32_t FMT_G16R16F = 112;
constexpr std::uint32_t FMT_A16B16G16R16F = 113;

constexpr std::uint32_t POOL_DEFAULT = 0;
constexpr std::uint32_t POOL_MANAGED = 1;
constexpr std::uint32_t USAGE_RENDERTARGET = 0x1;

// Vertex formats: the screen vertex (x, y in pixels, z, reciprocal w, ARGB colour,
// texture coordinates) and the model vertex (position, normal, texture coordinates).
constexpr std::uint32_t FVF_SCREEN_VERTEX = 0x144;
constexpr std::uint32_t FVF_MODEL_VERTEX = 0x112;
struct GfxScreenVertex {
    float x, y, z, rhw;
    std::uint32_t diffuse;
    float u, v;
};
struct GfxModelVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

constexpr std::uint32_t PT_TRIANGLESTRIP = 5;
constexpr std::uint32_t PT_TRIANGLEFAN = 6;

constexpr std::uint32_t CLEAR_TARGET = 0x1;
constexpr std::uint32_t CLEAR_ZBUFFER = 0x2;
constexpr std::uint32_t CLEAR_STENCIL = 0x4;

// Transform states.
constexpr std::uint32_t TS_VIEW = 2;
constexpr std::uint32_t TS_PROJECTION = 3;
constexpr std::uint32_t TS_WORLD = 256;

// Render states and their values.
constexpr std::uint32_t RS_ZENABLE = 7;
constexpr std::uint32_t RS_ZWRITEENABLE = 14;
constexpr std::uint32_t RS_SRCBLEND = 19;
constexpr std::uint32_t RS_DESTBLEND = 20;
constexpr std::uint32_t RS_CULLMODE = 22;
constexpr std::uint32_t RS_ZFUNC = 23;
constexpr std::uint32_t RS_ALPHABLENDENABLE = 27;
constexpr std::uint32_t RS_SPECULARENABLE = 29;
constexpr std::uint32_t RS_LIGHTING = 137;
constexpr std::uint32_t RS_AMBIENT = 139;
constexpr std::uint32_t RS_BLENDOP = 171;
// The channels written into render target 1 (bits red 1, green 2, blue 4, alpha 8).
constexpr std::uint32_t RS_COLORWRITEENABLE1 = 190;
constexpr std::uint32_t RENDER_STATE_COUNT = 256; // states are numbered below this

constexpr std::uint32_t BLEND_ZERO = 1;
constexpr std::uint32_t BLEND_ONE = 2;
constexpr std::uint32_t BLEND_SRCCOLOR = 3;
constexpr std::uint32_t BLEND_INVSRCCOLOR = 4;
constexpr std::uint32_t BLEND_SRCALPHA = 5;
constexpr std::uint32_t BLEND_INVSRCALPHA = 6;
constexpr std::uint32_t BLEND_DESTALPHA = 7;
constexpr std::uint32_t BLEND_INVDESTALPHA = 8;
constexpr std::uint32_t BLEND_DESTCOLOR = 9;
constexpr std::uint32_t BLEND_INVDESTCOLOR = 10;

// How blended colours combine: source × factor + destination × factor, or the smaller
// or the larger of the two (the factors then count for nothing).
constexpr std::uint32_t BLENDOP_ADD = 1;
constexpr std::uint32_t BLENDOP_MIN = 4;
constexpr std::uint32_t BLENDOP_MAX = 5;

constexpr std::uint32_t CULL_NONE = 1;
constexpr std::uint32_t CULL_CW = 2;  // clockwise faces are not drawn
constexpr std::uint32_t CULL_CCW = 3; // counter-clockwise faces are not drawn (the default)

constexpr std::uint32_t CMP_NEVER = 1;
constexpr std::uint32_t CMP_LESS = 2;
constexpr std::uint32_t CMP_EQUAL = 3;
constexpr std::uint32_t CMP_LESSEQUAL = 4;
constexpr std::uint32_t CMP_GREATER = 5;
constexpr std::uint32_t CMP_NOTEQUAL = 6;
constexpr std::uint32_t CMP_GREATEREQUAL = 7;
constexpr std::uint32_t CMP_ALWAYS = 8;

// Texture-stage states of stage 0, their operations and arguments.
constexpr std::uint32_t TSS_COLOROP = 1;
constexpr std::uint32_t TSS_COLORARG1 = 2;
constexpr std::uint32_t TSS_COLORARG2 = 3;
constexpr std::uint32_t TSS_ALPHAOP = 4;
constexpr std::uint32_t TSS_ALPHAARG1 = 5;
constexpr std::uint32_t TSS_ALPHAARG2 = 6;

constexpr std::uint32_t TOP_DISABLE = 1;
constexpr std::uint32_t TOP_SELECTARG1 = 2;
constexpr std::uint32_t TOP_SELECTARG2 = 3;
constexpr std::uint32_t TOP_MODULATE = 4;

constexpr std::uint32_t TA_DIFFUSE = 0;
constexpr std::uint32_t TA_CURRENT = 1;
constexpr std::uint32_t TA_TEXTURE = 2;

constexpr std::uint32_t LIGHT_DIRECTIONAL = 3;

// Colour as four floats, red first.
struct ColorValue {
    float r, g, b, a;
};

struct Material {
    ColorValue Diffuse;
    ColorValue Ambient;
    ColorValue Specular;
    ColorValue Emissive;
    float Power;
};
static_assert(sizeof(Material) == 17 * sizeof(float), "a material is 17 floats");

struct Light {
    std::uint32_t Type; // LIGHT_DIRECTIONAL is the one the device lights with
    ColorValue Diffuse;
    ColorValue Specular;
    ColorValue Ambient;
    Vec3 Position;
    Vec3 Direction;
    float Range;
    float Falloff;
    float Attenuation0;
    float Attenuation1;
    float Attenuation2;
    float Theta;
    float Phi;
};

struct SurfaceDesc {
    std::uint32_t Format;
    std::uint32_t Usage;
    std::uint32_t Pool;
    std::uint32_t Width;
    std::uint32_t Height;
};

class GfxDevice;

// A colour or depth surface: the level 0 of a render-target texture, a depth-stencil
// surface, or the device's own back buffer and depth surface. Surfaces belong to
// their texture or to the device; nothing needs releasing after use.
struct GfxSurface {
    // Device-private: the GL objects behind the surface.
    std::uint32_t colorTexture = 0; // GL texture name of a colour surface
    std::uint32_t depthBuffer = 0;  // GL renderbuffer name of a depth surface
    std::uint32_t format = FMT_UNKNOWN;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

struct GfxTexture {
    // Releases the texture and its GL storage; the pointer is invalid afterwards.
    void Release();
    // Level 0 of a render-target texture; E_FAIL for other textures or levels.
    HRESULT GetSurfaceLevel(std::uint32_t level, GfxSurface** surface);
    // Level 0 reports the texture size (power-of-two rounded for loaded images).
    HRESULT GetLevelDesc(std::uint32_t level, SurfaceDesc* desc);

    // Device-private.
    std::uint32_t name = 0; // GL texture name
    std::uint32_t format = FMT_UNKNOWN;
    std::uint32_t usage = 0;
    std::uint32_t pool = POOL_MANAGED;
    std::uint32_t width = 0;  // reported size
    std::uint32_t height = 0; // reported size
    GfxSurface surface;       // level 0 of a render target
};

// A managed vertex buffer: its contents live in memory and survive between locks;
// Unlock hands them to GL.
struct GfxVertexBuffer {
    HRESULT Lock(std::uint32_t offset, std::uint32_t size, void** data, std::uint32_t flags);
    HRESULT Unlock();
    void Release();

    // Device-private.
    std::uint32_t name = 0; // GL buffer name
    std::uint32_t length = 0;
    std::uint32_t fvf = 0;
    std::uint8_t* contents = nullptr;
    bool locked = false;
};

class GfxDevice {
  public:
    // Clears the whole current target and/or depth surface (rects must be null).
    HRESULT Clear(std::uint32_t rectCount, const void* rects, std::uint32_t flags,
                  std::uint32_t color, float z, std::uint32_t stencil);
    // Clears render target index (0 or 1) of the current set to the colour as given:
    // float formats keep values beyond 0..1, normalised ones clamp them.
    HRESULT ClearRenderTarget(std::uint32_t index, const ColorValue& color);
    HRESULT BeginScene();
    HRESULT EndScene();
    // Shows the back buffer (and captures it first when capture is on).
    HRESULT Present();

    HRESULT SetTransform(std::uint32_t state, const Matrix* matrix);
    // What was last set (the identity before any Set).
    HRESULT GetTransform(std::uint32_t state, Matrix* matrix);
    HRESULT SetRenderState(std::uint32_t state, std::uint32_t value);
    HRESULT GetRenderState(std::uint32_t state, std::uint32_t* value);
    // Stage 0 only.
    HRESULT SetTextureStageState(std::uint32_t stage, std::uint32_t type, std::uint32_t value);
    HRESULT SetMaterial(const Material* material);
    // Light 0 only.
    HRESULT SetLight(std::uint32_t index, const Light* light);
    HRESULT LightEnable(std::uint32_t index, bool enable);
    // Stage 0 only; null draws as an opaque white texture.
    HRESULT SetTexture(std::uint32_t stage, GfxTexture* texture);
    // Only null is accepted: back to the fixed-function vertex path.
    HRESULT SetVertexShader(const void* shader);
    // FVF_SCREEN_VERTEX or FVF_MODEL_VERTEX.
    HRESULT SetFVF(std::uint32_t fvf);

    HRESULT CreateVertexBuffer(std::uint32_t length, std::uint32_t usage, std::uint32_t fvf,
                               std::uint32_t pool, GfxVertexBuffer** buffer);
    HRESULT SetStreamSource(std::uint32_t stream, GfxVertexBuffer* buffer, std::uint32_t offset,
                            std::uint32_t stride);
    // Triangle fans and strips of the current vertex format.
    HRESULT DrawPrimitive(std::uint32_t type, std::uint32_t startVertex,
                          std::uint32_t primitiveCount);
    HRESULT DrawPrimitiveUP(std::uint32_t type, std::uint32_t primitiveCount, const void* vertices,
                            std::uint32_t stride);

    // A render target (usage USAGE_RENDERTARGET, one level) in FMT_A8R8G8B8, FMT_G16R16F,
    // FMT_G16R16 or FMT_A16B16G16R16. A refused format gives E_FAIL and a null texture.
    HRESULT CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                          std::uint32_t usage, std::uint32_t format, std::uint32_t pool,
                          GfxTexture** texture);
    // FMT_D16 or FMT_D24S8.
    HRESULT CreateDepthStencilSurface(std::uint32_t width, std::uint32_t height,
                                      std::uint32_t format, std::uint32_t multiSample,
                                      std::uint32_t multiSampleQuality, bool discard,
                                      GfxSurface** surface);
    HRESULT GetRenderTarget(std::uint32_t index, GfxSurface** surface);
    // Target 0 is the screen or a texture. Target 1, when set, receives in the same
    // draws what the pixel shader writes as o_color1, never blended; the fixed-function
    // path writes there each pixel's view-space depth times SetViewDepthScale's scale
    // (screen vertices give it back from their window depth through the projection).
    // Null unsets target 1; E_FAIL when the device cannot draw into the surface
    // together with the current target 0 and depth surface.
    HRESULT SetRenderTarget(std::uint32_t index, GfxSurface* surface);
    void SetViewDepthScale(float scale);
    HRESULT GetDepthStencilSurface(GfxSurface** surface);
    HRESULT SetDepthStencilSurface(GfxSurface* surface);
    HRESULT GetViewport(Viewport* viewport);

    void Release();
};

// The "Direct3D object": what the device is created from. Creation fails when the
// window cannot carry OpenGL at all.
enum GfxDeviceKind {
    GFX_DEVICE_HARDWARE,   // accelerated GL 3.3 core
    GFX_DEVICE_ANY_CORE,   // GL 3.3 core on whatever renderer is offered
    GFX_DEVICE_COMPATIBLE, // a GL 3.3 compatibility-profile context
};

struct GfxSystem {
    // Creates the device's GL context on the window (an SDL_Window* made with the
    // OpenGL flag) and loads GL. E_FAIL when this kind of context cannot give GL 3.3.
    HRESULT CreateDevice(void* window, GfxDeviceKind kind, GfxDevice** device);
    void Release();
};

GfxSystem* CreateGfxSystem();

// The frame being presented, for the automation driver and the tests: while capture
// is on, Present first copies the back buffer; GetCapturedFrame then returns
// 1024 × 768 RGBA bytes, top row first (null before the first captured frame).
void SetPresentCapture(bool on);
const std::uint8_t* GetCapturedFrame();

// Waits until every draw issued so far has finished (for timing).
void WaitForGpu();

// What the device offers, chosen by whoever sets it up. The game takes the defaults;
// the automation driver and the tests narrow them, to play the game on a lesser
// device or to skip the fill of frames nobody looks at.
struct GfxDeviceSetup {
    // Float render targets (FMT_G16R16F and FMT_A16B16G16R16F); without them the
    // game uses its integer depth formats.
    bool floatTargets = true;
    // Drawing into two colour targets at once; without it the game draws into one
    // target at a time.
    bool secondColourTarget = true;
    // Frames presented without capture (SetPresentCapture) are rasterised. When off,
    // their every call still goes to GL and is checked, but GL drops the primitives
    // before rasterisation and ignores clears, so such a frame costs no fill. The game
    // draws each frame whole from its own clear, and no pixel of one frame is read by
    // a later one.
    bool rasterizeUncapturedFrames = true;
    // Textures of at most this many texels a side, as a device that holds only the
    // 1024 OpenGL 3.3 guarantees would (0: as large as the driver allows).
    std::uint32_t textureSideLimit = 0;
};
// Takes effect at once on the device there is, and on every device created later.
void SetGfxDeviceSetup(const GfxDeviceSetup& setup);
