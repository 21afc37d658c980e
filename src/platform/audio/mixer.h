// The software mixer: every playing buffer and effect mixed into the output format
// (44100 Hz, stereo, signed 16-bit), for whichever output takes the sound
// (audio_output.h).
#pragma once

#include <cstdint>

// Mixes every playing buffer and effect into `frames` interleaved stereo frames.
void MixOutput(std::int16_t* out, int frames);

// The player's volume for the two groups of voices, 0 to 1: the stream buffers
// (music) and the effects. It scales what reaches the output only: the volumes the
// game sets on its buffers and what it reads back stay as they are.
void SetMixerGroupGains(float streams, float effects);
