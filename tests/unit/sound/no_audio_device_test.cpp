// With no audio device at all the game goes on silent, with its messages. This
// runs in a fresh process, before anything has opened the output.
#include "sound/direct_sound.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include "platform/audio/mixer.h"
#include "platform/window/message_box.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void RunWithoutDevice() {
    setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
    SetMixerManualPump(false);
    SetMessageBoxHeadless(true);
    InitDirectMusic();
    InitDirectSound();
    std::string fixtures = std::getenv("TAVELLE_FIXTURES") ? std::getenv("TAVELLE_FIXTURES") : "";
    OpenMusicChannel(0, (fixtures + "/sound/mono_132300.ogg").c_str());
    LoadSoundEffect(SOUND_EFFECT_CLICK, ".\\Sound\\click.wav");
    PlaySoundEffect(SOUND_EFFECT_CLICK);
    UpdateMusic();
    SwitchMusic(0);
    StopAndUnloadSoundEffects();
    CloseDirectMusic();
    const std::vector<RecordedMessage> want = {
        {"ERROR", "DirectMusicPerformance8の初期化に失敗"},
        {"", "DirectSoundの初期化に失敗"},
        {"", "SoundBufferの生成に失敗"},
    };
    const std::vector<RecordedMessage>& got = GetRecordedMessages();
    bool same = got.size() == want.size();
    for (std::size_t i = 0; same && i < got.size(); i++)
        same = got[i].caption == want[i].caption && got[i].text == want[i].text;
    std::exit(same ? 0 : 1);
}

TEST(NoAudioDeviceTest, GameGoesOnSilentWithTheMessages) {
    EXPECT_EXIT(RunWithoutDevice(), ::testing::ExitedWithCode(0), "");
}

} // namespace
