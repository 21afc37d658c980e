#include "field/object_step.h"

#include "field/characters.h"
#include "field/events.h"
#include "field/map_change.h"
#include "field/terrain.h"

namespace {

float Cross2(const Vec2& origin, const Vec2& a, const Vec2& b) {
    return (a.x - origin.x) * (b.y - origin.y) - (a.y - origin.y) * (b.x - origin.x);
}

bool StrictlyOpposite(float a, float b) {
    return (a > 0.0f && b < 0.0f) || (a < 0.0f && b > 0.0f);
}

struct Exit {
    int value;
    int map;
    float x, z;
};

constexpr Exit EXITS[] = {
    {50, 1, 24.0f, 14.0f},
    {51, 2, 16.0f, 20.0f},
    {52, 3, 16.0f, 20.0f},
    {53, 2, 16.0f, 8.0f},
};

// Wall edges of one attribute value in cell (r, c), as the corner pairs they join,
// and the correction each crossing makes. A value with two walls corrects both
// coordinates whichever wall is crossed.
struct WallRule {
    int value;
    int edges;      // 1 or 2
    int edge[2][4]; // c0, r0, c1, r1 offsets of each edge from (c, r)
    bool setX, setZ;
    float x, z; // offsets from (c, r) of the corrected coordinates
};

constexpr WallRule WALLS[] = {
    {1, 1, {{0, 0, 1, 0}}, false, true, 0.0f, -0.01f},
    {2, 1, {{1, 0, 1, 1}}, true, false, 1.01f, 0.0f},
    {3, 1, {{0, 1, 1, 1}}, false, true, 0.0f, 1.01f},
    {4, 1, {{0, 0, 0, 1}}, true, false, -0.01f, 0.0f},
    {5, 2, {{0, 0, 1, 0}, {1, 0, 1, 1}}, true, true, 1.01f, -0.01f},
    {6, 2, {{1, 0, 1, 1}, {0, 1, 1, 1}}, true, true, 1.01f, 1.01f},
    {7, 2, {{0, 1, 1, 1}, {0, 0, 0, 1}}, true, true, -0.01f, 1.01f},
    {8, 2, {{0, 0, 0, 1}, {0, 0, 1, 0}}, true, true, -0.01f, -0.01f},
};

constexpr int WALL_RULE_COUNT = sizeof(WALLS) / sizeof(WALLS[0]);
constexpr int EXIT_COUNT = sizeof(EXITS) / sizeof(EXITS[0]);

} // namespace

bool SegmentsCross(const Vec2& p1, const Vec2& p2, const Vec2& q1, const Vec2& q2) {
    return StrictlyOpposite(Cross2(p1, p2, q1), Cross2(p1, p2, q2)) &&
           StrictlyOpposite(Cross2(q1, q2, p1), Cross2(q1, q2, p2));
}

void CollideWithAttributes(FieldCharacter* character) {
    const Vec2 p = {character->nextX, character->nextZ};
    const Vec2 q = {character->position.x, character->position.z};
    for (int r = 0; r < ATTRIBUTE_GRID_SIZE; ++r) {
        for (int c = 0; c < ATTRIBUTE_GRID_SIZE; ++c) {
            const int value = g_mapTerrain.attributes[r][c];
            const float fc = static_cast<float>(c);
            const float fr = static_cast<float>(r);
            if (value >= WALLS[0].value && value <= WALLS[WALL_RULE_COUNT - 1].value) {
                const WallRule& wall = WALLS[value - WALLS[0].value];
                bool crossed = false;
                for (int e = 0; e < wall.edges; ++e) {
                    const int* edge = wall.edge[e];
                    const Vec2 start = {fc + static_cast<float>(edge[0]),
                                        fr + static_cast<float>(edge[1])};
                    const Vec2 end = {fc + static_cast<float>(edge[2]),
                                      fr + static_cast<float>(edge[3])};
                    crossed = crossed || SegmentsCross(p, q, start, end);
                }
                if (crossed && wall.setX)
                    character->nextX = fc + wall.x;
                if (crossed && wall.setZ)
                    character->nextZ = fr + wall.z;
            } else if (value >= EXITS[0].value && value <= EXITS[EXIT_COUNT - 1].value) {
                const Exit& exit = EXITS[value - EXITS[0].value];
                // Only a step that ends strictly inside the cell leaves the map.
                if (fc < p.x && p.x < fc + 1.0f && fr < p.y && p.y < fr + 1.0f)
                    BeginMapChange(exit.map, exit.x, exit.z);
            }
        }
    }
}

void UpdateFieldObjects() {
    for (int k = 0; k < FIELD_CHARACTER_COUNT; ++k) {
        FieldCharacter& c = g_fieldCharacters[k];
        if (!c.active)
            continue;
        GroundHeight(&c.position);
        if (k == 0)
            CheckCharacterClicks();
        CollideWithAttributes(&c);
        c.position.x = c.nextX;
        c.position.z = c.nextZ;
    }
    UpdateEventMarkers();
}
