// The mixer's voices: one per secondary sound buffer and one per sounding
// effect, in fixed tables that live for the whole run. The audio thread holds a
// voice's lock only while it copies the frames it needs and moves the cursor.
#pragma once

#include "platform/audio/event.h"
#include "platform/audio/sound_format.h"

#include <cstdint>
#include <mutex>

constexpr int MAX_BUFFER_VOICES = 64;
constexpr int MAX_EFFECT_VOICES = 32;
constexpr int MAX_NOTIFICATIONS = 32;
// Output frames mixed per slice; notifications are signalled at this granularity.
constexpr int MIX_SLICE_FRAMES = 256;

// Trivially destructible on purpose: buffers released during static destruction
// still find their voice intact.
struct MixerVoice {
    std::mutex lock;
    bool used;
    bool playing;
    bool looping;
    std::uint8_t* data; // owned by a buffer voice; an effect voice plays its segment's
    std::uint32_t bytes;
    std::uint32_t frames;
    SoundFormat format;
    std::uint32_t cursorFrame;
    std::uint32_t fraction; // of a source frame, in units of 2^-32
    std::uint64_t step;     // source frames per output frame, 32.32 fixed point
    std::int32_t volume;    // hundredths of a decibel, 0 to -10000
    float gain;
    int notifyCount;
    std::uint32_t notifyOffsets[MAX_NOTIFICATIONS];
    Event* notifyEvents[MAX_NOTIFICATIONS];
    std::uint32_t owner; // effect voices: the segment they play
};

extern MixerVoice g_bufferVoices[MAX_BUFFER_VOICES];
extern MixerVoice g_effectVoices[MAX_EFFECT_VOICES];

// Sets the format, the data and a stopped cursor at 0, at full volume. Call with the lock held.
void ResetVoiceLocked(MixerVoice& voice, const SoundFormat& format, std::uint8_t* data,
                      std::uint32_t bytes);
// Stops the effect voices that play the segment `owner`, or every effect voice for 0,
// and frees them.
void StopEffectVoices(std::uint32_t owner);
// 1/100 dB of attenuation to a linear gain; -10000 and below is silence.
float VolumeToGain(std::int32_t volume);

// Adds `frames` (at most MIX_SLICE_FRAMES) output frames of the voice to mix
// (interleaved stereo) scaled by groupGain, advances its cursor and signals the
// notifications it passes (also when silent, so streams keep refilling).
void MixVoiceSlice(MixerVoice& voice, int frames, float* mix, float groupGain);
