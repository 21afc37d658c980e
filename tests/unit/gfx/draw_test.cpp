// Pixel checks of what the device and the screen quads draw, on headless frames.
#include "gfx_fixture.h"

#include "render/camera.h"
#include "render/model.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"

#include "platform/gfx/mesh.h"
#include "platform/gfx/texture_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

class DrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InitGfxFixture())
            GTEST_SKIP() << "no OpenGL 3.3 device";
        g_pD3DDevice->SetRenderTarget(0, g_camera.backBuffer);
        g_pD3DDevice->SetDepthStencilSurface(g_camera.backDepth);
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464u, 1.0f, 0);
        g_pD3DDevice->SetFVF(FVF_SCREEN_VERTEX);
    }
};

void ExpectNear(const Pixel& p, int r, int g, int b, int tolerance, const char* what) {
    EXPECT_NEAR(p.r, r, tolerance) << what;
    EXPECT_NEAR(p.g, g, tolerance) << what;
    EXPECT_NEAR(p.b, b, tolerance) << what;
}

// One texture over the given screen rectangle through the effect's Fade at Alpha 1.
void DrawThroughFade(GfxTexture* texture, float left, float top, float right, float bottom) {
    BasicEffect->SetTechnique("Fade");
    BasicEffect->SetTexture("Tex0", texture);
    BasicEffect->SetTexture("Tex1", texture);
    BasicEffect->SetFloat("Alpha", 1.0f);
    DrawScreenEffectQuad(BasicEffect, left, top, right, bottom, 0, 0, 1, 1);
}

// Left half magenta, right half: red on top, blue below.
std::uint32_t KeyedTexel(int x, int y) {
    if (x < 8)
        return 0xFF00FF;
    return y < 8 ? 0xFF0000 : 0x0000FF;
}

} // namespace

TEST_F(DrawTest, ColourKeyedQuadIsTransparentWhereMagentaAndTopRowFirst) {
    for (std::uint32_t format : {FMT_A1R5G5B5, FMT_A8R8G8B8}) {
        GfxTexture* texture = TextureFromBmp(MakeBmp24(16, 16, KeyedTexel), format);
        ASSERT_NE(texture, nullptr);
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF00FF00u, 1.0f, 0);
        ScreenQuad quad;
        // Alpha 64 in the quad's colour: the texture alone decides the alpha.
        SetQuad(&quad, 64, 100, 100, 356, 356, 0, 0, 64, 64);
        DrawQuad(&quad, texture);
        const std::uint8_t* frame = PresentFrame();
        ASSERT_NE(frame, nullptr);
        ExpectNear(PixelAt(frame, 150, 200), 0, 255, 0, 2, "magenta half shows the clear");
        ExpectNear(PixelAt(frame, 300, 150), 255, 0, 0, 2, "top right is red");
        ExpectNear(PixelAt(frame, 300, 300), 0, 0, 255, 2, "bottom right is blue");
        ExpectNear(PixelAt(frame, 50, 50), 0, 255, 0, 0, "outside the quad");
        texture->Release();
    }
}

TEST_F(DrawTest, FullScreenEffectQuadCoversExactlyTheScreen) {
    GfxTexture* white =
        TextureFromBmp(MakeBmp24(4, 4, [](int, int) { return 0xFFFFFFu; }), FMT_A8R8G8B8);
    ASSERT_NE(white, nullptr);
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    DrawThroughFade(white, 0, 0, 1024, 768);
    const std::uint8_t* frame = PresentFrame();
    int notWhite = 0;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x)
            notWhite += PixelAt(frame, x, y).r != 255;
    }
    EXPECT_EQ(notWhite, 0);
    white->Release();
}

TEST_F(DrawTest, FadeAtHalfAlphaGivesTheMidpoint) {
    GfxTexture* a = g_renderSet.sceneTexture[0];
    GfxTexture* b = g_renderSet.sceneTexture[1];
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    GfxSurface* surface = nullptr;
    a->GetSurfaceLevel(0, &surface);
    g_pD3DDevice->SetRenderTarget(0, surface);
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET, 0xFFC80000u, 1.0f, 0);
    b->GetSurfaceLevel(0, &surface);
    g_pD3DDevice->SetRenderTarget(0, surface);
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET, 0xFF006432u, 1.0f, 0);
    g_pD3DDevice->SetRenderTarget(0, g_camera.backBuffer);
    BasicEffect->SetTechnique("Fade");
    BasicEffect->SetTexture("Tex0", a);
    BasicEffect->SetTexture("Tex1", b);
    BasicEffect->SetFloat("Alpha", 0.5f);
    DrawScreenEffectQuad(BasicEffect, 0, 0, 1024, 768, 0, 0, 1, 1);
    const std::uint8_t* frame = PresentFrame();
    ExpectNear(PixelAt(frame, 10, 10), 100, 50, 25, 2, "top-left");
    ExpectNear(PixelAt(frame, 1000, 700), 100, 50, 25, 2, "bottom-right");
}

