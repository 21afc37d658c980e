// The music and the effects on a real SDL audio device, whose thread calls the mixer
// in real time (the dummy driver), when that device goes away under running music and
// comes back: directly, as the window's event handling does, and through SDL events
// taken by that handling itself. Runs in a fresh process: the other sound tests pump
// the mixer by hand, and this one needs the device open from the start.
//
// A main thread that waits for the streaming threads, or a refill waiting for a
// notification that never comes, shows as the test's time-out.
#include "temp_folder.h"

#include "sound/direct_sound.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/device_output.h"
#include "platform/audio/event.h"
#include "platform/audio/mixer_voice.h"
#include "platform/audio/wav_writer.h"
#include "platform/system/window_system.h"
#include "platform/window/message_box.h"
#include "platform/window/window_events.h"

#include <SDL.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int GAME_ROUNDS = 2000;
// A change of music decodes the start of the file again: fewer of those.
constexpr int SWITCH_ROUNDS = 40;
// Every so many rounds the main thread sleeps, as a frame would, so that the audio
// thread would have had the time to mix if it still ran.
constexpr int ROUNDS_PER_PAUSE = 100;
constexpr auto PAUSE = std::chrono::milliseconds(5);
constexpr auto POLL = std::chrono::milliseconds(1);
// The refills already woken take microseconds; this bound only matters if one hangs.
constexpr int REFILL_WAIT_MS = 60000;

// SDL's number of the device the mixer plays on; 0 while there is none.
std::uint32_t FindOutputDevice() {
    for (std::uint32_t id = 1; id < 256; id++) {
        if (IsAudioOutputDevice(id))
            return id;
    }
    return 0;
}

// What the mixer holds for one buffer voice: where it plays and from which buffer.
struct VoiceLook {
    bool playing = false;
    std::uint32_t cursorFrame = 0;
    const std::uint8_t* data = nullptr;
};

VoiceLook LookAtVoice(int index) {
    MixerVoice& voice = g_bufferVoices[index];
    std::lock_guard<std::mutex> guard(voice.lock);
    VoiceLook look;
    look.playing = voice.used && voice.playing;
    look.cursorFrame = voice.cursorFrame;
    look.data = voice.data;
    return look;
}

// What the voice will play. The streaming thread writes the buffer under its own lock,
// away from the play cursor, so the whole buffer is only read while the output is gone:
// no notification fires then, and once the refills already woken have finished the
// buffer holds still.
std::vector<std::uint8_t> QuietBufferBytes(int index) {
    EXPECT_EQ(FindOutputDevice(), 0u) << "the buffer is read while it streams";
    WaitForEventWork(REFILL_WAIT_MS);
    MixerVoice& voice = g_bufferVoices[index];
    std::lock_guard<std::mutex> guard(voice.lock);
    return voice.used ? std::vector<std::uint8_t>(voice.data, voice.data + voice.bytes)
                      : std::vector<std::uint8_t>();
}

// The one buffer voice that plays: the music channel just started.
int FindPlayingVoice() {
    int found = -1;
    for (int i = 0; i < MAX_BUFFER_VOICES; i++) {
        if (!LookAtVoice(i).playing)
            continue;
        if (found >= 0)
            return -1;
        found = i;
    }
    return found;
}

int CountSoundingEffects() {
    int sounding = 0;
    for (MixerVoice& voice : g_effectVoices) {
        std::lock_guard<std::mutex> guard(voice.lock);
        sounding += voice.used && voice.playing ? 1 : 0;
    }
    return sounding;
}

void WaitUntilCursorPasses(int voice, std::uint32_t frame) {
    while (LookAtVoice(voice).cursorFrame <= frame)
        std::this_thread::sleep_for(POLL);
}

// Until the cursor has moved on more than two blocks from `frame`, round the buffer's
// end if it must: two blocks' ends have then passed, and each woke a refill.
void WaitUntilCursorPassesTwoBlockEnds(int voice, std::uint32_t frame) {
    const std::uint32_t bufferFrames = g_streamSoundBuffers[0].GetBufferBytes() / 4;
    const std::uint32_t blockFrames = g_streamSoundBuffers[0].GetBlockBytes() / 4;
    while ((LookAtVoice(voice).cursorFrame + bufferFrames - frame) % bufferFrames <=
           2 * blockFrames)
        std::this_thread::sleep_for(POLL);
}

