// The programs of the fixed-function stand-in (the shared preambles are declared in
// gfx_internal.h).
#pragma once

#include <string>

std::string FixedVertexShader();
std::string FixedPixelShader();
