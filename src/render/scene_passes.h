// The field scene, drawn once per frame by both mode drivers. In fog mode the scene
// goes to the screen, again as depth into a texture, the fog volume's far and near
// surfaces go into two more, and a full-screen pass lays the fog over the screen.
// During a map change the scene goes into a texture that the fade darkens.
#pragma once

#include <cstdint>

constexpr std::uint32_t FADE_SCENE_CLEAR_COLOR = 0xFF636363;
constexpr std::uint32_t FADE_BLACK = 0xFF000000;
constexpr float DEPTH_CLEAR_VALUE = 10000.0f; // farther than anything the camera sees
constexpr float FOG_SCALE = 0.2f;             // full fog after 5 units of thickness
constexpr float FOG_GREY = 0.3f;              // the fog colour's red, green and blue
constexpr float FLOAT_DEPTH_SCALE = 1.0f;
// The integer depth formats hold 0 to 1 only: depths up to 100 units fit.
constexpr float INTEGER_DEPTH_SCALE = 0.01f;

// The depth textures' scale for the format they were made with.
float DepthIntScale();

// Between BeginScene and EndScene, once per frame.
void RenderField();
// Chooses the targets and the pass count for this frame's mode.
void BeginScenePasses();
// The second scene pass, into the first depth texture.
void BeginDepthPass();
// The fog volume's two depth passes and the composite over the screen.
void RenderFog();
// The drawing half of a fade frame: the black image, then the scene darkened by
// fadeAlpha onto the screen.
void DrawFadeFrame();
