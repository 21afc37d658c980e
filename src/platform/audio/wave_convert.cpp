#include "platform/audio/wave_convert.h"

#include "platform/audio/sound_format.h"

#include <cmath>
#include <cstring>

namespace {

std::int16_t ReadSample(const std::uint8_t* p, const WaveData& wave) {
    switch (wave.bitsPerSample) {
    case 8:
        return std::int16_t((p[0] - 128) * 256);
    case 16:
        return std::int16_t(p[0] | p[1] << 8);
    case 24:
        return std::int16_t(p[1] | p[2] << 8);
    default:
        break;
    }
    if (!wave.isFloat)
        return std::int16_t(p[2] | p[3] << 8);
    const std::uint32_t bits = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                               std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!(value == value))
        return 0;
    const float scaled = std::nearbyint(value * 32768.0f);
    if (scaled >= 32767.0f)
        return 32767;
    if (scaled <= -32768.0f)
        return -32768;
    return std::int16_t(scaled);
}

} // namespace

bool ConvertWaveToMixerFormat(const std::uint8_t* bytes, const WaveData& wave,
                              std::vector<std::int16_t>* pcm) {
    const std::uint32_t sampleBytes = wave.bitsPerSample / 8u;
    const std::uint32_t frameBytes = sampleBytes * wave.channels;
    const std::uint32_t frames = wave.dataBytes / frameBytes;
    const std::uint8_t* data = bytes + wave.dataOffset;
    // Source frames per output frame in 32.32 fixed point; output frame i stands at
    // i × step, and the sound lasts while that lies before the end of the source.
    const std::uint64_t step = (std::uint64_t(wave.samplesPerSec) << 32) / MIXER_RATE;
    const std::uint64_t outFrames = ((std::uint64_t(frames) << 32) + step - 1) / step;
    if (outFrames > MAX_CONVERTED_FRAMES)
        return false;
    std::vector<std::int16_t> source(std::size_t(frames + 1) * 2, 0);
    for (std::uint32_t f = 0; f < frames; ++f) {
        const std::uint8_t* frame = data + std::size_t(f) * frameBytes;
        source[2 * f] = ReadSample(frame, wave);
        source[2 * f + 1] =
            wave.channels == 2 ? ReadSample(frame + sampleBytes, wave) : source[2 * f];
    }
    if (step == (std::uint64_t(1) << 32)) {
        source.resize(std::size_t(frames) * 2);
        *pcm = std::move(source);
        return true;
    }
    pcm->assign(std::size_t(outFrames) * 2, 0);
    for (std::uint64_t i = 0; i < outFrames; ++i) {
        const std::uint64_t position = i * step;
        const std::size_t k = std::size_t(position >> 32);
        const std::int64_t t = std::int64_t(position & 0xFFFFFFFFu);
        for (int c = 0; c < 2; ++c) {
            const std::int64_t a = source[2 * k + c];
            const std::int64_t b = source[2 * k + 2 + c];
            // The shift rounds toward minus infinity, so the result lies between a and b.
            (*pcm)[std::size_t(2 * i + c)] = std::int16_t(a + (((b - a) * t) >> 32));
        }
    }
    return true;
}
