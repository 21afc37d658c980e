// A source of PCM bytes that a stream buffer pulls block by block. Lengths,
// positions and loop points count sample frames.
#pragma once

#include "sound/pcm_format.h"

#include <cstdint>

namespace sslib2 {

// Streams longer than this many frames (three seconds at 44.1 kHz) count as long.
constexpr std::uint32_t LONG_WAVE_FRAMES = 132300;

class CWaveReader {
  public:
    virtual ~CWaveReader() = default;
    virtual void Close() = 0;
    virtual bool IsOpen() = 0;
    // countRead may be null. True also when fewer bytes came because the data ended.
    virtual bool Read(void* destination, std::uint32_t bytes, std::uint32_t* countRead) = 0;
    virtual bool Seek(std::uint32_t frame) = 0;
    virtual std::int32_t Tell() = 0;
    // The last read hit the end of the data.
    virtual bool IsEnd() = 0;
    virtual void GetFormat(PcmFormat* format) = 0;
    virtual std::uint32_t GetLength() = 0;
    virtual std::uint32_t GetLoopStart() = 0;
    virtual std::uint32_t GetLoopEnd() = 0;
    // 0 no looping, n > 0 repeat the loop n more times, negative for ever.
    virtual std::int32_t GetLoopCount() = 0;
    virtual bool IsLong() = 0;
};

} // namespace sslib2
