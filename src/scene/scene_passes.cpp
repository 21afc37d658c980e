#include "scene/scene_passes.h"

#include "field/map_change.h"
#include "render/assets.h"
#include "render/camera.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"
#include "scene/object_draws.h"

static bool FadeRunning() {
    return g_renderSet.renderMode == RENDER_MODE_FADE && g_renderSet.fadeActive;
}

// The fog needs its effect and all three depth textures; without them the scene is
// shown plainly rather than drawing depths onto the screen.
static bool FogAvailable() {
    if (!g_renderSet.effects[RENDER_MODE_FOG])
        return false;
    for (GfxTexture* texture : g_renderSet.depthTexture) {
        if (!texture)
            return false;
    }
    return true;
}

// Makes level 0 of the texture the render target with the given depth surface; both
// stay as they were when the texture has no surface.
static void SetTextureTarget(GfxTexture* texture, GfxSurface* depth) {
    GfxSurface* surface = nullptr;
    if (!texture || texture->GetSurfaceLevel(0, &surface) != S_OK)
        return;
    g_pD3DDevice->SetRenderTarget(0, surface);
    g_pD3DDevice->SetDepthStencilSurface(depth);
}

static void SetScreenTarget() {
    g_pD3DDevice->SetRenderTarget(0, g_camera.backBuffer);
    g_pD3DDevice->SetDepthStencilSurface(g_camera.backDepth);
}

static void DrawFullScreen(GfxEffect* effect) {
    DrawScreenEffectQuad(effect, 0.0f, 0.0f, static_cast<float>(SCREEN_WIDTH),
                         static_cast<float>(SCREEN_HEIGHT), 0.0f, 0.0f, 1.0f, 1.0f);
}

float DepthIntScale() {
    return g_renderSet.integerDepthFormat ? INTEGER_DEPTH_SCALE : FLOAT_DEPTH_SCALE;
}

void DrawObjectsOnTerrain() {
    DrawEventObjects();
    DrawCursorModel();
    DrawEffectQuad();
    DrawCharacters();
}

void DrawSceneObjects() {
    DrawTerrain();
    DrawObjectsOnTerrain();
}

// The fog frame with the device's combined targets: the scene's colour and depth in
// one pass, both faces of the fog volume in another.
static bool CombinedFogFrame() {
    return g_renderSet.renderMode == RENDER_MODE_FOG && g_renderSet.passCount == 2 &&
           g_renderSet.combinedPasses && g_renderSet.fogFaceTexture;
}

// FrontDepthBase: a front face's depth is stored as this less the depth, so that the
// larger value is the nearer face. Float targets hold the negated depth exactly; the
// normalised ones hold 0 to 1 only.
static float FrontDepthBase() {
    return g_renderSet.integerDepthFormat ? 1.0f : 0.0f;
}

void BeginScenePasses() {
    g_renderSet.passCount = 1;
    if (FadeRunning()) {
        SetTextureTarget(g_renderSet.sceneTexture[0], g_renderSet.sceneDepth[0]);
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, FADE_SCENE_CLEAR_COLOR, 1.0f,
                            0);
        return;
    }
    if (g_renderSet.renderMode != RENDER_MODE_FOG)
        return;
    SetScreenTarget();
    if (!FogAvailable())
        return;
    GfxEffect* fog = g_renderSet.effects[RENDER_MODE_FOG];
    Matrix identity;
    MatrixIdentity(&identity);
    SetEffectTransforms(fog, identity);
    fog->SetFloat("IntScale", DepthIntScale());
    g_renderSet.passCount = 2;
    // A pair the device stops taking sends this frame and the later ones through the
    // separate depth pass.
    if (CombinedFogFrame() && !BeginColorAndDepthPass())
        g_renderSet.combinedPasses = 0;
}

