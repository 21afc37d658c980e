// Frames of small scenes drawn by the field renderer, checked pixel by pixel.
#include "render_fixture.h"

#include "render/camera.h"
#include "scene/object_draws.h"

#include "field/characters.h"
#include "field/events.h"
#include "render/assets.h"
#include "render/render_setup.h"

#include <gtest/gtest.h>

namespace {

constexpr int TOLERANCE = 3;

void ExpectGrey(const Rgb& pixel, double value, const char* where) {
    EXPECT_NEAR(pixel.r, value, TOLERANCE) << where;
    EXPECT_NEAR(pixel.g, value, TOLERANCE) << where;
    EXPECT_NEAR(pixel.b, value, TOLERANCE) << where;
}

void ExpectColor(const Rgb& pixel, const Rgb& want, const char* where) {
    EXPECT_NEAR(pixel.r, want.r, TOLERANCE) << where;
    EXPECT_NEAR(pixel.g, want.g, TOLERANCE) << where;
    EXPECT_NEAR(pixel.b, want.b, TOLERANCE) << where;
}

Rgb PixelOf(const std::uint8_t* frame, const Vec3& world) {
    const Vec3 p = ProjectToScreen(world);
    return PixelAt(frame, static_cast<int>(p.x), static_cast<int>(p.y));
}

// The pixel a given fraction of the way up a standing sprite of one unit width and
// 1.5 times that height on screen.
Rgb SpritePixel(const std::uint8_t* frame, const Vec3& position, float fraction) {
    const Vec3 offset = SpriteAnchorOffset(g_camera.eye, g_camera.at);
    const Vec3 anchor = {position.x + offset.x, position.y, position.z + offset.z};
    const Vec3 bottom = ProjectToScreen(anchor);
    const float width = ProjectToScreen({anchor.x + 0.5f, anchor.y, anchor.z}).x -
                        ProjectToScreen({anchor.x - 0.5f, anchor.y, anchor.z}).x;
    const float y = bottom.y - fraction * 1.5f * width;
    return PixelAt(frame, static_cast<int>(bottom.x), static_cast<int>(y));
}

// The screen's clear grey 100 / 255 under fog of alpha a, lifted by the fog colour 0.3.
double Fogged(double a) {
    return (0.3 + 100.0 / 255.0 * (1.0 - a)) * 255.0;
}

class SceneRender : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InitRenderFixture())
            GTEST_SKIP() << "no GL 3.3 device here";
        ResetScene();
    }
};

