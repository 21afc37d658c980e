#include "scene/object_draws.h"

#include "field/characters.h"
#include "field/cursor_pick.h"
#include "field/events.h"
#include "field/terrain.h"
#include "render/assets.h"
#include "render/camera.h"
#include "render/render_setup.h"
#include "render/sprite_depth_effect.h"
#include "scene/scene_passes.h"

#include <algorithm>
#include <cmath>

ScenePassKind g_scenePassKind = SCENE_PASS_COLOR;
float g_cursorSpin = 0.0f;

constexpr float EVENT_SPIN_STEP = 0.023f;
constexpr float CURSOR_SPIN_STEP = 0.01f;
constexpr float GROUND_QUAD_LIFT = 0.001f;
constexpr float ANCHOR_LIFT = 0.15f;
constexpr std::uint32_t GROUND_QUAD_STRIDE = sizeof(ModelVertex);
constexpr float SPRITE_UNIT_WIDTH = 32.0f;  // pixels of sprite per world unit across
constexpr float SPRITE_UNIT_HEIGHT = 48.0f; // and up

void SetEffectTransforms(GfxEffect* effect, const Matrix& world) {
    Matrix view;
    Matrix projection;
    g_pD3DDevice->GetTransform(TS_VIEW, &view);
    g_pD3DDevice->GetTransform(TS_PROJECTION, &projection);
    Matrix worldView;
    MatrixMultiply(&worldView, &world, &view);
    Matrix worldViewProjection;
    MatrixMultiply(&worldViewProjection, &worldView, &projection);
    effect->SetMatrix("World", &world);
    effect->SetMatrix("WView", &worldView);
    effect->SetMatrix("WVProj", &worldViewProjection);
}

// The effect a mesh of the scene is drawn through: the Basic technique for the
// picture; in the depth pass FogEffect, whose DepthScene the pass has selected.
static GfxEffect* MeshEffect() {
    return g_scenePassKind == SCENE_PASS_DEPTH ? FogEffect : BasicEffect;
}

void DrawMeshThroughEffect(GfxEffect* effect, GfxMesh* mesh) {
    std::uint32_t passes = 0;
    effect->Begin(&passes, 0);
    effect->BeginPass(0);
    mesh->DrawSubset(0);
    effect->EndPass();
    effect->End();
}

void DrawTerrain() {
    GfxMesh* mesh = g_mapTerrain.mesh;
    if (!mesh)
        return;
    Matrix identity;
    MatrixIdentity(&identity);
    if (g_scenePassKind == SCENE_PASS_DEPTH) {
        if (!FogEffect)
            return;
        SetEffectTransforms(FogEffect, identity);
        DrawMeshThroughEffect(FogEffect, mesh);
        return;
    }
    g_pD3DDevice->SetTransform(TS_WORLD, &identity);
    g_pD3DDevice->SetTexture(0, g_mapchipTexture);
    g_pD3DDevice->SetMaterial(&g_mapTerrain.material);
    mesh->DrawSubset(0);
}

void DrawModelObject(GfxEffect* effect, ModelObject* m) {
    const Vec4 ambient = {m->Ambient[0], m->Ambient[1], m->Ambient[2], m->Ambient[3]};
    const Vec4 diffuse = {m->Diffuse[0], m->Diffuse[1], m->Diffuse[2], m->Diffuse[3]};
    effect->SetVector("Ambient", &ambient);
    effect->SetVector("Diffuse", &diffuse);
    const Vec4 light = {m->Light[0], m->Light[1], m->Light[2], m->Light[3]};
    Vec4 unit;
    Vec4Normalize(&unit, &light);
    m->Light[0] = unit.x;
    m->Light[1] = unit.y;
    m->Light[2] = unit.z;
    m->Light[3] = unit.w;
    effect->SetVector("Light", &unit);
    effect->SetTexture("MeshTex", m->model.texture);
    DrawMeshThroughEffect(effect, m->model.mesh);
}

void DrawEventObjects() {
    GfxEffect* effect = MeshEffect();
    if (!effect)
        return;
    if (g_scenePassKind == SCENE_PASS_COLOR)
        effect->SetTechnique("Basic");
    for (EventObject& object : g_eventObjects) {
        // A kind with no model in the model table has nothing to draw.
        if (!object.active || !object.model.model.mesh)
            continue;
        object.spin -= EVENT_SPIN_STEP;
        Matrix rotation;
        Matrix translation;
        Matrix scaling;
        MatrixRotationY(&rotation, object.spin);
        MatrixTranslation(&translation, object.position.x, object.position.y, object.position.z);
        MatrixScaling(&scaling, object.size, object.size, object.size);
        // The scaling comes last, so it scales the position as well as the model.
        Matrix world;
        MatrixMultiply(&world, &rotation, &translation);
        MatrixMultiply(&world, &world, &scaling);
        SetEffectTransforms(effect, world);
        DrawModelObject(effect, &object.model);
    }
}

