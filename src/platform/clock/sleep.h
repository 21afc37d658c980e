// Waiting: the main loop's pauses between frames.
#pragma once

#include <cstdint>

void SleepMilliseconds(int ms);
// Sleeps until the performance counter reaches deadline: mostly in the system's
// sleep, the last stretch in short yields, so that the wake-up is precise.
void SleepUntilCounter(std::uint64_t deadline);
