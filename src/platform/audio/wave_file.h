// RIFF WAVE files holding PCM, as the effect segments load them.
#pragma once

#include "platform/audio/sound_format.h"

#include <cstddef>
#include <cstdint>

struct WaveData {
    SoundFormat format;
    std::size_t dataOffset;  // of the first sample byte
    std::uint32_t dataBytes; // whole frames only, within the file
};

// False unless the bytes are a RIFF WAVE with a "fmt " chunk of a playable
// format before a "data" chunk. A data chunk that claims more than the file
// holds is cut to what is there.
bool ParseWaveFile(const std::uint8_t* bytes, std::size_t size, WaveData* wave);
