#include "platform/audio/music_performance.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/mixer_voice.h"
#include "platform/audio/wave_convert.h"
#include "platform/audio/wave_file.h"
#include "platform/files/host_files.h"

#include <atomic>
#include <iterator>

namespace {

// Effects are short; anything larger is not an effect file.
constexpr std::size_t MAX_EFFECT_FILE_BYTES = 64 << 20;

std::atomic<std::uint32_t> g_nextSegmentId{1};

} // namespace

HRESULT MusicSegment::Download(MusicPerformance* performance) {
    return performance != nullptr && performance->m_initialized ? S_OK : E_FAIL;
}

HRESULT MusicSegment::Unload(MusicPerformance* performance) {
    if (performance == nullptr)
        return E_FAIL;
    StopEffectVoices(m_id);
    return S_OK;
}

void MusicSegment::Release() {
    // No voice may read the samples once they are freed.
    StopEffectVoices(m_id);
    delete this;
}

void MusicAudioPath::Release() {
    delete this;
}

HRESULT MusicLoader::SetSearchDirectory(const char* directory) {
    if (directory == nullptr || directory[0] == '\0')
        return E_FAIL;
    m_directory = directory;
    m_haveDirectory = true;
    return S_OK;
}

HRESULT MusicLoader::LoadSegmentFromFile(const char* path, MusicSegment** segment) {
    if (segment == nullptr)
        return E_FAIL;
    *segment = nullptr;
    if (path == nullptr || path[0] == '\0')
        return E_FAIL;
    std::string joined = path;
    if (joined[0] != '/' && joined[0] != '\\' && m_haveDirectory)
        joined = m_directory + "/" + joined;
    // The case of each component is matched only once the search directory is part of it.
    const std::string hostPath = ToHostPath(joined.c_str());
    std::vector<std::uint8_t> file;
    WaveData wave;
    auto* loaded = new MusicSegment;
    if (!ReadHostFile(hostPath, MAX_EFFECT_FILE_BYTES, &file) ||
        !ParseWaveFile(file.data(), file.size(), &wave) ||
        !ConvertWaveToMixerFormat(file.data(), wave, &loaded->m_samples)) {
        delete loaded;
        return E_FAIL;
    }
    loaded->m_id = g_nextSegmentId++;
    *segment = loaded;
    return S_OK;
}

void MusicLoader::Release() {
    delete this;
}

HRESULT MusicPerformance::InitAudio(void*, std::uint32_t, std::uint32_t, std::uint32_t) {
    if (m_initialized || !AcquireAudioOutput())
        return E_FAIL;
    m_initialized = true;
    return S_OK;
}

HRESULT MusicPerformance::GetDefaultAudioPath(MusicAudioPath** path) {
    if (path == nullptr || !m_initialized)
        return E_FAIL;
    *path = new MusicAudioPath;
    return S_OK;
}

HRESULT MusicPerformance::CreateStandardAudioPath(std::uint32_t, std::uint32_t, bool,
                                                  MusicAudioPath** path) {
    return GetDefaultAudioPath(path);
}

HRESULT MusicPerformance::GetMasterVolume(std::int32_t* volume) {
    if (volume == nullptr || !m_initialized)
        return E_FAIL;
    *volume = 0;
    return S_OK;
}

HRESULT MusicPerformance::PlaySegmentEx(MusicSegment* segment, std::uint32_t) {
    if (segment == nullptr || !m_initialized)
        return E_FAIL;
    // An effect belongs to its moment: one asked for while the output is gone is not
    // kept for later, when it would sound with every other one of that time at once.
    if (segment->m_samples.empty() || IsAudioOutputSilent())
        return S_OK;
    int chosen = -1;
    for (int i = 0; i < MAX_EFFECT_VOICES && chosen < 0; i++) {
        std::lock_guard<std::mutex> guard(g_effectVoices[i].lock);
        if (!g_effectVoices[i].used || !g_effectVoices[i].playing)
            chosen = i;
    }
    if (chosen < 0) {
        chosen = m_nextVoice;
        m_nextVoice = (m_nextVoice + 1) % MAX_EFFECT_VOICES;
    }
    MixerVoice& voice = g_effectVoices[chosen];
    std::lock_guard<std::mutex> guard(voice.lock);
    constexpr SoundFormat MIXER_FORMAT = {
        WAVE_FORMAT_PCM, MIXER_CHANNELS, MIXER_RATE, MIXER_RATE * 4, 4, 16};
    ResetVoiceLocked(voice, MIXER_FORMAT,
                     reinterpret_cast<std::uint8_t*>(segment->m_samples.data()),
                     std::uint32_t(segment->m_samples.size() * sizeof(std::int16_t)));
    voice.owner = segment->m_id;
    voice.used = true;
    voice.playing = true;
    return S_OK;
}

// A performance whose InitAudio failed has nothing to stop or close: both succeed,
// so that a game without an audio device shuts down without further messages.
HRESULT MusicPerformance::Stop() {
    if (!m_initialized)
        return S_OK;
    StopEffectVoices(0);
    return S_OK;
}

HRESULT MusicPerformance::CloseDown() {
    if (!m_initialized)
        return S_OK;
    StopEffectVoices(0);
    ReleaseAudioOutput();
    m_initialized = false;
    return S_OK;
}

void MusicPerformance::Release() {
    if (m_initialized)
        CloseDown();
    delete this;
}

HRESULT CreateMusicPerformance(MusicPerformance** performance) {
    if (performance == nullptr)
        return E_FAIL;
    *performance = new MusicPerformance;
    return S_OK;
}

HRESULT CreateMusicLoader(MusicLoader** loader) {
    if (loader == nullptr)
        return E_FAIL;
    *loader = new MusicLoader;
    return S_OK;
}
