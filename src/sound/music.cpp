#include "sound/music.h"

#include "core/file_report.h"

#include "sound/direct_sound.h"
#include "sound/ogg_file_reader.h"

#include "platform/audio/audio_output.h"
#include "platform/window/message_box.h"

// Defined with the table so that the table, defined after it, is destroyed first.
sslib2::CDirectSound g_directSound;
sslib2::CStreamSoundBuffer g_streamSoundBuffers[STREAM_CHANNEL_COUNT];
int g_bgmChannel = 0;
int g_bgmRequestedChannel = 0;
bool g_bgmStopped = false;

namespace {

bool IsChannelIndex(int channel) {
    return channel >= 0 && channel < STREAM_CHANNEL_COUNT;
}

} // namespace

bool OpenMusicChannel(int channel, const char* path) {
    auto reader = std::make_shared<sslib2::COggFileReader>();
    if (!reader->Open(path)) {
        ShowMessageBox("OGGファイルの参照に失敗", "");
        ReportFileFailure(path, "missing, or not a seekable Ogg Vorbis stream");
        return false;
    }
    if (!IsChannelIndex(channel) ||
        !g_streamSoundBuffers[channel].Create(g_directSound.GetDevice(), reader)) {
        ShowMessageBox("SoundBufferの生成に失敗", "");
        return false;
    }
    return true;
}

bool UpdateMusic() {
    if (!IsChannelIndex(g_bgmRequestedChannel))
        return false;
    sslib2::CStreamSoundBuffer& channel = g_streamSoundBuffers[g_bgmRequestedChannel];
    if (channel.IsPlaying())
        return true;
    return channel.Play();
}

bool PlayMusicChannel(int channel) {
    return IsChannelIndex(channel) && g_streamSoundBuffers[channel].Play();
}

bool StopMusicChannel(int channel) {
    return IsChannelIndex(channel) && g_streamSoundBuffers[channel].Stop();
}

void OpenGameMusic() {
    // A reload is also the moment to look for an output device that went away.
    RestoreAudioOutput();
    for (int channel = 0; channel < MUSIC_CHANNEL_COUNT; ++channel)
        OpenMusicChannel(channel, MUSIC_FILES[channel]);
    g_bgmRequestedChannel = 0;
    StopMusicChannel(g_bgmChannel);
    g_bgmChannel = 0;
    PlayMusicChannel(0);
}

void SwitchMusic(int channel) {
    g_bgmRequestedChannel = channel;
    StopMusicChannel(g_bgmChannel);
    g_bgmChannel = channel;
    PlayMusicChannel(channel);
}

void StopMusic() {
    g_bgmStopped = true;
    StopMusicChannel(g_bgmChannel);
}
