#include "field_fixture.h"

#include <cmath>

namespace {

using LeadTest = FieldTest;

TEST_F(LeadTest, PressWithinAPointOneRingRepeatsTheClickSound) {
    PlaceLead(3.0f, 4.0f); // 5 from the origin
    const int clicks = GetSoundEffectPlayCount(SOUND_EFFECT_CLICK);
    // (0, 5.05) is far from the lead but only 0.05 further from the origin.
    for (int k = 0; k < 3; ++k)
        Frame(1000.0f + k * 0.016f, true, 0.0f, 5.05f);
    EXPECT_EQ(GetSoundEffectPlayCount(SOUND_EFFECT_CLICK) - clicks, 3);
    EXPECT_FALSE(g_fieldCharacters[0].pressLatch);
    EXPECT_EQ(g_fieldCharacters[0].state, LEAD_IDLE);
    // A point further out sets the target and the latch: one more click, then quiet.
    Frame(1000.1f, true, 0.0f, 8.0f);
    Frame(1000.2f, true, 0.0f, 8.0f);
    EXPECT_EQ(GetSoundEffectPlayCount(SOUND_EFFECT_CLICK) - clicks, 4);
    EXPECT_TRUE(g_fieldCharacters[0].pressLatch);
}

TEST_F(LeadTest, HeldButtonDragsTheTargetAndReleaseWalksToItExactly) {
    FieldCharacter& lead = PlaceLead(2.0f, 2.0f);
    Frame(1000.0f, true, 6.0f, 2.0f);
    Frame(1000.5f, true, 8.0f, 2.0f);
    Frame(1001.0f, true, 8.0f, 5.0f);
    EXPECT_FLOAT_EQ(lead.position.x, 2.0f);
    EXPECT_FLOAT_EQ(lead.position.z, 2.0f);
    EXPECT_FLOAT_EQ(lead.target.x, 8.0f);
    EXPECT_FLOAT_EQ(lead.target.z, 5.0f);
    // Released: 10 units per second toward (8, 5), 6.7 away; the last step snaps.
    float t = 1001.0f;
    for (int k = 0; k < 20 && lead.state != LEAD_IDLE; ++k)
        Frame(t += 0.1f, false, 0.0f, 0.0f);
    Frame(t += 0.1f, false, 0.0f, 0.0f);
    EXPECT_EQ(lead.state, LEAD_IDLE);
    EXPECT_EQ(lead.position.x, 8.0f);
    EXPECT_EQ(lead.position.z, 5.0f);
}

TEST_F(LeadTest, FirstFrameStepsFromTheOriginToTheStartPoint) {
    InitLeadCharacter();
    // A wall on x = 10 between the origin and (25, 14).
    g_mapTerrain.attributes[5][9] = 2;
    Frame(1000.0f, false, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(g_fieldCharacters[0].position.x, 10.01f);
    EXPECT_FLOAT_EQ(g_fieldCharacters[0].position.z, 14.0f);
    EXPECT_FLOAT_EQ(g_fieldCharacters[0].position.y, 0.0f);
}

TEST_F(LeadTest, ZeroLengthWalkArrivesAtOnce) {
    FieldCharacter& lead = PlaceLead(2.0f, 2.0f);
    lead.target = {2.0f, 0.0f, 2.0f};
    lead.state = LEAD_NEW_TARGET;
    Frame(1000.5f, false, 0.0f, 0.0f);
    EXPECT_EQ(lead.state, LEAD_IDLE);
    EXPECT_EQ(lead.position.x, 2.0f);
    EXPECT_FALSE(std::isnan(lead.velocityX));
}

TEST_F(LeadTest, AnimationAdvancesOncePerActiveCharacterPerFrame) {
    struct RateCase {
        int wanderers;
        int framesPerTile;
    };
    for (const RateCase& c : {RateCase{0, 40}, RateCase{3, 10}}) {
        SetUp();
        PlaceLead(2.0f, 2.0f);
        for (int k = 1; k <= c.wanderers; ++k)
            PlaceWanderer(10.0f, 10.0f, k);
        FieldCharacter& lead = g_fieldCharacters[0];
        const float firstU = [&] {
            UpdateCharacterSprites();
            return lead.spriteQuad.v[0].u;
        }();
        lead.animationCounter = 0;
        int frames = 0;
        while (lead.spriteQuad.v[0].u == firstU && frames < 100) {
            Frame(1000.0f, false, 0.0f, 0.0f);
            ++frames;
        }
        EXPECT_EQ(frames, c.framesPerTile) << c.wanderers << " wanderers";
    }
}

TEST_F(LeadTest, SpriteTileFollowsTheHeadingAgainstTheCamera) {
    struct TileCase {
        float heading;
        float uL, vT;
    };
    const TileCase cases[] = {
        {0.0f, 0, 0},    {0.3926991f, 0, 0},   {-0.5f, 24, 0}, {-1.5f, 0, 12},
        {-2.0f, 24, 24}, {0.5f, 24, 12},       {1.5f, 0, 24},  {2.0f, 24, 36},
        {3.0f, 0, 36},   {-2.748894f, 24, 24}, {-3.0f, 0, 36},
    };
    FieldCharacter& lead = PlaceLead(0, 0);
    for (const TileCase& c : cases) {
        lead.heading = c.heading;
        lead.animationCounter = -1; // frame 0 after the increment
        UpdateCharacterSprites();
        EXPECT_FLOAT_EQ(lead.spriteQuad.v[0].u * 64.0f, c.uL) << c.heading;
        EXPECT_FLOAT_EQ(lead.spriteQuad.v[0].v * 64.0f, c.vT) << c.heading;
        EXPECT_FLOAT_EQ(lead.spriteQuad.v[2].u * 64.0f, c.uL + 8) << c.heading;
        EXPECT_FLOAT_EQ(lead.spriteQuad.v[2].v * 64.0f, c.vT + 12) << c.heading;
    }
}

TEST_F(LeadTest, WanderGeneratorAndWandererSteps) {
    // s <- s * 48828125 + 1 from 1.
    EXPECT_DOUBLE_EQ(NextWanderRandom(), 48828126.0 / 4294967296.0);
    g_wanderSeed = 1;
    PlaceWanderer(10.0f, 10.0f, 3);
    FieldCharacter& w = g_fieldCharacters[0];
    w.lastTime = 1000.0f;
    Frame(1000.0f, false, 0.0f, 0.0f);
    EXPECT_EQ(w.state, WANDER_WALKING);
    EXPECT_NEAR(w.target.x, 10.0f + 4.0f * (48828126.0f / 4294967296.0f - 0.5f), 1e-5f);
    EXPECT_FLOAT_EQ(w.box.centre.x, 10.5f);
    EXPECT_FLOAT_EQ(w.box.centre.y, 0.75f);
    // Arrival after at most 2.83 units at 0.5 per second, then a pause under 1.5 s.
    float t = 1000.0f;
    while (w.state == WANDER_WALKING && t < 1010.0f)
        Frame(t += 0.5f, false, 0.0f, 0.0f);
    EXPECT_EQ(w.state, WANDER_PAUSING);
    EXPECT_FLOAT_EQ(w.position.x, w.target.x);
    EXPECT_LE(w.pauseLength, 1.5f);
    Frame(t + 1.6f, false, 0.0f, 0.0f);
    EXPECT_EQ(w.state, WANDER_CHOOSE);
}

} // namespace
