#include "platform/audio/mixer.h"

#include "platform/audio/mixer_voice.h"
#include "platform/audio/sound_format.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<float> s_streamGroupGain{1.0f};
std::atomic<float> s_effectGroupGain{1.0f};

void MixSlice(std::int16_t* out, int frames) {
    float mix[MIX_SLICE_FRAMES * 2] = {};
    const float streamGain = s_streamGroupGain.load(std::memory_order_relaxed);
    const float effectGain = s_effectGroupGain.load(std::memory_order_relaxed);
    for (MixerVoice& voice : g_bufferVoices)
        MixVoiceSlice(voice, frames, mix, streamGain);
    for (MixerVoice& voice : g_effectVoices)
        MixVoiceSlice(voice, frames, mix, effectGain);
    for (int i = 0; i < frames * 2; i++) {
        float sample = std::clamp(mix[i] * 32768.0f, -32768.0f, 32767.0f);
        out[i] = std::int16_t(sample);
    }
}

} // namespace

void MixOutput(std::int16_t* out, int frames) {
    while (frames > 0) {
        int slice = std::min(frames, MIX_SLICE_FRAMES);
        MixSlice(out, slice);
        out += slice * MIXER_CHANNELS;
        frames -= slice;
    }
}

void SetMixerGroupGains(float streams, float effects) {
    s_streamGroupGain.store(std::clamp(streams, 0.0f, 1.0f), std::memory_order_relaxed);
    s_effectGroupGain.store(std::clamp(effects, 0.0f, 1.0f), std::memory_order_relaxed);
}
