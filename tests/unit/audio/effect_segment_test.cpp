#include "audio/effect_test_support.h"
#include "platform/audio/music_performance.h"
#include "platform/audio/pumped_output.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; i++)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

// A WAV file of a sine, at full scale 0.5.
std::vector<std::uint8_t> MakeSineWave(std::uint32_t rate, std::uint16_t channels,
                                       std::uint16_t bits, double frequency, double seconds) {
    std::vector<std::uint8_t> samples;
    auto frames = std::uint32_t(rate * seconds);
    for (std::uint32_t f = 0; f < frames; f++) {
        double v = 0.5 * std::sin(2 * M_PI * frequency * f / rate);
        for (int c = 0; c < channels; c++) {
            if (bits == 8)
                samples.push_back(std::uint8_t(128 + std::lround(v * 127)));
            else
                PutU16(samples, std::uint16_t(std::int16_t(std::lround(v * 32767))));
        }
    }
    std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
    PutU32(file, std::uint32_t(36 + samples.size()));
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutU32(file, 16);
    std::uint16_t align = std::uint16_t(channels * bits / 8);
    PutU16(file, 1);
    PutU16(file, channels);
    PutU32(file, rate);
    PutU32(file, rate * align);
    PutU16(file, align);
    PutU16(file, bits);
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    PutU32(file, std::uint32_t(samples.size()));
    file.insert(file.end(), samples.begin(), samples.end());
    return file;
}

struct RateCase {
    std::uint32_t rate;
    std::uint16_t channels;
    std::uint16_t bits;
};

class EffectPitchTest : public ::testing::TestWithParam<RateCase> {};

TEST_P(EffectPitchTest, PlaysAtTheRightPitchAndLength) {
    const RateCase c = GetParam();
    const TempFolder folder("audio-pitch");
    const std::filesystem::path& dir = folder.Path();
    std::filesystem::create_directories(dir / "Sound");
    std::vector<std::uint8_t> wav = MakeSineWave(c.rate, c.channels, c.bits, 1000.0, 0.5);
    std::ofstream(dir / "Sound" / "tone.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));

    LoadedEffect effect;
    ASSERT_NO_FATAL_FAILURE(LoadEffect(dir, ".\\Sound\\tone.wav", &effect));
    MusicPerformance* performance = effect.performance;
    MusicLoader* loader = effect.loader;
    MusicSegment* segment = effect.segment;

    ClearMixerCapture();
    ASSERT_EQ(performance->PlaySegmentEx(segment, DMUS_SEGF_SECONDARY), S_OK);
    PumpMixer(MIXER_RATE); // one second: the half-second tone, then silence
    const std::vector<std::int16_t>& out = GetMixerCapture();
    int lastSound = 0;
    int crossings = 0;
    for (int f = 1; f < MIXER_RATE; f++) {
        std::int16_t left = out[2 * f];
        EXPECT_NEAR(out[2 * f + 1], left, 1);
        if (std::abs(left) > 200)
            lastSound = f;
        if ((out[2 * (f - 1)] < 0) != (left < 0))
            crossings++;
    }
    EXPECT_NEAR(lastSound, MIXER_RATE / 2, 30);
    EXPECT_NEAR(crossings, 1000, 10); // two per cycle of a 1 kHz tone over 0.5 s

    segment->Unload(performance);
    segment->Release();
    loader->Release();
    performance->CloseDown();
    performance->Release();
}

INSTANTIATE_TEST_SUITE_P(Formats, EffectPitchTest,
                         ::testing::Values(RateCase{22050, 1, 8}, RateCase{22050, 2, 16},
                                           RateCase{44100, 1, 16}, RateCase{44100, 2, 8},
                                           RateCase{48000, 2, 16}, RateCase{48000, 1, 8}));

} // namespace
