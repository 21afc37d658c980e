#include "platform/audio/mixer_voice.h"

#include <cmath>

MixerVoice g_bufferVoices[MAX_BUFFER_VOICES];
MixerVoice g_effectVoices[MAX_EFFECT_VOICES];

namespace {

// Source frames one slice can need at the highest input rate, plus the frame
// that the interpolation of the last output frame looks at.
constexpr int MAX_SLICE_SOURCE_FRAMES =
    MIX_SLICE_FRAMES * (MIXER_MAX_INPUT_RATE / MIXER_RATE + 1) + 2;

void ReadFrame(const MixerVoice& voice, std::uint32_t frame, float* out) {
    if (frame >= voice.frames) {
        out[0] = out[1] = 0.0f;
        return;
    }
    const std::uint8_t* p = voice.data + std::size_t(frame) * voice.format.blockAlign;
    for (int c = 0; c < 2; c++) {
        int channel = voice.format.channels == 2 ? c : 0;
        if (voice.format.bitsPerSample == 8) {
            out[c] = (int(p[channel]) - 128) * (1.0f / 128.0f);
        } else {
            auto sample = std::int16_t(p[channel * 2] | (p[channel * 2 + 1] << 8));
            out[c] = sample * (1.0f / 32768.0f);
        }
    }
}

std::uint32_t WrapFrame(const MixerVoice& voice, std::uint64_t frame) {
    return voice.looping ? std::uint32_t(frame % voice.frames) : std::uint32_t(frame);
}

void SignalPassedNotifications(const MixerVoice& voice, std::uint64_t advancedFrames) {
    std::uint64_t startByte = std::uint64_t(voice.cursorFrame) * voice.format.blockAlign;
    std::uint64_t advancedBytes = advancedFrames * voice.format.blockAlign;
    for (int i = 0; i < voice.notifyCount; i++) {
        std::uint64_t offset = voice.notifyOffsets[i];
        std::uint64_t ahead = (offset + voice.bytes - startByte) % voice.bytes;
        if (ahead < advancedBytes)
            voice.notifyEvents[i]->Set();
    }
}

} // namespace

void ResetVoiceLocked(MixerVoice& voice, const SoundFormat& format, std::uint8_t* data,
                      std::uint32_t bytes) {
    voice.playing = false;
    voice.looping = false;
    voice.data = data;
    voice.bytes = bytes;
    voice.format = format;
    voice.frames = bytes / format.blockAlign;
    voice.cursorFrame = 0;
    voice.fraction = 0;
    voice.step = (std::uint64_t(format.samplesPerSec) << 32) / MIXER_RATE;
    voice.volume = 0;
    voice.gain = 1.0f;
    voice.notifyCount = 0;
    voice.owner = 0;
}

void StopEffectVoices(std::uint32_t owner) {
    for (MixerVoice& voice : g_effectVoices) {
        std::lock_guard<std::mutex> guard(voice.lock);
        if (voice.used && (owner == 0 || voice.owner == owner)) {
            voice.used = false;
            voice.playing = false;
            voice.data = nullptr;
        }
    }
}

float VolumeToGain(std::int32_t volume) {
    if (volume <= -10000)
        return 0.0f;
    return float(std::pow(10.0, volume / 2000.0));
}

void MixVoiceSlice(MixerVoice& voice, int frames, float* mix, float groupGain) {
    float source[MAX_SLICE_SOURCE_FRAMES * 2];
    std::uint64_t fraction;
    std::uint64_t step;
    float gain;
    {
        std::lock_guard<std::mutex> guard(voice.lock);
        if (!voice.used || !voice.playing || voice.frames == 0)
            return;
        fraction = voice.fraction;
        step = voice.step;
        gain = voice.gain * groupGain;
        std::uint64_t end = fraction + step * std::uint64_t(frames);
        std::uint64_t advanced = end >> 32;
        for (std::uint64_t k = 0; k < advanced + 2; k++)
            ReadFrame(voice, WrapFrame(voice, voice.cursorFrame + k), source + 2 * k);
        SignalPassedNotifications(voice, advanced);
        std::uint64_t next = voice.cursorFrame + advanced;
        voice.fraction = std::uint32_t(end);
        if (voice.looping) {
            voice.cursorFrame = std::uint32_t(next % voice.frames);
        } else if (next >= voice.frames) {
            voice.playing = false;
            voice.cursorFrame = 0;
            voice.fraction = 0;
        } else {
            voice.cursorFrame = std::uint32_t(next);
        }
    }
    if (gain == 0.0f)
        return;
    for (int i = 0; i < frames; i++) {
        std::uint64_t position = fraction + step * std::uint64_t(i);
        const float* s = source + 2 * (position >> 32);
        float t = float(position & 0xffffffffu) * (1.0f / 4294967296.0f);
        mix[2 * i] += (s[0] + (s[2] - s[0]) * t) * gain;
        mix[2 * i + 1] += (s[1] + (s[3] - s[1]) * t) * gain;
    }
}
