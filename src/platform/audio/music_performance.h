// The DirectMusic-style performance, loader, audio paths and segments that play
// the sound effects: WAV files loaded by a path relative to the loader's search
// directory, played as one-shot voices that mix over each other and over the
// sound buffers.
#pragma once

#include "platform/audio/sound_format.h"
#include "platform/win_types.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t DMUS_SEGF_SECONDARY = 0x80;
constexpr std::uint32_t DMUS_APATH_DYNAMIC_STEREO = 8;
constexpr std::uint32_t DMUS_AUDIOF_ALL = 0x3f;

class MusicPerformance;

class MusicSegment {
  public:
    HRESULT Download(MusicPerformance* performance);
    // Stops the voices that play this segment.
    HRESULT Unload(MusicPerformance* performance);
    void Release();

  private:
    friend class MusicLoader;
    friend class MusicPerformance;
    MusicSegment() = default;
    std::uint32_t m_id = 0;
    std::vector<std::int16_t> m_samples; // the mixer's format: stereo at MIXER_RATE
};

class MusicAudioPath {
  public:
    void Release();

  private:
    friend class MusicPerformance;
    MusicAudioPath() = default;
};

class MusicLoader {
  public:
    // directory: a host path; loads resolve relative paths against it.
    HRESULT SetSearchDirectory(const char* directory);
    // A WAV file (see ParseWaveFile), converted to the mixer's format; backslashes in the
    // path separate directories.
    HRESULT LoadSegmentFromFile(const char* path, MusicSegment** segment);
    void Release();

  private:
    friend HRESULT CreateMusicLoader(MusicLoader** loader);
    MusicLoader() = default;
    std::string m_directory;
    bool m_haveDirectory = false;
};

class MusicPerformance {
  public:
    // Opens the audio output; fails when there is no audio device.
    HRESULT InitAudio(void* window, std::uint32_t defaultPathType, std::uint32_t channels,
                      std::uint32_t flags);
    HRESULT GetDefaultAudioPath(MusicAudioPath** path);
    HRESULT CreateStandardAudioPath(std::uint32_t type, std::uint32_t channels, bool activate,
                                    MusicAudioPath** path);
    HRESULT GetMasterVolume(std::int32_t* volume);
    // Starts the segment at once as a one-shot voice; a secondary segment mixes
    // over everything sounding. With every voice busy, the voices make way in turn.
    HRESULT PlaySegmentEx(MusicSegment* segment, std::uint32_t flags);
    // Stops every effect at once.
    HRESULT Stop();
    HRESULT CloseDown();
    void Release();

  private:
    friend HRESULT CreateMusicPerformance(MusicPerformance** performance);
    friend class MusicSegment;
    MusicPerformance() = default;
    bool m_initialized = false;
    int m_nextVoice = 0;
};

HRESULT CreateMusicPerformance(MusicPerformance** performance);
HRESULT CreateMusicLoader(MusicLoader** loader);
