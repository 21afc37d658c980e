// The interface of a playable buffer.
#pragma once

#include <cstdint>

namespace sslib2 {

class CSoundBuffer {
  public:
    virtual ~CSoundBuffer() = default;
    // Starts the sound from its beginning, whatever state it is in.
    virtual bool Play() = 0;
    // The position is kept until the next Play.
    virtual bool Stop() = 0;
    virtual bool IsPlaying() = 0;
    // Hundredths of a decibel of attenuation: 0 full, -10000 silent.
    virtual bool SetVolume(std::int32_t volume) = 0;
    virtual bool GetVolume(std::int32_t* volume) = 0;
};

} // namespace sslib2
