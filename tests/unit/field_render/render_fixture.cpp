#include "render_fixture.h"

#include "bmp_image.h"
#include "render_device.h"

#include "field/characters.h"
#include "field/cursor_pick.h"
#include "field/events.h"
#include "field/terrain.h"
#include "render/assets.h"
#include "render/camera.h"
#include "render/render_setup.h"
#include "scene/scene_passes.h"

#include "platform/gfx/mesh.h"
#include "platform/gfx/texture_loader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

bool InitRenderFixture() {
    return OpenRenderDevice("Tavelle", true);
}

void ResetScene() {
    for (FieldCharacter& character : g_fieldCharacters)
        character.active = false;
    for (EventObject& object : g_eventObjects)
        object.active = false;
    ReplaceMesh(&g_mapTerrain.mesh, nullptr);
    ReplaceMesh(&g_cursorModel.model.mesh, nullptr);
    ReplaceMesh(&g_fogVolumeModel.mesh, nullptr);
    if (g_mapchipTexture)
        g_mapchipTexture->Release();
    g_mapchipTexture = nullptr;
    g_renderSet.renderMode = RENDER_MODE_FOG;
    g_renderSet.fadeActive = 0;
    const Vec3 down = {0, -1, 0};
    SetDirectionalLight(1, 1, 1, &down);
}

void LookAt(const Vec3& eye, const Vec3& at) {
    SetCameraLookAt(&g_camera, eye, at);
    SetupCameraProjection();
}

void BuildTerrain(const std::function<float(int, int)>& height) {
    TerrainGrids grids = {};
    for (int r = 0; r <= MAP_MAX_CELLS; ++r) {
        for (int c = 0; c <= MAP_MAX_CELLS; ++c)
            grids.heights[r][c] = height(c, r);
    }
    BuildTerrainGeometry(MAP_MAX_CELLS, MAP_MAX_CELLS, grids);
    GfxMesh* mesh = nullptr;
    CreateMeshFVF(g_mapTerrain.triangleCount, g_mapTerrain.vertexCount, MESH_SYSTEMMEM,
                  FVF_MODEL_VERTEX, g_pD3DDevice, &mesh);
    void* data = nullptr;
    mesh->LockVertexBuffer(LOCK_DISCARD, &data);
    FillTerrainVertices(static_cast<TerrainVertex*>(data));
    mesh->UnlockVertexBuffer();
    mesh->LockIndexBuffer(LOCK_DISCARD, &data);
    FillTerrainIndices(static_cast<std::uint16_t*>(data));
    mesh->UnlockIndexBuffer();
    ReplaceMesh(&g_mapTerrain.mesh, mesh);
}

void ReplaceMesh(GfxMesh** slot, GfxMesh* mesh) {
    if (*slot)
        (*slot)->Release();
    *slot = mesh;
}

static Vec3 Sub(const Vec3& a, const Vec3& b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

GfxMesh* MakeBoxMesh(const Vec3& low, const Vec3& high) {
    ModelVertex vertices[8];
    for (int i = 0; i < 8; ++i) {
        vertices[i] = ModelVertex{
            i & 1 ? high.x : low.x, i & 2 ? high.y : low.y, i & 4 ? high.z : low.z, 0, 1, 0, 0, 0};
    }
    // Two triangles per side; each is turned so that it is clockwise seen from outside.
    const int sides[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    const Vec3 centre = {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    std::uint16_t indices[36];
    int n = 0;
    for (const auto& side : sides) {
        const int triangles[2][3] = {{side[0], side[1], side[2]}, {side[0], side[2], side[3]}};
        for (const auto& t : triangles) {
            const Vec3 a = {vertices[t[0]].x, vertices[t[0]].y, vertices[t[0]].z};
            const Vec3 b = {vertices[t[1]].x, vertices[t[1]].y, vertices[t[1]].z};
            const Vec3 c = {vertices[t[2]].x, vertices[t[2]].y, vertices[t[2]].z};
            const Vec3 e1 = Sub(b, a);
            const Vec3 e2 = Sub(c, a);
            const Vec3 normal = {e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z,
                                 e1.x * e2.y - e1.y * e2.x};
            const Vec3 out = Sub(a, centre);
            const bool outward = normal.x * out.x + normal.y * out.y + normal.z * out.z > 0;
            indices[n++] = static_cast<std::uint16_t>(t[0]);
            indices[n++] = static_cast<std::uint16_t>(outward ? t[1] : t[2]);
            indices[n++] = static_cast<std::uint16_t>(outward ? t[2] : t[1]);
        }
    }
    GfxMesh* mesh = nullptr;
    CreateMeshFVF(12, 8, MESH_SYSTEMMEM, FVF_MODEL_VERTEX, g_pD3DDevice, &mesh);
    void* data = nullptr;
    mesh->LockVertexBuffer(LOCK_DISCARD, &data);
    std::memcpy(data, vertices, sizeof(vertices));
    mesh->UnlockVertexBuffer();
    mesh->LockIndexBuffer(LOCK_DISCARD, &data);
    std::memcpy(data, indices, sizeof(indices));
    mesh->UnlockIndexBuffer();
    return mesh;
}

GfxTexture* MakeTexture(int width, int height, const std::function<Rgb(int, int)>& texel) {
    const auto rgb = [&texel](int x, int y) {
        const Rgb c = texel(x, y);
        return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 |
               static_cast<std::uint32_t>(c.b);
    };
    return TextureFromBmp(MakeBmp24(width, height, rgb), FMT_A1R5G5B5);
}

void PlaceCharacter(int k, int number, const Vec3& position) {
    FieldCharacter& character = g_fieldCharacters[k];
    character.active = true;
    character.number = number;
    character.position = position;
    character.spriteWidth = CHARACTER_SPRITE_WIDTH;
    character.spriteHeight = CHARACTER_SPRITE_HEIGHT;
    SetQuadTexRect(&character.spriteQuad, 0, 0, 64, 64);
}

static void WriteShot(const char* name, const std::uint8_t* frame) {
    const char* dir = std::getenv("TAVELLE_SHOT_DIR");
    if (!dir || !name)
        return;
    const std::string path = std::string(dir) + "/" + name + ".ppm";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    std::fprintf(file, "P6\n%d %d\n255\n", SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i)
        std::fwrite(frame + 4 * i, 1, 3, file);
    std::fclose(file);
}

const std::uint8_t* RenderFrame(const char* name) {
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464, 1.0f, 0);
    g_pD3DDevice->BeginScene();
    g_pD3DDevice->SetVertexShader(nullptr);
    g_pD3DDevice->SetFVF(FVF_SCREEN_VERTEX);
    RenderField();
    g_pD3DDevice->EndScene();
    g_pD3DDevice->Present();
    const std::uint8_t* frame = GetCapturedFrame();
    WriteShot(name, frame);
    return frame;
}

Rgb PixelAt(const std::uint8_t* frame, int x, int y) {
    const std::uint8_t* p = frame + 4 * (y * SCREEN_WIDTH + x);
    return Rgb{p[0], p[1], p[2]};
}

Vec3 ProjectToScreen(const Vec3& point) {
    Viewport viewport = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 1};
    Vec3 out;
    Vec3Project(&out, &point, &viewport, &g_camera.projection, &g_camera.view, nullptr);
    return out;
}
