#include "platform/audio/mixer.h"

#include "platform/audio/event.h"
#include "platform/audio/mixer_voice.h"
#include "platform/audio/wav_writer.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

// A refill takes microseconds; this bound only matters if a worker thread has died.
constexpr int PUMP_WORK_TIMEOUT_MS = 5000;
constexpr int DEVICE_BUFFER_FRAMES = 1024;

struct MixerOutput {
    std::mutex lock;
    int users = 0;
    bool manualPump = false;
    SDL_AudioDeviceID device = 0;
    // SDL's audio part stays initialised while the output has users, even with
    // the device lost, so that SDL keeps reporting devices that appear.
    bool subsystem = false;
    bool lost = false;
    bool capture = false;
    std::vector<std::int16_t> captured;
};

// Never destroyed: sound buffers are released during static destruction.
MixerOutput& GetOutput() {
    static MixerOutput* output = new MixerOutput;
    return *output;
}

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

void SDLCALL AudioCallback(void*, Uint8* stream, int length) {
    MixOutput(reinterpret_cast<std::int16_t*>(stream), length / (MIXER_CHANNELS * 2));
}

bool OpenDevice(MixerOutput& output) {
    SDL_AudioSpec want = {};
    want.freq = MIXER_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = MIXER_CHANNELS;
    want.samples = DEVICE_BUFFER_FRAMES;
    want.callback = AudioCallback;
    SDL_AudioSpec have = {};
    // No changes allowed: SDL converts to whatever the hardware wants.
    output.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (output.device == 0)
        return false;
    SDL_PauseAudioDevice(output.device, 0);
    return true;
}

bool StartOutput(MixerOutput& output) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    output.subsystem = true;
    if (OpenDevice(output))
        return true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    output.subsystem = false;
    return false;
}

bool IsLost(MixerOutput& output) {
    std::lock_guard<std::mutex> guard(output.lock);
    return output.lost;
}

} // namespace

void SetMixerManualPump(bool manual) {
    MixerOutput& output = GetOutput();
    std::lock_guard<std::mutex> guard(output.lock);
    output.manualPump = manual;
}

bool IsMixerManualPump() {
    MixerOutput& output = GetOutput();
    std::lock_guard<std::mutex> guard(output.lock);
    return output.manualPump;
}

void MixOutput(std::int16_t* out, int frames) {
    while (frames > 0) {
        int slice = std::min(frames, MIX_SLICE_FRAMES);
        MixSlice(out, slice);
        out += slice * MIXER_CHANNELS;
        frames -= slice;
    }
}

void PumpMixer(int frames) {
    MixerOutput& output = GetOutput();
    if (!IsMixerManualPump())
        return;
    std::int16_t samples[MIX_SLICE_FRAMES * MIXER_CHANNELS];
    const bool lost = IsLost(output);
    while (frames > 0) {
        int slice = std::min(frames, MIX_SLICE_FRAMES);
        // A lost device takes nothing: the voices stand still, as they do when
        // SDL stops calling the audio callback.
        if (lost)
            std::fill(samples, samples + slice * MIXER_CHANNELS, std::int16_t(0));
        else
            MixSlice(samples, slice);
        // Refills woken by this slice finish before the next slice is mixed, as
        // they would on a real device long before the cursor came near them.
        WaitForEventWork(PUMP_WORK_TIMEOUT_MS);
        if (output.capture)
            output.captured.insert(output.captured.end(), samples,
                                   samples + slice * MIXER_CHANNELS);
        frames -= slice;
    }
}

void EnableMixerCapture(bool enable) {
    GetOutput().capture = enable;
}

const std::vector<std::int16_t>& GetMixerCapture() {
    return GetOutput().captured;
}

void ClearMixerCapture() {
    GetOutput().captured.clear();
}

bool WriteMixerCaptureWav(const char* path) {
    const std::vector<std::int16_t>& samples = GetOutput().captured;
    return WriteStereoWav(path, samples.data(), samples.size() / MIXER_CHANNELS);
}

bool AcquireAudioOutput() {
    MixerOutput& output = GetOutput();
    std::lock_guard<std::mutex> guard(output.lock);
    if (output.users == 0 && !output.manualPump && !StartOutput(output))
        return false;
    output.users++;
    return true;
}

void ReleaseAudioOutput() {
    MixerOutput& output = GetOutput();
    std::lock_guard<std::mutex> guard(output.lock);
    if (output.users <= 0)
        return;
    output.users--;
    if (output.users > 0)
        return;
    if (output.device != 0) {
        SDL_CloseAudioDevice(output.device);
        output.device = 0;
    }
    if (output.subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        output.subsystem = false;
    }
    output.lost = false;
}

void HandleAudioDeviceRemoved() {
    MixerOutput& output = GetOutput();
    std::lock_guard<std::mutex> guard(output.lock);
    if (output.users == 0 || output.lost)
        return;
    // Closing waits for SDL's audio thread to leave the callback, which takes
    // only voice locks, never this one.
    if (output.device != 0) {
        SDL_CloseAudioDevice(output.device);
        output.device = 0;
    }
    output.lost = true;
    StopEffectVoices(0);
}

bool IsAudioOutputLost() {
    return IsLost(GetOutput());
}

bool RestoreAudioOutput() {
    MixerOutput& output = GetOutput();
    std::lock_guard<std::mutex> guard(output.lock);
    if (!output.lost)
        return output.users > 0;
    if (!output.manualPump && !OpenDevice(output))
        return false;
    output.lost = false;
    return true;
}

bool IsAudioOutputDevice(std::uint32_t id) {
    MixerOutput& output = GetOutput();
    std::lock_guard<std::mutex> guard(output.lock);
    return output.device != 0 && output.device == id;
}

void SetMixerGroupGains(float streams, float effects) {
    s_streamGroupGain.store(std::clamp(streams, 0.0f, 1.0f), std::memory_order_relaxed);
    s_effectGroupGain.store(std::clamp(effects, 0.0f, 1.0f), std::memory_order_relaxed);
}
