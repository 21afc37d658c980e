#include "render/render_setup.h"

#include "render/assets.h"
#include "render/camera.h"
#include "render/effects/effect_tables.h"
#include "render/effects/embedded_effects.h"

#include "platform/window/message_box.h"
#include "platform/window/window.h"

#include <cstdio>
#include <cstring>
#include <string>

GfxSystem* g_pD3D = nullptr;
GfxDevice* g_pD3DDevice = nullptr;
PresentParameters g_d3dpp;
GfxFont* g_pFont = nullptr;
RenderSet g_renderSet;
GfxEffect* BasicEffect = nullptr;
GfxEffect* FogEffect = nullptr;

namespace {

constexpr std::uint32_t SWAP_EFFECT_DISCARD = 1;
constexpr std::uint32_t DESKTOP_FORMAT = FMT_X8R8G8B8;

// The depth formats in the order they are tried: float first, then the integer ones,
// which hold 0 to 1 only and make the fog scale its depths.
constexpr std::uint32_t DEPTH_FORMATS[] = {FMT_G16R16F, FMT_G16R16, FMT_A16B16G16R16};

void FillPresentParameters() {
    std::memset(&g_d3dpp, 0, sizeof(g_d3dpp));
    g_d3dpp.BackBufferWidth = SCREEN_WIDTH;
    g_d3dpp.BackBufferHeight = SCREEN_HEIGHT;
    g_d3dpp.BackBufferFormat = DESKTOP_FORMAT;
    g_d3dpp.BackBufferCount = 1;
    g_d3dpp.SwapEffect = SWAP_EFFECT_DISCARD;
    g_d3dpp.Windowed = 1;
    g_d3dpp.EnableAutoDepthStencil = 1;
    g_d3dpp.AutoDepthStencilFormat = FMT_D24S8;
}

const char* FindEmbeddedEffect(const char* name) {
    for (int i = 0; i < g_embeddedEffectCount; ++i) {
        if (std::strcmp(g_embeddedEffects[i].name, name) == 0)
            return g_embeddedEffects[i].text;
    }
    return nullptr;
}

GfxEffect* CompileEffect(const char* name, const char* source, const EffectDesc& desc) {
    GfxEffect* effect = nullptr;
    std::string errors;
    if (!source || FAILED(CreateEffect(g_pD3DDevice, source, desc, &effect, &errors))) {
        if (!errors.empty())
            std::fprintf(stderr, "%s effect: %s\n", name, errors.c_str());
        return nullptr;
    }
    return effect;
}

void ReleaseEffect(GfxEffect** effect) {
    if (*effect) {
        (*effect)->Release();
        *effect = nullptr;
    }
}

void ReleaseTexture(GfxTexture** texture) {
    if (*texture)
        (*texture)->Release();
    *texture = nullptr;
}

// The fog's combined targets: one target of the depth textures' format for both faces
// of the volume, and the first depth texture drawable beside the screen. Null when they
// work, otherwise what is missing.
const char* CreateCombinedTargets(GfxDevice* device) {
    ReleaseTexture(&g_renderSet.fogFaceTexture);
    for (GfxTexture* texture : g_renderSet.depthTexture) {
        if (!texture)
            return "no depth texture";
    }
    SurfaceDesc depthDesc = {};
    g_renderSet.depthTexture[0]->GetLevelDesc(0, &depthDesc);
    if (FAILED(device->CreateTexture(SCREEN_WIDTH, SCREEN_HEIGHT, 1, USAGE_RENDERTARGET,
                                     depthDesc.Format, POOL_DEFAULT, &g_renderSet.fogFaceTexture)))
        return "no render target for the fog volume's faces";
    GfxSurface* sceneDepth = nullptr;
    g_renderSet.depthTexture[0]->GetSurfaceLevel(0, &sceneDepth);
    const bool pairs = SUCCEEDED(device->SetRenderTarget(1, sceneDepth));
    device->SetRenderTarget(1, nullptr);
    if (!pairs) {
        ReleaseTexture(&g_renderSet.fogFaceTexture);
        return "no second colour target beside the screen";
    }
    return nullptr;
}

} // namespace

HRESULT InitDirect3D() {
    g_pD3D = CreateGfxSystem();
    if (!g_pD3D) {
        ShowMessageBox("DirectXD3D9オブジェクト生成失敗", "ERROR");
        return E_FAIL;
    }
    FillPresentParameters();
    const GfxDeviceKind kinds[] = {GFX_DEVICE_HARDWARE, GFX_DEVICE_ANY_CORE, GFX_DEVICE_COMPATIBLE};
    for (GfxDeviceKind kind : kinds) {
        if (SUCCEEDED(g_pD3D->CreateDevice(GetMainWindowHandle(), kind, &g_pD3DDevice)))
            return S_OK;
    }
    ShowMessageBox("DirectXデバイス生成失敗", "ERROR");
    return E_FAIL;
}

