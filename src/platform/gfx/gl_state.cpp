// The GL state the device has applied, changed only where a draw needs it different,
// and the preparation of each draw.
#include "platform/gfx/gfx_internal.h"
#include "platform/gfx/gl_dialect.h"

GfxDeviceState g_gfx;

void UseProgram(GLuint program) {
    if (g_gfx.gl.program == program)
        return;
    glUseProgram(program);
    g_gfx.gl.program = program;
}

void BindVertexArray(GLuint vertexArray) {
    if (g_gfx.gl.vertexArray == vertexArray)
        return;
    glBindVertexArray(vertexArray);
    g_gfx.gl.vertexArray = vertexArray;
}

void BindTextureUnit(int unit, GLuint texture) {
    // The unit becomes active even when the texture is bound already: callers upload
    // to "the bound texture" right after, and that means the active unit's.
    if (g_gfx.gl.activeUnit != unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        g_gfx.gl.activeUnit = unit;
    }
    if (g_gfx.gl.textures[unit] == texture)
        return;
    glBindTexture(GL_TEXTURE_2D, texture);
    g_gfx.gl.textures[unit] = texture;
}

void SetBlend(bool on, GLenum src, GLenum dst) {
    AppliedGlState& gl = g_gfx.gl;
    if (gl.blend != on) {
        if (on)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
        gl.blend = on;
        gl.blendSecond = on;
    }
    if (on && (gl.srcBlend != src || gl.dstBlend != dst)) {
        glBlendFunc(src, dst);
        gl.srcBlend = src;
        gl.dstBlend = dst;
    }
}

void SetBlendEquation(GLenum equation) {
    if (g_gfx.gl.blendEquation == equation)
        return;
    glBlendEquation(equation);
    g_gfx.gl.blendEquation = equation;
}

void SetSecondTargetUnblended() {
    if (!g_gfx.gl.blendSecond)
        return;
    glDisablei(GL_BLEND, 1);
    g_gfx.gl.blendSecond = false;
}

