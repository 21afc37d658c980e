// Writing interleaved stereo 16-bit samples as a 44100 Hz WAV file.
#pragma once

#include <cstddef>
#include <cstdint>

bool WriteStereoWav(const char* path, const std::int16_t* samples, std::size_t frames);
