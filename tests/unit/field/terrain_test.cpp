#include "field/terrain.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TerrainGrids FlatGrids(float height) {
    TerrainGrids grids = {};
    for (auto& row : grids.heights) {
        for (float& h : row)
            h = height;
    }
    return grids;
}

float HeightAt(float x, float z, float start = -100.0f) {
    Vec3 point = {x, start, z};
    GroundHeight(&point);
    return point.y;
}

TEST(Terrain, FlatMapHasUpNormalsAndItsHeightEverywhere) {
    BuildTerrainGeometry(3, 2, FlatGrids(1.5f));
    ASSERT_EQ(g_mapTerrain.vertexCount, 24);
    for (int j = 0; j < g_mapTerrain.vertexCount; ++j) {
        const TerrainVertex& v = g_mapTerrain.vertexList.data[j];
        EXPECT_FLOAT_EQ(v.nx, 0.0f);
        EXPECT_FLOAT_EQ(v.ny, 1.0f);
        EXPECT_FLOAT_EQ(v.nz, 0.0f);
    }
    for (float x : {0.0f, 0.5f, 2.0f, 3.7f, 6.0f}) {
        for (float z : {0.0f, 1.0f, 2.0f, 3.9f, 4.0f})
            EXPECT_FLOAT_EQ(HeightAt(x, z), 1.5f) << x << "," << z;
    }
}

TEST(Terrain, DiagonalTakesTriangleOneAndSharedEdgesAgree) {
    TerrainGrids grids = FlatGrids(0.0f);
    grids.heights[1][0] = 2.0f; // corner B of cell (0, 0): lifts triangle 1 only
    BuildTerrainGeometry(2, 2, grids);
    // On the diagonal both triangles give 0 at the ends, triangle 1's plane is used
    // in between and agrees with triangle 2 there.
    EXPECT_FLOAT_EQ(HeightAt(1.0f, 1.0f), 0.0f);
    // Inside triangle 1 (x < z) the lifted corner shows.
    EXPECT_FLOAT_EQ(HeightAt(0.0f, 1.0f), 1.0f);
    // The edge x = 2 between cells (0, 0) and (0, 1) gives one height.
    EXPECT_FLOAT_EQ(HeightAt(2.0f, 1.0f), 0.0f);
    // The edge z = 2 between rows: cell (0, 0) first, and cell (1, 0) agrees.
    EXPECT_FLOAT_EQ(HeightAt(0.0f, 2.0f), 2.0f);
    EXPECT_NEAR(HeightAt(0.0f, 2.0f - 1e-4f), 2.0f - 1e-4f, 1e-5f);
}

TEST(Terrain, PointsOffTheMapOrOverUnbuiltCellsKeepTheirHeight) {
    BuildTerrainGeometry(2, 2, FlatGrids(1.0f));
    for (const auto& xz : {std::pair{-0.5f, 1.0f}, std::pair{1.0f, -0.5f}, std::pair{32.5f, 1.0f},
                           std::pair{1.0f, 32.5f}})
        EXPECT_FLOAT_EQ(HeightAt(xz.first, xz.second, 7.0f), 7.0f);
    // Cell (5, 5) was never built: its plane stands on edge and gives no height.
    for (CellPlane& plane : g_mapTerrain.cellPlanes[5][5])
        plane = {{0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f}};
    EXPECT_FLOAT_EQ(HeightAt(11.0f, 11.0f, 7.0f), 7.0f);
}

TEST(Terrain, ChipNumbersSelectAtlasTiles) {
    struct ChipCase {
        int chip;
        float uL, vT;
    };
    const ChipCase cases[] = {{0, 0.0f, 0.0f}, {23, 0.25f, 0.375f}, {77, 0.875f, 0.875f}};
    TerrainGrids grids = FlatGrids(0.0f);
    for (int k = 0; k < 3; ++k)
        grids.chips[0][k] = cases[k].chip;
    BuildTerrainGeometry(3, 1, grids);
    for (int k = 0; k < 3; ++k) {
        const CellQuad& q = g_mapTerrain.quads[0][k];
        const TerrainVertex* v = g_mapTerrain.vertexList.data;
        EXPECT_FLOAT_EQ(v[q.q0].u, cases[k].uL);
        EXPECT_FLOAT_EQ(v[q.q0].v, cases[k].vT);
        EXPECT_FLOAT_EQ(v[q.q2].u, cases[k].uL + 0.125f);
        EXPECT_FLOAT_EQ(v[q.q2].v, cases[k].vT + 0.125f);
    }
}

