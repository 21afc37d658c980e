#include "scripted_reader.h"
#include "temp_folder.h"

#include "sound/direct_sound.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include "platform/audio/pumped_output.h"
#include "platform/audio/wav_writer.h"
#include "platform/window/message_box.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr std::int16_t EFFECT_LEVEL = 8192;
constexpr int MUSIC_VOLUME = -600; // leaves room for both effects over the music

void WriteConstantWav(const std::filesystem::path& path, std::size_t frames) {
    std::vector<std::int16_t> samples(frames * 2, EFFECT_LEVEL);
    ASSERT_TRUE(WriteStereoWav(path.c_str(), samples.data(), frames));
}

// The 16-bit samples of a 44100 Hz stereo WAV written by the mixer capture.
std::vector<std::int16_t> ReadCapturedWav(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
    std::vector<std::int16_t> samples;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
        samples.push_back(std::int16_t(std::uint8_t(bytes[i]) | std::uint8_t(bytes[i + 1]) << 8));
    return samples;
}

TEST(SoundEffectsTest, TwoEffectsSoundTogetherOverTheMusic) {
    const TempFolder folder("sound-effects");
    const std::filesystem::path& dir = folder.Path();
    std::filesystem::create_directories(dir / "Sound");
    WriteConstantWav(dir / "Sound" / "click.wav", 44100 / 5);
    WriteConstantWav(dir / "Sound" / "talk.wav", 44100 * 2 / 5);
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    ClearRecordedMessages();
    EXPECT_TRUE(InitDirectMusic());
    std::filesystem::current_path(previous);
    EXPECT_TRUE(LoadSoundEffect(SOUND_EFFECT_CLICK, ".\\Sound\\click.wav"));
    EXPECT_TRUE(LoadSoundEffect(SOUND_EFFECT_TALK, ".\\Sound\\talk.wav"));
    EXPECT_FALSE(LoadSoundEffect(2, ".\\Sound\\missing.wav"));
    ASSERT_EQ(GetRecordedMessages().size(), 1u);
    EXPECT_EQ(GetRecordedMessages()[0].text, "MIDIファイルのロードに失敗");
    EXPECT_EQ(GetRecordedMessages()[0].caption, "ERROR");

    sslib2::CStreamSoundBuffer& music = g_streamSoundBuffers[3];
    ASSERT_TRUE(music.Create(g_directSound.GetDevice(),
                             std::make_shared<ScriptedReader>(44100 * 5, 0, 44100 * 5, 0)));
    ASSERT_TRUE(music.SetVolume(MUSIC_VOLUME));
    ClearMixerCapture();
    ASSERT_TRUE(music.Play());
    PlaySoundEffect(SOUND_EFFECT_CLICK);
    PlaySoundEffect(SOUND_EFFECT_TALK);
    for (int slot : {-1, 2, 31, 32})
        PlaySoundEffect(slot); // empty or outside the table: nothing
    PumpMixer(44100 * 3 / 5);
    music.Stop();
    auto wav = dir / "capture.wav";
    ASSERT_TRUE(WriteMixerCaptureWav(wav.c_str()));
    std::vector<std::int16_t> out = ReadCapturedWav(wav);
    ASSERT_EQ(out.size(), std::size_t(44100 * 3 / 5 * 2));

    // The effects' level is what the capture holds above the music.
    const float musicGain = float(std::pow(10.0, MUSIC_VOLUME / 2000.0));
    auto effectLevel = [&](int frame) {
        float musicSample = ScriptedReader::SampleOf(std::uint32_t(frame)) * musicGain;
        return out[2 * frame] - musicSample;
    };
    struct Window {
        int frame;
        int effects; // how many effects sound at that moment
    };
    for (Window w : {Window{100, 2}, Window{8000, 2}, Window{9000, 1}, Window{17000, 1},
                     Window{18000, 0}, Window{26000, 0}})
        EXPECT_NEAR(effectLevel(w.frame), w.effects * EFFECT_LEVEL, 4) << w.frame;

    EXPECT_EQ(GetSoundEffectPlayCount(SOUND_EFFECT_CLICK), 1);
    EXPECT_EQ(GetSoundEffectPlayCount(SOUND_EFFECT_TALK), 1);
    EXPECT_EQ(GetSoundEffectPlayCount(31), 1);
    EXPECT_EQ(GetSoundEffectPlayCount(32), 0);

    ClearRecordedMessages();
    EXPECT_TRUE(StopAndUnloadSoundEffects());
    EXPECT_TRUE(CloseDirectMusic());
    EXPECT_TRUE(GetRecordedMessages().empty());
    for (MusicSegment* segment : g_pSegments)
        EXPECT_EQ(segment, nullptr);
    EXPECT_EQ(g_pPerformance, nullptr);
    EXPECT_EQ(g_pLoader, nullptr);
    PlaySoundEffect(SOUND_EFFECT_CLICK); // after shut-down: nothing, no crash
}

} // namespace
