// Frames per second of (a) a frame with the draw load of a field frame in fog mode
// with the scenario overlay, (b) its fill-rate floor: as many plain full-screen
// textured quads as the full-screen layers (a) touches, and (c) a bare frame.
//
// Full-screen layers of (a): the terrain in the scene pass, the clear quad and the
// terrain again in the depth pass, the fog composite, and the two fog-volume faces
// (together about one screen): 5.
#include "render/camera.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"

#include "platform/gfx/mesh.h"
#include "platform/gfx/texture_loader.h"

#include "bmp_image.h"
#include "render_device.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int FLOOR_LAYERS = 5;
constexpr int GRID = 22; // 22 × 22 cells, 968 triangles

GfxTexture* g_texture = nullptr;
GfxMesh* g_terrain = nullptr;
GfxMesh* g_volume = nullptr;
std::string g_page;

std::uint32_t Checker(int x, int y) {
    return ((x / 8 + y / 8) % 2) ? 0xC08040u : 0x406080u;
}

GfxTexture* MakeTexture() {
    return TextureFromBmp(MakeBmp24(64, 64, Checker), FMT_A1R5G5B5);
}

// A ground grid in front of the camera that fills the screen, and a fog box.
GfxMesh* MakeGrid(int cells, float size, float y) {
    const int n = cells + 1;
    GfxMesh* mesh = nullptr;
    CreateMeshFVF(cells * cells * 2, n * n, MESH_SYSTEMMEM, FVF_MODEL_VERTEX, g_pD3DDevice, &mesh);
    float* v = nullptr;
    std::uint16_t* idx = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            float* p = v + (r * n + c) * 8;
            p[0] = (c - cells / 2.0f) * size / cells;
            p[1] = y;
            p[2] = (r - cells / 2.0f) * size / cells;
            p[3] = 0;
            p[4] = 1;
            p[5] = 0;
            p[6] = static_cast<float>(c);
            p[7] = static_cast<float>(r);
        }
    }
    mesh->UnlockVertexBuffer();
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&idx));
    for (int r = 0; r < cells; ++r) {
        for (int c = 0; c < cells; ++c) {
            const auto a = static_cast<std::uint16_t>(r * n + c);
            const auto b = static_cast<std::uint16_t>(a + 1);
            const auto d = static_cast<std::uint16_t>(a + n);
            const auto e = static_cast<std::uint16_t>(d + 1);
            const std::uint16_t tri[6] = {a, d, e, a, e, b};
            std::memcpy(idx + (r * cells + c) * 6, tri, sizeof(tri));
        }
    }
    mesh->UnlockIndexBuffer();
    return mesh;
}

bool Setup() {
    static int s_ready = -1;
    if (s_ready >= 0)
        return s_ready == 1;
    s_ready = OpenRenderDevice("bench", false);
    if (!s_ready)
        return false;
    CreateMessageFont();
    g_texture = MakeTexture();
    g_terrain = MakeGrid(GRID, 60.0f, 0.0f);
    g_volume = MakeGrid(2, 16.0f, 0.5f);
    const Vec3 eye = {0, 30, -30}, at = {0, 0, 0}, up = {0, 1, 0};
    Matrix view, projection;
    MatrixLookAtLH(&view, &eye, &at, &up);
    MatrixPerspectiveFovLH(&projection, 0.6f, 1.3333334f, 1, 200);
    g_pD3DDevice->SetTransform(TS_VIEW, &view);
    g_pD3DDevice->SetTransform(TS_PROJECTION, &projection);
    const Vec3 light = {-1, -10, -1};
    SetDirectionalLight(1, 1, 1, &light);
    Material material = {};
    material.Diffuse = material.Ambient = {1, 1, 1, 1};
    g_pD3DDevice->SetMaterial(&material);
    // A full page: 14 lines of 24 full-width characters.
    for (int line = 0; line < 14; ++line) {
        for (int i = 0; i < 24; ++i)
            g_page += "\x82\xa0";
        g_page += "\n";
    }
    return s_ready == 1;
}

void BeginFrame() {
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464u, 1.0f, 0);
    g_pD3DDevice->BeginScene();
    g_pD3DDevice->SetFVF(FVF_SCREEN_VERTEX);
}

void EndFrame() {
    g_pD3DDevice->EndScene();
    g_pD3DDevice->Present();
    WaitForGpu();
}

void Target(GfxTexture* texture) {
    GfxSurface* surface = nullptr;
    texture->GetSurfaceLevel(0, &surface);
    g_pD3DDevice->SetRenderTarget(0, surface);
    g_pD3DDevice->SetDepthStencilSurface(g_camera.backDepth);
}

void DrawVolume(const char* technique, float clearDepth, GfxTexture* target) {
    Target(target);
    FogEffect->SetTechnique(technique);
    FogEffect->SetTexture("DepthTex0", g_renderSet.depthTexture[0]);
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0, clearDepth, 0);
    std::uint32_t passes = 0;
    FogEffect->Begin(&passes, 0);
    FogEffect->BeginPass(0);
    g_volume->DrawSubset(0);
    FogEffect->EndPass();
    FogEffect->End();
}

