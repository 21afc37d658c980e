// The PCM format of a sound buffer or a wave file, laid out as the classic
// 16-byte PCM wave format record.
#pragma once

#include <cstdint>

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

struct SoundFormat {
    std::uint16_t formatTag;
    std::uint16_t channels;
    std::uint32_t samplesPerSec;
    std::uint32_t avgBytesPerSec;
    std::uint16_t blockAlign;
    std::uint16_t bitsPerSample;
};
static_assert(sizeof(SoundFormat) == 16);

// The mixer output: 44100 Hz, stereo, signed 16-bit.
constexpr int MIXER_RATE = 44100;
constexpr int MIXER_CHANNELS = 2;
// Highest input rate the mixer converts.
constexpr std::uint32_t MIXER_MAX_INPUT_RATE = 192000;

// PCM, mono or stereo, 8- or 16-bit, a consistent block align and a rate the mixer converts.
bool IsPlayableFormat(const SoundFormat& format);
