// WAV bytes from outside: every file is either converted within its own bytes or refused.
#include "platform/audio/wave_file.h"
#include "platform/audio/wave_convert.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20))
        return 0;
    WaveData wave;
    if (!ParseWaveFile(data, size, &wave))
        return 0;
    if (wave.dataOffset > size || wave.dataBytes > size - wave.dataOffset)
        __builtin_trap();
    std::vector<std::int16_t> pcm;
    if (ConvertWaveToMixerFormat(data, wave, &pcm) && pcm.size() % 2 != 0)
        __builtin_trap();
    return 0;
}
