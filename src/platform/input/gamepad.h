// A gamepad through SDL's game-controller interface, plugged in at any time. It
// stands in for the mouse: the left stick moves the pointer over the frame, A is the
// left button and B the right. Start held for a second reloads (as F1); Back and
// Start together quit. Other buttons stand for keys (GamepadButtonKey).
#pragma once

#include <cstdint>

union SDL_Event;

void HandleGamepadEvent(const SDL_Event& event);
// Once per frame: moves the pointer by the stick for the time since the last frame,
// so its speed does not depend on the frame rate, and times the Start button.
void UpdateGamepad();
// The pointer in frame pixels while the stick moved it last; false once the mouse moved.
bool GetGamepadPointer(int* x, int* y);
void ReleaseGamepadPointer();
// True once for each second-long hold of Start.
bool TakeGamepadReload();
void ClearGamepadState();
// The key a button stands for, 0 for none: the d-pad for the arrows, the left shoulder
// for Page Up (the backlog), the right shoulder for Ctrl (skipping read text), Y for
// the A key (automatic advance), Back for F10 (the settings).
int GamepadButtonKey(int button);
// Adds the keys whose buttons are held, and the arrow the right stick holds up or down
// (the backlog's scroll).
void AddGamepadKeys(std::uint8_t keys[256]);
