#include "platform/gfx/gl_dialect.h"

#include <SDL.h>

void RequestGlContext(bool compatible) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, compatible
                                                         ? SDL_GL_CONTEXT_PROFILE_COMPATIBILITY
                                                         : SDL_GL_CONTEXT_PROFILE_CORE);
}

const char* GlslHeader() {
    return "#version 330 core\n";
}

const char* VertexColorDeclaration() {
    return "layout(location = 3) in vec4 a_color;\n";
}

// Desktop GL swaps the bytes itself.
GLint ScreenColorComponents() {
    return GL_BGRA;
}
