#include "platform/audio/wave_file.h"

namespace {

std::uint32_t GetU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint16_t GetU16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

bool IsTag(const std::uint8_t* p, const char* tag) {
    return p[0] == tag[0] && p[1] == tag[1] && p[2] == tag[2] && p[3] == tag[3];
}

} // namespace

bool ParseWaveFile(const std::uint8_t* bytes, std::size_t size, WaveData* wave) {
    constexpr std::size_t RIFF_HEADER = 12;
    constexpr std::size_t CHUNK_HEADER = 8;
    constexpr std::uint32_t FMT_MIN = 16;
    if (bytes == nullptr || wave == nullptr || size < RIFF_HEADER || !IsTag(bytes, "RIFF") ||
        !IsTag(bytes + 8, "WAVE"))
        return false;
    bool haveFormat = false;
    std::size_t pos = RIFF_HEADER;
    while (size - pos >= CHUNK_HEADER) {
        const std::uint8_t* chunk = bytes + pos;
        std::uint32_t chunkBytes = GetU32(chunk + 4);
        std::size_t body = pos + CHUNK_HEADER;
        std::size_t available = size - body;
        if (IsTag(chunk, "fmt ")) {
            if (chunkBytes < FMT_MIN || available < FMT_MIN)
                return false;
            const std::uint8_t* f = bytes + body;
            wave->format = {GetU16(f),     GetU16(f + 2),  GetU32(f + 4),
                            GetU32(f + 8), GetU16(f + 12), GetU16(f + 14)};
            if (!IsPlayableFormat(wave->format))
                return false;
            haveFormat = true;
        } else if (IsTag(chunk, "data")) {
            if (!haveFormat)
                return false;
            std::size_t dataBytes = chunkBytes < available ? chunkBytes : available;
            wave->dataOffset = body;
            wave->dataBytes = std::uint32_t(dataBytes - dataBytes % wave->format.blockAlign);
            return true;
        }
        // Chunks are padded to an even size.
        std::size_t skip = std::size_t(chunkBytes) + (chunkBytes & 1);
        if (skip > available)
            return false;
        pos = body + skip;
    }
    return false;
}
