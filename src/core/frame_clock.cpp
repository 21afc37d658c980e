#include "core/frame_clock.h"

#include "platform/clock/clock.h"

int g_windowActive = 0;
float g_windowPosX = 0.0f;
float g_windowPosY = 0.0f;
GameTimer g_gameTimer;
float g_frameTime = 0.0f;

void InitGameTimer() {
    g_gameTimer = GameTimer{};
    const std::uint64_t frequency = QueryPerformanceFrequencyTicks();
    g_gameTimer.hasPerformanceCounter = frequency != 0;
    g_gameTimer.frequency = frequency != 0 ? frequency : 1000;
    g_gameTimer.secondsPerTick = 1.0 / static_cast<double>(g_gameTimer.frequency);
}

namespace {
// The timer is ready before anything else runs, as the game's other tables are.
struct TimerInitializer {
    TimerInitializer() { InitGameTimer(); }
} s_timerInitializer;
} // namespace

float GetTimeSeconds() {
    const std::int64_t now = g_gameTimer.hasPerformanceCounter
                                 ? static_cast<std::int64_t>(QueryPerformanceCounterTicks())
                                 : static_cast<std::int64_t>(GetTickMilliseconds());
    return static_cast<float>(static_cast<double>(now - g_gameTimer.origin) *
                              g_gameTimer.secondsPerTick);
}
