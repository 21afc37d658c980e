// Lint of the walls: which exits and characters the lead can walk to. Every step is
// put through the game's own wall and exit scan, so that the walls act here exactly as
// they do in the field, one-sided corrections and all.
#include "lint_report.h"
#include "map_steps.h"

#include "field/characters.h"
#include "field/collision_box.h"
#include "field/map_files.h"

#include <cmath>
#include <deque>
#include <memory>
#include <set>
#include <tuple>

namespace {

// The walk is followed from cell centre to cell centre, one attribute cell at a time,
// over the grid and a ring of cells around it (the ground picked outside the grid
// has no walls).
constexpr int FIRST_CELL = -1;
constexpr int CELLS = ATTRIBUTE_GRID_SIZE + 2;
constexpr int NEIGHBOURS[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

struct MapGrid {
    bool loaded = false;
    int columns = 0; // W * S
    AttributeGrid attributes = {};
    std::vector<LintToken> tokens; // the attribute file's, for the lines
};

int CellOf(float v) {
    return static_cast<int>(std::floor(v));
}

float Centre(int cell) {
    return static_cast<float>(cell) + 0.5f;
}

bool InRing(int c, int r) {
    return c >= FIRST_CELL && r >= FIRST_CELL && c < FIRST_CELL + CELLS && r < FIRST_CELL + CELLS;
}

int NodeOf(int c, int r) {
    return (r - FIRST_CELL) * CELLS + (c - FIRST_CELL);
}

struct Arrival {
    int map;
    float fromX, fromZ; // where the lead stood on the map it left
    float x, z;
};

struct Walk {
    MapGrid grids[MAP_COUNT + 1];
    std::vector<bool> reached[MAP_COUNT + 1];
    std::set<std::pair<int, int>> exitsReached[MAP_COUNT + 1];
    bool arrived[MAP_COUNT + 1] = {};
    std::deque<Arrival> arrivals;
    std::set<std::tuple<int, int, int>> queued; // map left, exit cell

    void ReachExit(int map, int c, int r, const MapStep& step) {
        exitsReached[map].insert({c, r});
        if (queued.insert({map, c, r}).second)
            arrivals.push_back(
                {step.destination, Centre(c), Centre(r), step.arrivalX, step.arrivalZ});
    }

    void Flood(int map, int c, int r) {
        std::deque<std::pair<int, int>> frontier = {{c, r}};
        reached[map][NodeOf(c, r)] = true;
        while (!frontier.empty()) {
            const auto [oc, or_] = frontier.front();
            frontier.pop_front();
            for (const auto& d : NEIGHBOURS) {
                const int nc = oc + d[0], nr = or_ + d[1];
                if (!InRing(nc, nr))
                    continue;
                const MapStep step = TakeMapStep(Centre(oc), Centre(or_), Centre(nc), Centre(nr));
                if (step.exit) {
                    ReachExit(map, nc, nr, step);
                    continue;
                }
                const int lc = CellOf(step.x), lr = CellOf(step.z);
                if (InRing(lc, lr) && !reached[map][NodeOf(lc, lr)]) {
                    reached[map][NodeOf(lc, lr)] = true;
                    frontier.push_back({lc, lr});
                }
            }
        }
    }

    void Arrive(const Arrival& arrival) {
        MapGrid& grid = grids[arrival.map];
        if (!grid.loaded)
            return;
        arrived[arrival.map] = true;
        UseAttributeGrid(grid.attributes);
        // The first step on a map runs from where the lead stood before to its arrival point.
        const MapStep step = TakeMapStep(arrival.fromX, arrival.fromZ, arrival.x, arrival.z);
        if (step.exit) {
            ReachExit(arrival.map, CellOf(arrival.x), CellOf(arrival.z), step);
            return;
        }
        const int c = CellOf(step.x), r = CellOf(step.z);
        if (InRing(c, r) && !reached[arrival.map][NodeOf(c, r)])
            Flood(arrival.map, c, r);
    }
};

void ReportExits(const Walk& walk, int map, LintReport* report) {
    const MapGrid& grid = walk.grids[map];
    const std::string key = g_mapFileNames[MAP_FILE_ATTRIBUTE][map];
    std::set<std::pair<int, int>> seen;
    for (int r = 0; r < ATTRIBUTE_GRID_SIZE; ++r) {
        for (int c = 0; c < ATTRIBUTE_GRID_SIZE; ++c) {
            const int value = grid.attributes[r][c];
            if (AttributeKindOf(value).effect != AttributeKind::EXIT || seen.count({c, r}))
                continue;
            // One report for each patch of cells that lead to the same place.
            bool reached = false;
            std::deque<std::pair<int, int>> patch = {{c, r}};
            seen.insert({c, r});
            while (!patch.empty()) {
                const auto [pc, pr] = patch.front();
                patch.pop_front();
                reached = reached || walk.exitsReached[map].count({pc, pr});
                for (const auto& d : NEIGHBOURS) {
                    const int nc = pc + d[0], nr = pr + d[1];
                    if (nc >= 0 && nr >= 0 && nc < ATTRIBUTE_GRID_SIZE &&
                        nr < ATTRIBUTE_GRID_SIZE && grid.attributes[nr][nc] == value &&
                        seen.insert({nc, nr}).second)
                        patch.push_back({nc, nr});
                }
            }
            if (reached)
                continue;
            const std::size_t token = 1 + static_cast<std::size_t>(r * grid.columns + c);
            const int line = token < grid.tokens.size() ? grid.tokens[token].line : 0;
            report->Add(key, line,
                        "exit " + std::to_string(value) + " at cell (" + std::to_string(c) + ", " +
                            std::to_string(r) +
                            "): walls keep the lead from it on every way from where it arrives");
        }
    }
}

// The lead can talk to a character when their boxes touch, as the click check tests.
bool CanTalkTo(const Walk& walk, const PlacedCharacter& character) {
    CollisionBox other, lead;
    InitCollisionBox(&other, CHARACTER_BOX_HALF_EXTENT, CHARACTER_BOX_HALF_EXTENT,
                     CHARACTER_BOX_HALF_EXTENT);
    InitCollisionBox(&lead, CHARACTER_BOX_HALF_EXTENT, CHARACTER_BOX_HALF_EXTENT,
                     CHARACTER_BOX_HALF_EXTENT);
    // Both stand on the same ground; the wanderer's box where its motion step puts it.
    other.centre = {character.x + WANDERER_BOX_OFFSET_X, WANDERER_BOX_OFFSET_Y, character.z};
    for (int r = FIRST_CELL; r < FIRST_CELL + CELLS; ++r) {
        for (int c = FIRST_CELL; c < FIRST_CELL + CELLS; ++c) {
            if (!walk.reached[character.map][NodeOf(c, r)])
                continue;
            lead.centre = {Centre(c), 0.0f, Centre(r)};
            if (BoxesOverlap(other, lead))
                return true;
        }
    }
    return false;
}

} // namespace

bool AttributeActs(int value) {
    return AttributeKindOf(value).effect != AttributeKind::NONE;
}

void LintWalls(const LintFiles& files, const LintFacts& facts, LintReport* report) {
    auto walk = std::make_unique<Walk>();
    for (int map = 1; map <= MAP_COUNT; ++map) {
        MapGrid& grid = walk->grids[map];
        int rows = 0;
        grid.loaded =
            LoadAttributeGrid(files, map, &grid.attributes, &grid.tokens, &grid.columns, &rows);
        walk->reached[map].assign(CELLS * CELLS, false);
    }
    // The game starts on map 1 with the lead's first step from the origin to its start point.
    Arrival start = {1, 0.0f, 0.0f, 0.0f, 0.0f};
    LeadFirstStep(&start.fromX, &start.fromZ, &start.x, &start.z);
    walk->arrivals.push_back(start);
    while (!walk->arrivals.empty()) {
        const Arrival arrival = walk->arrivals.front();
        walk->arrivals.pop_front();
        walk->Arrive(arrival);
    }
    // A map that no exit leads to is not the walls' doing: a small game may use one map.
    for (int map = 1; map <= MAP_COUNT; ++map) {
        if (walk->arrived[map])
            ReportExits(*walk, map, report);
    }
    for (const PlacedCharacter& character : facts.characters) {
        if (walk->arrived[character.map] && !CanTalkTo(*walk, character))
            report->Add(character.key, character.line,
                        "character " + std::to_string(character.number) +
                            ": the lead cannot walk close enough to talk to it");
    }
}