TEST_F(SceneRender, FogPullsTowardGreyWithTheThicknessInsideTheVolume) {
    struct Case {
        const char* name;
        bool integerDepth;
        float nearZ, thickness;
        double insideAlpha;
    };
    const Case cases[] = {
        {"fog_half", false, 0, 2.5f, 0.5},
        {"fog_full", false, 0, 5, 1},
        {"fog_beyond_full", false, 0, 12, 1},
        {"fog_half_integer", true, 0, 2.5f, 0.5},
        {"fog_full_integer", true, 0, 5, 1},
        // Integer depths stop at 100 units: fog behind that has no thickness.
        {"fog_far_integer", true, 85, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GfxDeviceSetup setup;
        setup.floatTargets = !c.integerDepth;
        SetGfxDeviceSetup(setup);
        InitRenderStates();
        ASSERT_EQ(g_renderSet.integerDepthFormat != 0, c.integerDepth);
        LookAt({0, 0, -20}, {0, 0, 0});
        // The volume fills the left half of the view only.
        ReplaceMesh(&g_fogVolumeModel.mesh,
                    MakeBoxMesh({-60, -60, c.nearZ}, {0, 60, c.nearZ + c.thickness}));
        const std::uint8_t* frame = RenderFrame(c.name);
        ExpectGrey(PixelAt(frame, 256, 384), Fogged(c.insideAlpha), "inside the volume");
        ExpectGrey(PixelAt(frame, 768, 384), Fogged(0), "outside the volume");
    }
    SetGfxDeviceSetup({});
    InitRenderStates();
}

TEST_F(SceneRender, SceneSurfacesCutTheFogShort) {
    // Terrain above a volume hides it; a sprite before a volume keeps its opaque texels
    // clear of the fog while its transparent ones let the fog through.
    LookAt({16, 20, -10}, {16, 0, 16});
    BuildTerrain([](int, int) { return 0.0f; });
    ReplaceMesh(&g_fogVolumeModel.mesh, MakeBoxMesh({-10, -12, -10}, {50, -1, 50}));
    const std::uint8_t* frame = RenderFrame("fog_under_terrain");
    ExpectGrey(PixelAt(frame, 512, 384), 255, "terrain, lit white and lifted");

    ResetScene();
    LookAt({0, 0, -20}, {0, 0, 0});
    ReplaceMesh(&g_fogVolumeModel.mesh, MakeBoxMesh({-60, -60, 5}, {60, 60, 10}));
    g_characterTextures[3] = MakeTexture(32, 48, [](int, int y) {
        return y < 24 ? Rgb{255, 0, 255} : Rgb{0, 0, 255};
    });
    PlaceCharacter(1, 3, {0, -0.5f, 0});
    frame = RenderFrame("fog_behind_sprite");
    ExpectColor(PixelOf(frame, {0, -0.25f, 0}), Rgb{76, 76, 255}, "opaque half of the sprite");
    ExpectGrey(PixelOf(frame, {0, 0.25f, 0}), Fogged(1), "transparent half of the sprite");
    ExpectGrey(PixelAt(frame, 100, 100), Fogged(1), "beside the sprite");
}

TEST_F(SceneRender, TerrainIsLitByTheLightAndTheAmbientColour) {
    struct Case {
        Vec3 direction;
        double value;
    };
    // Ambient 0x555555 (1/3) plus half-bright light times the cosine to the normal.
    const Case cases[] = {
        {{0, -1, 0}, (0.5 + 1.0 / 3) * 255},
        {{1, -1, 0}, (0.5 * 0.70710678 + 1.0 / 3) * 255},
        {{0, 1, 0}, 255.0 / 3},
    };
    LookAt({16, 20, -10}, {16, 0, 16});
    BuildTerrain([](int, int) { return 0.0f; });
    g_renderSet.renderMode = RENDER_MODE_FADE; // no fade running: the plain scene
    for (const Case& c : cases) {
        SetDirectionalLight(0.5f, 0.5f, 0.5f, &c.direction);
        ExpectGrey(PixelAt(RenderFrame("terrain_light"), 512, 384), c.value, "terrain");
    }
}

TEST_F(SceneRender, SpritesHideBehindTerrainAndOverlapBackToFront) {
    LookAt({16, 8, -10}, {16, 0, 16});
    g_renderSet.renderMode = RENDER_MODE_FADE;
    const Vec3 lightUp = {0, 1, 0};
    SetDirectionalLight(1, 1, 1, &lightUp); // terrain at ambient grey only
    g_characterTextures[2] = MakeTexture(32, 48, [](int, int) { return Rgb{255, 0, 0}; });
    g_characterTextures[4] = MakeTexture(32, 48, [](int, int y) {
        return y < 24 ? Rgb{255, 0, 255} : Rgb{0, 0, 255};
    });

    PlaceCharacter(3, 2, {16, 0, 26});
    BuildTerrain([](int, int) { return 0.0f; });
    const Vec3 behind = {16, 0, 26};
    ExpectColor(SpritePixel(RenderFrame("sprite_in_view"), behind, 0.5f), Rgb{255, 0, 0},
                "open ground");
    BuildTerrain([](int, int row) { return row == 8 ? 5.0f : 0.0f; });
    ExpectGrey(SpritePixel(RenderFrame("sprite_behind_hill"), behind, 0.5f), 85, "behind the hill");

    // The nearer sprite comes first in the table; drawn first, its transparent half
    // would hide the one behind.
    ResetScene();
    LookAt({16, 8, -10}, {16, 0, 16});
    g_renderSet.renderMode = RENDER_MODE_FADE;
    SetDirectionalLight(1, 1, 1, &lightUp);
    BuildTerrain([](int, int) { return 0.0f; });
    PlaceCharacter(1, 4, {16, 0, 12});
    PlaceCharacter(2, 2, {16, 0, 13});
    const std::uint8_t* frame = RenderFrame("sprites_overlap");
    ExpectColor(SpritePixel(frame, {16, 0, 12}, 0.7f), Rgb{255, 0, 0}, "through the near one");
    ExpectColor(SpritePixel(frame, {16, 0, 12}, 0.3f), Rgb{0, 0, 255}, "the near one's front");
}

TEST_F(SceneRender, MarkerScalingMovesItsPosition) {
    LookAt({6, 10, -20}, {6, 0, 8});
    g_renderSet.renderMode = RENDER_MODE_FADE;
    EventObject& marker = g_eventObjects[4];
    marker.active = true;
    marker.position = {3, 0, 4};
    marker.size = 2;
    ReplaceMesh(&marker.model.model.mesh, MakeBoxMesh({-0.5f, 0, -0.5f}, {0.5f, 1, 0.5f}));
    marker.model.model.texture = MakeTexture(8, 8, [](int, int) { return Rgb{255, 255, 255}; });
    const float white[4] = {1, 1, 1, 1};
    std::copy(white, white + 4, marker.model.Ambient);
    std::copy(white, white + 4, marker.model.Diffuse);
    const float light[4] = {0, -1, 0, 1};
    std::copy(light, light + 4, marker.model.Light);
    const std::uint8_t* frame = RenderFrame("marker");
    ExpectGrey(PixelOf(frame, {6, 1, 8}), 255, "scaled position");
    ExpectGrey(PixelOf(frame, {3, 0.5f, 4}), 100, "unscaled position");
    EXPECT_NEAR(marker.model.Light[1], -0.70710678f, 1e-6f) << "light normalised in place";
}

TEST_F(SceneRender, FadeDarkensTheSceneAndEndsOnTheClearColour) {
    LookAt({16, 6, -10}, {16, 0, 16}); // sky above the far edge of the map
    BuildTerrain([](int, int) { return 0.0f; });
    struct Case {
        int counter;
        double terrain, sky;
    };
    // Frame 124 is a hair from black, 125 (the swap, here with no map data to load)
    // black, 250 fully bright over the fade's own clear 0x63.
    const Case cases[] = {{124, 0, 0}, {125, 0, 0}, {250, 255, 99}, {0, 255, 99}};
    g_renderSet.fadeDestination = 1;
    for (const Case& c : cases) {
        g_renderSet.renderMode = RENDER_MODE_FADE;
        g_renderSet.fadeActive = 1;
        g_renderSet.fadeCounter = c.counter;
        const std::uint8_t* frame = RenderFrame("fade");
        ExpectGrey(PixelAt(frame, 512, 500), c.terrain, "terrain");
        ExpectGrey(PixelAt(frame, 512, 2), c.sky, "sky");
        EXPECT_EQ(g_renderSet.fadeCounter, c.counter + 1);
    }
    g_renderSet.fadeCounter = 251;
    const std::uint8_t* frame = RenderFrame("fade_end");
    ExpectGrey(PixelAt(frame, 512, 500), 100, "the last frame shows the clear colour");
    EXPECT_EQ(g_renderSet.fadeActive, 0);
    EXPECT_EQ(g_renderSet.renderMode, RENDER_MODE_FOG);
    frame = RenderFrame("after_fade");
    ExpectGrey(PixelAt(frame, 512, 500), 255, "terrain in fog mode again");
    ExpectGrey(PixelAt(frame, 512, 2), Fogged(0), "sky lifted by the fog");
}

} // namespace
