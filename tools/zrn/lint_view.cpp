// Lint of what the camera shows: the lead walks only to ground the player clicks, and
// a person is met by a click on it, so an exit or a character the camera never shows
// cannot be used. Each place is projected through the game's own camera, set up from
// the map's base file as the map loader sets it, the way tavelle-play's clickat aims.
#include "lint_report.h"
#include "map_steps.h"
#include "map_view.h"

#include "field/cursor_pick.h"
#include "field/map_files.h"
#include "render/camera.h"
#include "render/render_setup.h"

#include <cstdio>
#include <memory>
#include <set>

bool ReadMapBase(const LintFiles& files, int map, MapBase* header) {
    const auto base = files.find(g_mapFileNames[MAP_FILE_BASE][map]);
    if (base == files.end())
        return false;
    std::string text = DataTextOf(base->second);
    auto heights = std::make_unique<TerrainGrids>();
    return ParseMapBase(text.data(), header, heights.get());
}

bool LoadMapView(const LintFiles& files, int map, MapView* out) {
    MapBase header = {};
    if (!ReadMapBase(files, map, &header))
        return false;
    SetCameraLookAt(&g_camera, header.eye, header.at);
    out->view = g_camera.view;
    MatrixPerspectiveFovLH(&out->projection, FIELD_FOV_Y, FIELD_ASPECT, FIELD_Z_NEAR, FIELD_Z_FAR);
    return true;
}

// A ground point can be clicked when it is seen on the screen where the pointer can
// pick it: the pick looks a few rows above the pointer, which stays on the screen.
bool GroundPointClickable(const MapView& view, float x, float z) {
    const Vec3 seen = ProjectWorldPoint(view.view, view.projection, {x, 0.0f, z});
    return seen.z >= 0.0f && seen.z <= 1.0f && seen.x >= 0.0f && seen.x < SCREEN_WIDTH &&
           seen.y >= 0.0f && seen.y + PICK_ROWS_ABOVE_POINTER < SCREEN_HEIGHT;
}

namespace {

std::string Place(float x, float z) {
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g)", static_cast<double>(x), static_cast<double>(z));
    return text;
}

void CheckExits(const LintFiles& files, int map, const MapView& view, LintReport* report) {
    AttributeGrid grid;
    std::vector<LintToken> tokens;
    int columns = 0, rows = 0;
    if (!LoadAttributeGrid(files, map, &grid, &tokens, &columns, &rows))
        return;
    // One warning per exit value: a gate of several cells is usable when any cell is.
    std::set<int> seen, shown;
    std::vector<std::pair<int, int>> first;
    for (int r = 0; r < ATTRIBUTE_GRID_SIZE; ++r) {
        for (int c = 0; c < ATTRIBUTE_GRID_SIZE; ++c) {
            const int value = grid[r][c];
            if (AttributeKindOf(value).effect != AttributeKind::EXIT)
                continue;
            if (seen.insert(value).second)
                first.push_back({c, r});
            if (GroundPointClickable(view, static_cast<float>(c) + 0.5f,
                                     static_cast<float>(r) + 0.5f))
                shown.insert(value);
        }
    }
    // The lead's first step at start runs from the map's origin, so a map builder may put
    // an exit there only to keep that step clear of the border's walls. It is no door the
    // player needs while another exit of the map is in view; alone, it is the trap.
    const int originValue = grid[0][0];
    const bool originIsDoorway = !shown.empty() && !shown.count(originValue);
    for (const auto& [c, r] : first) {
        const int value = grid[r][c];
        if (shown.count(value) || (originIsDoorway && value == originValue))
            continue;
        const std::size_t token = 1 + static_cast<std::size_t>(r * columns + c);
        const int line = token < tokens.size() ? tokens[token].line : 0;
        report->Add(g_mapFileNames[MAP_FILE_ATTRIBUTE][map], line,
                    "exit " + std::to_string(value) + " (first at cell (" + std::to_string(c) +
                        ", " + std::to_string(r) +
                        ")): no cell of it is in the camera's view, so the player can never "
                        "click it; move it or the camera (tavelle-play's clickat fails there too)");
    }
}

} // namespace

void LintView(const LintFiles& files, const LintFacts& facts, LintReport* report) {
    for (int map = 1; map <= MAP_COUNT; ++map) {
        MapView view;
        if (!LoadMapView(files, map, &view))
            continue;
        CheckExits(files, map, view, report);
        for (const PlacedCharacter& character : facts.characters) {
            if (character.map == map && !GroundPointClickable(view, character.x, character.z))
                report->Add(character.key, character.line,
                            "character " + std::to_string(character.number) + " at " +
                                Place(character.x, character.z) +
                                " stands outside the camera's view: the player cannot click it");
        }
    }
}
