// RIFF WAVE files for the effects: integer PCM of 8, 16, 24 or 32 bits and 32-bit IEEE
// float, plain or in the extensible format record, mono or stereo.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::uint16_t WAVE_FORMAT_IEEE_FLOAT = 3;
constexpr std::uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

struct WaveData {
    bool isFloat;
    std::uint16_t channels;
    std::uint32_t samplesPerSec;
    std::uint16_t bitsPerSample; // of the container a sample is stored in
    std::size_t dataOffset;      // of the first sample byte
    std::uint32_t dataBytes;     // whole frames only, within the file
};

// False unless the bytes are a RIFF WAVE with a "fmt " chunk of a format above and a
// "data" chunk. The other chunks (LIST, fact, cue, ...) may stand anywhere and are passed
// over with the pad byte of an odd size. A data chunk that claims more than the file
// holds is cut to what is there. Files of more than two channels are refused.
bool ParseWaveFile(const std::uint8_t* bytes, std::size_t size, WaveData* wave);
