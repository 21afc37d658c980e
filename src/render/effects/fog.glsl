//@common
// The field scene's volumetric fog: depths of the scene and of the fog volume's two
// faces into textures, then the fog laid over the screen by their difference.
uniform mat4 World;
uniform mat4 WView;
uniform mat4 WVProj;
uniform vec4 Diffuse;
uniform vec4 Ambient;
uniform vec3 LightWVPos;
uniform vec3 LightColor;
uniform vec4 ClearColor;
uniform vec4 FogColor;
uniform float FogScale;
uniform float IntScale;
uniform float FrontDepthBase;
uniform sampler2D MeshSmp;
uniform sampler2D DepthSmp0;
uniform sampler2D DepthSmp1;

//@vertex SceneVS
void main() {
    gl_Position = WVProj * a_position;
    v_tex0 = vec4(a_tex, 0.0, 1.0);
    vec3 normal = normalize(mat3(WView) * a_normal);
    vec3 viewPosition = (WView * a_position).xyz;
    float lambert = max(0.0, dot(normal, normalize(LightWVPos - viewPosition)));
    v_color = vec4(lambert * LightColor + Ambient.rgb, 1.0);
}

//@pixel ScenePS
void main() {
    o_color = texture(MeshSmp, v_tex0.xy) * vec4(v_color.rgb, 1.0) * Diffuse;
}

//@pixel ClearPS
void main() {
    o_color = ClearColor * IntScale;
}

//@vertex DepthVS
void main() {
    vec4 position = WVProj * a_position;
    gl_Position = position;
    v_tex0 = position;
    vec4 viewPosition = WView * a_position;
    v_tex1 = vec4(viewPosition.z / viewPosition.w, 0.0, 0.0, 0.0);
}

//@pixel DepthScenePS
void main() {
    o_color = vec4(v_tex1.x * IntScale, 0.0, 0.0, 0.0);
}

//@pixel DepthFogPS
void main() {
    // The scene's depth under this pixel: the fog surface counts only up to it. Green
    // marks a pixel the fog volume covers.
    vec2 uv = v_tex0.xy / v_tex0.w * vec2(0.5, -0.5) + 0.5;
    float sceneDepth = texture(DepthSmp0, uv).r;
    o_color = vec4(min(v_tex1.x * IntScale, sceneDepth), 1.0, 0.0, 0.0);
}

// Both faces of the volume in one pass, into one two-channel target blended by taking
// the larger value: a back face writes its depth into red, a front face FrontDepthBase
// less its depth into green, so the farthest back face and the nearest front face of
// each pixel win. The other face's channel gets the lowest value the target holds (the
// lowest 16-bit float; 0 where it is normalised), which changes nothing. Each depth
// counts only up to the scene's. The targets have one level: naming it spares the
// rasteriser working it out per pixel.
//@pixel DepthFogFacesPS
void main() {
    const float LOWEST = -65504.0;
    vec2 uv = v_tex0.xy / v_tex0.w * vec2(0.5, -0.5) + 0.5;
    float depth = min(v_tex1.x * IntScale, textureLod(DepthSmp0, uv, 0.0).r);
    o_color = gl_FrontFacing ? vec4(LOWEST, FrontDepthBase - depth, 0.0, 0.0)
                             : vec4(depth, LOWEST, 0.0, 0.0);
}

// The composite from the one target of both faces. A pixel where a face was not drawn
// keeps the cleared value, which puts the front at or behind the back: no fog there.
//@pixel FogFacesPS
void main() {
    vec2 faces = textureLod(DepthSmp0, v_tex0.xy, 0.0).rg;
    float front = FrontDepthBase - faces.g;
    float thickness = clamp((faces.r - front) * FogScale / IntScale, 0.0, 1.0);
    o_color = vec4(FogColor.rgb, FogColor.a * thickness);
}

//@pixel FogPS
void main() {
    vec4 back = texture(DepthSmp0, v_tex0.xy);
    vec4 front = texture(DepthSmp1, v_tex0.xy);
    float thickness = clamp((back.r - front.r) * FogScale / IntScale, 0.0, 1.0);
    o_color = vec4(FogColor.rgb, FogColor.a * thickness * back.g * front.g);
}