// Back, the buffer's thread refills it again: once two blocks' ends have passed, the
// output is taken away once more to look, and given back. One refill is not enough to
// see: after a restart of the music it writes the same stretch as the last time round.
// The second writes what the block did not hold (the music, the three-second fixture,
// is then past its end).
void ExpectRefilledSince(int voice, std::uint32_t frame, const std::vector<std::uint8_t>& bytes) {
    WaitUntilCursorPassesTwoBlockEnds(voice, frame);
    HandleAudioDeviceRemoved();
    EXPECT_FALSE(QuietBufferBytes(voice) == bytes) << "no refill after the device came back";
    EXPECT_TRUE(RestoreAudioOutput());
}

// What a game frame does with sound, over and over; with `switching`, the music also
// changes channel and back, as [playbgm] does.
void RunGameRounds(bool switching) {
    const int rounds = switching ? SWITCH_ROUNDS : GAME_ROUNDS;
    for (int round = 0; round < rounds; round++) {
        if (switching) {
            SwitchMusic(1);
            SwitchMusic(0);
        }
        UpdateMusic();
        PlaySoundEffect(SOUND_EFFECT_CLICK);
        if (round % ROUNDS_PER_PAUSE == 0)
            std::this_thread::sleep_for(PAUSE);
    }
}