void DrawCursorModel() {
    GfxEffect* effect = MeshEffect();
    if (!effect || !g_cursorModel.model.mesh)
        return;
    g_cursorSpin += CURSOR_SPIN_STEP;
    if (g_scenePassKind == SCENE_PASS_COLOR)
        effect->SetTechnique("Basic");
    Matrix rotation;
    Matrix translation;
    MatrixRotationY(&rotation, g_cursorSpin);
    MatrixTranslation(&translation, g_pickedPoint.x, g_pickedPoint.y, g_pickedPoint.z);
    Matrix world;
    MatrixMultiply(&world, &rotation, &translation);
    SetEffectTransforms(effect, world);
    DrawModelObject(effect, &g_cursorModel);
}

void DrawEffectQuad() {
    // The square lies a hair above the terrain, whose depth the depth pass already
    // holds; it adds nothing there.
    const FieldCharacter& lead = g_fieldCharacters[0];
    if (g_scenePassKind == SCENE_PASS_DEPTH || !lead.markerBuffer)
        return;
    g_pD3DDevice->SetRenderState(RS_ALPHABLENDENABLE, 1);
    g_pD3DDevice->SetTextureStageState(0, TSS_ALPHAOP, TOP_MODULATE);
    g_pD3DDevice->SetTextureStageState(0, TSS_ALPHAARG1, TA_TEXTURE);
    g_pD3DDevice->SetTextureStageState(0, TSS_ALPHAARG2, TA_DIFFUSE);
    g_pD3DDevice->SetTexture(0, g_effectTexture);
    g_pD3DDevice->SetMaterial(&lead.markerMaterial);
    Matrix world;
    MatrixTranslation(&world, lead.position.x, lead.position.y + GROUND_QUAD_LIFT, lead.position.z);
    g_pD3DDevice->SetTransform(TS_WORLD, &world);
    g_pD3DDevice->SetStreamSource(0, lead.markerBuffer, 0, GROUND_QUAD_STRIDE);
    g_pD3DDevice->SetFVF(FVF_MODEL_VERTEX);
    g_pD3DDevice->DrawPrimitive(PT_TRIANGLEFAN, 0, 2);
    g_pD3DDevice->SetTextureStageState(0, TSS_ALPHAOP, TOP_SELECTARG1);
}

Vec3 SpriteAnchorOffset(const Vec3& eye, const Vec3& at) {
    const float dx = eye.x - at.x;
    const float dy = eye.y - at.y;
    const float dz = eye.z - at.z;
    const Vec3 offset = {ANCHOR_LIFT * dx / dy, 0.0f, ANCHOR_LIFT * dz / dy};
    if (!std::isfinite(offset.x) || !std::isfinite(offset.z))
        return Vec3{0.0f, 0.0f, 0.0f};
    return offset;
}

void BuildCharacterEntries(const Vec3& eye, const Vec3& offset, CharacterSpriteEntry out[]) {
    for (int k = 0; k < FIELD_CHARACTER_COUNT; ++k) {
        const FieldCharacter& character = g_fieldCharacters[k];
        CharacterSpriteEntry& entry = out[k];
        entry.anchor = Vec3{character.position.x + offset.x, character.position.y + offset.y,
                            character.position.z + offset.z};
        const float ex = entry.anchor.x - eye.x;
        const float ey = entry.anchor.y - eye.y;
        const float ez = entry.anchor.z - eye.z;
        entry.distanceSquared = ex * ex + ey * ey + ez * ez;
        entry.number = character.number;
        entry.active = character.active;
        entry.width = character.spriteWidth;
        entry.height = character.spriteHeight;
        entry.quad = character.spriteQuad;
    }
    std::sort(out, out + FIELD_CHARACTER_COUNT,
              [](const CharacterSpriteEntry& a, const CharacterSpriteEntry& b) {
                  return a.distanceSquared > b.distanceSquared;
              });
}

