// The one game window and its event pump, over SDL2. The window carries an
// OpenGL 3.3 core pixel format, so the graphics device can create its context on it.
#pragma once

#include <cstdint>

// Initialises SDL's video and event subsystems; true on success.
bool InitWindowSystem();
void QuitWindowSystem();

// Creates the window: the given title, client area exactly width × height, not
// resizable, no maximise, at the screen's top-left, the system pointer hidden.
// false when no window can be made (no display).
bool CreatePlatformWindow(const char* title, int clientWidth, int clientHeight);
void DestroyPlatformWindow();

// The SDL_Window* of the game window (null before creation), for the other stand-ins.
void* GetMainWindowHandle();

// Window events, as the game's window procedure sees them.
enum WindowEventType {
    WINDOW_EVENT_NONE,
    WINDOW_EVENT_QUIT,      // the window was closed: the loop ends
    WINDOW_EVENT_MOVE,      // the window moved; the outer position changed
    WINDOW_EVENT_MINIMIZED, // the window was minimised or hidden
    WINDOW_EVENT_RESTORED,  // the window is shown again
    WINDOW_EVENT_KEYDOWN,   // a key went down; key holds the DirectInput key code
    WINDOW_EVENT_FOCUS_GAINED,
    WINDOW_EVENT_FOCUS_LOST,
};

struct WindowEvent {
    WindowEventType type;
    int key;
};

// True when an event waits (non-blocking).
bool PeekWindowEvent();
// Takes the next event, waiting for one when none waits.
WindowEvent GetWindowEvent();
// Blocks until an event waits.
void WaitWindowEvent();
// Posts a quit event, as closing the window would.
void PostQuitEvent();

// The window's outer top-left corner in screen coordinates: the client origin
// minus the frame sizes the window system reports.
void GetWindowOuterPosition(int* x, int* y);
// True while the window has the keyboard focus.
bool IsWindowFocused();

// Minimises or restores the window (used by the automation driver).
void MinimizePlatformWindow();
void RestorePlatformWindow();

// The performance counter: ticks and ticks per second.
std::uint64_t QueryPerformanceCounterTicks();
// For automation: while on, the counter reads the given ticks instead of the clock.
void SetPerformanceCounterOverride(bool on, std::uint64_t ticks);
std::uint64_t QueryPerformanceFrequencyTicks();
// Milliseconds since the window system started.
std::uint32_t GetTickMilliseconds();

void SleepMilliseconds(int ms);
