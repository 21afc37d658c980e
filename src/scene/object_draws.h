// The five draws of one pass of the field scene, in the order every pass calls them:
// the terrain, the event markers, the 3D cursor, the lead's ground quad and the
// characters as camera-facing sprites sorted back to front.
//
// The fog's depth pass runs the same draws; there each object writes the view-space
// depth of its surface (scaled by IntScale) instead of its colour.
#pragma once

#include "render/model.h"
#include "render/screen_quad.h"

#include "platform/gfx/gfx_math.h"

#include <cstdint>

struct GfxEffect;
struct GfxMesh;

enum ScenePassKind {
    SCENE_PASS_COLOR, // the picture
    SCENE_PASS_DEPTH, // the nearest surface's depth into the fog's first depth texture
};

// Set by the scene passes before they run the draws.
extern ScenePassKind g_scenePassKind;
// The 3D cursor's turn, radians; it grows at every draw of the cursor.
extern float g_cursorSpin;

// A character as the sprite draw sees it: where it stands, how far it is and what
// it shows.
struct CharacterSpriteEntry {
    Vec3 anchor;           // position moved toward the camera (see SpriteAnchorOffset)
    float distanceSquared; // from the anchor to the eye
    std::int32_t number;   // sprite sheet
    bool active;
    std::int32_t width, height; // sprite tile in pixels
    ScreenQuad quad;            // only the texture coordinates are used
};

// World, WView and WVProj of an effect for the given world, with the view and the
// projection read back from the device.
void SetEffectTransforms(GfxEffect* effect, const Matrix& world);
// Subset 0 of the mesh through pass 0 of the effect's current technique.
void DrawMeshThroughEffect(GfxEffect* effect, GfxMesh* mesh);

void DrawTerrain();
// Draws subset 0 of m's mesh through the caller's technique, with m's Ambient,
// Diffuse, Light (normalised in place as a 4-vector) and texture.
void DrawModelObject(GfxEffect* effect, ModelObject* m);
void DrawEventObjects();
void DrawCursorModel();
// The translucent square under the lead.
void DrawEffectQuad();
void DrawCharacters();
void DrawCharacterSprite(const CharacterSpriteEntry& entry, int half, const Viewport& viewport,
                         const Matrix& projection, const Matrix& view, const Matrix& world);

// How far every sprite anchor moves horizontally toward the camera: as much as
// raising it 0.15 along the line of sight would. Zero for an eye level with its
// target, where that move has no finite size.
Vec3 SpriteAnchorOffset(const Vec3& eye, const Vec3& at);
// The screen strip of one sprite (vertex order of a triangle strip): right-top,
// right-bottom, left-top, left-bottom, from the three projected points R, L, T.
void BuildSpriteStrip(const CharacterSpriteEntry& entry, const Vec3& right, const Vec3& left,
                      const Vec3& top, ScreenVertex out[4]);
// Fills and sorts the seven entries, farthest first.
void BuildCharacterEntries(const Vec3& eye, const Vec3& offset, CharacterSpriteEntry out[]);