void InitRenderStates() {
    GfxDevice* device = g_pD3DDevice;
    device->SetTextureStageState(0, TSS_COLORARG1, TA_TEXTURE);
    device->SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    device->SetRenderState(RS_ALPHABLENDENABLE, 1);
    device->SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    device->SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    device->SetRenderState(RS_CULLMODE, CULL_NONE);
    device->SetRenderState(RS_ZENABLE, 1);
    device->SetRenderState(RS_AMBIENT, 0x00555555);
    device->SetRenderState(RS_SPECULARENABLE, 1);

    // Set up a second time, the targets are made again; the first ones go.
    for (int i = 0; i < 2; ++i) {
        ReleaseTexture(&g_renderSet.sceneTexture[i]);
        device->CreateTexture(SCREEN_WIDTH, SCREEN_HEIGHT, 1, USAGE_RENDERTARGET, FMT_A8R8G8B8,
                              POOL_DEFAULT, &g_renderSet.sceneTexture[i]);
        if (!g_renderSet.sceneDepth[i])
            device->CreateDepthStencilSurface(SCREEN_WIDTH, SCREEN_HEIGHT, FMT_D16, 0, 0, true,
                                              &g_renderSet.sceneDepth[i]);
    }
    for (GfxTexture*& slot : g_renderSet.depthTexture) {
        ReleaseTexture(&slot);
        g_renderSet.integerDepthFormat = 0;
        for (std::uint32_t format : DEPTH_FORMATS) {
            if (format != FMT_G16R16F)
                g_renderSet.integerDepthFormat = 1;
            if (SUCCEEDED(device->CreateTexture(SCREEN_WIDTH, SCREEN_HEIGHT, 1, USAGE_RENDERTARGET,
                                                format, POOL_DEFAULT, &slot)))
                break;
        }
    }
    const char* missing = CreateCombinedTargets(device);
    g_renderSet.combinedPasses = missing == nullptr;
    static bool s_reported = false;
    if (missing && !s_reported) {
        std::fprintf(stderr,
                     "tavelle: %s; the fog is drawn in separate passes, the same but slower\n",
                     missing);
        s_reported = true;
    }
    device->GetRenderTarget(0, &g_camera.backBuffer);
    device->GetDepthStencilSurface(&g_camera.backDepth);
}

void CreateMessageFont() {
    FontDesc desc = {};
    desc.Height = 45;
    desc.Width = 18;
    desc.Weight = 300;
    std::strncpy(desc.FaceName, "ＭＳ ゴシック", sizeof(desc.FaceName) - 1);
    // The new font replaces the one made for the loading screen.
    if (g_pFont) {
        g_pFont->Release();
        g_pFont = nullptr;
    }
    CreateFontIndirect(g_pD3DDevice, &desc, &g_pFont);
}

void SetDirectionalLight(float red, float green, float blue, const Vec3* direction) {
    Light light = {};
    light.Type = LIGHT_DIRECTIONAL;
    light.Diffuse = {red, green, blue, 0.0f};
    Vec3Normalize(&light.Direction, direction);
    g_pD3DDevice->SetLight(0, &light);
    g_pD3DDevice->LightEnable(0, true);
    g_pD3DDevice->SetRenderState(RS_LIGHTING, 1);
}

bool CreateEffects() {
    // The effects are built into the program, so a reload would compile the very same
    // ones again: the ones it has are kept, and so is the driver's work for their first
    // draws. Only after a failure are they compiled again.
    if (BasicEffect && FogEffect)
        return true;
    ReleaseEffect(&BasicEffect);
    ReleaseEffect(&FogEffect);
    g_renderSet.effects[RENDER_MODE_FADE] = nullptr;
    g_renderSet.effects[RENDER_MODE_FOG] = nullptr;
    BasicEffect = CompileEffect("basic", FindEmbeddedEffect("basic"), BASIC_EFFECT_DESC);
    if (BasicEffect)
        FogEffect = CompileEffect("fog", FindEmbeddedEffect("fog"), FOG_EFFECT_DESC);
    if (!BasicEffect || !FogEffect) {
        ShowMessageBox("プログラマブルシェーダ失敗", "", MB_OWNER_NONE);
        return false;
    }
    g_renderSet.effects[RENDER_MODE_FADE] = BasicEffect;
    g_renderSet.effects[RENDER_MODE_FOG] = FogEffect;
    return true;
}

void ReleaseDirect3D() {
    for (Picture& picture : g_pictures) {
        if (picture.texture) {
            picture.texture->Release();
            picture.texture = nullptr;
        }
    }
    if (g_pD3DDevice) {
        g_pD3DDevice->Release();
        g_pD3DDevice = nullptr;
    }
    if (g_pD3D) {
        g_pD3D->Release();
        g_pD3D = nullptr;
    }
}
