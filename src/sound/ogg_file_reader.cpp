#include "sound/ogg_file_reader.h"

#include "platform/files/host_files.h"
#include "sound/wave_file_callbacks.h"

#include <climits>
#include <unistd.h>

namespace sslib2 {
namespace {

constexpr int OGG_LITTLE_ENDIAN = 0;
constexpr int OGG_16_BIT = 2;
constexpr int OGG_SIGNED = 1;

} // namespace

COggFileReader::COggFileReader()
    : m_source{INVALID_FILE_HANDLE, 0, 0},
      m_decoder(std::make_unique<OggVorbis_File>()), m_format{}, m_length(0), m_atEnd(false) {}

COggFileReader::~COggFileReader() {
    Close();
}

bool COggFileReader::Open(const char* path) {
    if (IsOpen() || path == nullptr)
        return false;
    std::uint64_t size = 0;
    const int handle = OpenHostFileHandle(ToHostPath(path), &size);
    if (handle < 0)
        return false;
    return OpenStream({handle, 0, std::uint32_t(size)});
}

bool COggFileReader::OpenStream(const WaveFileSource& source) {
    if (IsOpen()) {
        close(source.handle);
        return false;
    }
    m_source = source;
    if (ov_open_callbacks(&m_source, m_decoder.get(), nullptr, 0, WAVE_FILE_CALLBACKS) < 0) {
        close(m_source.handle);
        m_source = {INVALID_FILE_HANDLE, 0, 0};
        return false;
    }
    vorbis_info* info = ov_seekable(m_decoder.get()) ? ov_info(m_decoder.get(), -1) : nullptr;
    if (info == nullptr || info->channels <= 0 || info->rate <= 0) {
        ov_clear(m_decoder.get());
        m_source = {INVALID_FILE_HANDLE, 0, 0};
        return false;
    }
    auto channels = std::uint16_t(info->channels);
    auto rate = std::uint32_t(info->rate);
    m_format = {1, channels, rate, rate * channels * 2, std::uint16_t(channels * 2), 16};
    ogg_int64_t total = ov_pcm_total(m_decoder.get(), -1);
    m_length = total > 0 ? std::uint32_t(total) : 0;
    m_atEnd = false;
    return true;
}

void COggFileReader::Close() {
    if (IsOpen())
        ov_clear(m_decoder.get());
}

bool COggFileReader::IsOpen() {
    return m_source.handle != INVALID_FILE_HANDLE;
}

bool COggFileReader::Read(void* destination, std::uint32_t bytes, std::uint32_t* countRead) {
    if (!IsOpen() || (destination == nullptr && bytes > 0))
        return false;
    auto* out = static_cast<char*>(destination);
    std::uint32_t remaining = bytes;
    while (remaining > 0) {
        int request = remaining > INT_MAX ? INT_MAX : int(remaining);
        long got = ov_read(m_decoder.get(), out, request, OGG_LITTLE_ENDIAN, OGG_16_BIT, OGG_SIGNED,
                           nullptr);
        // A gap or a decoding error ends the stream as the end of data would.
        if (got <= 0) {
            m_atEnd = true;
            break;
        }
        out += got;
        remaining -= std::uint32_t(got);
    }
    if (countRead != nullptr)
        *countRead = bytes - remaining;
    return true;
}

bool COggFileReader::Seek(std::uint32_t frame) {
    if (!IsOpen() || ov_pcm_seek(m_decoder.get(), ogg_int64_t(frame)) != 0)
        return false;
    m_atEnd = false;
    return true;
}

std::int32_t COggFileReader::Tell() {
    if (!IsOpen())
        return 0;
    return std::int32_t(std::uint32_t(ov_pcm_tell(m_decoder.get())));
}

bool COggFileReader::IsEnd() {
    return m_atEnd;
}

void COggFileReader::GetFormat(PcmFormat* format) {
    if (format != nullptr)
        *format = m_format;
}

std::uint32_t COggFileReader::GetLength() {
    return m_length;
}

std::uint32_t COggFileReader::GetLoopStart() {
    return 0;
}

std::uint32_t COggFileReader::GetLoopEnd() {
    return GetLength();
}

std::int32_t COggFileReader::GetLoopCount() {
    return 0;
}

bool COggFileReader::IsLong() {
    return GetLength() > LONG_WAVE_FRAMES;
}

} // namespace sslib2
