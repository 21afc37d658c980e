// The ground of the current map: one mesh of textured quads, one per map cell,
// lifted to the corner heights, with one plane per cell triangle for height lookups.
#pragma once

#include "render/model.h"

#include "platform/gfx/gfx_math.h"

#include "platform/win_types.h"

#include <cstdint>

constexpr int MAP_MAX_CELLS = 16;       // map width and depth in cells
constexpr int ATTRIBUTE_GRID_SIZE = 32; // attribute cells along each axis
// The map-chip texture is a square atlas of this many tiles a side; a chip number's
// tens pick the column and its units the row.
constexpr int MAP_CHIP_ATLAS_TILES = 8;

// Position (grid units in the vertex list, world units in the mesh), normal, atlas uv.
using TerrainVertex = ModelVertex;

struct CellQuad {
    std::uint16_t q0, q1, q2, q3;
};

// Plane of one cell triangle in grid units: unit normal (y >= 0) and a point on it
// (column, height, row).
struct CellPlane {
    Vec3 normal;
    Vec3 point;
};

struct MapTerrain {
    GfxMesh* mesh;
    Material material;
    std::int32_t vertexCount;
    std::int32_t triangleCount;
    GrowableArray<TerrainVertex> vertexList;
    CellPlane cellPlanes[MAP_MAX_CELLS][MAP_MAX_CELLS][2];
    std::int32_t attributes[ATTRIBUTE_GRID_SIZE][ATTRIBUTE_GRID_SIZE]; // [row][column]
    std::int32_t W, H, S;
    std::int32_t quadCount;
    CellQuad quads[MAP_MAX_CELLS][MAP_MAX_CELLS];
    std::int32_t quadColumns, quadRows;
    GrowableArray<CellQuad*> quadOrder;
    std::int32_t vertexCounter;

    MapTerrain();
};

extern MapTerrain g_mapTerrain;
// The map most recently built (0 before the first).
extern int g_builtMap;

// The grids a map's base and base-UV files give: corner heights [row][column] for
// rows 0..H and columns 0..W, and chip numbers [row][column] for the cells.
struct TerrainGrids {
    float heights[MAP_MAX_CELLS + 1][MAP_MAX_CELLS + 1];
    std::int32_t chips[MAP_MAX_CELLS][MAP_MAX_CELLS];
};

// The vertex list, quads and cell planes of a W x H map (1..16 each) in grid units.
void BuildTerrainGeometry(int w, int h, const TerrainGrids& grids);
// What goes into the mesh: the vertex list with x and z doubled, and six indices
// (q0, q1, q2, q0, q2, q3) per quad in build order.
void FillTerrainVertices(TerrainVertex* out);
void FillTerrainIndices(std::uint16_t* out);

// Loads map N (1..3): terrain, camera, then the event markers. 1, or E_FAIL when
// the map's base file is unusable or the mesh cannot be created.
HRESULT BuildMapTerrain(int map);

// Overwrites point's y with the ground height under (x, z); a point that is not over
// a cell with a usable plane keeps its y.
void GroundHeight(Vec3* point);
