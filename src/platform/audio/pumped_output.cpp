#include "platform/audio/pumped_output.h"

#include "platform/audio/event.h"
#include "platform/audio/mixer.h"
#include "platform/audio/mixer_voice.h"
#include "platform/audio/sound_format.h"
#include "platform/audio/wav_writer.h"

#include <algorithm>
#include <atomic>

namespace {

// A refill takes microseconds; this bound only matters if a worker thread has died.
constexpr int PUMP_WORK_TIMEOUT_MS = 5000;

class PumpedOutput final : public AudioOutput {
  public:
    AudioOpenResult Open() override {
        if (deviceAbsent.load())
            return AUDIO_NO_DEVICE;
        open.store(true);
        return AUDIO_OPENED;
    }
    void Close() override { open.store(false); }

    std::atomic<bool> open{false};
    std::atomic<bool> deviceAbsent{false};
    bool capture = false;
    std::vector<std::int16_t> captured;
};

// Never destroyed: sound buffers are released during static destruction.
PumpedOutput& GetPumped() {
    static PumpedOutput* output = new PumpedOutput;
    return *output;
}

} // namespace

AudioOutput* GetPumpedOutput() {
    return &GetPumped();
}

void SetPumpedOutputDeviceAbsent(bool absent) {
    GetPumped().deviceAbsent.store(absent);
}

void PumpMixer(int frames) {
    PumpedOutput& output = GetPumped();
    std::int16_t samples[MIX_SLICE_FRAMES * MIXER_CHANNELS];
    const bool open = output.open.load();
    while (frames > 0) {
        const int slice = std::min(frames, MIX_SLICE_FRAMES);
        // An output that does not play takes nothing: the voices stand still, as they
        // do when a device stops calling for sound.
        if (open)
            MixOutput(samples, slice);
        else
            std::fill(samples, samples + slice * MIXER_CHANNELS, std::int16_t(0));
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
    GetPumped().capture = enable;
}

const std::vector<std::int16_t>& GetMixerCapture() {
    return GetPumped().captured;
}

void ClearMixerCapture() {
    GetPumped().captured.clear();
}

bool WriteMixerCaptureWav(const char* path) {
    const std::vector<std::int16_t>& samples = GetPumped().captured;
    return WriteStereoWav(path, samples.data(), samples.size() / MIXER_CHANNELS);
}
