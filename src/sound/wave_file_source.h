// A stream of bytes inside a file, handed to the Ogg decoder as its data source.
#pragma once

#include <cstdint>

namespace sslib2 {

constexpr int INVALID_FILE_HANDLE = -1;

struct WaveFileSource {
    int handle;           // INVALID_FILE_HANDLE when closed
    std::uint32_t base;   // where the stream begins in the file
    std::uint32_t length; // the stream's bytes
};

} // namespace sslib2
