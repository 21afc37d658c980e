// Start-up without a usable audio device. With none at all the game shows no box,
// says so in one line on stderr and plays silently; a device that is there but fails
// gives the game's own messages. Each case runs in a fresh process, before anything
// has opened the output.
#include "temp_folder.h"

#include "sound/direct_sound.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/device_output.h"
#include "platform/audio/wav_writer.h"
#include "platform/window/message_box.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The sound start-up and a little play, as the game does them; true when the recorded
// messages are `want` and the music plays (silently) exactly when there are none.
bool StartSound(const char* driver, const std::vector<RecordedMessage>& want) {
    setenv("SDL_AUDIODRIVER", driver, 1);
    // The disk driver's device exists, but its file cannot be created.
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-folder/audio.raw", 1);
    ChooseAudioOutput(GetDeviceOutput());
    SetMessageBoxHeadless(true);
    InitDirectMusic();
    InitDirectSound();
    std::string fixtures = std::getenv("TAVELLE_FIXTURES") ? std::getenv("TAVELLE_FIXTURES") : "";
    OpenMusicChannel(0, (fixtures + "/sound/mono_132300.ogg").c_str());
    const TempFolder folder("no-audio-device");
    const std::string click = (folder.Path() / "click.wav").string();
    const std::int16_t samples[4] = {1000, 1000, -1000, -1000};
    WriteStereoWav(click.c_str(), samples, 2);
    LoadSoundEffect(SOUND_EFFECT_CLICK, click.c_str());
    PlaySoundEffect(SOUND_EFFECT_CLICK);
    UpdateMusic();
    SwitchMusic(0);
    const bool musicPlays = g_streamSoundBuffers[0].IsPlaying();
    const bool silent = IsAudioOutputSilent();
    StopAndUnloadSoundEffects();
    CloseDirectMusic();
    const std::vector<RecordedMessage>& got = GetRecordedMessages();
    bool same = got.size() == want.size();
    for (std::size_t i = 0; same && i < got.size(); i++)
        same = got[i].caption == want[i].caption && got[i].text == want[i].text;
    // Without a device the music still plays, silently; a failed device has no buffers.
    return same && musicPlays == want.empty() && silent == want.empty();
}

void StartSoundAndExit(const char* driver, const std::vector<RecordedMessage>& want) {
    std::exit(StartSound(driver, want) ? 0 : 1);
}

TEST(NoAudioDeviceTest, WithNoDeviceAtAllTheGamePlaysSilentlyWithOneLineAndNoBox) {
    EXPECT_EXIT(StartSoundAndExit("no-such-audio-driver", {}), ::testing::ExitedWithCode(0),
                "^tavelle: no audio output device; playing silently until one appears\n$");
}

TEST(NoAudioDeviceTest, ADeviceThatFailsGivesTheGamesMessages) {
    const std::vector<RecordedMessage> want = {
        {"ERROR", "DirectMusicPerformance8の初期化に失敗"},
        {"", "DirectSoundの初期化に失敗"},
        {"", "SoundBufferの生成に失敗"},
    };
    EXPECT_EXIT(StartSoundAndExit("disk", want), ::testing::ExitedWithCode(0),
                "MESSAGE : SoundBufferの生成に失敗");
}

} // namespace
