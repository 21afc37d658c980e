// The starter game's map: 16 x 16 cells of grass inside a hedge, with one pen in the
// south-east where a villager wanders, a marker in the middle and a gate home in the
// east hedge, in the camera's view: the villager appears once the lead comes through it. The same
// ground, with nobody on it, is written for maps 2 and 3, which the starter never reaches (it has
// no exits to them), so that every file the game may ask for is there.
#include "new_game.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int CELLS = 16;             // map cells along each axis
constexpr int ATTRIBUTES = 2 * CELLS; // attribute cells: two per map cell along each axis
constexpr int EXIT_HOME = 50;         // the exit back to map 1, arriving at (24, 14)
constexpr int GATE_ROW = 7;           // the map row of the gate home in the east hedge

enum Ground { GRASS = 0, PATH = 10, HEDGE = 20, PEN = 30 }; // the values are chip numbers

struct StarterMap {
    Ground cells[CELLS][CELLS]; // [row][column]; row 0 is the south edge (z = 0)
};

StarterMap Layout() {
    StarterMap map;
    for (int r = 0; r < CELLS; ++r)
        for (int c = 0; c < CELLS; ++c)
            map.cells[r][c] =
                (r == 0 || c == 0 || r == CELLS - 1 || c == CELLS - 1) ? HEDGE : GRASS;
    // The pen: one cell of bare earth in a block of hedge in the south-east corner. Seen
    // from where a talk can start, its only open side is the north: the walls the game
    // scans last, so the long first step after a talk cannot carry the lead inside.
    for (int r = 1; r <= 3; ++r)
        for (int c = 9; c <= 14; ++c)
            map.cells[r][c] = HEDGE;
    map.cells[2][12] = PEN;
    // A path from the road home to the marker.
    for (int k = 1; k <= 8; ++k)
        map.cells[k * 7 / 8 > 0 ? k * 7 / 8 : 1][k] = PATH;
    for (int r = 7; r <= 11; ++r)
        map.cells[r][8] = PATH;
    // The gate home: a gap in the east hedge, level with the lead's start.
    map.cells[GATE_ROW][CELLS - 1] = PATH;
    return map;
}

double SegmentDistance(double px, double pz, double x0, double z0, double x1, double z1) {
    const double dx = x1 - x0, dz = z1 - z0;
    double t = ((px - x0) * dx + (pz - z0) * dz) / (dx * dx + dz * dz);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return std::hypot(px - (x0 + t * dx), pz - (z0 + t * dz));
}

// The wall value of a blocked attribute cell from the sides on which walkable ground
// lies: the game puts a walker who crosses the wall back on that side.
int WallValue(bool down, bool right, bool up, bool left) {
    const int sides = down + right + up + left;
    if (sides == 1)
        return down ? 1 : right ? 2 : up ? 3 : 4;
    if (down && right)
        return 5;
    if (right && up)
        return 6;
    if (up && left)
        return 7;
    return 8; // down and left; the layout has no cell open on opposite sides
}

