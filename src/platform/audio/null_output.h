// The output that plays nothing: a muted game's, and the stand-in while the chosen
// output has no device. Nothing is mixed, so every voice stands still where it is.
#pragma once

#include "platform/audio/audio_output.h"

AudioOutput* GetNullOutput();
