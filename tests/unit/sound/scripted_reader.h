// A wave reader over a computed stereo 16-bit 44.1 kHz stream whose every frame
// tells its own index, with the loop points and count a test asks for.
#pragma once

#include "sound/wave_reader.h"

#include <cstdint>

class ScriptedReader : public sslib2::CWaveReader {
  public:
    ScriptedReader(std::uint32_t frames, std::uint32_t loopStart, std::uint32_t loopEnd,
                   std::int32_t loopCount)
        : m_frames(frames), m_loopStart(loopStart), m_loopEnd(loopEnd), m_loopCount(loopCount) {}

    // The left sample of frame f; the right one is its negation.
    static std::int16_t SampleOf(std::uint32_t frame) { return std::int16_t(1 + frame % 30000); }

    void Close() override {}
    bool IsOpen() override { return true; }
    bool Read(void* destination, std::uint32_t bytes, std::uint32_t* countRead) override {
        auto* out = static_cast<std::int16_t*>(destination);
        std::uint32_t frames = 0;
        while (frames < bytes / 4 && m_position < m_frames) {
            out[2 * frames] = SampleOf(m_position);
            out[2 * frames + 1] = std::int16_t(-SampleOf(m_position));
            frames++;
            m_position++;
        }
        if (frames < bytes / 4)
            m_atEnd = true;
        if (countRead != nullptr)
            *countRead = frames * 4;
        return true;
    }
    bool Seek(std::uint32_t frame) override {
        m_position = frame < m_frames ? frame : m_frames;
        m_atEnd = false;
        return true;
    }
    std::int32_t Tell() override { return std::int32_t(m_position); }
    bool IsEnd() override { return m_atEnd; }
    void GetFormat(sslib2::PcmFormat* format) override {
        *format = {1, 2, 44100, 44100 * 4, 4, 16};
    }
    std::uint32_t GetLength() override { return m_frames; }
    std::uint32_t GetLoopStart() override { return m_loopStart; }
    std::uint32_t GetLoopEnd() override { return m_loopEnd; }
    std::int32_t GetLoopCount() override { return m_loopCount; }
    bool IsLong() override { return m_frames > sslib2::LONG_WAVE_FRAMES; }

  private:
    std::uint32_t m_frames;
    std::uint32_t m_loopStart;
    std::uint32_t m_loopEnd;
    std::int32_t m_loopCount;
    std::uint32_t m_position = 0;
    bool m_atEnd = false;
};
