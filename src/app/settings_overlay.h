// The F10 settings overlay: fullscreen, scaling, music and effects volume, mute, text
// speed and the automatic advance's pause. A change takes effect at once and is kept in
// the settings file; what the command line overrode stays overridden for this run
// until the player changes it here.
#pragma once

#include "app/command_line.h"

// The choices this run started with (the settings under the command line's overrides).
void InitSettingsOverlay(const LaunchOptions& run);
bool IsSettingsOverlayOpen();
// A key that went down: F10 opens and closes; while open, Up and Down choose a line,
// Left, Right and Enter change it, Escape closes. true when the overlay took the key.
bool SettingsOverlayKey(int key);
// While open, after the devices are read: a click on a line changes it, and neither the
// buttons nor the keys reach the game.
void TakeSettingsOverlayInput();
void DrawSettingsOverlay();
