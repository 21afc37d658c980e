// The window's event pump hands the pointer, button and gamepad events to the input
// devices here, inside the platform layer.
#pragma once

union SDL_Event;

// Mouse buttons and motion, gamepad buttons and hot-plugging.
void HandleInputEvent(const SDL_Event& event);
// Forgets held and pending presses, as when another window takes the focus.
void ClearInputLatches();
// Closes the open gamepads at the end.
void CloseGamepads();
// SDL's game-controller subsystem; without it the game still runs on mouse and keyboard.
void OpenGamepadSupport();
// Closes the open gamepads and the subsystem.
void CloseGamepadSupport();
// A button of the mouse device (0 left, 1 right, 2 middle, 3 fourth) went down or up.
void NoteButton(int button, bool down);
// The frame pixel under the system pointer.
void GetMousePointerInFrame(int* x, int* y);
