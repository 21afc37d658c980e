#include "platform/audio/wav_writer.h"

#include "platform/audio/sound_format.h"
#include "platform/files/host_files.h"

#include <cstdio>

namespace {

void PutU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; i++)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void PutU16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

} // namespace

bool WriteStereoWav(const char* path, const std::int16_t* samples, std::size_t frames) {
    constexpr std::size_t HEADER_BYTES = 44;
    constexpr std::size_t BLOCK = MIXER_CHANNELS * 2;
    // The RIFF sizes are 32-bit.
    if (path == nullptr || frames > (0xffffffffu - HEADER_BYTES) / BLOCK)
        return false;
    auto dataBytes = static_cast<std::uint32_t>(frames * BLOCK);
    unsigned char header[HEADER_BYTES] = {'R', 'I', 'F', 'F', 0,   0,   0,  0, 'W', 'A',
                                          'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0,   0};
    PutU32(header + 4, dataBytes + 36);
    PutU16(header + 20, WAVE_FORMAT_PCM);
    PutU16(header + 22, MIXER_CHANNELS);
    PutU32(header + 24, MIXER_RATE);
    PutU32(header + 28, MIXER_RATE * BLOCK);
    PutU16(header + 32, BLOCK);
    PutU16(header + 34, 16);
    header[36] = 'd';
    header[37] = 'a';
    header[38] = 't';
    header[39] = 'a';
    PutU32(header + 40, dataBytes);
    std::FILE* file = OpenHostFile(path, "wb");
    if (file == nullptr)
        return false;
    bool ok = std::fwrite(header, 1, HEADER_BYTES, file) == HEADER_BYTES;
    // Samples are written little-endian, whatever the host order.
    unsigned char chunk[4096];
    std::size_t count = frames * MIXER_CHANNELS;
    for (std::size_t i = 0; ok && i < count;) {
        std::size_t n = 0;
        for (; n + 2 <= sizeof chunk && i < count; n += 2, i++)
            PutU16(chunk + n, static_cast<std::uint16_t>(samples[i]));
        ok = std::fwrite(chunk, 1, n, file) == n;
    }
    return std::fclose(file) == 0 && ok;
}
