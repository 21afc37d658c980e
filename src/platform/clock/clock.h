// The performance counter the game times its frames by, and the automation's override
// of it: the driver runs the game on a virtual clock that advances one frame at a time.
#pragma once

#include <cstdint>

// The performance counter: ticks and ticks per second.
std::uint64_t QueryPerformanceCounterTicks();
// For automation: while on, the counter reads the given ticks instead of the clock.
void SetPerformanceCounterOverride(bool on, std::uint64_t ticks);
std::uint64_t QueryPerformanceFrequencyTicks();
// Milliseconds since the platform started.
std::uint32_t GetTickMilliseconds();
