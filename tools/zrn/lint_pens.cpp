// Lint of the pens: where a wandering character can get to. The walls are tested only
// where a step properly crosses them, so a step through the exact point where two
// walls of different cells meet passes, and a step stopped by one wall is put back
// along one axis only and may end beyond the other. Both are found by walking the
// game's own wall scan: first from cell centre to cell centre (the way a pen is meant
// to hold), then with the short slanted steps a walker takes from the points where
// walls put it back, near every corner of every cell it reaches.
#include "lint_report.h"
#include "map_steps.h"

#include "field/map_files.h"

#include <cmath>
#include <cstdio>
#include <deque>
#include <vector>

namespace {

// The walk covers the grid and a ring of cells around it: past the grid there are no
// walls, so a walker that gets there can go on without end.
constexpr int FIRST_CELL = -2;
constexpr int CELLS = ATTRIBUTE_GRID_SIZE + 4;
constexpr int ORTHOGONAL[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
// Walls put a walker back 0.01 beyond the edge it crossed.
constexpr float NEAR_EDGE[2] = {0.01f, 0.99f};
constexpr int DIRECTIONS = 16;
constexpr float DIRECTION_OFFSET = 0.3f; // of the angle between two directions
// A wanderer's step at 60 frames a second, and the lead's.
constexpr float STEP_LENGTHS[2] = {0.5f / 60.0f * 2.0f, 10.0f / 60.0f};
constexpr float PI = 3.14159265f;

bool InRing(int c, int r) {
    return c >= FIRST_CELL && r >= FIRST_CELL && c < FIRST_CELL + CELLS && r < FIRST_CELL + CELLS;
}

int NodeOf(int c, int r) {
    return (r - FIRST_CELL) * CELLS + (c - FIRST_CELL);
}

int CellOf(float v) {
    return static_cast<int>(std::floor(v));
}

float Centre(int cell) {
    return static_cast<float>(cell) + 0.5f;
}

struct Escape {
    bool found = false;
    int fromC = 0, fromR = 0; // the cell the walker left
    int toC = 0, toR = 0;     // where it ended
    float cornerX = 0.0f, cornerZ = 0.0f;
};

// Cells a walker reaches from (c, r) stepping from centre to centre; exits end a walk.
void FloodCentres(int c, int r, std::vector<bool>* reached, bool* exitReached) {
    std::deque<std::pair<int, int>> frontier = {{c, r}};
    (*reached)[NodeOf(c, r)] = true;
    while (!frontier.empty()) {
        const auto [oc, or_] = frontier.front();
        frontier.pop_front();
        for (const auto& d : ORTHOGONAL) {
            const int nc = oc + d[0], nr = or_ + d[1];
            if (!InRing(nc, nr))
                continue;
            const MapStep step = TakeMapStep(Centre(oc), Centre(or_), Centre(nc), Centre(nr));
            if (step.exit) {
                *exitReached = true;
                continue;
            }
            const int lc = CellOf(step.x), lr = CellOf(step.z);
            if (InRing(lc, lr) && !(*reached)[NodeOf(lc, lr)]) {
                (*reached)[NodeOf(lc, lr)] = true;
                frontier.push_back({lc, lr});
            }
        }
    }
}

// The first slanted step from a held cell that ends in a cell the centres never reach.
Escape FindEscape(const std::vector<bool>& held) {
    for (int r = FIRST_CELL; r < FIRST_CELL + CELLS; ++r) {
        for (int c = FIRST_CELL; c < FIRST_CELL + CELLS; ++c) {
            if (!held[NodeOf(c, r)])
                continue;
            for (const float a : NEAR_EDGE) {
                for (const float b : NEAR_EDGE) {
                    const float x = static_cast<float>(c) + a, z = static_cast<float>(r) + b;
                    for (int k = 0; k < DIRECTIONS; ++k) {
                        // Off the axes and diagonals: a step exactly through a
                        // wall's end point passes, but no walker keeps to such a line.
                        const float angle =
                            2.0f * PI * (static_cast<float>(k) + DIRECTION_OFFSET) / DIRECTIONS;
                        for (const float length : STEP_LENGTHS) {
                            const MapStep step = TakeMapStep(x, z, x + length * std::cos(angle),
                                                             z + length * std::sin(angle));
                            const int lc = CellOf(step.x), lr = CellOf(step.z);
                            if (step.exit || !InRing(lc, lr) || held[NodeOf(lc, lr)])
                                continue;
                            return {true, c, r, lc, lr, std::round(x), std::round(z)};
                        }
                    }
                }
            }
        }
    }
    return {};
}

std::string Point(float x, float z) {
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g)", static_cast<double>(x), static_cast<double>(z));
    return text;
}

std::string Cell(int c, int r) {
    return "(" + std::to_string(c) + ", " + std::to_string(r) + ")";
}

void CheckCharacter(const PlacedCharacter& character, int columns, int rows, LintReport* report) {
    const int c = CellOf(character.x), r = CellOf(character.z);
    if (!InRing(c, r))
        return;
    std::vector<bool> held(CELLS * CELLS, false);
    bool exitReached = false;
    FloodCentres(c, r, &held, &exitReached);
    const std::string who =
        "character " + std::to_string(character.number) + " at " + Point(character.x, character.z);
    if (exitReached)
        report->Add(character.key, character.line,
                    who + " can wander into an exit and take the lead to another map: keep it "
                          "in a pen");
    const Escape escape = FindEscape(held);
    // Where it goes once out counts for the map's edges too.
    std::vector<bool> reached = held;
    if (escape.found) {
        FloodCentres(escape.toC, escape.toR, &reached, &exitReached);
        report->Add(character.key, character.line,
                    who + " slips out of its pen at the corner " +
                        Point(escape.cornerX, escape.cornerZ) + ", from cell " +
                        Cell(escape.fromC, escape.fromR) + " into cell " +
                        Cell(escape.toC, escape.toR) +
                        ": walls of two cells that meet at a corner leave a gap there; give the "
                        "corner cell walls on both edges (5 to 8) or continue one wall past the "
                        "other");
    }
    for (int cr = FIRST_CELL; cr < FIRST_CELL + CELLS; ++cr) {
        for (int cc = FIRST_CELL; cc < FIRST_CELL + CELLS; ++cc) {
            if (reached[NodeOf(cc, cr)] && (cc < 0 || cr < 0 || cc >= columns || cr >= rows)) {
                report->Add(character.key, character.line,
                            who + " can walk off the map (to cell " + Cell(cc, cr) +
                                "): no wall closes its way there");
                return;
            }
        }
    }
}

} // namespace

void LintPens(const LintFiles& files, const LintFacts& facts, LintReport* report) {
    for (int map = 1; map <= MAP_COUNT; ++map) {
        AttributeGrid grid;
        std::vector<LintToken> tokens;
        int columns = 0, rows = 0;
        if (!LoadAttributeGrid(files, map, &grid, &tokens, &columns, &rows))
            continue;
        UseAttributeGrid(grid);
        for (const PlacedCharacter& character : facts.characters) {
            if (character.map == map)
                CheckCharacter(character, columns, rows, report);
        }
    }
}
