#include "platform/window/window_events.h"

#include "platform/window/window.h"
#include "platform/window/window_links.h"

#include <SDL.h>

namespace {

// Keys that belong to the program around the game: they never reach its window
// procedure. true when the key was one of them.
bool HandleDesktopKey(const SDL_KeyboardEvent& key, WindowEvent* out) {
    const SDL_Scancode code = key.keysym.scancode;
    if (code == SDL_SCANCODE_F11 ||
        ((code == SDL_SCANCODE_RETURN || code == SDL_SCANCODE_KP_ENTER) &&
         (key.keysym.mod & KMOD_ALT))) {
        if (!key.repeat)
            ToggleWindowFullscreen();
        return true;
    }
    if (code == SDL_SCANCODE_F12) {
        if (!key.repeat)
            out->type = WINDOW_EVENT_SCREENSHOT;
        return true;
    }
    return false;
}

WindowEvent TranslateEvent(const SDL_Event& event) {
    WindowEvent out{WINDOW_EVENT_NONE, 0};
    switch (event.type) {
    case SDL_QUIT:
        out.type = WINDOW_EVENT_QUIT;
        break;
    case SDL_KEYDOWN:
        g_windowLinks.inputEvent(event);
        if (HandleDesktopKey(event.key, &out))
            break;
        out.type = WINDOW_EVENT_KEYDOWN;
        out.key = g_windowLinks.keyCode(event.key.keysym.scancode);
        out.repeat = event.key.repeat != 0;
        break;
    case SDL_CONTROLLERBUTTONDOWN:
        g_windowLinks.inputEvent(event);
        out.key = g_windowLinks.gamepadButtonKey(event.cbutton.button);
        if (out.key)
            out.type = WINDOW_EVENT_KEYDOWN;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEWHEEL:
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONUP:
        g_windowLinks.inputEvent(event);
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            out.type = WINDOW_EVENT_QUIT;
            break;
        case SDL_WINDOWEVENT_MOVED:
            out.type = WINDOW_EVENT_MOVE;
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            out.type = WINDOW_EVENT_MINIMIZED;
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            out.type = WINDOW_EVENT_RESTORED;
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            NoteWindowFocus(true);
            out.type = WINDOW_EVENT_FOCUS_GAINED;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            NoteWindowFocus(false);
            g_windowLinks.focusLost();
            out.type = WINDOW_EVENT_FOCUS_LOST;
            break;
        default:
            break;
        }
        break;
    // Audio devices coming and going concern the mixer alone; the game goes on.
    case SDL_AUDIODEVICEREMOVED:
        if (!event.adevice.iscapture)
            g_windowLinks.audioDeviceRemoved(event.adevice.which);
        break;
    case SDL_AUDIODEVICEADDED:
        if (!event.adevice.iscapture)
            g_windowLinks.audioDeviceAdded();
        break;
    default:
        break;
    }
    return out;
}

} // namespace

bool PeekWindowEvent() {
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
}

WindowEvent GetWindowEvent() {
    SDL_Event event;
    if (SDL_WaitEvent(&event) == 0)
        return {WINDOW_EVENT_NONE, 0};
    return TranslateEvent(event);
}

void WaitWindowEvent() {
    SDL_WaitEventTimeout(nullptr, 100);
}

void PostQuitEvent() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}
