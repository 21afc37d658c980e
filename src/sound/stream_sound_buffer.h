// A sound of any length played through a looping buffer of sixteen blocks that
// the channel's own worker refills as playback passes each block.
#pragma once

#include "sound/pcm_format.h"
#include "sound/sound_buffer.h"
#include "sound/wave_reader.h"

#include "platform/audio/event.h"
#include "platform/audio/event_worker.h"
#include "platform/audio/sound_device.h"

#include <memory>
#include <mutex>

namespace sslib2 {

constexpr std::uint32_t STREAM_BLOCKS = 16;
// Blocks kept filled ahead of the play cursor.
constexpr int STREAM_BLOCKS_AHEAD = 15;
constexpr std::uint32_t STREAM_BUFFER_FLAGS =
    DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GLOBALFOCUS;

class CStreamSoundBuffer : public CSoundBuffer {
  public:
    CStreamSoundBuffer() = default;
    // Lets the worker go and waits for it before anything it uses is freed.
    ~CStreamSoundBuffer() override;
    CStreamSoundBuffer(const CStreamSoundBuffer&) = delete;
    CStreamSoundBuffer& operator=(const CStreamSoundBuffer&) = delete;

    // Opens the channel on the reader: a stopped buffer of 16 blocks of 3/16 s
    // and the streaming worker. An opened channel is first closed, worker and all.
    bool Create(SoundDevice* device, std::shared_ptr<CWaveReader> reader);

    // On a channel that was never opened these do nothing and return false.
    bool Play() override;
    // Play from a sample frame of the stream instead of its beginning.
    bool PlayFrom(std::uint32_t frame);
    // The sample frame of the stream being heard now (0 when the channel is not open).
    std::uint32_t GetPlayedFrame();
    bool Stop() override;
    bool IsPlaying() override;
    bool SetVolume(std::int32_t volume) override;
    bool GetVolume(std::int32_t* volume) override;

    std::uint32_t GetBlockBytes();
    std::uint32_t GetBufferBytes();
    std::int32_t GetFilledBlocks();

    // The worker's step after a signal of the notify event (0) or the quit event (1).
    static bool StreamStep(void* channel, int which);

  private:
    // Call with the lock held.
    bool Fill();
    void Close();

    std::mutex m_lock;
    std::shared_ptr<CWaveReader> m_reader;
    SoundBuffer* m_buffer = nullptr;
    std::uint32_t m_bufferBytes = 0;
    std::uint32_t m_blockBytes = 0;
    Event* m_notifyEvent = nullptr;
    Event* m_quitEvent = nullptr;
    PcmFormat m_format = {};
    EventWorker* m_worker = nullptr;
    std::uint32_t m_writeCursor = 0;
    std::uint32_t m_readPosition = 0;
    std::uint32_t m_loopStart = 0;
    std::uint32_t m_loopEnd = 0;
    std::uint32_t m_total = 0;
    std::int32_t m_loopCount = 0;
    std::int32_t m_filledBlocks = 0;
};

// Bytes of one refill block: 3/16 s, rounded up to whole frames; 0 for an unusable format.
std::uint32_t GetStreamBlockBytes(const PcmFormat& format);

} // namespace sslib2
