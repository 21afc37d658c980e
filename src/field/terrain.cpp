#include "field/terrain.h"

#include "field/events.h"
#include "field/map_files.h"
#include "render/render_setup.h"

#include <algorithm>
#include <cmath>

MapTerrain g_mapTerrain;

MapTerrain::MapTerrain()
    : mesh(nullptr), material{{1.0f, 1.0f, 1.0f, 0.0f},
                              {1.0f, 1.0f, 1.0f, 0.0f},
                              {1.0f, 1.0f, 1.0f, 1.0f},
                              {0.0f, 0.0f, 0.0f, 0.0f},
                              10.0f},
      vertexCount(0), triangleCount(0), attributes{}, W(0), H(0), S(0), quadCount(0), quads{},
      quadColumns(0), quadRows(0), vertexCounter(0) {
    for (auto& row : cellPlanes) {
        for (auto& cell : row) {
            for (CellPlane& plane : cell)
                plane = {{0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f}};
        }
    }
}

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Unit normal of the triangle (a, b, c) from (b - a) x (c - b), turned to face up.
Vec3 UpwardNormal(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 cross = Cross(Sub(b, a), Sub(c, b));
    Vec3 normal;
    Vec3Normalize(&normal, &cross);
    if (normal.y < 0.0f)
        normal = {-normal.x, -normal.y, -normal.z};
    return normal;
}

std::uint16_t AppendVertex(const Vec3& p, const Vec3& n, float u, float v) {
    const std::int32_t number = g_mapTerrain.vertexCounter++;
    g_mapTerrain.vertexList.Put(number, {p.x, p.y, p.z, n.x, n.y, n.z, u, v});
    return static_cast<std::uint16_t>(number);
}

float Side(float ex, float ez, float fx, float fz, float px, float pz) {
    return (fx - ex) * (pz - ez) - (fz - ez) * (px - ex);
}

// Inside or on the boundary of the triangle (a, b, c) in the xz plane.
bool TriangleContains(const float (&t)[3][2], float px, float pz) {
    bool allPositive = true, allNegative = true, noneNegative = true, nonePositive = true;
    for (int k = 0; k < 3; ++k) {
        const float* e = t[k];
        const float* f = t[(k + 1) % 3];
        const float side = Side(e[0], e[1], f[0], f[1], px, pz);
        allPositive = allPositive && side > 0.0f;
        allNegative = allNegative && side < 0.0f;
        noneNegative = noneNegative && side >= 0.0f;
        nonePositive = nonePositive && side <= 0.0f;
    }
    return allPositive || allNegative || noneNegative || nonePositive;
}

} // namespace

void BuildTerrainGeometry(int w, int h, const TerrainGrids& grids) {
    MapTerrain& t = g_mapTerrain;
    t.vertexList.Reset(4 * w * h, 8 * w);
    t.quadOrder.Reset(w * h, 2 * w);
    t.quadColumns = w;
    t.quadRows = h;
    t.quadCount = 0;
    t.vertexCounter = 0;
    for (int i = 0; i < h; ++i) {
        for (int m = 0; m < w; ++m) {
            const float fm = static_cast<float>(m);
            const float fi = static_cast<float>(i);
            const Vec3 a = {fm, grids.heights[i][m], fi};
            const Vec3 b = {fm, grids.heights[i + 1][m], fi + 1.0f};
            const Vec3 c = {fm + 1.0f, grids.heights[i + 1][m + 1], fi + 1.0f};
            const Vec3 d = {fm + 1.0f, grids.heights[i][m + 1], fi};
            const Vec3 n1 = UpwardNormal(a, b, c);
            const Vec3 n2 = UpwardNormal(a, d, c);
            const Vec3 sum = {n1.x + n2.x, n1.y + n2.y, n1.z + n2.z};
            Vec3 n;
            Vec3Normalize(&n, &sum);

            const int k = grids.chips[i][m];
            const float tile = 1.0f / MAP_CHIP_ATLAS_TILES;
            const float uL = tile * static_cast<float>(k / 10);
            const float uR = uL + tile;
            const float vT = tile * static_cast<float>(k % 10);
            const float vB = vT + tile;

            CellQuad& quad = t.quads[i][m];
            quad.q0 = AppendVertex(a, n, uL, vT);
            quad.q1 = AppendVertex(b, n1, uL, vB);
            quad.q2 = AppendVertex(c, n, uR, vB);
            quad.q3 = AppendVertex(d, n2, uR, vT);
            t.cellPlanes[i][m][0] = {n1, a};
            t.cellPlanes[i][m][1] = {n2, a};
            t.quadOrder.Put(t.quadCount, &quad);
            ++t.quadCount;
        }
    }
    t.vertexCount = t.vertexCounter;
    t.triangleCount = 2 * t.quadCount;
}