bool BeginColorAndDepthPass() {
    GfxSurface* depth = nullptr;
    g_renderSet.depthTexture[0]->GetSurfaceLevel(0, &depth);
    if (FAILED(g_pD3DDevice->SetRenderTarget(1, depth)))
        return false;
    const float scale = DepthIntScale();
    g_pD3DDevice->ClearRenderTarget(1, {DEPTH_CLEAR_VALUE * scale, 0.0f, 0.0f, scale});
    g_pD3DDevice->SetViewDepthScale(scale);
    return true;
}

void BeginDepthPass() {
    SetTextureTarget(g_renderSet.depthTexture[0], g_camera.backDepth);
    g_pD3DDevice->Clear(0, nullptr, CLEAR_ZBUFFER, 0, 1.0f, 0);
    // Depths are written, never blended: blending would add each surface's depth to
    // what lies behind it.
    g_pD3DDevice->SetRenderState(RS_ALPHABLENDENABLE, 0);
    GfxEffect* fog = g_renderSet.effects[g_renderSet.renderMode];
    fog->SetTechnique("Clear");
    const Vec4 clearColor = {DEPTH_CLEAR_VALUE, 0.0f, 0.0f, 1.0f};
    fog->SetVector("ClearColor", &clearColor);
    DrawFullScreen(fog);
    fog->SetTechnique("DepthScene");
}

// One surface of the fog volume into a depth texture: its depth, cut short by the
// scene's, where the depth test lets the face through.
static void DrawFogSurface(GfxEffect* fog, GfxTexture* target, const char* technique,
                           float clearDepth) {
    SetTextureTarget(target, g_camera.backDepth);
    fog->SetTexture("DepthTex0", g_renderSet.depthTexture[0]);
    fog->SetTechnique(technique);
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0, clearDepth, 0);
    if (g_fogVolumeModel.mesh)
        DrawMeshThroughEffect(fog, g_fogVolumeModel.mesh);
}

// The depth pass left the last object's world in the effect; the volume is drawn
// where its mesh lies.
static void SetFogVolumeTransforms(GfxEffect* fog) {
    Matrix identity;
    MatrixIdentity(&identity);
    SetEffectTransforms(fog, identity);
}

// The fog over the screen through the given composite technique.
static void DrawFogOverScreen(GfxEffect* fog, const char* technique) {
    SetScreenTarget();
    g_pD3DDevice->SetRenderState(RS_ALPHABLENDENABLE, 1);
    fog->SetTechnique(technique);
    fog->SetFloat("FogScale", FOG_SCALE);
    const Vec4 fogColor = {FOG_GREY, FOG_GREY, FOG_GREY, 1.0f};
    fog->SetVector("FogColor", &fogColor);
    DrawFullScreen(fog);
}

void RenderFog() {
    GfxEffect* fog = g_renderSet.effects[RENDER_MODE_FOG];
    if (!fog || g_renderSet.passCount < 2)
        return;
    SetFogVolumeTransforms(fog);
    // The far surface: with the depth cleared to 0 and the test "greater", the
    // farthest back face of each pixel wins. Then the nearest front face.
    DrawFogSurface(fog, g_renderSet.depthTexture[1], "DepthFogCW", 0.0f);
    DrawFogSurface(fog, g_renderSet.depthTexture[2], "DepthFogCCW", 1.0f);
    fog->SetTexture("DepthTex0", g_renderSet.depthTexture[1]);
    fog->SetTexture("DepthTex1", g_renderSet.depthTexture[2]);
    DrawFogOverScreen(fog, "Fog");
}

void DrawSceneColorAndTerrainDepth() {
    g_scenePassKind = SCENE_PASS_COLOR;
    DrawTerrain();
    // The objects on the terrain give their depths in a pass of their own, drawn as the
    // separate depth pass draws them: the markers and the cursor a turn further on,
    // only the opaque texels of the sprites.
    g_pD3DDevice->SetRenderState(RS_COLORWRITEENABLE1, 0);
    DrawObjectsOnTerrain();
    g_pD3DDevice->SetRenderState(RS_COLORWRITEENABLE1, 0xF);
    g_pD3DDevice->SetRenderTarget(1, nullptr);
}

