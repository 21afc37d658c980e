// The PCM format record the wave readers report and the stream buffers play.
#pragma once

#include <cstdint>

namespace sslib2 {

struct PcmFormat {
    std::uint16_t formatTag;
    std::uint16_t channels;
    std::uint32_t samplesPerSec;
    std::uint32_t avgBytesPerSec;
    std::uint16_t blockAlign;
    std::uint16_t bitsPerSample;
};
static_assert(sizeof(PcmFormat) == 16);

} // namespace sslib2
