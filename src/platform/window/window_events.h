// The window's events, as the game's window procedure sees them, and the pump that
// takes them from the window system.
#pragma once

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
