// The fog composite and the fog volume's depth passes, on the float and the integer
// depth formats.
#include "gfx_fixture.h"

#include "render/camera.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"

#include "platform/gfx/mesh.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct DepthPath {
    std::uint32_t format;
    float intScale;
};

class FogTest : public ::testing::TestWithParam<DepthPath> {
  protected:
    void SetUp() override {
        if (!InitGfxFixture())
            GTEST_SKIP() << "no OpenGL 3.3 device";
        for (GfxTexture*& t : textures) {
            ASSERT_EQ(g_pD3DDevice->CreateTexture(1024, 768, 1, USAGE_RENDERTARGET,
                                                  GetParam().format, POOL_DEFAULT, &t),
                      S_OK);
        }
    }
    void TearDown() override {
        for (GfxTexture* t : textures) {
            if (t)
                t->Release();
        }
    }

    void Target(GfxTexture* texture) {
        GfxSurface* surface = nullptr;
        texture->GetSurfaceLevel(0, &surface);
        g_pD3DDevice->SetRenderTarget(0, surface);
        g_pD3DDevice->SetDepthStencilSurface(g_camera.backDepth);
    }

    // Every pixel of the texture becomes (red × IntScale, mark), through the Clear
    // technique, which scales all four channels.
    void Fill(GfxTexture* texture, float red, float mark) {
        Target(texture);
        const float scale = GetParam().intScale;
        const Vec4 color = {red, mark / scale, 0.0f, 1.0f / scale};
        FogEffect->SetTechnique("Clear");
        FogEffect->SetVector("ClearColor", &color);
        FogEffect->SetFloat("IntScale", GetParam().intScale);
        DrawScreenEffectQuad(FogEffect, 0, 0, 1024, 768, 0, 0, 1, 1);
    }

    // The fog over a screen of grey 100; returns the red of a pixel.
    const std::uint8_t* Composite(GfxTexture* back, GfxTexture* front) {
        g_pD3DDevice->SetRenderTarget(0, g_camera.backBuffer);
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464u, 1.0f, 0);
        const Vec4 fogColor = {0.3f, 0.3f, 0.3f, 1.0f};
        FogEffect->SetTechnique("Fog");
        FogEffect->SetTexture("DepthTex0", back);
        FogEffect->SetTexture("DepthTex1", front);
        FogEffect->SetFloat("FogScale", 0.2f);
        FogEffect->SetVector("FogColor", &fogColor);
        FogEffect->SetFloat("IntScale", GetParam().intScale);
        DrawScreenEffectQuad(FogEffect, 0, 0, 1024, 768, 0, 0, 1, 1);
        return PresentFrame();
    }

    GfxTexture* textures[3] = {};
};

// Screen = FogColor.rgb + screen × (1 − a): 76.5 + 100 × (1 − a).
int ExpectedRed(float a) {
    return static_cast<int>(76.5f + 100.0f * (1.0f - a) + 0.5f);
}

} // namespace

TEST_P(FogTest, CompositeFollowsThicknessAndWrittenMarks) {
    struct Case {
        const char* what;
        float back, backMark, front, frontMark;
        float alpha;
    };
    const Case cases[] = {
        {"2.5 units of fog", 12.5f, 1, 10, 1, 0.5f},
        {"5 units or more", 20, 1, 10, 1, 1.0f},
        {"both faces at one depth", 10, 1, 10, 1, 0.0f},
        {"only the back face", 12.5f, 1, 10, 0, 0.0f},
        {"faces reversed", 10, 1, 12.5f, 1, 0.0f},
    };
    for (const Case& c : cases) {
        Fill(textures[1], c.back, c.backMark);
        Fill(textures[2], c.front, c.frontMark);
        const std::uint8_t* frame = Composite(textures[1], textures[2]);
        EXPECT_NEAR(PixelAt(frame, 512, 384).r, ExpectedRed(c.alpha), 2) << c.what;
        EXPECT_NEAR(PixelAt(frame, 0, 767).g, ExpectedRed(c.alpha), 2) << c.what;
    }
}

