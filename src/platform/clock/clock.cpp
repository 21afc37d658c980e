#include "platform/clock/clock.h"

#include <SDL.h>

namespace {

bool s_counterOverridden = false;
std::uint64_t s_counterOverride = 0;

} // namespace

std::uint64_t QueryPerformanceCounterTicks() {
    return s_counterOverridden ? s_counterOverride : SDL_GetPerformanceCounter();
}

void SetPerformanceCounterOverride(bool on, std::uint64_t ticks) {
    s_counterOverridden = on;
    s_counterOverride = ticks;
}

std::uint64_t QueryPerformanceFrequencyTicks() {
    return SDL_GetPerformanceFrequency();
}

std::uint32_t GetTickMilliseconds() {
    return SDL_GetTicks();
}
