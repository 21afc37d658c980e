// The frame states: the value that picks which handler runs this frame.
#pragma once

#include <cstdint>

enum : std::uint8_t {
    FRAME_PREPARE_LOADING = 200,
    FRAME_SHOW_LOADING = 201,
    FRAME_STARTUP_LOAD = 210,
    FRAME_SCENARIO = 231,
    FRAME_FIELD = 251,
};

extern std::uint8_t g_frameNo;
