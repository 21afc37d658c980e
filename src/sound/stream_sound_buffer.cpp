#include "sound/stream_sound_buffer.h"

#include <cstring>

namespace sslib2 {
namespace {

constexpr std::uint32_t SHORT_BUFFER_DESC_SIZE = 20;

bool SetBlockNotifications(SoundBuffer* buffer, std::uint32_t blockBytes, Event* event) {
    PositionNotify notifies[STREAM_BLOCKS];
    for (std::uint32_t i = 0; i + 1 < STREAM_BLOCKS; i++)
        notifies[i] = {blockBytes * (i + 1), event};
    // The last sits on the buffer's last byte: a position equal to the size would
    // lie outside the buffer.
    notifies[STREAM_BLOCKS - 1] = {blockBytes * STREAM_BLOCKS - 1, event};
    return SUCCEEDED(buffer->SetNotificationPositions(STREAM_BLOCKS, notifies));
}

} // namespace

std::uint32_t GetStreamBlockBytes(const PcmFormat& format) {
    if (format.blockAlign == 0)
        return 0;
    std::uint32_t block = (std::uint32_t(format.blockAlign) * format.samplesPerSec * 3) / 16;
    if (block % format.blockAlign != 0)
        block += format.blockAlign - block % format.blockAlign;
    return block;
}

CStreamSoundBuffer::~CStreamSoundBuffer() {
    Close();
    m_reader.reset();
}

void CStreamSoundBuffer::Close() {
    EventWorker* worker = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_buffer != nullptr) {
            m_buffer->Stop();
            SoundBuffer* buffer = m_buffer;
            m_buffer = nullptr;
            buffer->Release();
        }
        // Set rather than pulsed: a worker busy between waits still sees it.
        if (m_quitEvent != nullptr)
            m_quitEvent->Set();
        worker = m_worker;
        m_worker = nullptr;
    }
    JoinEventWorker(worker);
    delete m_notifyEvent;
    delete m_quitEvent;
    m_notifyEvent = nullptr;
    m_quitEvent = nullptr;
}

bool CStreamSoundBuffer::Create(SoundDevice* device, std::shared_ptr<CWaveReader> reader) {
    if (device == nullptr || reader == nullptr)
        return false;
    // Re-opening (the reload) must never leave a channel with two workers.
    Close();
    PcmFormat format = {};
    reader->GetFormat(&format);
    std::uint32_t blockBytes = GetStreamBlockBytes(format);
    if (blockBytes == 0 || blockBytes > DSBSIZE_MAX / STREAM_BLOCKS)
        return false;
    SoundBufferDesc desc = {SHORT_BUFFER_DESC_SIZE, STREAM_BUFFER_FLAGS, blockBytes * STREAM_BLOCKS,
                            0, &format};
    SoundBuffer* buffer = nullptr;
    if (FAILED(device->CreateSoundBuffer(desc, &buffer)))
        return false;
    auto* notifyEvent = new Event(true);
    auto* quitEvent = new Event;
    if (!SetBlockNotifications(buffer, blockBytes, notifyEvent)) {
        delete notifyEvent;
        delete quitEvent;
        buffer->Release();
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_reader = std::move(reader);
        m_buffer = buffer;
        m_bufferBytes = blockBytes * STREAM_BLOCKS;
        m_blockBytes = blockBytes;
        m_format = format;
        m_notifyEvent = notifyEvent;
        m_quitEvent = quitEvent;
    }
    Event* const events[2] = {notifyEvent, quitEvent};
    m_worker = StartEventWorker(events, 2, StreamStep, this);
    return m_worker != nullptr;
}

bool CStreamSoundBuffer::Play() {
    return PlayFrom(0);
}

bool CStreamSoundBuffer::PlayFrom(std::uint32_t frame) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_buffer == nullptr)
        return false;
    m_buffer->Stop();
    m_buffer->SetCurrentPosition(0);
    // A frame past the end, or one the reader cannot reach, starts from the beginning.
    if (frame >= m_reader->GetLength() || !m_reader->Seek(frame)) {
        frame = 0;
        m_reader->Seek(0);
    }
    std::uint32_t align = m_format.blockAlign;
    m_writeCursor = 0;
    m_readPosition = frame * align;
    m_loopStart = m_reader->GetLoopStart() * align;
    m_loopEnd = m_reader->GetLoopEnd() * align;
    m_total = m_reader->GetLength() * align;
    m_loopCount = m_reader->GetLoopCount();
    m_filledBlocks = 0;
    for (int i = 0; i < STREAM_BLOCKS_AHEAD; i++)
        Fill();
    return SUCCEEDED(m_buffer->Play(0, 0, DSBPLAY_LOOPING));
}

bool CStreamSoundBuffer::Stop() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_buffer != nullptr && SUCCEEDED(m_buffer->Stop());
}

