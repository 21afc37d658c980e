// The automation driver's output: no device and no audio thread. The driver mixes
// each frame's sound itself, from its virtual clock, so that what is mixed does not
// depend on timing, and it can keep everything mixed.
#pragma once

#include "platform/audio/audio_output.h"

#include <cstdint>
#include <vector>

AudioOutput* GetPumpedOutput();

// While on, the output finds no device, as on a machine without sound; turning it
// off is a device appearing (RestoreAudioOutput then plays on it).
void SetPumpedOutputDeviceAbsent(bool absent);

// Mixes `frames` output frames (44100 per second; one virtual frame at F frames per
// second is 44100 / F), or as much silence while the output does not play. When it
// returns, every refill that the notifications of these frames woke has completed.
void PumpMixer(int frames);

// Capture of what PumpMixer produced, as interleaved stereo signed 16-bit samples.
void EnableMixerCapture(bool enable);
const std::vector<std::int16_t>& GetMixerCapture();
void ClearMixerCapture();
// Writes the capture as a 44100 Hz stereo 16-bit WAV file; false when it cannot be written.
bool WriteMixerCaptureWav(const char* path);