namespace {

// A closed box whose faces are clockwise seen from outside.
GfxMesh* MakeBox(Vec3 lo, Vec3 hi) {
    GfxMesh* mesh = nullptr;
    if (FAILED(CreateMeshFVF(12, 24, MESH_SYSTEMMEM, FVF_MODEL_VERTEX, g_pD3DDevice, &mesh)))
        return nullptr;
    float* v = nullptr;
    std::uint16_t* idx = nullptr;
    mesh->LockVertexBuffer(LOCK_DISCARD, reinterpret_cast<void**>(&v));
    mesh->LockIndexBuffer(LOCK_DISCARD, reinterpret_cast<void**>(&idx));
    const Vec3 c = {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    const Vec3 h = {(hi.x - lo.x) / 2, (hi.y - lo.y) / 2, (hi.z - lo.z) / 2};
    const Vec3 normals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (int f = 0; f < 6; ++f) {
        const Vec3 n = normals[f];
        const Vec3 up = n.y != 0 ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        const Vec3 fwd = {-n.x, -n.y, -n.z};
        const Vec3 right = {up.y * fwd.z - up.z * fwd.y, up.z * fwd.x - up.x * fwd.z,
                            up.x * fwd.y - up.y * fwd.x};
        const float corner[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
        for (int k = 0; k < 4; ++k) {
            float* out = v + (f * 4 + k) * 8;
            std::memset(out, 0, 32);
            out[0] = c.x + (n.x + right.x * corner[k][0] + up.x * corner[k][1]) * h.x;
            out[1] = c.y + (n.y + right.y * corner[k][0] + up.y * corner[k][1]) * h.y;
            out[2] = c.z + (n.z + right.z * corner[k][0] + up.z * corner[k][1]) * h.z;
        }
        const std::uint16_t base = static_cast<std::uint16_t>(f * 4);
        const std::uint16_t tri[6] = {0, 1, 2, 0, 2, 3};
        for (int k = 0; k < 6; ++k)
            idx[f * 6 + k] = static_cast<std::uint16_t>(base + tri[k]);
    }
    mesh->UnlockVertexBuffer();
    mesh->UnlockIndexBuffer();
    return mesh;
}

} // namespace

// The clockwise pass keeps the far faces and the counter-clockwise one the near faces:
// a box from view depth 10 to 14 gives 4 units of fog in its middle and none outside.
TEST_P(FogTest, VolumePassesRecordFarAndNearFaces) {
    GfxMesh* box = MakeBox({-2, -2, 10}, {2, 2, 14});
    ASSERT_NE(box, nullptr);
    Matrix identity, projection;
    MatrixIdentity(&identity);
    MatrixPerspectiveFovLH(&projection, 0.5f, 4.0f / 3.0f, 1.0f, 200.0f);
    FogEffect->SetMatrix("World", &identity);
    FogEffect->SetMatrix("WView", &identity);
    FogEffect->SetMatrix("WVProj", &projection);
    Fill(textures[0], 10000, 0);

    const char* techniques[2] = {"DepthFogCW", "DepthFogCCW"};
    const float clearDepth[2] = {0.0f, 1.0f};
    for (int i = 0; i < 2; ++i) {
        Target(textures[1 + i]);
        FogEffect->SetTechnique(techniques[i]);
        FogEffect->SetTexture("DepthTex0", textures[0]);
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0, clearDepth[i], 0);
        std::uint32_t passes = 0;
        FogEffect->Begin(&passes, 0);
        FogEffect->BeginPass(0);
        box->DrawSubset(0);
        FogEffect->EndPass();
        FogEffect->End();
    }
    const std::uint8_t* frame = Composite(textures[1], textures[2]);
    EXPECT_NEAR(PixelAt(frame, 512, 384).r, ExpectedRed(0.8f), 3);
    EXPECT_NEAR(PixelAt(frame, 20, 20).r, ExpectedRed(0.0f), 2);
    box->Release();
}

INSTANTIATE_TEST_SUITE_P(DepthFormats, FogTest,
                         ::testing::Values(DepthPath{FMT_G16R16F, 1.0f},
                                           DepthPath{FMT_G16R16, 0.01f}),
                         [](const ::testing::TestParamInfo<DepthPath>& info) {
                             return info.param.format == FMT_G16R16F ? std::string("Float")
                                                                     : std::string("Integer");
                         });
