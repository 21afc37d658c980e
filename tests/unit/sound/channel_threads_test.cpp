// Channels opened, played, stopped, re-opened and destroyed over and over while
// a mixer thread runs as the audio device's would. Run under the thread sanitizer.
#include "scripted_reader.h"

#include "sound/direct_sound.h"
#include "sound/stream_sound_buffer.h"

#include "platform/audio/mixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

TEST(ChannelThreadsTest, OpenPlayStopDestroyManyTimes) {
    std::atomic<bool> done{false};
    std::thread device([&done] {
        std::int16_t samples[1024 * 2];
        while (!done)
            MixOutput(samples, 1024);
    });
    for (int i = 0; i < 60; i++) {
        auto channel = std::make_unique<sslib2::CStreamSoundBuffer>();
        for (int open = 0; open < 1 + i % 2; open++) {
            ASSERT_TRUE(channel->Create(
                g_directSound.GetDevice(),
                std::make_shared<ScriptedReader>(20000 + i * 500, 0, 20000 + i * 500, 0)));
            EXPECT_TRUE(channel->Play());
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            channel->Stop();
            channel->Play();
            channel->IsPlaying();
        }
    }
    done = true;
    device.join();
}

} // namespace
