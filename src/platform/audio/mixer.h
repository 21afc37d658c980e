// The software mixer's output and the hooks of the automation driver.
//
// Normally the mixer feeds SDL's audio device (44100 Hz, stereo, signed 16-bit)
// from SDL's audio thread. In manual-pump mode the device is never opened: the
// driver advances the mixer itself, by PumpMixer, from its virtual clock, and can
// capture everything mixed.
#pragma once

#include <cstdint>
#include <vector>

// Call before the first sound device or music performance is created.
void SetMixerManualPump(bool manual);
bool IsMixerManualPump();

// Manual pump only: mixes `frames` output frames (44100 per second; one virtual
// frame at F frames per second is 44100 / F). When it returns, every refill that
// the notifications of these frames woke has completed, so the output does not
// depend on thread timing.
void PumpMixer(int frames);

// Capture of what PumpMixer mixes, as interleaved stereo signed 16-bit samples.
void EnableMixerCapture(bool enable);
const std::vector<std::int16_t>& GetMixerCapture();
void ClearMixerCapture();
// Writes the capture as a 44100 Hz stereo 16-bit WAV file; false when it cannot be written.
bool WriteMixerCaptureWav(const char* path);

// Mixes every playing buffer and effect into `frames` interleaved stereo frames.
void MixOutput(std::int16_t* out, int frames);

// The player's volume for the two groups of voices, 0 to 1: the stream buffers
// (music) and the effects. It scales what reaches the output only: the volumes the
// game sets on its buffers and what it reads back stay as they are.
void SetMixerGroupGains(float streams, float effects);

// The stand-ins share one output: the first user opens it, the last closes it.
// false when no audio device can be opened.
bool AcquireAudioOutput();
void ReleaseAudioOutput();

// The output device went away (unplugged, or the sound server ended). The device
// is closed and mixing stops: every buffer keeps its contents, cursor and playing
// state and no notification fires, so the game goes on silently and no streaming
// thread gets work it would have to finish. The effects sounding end, and none
// starts until the output is back. In manual-pump mode the pump then produces
// silence.
void HandleAudioDeviceRemoved();
// True from a device's removal until the output is restored.
bool IsAudioOutputLost();
// After a device was lost: opens the default device again, and mixing resumes
// where it stopped. Called when a device appears and when the game reloads.
// true when the output is (again) available; also true when it was never lost.
bool RestoreAudioOutput();
// True when id is SDL's number of the device the mixer plays on.
bool IsAudioOutputDevice(std::uint32_t id);
