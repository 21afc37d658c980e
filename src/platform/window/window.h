// The one game window and its event pump, over SDL2. The window carries an
// OpenGL 3.3 core pixel format, so the graphics device can create its context on it.
#pragma once

#include <cstdint>

#include "platform/window/frame_fit.h"

// Initialises SDL's video and event subsystems; true on success. false also when
// SDL found no display and fell back to an invisible driver that was not asked for
// (only SDL_VIDEODRIVER=offscreen or dummy, set on purpose, runs without a display).
bool InitWindowSystem();
void QuitWindowSystem();

// How the next window shows the frame: fullscreen or not, and the scaling.
void SetWindowLaunchChoices(bool fullscreen, FrameScaleMode mode);

// Creates the window with the system pointer hidden. Without a display (the offscreen
// driver) its client area is exactly width × height; on a desktop it is resizable
// and starts at the largest whole multiple of that size that fits the usable desktop
// (shrunk below 1× when even that does not fit), or in borderless fullscreen.
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
    WINDOW_EVENT_SCREENSHOT, // F12: the player wants the next frame saved as a picture
};

struct WindowEvent {
    WindowEventType type;
    int key;
    bool repeat = false; // a key held down repeating itself
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

// Switches between a window and borderless fullscreen on the window's display. A
// display that refuses stays windowed; that is said once on stderr.
void ToggleWindowFullscreen();
bool IsWindowFullscreen();

// What the present step and the pointer mapping need: the window's size in window
// units, its drawable size in pixels, and the scaling.
struct WindowGeometry {
    int windowWidth, windowHeight;
    int drawableWidth, drawableHeight;
    FrameScaleMode mode;
};
WindowGeometry GetWindowGeometry();

// The performance counter: ticks and ticks per second.
std::uint64_t QueryPerformanceCounterTicks();
// For automation: while on, the counter reads the given ticks instead of the clock.
void SetPerformanceCounterOverride(bool on, std::uint64_t ticks);
std::uint64_t QueryPerformanceFrequencyTicks();
// Milliseconds since the window system started.
std::uint32_t GetTickMilliseconds();

void SleepMilliseconds(int ms);
// Sleeps until the performance counter reaches deadline: mostly in the system's
// sleep, the last stretch in short yields, so that the wake-up is precise.
void SleepUntilCounter(std::uint64_t deadline);
