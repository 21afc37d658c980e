// A headless device with the game's render set-up, small scenes built in memory, and
// the presented frame read back for pixel checks.
#pragma once

#include "platform/gfx/gfx_math.h"

#include <cstdint>
#include <functional>
#include <vector>

struct GfxMesh;
struct GfxTexture;

struct Rgb {
    int r, g, b;
};

// Window, device, fixed states, targets and effects, once per test program; false
// when this machine cannot give a GL 3.3 device.
bool InitRenderFixture();
// Empties the field: no terrain, markers, characters, cursor or fog volume; fog mode
// with no fade; the light white and straight down.
void ResetScene();
void LookAt(const Vec3& eye, const Vec3& at);

// A 16 x 16 map whose corner height at (column, row) the function gives.
void BuildTerrain(const std::function<float(int column, int row)>& height);
// An axis-aligned box of the two corners, its faces wound for the fog passes.
GfxMesh* MakeBoxMesh(const Vec3& low, const Vec3& high);
// Puts a mesh into a slot, releasing the one it held.
void ReplaceMesh(GfxMesh** slot, GfxMesh* mesh);
// A sprite sheet whose texel colour the function gives (magenta is transparent).
GfxTexture* MakeTexture(int width, int height, const std::function<Rgb(int x, int y)>& texel);
// Character k of the field: active, standing at the point, showing the whole sheet.
void PlaceCharacter(int k, int number, const Vec3& position);

// One frame as the game draws it (clear to 0xFF646464, the scene, present); the
// presented pixels, 1024 x 768 RGBA, top row first. name: written as a PPM into
// TAVELLE_SHOT_DIR when that is set.
const std::uint8_t* RenderFrame(const char* name);
Rgb PixelAt(const std::uint8_t* frame, int x, int y);
// The screen pixel of a world point under the current camera.
Vec3 ProjectToScreen(const Vec3& point);
