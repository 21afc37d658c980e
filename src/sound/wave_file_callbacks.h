// The Ogg decoder's file callbacks over a WaveFileSource, kept out of the public
// headers so that only the decoder's own files see libvorbisfile.
#pragma once

#include "sound/wave_file_source.h"

#include <vorbis/vorbisfile.h>

namespace sslib2 {

// read, seek, close and tell over a WaveFileSource.
extern const ov_callbacks WAVE_FILE_CALLBACKS;

} // namespace sslib2
