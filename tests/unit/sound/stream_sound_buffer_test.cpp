#include "scripted_reader.h"

#include "sound/direct_sound.h"
#include "sound/stream_sound_buffer.h"

#include "platform/audio/pumped_output.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int FRAME_SAMPLES = MIXER_RATE / 60; // one game frame at 60 fps

struct Range {
    std::uint32_t begin, end; // source frames
};

// Pumps `seconds` of game frames.
void PumpSeconds(double seconds) {
    for (int i = 0; i < int(seconds * 60); i++)
        PumpMixer(FRAME_SAMPLES);
}

// The capture must be exactly the ranges of the source, one after another, then silence.
void ExpectCaptureIs(const std::vector<Range>& ranges, const char* name) {
    const std::vector<std::int16_t>& out = GetMixerCapture();
    std::size_t frame = 0;
    std::size_t frames = out.size() / 2;
    for (const Range& r : ranges) {
        for (std::uint32_t f = r.begin; f < r.end && frame < frames; f++, frame++) {
            std::int16_t want = ScriptedReader::SampleOf(f);
            if (out[2 * frame] != want || out[2 * frame + 1] != -want) {
                ADD_FAILURE() << name << ": output frame " << frame << " is " << out[2 * frame]
                              << ", want source frame " << f << " (" << want << ")";
                return;
            }
        }
    }
    for (; frame < frames; frame++) {
        if (out[2 * frame] != 0) {
            ADD_FAILURE() << name << ": output frame " << frame << " should be silent";
            return;
        }
    }
}

class StreamSoundBufferTest : public ::testing::Test {
  protected:
    void Open(std::uint32_t frames, std::uint32_t loopStart, std::uint32_t loopEnd,
              std::int32_t loopCount) {
        ASSERT_TRUE(m_channel.Create(
            g_directSound.GetDevice(),
            std::make_shared<ScriptedReader>(frames, loopStart, loopEnd, loopCount)));
        ClearMixerCapture();
    }
    sslib2::CStreamSoundBuffer m_channel;
};

TEST(StreamBlockTest, BlockIsThreeSixteenthsOfASecondInWholeFrames) {
    struct Case {
        sslib2::PcmFormat format;
        std::uint32_t block;
    };
    const Case cases[] = {
        {{1, 2, 44100, 176400, 4, 16}, 33076}, // 33075 rounded up to whole frames
        {{1, 1, 44100, 88200, 2, 16}, 16538},
        {{1, 2, 48000, 192000, 4, 16}, 36000},
        {{1, 1, 22050, 22050, 1, 8}, 4134},
        {{1, 2, 44100, 0, 0, 16}, 0}, // no frame size: unusable
    };
    for (const Case& c : cases)
        EXPECT_EQ(sslib2::GetStreamBlockBytes(c.format), c.block) << c.format.samplesPerSec;
}

TEST_F(StreamSoundBufferTest, StreamsThroughManyWrapsOfTheBuffer) {
    Open(44100 * 10, 0, 44100 * 10, 0);
    EXPECT_EQ(m_channel.GetBlockBytes(), 33076u);
    EXPECT_EQ(m_channel.GetBufferBytes(), 16u * 33076u);
    ASSERT_TRUE(m_channel.Play());
    EXPECT_EQ(m_channel.GetFilledBlocks(), 15);
    PumpSeconds(8); // more than two and a half buffers: every refill lands in its place
    ExpectCaptureIs({{0, 44100 * 8}}, "long stream");
    EXPECT_TRUE(m_channel.IsPlaying());
}

TEST_F(StreamSoundBufferTest, PlayWhilePlayingRestartsFromTheBeginning) {
    Open(44100 * 10, 0, 44100 * 10, 0);
    ASSERT_TRUE(m_channel.Play());
    PumpSeconds(1.5);
    ClearMixerCapture();
    ASSERT_TRUE(m_channel.Play());
    EXPECT_EQ(m_channel.GetFilledBlocks(), 15);
    PumpSeconds(4);
    ExpectCaptureIs({{0, 44100 * 4}}, "restart");
}

