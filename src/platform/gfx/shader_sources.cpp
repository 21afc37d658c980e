// The GLSL the device itself supplies: the shared preambles of effect shaders, the
// vertex shader of screen vertices, and the program that stands in for the
// fixed-function pipeline.
#include "platform/gfx/shader_sources.h"
#include "platform/gfx/gfx_internal.h"
#include "platform/gfx/gl_dialect.h"

std::string VertexPreamble() {
    return std::string(GlslHeader()) +
           "layout(location = 0) in vec4 a_position;\n"
           "layout(location = 1) in vec3 a_normal;\n"
           "layout(location = 2) in vec2 a_tex;\n" +
           VertexColorDeclaration() +
           "out vec4 v_color;\n"
           "out vec4 v_tex0;\n"
           "out vec4 v_tex1;\n"
           "#define main ShaderMain\n";
}

std::string VertexEpilogue() {
    // Targets are stored top row first, so Direct3D's +y (top) becomes GL's -y; its
    // depth range 0..w becomes -w..w.
    return "\n#undef main\n"
           "void main() {\n"
           "    ShaderMain();\n"
           "    gl_Position = vec4(gl_Position.x, -gl_Position.y,\n"
           "                       2.0 * gl_Position.z - gl_Position.w, gl_Position.w);\n"
           "}\n";
}

std::string PixelPreamble() {
    return std::string(GlslHeader()) + "in vec4 v_color;\n"
                                       "in vec4 v_tex0;\n"
                                       "in vec4 v_tex1;\n"
                                       "layout(location = 0) out vec4 o_color;\n"
                                       "layout(location = 1) out vec4 o_color1;\n";
}

// Pixel (x, y) of the 1024×768 target, y down, to GL clip space of a top-row-first
// target; rhw gives w back for perspective-correct interpolation.
static const char* SCREEN_POSITION_GLSL =
    "vec4 ScreenToClip(vec4 p) {\n"
    "    float w = p.w != 0.0 ? 1.0 / p.w : 1.0;\n"
    "    vec2 ndc = vec2(p.x * (2.0 / 1024.0) - 1.0, p.y * (2.0 / 768.0) - 1.0);\n"
    "    return vec4(ndc * w, (2.0 * p.z - 1.0) * w, w);\n"
    "}\n";

std::string ScreenVertexShader() {
    std::string source = VertexPreamble();
    source += "#undef main\n";
    source += SCREEN_POSITION_GLSL;
    source += "void main() {\n"
              "    gl_Position = ScreenToClip(a_position);\n"
              "    v_color = a_color;\n"
              "    v_tex0 = vec4(a_tex, 0.0, 1.0);\n"
              "    v_tex1 = v_tex0;\n"
              "}\n";
    return source;
}

std::string FixedVertexShader() {
    std::string source = VertexPreamble();
    source += "#undef main\n";
    source += SCREEN_POSITION_GLSL;
    source += R"(
uniform bool u_pretransformed;
uniform mat4 u_worldViewProj;
uniform mat4 u_world;
uniform bool u_lighting;
uniform vec3 u_lightDirection;  // the direction the light travels, unit length
uniform vec3 u_lightDiffuse;    // light diffuse × material diffuse
uniform vec3 u_ambient;         // emissive + ambient terms
uniform vec4 u_materialDiffuse;
uniform vec3 u_specularColor;   // light specular × material specular; 0 when off
uniform float u_specularPower;
uniform vec3 u_eye;
uniform mat4 u_worldView;
out float v_viewDepth;
void main() {
    v_tex0 = vec4(a_tex, 0.0, 1.0);
    v_tex1 = vec4(0.0);
    vec4 viewPosition = u_worldView * vec4(a_position.xyz, 1.0);
    v_viewDepth = viewPosition.z / viewPosition.w;
    if (u_pretransformed) {
        gl_Position = ScreenToClip(a_position);
        v_color = a_color;
        return;
    }
    vec4 p = u_worldViewProj * vec4(a_position.xyz, 1.0);
    gl_Position = vec4(p.x, -p.y, 2.0 * p.z - p.w, p.w);
    if (!u_lighting) {
        v_color = vec4(1.0);
        return;
    }
    vec3 n = mat3(u_world) * a_normal;
    float len = length(n);
    n = len > 0.0 ? n / len : n;
    vec3 toLight = -u_lightDirection;
    float lambert = max(dot(n, toLight), 0.0);
    v_color = vec4(clamp(u_ambient + u_lightDiffuse * lambert, 0.0, 1.0), u_materialDiffuse.a);
    if (u_specularColor != vec3(0.0) && lambert > 0.0) {
        vec3 worldPos = (u_world * vec4(a_position.xyz, 1.0)).xyz;
        vec3 halfway = normalize(normalize(u_eye - worldPos) + toLight);
        float s = pow(max(dot(n, halfway), 0.0), u_specularPower);
        v_tex1 = vec4(clamp(u_specularColor * s, 0.0, 1.0), 0.0);
    }
}
)";
    return source;
}

std::string FixedPixelShader() {
    std::string source = PixelPreamble();
    source += R"(
uniform sampler2D u_texture;
uniform ivec3 u_colorStage; // operation, argument 1, argument 2
uniform ivec3 u_alphaStage;
uniform bool u_pretransformed;
uniform vec2 u_depthProjection; // projection row 2 and row 3 of column 2
uniform float u_viewDepthScale;
in float v_viewDepth;

vec4 StageArgument(int argument, vec4 texel) {
    return argument == 2 ? texel : v_color; // stage 0: current is the diffuse colour
}
vec4 StageResult(ivec3 stage, vec4 texel) {
    vec4 a = StageArgument(stage.y, texel);
    vec4 b = StageArgument(stage.z, texel);
    if (stage.x == 2) return a;
    if (stage.x == 3) return b;
    if (stage.x == 4) return a * b;
    return v_color;
}
void main() {
    vec4 texel = texture(u_texture, v_tex0.xy);
    vec3 rgb = StageResult(u_colorStage, texel).rgb;
    float alpha = StageResult(u_alphaStage, texel).a;
    o_color = vec4(min(rgb + v_tex1.rgb, vec3(1.0)), alpha);
    // The window depth of a screen vertex is its projected depth, linear across the
    // screen, so each pixel recovers its own view depth from it.
    float viewDepth = u_pretransformed
        ? u_depthProjection.y / (gl_FragCoord.z - u_depthProjection.x) : v_viewDepth;
    o_color1 = vec4(viewDepth * u_viewDepthScale, 0.0, 0.0, 0.0);
}
)";
    return source;
}
