// The PCM format record the wave readers report and the stream buffers play: the
// platform's own sound-buffer format, so that it passes to the device unchanged.
#pragma once

#include "platform/audio/sound_format.h"

namespace sslib2 {

using PcmFormat = SoundFormat;

} // namespace sslib2
