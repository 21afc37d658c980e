// The GL entry points of the device on WebGL2 (OpenGL ES 3.0), under the name of the
// desktop loader's header so that the device's sources stay one. What WebGL2 lacks is
// replaced by its nearest equivalent (gl_web.cpp).
#pragma once

#include <GLES3/gl3.h>

#ifndef GLAPIENTRY
#define GLAPIENTRY
#endif

// 16-bit normalised targets become half floats, which WebGL2 renders to with
// EXT_color_buffer_float: the device's depth and fog targets keep their precision.
#define GL_RG16 GL_RG16F
#define GL_RGBA16 GL_RGBA16F
#define GL_BGRA 0x80E1

// KHR_debug is absent: the device's error check stays off.
#define GL_DEBUG_OUTPUT 0x92E0
#define GL_DEBUG_OUTPUT_SYNCHRONOUS 0x8242
#define GL_DEBUG_TYPE_ERROR 0x824C
typedef void (*GLDEBUGPROC)(GLenum, GLenum, GLuint, GLenum, GLsizei, const GLchar*, const void*);
inline void glDebugMessageControl(GLenum, GLenum, GLenum, GLsizei, const GLuint*, GLboolean) {}
inline void glDebugMessageCallback(GLDEBUGPROC, const void*) {}

inline bool epoxy_has_gl_extension(const char*) {
    return false;
}
// WebGL2 offers everything of GL 3.3 that the device uses.
inline int epoxy_gl_version() {
    return 33;
}

inline void glClearDepth(double depth) {
    glClearDepthf(static_cast<GLfloat>(depth));
}

// Per-target blending and write masks, through OES_draw_buffers_indexed where the
// browser has it; without it the second target follows the first.
void glDisablei(GLenum capability, GLuint index);
void glColorMaski(GLuint index, GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha);

// Half-float targets take half-float or float data, never 16-bit integers.
void TexImage2DOnWebGl(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                       GLsizei height, GLint border, GLenum format, GLenum type, const void* data);
#define glTexImage2D TexImage2DOnWebGl
