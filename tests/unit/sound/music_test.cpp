#include "scripted_reader.h"

#include "sound/direct_sound.h"
#include "sound/music.h"

#include "platform/audio/pumped_output.h"
#include "platform/window/message_box.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr std::uint32_t SHORT_FRAMES = 22050;

// Counts the starts of the short stream heard in the capture: its first frame
// carries a value that no other frame of it has.
int CountStarts() {
    const std::vector<std::int16_t>& out = GetMixerCapture();
    int starts = 0;
    for (std::size_t f = 0; f < out.size() / 2; f++) {
        if (out[2 * f] == ScriptedReader::SampleOf(0))
            starts++;
    }
    return starts;
}

// Game frames as the mode drivers run them: the update only while music is not stopped.
void RunFrames(int frames) {
    for (int i = 0; i < frames; i++) {
        if (!g_bgmStopped)
            UpdateMusic();
        PumpMixer(MIXER_RATE / 60);
    }
}

class MusicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int channel = 0; channel < 2; channel++) {
            ASSERT_TRUE(g_streamSoundBuffers[channel].Create(
                g_directSound.GetDevice(),
                std::make_shared<ScriptedReader>(SHORT_FRAMES, 0, SHORT_FRAMES, 0)));
        }
        g_bgmChannel = 0;
        g_bgmRequestedChannel = 0;
        g_bgmStopped = false;
        ClearMixerCapture();
    }
    void TearDown() override {
        for (int channel = 0; channel < 2; channel++)
            g_streamSoundBuffers[channel].Stop();
        g_bgmStopped = false;
    }
};

TEST_F(MusicTest, UpdateRestartsTheRequestedChannelOnceItStops) {
    SwitchMusic(0);
    RunFrames(30); // the update leaves a playing channel alone
    ASSERT_EQ(CountStarts(), 1);
    RunFrames(150); // half a second of data per play, then a short silence
    EXPECT_GE(CountStarts(), 4);
    EXPECT_TRUE(g_streamSoundBuffers[0].IsPlaying());
}

TEST_F(MusicTest, AfterStopBgmAPlayBgmPlaysOnce) {
    SwitchMusic(0);
    RunFrames(10);
    StopMusic();
    EXPECT_TRUE(g_bgmStopped);
    EXPECT_FALSE(g_streamSoundBuffers[0].IsPlaying());
    SwitchMusic(1);
    EXPECT_EQ(g_bgmChannel, 1);
    EXPECT_EQ(g_bgmRequestedChannel, 1);
    RunFrames(240);
    EXPECT_EQ(CountStarts(), 2); // channel 0 before the stop, channel 1 once
    EXPECT_FALSE(g_streamSoundBuffers[1].IsPlaying());
}

TEST_F(MusicTest, ChannelsOutsideTheTableAreIgnored) {
    SwitchMusic(99); // a script's [playbgm 99]
    EXPECT_FALSE(UpdateMusic());
    EXPECT_FALSE(PlayMusicChannel(-1));
    EXPECT_FALSE(StopMusicChannel(STREAM_CHANNEL_COUNT));
    EXPECT_FALSE(g_streamSoundBuffers[7].IsPlaying());
}

TEST(OpenMusicChannelTest, MissingFileShowsItsMessage) {
    ClearRecordedMessages();
    EXPECT_FALSE(OpenMusicChannel(5, ".\\no\\such.ogg"));
    ASSERT_EQ(GetRecordedMessages().size(), 1u);
    EXPECT_EQ(GetRecordedMessages()[0].text, "OGGファイルの参照に失敗");
    EXPECT_EQ(GetRecordedMessages()[0].caption, "");
    EXPECT_FALSE(g_streamSoundBuffers[5].Play());
}

} // namespace