bool CStreamSoundBuffer::IsPlaying() {
    std::lock_guard<std::mutex> guard(m_lock);
    std::uint32_t status = 0;
    return m_buffer != nullptr && SUCCEEDED(m_buffer->GetStatus(&status)) &&
           (status & DSBSTATUS_PLAYING) != 0;
}

bool CStreamSoundBuffer::SetVolume(std::int32_t volume) {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_buffer != nullptr && SUCCEEDED(m_buffer->SetVolume(volume));
}

bool CStreamSoundBuffer::GetVolume(std::int32_t* volume) {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_buffer != nullptr && SUCCEEDED(m_buffer->GetVolume(volume));
}

std::uint32_t CStreamSoundBuffer::GetPlayedFrame() {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_buffer == nullptr || m_format.blockAlign == 0)
        return 0;
    std::uint32_t play = 0, write = 0;
    if (FAILED(m_buffer->GetCurrentPosition(&play, &write)))
        return 0;
    // What lies between the play cursor and the next block to fill has been read
    // from the stream but not yet heard.
    const std::uint32_t ahead = (m_writeCursor + m_bufferBytes - play) % m_bufferBytes;
    const std::uint32_t heard = m_readPosition >= ahead ? m_readPosition - ahead : 0;
    return heard / m_format.blockAlign;
}

std::uint32_t CStreamSoundBuffer::GetBlockBytes() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_blockBytes;
}

std::uint32_t CStreamSoundBuffer::GetBufferBytes() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bufferBytes;
}

std::int32_t CStreamSoundBuffer::GetFilledBlocks() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_filledBlocks;
}

bool CStreamSoundBuffer::Fill() {
    void* region = nullptr;
    std::uint32_t regionBytes = 0;
    if (FAILED(m_buffer->Lock(m_writeCursor, m_blockBytes, &region, &regionBytes, nullptr, nullptr,
                              0)))
        return false;
    auto* block = static_cast<std::uint8_t*>(region);
    std::uint32_t blockBytes = regionBytes < m_blockBytes ? regionBytes : m_blockBytes;
    std::uint32_t align = m_format.blockAlign;
    std::uint32_t written = 0;
    // Set by a jump to the loop start, cleared by data: a loop that yields
    // nothing ends the block instead of spinning.
    bool loopedWithoutData = false;
    while (written < blockBytes) {
        if (m_loopCount != 0 && (m_readPosition == m_loopEnd || m_reader->IsEnd())) {
            if (loopedWithoutData)
                break;
            if (m_loopStart >= m_loopEnd) {
                if (m_loopCount <= 0)
                    break;
                m_loopCount = 0;
            }
            if (!m_reader->Seek(m_loopStart / align))
                break;
            m_readPosition = m_loopStart;
            if (m_loopCount > 0)
                m_loopCount--;
            loopedWithoutData = true;
        }
        std::uint32_t limit = m_loopCount != 0 ? m_loopEnd : m_total;
        std::uint32_t n = limit - m_readPosition;
        if (blockBytes - written < n)
            n = blockBytes - written;
        if (n == 0)
            break;
        if (m_loopCount == 0 && m_reader->IsEnd())
            break;
        std::uint32_t countRead = 0;
        if (!m_reader->Read(block + written, n, &countRead))
            break;
        if (countRead > n)
            countRead = n;
        // A reader that neither gives data nor reports its end would never let go.
        if (countRead == 0 && !m_reader->IsEnd())
            break;
        if (countRead > 0)
            loopedWithoutData = false;
        m_readPosition += countRead;
        written += countRead;
    }
    if (written > 0)
        m_filledBlocks++;
    if (written < blockBytes)
        std::memset(block + written, m_format.bitsPerSample == 8 ? 0x80 : 0, blockBytes - written);
    m_writeCursor += m_blockBytes;
    if (m_writeCursor >= m_bufferBytes)
        m_writeCursor -= m_bufferBytes;
    m_buffer->Unlock(region, regionBytes, nullptr, 0);
    return true;
}

bool CStreamSoundBuffer::StreamStep(void* context, int which) {
    auto* channel = static_cast<CStreamSoundBuffer*>(context);
    if (which != 0)
        return false;
    std::lock_guard<std::mutex> guard(channel->m_lock);
    if (channel->m_buffer == nullptr)
        return false;
    if (channel->m_filledBlocks > 0)
        channel->m_filledBlocks--;
    // A stream that ends before its stated length has also played all it has.
    if (channel->m_filledBlocks == 0 && channel->m_loopCount == 0 &&
        (channel->m_readPosition == channel->m_total || channel->m_reader->IsEnd()))
        channel->m_buffer->Stop();
    if (channel->m_filledBlocks < STREAM_BLOCKS_AHEAD)
        channel->Fill();
    return true;
}

} // namespace sslib2
