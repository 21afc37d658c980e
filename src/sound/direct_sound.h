// The sound device that carries the music.
#pragma once

#include "platform/audio/sound_device.h"

namespace sslib2 {

class CDirectSound {
  public:
    CDirectSound() = default;
    virtual ~CDirectSound();
    CDirectSound(const CDirectSound&) = delete;
    CDirectSound& operator=(const CDirectSound&) = delete;

    // Opens the default output at priority level. On failure the device held
    // before stays; on success it is replaced.
    bool Init(void* window);
    // Null until Init has succeeded.
    SoundDevice* GetDevice() const { return m_device; }

  private:
    SoundDevice* m_device = nullptr;
};

} // namespace sslib2

// Destroyed after g_streamSoundBuffers, so every buffer goes before the device.
extern sslib2::CDirectSound g_directSound;

// The start-up step; on failure shows "DirectSoundの初期化に失敗" and the game goes on silent.
bool InitDirectSound();