TEST(Terrain, FullMapCountsAndMeshData) {
    TerrainGrids grids = FlatGrids(0.0f);
    grids.heights[16][16] = 3.0f;
    BuildTerrainGeometry(16, 16, grids);
    EXPECT_EQ(g_mapTerrain.vertexCount, 1024);
    EXPECT_EQ(g_mapTerrain.triangleCount, 512);
    EXPECT_EQ(g_mapTerrain.vertexList.capacity, 1024);
    std::vector<TerrainVertex> vertices(1024);
    std::vector<std::uint16_t> indices(1536);
    FillTerrainVertices(vertices.data());
    FillTerrainIndices(indices.data());
    // The last cell's corner C: grid (16, 16) becomes world (32, 32), height kept.
    const CellQuad& last = g_mapTerrain.quads[15][15];
    EXPECT_FLOAT_EQ(vertices[last.q2].x, 32.0f);
    EXPECT_FLOAT_EQ(vertices[last.q2].z, 32.0f);
    EXPECT_FLOAT_EQ(vertices[last.q2].y, 3.0f);
    EXPECT_EQ(std::vector<std::uint16_t>(indices.end() - 6, indices.end()),
              (std::vector<std::uint16_t>{1020, 1021, 1022, 1020, 1022, 1023}));
}

} // namespace

namespace {

// The height lookup as a scan of all 16 x 16 cells, first containing triangle wins.
float ScannedHeight(float x, float z, float y) {
    auto side = [](float ex, float ez, float fx, float fz, float px, float pz) {
        return (fx - ex) * (pz - ez) - (fz - ez) * (px - ex);
    };
    auto contains = [&](const float(&t)[3][2]) {
        float s[3];
        for (int k = 0; k < 3; ++k)
            s[k] = side(t[k][0], t[k][1], t[(k + 1) % 3][0], t[(k + 1) % 3][1], x, z);
        return (s[0] >= 0 && s[1] >= 0 && s[2] >= 0) || (s[0] <= 0 && s[1] <= 0 && s[2] <= 0);
    };
    for (int a = 0; a < 16; ++a) {
        for (int c = 0; c < 16; ++c) {
            const float x0 = 2.0f * c, z0 = 2.0f * a;
            const float t1[3][2] = {{x0, z0}, {x0, z0 + 2}, {x0 + 2, z0 + 2}};
            const float t2[3][2] = {{x0, z0}, {x0 + 2, z0}, {x0 + 2, z0 + 2}};
            const CellPlane* plane = contains(t1)   ? &g_mapTerrain.cellPlanes[a][c][0]
                                     : contains(t2) ? &g_mapTerrain.cellPlanes[a][c][1]
                                                    : nullptr;
            if (!plane || plane->normal.y == 0.0f)
                continue;
            const Vec3& n = plane->normal;
            const Vec3& p = plane->point;
            return p.y - (n.x * (x - 2.0f * p.x) * 0.5f + n.z * (z - 2.0f * p.z) * 0.5f) / n.y;
        }
    }
    return y;
}

TEST(Terrain, LookupAgreesWithTheFullScanOnEdgesAndInside) {
    TerrainGrids grids = {};
    for (int r = 0; r <= 16; ++r) {
        for (int c = 0; c <= 16; ++c)
            grids.heights[r][c] = static_cast<float>((r * 7 + c * 13) % 5) * 0.7f;
    }
    BuildTerrainGeometry(12, 16, grids); // columns 12 to 15 keep older planes
    for (float x = -1.0f; x <= 33.0f; x += 0.25f) {
        for (float z = -1.0f; z <= 33.0f; z += 0.25f)
            EXPECT_EQ(HeightAt(x, z, 5.0f), ScannedHeight(x, z, 5.0f)) << x << "," << z;
    }
}

} // namespace
