// Wave samples in the mixer's own format, converted once when an effect is loaded, so
// that a voice plays them frame for frame.
#pragma once

#include "platform/audio/wave_file.h"

#include <cstdint>
#include <vector>

// The longest effect after conversion, in mixer frames (about six minutes).
constexpr std::uint32_t MAX_CONVERTED_FRAMES = 16u << 20;

// Fills pcm with the wave's samples as interleaved 16-bit stereo at MIXER_RATE: integer
// samples keep their top 16 bits (8-bit ones are unsigned around 128), float samples are
// scaled by 32768, rounded and clamped; a mono channel goes to both sides. Another rate is
// met by linear interpolation between neighbouring frames, the last one fading toward
// silence, as the mixer does for a sound buffer. False when the result would be longer
// than MAX_CONVERTED_FRAMES.
bool ConvertWaveToMixerFormat(const std::uint8_t* bytes, const WaveData& wave,
                              std::vector<std::int16_t>* pcm);
