//@common
// The effect of the event markers, the 3D cursor and the map-change fade.
uniform mat4 World;
uniform mat4 WView;
uniform mat4 WVProj;
uniform vec3 Light;
uniform vec4 Ambient;
uniform vec4 Diffuse;
uniform float Alpha;
uniform sampler2D MeshSmp;
uniform sampler2D Tex0Smp;
uniform sampler2D Tex1Smp;

//@vertex BasicVS
void main() {
    gl_Position = WVProj * a_position;
    vec3 normal = normalize(mat3(World) * a_normal);
    // The ambient scalar lifts all four channels alike.
    v_color = vec4(max(0.0, dot(normal, -Light))) + Ambient;
    v_tex0 = vec4(a_tex, 0.0, 1.0);
}

//@pixel BasicPS
void main() {
    o_color = texture(MeshSmp, v_tex0.xy) * v_color * Diffuse;
}

//@pixel FadePS
void main() {
    o_color = texture(Tex0Smp, v_tex0.xy) * Alpha + texture(Tex1Smp, v_tex1.xy) * (1.0 - Alpha);
}

// Fade with an opaque black second image, which needs no texture. The scene texture
// has one level.
//@pixel FadeToBlackPS
void main() {
    o_color = textureLod(Tex0Smp, v_tex0.xy, 0.0) * Alpha + vec4(0.0, 0.0, 0.0, 1.0) * (1.0 - Alpha);
}
