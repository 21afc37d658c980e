// Ogg Vorbis files decoded to 16-bit PCM with libvorbisfile; the music's reader.
#pragma once

#include "sound/wave_file_source.h"
#include "sound/wave_reader.h"

#include <memory>

struct OggVorbis_File;

namespace sslib2 {

class COggFileReader : public CWaveReader {
  public:
    COggFileReader();
    ~COggFileReader() override;
    COggFileReader(const COggFileReader&) = delete;
    COggFileReader& operator=(const COggFileReader&) = delete;

    // path: backslashes separate directories. False when a file is already open,
    // the file is missing, or it is not a seekable Ogg Vorbis stream.
    bool Open(const char* path);
    // Takes over the handle: on failure it is closed.
    bool OpenStream(const WaveFileSource& source);

    void Close() override;
    bool IsOpen() override;
    bool Read(void* destination, std::uint32_t bytes, std::uint32_t* countRead) override;
    bool Seek(std::uint32_t frame) override;
    std::int32_t Tell() override;
    bool IsEnd() override;
    void GetFormat(PcmFormat* format) override;
    std::uint32_t GetLength() override;
    std::uint32_t GetLoopStart() override;
    std::uint32_t GetLoopEnd() override;
    std::int32_t GetLoopCount() override;
    bool IsLong() override;

  private:
    WaveFileSource m_source;
    std::unique_ptr<OggVorbis_File> m_decoder;
    PcmFormat m_format;
    std::uint32_t m_length;
    bool m_atEnd;
};

} // namespace sslib2
