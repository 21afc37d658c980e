// The process: window values, the seconds timer, the frame function and the loop.
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

// One frame: sample the time, read input, clear, begin the scene, run the frame
// state, end the scene, present. 1 after a normal frame, 0 after the bad-state message.
int RunFrame();
