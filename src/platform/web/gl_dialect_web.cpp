#include "platform/gfx/gl_dialect.h"

#include <SDL.h>

// OpenGL ES 3.0 is WebGL2; there is no other profile to ask for.
void RequestGlContext(bool) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
}

const char* GlslHeader() {
    return "#version 300 es\n"
           "precision highp float;\n"
           "precision highp int;\n"
           "precision highp sampler2D;\n";
}

// WebGL2 reads the colour word as it lies in memory, B first; the shader turns it round.
// The constant white that vertices without colours get reads the same either way.
const char* VertexColorDeclaration() {
    return "layout(location = 3) in vec4 a_colorInMemory;\n"
           "#define a_color (a_colorInMemory.bgra)\n";
}

GLint ScreenColorComponents() {
    return 4;
}
