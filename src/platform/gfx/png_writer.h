#pragma once

#include <cstdint>
#include <string>

// Writes an RGBA image (top row first) as a PNG; false with errno-style failure.
bool WritePng(const std::string& path, const std::uint8_t* rgba, int width, int height);
