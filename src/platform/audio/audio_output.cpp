#include "platform/audio/audio_output.h"

#include "platform/audio/mixer_voice.h"
#include "platform/audio/null_output.h"

#include <cstdio>
#include <mutex>

namespace {

struct OutputSwitch {
    std::mutex lock;
    int users = 0;
    AudioOutput* chosen = nullptr;
    AudioOutput* playing = nullptr; // null while nothing uses sound
};

// Never destroyed: sound buffers are released during static destruction.
OutputSwitch& GetSwitch() {
    static OutputSwitch* output = new OutputSwitch;
    return *output;
}

AudioOutput* Chosen(OutputSwitch& output) {
    return output.chosen ? output.chosen : GetNullOutput();
}

// The null output takes the place of the chosen one; the voices stand still.
void StandInNullOutput(OutputSwitch& output) {
    GetNullOutput()->Open();
    output.playing = GetNullOutput();
}

} // namespace

void ChooseAudioOutput(AudioOutput* output) {
    OutputSwitch& sw = GetSwitch();
    std::lock_guard<std::mutex> guard(sw.lock);
    sw.chosen = output;
}

bool AcquireAudioOutput() {
    OutputSwitch& sw = GetSwitch();
    std::lock_guard<std::mutex> guard(sw.lock);
    if (sw.users == 0) {
        AudioOutput* chosen = Chosen(sw);
        switch (chosen->Open()) {
        case AUDIO_OPENED:
            sw.playing = chosen;
            break;
        case AUDIO_NO_DEVICE:
            std::fputs("tavelle: no audio output device; playing silently until one appears\n",
                       stderr);
            StandInNullOutput(sw);
            break;
        case AUDIO_FAILED:
            chosen->Shutdown();
            return false;
        }
    }
    sw.users++;
    return true;
}

void ReleaseAudioOutput() {
    OutputSwitch& sw = GetSwitch();
    std::lock_guard<std::mutex> guard(sw.lock);
    if (sw.users <= 0)
        return;
    sw.users--;
    if (sw.users > 0)
        return;
    sw.playing->Close();
    Chosen(sw)->Shutdown();
    sw.playing = nullptr;
}

void HandleAudioDeviceRemoved() {
    OutputSwitch& sw = GetSwitch();
    std::lock_guard<std::mutex> guard(sw.lock);
    if (sw.users == 0 || sw.playing == GetNullOutput())
        return;
    sw.playing->Close();
    StandInNullOutput(sw);
    StopEffectVoices(0);
}

bool IsAudioOutputSilent() {
    OutputSwitch& sw = GetSwitch();
    std::lock_guard<std::mutex> guard(sw.lock);
    return sw.playing == GetNullOutput();
}

bool RestoreAudioOutput() {
    OutputSwitch& sw = GetSwitch();
    std::lock_guard<std::mutex> guard(sw.lock);
    if (sw.users == 0)
        return false;
    AudioOutput* chosen = Chosen(sw);
    if (sw.playing == chosen)
        return true;
    if (chosen->Open() != AUDIO_OPENED)
        return false;
    sw.playing->Close();
    sw.playing = chosen;
    return true;
}
