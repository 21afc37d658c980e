#include "platform/audio/wave_file.h"

#include "platform/audio/sound_format.h"

#include <cstring>

namespace {

constexpr std::size_t RIFF_HEADER = 12;
constexpr std::size_t CHUNK_HEADER = 8;
constexpr std::uint32_t FMT_MIN = 16;
constexpr std::uint32_t FMT_EXTENSIBLE_MIN = 40;
// The sub-format GUID of the extensible record, after its first two bytes (the tag).
constexpr std::uint8_t SUBFORMAT_TAIL[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                             0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint32_t GetU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint16_t GetU16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

bool IsTag(const std::uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, 4) == 0;
}

bool ReadFormat(const std::uint8_t* f, std::uint32_t bytes, WaveData* wave) {
    if (bytes < FMT_MIN)
        return false;
    std::uint16_t tag = GetU16(f);
    if (tag == WAVE_FORMAT_EXTENSIBLE) {
        if (bytes < FMT_EXTENSIBLE_MIN || GetU16(f + 16) < 22 ||
            std::memcmp(f + 26, SUBFORMAT_TAIL, sizeof SUBFORMAT_TAIL) != 0)
            return false;
        tag = GetU16(f + 24);
    }
    wave->isFloat = tag == WAVE_FORMAT_IEEE_FLOAT;
    wave->channels = GetU16(f + 2);
    wave->samplesPerSec = GetU32(f + 4);
    const std::uint16_t blockAlign = GetU16(f + 12);
    wave->bitsPerSample = GetU16(f + 14);
    const std::uint16_t bits = wave->bitsPerSample;
    const bool sampleFits =
        wave->isFloat ? bits == 32 : bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return (tag == WAVE_FORMAT_PCM || tag == WAVE_FORMAT_IEEE_FLOAT) && sampleFits &&
           (wave->channels == 1 || wave->channels == 2) &&
           blockAlign == wave->channels * bits / 8 && wave->samplesPerSec >= 1000 &&
           wave->samplesPerSec <= MIXER_MAX_INPUT_RATE;
}

} // namespace

bool ParseWaveFile(const std::uint8_t* bytes, std::size_t size, WaveData* wave) {
    if (bytes == nullptr || wave == nullptr || size < RIFF_HEADER || !IsTag(bytes, "RIFF") ||
        !IsTag(bytes + 8, "WAVE"))
        return false;
    bool haveFormat = false;
    bool haveData = false;
    std::size_t pos = RIFF_HEADER;
    while (size - pos >= CHUNK_HEADER && !(haveFormat && haveData)) {
        const std::uint8_t* chunk = bytes + pos;
        const std::uint32_t chunkBytes = GetU32(chunk + 4);
        const std::size_t body = pos + CHUNK_HEADER;
        const std::size_t available = size - body;
        if (IsTag(chunk, "fmt ") && !haveFormat) {
            if (chunkBytes > available || !ReadFormat(bytes + body, chunkBytes, wave))
                return false;
            haveFormat = true;
        } else if (IsTag(chunk, "data") && !haveData) {
            wave->dataOffset = body;
            wave->dataBytes = std::uint32_t(chunkBytes < available ? chunkBytes : available);
            haveData = true;
        }
        // Chunks are padded to an even size; the last one may lack its pad byte.
        const std::size_t skip = std::size_t(chunkBytes) + (chunkBytes & 1);
        if (skip >= available)
            break;
        pos = body + skip;
    }
    if (!haveFormat || !haveData)
        return false;
    const std::uint32_t frameBytes = wave->channels * wave->bitsPerSample / 8u;
    wave->dataBytes -= wave->dataBytes % frameBytes;
    return true;
}
