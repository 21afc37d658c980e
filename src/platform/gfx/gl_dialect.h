// What the GL device says differently on desktop OpenGL 3.3 core and on WebGL2
// (OpenGL ES 3.0): the shaders' first line and how vertex colours are read.
#pragma once

#include <epoxy/gl.h>

// Asks SDL for the context the device draws with: GL 3.3 (core, or compatibility when
// compatible), or WebGL2 in the browser.
void RequestGlContext(bool compatible);

// The version line every shader starts with, and the default precisions where the
// language wants them.
const char* GlslHeader();

// Declares the vertex shader's a_color (vec4, red first) at ATTRIB_COLOR.
const char* VertexColorDeclaration();

// The size argument of glVertexAttribPointer that reads a screen vertex's ARGB word
// (bytes B, G, R, A in memory) so that VertexColorDeclaration's a_color is red first.
GLint ScreenColorComponents();
