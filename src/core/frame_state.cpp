#include "core/frame_state.h"

std::uint8_t g_frameNo = FRAME_PREPARE_LOADING;
