// The player's music and effect volumes scale what the two groups of voices send to
// the output, and leave the volumes the game sets and reads back alone.
#include "audio/effect_test_support.h"
#include "platform/audio/mixer.h"
#include "platform/audio/music_performance.h"
#include "platform/audio/pumped_output.h"
#include "platform/audio/sound_device.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

const SoundFormat STEREO16 = {WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16};

// A stereo 16-bit 44.1 kHz WAV of `frames` frames of one constant sample.
std::vector<char> ConstantWave(std::int16_t value, std::uint32_t frames) {
    const std::uint32_t dataBytes = frames * 4;
    std::vector<char> wav(44 + dataBytes);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&wav[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&wav[at], &v, 2); };
    std::memcpy(&wav[0], "RIFF", 4);
    put32(4, 36 + dataBytes);
    std::memcpy(&wav[8], "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 2);
    put32(24, 44100);
    put32(28, 44100 * 4);
    put16(32, 4);
    put16(34, 16);
    std::memcpy(&wav[36], "data", 4);
    put32(40, dataBytes);
    for (std::uint32_t i = 0; i < frames * 2; ++i)
        std::memcpy(&wav[44 + 2 * i], &value, 2);
    return wav;
}

class GroupGain : public ::testing::Test {
  protected:
    void TearDown() override { SetMixerGroupGains(1.0f, 1.0f); }
};

TEST_F(GroupGain, MusicVolumeScalesStreamBuffersOnly) {
    SoundDevice* device = nullptr;
    ASSERT_EQ(CreateSoundDevice(&device), S_OK);
    ASSERT_EQ(device->Initialize(), S_OK);
    ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), S_OK);
    SoundBufferDesc desc = {20, DSBCAPS_CTRLVOLUME, 4000, 0, &STEREO16};
    SoundBuffer* buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(desc, &buffer), S_OK);
    void* p = nullptr;
    std::uint32_t n = 0;
    ASSERT_EQ(buffer->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), S_OK);
    for (std::uint32_t i = 0; i < n / 2; ++i)
        static_cast<std::int16_t*>(p)[i] = 20000;
    buffer->Unlock(p, n, nullptr, 0);
    ASSERT_EQ(buffer->SetVolume(-600), S_OK); // the game's own volume: about half

    const struct {
        float music, effects;
        double expected;
    } cases[] = {{1.0f, 1.0f, 20000 * 0.501},
                 {0.5f, 1.0f, 10000 * 0.501},
                 {1.0f, 0.0f, 20000 * 0.501},
                 {0.0f, 1.0f, 0.0}};
    for (const auto& c : cases) {
        SetMixerGroupGains(c.music, c.effects);
        ClearMixerCapture();
        ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), S_OK);
        PumpMixer(10);
        buffer->Stop();
        EXPECT_NEAR(GetMixerCapture()[10], c.expected, 200) << c.music << " " << c.effects;
        std::int32_t volume = 0;
        buffer->GetVolume(&volume);
        EXPECT_EQ(volume, -600);
    }
    buffer->Release();
    device->Release();
}

TEST_F(GroupGain, EffectsVolumeScalesEffectsOnly) {
    const TempFolder folder("group-gain");
    const std::filesystem::path& dir = folder.Path();
    const std::vector<char> wav = ConstantWave(20000, 4410);
    std::ofstream(dir / "flat.wav", std::ios::binary)
        .write(wav.data(), std::streamsize(wav.size()));

    LoadedEffect effect;
    ASSERT_NO_FATAL_FAILURE(LoadEffect(dir, "flat.wav", &effect));
    MusicPerformance* performance = effect.performance;
    MusicLoader* loader = effect.loader;
    MusicSegment* segment = effect.segment;

    const struct {
        float music, effects;
        double expected;
    } cases[] = {{1.0f, 1.0f, 20000}, {0.0f, 0.25f, 5000}, {1.0f, 0.0f, 0}};
    for (const auto& c : cases) {
        SetMixerGroupGains(c.music, c.effects);
        ClearMixerCapture();
        ASSERT_EQ(performance->PlaySegmentEx(segment, DMUS_SEGF_SECONDARY), S_OK);
        PumpMixer(100);
        EXPECT_NEAR(GetMixerCapture()[100], c.expected, 200) << c.music << " " << c.effects;
        PumpMixer(4410); // to the end of the effect
    }
    segment->Release();
    loader->Release();
    performance->Release();
}

} // namespace