void SetSecondTargetWriteMask(std::uint32_t mask) {
    if (g_gfx.gl.secondWriteMask == mask)
        return;
    glColorMaski(1, (mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0);
    g_gfx.gl.secondWriteMask = mask;
}

void SetDepth(bool test, bool write, GLenum func) {
    AppliedGlState& gl = g_gfx.gl;
    if (gl.depthTest != test) {
        if (test)
            glEnable(GL_DEPTH_TEST);
        else
            glDisable(GL_DEPTH_TEST);
        gl.depthTest = test;
    }
    if (gl.depthWrite != write) {
        glDepthMask(write ? GL_TRUE : GL_FALSE);
        gl.depthWrite = write;
    }
    if (gl.depthFunc != func) {
        glDepthFunc(func);
        gl.depthFunc = func;
    }
}

void SetCull(bool on, GLenum face) {
    AppliedGlState& gl = g_gfx.gl;
    if (gl.cull != on) {
        if (on)
            glEnable(GL_CULL_FACE);
        else
            glDisable(GL_CULL_FACE);
        gl.cull = on;
    }
    if (on && gl.cullFace != face) {
        glCullFace(face);
        gl.cullFace = face;
    }
}

void SetScissor(bool on) {
    if (g_gfx.gl.scissor == on)
        return;
    if (on)
        glEnable(GL_SCISSOR_TEST);
    else
        glDisable(GL_SCISSOR_TEST);
    g_gfx.gl.scissor = on;
}

namespace {

GLenum BlendFactor(std::uint32_t value) {
    switch (value) {
    case BLEND_ZERO:
        return GL_ZERO;
    case BLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case BLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case BLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case BLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case BLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case BLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case BLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case BLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    default:
        return GL_ONE;
    }
}

GLenum CompareFunc(std::uint32_t value) {
    switch (value) {
    case CMP_NEVER:
        return GL_NEVER;
    case CMP_LESS:
        return GL_LESS;
    case CMP_EQUAL:
        return GL_EQUAL;
    case CMP_GREATER:
        return GL_GREATER;
    case CMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case CMP_GREATEREQUAL:
        return GL_GEQUAL;
    case CMP_ALWAYS:
        return GL_ALWAYS;
    default:
        return GL_LEQUAL;
    }
}

void ApplyRenderStates() {
    const std::uint32_t* rs = g_gfx.renderStates;
    SetBlend(rs[RS_ALPHABLENDENABLE] != 0, BlendFactor(rs[RS_SRCBLEND]),
             BlendFactor(rs[RS_DESTBLEND]));
    const std::uint32_t blendOp = rs[RS_BLENDOP];
    SetBlendEquation(blendOp == BLENDOP_MAX ? GL_MAX
                                            : (blendOp == BLENDOP_MIN ? GL_MIN : GL_FUNC_ADD));
    if (g_gfx.renderTarget1) {
        SetSecondTargetUnblended();
        SetSecondTargetWriteMask(rs[RS_COLORWRITEENABLE1] & 0xF);
    }
    const bool depthTest = rs[RS_ZENABLE] != 0;
    SetDepth(depthTest, depthTest && rs[RS_ZWRITEENABLE] != 0, CompareFunc(rs[RS_ZFUNC]));
    // Targets are stored top row first, so a triangle clockwise on screen is
    // counter-clockwise in GL's window coordinates: GL's front faces.
    const std::uint32_t cull = rs[RS_CULLMODE];
    SetCull(cull == CULL_CW || cull == CULL_CCW, cull == CULL_CW ? GL_FRONT : GL_BACK);
    SetScissor(false);
}

void SetColorUniform(GLint location, float r, float g, float b) {
    glUniform3f(location, r, g, b);
}

void UploadFixedUniforms(std::uint32_t fvf) {
    const FixedProgram& p = g_gfx.fixed;
    if (fvf != g_gfx.fixed.uploadedFvf) {
        glUniform1i(p.pretransformed, fvf == FVF_SCREEN_VERTEX ? 1 : 0);
        g_gfx.fixed.uploadedFvf = fvf;
    }
    if (!g_gfx.fixedUniformsDirty)
        return;
    g_gfx.fixedUniformsDirty = false;

    Matrix wvp;
    MatrixMultiply(&wvp, &g_gfx.world, &g_gfx.view);
    MatrixMultiply(&wvp, &wvp, &g_gfx.projection);
    glUniformMatrix4fv(p.worldViewProj, 1, GL_FALSE, &wvp.m[0][0]);
    glUniformMatrix4fv(p.world, 1, GL_FALSE, &g_gfx.world.m[0][0]);
    Matrix worldView;
    MatrixMultiply(&worldView, &g_gfx.world, &g_gfx.view);
    glUniformMatrix4fv(p.worldView, 1, GL_FALSE, &worldView.m[0][0]);
    glUniform2f(p.depthProjection, g_gfx.projection.m[2][2], g_gfx.projection.m[3][2]);
    glUniform1f(p.viewDepthScale, g_gfx.viewDepthScale);

    const std::uint32_t* rs = g_gfx.renderStates;
    const Material& mat = g_gfx.material;
    const Light& light = g_gfx.light;
    const bool lightOn = g_gfx.lightEnabled && light.Type == LIGHT_DIRECTIONAL;
    glUniform1i(p.lighting, rs[RS_LIGHTING] != 0 ? 1 : 0);
    glUniform3f(p.lightDirection, light.Direction.x, light.Direction.y, light.Direction.z);
    if (lightOn) {
        SetColorUniform(p.lightDiffuse, light.Diffuse.r * mat.Diffuse.r,
                        light.Diffuse.g * mat.Diffuse.g, light.Diffuse.b * mat.Diffuse.b);
    } else {
        SetColorUniform(p.lightDiffuse, 0.0f, 0.0f, 0.0f);
    }
    const std::uint32_t ambient = rs[RS_AMBIENT];
    const float ar = static_cast<float>((ambient >> 16) & 0xFF) / 255.0f;
    const float ag = static_cast<float>((ambient >> 8) & 0xFF) / 255.0f;
    const float ab = static_cast<float>(ambient & 0xFF) / 255.0f;
    const float lr = lightOn ? light.Ambient.r : 0.0f;
    const float lg = lightOn ? light.Ambient.g : 0.0f;
    const float lb = lightOn ? light.Ambient.b : 0.0f;
    SetColorUniform(p.ambient, mat.Emissive.r + (ar + lr) * mat.Ambient.r,
                    mat.Emissive.g + (ag + lg) * mat.Ambient.g,
                    mat.Emissive.b + (ab + lb) * mat.Ambient.b);
    glUniform4f(p.materialDiffuse, mat.Diffuse.r, mat.Diffuse.g, mat.Diffuse.b, mat.Diffuse.a);
    if (lightOn && rs[RS_SPECULARENABLE]) {
        SetColorUniform(p.specularColor, light.Specular.r * mat.Specular.r,
                        light.Specular.g * mat.Specular.g, light.Specular.b * mat.Specular.b);
    } else {
        SetColorUniform(p.specularColor, 0.0f, 0.0f, 0.0f);
    }
    glUniform1f(p.specularPower, mat.Power);
    Matrix inverseView;
    MatrixInverse(&inverseView, nullptr, &g_gfx.view);
    glUniform3f(p.eye, inverseView.m[3][0], inverseView.m[3][1], inverseView.m[3][2]);

    const std::uint32_t* ts = g_gfx.stageStates;
    glUniform3i(p.colorStage, static_cast<GLint>(ts[TSS_COLOROP]),
                static_cast<GLint>(ts[TSS_COLORARG1]), static_cast<GLint>(ts[TSS_COLORARG2]));
    glUniform3i(p.alphaStage, static_cast<GLint>(ts[TSS_ALPHAOP]),
                static_cast<GLint>(ts[TSS_ALPHAARG1]), static_cast<GLint>(ts[TSS_ALPHAARG2]));
}

} // namespace

void PrepareDraw(std::uint32_t fvf) {
    BindCurrentTarget();
    ApplyRenderStates();
    if (g_gfx.effect) {
        UseProgram(g_gfx.effectProgram);
        ApplyEffectParameters(g_gfx.effect);
        return;
    }
    UseProgram(g_gfx.fixed.program);
    UploadFixedUniforms(fvf);
    BindTextureUnit(FIXED_TEXTURE_UNIT, g_gfx.texture ? g_gfx.texture->name : g_gfx.whiteTexture);
}

namespace {

// Attribute `index` of `size` parts at `offset` bytes into each vertex of type Vertex.
template <typename Vertex>
void SetAttribute(GLuint index, GLint size, GLenum type, GLboolean normalized, std::size_t offset) {
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, size, type, normalized, sizeof(Vertex),
                          reinterpret_cast<const void*>(offset));
}

} // namespace