// What a save keeps of the music: the frame being heard, and playing on from it.
TEST_F(StreamSoundBufferTest, PlaysOnFromTheFrameHeard) {
    Open(44100 * 10, 0, 44100 * 10, 0);
    ASSERT_TRUE(m_channel.Play());
    PumpSeconds(1.5);
    const std::uint32_t heard = m_channel.GetPlayedFrame();
    EXPECT_EQ(heard, 90u * FRAME_SAMPLES);
    ClearMixerCapture();
    ASSERT_TRUE(m_channel.PlayFrom(heard));
    EXPECT_EQ(m_channel.GetPlayedFrame(), heard);
    PumpSeconds(2);
    ExpectCaptureIs({{heard, heard + 44100 * 2}}, "played on");
    // A frame past the end starts the stream again.
    ClearMixerCapture();
    ASSERT_TRUE(m_channel.PlayFrom(44100 * 10));
    PumpSeconds(1);
    ExpectCaptureIs({{0, 44100}}, "past the end");
}

TEST_F(StreamSoundBufferTest, StopKeepsThePositionUntilTheNextPlay) {
    Open(44100 * 10, 0, 44100 * 10, 0);
    ASSERT_TRUE(m_channel.Play());
    PumpSeconds(0.5);
    ASSERT_TRUE(m_channel.Stop());
    EXPECT_FALSE(m_channel.IsPlaying());
    PumpSeconds(0.5);
    ExpectCaptureIs({{0, 22050}}, "stopped");
}

TEST_F(StreamSoundBufferTest, UnopenedChannelIgnoresEveryOperation) {
    std::int32_t volume = 0;
    EXPECT_FALSE(m_channel.Play());
    EXPECT_FALSE(m_channel.Stop());
    EXPECT_FALSE(m_channel.IsPlaying());
    EXPECT_FALSE(m_channel.SetVolume(-100));
    EXPECT_FALSE(m_channel.GetVolume(&volume));
    EXPECT_FALSE(m_channel.Create(nullptr, std::make_shared<ScriptedReader>(100, 0, 100, 0)));
}

struct LoopCase {
    const char* name;
    std::uint32_t frames, loopStart, loopEnd;
    std::int32_t loopCount;
    std::vector<Range> plays; // what is heard, in order, before silence
    int filledAfterPlay;
    bool stops;
};

class StreamLoopTest : public StreamSoundBufferTest,
                       public ::testing::WithParamInterface<LoopCase> {};

TEST_P(StreamLoopTest, PlaysTheLoopsThenStopsOrNot) {
    const LoopCase& c = GetParam();
    Open(c.frames, c.loopStart, c.loopEnd, c.loopCount);
    ASSERT_TRUE(m_channel.Play());
    EXPECT_EQ(m_channel.GetFilledBlocks(), c.filledAfterPlay);
    PumpSeconds(7);
    ExpectCaptureIs(c.plays, c.name);
    EXPECT_EQ(m_channel.IsPlaying(), !c.stops) << c.name;
}

std::vector<Range> Repeat(Range first, Range loop, int times) {
    std::vector<Range> ranges = {first};
    ranges.insert(ranges.end(), times, loop);
    return ranges;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StreamLoopTest,
    ::testing::Values(
        // Shorter than 15 blocks: three blocks hold data, the rest is silence.
        LoopCase{"short", 22050, 0, 22050, 0, {{0, 22050}}, 3, true},
        LoopCase{"twice more",
                 60000,
                 10000,
                 40000,
                 2,
                 {{0, 40000}, {10000, 40000}, {10000, 60000}},
                 15,
                 true},
        LoopCase{"for ever", 60000, 10000, 40000, -1, Repeat({0, 40000}, {10000, 40000}, 10), 15,
                 false},
        LoopCase{
            "inverted, counted", 60000, 40000, 10000, 1, {{0, 10000}, {40000, 60000}}, 4, true},
        LoopCase{"inverted, for ever", 60000, 40000, 10000, -1, {{0, 10000}}, 2, false}),
    [](const ::testing::TestParamInfo<LoopCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return name;
    });

} // namespace
