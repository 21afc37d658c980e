// Jumps, the return to the field and the picture layers.
#include "scenario_test_support.h"

#include "render/assets.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include <gtest/gtest.h>

namespace {

class ScenarioCommands : public ::testing::Test {
  protected:
    void SetUp() override { ResetScenarioState(); }
};

struct JumpCase {
    const char* what;
    std::string script0;
    std::string script2;
    std::string shown;
    int scenario;
};

TEST_F(ScenarioCommands, JumpsFindTheirLabel) {
    const JumpCase cases[] = {
        {"first of two definitions", "[jump target=\"*x\"]\r\n*x\r\nあ[l]\r\n*x\r\nい[l]", "", "あ",
         0},
        {"attribute stars are no labels", "[jump target=\"*x\"]\r\n[link target=*x]\r\n*x\r\nい[l]",
         "", "い", 0},
        {"label ended by a bar", "[jump target=\"*x\"]\r\n*x|う[l]", "", "う", 0},
        {"other scenario, then its next page", "あ[jump 2 target=\"*m\"]",
         "い\r\n*m\r\nう[ct]\r\nえ[l]", "え", 2},
        {"no target is refused", "あ[jump 2]い[l]", "う[l]", "あい", 0},
        {"missing label stays on the page", "あ[jump target=\"*nope\"]い[l]", "", "あい", 0},
        {"scenario after the target comes too late", "あ[jump target=\"*m\" 2]い[l]",
         "\r\n*m\r\nう[l]", "あい", 0},
        {"scenario outside the store is passed over", "[jump 150 target=\"*m\"]\r\n*m\r\nお[l]", "",
         "お", 0},
        {"an empty label is a name", "あ[jump target=\"*\"]い[l]\r\n*x\r\n*\r\nう[l]", "", "う", 0},
        {"an empty label matches no other", "あ[jump target=\"*\"]い[l]\r\n*x\r\nう[l]", "", "あい",
         0},
        {"unquoted target keeps its bracket", "あ[jump target=*x]い[l]\r\n*x\r\nう[l]", "", "あい",
         0},
    };
    for (const JumpCase& c : cases) {
        SCOPED_TRACE(c.what);
        ResetScenarioState();
        PutScript(0, c.script0);
        PutScript(2, c.script2);
        StartScenario(0);
        RunScenarioFrames(40);
        EXPECT_EQ(ShownText(), c.shown);
        EXPECT_EQ(g_currentScenario, c.scenario);
    }
}

TEST_F(ScenarioCommands, ExitHidesEveryLayerAndReturnsToTheField) {
    for (PictureLayer& layer : g_pictureLayers)
        layer.visible = true;
    g_buttonDown[0] = 1;
    PutScript(3, "あ[exit]い");
    StartScenario(3);
    RunScenarioFrames(2);
    EXPECT_EQ(g_frameNo, FRAME_FIELD);
    EXPECT_EQ(g_buttonDown[0], 0);
    for (const PictureLayer& layer : g_pictureLayers)
        EXPECT_FALSE(layer.visible);
    // The next scenario starts at its beginning with no picture shown.
    StartScenario(3);
    EXPECT_EQ(g_frameNo, FRAME_SCENARIO);
    EXPECT_EQ(g_messagePos, 0);
    EXPECT_FALSE(g_pictureLayers[0].visible);
}

TEST_F(ScenarioCommands, ImagePutsAPictureOnALayer) {
    g_pictures[3].info.Width = 520;
    g_pictures[3].info.Height = 896;
    g_pictures[5].info.Width = 300;
    g_pictures[5].info.Height = 400;
    PutScript(4, "[image 3 layer=1 left=100 top=0][image 5 layer=1][image 5 layer=2 top=1E2]"
                 "[image 2 layer=base][image 9 layer=1][image 3 layer=10][image 3 layer=-1]"
                 "[image]あ[l]");
    StartScenario(4);
    RunScenarioFrames(1);
    EXPECT_EQ(QuadRect(g_pictureLayers[1].quad), (Rect{100, 0, 620, 896}));
    EXPECT_EQ(g_pictureLayers[1].picture, 3);
    EXPECT_TRUE(g_pictureLayers[1].visible);
    RunScenarioFrames(1);
    EXPECT_EQ(QuadRect(g_pictureLayers[1].quad), (Rect{0, 0, 300, 400}));
    EXPECT_EQ(g_pictureLayers[1].picture, 5);
    // The capital E ends the value.
    RunScenarioFrames(1);
    EXPECT_EQ(QuadRect(g_pictureLayers[2].quad), (Rect{0, 1, 300, 401}));
    RunScenarioFrames(1);
    EXPECT_EQ(g_basePicture, 2);
    // Picture numbers and layers outside the tables change nothing.
    const PictureLayer before[3] = {g_pictureLayers[0], g_pictureLayers[1], g_pictureLayers[2]};
    RunScenarioFrames(4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QuadRect(g_pictureLayers[i].quad), QuadRect(before[i].quad));
        EXPECT_EQ(g_pictureLayers[i].picture, before[i].picture);
    }
    EXPECT_FALSE(g_pictureLayers[0].visible);
    RunScenarioFrames(2);
    EXPECT_EQ(ShownText(), "あ");
}

TEST_F(ScenarioCommands, SoundTagsPlayEffectsAndSwitchMusic) {
    g_bgmChannel = 0;
    g_bgmRequestedChannel = 0;
    g_bgmStopped = false;
    const int talks = GetSoundEffectPlayCount(SOUND_EFFECT_TALK);
    PutScript(5, "[playse 1][playse 40][playse][playbgm 2][playbgm 99][playbgm -1][stopbgm]"
                 "[playbgm 1]あ[l]");
    StartScenario(5);
    RunScenarioFrames(3);
    EXPECT_EQ(GetSoundEffectPlayCount(SOUND_EFFECT_TALK), talks + 1);
    RunScenarioFrames(1);
    EXPECT_EQ(g_bgmChannel, 2);
    EXPECT_EQ(g_bgmRequestedChannel, 2);
    RunScenarioFrames(2); // channels outside the table are refused
    EXPECT_EQ(g_bgmChannel, 2);
    RunScenarioFrames(1);
    EXPECT_TRUE(g_bgmStopped);
    RunScenarioFrames(1);
    EXPECT_EQ(g_bgmChannel, 1);
    EXPECT_TRUE(g_bgmStopped);
    EXPECT_EQ(ShownText(), "");
}

} // namespace
