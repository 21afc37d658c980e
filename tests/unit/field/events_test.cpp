#include "field_fixture.h"

#include <cmath>

namespace {

using EventTest = FieldTest;

// A lead at the origin whose press has just accepted a walk target.
void PressAccepted() {
    FieldCharacter& lead = FieldTest::PlaceLead(0.5f, 0.5f);
    lead.pressLatch = true;
    lead.state = LEAD_WALKING;
    lead.target = {9.0f, 0.0f, 9.0f};
}

TEST_F(EventTest, FirstMarkerUnderTheCursorTakesTheClick) {
    struct MarkerCase {
        const char* name;
        int firstKind, secondKind;
        int scenario; // started, or -1
        bool firstActive, secondActive;
    };
    const MarkerCase cases[] = {
        {"lower number wins", 1, 1, 11, false, true},
        {"other kind absorbs", 2, 1, -1, true, true},
    };
    for (const MarkerCase& c : cases) {
        SetUp();
        PressAccepted();
        PlaceEventObject(3, c.firstKind, 6.0f, 0.0f, 6.0f, 2.9f, 0, 11);
        PlaceEventObject(4, c.secondKind, 6.5f, 0.0f, 6.0f, 2.9f, 0, 12);
        g_pickedPoint = {6.2f, 0.0f, 6.0f};
        UpdateEventMarkers();
        EXPECT_EQ(g_currentScenario, c.scenario) << c.name;
        EXPECT_EQ(g_eventObjects[3].active, c.firstActive) << c.name;
        EXPECT_EQ(g_eventObjects[4].active, c.secondActive) << c.name;
    }
}

TEST_F(EventTest, MarkerNeedsThePressThatSetATarget) {
    PressAccepted();
    g_fieldCharacters[0].pressLatch = false;
    PlaceEventObject(0, 1, 6.0f, 0.0f, 6.0f, 1.0f, 0, 11);
    g_pickedPoint = {6.0f, 0.0f, 6.0f};
    UpdateEventMarkers();
    EXPECT_EQ(g_currentScenario, -1);
    EXPECT_TRUE(g_eventObjects[0].active);
    EXPECT_FLOAT_EQ(g_cursorBox.centre.x, 6.0f);
}

TEST_F(EventTest, CharacterAndMarkerInOneFrameBothStartTheMarkerLast) {
    const int talks = GetSoundEffectPlayCount(SOUND_EFFECT_TALK);
    PlaceLead(3.0f, 4.0f);
    PlaceWanderer(3.0f, 4.0f, 5); // entry 1, 5 from the origin
    g_fieldCharacters[1].lastTime = 1000.0f;
    PlaceEventObject(0, 1, 4.0f, 0.0f, 3.0f, 1.0f, 0, 20);
    // The press first accepts a target far out (setting the latch), then drags onto
    // (4, 3): as far from the origin as the character, and on the marker.
    Frame(1000.0f, true, 0.0f, 9.0f);
    EXPECT_EQ(g_currentScenario, -1);
    Frame(1000.02f, true, 4.0f, 3.0f);
    EXPECT_EQ(g_currentScenario, 20);
    EXPECT_EQ(GetSoundEffectPlayCount(SOUND_EFFECT_TALK) - talks, 2);
    EXPECT_EQ(g_frameNo, FRAME_SCENARIO);
    EXPECT_FALSE(g_eventObjects[0].active);
}

TEST_F(EventTest, MarkerPlacementFromItsRecord) {
    PlaceEventObject(7, 1, 3.0f, 9.0f, 4.0f, 2.9f, 5, 33);
    const EventObject& m = g_eventObjects[7];
    EXPECT_TRUE(m.active);
    EXPECT_FLOAT_EQ(m.box.halfExtents.x, 2.0f);
    EXPECT_FLOAT_EQ(m.box.centre.y, 1.0f);
    EXPECT_FLOAT_EQ(m.model.Light[2], -1.0f);
    EXPECT_EQ(m.spin, 0.0f);
    // A kind with no model and an absurd size still give a sane marker.
    PlaceEventObject(8, 250, 3.0f, 0.0f, 4.0f, NAN, 0, 1);
    EXPECT_EQ(g_eventObjects[8].model.model.mesh, nullptr);
    EXPECT_FLOAT_EQ(g_eventObjects[8].box.halfExtents.x, 0.0f);
}

TEST_F(EventTest, MapChangeFadesSwapsAtTheBlackFrameAndEnds) {
    BeginMapChange(2, 16.0f, 8.0f);
    EXPECT_TRUE(g_renderSet.fadeActive);
    float alpha125 = -1.0f;
    int frames = 0;
    while (UpdateMapChange()) {
        if (g_renderSet.fadeCounter == 1) {
            EXPECT_FLOAT_EQ(g_renderSet.fadeAlpha, 1.0f);
        }
        if (g_renderSet.fadeCounter == 126)
            alpha125 = g_renderSet.fadeAlpha;
        if (g_renderSet.fadeCounter == 251) {
            EXPECT_NEAR(g_renderSet.fadeAlpha, 1.0f, 1e-6f);
        }
        ++frames;
    }
    EXPECT_EQ(frames, 251);
    EXPECT_NEAR(alpha125, 0.0f, 1e-6f);
    EXPECT_FALSE(g_renderSet.fadeActive);
    EXPECT_EQ(g_renderSet.renderMode, RENDER_MODE_FOG);
    EXPECT_EQ(g_fieldCharacters[0].nextX, 16.0f);
    EXPECT_EQ(g_bgmChannel, 1);
    EXPECT_EQ(g_bgmRequestedChannel, 1);
}

TEST_F(EventTest, ArrivalInsideAnExitRestartsTheFade) {
    PlaceLead(1.0f, 1.0f);
    // No archive in this test: the new map cannot be read, so this map's attribute
    // grid stays, with an exit cell around the arrival point.
    g_mapTerrain.attributes[8][16] = 50;
    BeginMapChange(2, 16.5f, 8.5f);
    g_renderSet.fadeCounter = MAP_CHANGE_SWAP_FRAME;
    EXPECT_TRUE(UpdateMapChange());
    EXPECT_EQ(g_renderSet.fadeDestination, 1);
    EXPECT_EQ(g_renderSet.fadeCounter, 1);
    EXPECT_FLOAT_EQ(g_renderSet.fadeAlpha, 1.0f);
    EXPECT_FLOAT_EQ(g_fieldCharacters[0].position.x, 16.5f);
}

} // namespace
