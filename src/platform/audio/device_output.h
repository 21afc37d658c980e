// The system's sound device as the mixer's output (SDL's audio device on the
// desktop): 44100 Hz, stereo, signed 16-bit, mixed on the device's own thread.
#pragma once

#include "platform/audio/audio_output.h"

#include <cstdint>

AudioOutput* GetDeviceOutput();
// True when id is the system's number of the device the mixer plays on.
bool IsAudioOutputDevice(std::uint32_t id);
