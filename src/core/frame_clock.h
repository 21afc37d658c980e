// The per-frame clock and window values every subsystem reads: whether frames run,
// where the window stands, and the seconds timer sampled once a frame.
#pragma once

#include <cstdint>

// 1 while frames may run: the window is shown and not minimised.
extern int g_windowActive;
// Screen position of the window's outer top-left corner (frame and caption included).
extern float g_windowPosX;
extern float g_windowPosY;

struct GameTimer {
    int hasPerformanceCounter;
    std::uint64_t frequency; // ticks per second; 1000 without a performance counter
    std::int64_t origin;     // always 0: the timer reads the counter's own time
    double secondsPerTick;
};

extern GameTimer g_gameTimer;
// The timer's reading, sampled once at the start of every frame.
extern float g_frameTime;

void InitGameTimer();
float GetTimeSeconds();