void PushAudioDeviceEvent(Uint32 type, Uint32 which, bool capture) {
    SDL_Event event = {};
    event.type = type;
    event.adevice.which = which;
    event.adevice.iscapture = capture ? 1 : 0;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// The game's loop takes every waiting event through the window's event handling.
void TakeWindowEvents() {
    while (PeekWindowEvent())
        GetWindowEvent();
}

void StartSound(const std::filesystem::path& clickPath, int* voice) {
    const char* fixtures = std::getenv("TAVELLE_FIXTURES");
    ASSERT_NE(fixtures, nullptr);
    const std::string music = std::string(fixtures) + "/sound/stereo_132301.ogg";
    // Long enough to be still sounding whenever the test looks.
    std::vector<std::int16_t> click(44100 * 10 * 2, 4096);
    ASSERT_TRUE(WriteStereoWav(clickPath.c_str(), click.data(), click.size() / 2));
    ASSERT_TRUE(InitWindowSystem()) << SDL_GetError();
    ASSERT_TRUE(InitDirectMusic());
    ASSERT_TRUE(InitDirectSound());
    ASSERT_NE(FindOutputDevice(), 0u);
    ASSERT_TRUE(LoadSoundEffect(SOUND_EFFECT_CLICK, clickPath.c_str()));
    for (int channel = 0; channel < 2; channel++)
        ASSERT_TRUE(OpenMusicChannel(channel, music.c_str()));
    SwitchMusic(0);
    *voice = FindPlayingVoice();
    ASSERT_GE(*voice, 0);
}

// Lost while it plays: nothing moves and nothing is refilled however long the game
// goes on, and the effects asked for meanwhile are not kept for later; back: the same
// buffer plays on from the frame where it stood, and its thread refills it again.
void LoseAndRestoreDirectly(int voice) {
    const std::uint32_t blockFrames = g_streamSoundBuffers[0].GetBlockBytes() / 4;
    // Two blocks in, so that a restart from the beginning could not pass for going on.
    WaitUntilCursorPasses(voice, 2 * blockFrames);
    PlaySoundEffect(SOUND_EFFECT_CLICK);
    EXPECT_EQ(CountSoundingEffects(), 1);

    HandleAudioDeviceRemoved();
    EXPECT_EQ(FindOutputDevice(), 0u);
    const VoiceLook stood = LookAtVoice(voice);
    const std::vector<std::uint8_t> stoodBytes = QuietBufferBytes(voice);
    RunGameRounds(false);
    const VoiceLook lost = LookAtVoice(voice);
    EXPECT_TRUE(lost.playing);
    EXPECT_TRUE(g_streamSoundBuffers[0].IsPlaying());
    EXPECT_EQ(lost.cursorFrame, stood.cursorFrame);
    EXPECT_TRUE(QuietBufferBytes(voice) == stoodBytes) << "a refill ran while the device was gone";
    EXPECT_EQ(CountSoundingEffects(), 0);

    ASSERT_TRUE(RestoreAudioOutput());
    EXPECT_EQ(CountSoundingEffects(), 0);
    PlaySoundEffect(SOUND_EFFECT_CLICK);
    EXPECT_EQ(CountSoundingEffects(), 1);
    EXPECT_NE(FindOutputDevice(), 0u);
    ExpectRefilledSince(voice, stood.cursorFrame, stoodBytes);
    const VoiceLook back = LookAtVoice(voice);
    EXPECT_TRUE(back.playing);
    EXPECT_EQ(back.data, stood.data);
    EXPECT_EQ(FindPlayingVoice(), voice);
}

// The same through SDL's events: a removal of another device, or of a capture device
// under the same number, leaves the output alone; the removal of the output itself
// stops it while the music even changes channel; any output device that appears
// brings it back.
void LoseAndRestoreThroughEvents(int voice) {
    const std::uint32_t device = FindOutputDevice();
    ASSERT_NE(device, 0u);
    PushAudioDeviceEvent(SDL_AUDIODEVICEREMOVED, device + 1, false);
    PushAudioDeviceEvent(SDL_AUDIODEVICEREMOVED, device, true);
    TakeWindowEvents();
    EXPECT_EQ(FindOutputDevice(), device);

    PushAudioDeviceEvent(SDL_AUDIODEVICEREMOVED, device, false);
    TakeWindowEvents();
    EXPECT_EQ(FindOutputDevice(), 0u);
    RunGameRounds(true);
    const VoiceLook stood = LookAtVoice(voice);
    const std::vector<std::uint8_t> stoodBytes = QuietBufferBytes(voice);
    EXPECT_TRUE(stood.playing);
    RunGameRounds(false);
    EXPECT_EQ(LookAtVoice(voice).cursorFrame, stood.cursorFrame);
    EXPECT_TRUE(QuietBufferBytes(voice) == stoodBytes) << "a refill ran while the device was gone";

    PushAudioDeviceEvent(SDL_AUDIODEVICEADDED, 0, true);
    TakeWindowEvents();
    EXPECT_EQ(FindOutputDevice(), 0u);
    PushAudioDeviceEvent(SDL_AUDIODEVICEADDED, 0, false);
    TakeWindowEvents();
    EXPECT_NE(FindOutputDevice(), 0u);
    ExpectRefilledSince(voice, stood.cursorFrame, stoodBytes);
    EXPECT_EQ(LookAtVoice(voice).data, stood.data);
}

// The fresh process tells the test only its exit code and its stderr: the failures
// are collected and written there.
void RunDeviceComingAndGoing() {
    ChooseAudioOutput(GetDeviceOutput());
    SetMessageBoxHeadless(true);
    ::testing::TestPartResultArray failures;
    {
        const ::testing::ScopedFakeTestPartResultReporter collect(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
        const TempFolder folder("lost-audio-device");
        int voice = -1;
        StartSound(folder.Path() / "click.wav", &voice);
        if (failures.size() == 0) {
            LoseAndRestoreDirectly(voice);
            LoseAndRestoreThroughEvents(voice);
        }
        EXPECT_TRUE(GetRecordedMessages().empty());
        StopAndUnloadSoundEffects();
        CloseDirectMusic();
    }
    for (int i = 0; i < failures.size(); i++) {
        const ::testing::TestPartResult& failure = failures.GetTestPartResult(i);
        std::fprintf(stderr, "%s:%d: %s\n", failure.file_name() ? failure.file_name() : "?",
                     failure.line_number(), failure.summary());
    }
    std::exit(failures.size() == 0 ? 0 : 1);
}

TEST(LostAudioDeviceTest, MusicStandsStillWhileTheDeviceIsGoneAndGoesOnWhenItIsBack) {
    EXPECT_EXIT(RunDeviceComingAndGoing(), ::testing::ExitedWithCode(0), "");
}

} // namespace
