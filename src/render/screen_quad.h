// Setting and drawing screen-space quads.
#pragma once

#include "core/screen_vertex.h"

struct GfxTexture;
struct GfxEffect;

// Texture values are given in 64ths of the texture: (0, 0) to (64, 64) is the whole texture.
void SetQuad(ScreenQuad* quad, int alpha, float left, float top, float right, float bottom,
             float tu0, float tv0, float tu1, float tv1);
void SetQuadTexRect(ScreenQuad* quad, float tu0, float tv0, float tu1, float tv1);
void MoveQuad(ScreenQuad* quad, float dx, float dy, float dz);
void ClampQuad(ScreenQuad* quad, int left, int top, int right, int bottom);
void DrawQuad(const ScreenQuad* quad, GfxTexture* texture);
// A quad through every pass of the effect's current technique, from the camera's
// screen-quad buffer, with depth testing and writing off for the draw. Texture
// coordinates are given directly (0 to 1).
void DrawScreenEffectQuad(GfxEffect* effect, float left, float top, float right, float bottom,
                          float uLeft, float vTop, float uRight, float vBottom);
