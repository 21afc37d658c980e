// The graphics device of the game, its fixed states, the off-screen targets of the
// field renderer, the light, the message font and the two effects.
#pragma once

#include "platform/frame_fit.h"
#include "platform/gfx/device.h"
#include "platform/gfx/effect.h"
#include "platform/gfx/font.h"

#include <cstdint>

// The game draws into the platform's fixed frame.
constexpr int SCREEN_WIDTH = GAME_FRAME_WIDTH;
constexpr int SCREEN_HEIGHT = GAME_FRAME_HEIGHT;

constexpr int RENDER_MODE_FADE = 0;
constexpr int RENDER_MODE_FOG = 10;
constexpr int RENDER_EFFECT_COUNT = 11; // indexed by renderMode

struct RenderSet {
    GfxTexture* sceneTexture[2];
    GfxSurface* sceneDepth[2];
    GfxTexture* depthTexture[3]; // depth in red, a written-pixel mark in green
    GfxEffect* effects[RENDER_EFFECT_COUNT];
    std::uint8_t fadeActive;
    std::int32_t renderMode;
    std::uint8_t integerDepthFormat;
    std::int32_t passCount;
    // The map change's fields.
    float fadeAlpha;
    std::int32_t fadeCounter;
    std::int32_t fadeDestination;
    float fadeArrivalX;
    float fadeArrivalZ;
    // Where the device allows it, the fog frame draws the scene's colour and depth in
    // one pass (depthTexture 0 as the screen's second target) and both faces of the
    // fog volume in one pass into fogFaceTexture, of the depth textures' format: the
    // back depth in red, FrontDepthBase less the front depth in green.
    GfxTexture* fogFaceTexture;
    std::uint8_t combinedPasses;
};

// The presentation parameters the device was created with.
struct PresentParameters {
    std::uint32_t BackBufferWidth;
    std::uint32_t BackBufferHeight;
    std::uint32_t BackBufferFormat;
    std::uint32_t BackBufferCount;
    std::uint32_t MultiSampleType;
    std::uint32_t MultiSampleQuality;
    std::uint32_t SwapEffect;
    void* DeviceWindow;
    std::int32_t Windowed;
    std::int32_t EnableAutoDepthStencil;
    std::uint32_t AutoDepthStencilFormat;
    std::uint32_t Flags;
    std::uint32_t FullScreenRefreshRate;
    std::uint32_t PresentationInterval;
};

extern GfxSystem* g_pD3D;
extern GfxDevice* g_pD3DDevice;
extern PresentParameters g_d3dpp;
extern GfxFont* g_pFont;
extern RenderSet g_renderSet;
extern GfxEffect* BasicEffect; // also g_renderSet.effects[RENDER_MODE_FADE]
extern GfxEffect* FogEffect;   // also g_renderSet.effects[RENDER_MODE_FOG]

// The device on the main window; E_FAIL (after its message) when none can be made.
HRESULT InitDirect3D();
// The fixed states, the scene targets and depth surfaces, the depth textures and the
// fog's combined target; then the back buffer and its depth surface are saved in
// g_camera. A device that cannot draw the combined targets gets the fog in separate
// passes, which the first set-up reports once on stderr.
void InitRenderStates();
// Replaces g_pFont.
void CreateMessageFont();
void SetDirectionalLight(float red, float green, float blue, const Vec3* direction);
// Compiles BasicEffect and FogEffect from the sources built into the program; false,
// after the message, when either fails.
bool CreateEffects();
void ReleaseDirect3D();
