// Wave files written byte by byte, loaded and compared sample by sample with what the
// bytes say, in the mixer's format (16-bit stereo at 44100 Hz).
#include "platform/audio/wave_convert.h"
#include "platform/audio/wave_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes* out, std::uint32_t v, int count) {
    for (int i = 0; i < count; ++i)
        out->push_back(std::uint8_t(v >> (8 * i)));
}

Bytes Chunk(const char* tag, const Bytes& body) {
    Bytes out(tag, tag + 4);
    Put(&out, std::uint32_t(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 != 0)
        out.push_back(0);
    return out;
}

struct Fmt {
    std::uint16_t tag = 1; // the sub-format's when extensible
    bool extensible = false;
    std::uint16_t channels = 1;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::uint16_t validBits = 0; // extensible only; 0: bits
};

Bytes FmtChunk(const Fmt& f) {
    Bytes body;
    const std::uint16_t align = std::uint16_t(f.channels * f.bits / 8);
    Put(&body, f.extensible ? 0xFFFE : f.tag, 2);
    Put(&body, f.channels, 2);
    Put(&body, f.rate, 4);
    Put(&body, f.rate * align, 4);
    Put(&body, align, 2);
    Put(&body, f.bits, 2);
    if (f.extensible) {
        Put(&body, 22, 2);
        Put(&body, f.validBits ? f.validBits : f.bits, 2);
        Put(&body, f.channels == 2 ? 3 : 4, 4); // front left and right, or centre
        Put(&body, f.tag, 2);
        const std::uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                       0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        body.insert(body.end(), tail, tail + 14);
    }
    return Chunk("fmt ", body);
}

Bytes Riff(const std::vector<Bytes>& chunks) {
    Bytes inner = {'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks)
        inner.insert(inner.end(), c.begin(), c.end());
    Bytes out = {'R', 'I', 'F', 'F'};
    Put(&out, std::uint32_t(inner.size()), 4);
    out.insert(out.end(), inner.begin(), inner.end());
    return out;
}

Bytes Floats(std::initializer_list<float> values) {
    Bytes out;
    for (float v : values) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        Put(&out, bits, 4);
    }
    return out;
}

bool Load(const Bytes& file, std::vector<std::int16_t>* pcm) {
    WaveData wave;
    return ParseWaveFile(file.data(), file.size(), &wave) &&
           ConvertWaveToMixerFormat(file.data(), wave, pcm);
}

} // namespace

TEST(WaveFile, EverySampleFormatToTheMixersFormat) {
    struct Case {
        const char* what;
        Fmt fmt;
        Bytes data;
        std::vector<std::int16_t> stereo;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"8-bit unsigned mono",
         {1, false, 1, 44100, 8},
         {0x00, 0x80, 0xFF},
         {-32768, -32768, 0, 0, 32512, 32512}},
        {"16-bit stereo", {1, false, 2, 44100, 16}, {0x34, 0x12, 0xFE, 0xFF}, {0x1234, -2}},
        {"24-bit extensible stereo, the top 16 bits",
         {1, true, 2, 44100, 24},
         {0x56, 0x34, 0x12, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
         {0x1234, -32768, -1, 32767}},
        {"24-bit extensible holding 20 valid bits",
         {1, true, 1, 44100, 24, 20},
         {0x00, 0x10, 0x80},
         {-32752, -32752}},
        {"32-bit integer mono",
         {1, false, 1, 44100, 32},
         {0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80, 0x00, 0x80, 0x01, 0x00},
         {32767, 32767, -32768, -32768, 1, 1}},
        {"32-bit float, rounded to even and clamped",
         {3, false, 1, 44100, 32},
         Floats({0.5f, -1.0f, 1.0f, 2.0f, nan, 1.0f / 65536, 3.0f / 65536}),
         {16384, 16384, -32768, -32768, 32767, 32767, 32767, 32767, 0, 0, 0, 0, 2, 2}},
        {"32-bit float extensible stereo",
         {3, true, 2, 44100, 32},
         Floats({-0.25f, 0.75f}),
         {-8192, 24576}},
    };
    for (const Case& c : cases) {
        std::vector<std::int16_t> pcm;
        ASSERT_TRUE(Load(Riff({FmtChunk(c.fmt), Chunk("data", c.data)}), &pcm)) << c.what;
        EXPECT_EQ(pcm, c.stereo) << c.what;
    }
}

// Other rates meet 44100 Hz by linear interpolation, the last frame fading toward silence.
TEST(WaveFile, OtherRatesAreInterpolated) {
    struct Case {
        std::uint32_t rate;
        std::uint16_t channels;
        std::vector<std::int16_t> samples;
        std::vector<std::int16_t> stereo;
    };
    const Case cases[] = {
        {22050,
         1,
         {100, 200, -301},
         {100, 100, 150, 150, 200, 200, -51, -51, -301, -301, -151, -151}},
        {11025,
         1,
         {0, 400},
         {0, 0, 100, 100, 200, 200, 300, 300, 400, 400, 300, 300, 200, 200, 100, 100}},
        {88200, 2, {1, -1, 2, -2, 3, -3, 4, -4, 5, -5}, {1, -1, 3, -3, 5, -5}},
    };
    for (const Case& c : cases) {
        Bytes data;
        for (std::int16_t s : c.samples)
            Put(&data, std::uint16_t(s), 2);
        std::vector<std::int16_t> pcm;
        ASSERT_TRUE(
            Load(Riff({FmtChunk({1, false, c.channels, c.rate, 16}), Chunk("data", data)}), &pcm))
            << c.rate;
        EXPECT_EQ(pcm, c.stereo) << c.rate;
    }
}

