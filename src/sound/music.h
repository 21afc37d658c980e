// The music: the table of stream channels, the opening of a music file on a
// channel, the per-frame update that repeats it, and the switch and stop sequences.
#pragma once

#include "sound/stream_sound_buffer.h"

constexpr int STREAM_CHANNEL_COUNT = 50;
// The music files of channels 0 to 2, as loose files; one file may serve several channels.
constexpr int MUSIC_CHANNEL_COUNT = 3;
constexpr const char* MUSIC_FILES[MUSIC_CHANNEL_COUNT] = {
    ".\\Sound\\normal.ogg", ".\\Sound\\normal.ogg", ".\\Sound\\korvath.ogg"};

// Channels 0 to 2 carry the music.
extern sslib2::CStreamSoundBuffer g_streamSoundBuffers[STREAM_CHANNEL_COUNT];
// The channel last started: the one stopped when the music changes.
extern int g_bgmChannel;
// The channel the per-frame update keeps playing.
extern int g_bgmRequestedChannel;
// Set by [stopbgm]; nothing clears it.
extern bool g_bgmStopped;

// Opens an Ogg Vorbis file on a channel. Shows "OGGファイルの参照に失敗" or
// "SoundBufferの生成に失敗" (empty caption) on failure.
bool OpenMusicChannel(int channel, const char* path);

// Once per frame while g_bgmStopped is false: restarts the requested channel
// from the beginning once it has stopped, which is what repeats the music.
bool UpdateMusic();

// Play (from the beginning) and Stop of one channel. A channel outside the
// table or never opened is ignored (false).
bool PlayMusicChannel(int channel);
bool StopMusicChannel(int channel);

// The start-up load's music: opens channels 0 and 1 on ".\Sound\normal.ogg" and
// 2 on ".\Sound\korvath.ogg", then starts channel 0.
void OpenGameMusic();
// [playbgm n]: channel n becomes the requested one; the playing one stops; n starts.
void SwitchMusic(int channel);
// [stopbgm]: stops the music for good; the per-frame update no longer runs.
void StopMusic();
