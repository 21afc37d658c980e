// The device set-up: fixed states, targets with the depth-format fallback, and the
// scenario overlay drawn over them.
#include "bmp_image.h"

#include "core/frame_state.h"
#include "core/input_state.h"
#include "render/assets.h"
#include "render/camera.h"
#include "render/render_setup.h"
#include "scenario/interpreter.h"
#include "scenario/links.h"
#include "scenario/picture_layers.h"
#include "scene/overlay.h"

#include "platform/gfx/texture_loader.h"
#include "platform/system/window_system.h"
#include "platform/window/window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool InitDevice() {
    static int s_ready = -1;
    if (s_ready < 0) {
        s_ready =
            InitWindowSystem() && CreatePlatformWindow("test", 1024, 768) && InitDirect3D() == S_OK;
        SetPresentCapture(true);
    }
    return s_ready == 1;
}

GfxTexture* SolidTexture(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::uint32_t rgb = static_cast<std::uint32_t>(r) << 16 | g << 8 | b;
    return TextureFromBmp(MakeBmp24(2, 2, [rgb](int, int) { return rgb; }), FMT_A1R5G5B5);
}

int RedAt(const std::uint8_t* frame, int x, int y) {
    return frame[(y * 1024 + x) * 4];
}
int GreenAt(const std::uint8_t* frame, int x, int y) {
    return frame[(y * 1024 + x) * 4 + 1];
}

} // namespace

TEST(RenderSetup, FixedStatesAndDepthFormatFallback) {
    if (!InitDevice())
        GTEST_SKIP() << "no OpenGL 3.3 device";
    struct Case {
        bool refuseFloat;
        std::uint8_t integerDepth;
        std::uint32_t format;
    };
    for (const Case& c : {Case{false, 0, FMT_G16R16F}, Case{true, 1, FMT_G16R16}}) {
        GfxDeviceSetup setup;
        setup.floatTargets = !c.refuseFloat;
        SetGfxDeviceSetup(setup);
        InitRenderStates();
        EXPECT_EQ(g_renderSet.integerDepthFormat, c.integerDepth);
        for (GfxTexture* texture : g_renderSet.depthTexture) {
            ASSERT_NE(texture, nullptr);
            SurfaceDesc desc = {};
            texture->GetLevelDesc(0, &desc);
            EXPECT_EQ(desc.Format, c.format);
            EXPECT_EQ(desc.Width, 1024u);
            EXPECT_EQ(desc.Height, 768u);
        }
    }
    SetGfxDeviceSetup({});
    EXPECT_NE(g_renderSet.sceneTexture[1], nullptr);
    EXPECT_NE(g_renderSet.sceneDepth[1], nullptr);
    EXPECT_NE(g_camera.backBuffer, nullptr);
    EXPECT_NE(g_camera.backDepth, nullptr);
    const std::pair<std::uint32_t, std::uint32_t> states[] = {
        {RS_ALPHABLENDENABLE, 1},  {RS_SRCBLEND, BLEND_ONE}, {RS_DESTBLEND, BLEND_INVSRCALPHA},
        {RS_CULLMODE, CULL_NONE},  {RS_ZENABLE, 1},          {RS_ZFUNC, CMP_LESSEQUAL},
        {RS_AMBIENT, 0x00555555u}, {RS_SPECULARENABLE, 1},
    };
    for (const auto& [state, value] : states) {
        std::uint32_t actual = 0;
        g_pD3DDevice->GetRenderState(state, &actual);
        EXPECT_EQ(actual, value) << "state " << state;
    }
    EXPECT_TRUE(CreateEffects());
    EXPECT_EQ(g_renderSet.effects[RENDER_MODE_FADE], BasicEffect);
    EXPECT_EQ(g_renderSet.effects[RENDER_MODE_FOG], FogEffect);
}

