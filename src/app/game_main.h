// The process entry: start-up, the message loop and shut-down.
#pragma once

#include "platform/window/window_events.h"

// Start-up steps up to the loop: window, device, sound, input, render states.
// false when the program must end (no window, no device).
bool StartupGame();
// Shut-down after the loop: input, sound effects, the device, the window.
void ShutdownGame();
// The window procedure: what each window event does to the game.
void HandleWindowEvent(const WindowEvent& event);
// True once the window was closed (the quit message was posted).
bool IsQuitRequested();

// The program: the command line, the data folder, start-up, the loop and shut-down.
// The exit code.
int GameMain(int argc, char** argv);