void SetVertexLayout(std::uint32_t fvf) {
    if (fvf == FVF_SCREEN_VERTEX) {
        using V = GfxScreenVertex;
        SetAttribute<V>(ATTRIB_POSITION, 4, GL_FLOAT, GL_FALSE, offsetof(V, x));
        // The colour is stored as ARGB in a little-endian word: bytes B, G, R, A.
        SetAttribute<V>(ATTRIB_COLOR, ScreenColorComponents(), GL_UNSIGNED_BYTE, GL_TRUE,
                        offsetof(V, diffuse));
        SetAttribute<V>(ATTRIB_TEX, 2, GL_FLOAT, GL_FALSE, offsetof(V, u));
        glDisableVertexAttribArray(ATTRIB_NORMAL);
        return;
    }
    using V = GfxModelVertex;
    SetAttribute<V>(ATTRIB_POSITION, 3, GL_FLOAT, GL_FALSE, offsetof(V, x));
    SetAttribute<V>(ATTRIB_NORMAL, 3, GL_FLOAT, GL_FALSE, offsetof(V, nx));
    SetAttribute<V>(ATTRIB_TEX, 2, GL_FLOAT, GL_FALSE, offsetof(V, u));
    glDisableVertexAttribArray(ATTRIB_COLOR);
}

GLint StreamVertices(const void* vertices, std::uint32_t bytes, std::uint32_t stride,
                     GLuint vertexArray) {
    BindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, g_gfx.streamBuffer);
    std::uint32_t offset = (g_gfx.streamWrite + stride - 1) / stride * stride;
    if (offset + bytes > STREAM_BUFFER_SIZE) {
        // Orphan the storage rather than wait for draws still reading it.
        glBufferData(GL_ARRAY_BUFFER, STREAM_BUFFER_SIZE, nullptr, GL_STREAM_DRAW);
        offset = 0;
    }
    glBufferSubData(GL_ARRAY_BUFFER, offset, bytes, vertices);
    g_gfx.streamWrite = offset + bytes;
    return static_cast<GLint>(offset / stride);
}

GLuint LinkProgram(const std::string& vertexSource, const std::string& pixelSource,
                   std::string* log) {
    auto compile = [log](GLenum type, const std::string& source) -> GLuint {
        const GLuint shader = glCreateShader(type);
        const char* text = source.c_str();
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        GLint ok = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (ok)
            return shader;
        if (log) {
            char buffer[4096] = {};
            glGetShaderInfoLog(shader, sizeof(buffer) - 1, nullptr, buffer);
            *log += buffer;
        }
        glDeleteShader(shader);
        return 0;
    };
    const GLuint vs = compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint ps = compile(GL_FRAGMENT_SHADER, pixelSource);
    if (!vs || !ps) {
        glDeleteShader(vs);
        glDeleteShader(ps);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, ps);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(ps);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok)
        return program;
    if (log) {
        char buffer[4096] = {};
        glGetProgramInfoLog(program, sizeof(buffer) - 1, nullptr, buffer);
        *log += buffer;
    }
    glDeleteProgram(program);
    return 0;
}

GLuint CreateGlTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    // Create it on the fixed unit and forget what that unit held.
    BindTextureUnit(FIXED_TEXTURE_UNIT, name);
    return name;
}