void DrawObjectDepthsOverTerrain() {
    SetTextureTarget(g_renderSet.depthTexture[0], nullptr);
    // No depth buffer: the blend keeps the smaller of the depth drawn and the one
    // there, so the nearest surface wins as the depth test would have it.
    g_pD3DDevice->SetRenderState(RS_ZENABLE, 0);
    g_pD3DDevice->SetRenderState(RS_ALPHABLENDENABLE, 1);
    g_pD3DDevice->SetRenderState(RS_BLENDOP, BLENDOP_MIN);
    g_renderSet.effects[RENDER_MODE_FOG]->SetTechnique("DepthScene");
    g_scenePassKind = SCENE_PASS_DEPTH;
    DrawObjectsOnTerrain();
    g_scenePassKind = SCENE_PASS_COLOR;
    g_pD3DDevice->SetRenderState(RS_BLENDOP, BLENDOP_ADD);
    g_pD3DDevice->SetRenderState(RS_ZENABLE, 1);
}

void DrawFogVolumeFaces() {
    GfxEffect* fog = g_renderSet.effects[RENDER_MODE_FOG];
    // No depth test here: the blend keeps the larger value of every channel.
    SetTextureTarget(g_renderSet.fogFaceTexture, nullptr);
    const float frontClear = g_renderSet.integerDepthFormat ? 0.0f : -HALF_FLOAT_MAX;
    g_pD3DDevice->ClearRenderTarget(0, {0.0f, frontClear, 0.0f, 0.0f});
    SetFogVolumeTransforms(fog);
    fog->SetTexture("DepthTex0", g_renderSet.depthTexture[0]);
    fog->SetFloat("FrontDepthBase", FrontDepthBase());
    fog->SetTechnique("DepthFogFaces");
    if (g_fogVolumeModel.mesh)
        DrawMeshThroughEffect(fog, g_fogVolumeModel.mesh);
}

void DrawFogFromFaces() {
    GfxEffect* fog = g_renderSet.effects[RENDER_MODE_FOG];
    fog->SetTexture("DepthTex0", g_renderSet.fogFaceTexture);
    DrawFogOverScreen(fog, "FogFaces");
}

void DrawFadeFrame() {
    SetScreenTarget();
    GfxEffect* basic = g_renderSet.effects[RENDER_MODE_FADE];
    if (!basic)
        return;
    // The image the scene fades with is opaque black: a constant of the technique
    // rather than a cleared texture.
    basic->SetFloat("Alpha", g_renderSet.fadeAlpha);
    basic->SetTechnique("FadeToBlack");
    basic->SetTexture("Tex0", g_renderSet.sceneTexture[0]);
    DrawFullScreen(basic);
}

void RenderField() {
    BeginScenePasses();
    if (CombinedFogFrame()) {
        DrawSceneColorAndTerrainDepth();
        DrawObjectDepthsOverTerrain();
        DrawFogVolumeFaces();
        DrawFogFromFaces();
        return;
    }
    for (int i = 0; i < g_renderSet.passCount; ++i) {
        if (i > 0)
            BeginDepthPass();
        g_scenePassKind = i > 0 ? SCENE_PASS_DEPTH : SCENE_PASS_COLOR;
        DrawSceneObjects();
    }
    g_scenePassKind = SCENE_PASS_COLOR;
    if (g_renderSet.renderMode == RENDER_MODE_FOG) {
        RenderFog();
    } else if (FadeRunning()) {
        if (UpdateMapChange()) {
            DrawFadeFrame();
        } else {
            // The change has just ended: this frame shows only the screen's clear
            // colour, and the screen is the target again for the next frame's clear.
            SetScreenTarget();
        }
    }
}
