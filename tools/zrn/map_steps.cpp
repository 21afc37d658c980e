#include "map_steps.h"

#include "field/characters.h"
#include "field/map_files.h"
#include "field/object_step.h"
#include "render/render_setup.h"

#include <cstring>
#include <map>
#include <memory>

namespace {

float Centre(int cell) {
    return static_cast<float>(cell) + 0.5f;
}

AttributeKind ProbeAttribute(int value) {
    // The value alone in cell (1, 1); a walker steps in from each side and out again.
    AttributeGrid grid = {};
    grid[1][1] = value;
    UseAttributeGrid(grid);
    constexpr struct {
        int side, dc, dr;
    } NEIGHBOURS[] = {{SIDE_DOWN, 0, -1}, {SIDE_RIGHT, 1, 0}, {SIDE_UP, 0, 1}, {SIDE_LEFT, -1, 0}};
    AttributeKind kind = {AttributeKind::NONE, 0, {}};
    bool acts = false;
    for (const auto& n : NEIGHBOURS) {
        const float c = Centre(1 + n.dc), r = Centre(1 + n.dr);
        const MapStep in = TakeMapStep(c, r, Centre(1), Centre(1));
        const MapStep out = TakeMapStep(Centre(1), Centre(1), c, r);
        if (in.exit) {
            kind.effect = AttributeKind::EXIT;
            kind.exitStep = in;
            continue;
        }
        if (in.x != Centre(1) || in.z != Centre(1))
            kind.facedSides |= n.side;
        acts = acts || kind.facedSides != 0 || out.x != c || out.z != r;
    }
    if (kind.effect != AttributeKind::EXIT && acts)
        kind.effect = AttributeKind::WALL;
    return kind;
}

} // namespace

const AttributeKind& AttributeKindOf(int value) {
    static std::map<int, AttributeKind> known;
    const auto found = known.find(value);
    if (found != known.end())
        return found->second;
    // Probing uses the grid the game scans: the caller's grid comes back afterwards.
    AttributeGrid saved;
    std::memcpy(saved, g_mapTerrain.attributes, sizeof(AttributeGrid));
    const AttributeKind kind = ProbeAttribute(value);
    UseAttributeGrid(saved);
    return known.emplace(value, kind).first->second;
}

bool LoadAttributeGrid(const LintFiles& files, int map, AttributeGrid* grid,
                       std::vector<LintToken>* tokens, int* columns, int* rows) {
    const auto base = files.find(g_mapFileNames[MAP_FILE_BASE][map]);
    if (base == files.end())
        return false;
    std::string baseText = DataTextOf(base->second);
    MapBase header = {};
    auto heights = std::make_unique<TerrainGrids>();
    if (!ParseMapBase(baseText.data(), &header, heights.get()) || header.S < 1 ||
        header.S > ATTRIBUTE_GRID_SIZE || header.W * header.S > ATTRIBUTE_GRID_SIZE ||
        header.H * header.S > ATTRIBUTE_GRID_SIZE)
        return false;
    std::memset(g_mapTerrain.attributes, 0, sizeof(AttributeGrid));
    const auto found = files.find(g_mapFileNames[MAP_FILE_ATTRIBUTE][map]);
    if (found != files.end()) {
        std::string text = DataTextOf(found->second);
        *tokens = TokenizeLikeGame(text);
        ParseMapAttributes(text.data(), header.W, header.H, header.S);
    }
    std::memcpy(grid, g_mapTerrain.attributes, sizeof(AttributeGrid));
    *columns = header.W * header.S;
    *rows = header.H * header.S;
    return true;
}

void UseAttributeGrid(const AttributeGrid& grid) {
    std::memcpy(g_mapTerrain.attributes, grid, sizeof(AttributeGrid));
}

MapStep TakeMapStep(float fromX, float fromZ, float toX, float toZ) {
    FieldCharacter walker{};
    walker.position.x = fromX;
    walker.position.z = fromZ;
    walker.nextX = toX;
    walker.nextZ = toZ;
    g_renderSet.fadeActive = 0;
    CollideWithAttributes(&walker);
    return {walker.nextX,
            walker.nextZ,
            g_renderSet.fadeActive != 0,
            g_renderSet.fadeDestination,
            g_renderSet.fadeArrivalX,
            g_renderSet.fadeArrivalZ};
}

void LeadFirstStep(float* fromX, float* fromZ, float* toX, float* toZ) {
    g_fieldCharacters[0] = FieldCharacter{};
    InitLeadCharacter();
    const FieldCharacter& lead = g_fieldCharacters[0];
    *fromX = lead.position.x;
    *fromZ = lead.position.z;
    *toX = lead.nextX;
    *toZ = lead.nextZ;
}
