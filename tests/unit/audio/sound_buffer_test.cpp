#include "platform/audio/pumped_output.h"
#include "platform/audio/sound_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t BLOCK = 400; // bytes: 100 stereo 16-bit frames
constexpr std::uint32_t BLOCKS = 4;
const SoundFormat STEREO16 = {WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16};

class SoundBufferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CreateSoundDevice(&m_device), S_OK);
        ASSERT_EQ(m_device->Initialize(), S_OK);
        ASSERT_EQ(m_device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), S_OK);
        SoundBufferDesc desc = {20, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY, BLOCK * BLOCKS,
                                0, &STEREO16};
        ASSERT_EQ(m_device->CreateSoundBuffer(desc, &m_buffer), S_OK);
        ClearMixerCapture();
    }
    void TearDown() override {
        if (m_buffer != nullptr)
            m_buffer->Release();
        m_device->Release();
    }
    // Fills the whole buffer with one constant sample value.
    void FillConstant(std::int16_t value) {
        void* p1;
        std::uint32_t n1;
        ASSERT_EQ(m_buffer->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), S_OK);
        auto* samples = static_cast<std::int16_t*>(p1);
        for (std::uint32_t i = 0; i < n1 / 2; i++)
            samples[i] = value;
        m_buffer->Unlock(p1, n1, nullptr, 0);
    }
    SoundDevice* m_device = nullptr;
    SoundBuffer* m_buffer = nullptr;
};

TEST_F(SoundBufferTest, LockWrapsIntoASecondRegion) {
    void *p1, *p2;
    std::uint32_t n1, n2;
    ASSERT_EQ(m_buffer->Lock(BLOCK * 3, BLOCK * 2, &p1, &n1, &p2, &n2, 0), S_OK);
    EXPECT_EQ(n1, BLOCK);
    EXPECT_EQ(n2, BLOCK);
    EXPECT_EQ(static_cast<std::uint8_t*>(p2) + BLOCK * 3, static_cast<std::uint8_t*>(p1));
    EXPECT_EQ(m_buffer->Lock(BLOCK * BLOCKS, 4, &p1, &n1, &p2, &n2, 0), E_FAIL);
}

TEST_F(SoundBufferTest, NotificationsSignalAsTheLoopingCursorPassesThem) {
    Event events[BLOCKS];
    PositionNotify notifies[BLOCKS];
    for (std::uint32_t i = 0; i < BLOCKS; i++)
        notifies[i] = {i + 1 < BLOCKS ? BLOCK * (i + 1) : BLOCK * BLOCKS - 1, &events[i]};
    ASSERT_EQ(m_buffer->SetNotificationPositions(BLOCKS, notifies), S_OK);
    ASSERT_EQ(m_buffer->Play(0, 0, DSBPLAY_LOOPING), S_OK);
    EXPECT_EQ(m_buffer->SetNotificationPositions(BLOCKS, notifies), E_FAIL); // only while stopped

    PumpMixer(100); // exactly block 0: the cursor sits on position 1 but has not passed it
    EXPECT_FALSE(events[0].TryWait());
    PumpMixer(1);
    EXPECT_TRUE(events[0].TryWait());
    PumpMixer(298); // to the last frame of the buffer
    EXPECT_TRUE(events[1].TryWait());
    EXPECT_TRUE(events[2].TryWait());
    EXPECT_FALSE(events[3].TryWait());
    PumpMixer(1); // the last byte is passed as the cursor wraps
    EXPECT_TRUE(events[3].TryWait());
    std::uint32_t play = 1;
    m_buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);
}

TEST_F(SoundBufferTest, StopKeepsContentsAndPosition) {
    FillConstant(1000);
    ASSERT_EQ(m_buffer->Play(0, 0, DSBPLAY_LOOPING), S_OK);
    std::uint32_t status = 0;
    m_buffer->GetStatus(&status);
    EXPECT_EQ(status & DSBSTATUS_PLAYING, DSBSTATUS_PLAYING);
    PumpMixer(150);
    ASSERT_EQ(m_buffer->Stop(), S_OK);
    m_buffer->GetStatus(&status);
    EXPECT_EQ(status & DSBSTATUS_PLAYING, 0u);
    PumpMixer(100);
    std::uint32_t play = 0;
    m_buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 150u * 4);
    const std::vector<std::int16_t>& captured = GetMixerCapture();
    ASSERT_EQ(captured.size(), 500u);
    EXPECT_EQ(captured[299], 1000);
    EXPECT_EQ(captured[300], 0); // stopped: silence

    ASSERT_EQ(m_buffer->SetCurrentPosition(BLOCK * 3 + 2), S_OK); // rounded down to a frame
    m_buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, BLOCK * 3);
    ASSERT_EQ(m_buffer->Play(0, 0, DSBPLAY_LOOPING), S_OK);
    PumpMixer(10);
    EXPECT_EQ(GetMixerCapture().back(), 1000);
}

TEST_F(SoundBufferTest, VolumeAttenuatesInHundredthsOfADecibel) {
    struct Case {
        std::int32_t volume;
        double gain;
    };
    const Case cases[] = {{0, 1.0}, {-600, 0.501}, {-2000, 0.1}, {-10000, 0.0}};
    FillConstant(20000);
    for (const Case& c : cases) {
        ASSERT_EQ(m_buffer->SetVolume(c.volume), S_OK);
        std::int32_t volume = 1;
        m_buffer->GetVolume(&volume);
        EXPECT_EQ(volume, c.volume);
        ClearMixerCapture();
        m_buffer->Play(0, 0, DSBPLAY_LOOPING);
        PumpMixer(10);
        m_buffer->Stop();
        EXPECT_NEAR(GetMixerCapture()[10], 20000 * c.gain, 20000 * 0.01) << c.volume;
    }
    EXPECT_EQ(m_buffer->SetVolume(1), E_FAIL);
    EXPECT_EQ(m_buffer->SetVolume(-10001), E_FAIL);
}

TEST(SoundDeviceTest, RefusesUnplayableBuffers) {
    SoundDevice* device = nullptr;
    ASSERT_EQ(CreateSoundDevice(&device), S_OK);
    SoundBuffer* buffer = nullptr;
    SoundBufferDesc desc = {20, 0, 400, 0, &STEREO16};
    EXPECT_EQ(device->CreateSoundBuffer(desc, &buffer), E_FAIL); // not initialised
    ASSERT_EQ(device->Initialize(), S_OK);
    ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), S_OK);
    const SoundFormat sixChannels = {WAVE_FORMAT_PCM, 6, 44100, 44100 * 12, 12, 16};
    const SoundFormat badAlign = {WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 3, 16};
    const SoundFormat* formats[] = {&sixChannels, &badAlign, nullptr};
    for (const SoundFormat* format : formats) {
        desc.format = format;
        EXPECT_EQ(device->CreateSoundBuffer(desc, &buffer), E_FAIL);
        EXPECT_EQ(buffer, nullptr);
    }
    desc = {20, 0, 402, 0, &STEREO16}; // not whole frames
    EXPECT_EQ(device->CreateSoundBuffer(desc, &buffer), E_FAIL);
    device->Release();
}

} // namespace