TEST_F(DrawTest, EffectEndRestoresTheStatesItsPassesChanged) {
    std::uint32_t zEnable = 0, zFunc = 0;
    FogEffect->SetTechnique("DepthFogCW");
    std::uint32_t passes = 0;
    FogEffect->Begin(&passes, 0);
    EXPECT_EQ(passes, 1u);
    FogEffect->BeginPass(0);
    g_pD3DDevice->GetRenderState(RS_ZFUNC, &zFunc);
    EXPECT_EQ(zFunc, CMP_GREATER);
    FogEffect->EndPass();
    FogEffect->End();
    g_pD3DDevice->GetRenderState(RS_ZFUNC, &zFunc);
    g_pD3DDevice->GetRenderState(RS_ZENABLE, &zEnable);
    std::uint32_t cull = 0;
    g_pD3DDevice->GetRenderState(RS_CULLMODE, &cull);
    EXPECT_EQ(zFunc, CMP_LESSEQUAL);
    EXPECT_EQ(cull, CULL_NONE);
    EXPECT_EQ(zEnable, 1u);
    EXPECT_EQ(FogEffect->SetTechnique("NoSuchTechnique"), E_FAIL);
    EXPECT_EQ(FogEffect->SetFloat("NoSuchParameter", 1.0f), E_FAIL);
}

// A 2×1 texture magnified over 512×256 pixels, sampled three eighths of the way across:
// the fixed-function stage samples the nearest texel, an effect sampler blends the two
// (75% left at that point). The 16-bit format keeps five bits a channel: 100 reads 99
// and 200 reads 197.
TEST_F(DrawTest, StageZeroSamplesPointsEffectsFilterAndSixteenBitTexelsKeepFiveBits) {
    struct Case {
        std::uint32_t format;
        int left, right;
    };
    for (const Case& c : {Case{FMT_A8R8G8B8, 100, 200}, Case{FMT_A1R5G5B5, 99, 197}}) {
        GfxTexture* texture = TextureFromBmp(
            MakeBmp24(2, 1, [](int x, int) { return x == 0 ? 0x640000u : 0x0000C8u; }), c.format);
        ASSERT_NE(texture, nullptr);
        ScreenQuad quad;
        SetQuad(&quad, 255, 0, 0, 512, 256, 0, 0, 64, 64);
        DrawQuad(&quad, texture);
        DrawThroughFade(texture, 0, 256, 512, 512);
        const std::uint8_t* frame = PresentFrame();
        ExpectNear(PixelAt(frame, 64, 128), c.left, 0, 0, 1, "fixed stage, left texel");
        ExpectNear(PixelAt(frame, 448, 128), 0, 0, c.right, 1, "fixed stage, right texel");
        ExpectNear(PixelAt(frame, 192, 128), c.left, 0, 0, 1, "fixed stage, no blend");
        ExpectNear(PixelAt(frame, 192, 384), c.left * 3 / 4, 0, c.right / 4, 2,
                   "effect sampler blends");
        texture->Release();
    }
}

