// What the window and its event pump need from the other parts of the platform. The
// platform's start-up (platform/system) fills the record, so that the window includes
// none of them; until then each entry does nothing.
#pragma once

#include <cstdint>

union SDL_Event;

struct WindowLinks {
    // Before the window is made: the kind of GL context the graphics device asks for.
    void (*prepareGraphicsContext)();
    // Pointer, button, key and gamepad events, for the input devices.
    void (*inputEvent)(const SDL_Event& event);
    // The DirectInput key code of an SDL scancode (0 where the key has none).
    int (*keyCode)(int scancode);
    // The key code a gamepad button stands for (0 where it stands for none).
    int (*gamepadButtonKey)(int button);
    // Another window took the focus: held presses are forgotten.
    void (*focusLost)();
    // An audio output device (by the system's number) went away, or one appeared.
    void (*audioDeviceRemoved)(std::uint32_t device);
    void (*audioDeviceAdded)();
};

extern WindowLinks g_windowLinks;
