// Effects: GLSL programs grouped in techniques and passes, with parameters set by
// name. The source holds one section per shader, headed by a line
//   //@common            text shared by every shader of the effect
//   //@vertex NAME       a vertex shader
//   //@pixel NAME        a pixel shader
// Shaders see, ready declared: vertex inputs a_position (vec4), a_normal (vec3),
// a_tex (vec2), a_color (vec4); the interpolated v_color, v_tex0, v_tex1 (vec4);
// the pixel outputs o_color and o_color1 (render target 1, see SetRenderTarget). A
// vertex shader writes gl_Position in Direct3D's clip space (depth 0..1, +y up on
// screen); the device maps it to GL's. Matrices are uploaded as set, so GLSL `M * v`
// is the row-vector product v × M.
// A pass without a vertex shader takes screen vertices (format 0x144) unchanged:
// v_color = the vertex colour, v_tex0 = v_tex1 = (u, v, 0, 1).
#pragma once

#include "platform/win_types.h"

#include <cstdint>
#include <span>
#include <string>

class GfxDevice;
struct GfxTexture;
struct Matrix;
struct Vec4;

// A render state a pass sets while it is applied.
struct EffectStateChange {
    std::uint32_t state;
    std::uint32_t value;
};

struct EffectPassDesc {
    const char* name;
    const char* vertexShader; // section name, or null for screen vertices
    const char* pixelShader;  // section name
    std::span<const EffectStateChange> states;
};

struct EffectTechniqueDesc {
    const char* name;
    std::span<const EffectPassDesc> passes;
};

// A sampler of the source and the texture parameter it reads.
struct EffectSamplerDesc {
    const char* sampler;
    const char* texture;
};

struct EffectDesc {
    std::span<const EffectTechniqueDesc> techniques;
    std::span<const EffectSamplerDesc> samplers;
};

struct GfxEffectData;

struct GfxEffect {
    // Selecting a technique or setting a parameter does not draw by itself. Unknown
    // names give E_FAIL and change nothing.
    HRESULT SetTechnique(const char* name);
    HRESULT SetMatrix(const char* name, const Matrix* matrix);
    // A vec3 parameter takes x, y, z.
    HRESULT SetVector(const char* name, const Vec4* vector);
    HRESULT SetFloat(const char* name, float value);
    HRESULT SetTexture(const char* name, GfxTexture* texture);

    // Begin saves the render states the technique's passes change (flags 0) and gives
    // the pass count; End restores them. Parameters set inside a pass reach the next
    // draw.
    HRESULT Begin(std::uint32_t* passes, std::uint32_t flags);
    HRESULT BeginPass(std::uint32_t pass);
    HRESULT CommitChanges();
    HRESULT EndPass();
    HRESULT End();
    void Release();

    GfxEffectData* data = nullptr; // device-private
};

// Compiles and links every pass. On failure gives E_FAIL, a null effect and, when
// errors is not null, the compiler's log.
HRESULT CreateEffect(GfxDevice* device, const char* source, const EffectDesc& desc,
                     GfxEffect** effect, std::string* errors);
