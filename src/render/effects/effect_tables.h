// The techniques and passes of the two effects, and the render states each pass sets
// while it is applied (Begin saves them, End restores them).
#pragma once

#include "platform/gfx/device.h"
#include "platform/gfx/effect.h"

inline constexpr EffectPassDesc BASIC_PASSES[] = {{"P0", "BasicVS", "BasicPS", {}}};
inline constexpr EffectPassDesc FADE_PASSES[] = {{"P0", nullptr, "FadePS", {}}};
inline constexpr EffectPassDesc FADE_TO_BLACK_PASSES[] = {{"P0", nullptr, "FadeToBlackPS", {}}};
inline constexpr EffectTechniqueDesc BASIC_TECHNIQUES[] = {
    {"Basic", BASIC_PASSES},
    {"Fade", FADE_PASSES},
    {"FadeToBlack", FADE_TO_BLACK_PASSES},
};
inline constexpr EffectSamplerDesc BASIC_SAMPLERS[] = {
    {"MeshSmp", "MeshTex"},
    {"Tex0Smp", "Tex0"},
    {"Tex1Smp", "Tex1"},
};
inline constexpr EffectDesc BASIC_EFFECT_DESC = {BASIC_TECHNIQUES, BASIC_SAMPLERS};

inline constexpr EffectStateChange CLEAR_STATES[] = {{RS_ZENABLE, 0}, {RS_ZWRITEENABLE, 0}};
inline constexpr EffectStateChange DEPTH_SCENE_STATES[] = {{RS_ZFUNC, CMP_LESS}};
// The back faces of the volume: the farthest wins against a depth buffer cleared to 0.
inline constexpr EffectStateChange DEPTH_FOG_CW_STATES[] = {{RS_CULLMODE, CULL_CW},
                                                            {RS_ZFUNC, CMP_GREATER}};
// The front faces: the nearest wins.
inline constexpr EffectStateChange DEPTH_FOG_CCW_STATES[] = {{RS_CULLMODE, CULL_CCW},
                                                             {RS_ZFUNC, CMP_LESS}};

// Both faces at once: no culling, no depth test, the larger value wins.
inline constexpr EffectStateChange DEPTH_FOG_FACES_STATES[] = {
    {RS_CULLMODE, CULL_NONE}, {RS_ZENABLE, 0}, {RS_ALPHABLENDENABLE, 1}, {RS_BLENDOP, BLENDOP_MAX}};

inline constexpr EffectPassDesc SCENE_PASSES[] = {{"P0", "SceneVS", "ScenePS", {}}};
inline constexpr EffectPassDesc CLEAR_PASSES[] = {{"P0", nullptr, "ClearPS", CLEAR_STATES}};
inline constexpr EffectPassDesc DEPTH_SCENE_PASSES[] = {
    {"P0", "DepthVS", "DepthScenePS", DEPTH_SCENE_STATES}};
inline constexpr EffectPassDesc DEPTH_FOG_CW_PASSES[] = {
    {"P0", "DepthVS", "DepthFogPS", DEPTH_FOG_CW_STATES}};
inline constexpr EffectPassDesc DEPTH_FOG_CCW_PASSES[] = {
    {"P0", "DepthVS", "DepthFogPS", DEPTH_FOG_CCW_STATES}};
inline constexpr EffectPassDesc DEPTH_FOG_FACES_PASSES[] = {
    {"P0", "DepthVS", "DepthFogFacesPS", DEPTH_FOG_FACES_STATES}};
inline constexpr EffectPassDesc FOG_PASSES[] = {{"P0", nullptr, "FogPS", {}}};
inline constexpr EffectPassDesc FOG_FACES_PASSES[] = {{"P0", nullptr, "FogFacesPS", {}}};
inline constexpr EffectTechniqueDesc FOG_TECHNIQUES[] = {
    {"Scene", SCENE_PASSES},
    {"Clear", CLEAR_PASSES},
    {"DepthScene", DEPTH_SCENE_PASSES},
    {"DepthFogCW", DEPTH_FOG_CW_PASSES},
    {"DepthFogCCW", DEPTH_FOG_CCW_PASSES},
    {"DepthFogFaces", DEPTH_FOG_FACES_PASSES},
    {"Fog", FOG_PASSES},
    {"FogFaces", FOG_FACES_PASSES},
};
inline constexpr EffectSamplerDesc FOG_SAMPLERS[] = {
    {"MeshSmp", "MeshTex"},
    {"DepthSmp0", "DepthTex0"},
    {"DepthSmp1", "DepthTex1"},
};
inline constexpr EffectDesc FOG_EFFECT_DESC = {FOG_TECHNIQUES, FOG_SAMPLERS};
