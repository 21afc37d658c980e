// The fuzz input as a map or model text: the bytes, then the NUL the loaders put
// after every text they read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

inline std::vector<char> MapTextInput(const std::uint8_t* data, std::size_t size) {
    std::vector<char> text(size + 1, '\0');
    if (size > 0)
        std::memcpy(text.data(), data, size);
    return text;
}
