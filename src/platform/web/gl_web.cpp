// The GL calls WebGL2 lacks, replaced by their nearest equivalents.
#include <epoxy/gl.h>

#include <emscripten.h>

#undef glTexImage2D

// clang-format off
EM_JS(int, WebDrawBuffersIndexed, (int call, int index, int a, int b, int c, int d), {
    const gl = GLctx;
    if (!gl) return 0;
    if (gl.tavelleIndexed === undefined)
        gl.tavelleIndexed = gl.getExtension('OES_draw_buffers_indexed');
    const ext = gl.tavelleIndexed;
    if (!ext) return 0;
    if (call == 0) ext.disableiOES(a, index);
    else ext.colorMaskiOES(index, !!a, !!b, !!c, !!d);
    return 1;
});
// clang-format on

void glDisablei(GLenum capability, GLuint index) {
    WebDrawBuffersIndexed(0, static_cast<int>(index), static_cast<int>(capability), 0, 0, 0);
}

void glColorMaski(GLuint index, GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha) {
    WebDrawBuffersIndexed(1, static_cast<int>(index), red, green, blue, alpha);
}

void TexImage2DOnWebGl(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                       GLsizei height, GLint border, GLenum format, GLenum type, const void* data) {
    const bool halfFloat = internalFormat == GL_RG16F || internalFormat == GL_RGBA16F;
    if (halfFloat && type == GL_UNSIGNED_SHORT && data == nullptr)
        type = GL_HALF_FLOAT;
    glTexImage2D(target, level, internalFormat, width, height, border, format, type, data);
}