void FieldFrame() {
    BeginFrame();
    Matrix identity, view, projection, wvp;
    MatrixIdentity(&identity);
    g_pD3DDevice->GetTransform(TS_VIEW, &view);
    g_pD3DDevice->GetTransform(TS_PROJECTION, &projection);
    MatrixMultiply(&wvp, &view, &projection);
    FogEffect->SetMatrix("World", &identity);
    FogEffect->SetMatrix("WView", &view);
    FogEffect->SetMatrix("WVProj", &wvp);
    FogEffect->SetFloat("IntScale", 1.0f);
    ScreenQuad sprite;
    SetQuad(&sprite, 255, 0, 0, 32, 48, 0, 0, 16, 16);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            Target(g_renderSet.depthTexture[0]);
            g_pD3DDevice->Clear(0, nullptr, CLEAR_ZBUFFER, 0, 1.0f, 0);
            const Vec4 clear = {10000, 0, 0, 1};
            FogEffect->SetTechnique("Clear");
            FogEffect->SetVector("ClearColor", &clear);
            DrawScreenEffectQuad(FogEffect, 0, 0, 1024, 768, 0, 0, 1, 1);
            FogEffect->SetTechnique("DepthScene");
            std::uint32_t passes = 0;
            FogEffect->Begin(&passes, 0);
            FogEffect->BeginPass(0);
            g_terrain->DrawSubset(0);
            FogEffect->EndPass();
            FogEffect->End();
        } else {
            g_pD3DDevice->SetTransform(TS_WORLD, &identity);
            g_pD3DDevice->SetTexture(0, g_texture);
            g_terrain->DrawSubset(0);
        }
        g_pD3DDevice->SetFVF(FVF_SCREEN_VERTEX);
        for (int i = 0; i < 7; ++i) {
            MoveQuad(&sprite, 100, 40, 0);
            DrawQuad(&sprite, g_texture);
            MoveQuad(&sprite, -100, -40, 0);
        }
    }
    DrawVolume("DepthFogCW", 0.0f, g_renderSet.depthTexture[1]);
    DrawVolume("DepthFogCCW", 1.0f, g_renderSet.depthTexture[2]);
    g_pD3DDevice->SetRenderTarget(0, g_camera.backBuffer);
    g_pD3DDevice->SetDepthStencilSurface(g_camera.backDepth);
    const Vec4 fogColor = {0.3f, 0.3f, 0.3f, 1.0f};
    FogEffect->SetTechnique("Fog");
    FogEffect->SetTexture("DepthTex0", g_renderSet.depthTexture[1]);
    FogEffect->SetTexture("DepthTex1", g_renderSet.depthTexture[2]);
    FogEffect->SetFloat("FogScale", 0.2f);
    FogEffect->SetVector("FogColor", &fogColor);
    DrawScreenEffectQuad(FogEffect, 0, 0, 1024, 768, 0, 0, 1, 1);
    g_pD3DDevice->SetFVF(FVF_SCREEN_VERTEX);
    const IntRect shadow = {52, 52, 976, 720}, text = {50, 50, 974, 718};
    const int length = static_cast<int>(g_page.size());
    g_pFont->DrawText(g_page.data(), length, &shadow, DT_TOPLEFT, 0xFF000000u);
    g_pFont->DrawText(g_page.data(), length, &text, DT_TOPLEFT, 0xFFFFFFFFu);
    ScreenQuad icon;
    SetQuad(&icon, 255, 900, 600, 948, 648, 0, 0, 64, 64);
    DrawQuad(&icon, g_texture);
    EndFrame();
}

void FillRateFloorFrame() {
    BeginFrame();
    ScreenQuad quad;
    SetQuad(&quad, 255, 0, 0, 1024, 768, 0, 0, 64, 64);
    for (int i = 0; i < FLOOR_LAYERS; ++i)
        DrawQuad(&quad, g_texture);
    EndFrame();
}

void BM_FieldLikeFrame(benchmark::State& state) {
    if (!Setup()) {
        state.SkipWithError("no OpenGL 3.3 device");
        return;
    }
    for (auto _ : state)
        FieldFrame();
}

void BM_FillRateFloor(benchmark::State& state) {
    if (!Setup()) {
        state.SkipWithError("no OpenGL 3.3 device");
        return;
    }
    for (auto _ : state)
        FillRateFloorFrame();
}

void BM_BareFrame(benchmark::State& state) {
    if (!Setup()) {
        state.SkipWithError("no OpenGL 3.3 device");
        return;
    }
    for (auto _ : state) {
        BeginFrame();
        EndFrame();
    }
}

} // namespace

BENCHMARK(BM_FieldLikeFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_FillRateFloor)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