// The fog's combined targets follow the depth path; a device that draws into one target
// at a time keeps the float depths and the separate passes.
TEST(RenderSetup, CombinedFogTargetsOrSeparatePasses) {
    if (!InitDevice())
        GTEST_SKIP() << "no OpenGL 3.3 device";
    struct Case {
        const char* what;
        bool refuseFloat, refuseSecondTarget;
        std::uint8_t integerDepth, combined;
        std::uint32_t faceFormat;
    };
    const Case cases[] = {
        {"float targets", false, false, 0, 1, FMT_G16R16F},
        {"integer targets", true, false, 1, 1, FMT_G16R16},
        {"no second colour target", false, true, 0, 0, FMT_UNKNOWN},
    };
    for (const Case& c : cases) {
        GfxDeviceSetup setup;
        setup.floatTargets = !c.refuseFloat;
        setup.secondColourTarget = !c.refuseSecondTarget;
        SetGfxDeviceSetup(setup);
        InitRenderStates();
        EXPECT_EQ(g_renderSet.integerDepthFormat, c.integerDepth) << c.what;
        EXPECT_EQ(g_renderSet.combinedPasses, c.combined) << c.what;
        SurfaceDesc desc = {};
        if (g_renderSet.fogFaceTexture)
            g_renderSet.fogFaceTexture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, c.faceFormat) << c.what;
    }
    SetGfxDeviceSetup({});
    InitRenderStates();
}

TEST(RenderSetup, OverlayDrawsPicturesTheFirstHoveredLinkAndIcons) {
    if (!InitDevice())
        GTEST_SKIP() << "no OpenGL 3.3 device";
    g_pictures[3].texture = SolidTexture(255, 0, 0);
    g_selectbackTexture = SolidTexture(0, 255, 0);
    g_clickTexture = SolidTexture(0, 0, 255);
    g_cursorTexture = SolidTexture(255, 255, 0);
    g_pictureLayers[2] = {};
    SetQuad(&g_pictureLayers[2].quad, 255, 0, 0, 200, 200, 0, 0, 64, 64);
    g_pictureLayers[2].picture = 3;
    g_pictureLayers[2].visible = true;
    g_pictureLayers[5].visible = true;
    g_pictureLayers[5].picture = 42; // no such picture: draws nothing
    SetQuad(&g_pictureLayers[5].quad, 255, 600, 600, 700, 700, 0, 0, 64, 64);
    for (LinkRecord& link : g_links)
        link.present = link.hover = false;
    const float linkTops[3] = {300, 400, 500};
    for (int i = 0; i < 3; ++i) {
        SetQuad(&g_links[i].quad, 127, 300, linkTops[i], 400, linkTops[i] + 50, 0, 0, 64, 64);
        g_links[i].hover = true;
        g_links[i].present = i > 0; // the first is hovered but not part of the choice
    }
    SetQuad(&g_clickIconQuad, 255, 800, 100, 864, 164, 0, 0, 64, 64);
    SetQuad(&g_cursorQuad, 255, 900, 600, 948, 648, 0, 0, 64, 64);
    g_messagePos = 0;

    struct Case {
        std::uint8_t frameNo;
        bool clickLatch;
    };
    for (const Case& c :
         {Case{FRAME_SCENARIO, false}, Case{FRAME_SCENARIO, true}, Case{FRAME_FIELD, false}}) {
        g_frameNo = c.frameNo;
        g_clickLatch = c.clickLatch;
        g_pD3DDevice->SetRenderTarget(0, g_camera.backBuffer);
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464u, 1.0f, 0);
        g_pD3DDevice->SetFVF(FVF_SCREEN_VERTEX);
        DrawOverlay();
        g_pD3DDevice->Present();
        const std::uint8_t* frame = GetCapturedFrame();
        const bool scenario = c.frameNo == FRAME_SCENARIO;
        EXPECT_EQ(RedAt(frame, 100, 100), scenario ? 255 : 100) << "picture layer";
        EXPECT_EQ(GreenAt(frame, 350, 325), 100) << "hovered but not present";
        EXPECT_EQ(GreenAt(frame, 350, 425), scenario ? 255 : 100) << "first hovered link";
        EXPECT_EQ(GreenAt(frame, 350, 525), 100) << "second hovered link";
        EXPECT_EQ(RedAt(frame, 650, 650), 100) << "layer without a picture";
        EXPECT_EQ(frame[(130 * 1024 + 830) * 4 + 2], scenario && !c.clickLatch ? 255 : 100)
            << "click icon";
        EXPECT_EQ(RedAt(frame, 920, 620), scenario ? 255 : 100) << "cursor";
    }
}