TEST(WaveFile, ChunksInAnyOrder) {
    const Bytes fmt = FmtChunk({1, false, 1, 44100, 16});
    const Bytes data = Chunk("data", {1, 0, 2, 0, 3, 0});
    const Bytes list = Chunk("LIST", {'I', 'N', 'F', 'O', 'x'});
    const Bytes fact = Chunk("fact", {3, 0, 0, 0});
    const Bytes cue = Chunk("cue ", {0, 0, 0, 0});
    Bytes oddData = Chunk("data", {1, 0, 2, 0, 3, 0, 9});
    Bytes unbounded = data;
    unbounded[4] = unbounded[5] = unbounded[6] = unbounded[7] = 0xFF;
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"an odd LIST between format and data", Riff({fmt, list, data})},
        {"LIST and fact before the format", Riff({list, fact, fmt, data})},
        {"cue after the data", Riff({fmt, data, cue})},
        {"data before the format", Riff({data, list, fmt})},
        {"an odd data size: the half frame and its pad byte are dropped",
         Riff({fmt, oddData, cue})},
        {"a data size past the end of the file", Riff({fmt, unbounded})},
    };
    for (const Case& c : cases) {
        std::vector<std::int16_t> pcm;
        ASSERT_TRUE(Load(c.file, &pcm)) << c.what;
        EXPECT_EQ(pcm, (std::vector<std::int16_t>{1, 1, 2, 2, 3, 3})) << c.what;
    }
}

TEST(WaveFile, RefusesWhatItCannotPlay) {
    const Bytes data = Chunk("data", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Bytes badGuid = FmtChunk({1, true, 2, 44100, 16});
    badGuid.back() ^= 1;
    Bytes shortCb = FmtChunk({1, true, 2, 44100, 16});
    shortCb[8 + 16] = 20;
    Bytes badAlign = FmtChunk({1, false, 2, 44100, 16});
    badAlign[8 + 12] = 2;
    Bytes shortFmt = Chunk("fmt ", {1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0});
    Bytes notWave = Riff({FmtChunk({}), data});
    notWave[8] = 'X';
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"three channels", Riff({FmtChunk({1, false, 3, 44100, 16}), data})},
        {"12-bit", Riff({FmtChunk({1, false, 1, 44100, 12}), data})},
        {"16-bit float", Riff({FmtChunk({3, false, 1, 44100, 16}), data})},
        {"ADPCM", Riff({FmtChunk({2, false, 1, 44100, 16}), data})},
        {"extensible ADPCM", Riff({FmtChunk({2, true, 1, 44100, 16}), data})},
        {"extensible with a foreign GUID", Riff({badGuid, data})},
        {"extensible with a short extension", Riff({shortCb, data})},
        {"block align that does not match", Riff({badAlign, data})},
        {"rate below 1000 Hz", Riff({FmtChunk({1, false, 1, 999, 16}), data})},
        {"rate above 192000 Hz", Riff({FmtChunk({1, false, 1, 192001, 16}), data})},
        {"format chunk too short", Riff({shortFmt, data})},
        {"no data chunk", Riff({FmtChunk({})})},
        {"no format chunk", Riff({data})},
        {"not WAVE", notWave},
        {"no chunks at all", Riff({})},
    };
    for (const Case& c : cases) {
        std::vector<std::int16_t> pcm;
        EXPECT_FALSE(Load(c.file, &pcm)) << c.what;
    }
}

// A file that would convert to more than MAX_CONVERTED_FRAMES is refused before any of
// it is converted: a few hundred kilobytes at a low rate would otherwise take gigabytes.
TEST(WaveFile, RefusesAConversionTooLong) {
    const std::uint32_t rate = 1000;
    const std::uint32_t frames =
        std::uint32_t(std::uint64_t(MAX_CONVERTED_FRAMES) * rate / 44100) + 2;
    const Bytes file = Riff({FmtChunk({1, false, 1, rate, 8}), Chunk("data", Bytes(frames, 0x80))});
    std::vector<std::int16_t> pcm;
    EXPECT_FALSE(Load(file, &pcm));
    const Bytes shorter =
        Riff({FmtChunk({1, false, 1, rate, 8}), Chunk("data", Bytes(frames - 4, 0x80))});
    ASSERT_TRUE(Load(shorter, &pcm));
    EXPECT_LE(pcm.size(), 2 * std::size_t(MAX_CONVERTED_FRAMES));
}