// The attribute grid: hedges are walls, the map's rim is a wall except on the road
// home, a corridor from the map's origin to the lead's start point (the lead's very
// first step runs along it) whose end at the origin is the exit back to map 1. That end
// lies outside the camera's view; the gate in the east hedge is the exit a player uses.
void Attributes(const StarterMap& map, int values[ATTRIBUTES][ATTRIBUTES]) {
    bool free[ATTRIBUTES][ATTRIBUTES];
    int exits[ATTRIBUTES][ATTRIBUTES] = {};
    for (int r = 0; r < ATTRIBUTES; ++r) {
        for (int c = 0; c < ATTRIBUTES; ++c) {
            free[r][c] = map.cells[r / 2][c / 2] != HEDGE;
            if (SegmentDistance(c + 0.5, r + 0.5, 0, 0, 25, 14) <= 1.5) {
                free[r][c] = true;
                if (std::hypot(c + 0.5, r + 0.5) <= 2.2)
                    exits[r][c] = EXIT_HOME;
            }
            // The gate's inner half is the exit; its outer half stays the rim's wall.
            if (r / 2 == GATE_ROW && c == ATTRIBUTES - 2)
                exits[r][c] = EXIT_HOME;
            const bool rim = r == 0 || c == 0 || r == ATTRIBUTES - 1 || c == ATTRIBUTES - 1;
            if (rim && !exits[r][c])
                free[r][c] = false;
        }
    }
    auto isFree = [&](int r, int c) {
        return r >= 0 && c >= 0 && r < ATTRIBUTES && c < ATTRIBUTES && free[r][c];
    };
    for (int r = 0; r < ATTRIBUTES; ++r) {
        for (int c = 0; c < ATTRIBUTES; ++c) {
            if (free[r][c]) {
                values[r][c] = exits[r][c];
                continue;
            }
            const bool down = isFree(r - 1, c), right = isFree(r, c + 1), up = isFree(r + 1, c),
                       left = isFree(r, c - 1);
            if (down || right || up || left) {
                values[r][c] = WallValue(down, right, up, left);
                continue;
            }
            // A blocked cell that touches walkable ground only at a corner closes that
            // corner with walls on both its edges there: the walls of its two neighbours
            // meet in that point, and a step through it crosses neither, or is put back
            // along one axis only, beyond the other wall.
            values[r][c] = isFree(r - 1, c + 1)   ? WallValue(true, true, false, false)
                           : isFree(r + 1, c + 1) ? WallValue(false, true, true, false)
                           : isFree(r + 1, c - 1) ? WallValue(false, false, true, true)
                           : isFree(r - 1, c - 1) ? WallValue(true, false, false, true)
                                                  : 0;
        }
    }
}

std::vector<std::uint8_t> Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return {text.begin(), text.end()};
}

// Corner heights: a corner among hedges only is raised, so the hedges stand up.
std::vector<std::string> Base(const StarterMap& map) {
    std::vector<std::string> lines = {"16 64 -42", "16 0 15", "0", "16 16 2"};
    for (int r = 0; r <= CELLS; ++r) {
        std::string row;
        for (int c = 0; c <= CELLS; ++c) {
            bool hedges = true;
            for (int rr = r - 1; rr <= r; ++rr)
                for (int cc = c - 1; cc <= c; ++cc)
                    if (rr >= 0 && cc >= 0 && rr < CELLS && cc < CELLS &&
                        map.cells[rr][cc] != HEDGE)
                        hedges = false;
            row += std::string(c ? " " : "") + (hedges ? "1.2" : "0");
        }
        lines.push_back(row);
    }
    return lines;
}

} // namespace

void AddNewGameMaps(NewGameFiles* files) {
    const StarterMap map = Layout();
    std::vector<std::string> chips = {"0"};
    for (int r = 0; r < CELLS; ++r) {
        std::string row;
        for (int c = 0; c < CELLS; ++c)
            row += std::string(c ? " " : "") + std::to_string(map.cells[r][c]);
        chips.push_back(row);
    }
    static int values[ATTRIBUTES][ATTRIBUTES];
    Attributes(map, values);
    std::vector<std::string> attributes = {"0"};
    for (int r = 0; r < ATTRIBUTES; ++r) {
        std::string row;
        for (int c = 0; c < ATTRIBUTES; ++c)
            row += std::string(c ? " " : "") + std::to_string(values[r][c]);
        attributes.push_back(row);
    }
    // Character 1 (sprite sheet X/miroune.bmp, scenario slot 1) in the pen, shown
    // while e.1 is set (always: the game sets it at start-up).
    const std::vector<std::string> chara = {"0", "1 25 0 5 1 1 0", "0"};
    // A question mark (kind 1) at (16, 20), shown while e.1 is set, starting slot 2.
    const std::vector<std::string> event = {"1", "1 1 16 0 20 1 0 2"};
    for (int number = 1; number <= 3; ++number) {
        const std::string prefix = "Data/map" + std::to_string(number);
        const bool used = number == 1;
        files->push_back({prefix + "base.dat", Lines(Base(map))});
        files->push_back({prefix + "baseUV.dat", Lines(chips)});
        files->push_back({prefix + "attribute.dat", Lines(attributes)});
        files->push_back(
            {prefix + "chara.dat", Lines(used ? chara : std::vector<std::string>{"0", "0"})});
        files->push_back(
            {prefix + "event.dat", Lines(used ? event : std::vector<std::string>{"0"})});
    }
}