void BuildSpriteStrip(const CharacterSpriteEntry& entry, const Vec3& right, const Vec3& left,
                      const Vec3& top, ScreenVertex out[4]) {
    // The top edge lies above the bottom-right corner by the projected width times the
    // tile's aspect, so the sprite keeps its pixel proportions on screen.
    const float topY = right.y + (left.x - right.x) * static_cast<float>(entry.height) /
                                     static_cast<float>(entry.width);
    const float uA = entry.quad.v[0].u;
    const float vA = entry.quad.v[0].v;
    const float uB = entry.quad.v[2].u;
    const float vB = entry.quad.v[2].v;
    constexpr std::uint32_t WHITE = 0xFFFFFFFFu;
    out[0] = ScreenVertex{right.x, topY, top.z, 1.0f, WHITE, uA, vA};
    out[1] = ScreenVertex{right.x, right.y, right.z, 1.0f, WHITE, uA, vB};
    out[2] = ScreenVertex{left.x, topY, top.z, 1.0f, WHITE, uB, vA};
    out[3] = ScreenVertex{left.x, left.y, left.z, 1.0f, WHITE, uB, vB};
}

void DrawCharacterSprite(const CharacterSpriteEntry& entry, int half, const Viewport& viewport,
                         const Matrix& projection, const Matrix& view, const Matrix& world) {
    // A number without a sprite sheet, or a tile without a size, shows nothing.
    if (entry.number < 0 || entry.number >= CHARACTER_TEXTURE_COUNT || entry.width <= 0)
        return;
    const Vec3 localRight = {static_cast<float>(entry.width - half) / SPRITE_UNIT_WIDTH, 0.0f,
                             0.0f};
    const Vec3 localLeft = {static_cast<float>(-half) / SPRITE_UNIT_WIDTH, 0.0f, 0.0f};
    const Vec3 localTop = {0.0f, static_cast<float>(entry.height) / SPRITE_UNIT_HEIGHT, 0.0f};
    Vec3 right;
    Vec3 left;
    Vec3 top;
    Vec3Project(&right, &localRight, &viewport, &projection, &view, &world);
    Vec3Project(&left, &localLeft, &viewport, &projection, &view, &world);
    Vec3Project(&top, &localTop, &viewport, &projection, &view, &world);
    ScreenVertex strip[4];
    BuildSpriteStrip(entry, right, left, top, strip);
    GfxTexture* sheet = g_characterTextures[entry.number];
    if (g_scenePassKind == SCENE_PASS_DEPTH) {
        GfxEffect* effect = GetSpriteDepthEffect();
        effect->SetTexture("SpriteTex", sheet);
        effect->CommitChanges();
    } else {
        g_pD3DDevice->SetTexture(0, sheet);
    }
    g_pD3DDevice->SetFVF(FVF_SCREEN_VERTEX);
    g_pD3DDevice->DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, strip, sizeof(ScreenVertex));
}

void DrawCharacters() {
    GfxEffect* depthEffect = nullptr;
    if (g_scenePassKind == SCENE_PASS_DEPTH) {
        depthEffect = GetSpriteDepthEffect();
        if (!depthEffect)
            return;
    }
    Matrix projection;
    Matrix view;
    Viewport viewport;
    g_pD3DDevice->GetTransform(TS_PROJECTION, &projection);
    g_pD3DDevice->GetTransform(TS_VIEW, &view);
    g_pD3DDevice->GetViewport(&viewport);
    float yaw = 0.0f;
    float pitch = 0.0f;
    GetCameraAngles(&yaw, &pitch);
    // Upright sprites lean with the camera's pitch: stretching them by 1 / cos(pitch)
    // keeps a tile one unit high on screen.
    Matrix stretch;
    Matrix turn;
    Matrix billboard;
    MatrixScaling(&stretch, 1.0f, 1.0f / std::cos(pitch), 1.0f);
    MatrixRotationYawPitchRoll(&turn, yaw, 0.0f, 0.0f);
    MatrixMultiply(&billboard, &stretch, &turn);

    CharacterSpriteEntry entries[FIELD_CHARACTER_COUNT];
    BuildCharacterEntries(g_camera.eye, SpriteAnchorOffset(g_camera.eye, g_camera.at), entries);

    std::uint32_t passes = 0;
    if (depthEffect) {
        const Vec4 depthProjection = {projection.m[2][2], projection.m[3][2], 0.0f, 0.0f};
        depthEffect->SetVector("DepthProjection", &depthProjection);
        depthEffect->SetFloat("IntScale", DepthIntScale());
        depthEffect->Begin(&passes, 0);
        depthEffect->BeginPass(0);
    }
    for (const CharacterSpriteEntry& entry : entries) {
        if (!entry.active)
            continue;
        Matrix translation;
        MatrixTranslation(&translation, entry.anchor.x, entry.anchor.y, entry.anchor.z);
        Matrix world;
        MatrixMultiply(&world, &billboard, &translation);
        DrawCharacterSprite(entry, entry.width / 2, viewport, projection, view, world);
    }
    if (depthEffect) {
        depthEffect->EndPass();
        depthEffect->End();
    }
}
