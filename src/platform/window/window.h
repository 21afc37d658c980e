// The one game window, over SDL2. The window carries an OpenGL 3.3 core pixel
// format, so the graphics device can create its context on it.
#pragma once

#include "platform/frame_fit.h"

// Initialises SDL's video and event subsystems; true on success (also when they are
// open already). false also when SDL found no display and fell back to an invisible
// driver that was not asked for (only SDL_VIDEODRIVER=offscreen or dummy, set on
// purpose, runs without a display). The program opens them through InitWindowSystem
// (platform/system), which also connects the platform's parts.
bool OpenWindowDisplay();
// Destroys the window and closes SDL's video and event subsystems.
void CloseWindowDisplay();

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

// The window's outer top-left corner in screen coordinates: the client origin
// minus the frame sizes the window system reports.
void GetWindowOuterPosition(int* x, int* y);
// True while the window has the keyboard focus.
bool IsWindowFocused();
// The event pump tells the window when it gains or loses the focus.
void NoteWindowFocus(bool focused);

// Switches between a window and borderless fullscreen on the window's display. A
// display that refuses stays windowed; that is said once on stderr.
void ToggleWindowFullscreen();
bool IsWindowFullscreen();

// The window's size, its drawable size and the scaling.
WindowGeometry GetWindowGeometry();
