// The DirectSound-style device and its secondary buffers over the software mixer.
//
// A secondary buffer keeps its own PCM format; the mixer converts its rate and
// channels, wraps the play cursor when the buffer loops, and signals events as
// the cursor passes notification positions.
#pragma once

#include "platform/audio/event.h"
#include "platform/audio/sound_format.h"
#include "platform/win_types.h"

#include <cstdint>

constexpr std::uint32_t DSSCL_PRIORITY = 2;

constexpr std::uint32_t DSBCAPS_LOCSOFTWARE = 0x8;
constexpr std::uint32_t DSBCAPS_CTRLVOLUME = 0x80;
constexpr std::uint32_t DSBCAPS_CTRLPOSITIONNOTIFY = 0x100;
constexpr std::uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;

constexpr std::uint32_t DSBLOCK_ENTIREBUFFER = 0x2;
constexpr std::uint32_t DSBPLAY_LOOPING = 0x1;
constexpr std::uint32_t DSBSTATUS_PLAYING = 0x1;
constexpr std::uint32_t DSBSTATUS_LOOPING = 0x4;

constexpr std::int32_t DSBVOLUME_MIN = -10000;
constexpr std::int32_t DSBVOLUME_MAX = 0;

// Smallest and largest buffer the device creates, in bytes.
constexpr std::uint32_t DSBSIZE_MIN = 4;
constexpr std::uint32_t DSBSIZE_MAX = 0x0fffffff;

struct SoundBufferDesc {
    std::uint32_t size; // of this record: 20 in the short form
    std::uint32_t flags;
    std::uint32_t bufferBytes;
    std::uint32_t reserved;
    const SoundFormat* format;
};

struct PositionNotify {
    std::uint32_t offset;
    Event* event;
};

class SoundBuffer {
  public:
    // The region at offset: the first part up to the buffer's end, the second
    // from its start when the region wraps (null and 0 otherwise). The memory is
    // the buffer itself; the mixer reads it as the play cursor reaches it.
    HRESULT Lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* bytes1,
                 void** part2, std::uint32_t* bytes2, std::uint32_t flags);
    HRESULT Unlock(void* part1, std::uint32_t bytes1, void* part2, std::uint32_t bytes2);
    // flags: DSBPLAY_LOOPING or 0 (play to the end once). Plays from the cursor.
    HRESULT Play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags);
    // Keeps the contents and the cursor.
    HRESULT Stop();
    HRESULT GetStatus(std::uint32_t* status);
    HRESULT SetCurrentPosition(std::uint32_t offset);
    HRESULT GetCurrentPosition(std::uint32_t* playCursor, std::uint32_t* writeCursor);
    // Hundredths of a decibel of attenuation, DSBVOLUME_MIN to DSBVOLUME_MAX.
    HRESULT SetVolume(std::int32_t volume);
    HRESULT GetVolume(std::int32_t* volume);
    // Only while stopped; each offset below the buffer size. The events must
    // outlive the buffer or the next call that replaces them.
    HRESULT SetNotificationPositions(std::uint32_t count, const PositionNotify* notifies);
    void Release();

  private:
    friend class SoundDevice;
    SoundBuffer(int voice, std::uint32_t flags) : m_voice(voice), m_flags(flags) {}
    int m_voice;
    std::uint32_t m_flags;
};

class SoundDevice {
  public:
    // Opens the audio output; fails when there is no audio device.
    HRESULT Initialize();
    HRESULT SetCooperativeLevel(void* window, std::uint32_t level);
    // A stopped buffer of silence with the cursor at 0.
    HRESULT CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** buffer);
    void Release();

  private:
    friend HRESULT CreateSoundDevice(SoundDevice** device);
    SoundDevice() = default;
    bool m_initialized = false;
    std::uint32_t m_level = 0;
};

HRESULT CreateSoundDevice(SoundDevice** device);
