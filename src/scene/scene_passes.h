// The field scene, drawn once per frame by both mode drivers. In fog mode the scene
// goes to the screen and its depth into a texture, the fog volume's far and near
// surfaces go into a texture, and a full-screen pass lays the fog over the screen.
// Where the device can draw into two targets at once, the scene's colour and the
// terrain's depth take one pass, the small objects' depths a cheap one beside it, and
// both fog surfaces one more, into one two-channel texture;
// otherwise each takes its own (the scene drawn twice, the surfaces into two
// textures), for the same picture. During a map change the scene goes into a texture
// that the fade darkens.
#pragma once

#include <cstdint>

constexpr std::uint32_t FADE_SCENE_CLEAR_COLOR = 0xFF636363;
constexpr float DEPTH_CLEAR_VALUE = 10000.0f; // farther than anything the camera sees
constexpr float FOG_SCALE = 0.2f;             // full fog after 5 units of thickness
constexpr float FOG_GREY = 0.3f;              // the fog colour's red, green and blue
constexpr float FLOAT_DEPTH_SCALE = 1.0f;
constexpr float HALF_FLOAT_MAX = 65504.0f; // the largest 16-bit float
// The integer depth formats hold 0 to 1 only: depths up to 100 units fit.
constexpr float INTEGER_DEPTH_SCALE = 0.01f;

// The depth textures' scale for the format they were made with.
float DepthIntScale();

// Between BeginScene and EndScene, once per frame.
void RenderField();
// Chooses the targets and the pass count for this frame's mode.
void BeginScenePasses();
// The five scene draws, in their fixed order: the terrain, then the objects on it.
void DrawSceneObjects();
void DrawObjectsOnTerrain();

// With the combined targets: the screen and, as its second target, the first depth
// texture cleared to the far value, for a pass that draws both. false when the device
// no longer takes the pair.
bool BeginColorAndDepthPass();
// The scene's colour onto the screen and the terrain's depth into the first depth
// texture.
void DrawSceneColorAndTerrainDepth();
// The depths of the markers, the cursor and the sprites into the first depth texture
// where they are nearer than what it holds.
void DrawObjectDepthsOverTerrain();
// Both surfaces of the fog volume into the fog's face texture.
void DrawFogVolumeFaces();
// The fog over the screen from the face texture.
void DrawFogFromFaces();

// Without them: the second scene pass, into the first depth texture.
void BeginDepthPass();
// The fog volume's two depth passes and the composite over the screen.
void RenderFog();

// The drawing half of a fade frame: the scene darkened by fadeAlpha onto the screen.
void DrawFadeFrame();
