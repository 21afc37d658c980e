#include "platform/clock/sleep.h"

#include <SDL.h>

void SleepMilliseconds(int ms) {
    SDL_Delay(static_cast<Uint32>(ms));
}

void SleepUntilCounter(std::uint64_t deadline) {
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    // The system's sleep may overshoot by about a millisecond; the rest is yielded away.
    const std::uint64_t margin = frequency / 1000;
    for (;;) {
        const std::uint64_t now = SDL_GetPerformanceCounter();
        if (now >= deadline)
            return;
        const std::uint64_t left = deadline - now;
        if (left > margin)
            SDL_Delay(static_cast<Uint32>((left - margin) * 1000 / frequency));
        else
            SDL_Delay(0);
    }
}