void FillTerrainVertices(TerrainVertex* out) {
    for (std::int32_t j = 0; j < g_mapTerrain.vertexCount; ++j) {
        TerrainVertex vertex = g_mapTerrain.vertexList.data[j];
        vertex.x *= 2.0f;
        vertex.z *= 2.0f;
        out[j] = vertex;
    }
}

void FillTerrainIndices(std::uint16_t* out) {
    for (std::int32_t k = 0; k < g_mapTerrain.quadCount; ++k) {
        const CellQuad& quad = *g_mapTerrain.quadOrder.data[k];
        const std::uint16_t six[6] = {quad.q0, quad.q1, quad.q2, quad.q0, quad.q2, quad.q3};
        for (int i = 0; i < 6; ++i)
            out[6 * k + i] = six[i];
    }
}

int g_builtMap = 0;

HRESULT BuildMapTerrain(int map) {
    if (!LoadMapTerrain(map))
        return E_FAIL;
    GfxMesh* mesh = nullptr;
    if (FAILED(CreateMeshFVF(g_mapTerrain.triangleCount, g_mapTerrain.vertexCount, MESH_SYSTEMMEM,
                             FVF_MODEL_VERTEX, g_pD3DDevice, &mesh)))
        return E_FAIL;
    // The old map's mesh is never drawn again once the new one exists.
    if (g_mapTerrain.mesh)
        g_mapTerrain.mesh->Release();
    g_mapTerrain.mesh = mesh;
    void* vertices = nullptr;
    if (SUCCEEDED(mesh->LockVertexBuffer(LOCK_DISCARD, &vertices))) {
        FillTerrainVertices(static_cast<TerrainVertex*>(vertices));
        mesh->UnlockVertexBuffer();
    }
    void* indices = nullptr;
    if (SUCCEEDED(mesh->LockIndexBuffer(LOCK_DISCARD, &indices))) {
        FillTerrainIndices(static_cast<std::uint16_t*>(indices));
        mesh->UnlockIndexBuffer();
    }
    LoadEventObjects(map);
    g_builtMap = map;
    return 1;
}

void GroundHeight(Vec3* point) {
    const float x = point->x;
    const float z = point->z;
    // Only the cells around (x, z) can hold it; they are tried in the order of the
    // full row-by-row scan, so the first that holds it wins as it would there.
    // A point far off the map, or not a number, lies in none.
    if (!(x >= -2.0f && x <= 34.0f && z >= -2.0f && z <= 34.0f))
        return;
    const int row = static_cast<int>(std::floor(z * 0.5f));
    const int column = static_cast<int>(std::floor(x * 0.5f));
    for (int a = std::max(row - 1, 0); a <= std::min(row + 1, MAP_MAX_CELLS - 1); ++a) {
        for (int c = std::max(column - 1, 0); c <= std::min(column + 1, MAP_MAX_CELLS - 1); ++c) {
            const float x0 = 2.0f * static_cast<float>(c);
            const float z0 = 2.0f * static_cast<float>(a);
            const float triangle1[3][2] = {{x0, z0}, {x0, z0 + 2.0f}, {x0 + 2.0f, z0 + 2.0f}};
            const float triangle2[3][2] = {{x0, z0}, {x0 + 2.0f, z0}, {x0 + 2.0f, z0 + 2.0f}};
            const CellPlane* plane = nullptr;
            if (TriangleContains(triangle1, x, z))
                plane = &g_mapTerrain.cellPlanes[a][c][0];
            else if (TriangleContains(triangle2, x, z))
                plane = &g_mapTerrain.cellPlanes[a][c][1];
            // A plane standing on edge (the initial one, or a cell no map has
            // covered yet) has no height to give.
            if (!plane || plane->normal.y == 0.0f)
                continue;
            const Vec3& n = plane->normal;
            const Vec3& p = plane->point;
            point->y = p.y - (n.x * (x - 2.0f * p.x) * 0.5f + n.z * (z - 2.0f * p.z) * 0.5f) / n.y;
            return;
        }
    }
}