// The streaming buffer holds 1 MiB: a strip of 37,447 triangles of 28-byte screen
// vertices, or 32,766 of 32-byte model vertices. A strip that fills it draws, also
// after a small draw has used the buffer's start; one triangle more is refused before
// it reaches GL. The screen strip is a red square, then vertices piled on its corner.
TEST_F(DrawTest, DrawFromMemoryTakesWhatTheStreamingBufferHoldsAndRefusesMore) {
    constexpr std::uint32_t MOST_SCREEN = (1u << 20) / sizeof(ScreenVertex) - 2;
    constexpr std::uint32_t MOST_MODEL = (1u << 20) / sizeof(ModelVertex) - 2;
    ASSERT_EQ(MOST_SCREEN, 37447u);
    std::vector<ScreenVertex> strip(MOST_SCREEN + 3,
                                    ScreenVertex{200, 200, 0.5f, 1.0f, 0xFFFF0000u, 0, 0});
    strip[0].x = 100, strip[0].y = 100;
    strip[1].y = 100;
    strip[2].x = 100;
    g_pD3DDevice->SetTexture(0, nullptr);
    const std::uint32_t stride = sizeof(ScreenVertex);
    ASSERT_EQ(g_pD3DDevice->DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, strip.data(), stride), S_OK);

    struct Case {
        std::uint32_t primitives;
        HRESULT result;
        Pixel square; // red where drawn, the grey clear where refused
    };
    for (const Case& c : {Case{MOST_SCREEN, S_OK, {255, 0, 0, 255}},
                          Case{MOST_SCREEN + 1, E_FAIL, {100, 100, 100, 255}}}) {
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464u, 1.0f, 0);
        EXPECT_EQ(
            g_pD3DDevice->DrawPrimitiveUP(PT_TRIANGLESTRIP, c.primitives, strip.data(), stride),
            c.result)
            << c.primitives;
        ExpectNear(PixelAt(PresentFrame(), 150, 150), c.square.r, c.square.g, c.square.b, 0,
                   "inside the square");
    }

    std::vector<ModelVertex> model(MOST_MODEL + 3, ModelVertex{});
    g_pD3DDevice->SetFVF(FVF_MODEL_VERTEX);
    EXPECT_EQ(g_pD3DDevice->DrawPrimitiveUP(PT_TRIANGLESTRIP, MOST_MODEL, model.data(),
                                            sizeof(ModelVertex)),
              S_OK);
    EXPECT_EQ(g_pD3DDevice->DrawPrimitiveUP(PT_TRIANGLESTRIP, MOST_MODEL + 1, model.data(),
                                            sizeof(ModelVertex)),
              E_FAIL);
}

// A mesh whose third face names a vertex it does not have. The two sound faces fill the
// left half; the broken one, with its two real corners on the right, is drawn as nothing
// (read as it stands, its missing corner would come from outside the vertex buffer).
// The game's own copy of the faces keeps what it wrote.
TEST_F(DrawTest, MeshFaceNamingAMissingVertexIsDrawnAsNothing) {
    GfxMesh* mesh = nullptr;
    ASSERT_EQ(CreateMeshFVF(3, 6, MESH_SYSTEMMEM, FVF_MODEL_VERTEX, g_pD3DDevice, &mesh), S_OK);
    GfxModelVertex* vertices = nullptr;
    std::uint16_t* faces = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&vertices));
    const float corners[6][2] = {{-1, -1}, {-1, 1}, {0, 1}, {0, -1}, {1, 1}, {1, -1}};
    for (int i = 0; i < 6; ++i)
        vertices[i] = GfxModelVertex{corners[i][0], corners[i][1], 0.5f, 0, 0, -1, 0, 0};
    mesh->UnlockVertexBuffer();
    const std::uint16_t written[9] = {0, 1, 2, 0, 2, 3, 4, 5, 9};
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&faces));
    std::copy(written, written + 9, faces);
    mesh->UnlockIndexBuffer();

    GfxTexture* white =
        TextureFromBmp(MakeBmp24(4, 4, [](int, int) { return 0xFFFFFFu; }), FMT_A8R8G8B8);
    ASSERT_NE(white, nullptr);
    Matrix identity;
    MatrixIdentity(&identity);
    const Vec4 ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    const Vec4 red = {1.0f, 0.0f, 0.0f, 1.0f};
    BasicEffect->SetTechnique("Basic");
    BasicEffect->SetMatrix("World", &identity);
    BasicEffect->SetMatrix("WVProj", &identity);
    BasicEffect->SetVector("Ambient", &ambient);
    BasicEffect->SetVector("Diffuse", &red);
    BasicEffect->SetTexture("MeshTex", white);
    std::uint32_t passes = 0;
    BasicEffect->Begin(&passes, 0);
    BasicEffect->BeginPass(0);
    EXPECT_EQ(mesh->DrawSubset(0), S_OK);
    BasicEffect->EndPass();
    BasicEffect->End();
    const std::uint8_t* frame = PresentFrame();
    ExpectNear(PixelAt(frame, 256, 384), 255, 0, 0, 0, "the sound faces");
    ExpectNear(PixelAt(frame, 900, 384), 100, 100, 100, 0, "the broken face");
    EXPECT_TRUE(std::equal(written, written + 9, faces));
    white->Release();
    mesh->Release();
}
