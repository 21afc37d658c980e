// The sound effects: a DirectMusic-style performance and loader, and 32 effect
// slots (0 the click, 1 the talk) played as secondary segments over everything.
#pragma once

#include "platform/audio/music_performance.h"

constexpr int SOUND_EFFECT_SLOTS = 32;
constexpr int SOUND_EFFECT_CLICK = 0;
constexpr int SOUND_EFFECT_TALK = 1;
// The effect files the start-up load puts into slots 0 and 1, as loose files.
constexpr int SOUND_EFFECT_FILE_COUNT = 2;
constexpr const char* SOUND_EFFECT_FILES[SOUND_EFFECT_FILE_COUNT] = {".\\Sound\\click.wav",
                                                                     ".\\Sound\\talk.wav"};

extern MusicPerformance* g_pPerformance;
extern MusicLoader* g_pLoader;
extern MusicAudioPath* g_pDefaultAudioPath;
extern MusicAudioPath* g_pAudioPath1;
extern MusicAudioPath* g_pAudioPath2;
extern MusicSegment* g_pSegments[SOUND_EFFECT_SLOTS];

// Start-up: the performance, its audio paths and the loader searching the
// working directory. Each failure shows its message (caption "ERROR").
bool InitDirectMusic();
// Loads a WAV file into a slot, dropping what the slot held.
bool LoadSoundEffect(int slot, const char* path);
// Plays the slot over everything sounding. Nothing happens when start-up failed,
// the slot is empty, or the slot is outside 0 to 31.
void PlaySoundEffect(int slot);
// Exit: stops everything, then unloads and empties every slot.
bool StopAndUnloadSoundEffects();
// Exit, after the previous step: releases the loader, the audio paths and the performance.
bool CloseDirectMusic();

// How often the game asked to play each slot since start (requests for slots
// 0 to 31, whether or not the slot holds a sound); 0 for other slots.
int GetSoundEffectPlayCount(int slot);
