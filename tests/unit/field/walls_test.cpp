#include "field_fixture.h"

namespace {

using WallTest = FieldTest;

// One step of a character from (x0, z0) to (x1, z1) through the object step.
FieldCharacter& Step(float x0, float z0, float x1, float z1) {
    FieldCharacter& c = g_fieldCharacters[1];
    c.active = true;
    c.mode = MODE_WANDER;
    c.position = {x0, 0.0f, z0};
    c.nextX = x1;
    c.nextZ = z1;
    UpdateFieldObjects();
    return c;
}

TEST_F(WallTest, EachWallValueStopsACrossingStep) {
    struct WallCase {
        int value;
        float x0, z0, x1, z1;
        float x, z;
    };
    // Cell (row 4, column 6): x from 6 to 7, z from 4 to 5.
    const WallCase cases[] = {
        {1, 6.5f, 3.5f, 6.5f, 4.5f, 6.5f, 3.99f},  {1, 6.5f, 4.5f, 6.5f, 3.5f, 6.5f, 3.99f},
        {2, 7.5f, 4.5f, 6.5f, 4.5f, 7.01f, 4.5f},  {3, 6.5f, 5.5f, 6.5f, 4.5f, 6.5f, 5.01f},
        {4, 5.5f, 4.5f, 6.5f, 4.5f, 5.99f, 4.5f},  {5, 6.5f, 3.5f, 6.5f, 4.5f, 7.01f, 3.99f},
        {6, 7.5f, 4.5f, 6.5f, 4.5f, 7.01f, 5.01f}, {7, 6.5f, 5.5f, 6.5f, 4.5f, 5.99f, 5.01f},
        {8, 5.5f, 4.5f, 6.5f, 4.5f, 5.99f, 3.99f}, {9, 5.5f, 4.5f, 6.5f, 4.5f, 6.5f, 4.5f},
    };
    for (const WallCase& c : cases) {
        SetUp();
        g_mapTerrain.attributes[4][6] = c.value;
        const FieldCharacter& after = Step(c.x0, c.z0, c.x1, c.z1);
        EXPECT_FLOAT_EQ(after.position.x, c.x) << "value " << c.value;
        EXPECT_FLOAT_EQ(after.position.z, c.z) << "value " << c.value;
    }
}

TEST_F(WallTest, TwoWallsInOneStepTakeTheLastScannedCorrection) {
    // Walls x = 3 (row 2) and x = 5 (row 2) on a step from x = 2 to 6: the scan
    // meets column 2's wall first and column 4's last.
    g_mapTerrain.attributes[2][2] = 2;
    g_mapTerrain.attributes[2][4] = 2;
    const FieldCharacter& c = Step(2.0f, 2.5f, 6.0f, 2.5f);
    EXPECT_FLOAT_EQ(c.position.x, 5.01f);
    EXPECT_FLOAT_EQ(c.position.z, 2.5f);
}

TEST_F(WallTest, TouchingAWallEndIsNoCrossing) {
    g_mapTerrain.attributes[4][6] = 1;                      // wall (6, 4)-(7, 4)
    const FieldCharacter& c = Step(5.0f, 3.0f, 7.0f, 5.0f); // through the corner (6, 4)
    EXPECT_FLOAT_EQ(c.position.x, 7.0f);
    EXPECT_FLOAT_EQ(c.position.z, 5.0f);
}

TEST_F(WallTest, ExitsFireOnlyStrictlyInsideTheirCell) {
    struct ExitCase {
        int value;
        float x, z;
        bool fires;
        int map;
        float arrivalX, arrivalZ;
    };
    const ExitCase cases[] = {
        {50, 10.5f, 7.5f, true, 1, 24.0f, 14.0f}, {51, 10.5f, 7.5f, true, 2, 16.0f, 20.0f},
        {52, 10.5f, 7.5f, true, 3, 16.0f, 20.0f}, {53, 10.5f, 7.5f, true, 2, 16.0f, 8.0f},
        {51, 10.0f, 7.5f, false, 0, 0, 0},        {51, 10.5f, 8.0f, false, 0, 0, 0},
        {51, 11.0f, 7.0f, false, 0, 0, 0},        {54, 10.5f, 7.5f, false, 0, 0, 0},
    };
    for (const ExitCase& c : cases) {
        SetUp();
        g_renderSet.fadeDestination = 0;
        g_mapTerrain.attributes[7][10] = c.value;
        Step(c.x - 1.0f, c.z, c.x, c.z);
        EXPECT_EQ(g_renderSet.fadeActive != 0, c.fires) << c.value << " at " << c.x << "," << c.z;
        if (c.fires) {
            EXPECT_EQ(g_renderSet.fadeDestination, c.map);
            EXPECT_EQ(g_renderSet.renderMode, RENDER_MODE_FADE);
            EXPECT_EQ(g_renderSet.fadeArrivalX, c.arrivalX);
            EXPECT_EQ(g_renderSet.fadeArrivalZ, c.arrivalZ);
        }
    }
}

TEST(SegmentsCrossTest, OnlyProperCrossings) {
    struct CrossCase {
        Vec2 p1, p2, q1, q2;
        bool crosses;
    };
    const CrossCase cases[] = {
        {{0, 0}, {2, 2}, {0, 2}, {2, 0}, true},
        {{0, 0}, {1, 1}, {1, 1}, {2, 0}, false}, // shared end point
        {{0, 0}, {2, 0}, {1, 0}, {3, 0}, false}, // collinear overlap
        {{0, 0}, {1, 0}, {2, 1}, {2, -1}, false},
        {{0, 0}, {2, 0}, {1, 0}, {1, 1}, false}, // an end on the other segment
    };
    for (const CrossCase& c : cases)
        EXPECT_EQ(SegmentsCross(c.p1, c.p2, c.q1, c.q2), c.crosses);
}

TEST(CollisionBoxTest, IdentityBoxesOverlapWithinTheSumOfHalfExtents) {
    struct BoxCase {
        int ha[3], hb[3];
        Vec3 offset;
        bool overlap;
    };
    const BoxCase cases[] = {
        {{3, 3, 3}, {3, 3, 3}, {6, 6, 6}, true},
        {{3, 3, 3}, {3, 3, 3}, {6.01f, 0, 0}, false},
        {{3, 3, 3}, {3, 3, 3}, {0, 6.01f, 0}, false},
        {{3, 3, 3}, {3, 3, 3}, {0, 0, -6.01f}, false},
        // A marker of size 2.9 (half-extent 2) against the cursor box (1, 3, 1).
        {{2, 2, 2}, {1, 3, 1}, {3, 5, -3}, true},
        {{2, 2, 2}, {1, 3, 1}, {3.01f, 0, 0}, false},
        {{2, 2, 2}, {1, 3, 1}, {0, 5.01f, 0}, false},
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, true},
    };
    for (const BoxCase& c : cases) {
        CollisionBox a;
        CollisionBox b;
        InitCollisionBox(&a, c.ha[0], c.ha[1], c.ha[2]);
        InitCollisionBox(&b, c.hb[0], c.hb[1], c.hb[2]);
        a.centre = {10, 1, 10};
        b.centre = {10 + c.offset.x, 1 + c.offset.y, 10 + c.offset.z};
        EXPECT_EQ(BoxesOverlap(a, b), c.overlap) << c.offset.x << "," << c.offset.y;
        EXPECT_EQ(BoxesOverlap(b, a), c.overlap);
    }
}

} // namespace
