// Where the character sprites stand and in which order they are drawn.
#include "field/characters.h"
#include "scene/object_draws.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(SpriteAnchorOffset, MovesTowardTheCameraByTheLineOfSight) {
    struct Case {
        Vec3 eye, at, offset;
    };
    const Case cases[] = {
        {{0, 30, -30}, {0, 0, 0}, {0, 0, -0.15f}},
        {{10, 20, 0}, {0, 0, 0}, {0.075f, 0, 0}},
        {{16, 10, -14}, {16, 0, 16}, {0, 0, -0.45f}},
        // An eye level with its target would give an infinite move: none is made.
        {{0, 5, -30}, {0, 5, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Vec3 offset = SpriteAnchorOffset(c.eye, c.at);
        EXPECT_NEAR(offset.x, c.offset.x, 1e-6f);
        EXPECT_EQ(offset.y, 0.0f);
        EXPECT_NEAR(offset.z, c.offset.z, 1e-6f);
    }
}

TEST(CharacterEntries, SortFarthestFirstAndKeepInactiveOnes) {
    for (FieldCharacter& character : g_fieldCharacters)
        character = FieldCharacter{};
    const float depths[FIELD_CHARACTER_COUNT] = {5, 20, 1, 12, 7, 30, 3};
    for (int k = 0; k < FIELD_CHARACTER_COUNT; ++k) {
        g_fieldCharacters[k].position = Vec3{0, 0, depths[k]};
        g_fieldCharacters[k].number = k;
        g_fieldCharacters[k].active = k != 5;
        g_fieldCharacters[k].spriteWidth = CHARACTER_SPRITE_WIDTH;
        g_fieldCharacters[k].spriteHeight = CHARACTER_SPRITE_HEIGHT;
    }
    CharacterSpriteEntry entries[FIELD_CHARACTER_COUNT];
    BuildCharacterEntries(Vec3{0, 0, -10}, Vec3{0, 0, 1}, entries);
    const int expectedOrder[FIELD_CHARACTER_COUNT] = {5, 1, 3, 4, 0, 6, 2};
    for (int i = 0; i < FIELD_CHARACTER_COUNT; ++i) {
        EXPECT_EQ(entries[i].number, expectedOrder[i]) << i;
        const float d = depths[expectedOrder[i]] + 1 + 10;
        EXPECT_FLOAT_EQ(entries[i].distanceSquared, d * d);
        EXPECT_FLOAT_EQ(entries[i].anchor.z, depths[expectedOrder[i]] + 1);
        EXPECT_EQ(entries[i].active, expectedOrder[i] != 5);
    }
}

TEST(SpriteStrip, KeepsThePixelAspectAndTakesTheTileCorners) {
    CharacterSpriteEntry entry = {};
    entry.width = 32;
    entry.height = 48;
    SetQuadTexRect(&entry.quad, 8, 12, 16, 24);
    const Vec3 right = {300, 400, 0.25f};
    const Vec3 left = {260, 402, 0.26f};
    const Vec3 top = {280, 340, 0.2f};
    ScreenVertex strip[4];
    BuildSpriteStrip(entry, right, left, top, strip);
    // Projected width 40 pixels, so the top edge lies 60 above the bottom-right corner.
    const float topY = 340.0f;
    const ScreenVertex expected[4] = {
        {300, topY, 0.2f, 1, 0xFFFFFFFFu, 0.125f, 0.1875f},
        {300, 400, 0.25f, 1, 0xFFFFFFFFu, 0.125f, 0.375f},
        {260, topY, 0.2f, 1, 0xFFFFFFFFu, 0.25f, 0.1875f},
        {260, 402, 0.26f, 1, 0xFFFFFFFFu, 0.25f, 0.375f},
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(strip[i].x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(strip[i].y, expected[i].y) << i;
        EXPECT_FLOAT_EQ(strip[i].z, expected[i].z) << i;
        EXPECT_EQ(strip[i].rhw, 1.0f);
        EXPECT_EQ(strip[i].diffuse, expected[i].diffuse);
        EXPECT_FLOAT_EQ(strip[i].u, expected[i].u) << i;
        EXPECT_FLOAT_EQ(strip[i].v, expected[i].v) << i;
    }
}

} // namespace
