#include "platform/audio/sound_device.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/mixer_voice.h"

#include <cstring>
#include <new>

namespace {

constexpr std::uint32_t SHORT_DESC_SIZE = 20;
constexpr std::uint32_t FULL_DESC_SIZE = 36;

int ClaimBufferVoice(const SoundFormat& format, std::uint8_t* data, std::uint32_t bytes) {
    for (int i = 0; i < MAX_BUFFER_VOICES; i++) {
        MixerVoice& voice = g_bufferVoices[i];
        std::lock_guard<std::mutex> guard(voice.lock);
        if (!voice.used) {
            ResetVoiceLocked(voice, format, data, bytes);
            voice.used = true;
            return i;
        }
    }
    return -1;
}

} // namespace

HRESULT SoundBuffer::Lock(std::uint32_t offset, std::uint32_t bytes, void** part1,
                          std::uint32_t* bytes1, void** part2, std::uint32_t* bytes2,
                          std::uint32_t flags) {
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    if (flags & DSBLOCK_ENTIREBUFFER)
        bytes = voice.bytes;
    if (part1 == nullptr || bytes1 == nullptr || offset >= voice.bytes || bytes == 0 ||
        bytes > voice.bytes)
        return E_FAIL;
    std::uint32_t first = voice.bytes - offset < bytes ? voice.bytes - offset : bytes;
    *part1 = voice.data + offset;
    *bytes1 = first;
    if (part2 != nullptr)
        *part2 = first < bytes ? voice.data : nullptr;
    if (bytes2 != nullptr)
        *bytes2 = bytes - first;
    return S_OK;
}

HRESULT SoundBuffer::Unlock(void* part1, std::uint32_t, void*, std::uint32_t) {
    // Taking the lock orders the writes before the mixer's next read of the buffer.
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    return part1 != nullptr ? S_OK : E_FAIL;
}

HRESULT SoundBuffer::Play(std::uint32_t reserved, std::uint32_t, std::uint32_t flags) {
    if (reserved != 0)
        return E_FAIL;
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    voice.looping = (flags & DSBPLAY_LOOPING) != 0;
    voice.playing = true;
    return S_OK;
}

HRESULT SoundBuffer::Stop() {
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    voice.playing = false;
    return S_OK;
}

HRESULT SoundBuffer::GetStatus(std::uint32_t* status) {
    if (status == nullptr)
        return E_FAIL;
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    *status = 0;
    if (voice.playing)
        *status = DSBSTATUS_PLAYING | (voice.looping ? DSBSTATUS_LOOPING : 0);
    return S_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(std::uint32_t offset) {
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    if (offset >= voice.bytes)
        return E_FAIL;
    voice.cursorFrame = offset / voice.format.blockAlign;
    voice.fraction = 0;
    return S_OK;
}

HRESULT SoundBuffer::GetCurrentPosition(std::uint32_t* playCursor, std::uint32_t* writeCursor) {
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    std::uint32_t play = voice.cursorFrame * voice.format.blockAlign;
    if (playCursor != nullptr)
        *playCursor = play;
    // The mixer copies a slice at a time: ahead of the cursor by one slice is safe to write.
    if (writeCursor != nullptr) {
        std::uint64_t ahead = std::uint64_t(MIX_SLICE_FRAMES) * voice.format.blockAlign;
        *writeCursor = std::uint32_t((play + ahead) % voice.bytes);
    }
    return S_OK;
}

HRESULT SoundBuffer::SetVolume(std::int32_t volume) {
    if (!(m_flags & DSBCAPS_CTRLVOLUME) || volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return E_FAIL;
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    voice.volume = volume;
    voice.gain = VolumeToGain(volume);
    return S_OK;
}

HRESULT SoundBuffer::GetVolume(std::int32_t* volume) {
    if (!(m_flags & DSBCAPS_CTRLVOLUME) || volume == nullptr)
        return E_FAIL;
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    *volume = voice.volume;
    return S_OK;
}

HRESULT SoundBuffer::SetNotificationPositions(std::uint32_t count, const PositionNotify* notifies) {
    if (!(m_flags & DSBCAPS_CTRLPOSITIONNOTIFY) || count > MAX_NOTIFICATIONS ||
        (count > 0 && notifies == nullptr))
        return E_FAIL;
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::lock_guard<std::mutex> guard(voice.lock);
    if (voice.playing)
        return E_FAIL;
    for (std::uint32_t i = 0; i < count; i++) {
        if (notifies[i].offset >= voice.bytes || notifies[i].event == nullptr)
            return E_FAIL;
    }
    for (std::uint32_t i = 0; i < count; i++) {
        voice.notifyOffsets[i] = notifies[i].offset;
        voice.notifyEvents[i] = notifies[i].event;
    }
    voice.notifyCount = int(count);
    return S_OK;
}

void SoundBuffer::Release() {
    MixerVoice& voice = g_bufferVoices[m_voice];
    std::uint8_t* data;
    {
        std::lock_guard<std::mutex> guard(voice.lock);
        data = voice.data;
        voice.data = nullptr;
        voice.used = false;
        voice.playing = false;
        voice.notifyCount = 0;
    }
    delete[] data;
    delete this;
}

HRESULT SoundDevice::Initialize() {
    if (m_initialized)
        return E_FAIL;
    if (!AcquireAudioOutput())
        return E_FAIL;
    m_initialized = true;
    return S_OK;
}

HRESULT SoundDevice::SetCooperativeLevel(void*, std::uint32_t level) {
    if (!m_initialized)
        return E_FAIL;
    m_level = level;
    return S_OK;
}

HRESULT SoundDevice::CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** buffer) {
    if (buffer == nullptr)
        return E_FAIL;
    *buffer = nullptr;
    if (!m_initialized || m_level == 0)
        return E_FAIL;
    if (desc.size != SHORT_DESC_SIZE && desc.size != FULL_DESC_SIZE)
        return E_FAIL;
    if (desc.format == nullptr || !IsPlayableFormat(*desc.format))
        return E_FAIL;
    if (desc.bufferBytes < DSBSIZE_MIN || desc.bufferBytes > DSBSIZE_MAX ||
        desc.bufferBytes % desc.format->blockAlign != 0)
        return E_FAIL;
    auto* data = new (std::nothrow) std::uint8_t[desc.bufferBytes];
    if (data == nullptr)
        return E_FAIL;
    std::memset(data, desc.format->bitsPerSample == 8 ? 0x80 : 0, desc.bufferBytes);
    int voice = ClaimBufferVoice(*desc.format, data, desc.bufferBytes);
    if (voice < 0) {
        delete[] data;
        return E_FAIL;
    }
    *buffer = new SoundBuffer(voice, desc.flags);
    return S_OK;
}

void SoundDevice::Release() {
    if (m_initialized)
        ReleaseAudioOutput();
    delete this;
}

HRESULT CreateSoundDevice(SoundDevice** device) {
    if (device == nullptr)
        return E_FAIL;
    *device = new SoundDevice;
    return S_OK;
}
