#include "render/sprite_depth_effect.h"

#include "render/render_setup.h"

#include "platform/gfx/effect.h"

namespace {

// The window depth of a pre-transformed vertex is the projected depth, which is
// linear across the screen, so each pixel recovers its own view depth from it.
const char SPRITE_DEPTH_SOURCE[] = R"(//@common
uniform float IntScale;
uniform vec4 DepthProjection;
uniform sampler2D SpriteSmp;
//@pixel SpriteDepthPS
void main() {
    if (texture(SpriteSmp, v_tex0.xy).a < 0.5)
        discard;
    float viewDepth = DepthProjection.y / (gl_FragCoord.z - DepthProjection.x);
    o_color = vec4(viewDepth * IntScale, 0.0, 0.0, 0.0);
}
)";

const EffectStateChange SPRITE_DEPTH_STATES[] = {{RS_ZFUNC, CMP_LESS}};
const EffectPassDesc SPRITE_DEPTH_PASSES[] = {
    {"P0", nullptr, "SpriteDepthPS", SPRITE_DEPTH_STATES},
};
const EffectTechniqueDesc SPRITE_DEPTH_TECHNIQUES[] = {{"SpriteDepth", SPRITE_DEPTH_PASSES}};
const EffectSamplerDesc SPRITE_DEPTH_SAMPLERS[] = {{"SpriteSmp", "SpriteTex"}};
const EffectDesc SPRITE_DEPTH_DESC = {SPRITE_DEPTH_TECHNIQUES, SPRITE_DEPTH_SAMPLERS};

GfxEffect* g_spriteDepthEffect = nullptr;
bool g_spriteDepthTried = false;

} // namespace

GfxEffect* GetSpriteDepthEffect() {
    if (g_spriteDepthTried)
        return g_spriteDepthEffect;
    g_spriteDepthTried = true;
    if (CreateEffect(g_pD3DDevice, SPRITE_DEPTH_SOURCE, SPRITE_DEPTH_DESC, &g_spriteDepthEffect,
                     nullptr) != S_OK) {
        g_spriteDepthEffect = nullptr;
        return nullptr;
    }
    g_spriteDepthEffect->SetTechnique("SpriteDepth");
    return g_spriteDepthEffect;
}
