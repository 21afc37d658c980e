#include "platform/window/window.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/device_output.h"
#include "platform/gfx/gl_dialect.h"
#include "platform/input/gamepad.h"
#include "platform/input/input_events.h"
#include "platform/input/sdl_key_map.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#ifdef TAVELLE_SANITIZED
#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>
#endif

namespace {

SDL_Window* s_window = nullptr;
// The offscreen driver has no window manager: its window never gets the focus
// events a desktop sends, so it counts as focused.
bool s_focused = false;
bool s_counterOverridden = false;
std::uint64_t s_counterOverride = 0;
bool s_startFullscreen = false;
FrameScaleMode s_scaleMode = FRAME_SCALE_LINEAR;
bool s_fullscreenRefusalTold = false;
// How long, in steps of 10 ms, a new window waits to learn its frame's size.
constexpr int BORDER_WAIT_TRIES = 30;

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
        HandleInputEvent(event);
        if (HandleDesktopKey(event.key, &out))
            break;
        out.type = WINDOW_EVENT_KEYDOWN;
        out.key = DirectInputKeyFromScancode(event.key.keysym.scancode);
        out.repeat = event.key.repeat != 0;
        break;
    case SDL_CONTROLLERBUTTONDOWN:
        HandleInputEvent(event);
        out.key = GamepadButtonKey(event.cbutton.button);
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
        HandleInputEvent(event);
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
            s_focused = true;
            out.type = WINDOW_EVENT_FOCUS_GAINED;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            s_focused = false;
            ClearInputLatches();
            out.type = WINDOW_EVENT_FOCUS_LOST;
            break;
        default:
            break;
        }
        break;
    // Audio devices coming and going concern the mixer alone; the game goes on.
    case SDL_AUDIODEVICEREMOVED:
        if (!event.adevice.iscapture && IsAudioOutputDevice(event.adevice.which))
            HandleAudioDeviceRemoved();
        break;
    case SDL_AUDIODEVICEADDED:
        if (!event.adevice.iscapture)
            RestoreAudioOutput();
        break;
    default:
        break;
    }
    return out;
}

bool IsOffscreenDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
}

// The invisible drivers run only when asked for by name.
bool InvisibleDriverRequested() {
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    return requested &&
           (SDL_strcasecmp(requested, "offscreen") == 0 || SDL_strcasecmp(requested, "dummy") == 0);
}

void PlaceWindowOnDesktop(int clientWidth, int clientHeight) {
    SDL_Rect usable{0, 0, clientWidth, clientHeight};
    if (SDL_GetDisplayUsableBounds(SDL_GetWindowDisplayIndex(s_window), &usable) != 0)
        return;
    // The window manager tells the frame's size only once it has framed the window,
    // a moment after it is shown; with no window manager there is no frame at all.
    int top = 0, left = 0, bottom = 0, right = 0;
    for (int tries = 0; tries < BORDER_WAIT_TRIES; ++tries) {
        SDL_PumpEvents();
        if (SDL_GetWindowBordersSize(s_window, &top, &left, &bottom, &right) == 0 && top > 0)
            break;
        SDL_Delay(10);
    }
    int width = clientWidth, height = clientHeight;
    InitialWindowSize(usable.w - left - right, usable.h - top - bottom, &width, &height);
    SDL_SetWindowSize(s_window, width, height);
    SDL_SetWindowPosition(s_window, usable.x + left, usable.y + top);
}

} // namespace

bool InitWindowSystem() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    // With no display named and no driver asked for, probing SDL's drivers only adds
    // their own complaints to the one line the player gets.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (!driver || !driver[0]) {
        const char* x11 = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        const bool hasX11 = x11 && x11[0], hasWayland = wayland && wayland[0];
        if (!hasX11 && !hasWayland)
            return false;
        // Only the window systems named in the environment are tried, X11 first as
        // SDL itself prefers it.
        SDL_SetHint(SDL_HINT_VIDEODRIVER,
                    hasX11 && hasWayland ? "x11,wayland" : (hasX11 ? "x11" : "wayland"));
    }
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0)
        return false;
    if (IsOffscreenDriver() && !InvisibleDriverRequested()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
        return false;
    }
    // Without gamepad support the game still runs on mouse and keyboard.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    return true;
}

void QuitWindowSystem() {
    DestroyPlatformWindow();
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) {
        CloseGamepads();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

void SetWindowLaunchChoices(bool fullscreen, FrameScaleMode mode) {
    s_startFullscreen = fullscreen;
    s_scaleMode = mode;
}

bool CreatePlatformWindow(const char* title, int clientWidth, int clientHeight) {
    if (s_window)
        return true;
    RequestGlContext(false);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    s_window = SDL_CreateWindow(title, 0, 0, clientWidth, clientHeight,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!s_window)
        return false;
    if (IsOffscreenDriver()) {
        SDL_SetWindowResizable(s_window, SDL_FALSE);
    } else {
        SDL_SetWindowResizable(s_window, SDL_TRUE);
        SDL_SetWindowMinimumSize(s_window, clientWidth / 4, clientHeight / 4);
        PlaceWindowOnDesktop(clientWidth, clientHeight);
        if (s_startFullscreen)
            ToggleWindowFullscreen();
    }

    SDL_ShowCursor(SDL_DISABLE);
    s_focused = IsOffscreenDriver() || (SDL_GetWindowFlags(s_window) & SDL_WINDOW_INPUT_FOCUS);
    return true;
}

#ifdef TAVELLE_SANITIZED
namespace {
// Closing an X display unloads Mesa's driver, and the leak report that comes at exit
// could then no longer tell its leaks (suppressed by library name) from ours.
void KeepGraphicsDriversLoaded() {
    std::vector<std::string> drivers;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            const std::string name = info->dlpi_name ? info->dlpi_name : "";
            if (name.size() > 7 && name.compare(name.size() - 7, 7, "_dri.so") == 0)
                static_cast<std::vector<std::string>*>(found)->push_back(name);
            return 0;
        },
        &drivers);
    for (const std::string& driver : drivers)
        dlopen(driver.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
} // namespace
#endif

void DestroyPlatformWindow() {
#ifdef TAVELLE_SANITIZED
    KeepGraphicsDriversLoaded();
#endif
    if (s_window) {
        SDL_DestroyWindow(s_window);
        s_window = nullptr;
    }
}

void* GetMainWindowHandle() {
    return s_window;
}

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

void GetWindowOuterPosition(int* x, int* y) {
    int cx = 0, cy = 0;
    if (s_window) {
        SDL_GetWindowPosition(s_window, &cx, &cy);
        int top = 0, left = 0;
        if (SDL_GetWindowBordersSize(s_window, &top, &left, nullptr, nullptr) == 0) {
            cx -= left;
            cy -= top;
        }
    }
    *x = cx;
    *y = cy;
}

bool IsWindowFocused() {
    return s_window && s_focused;
}

void ToggleWindowFullscreen() {
    if (!s_window)
        return;
    const bool wanted = !IsWindowFullscreen();
    if (SDL_SetWindowFullscreen(s_window, wanted ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0 &&
        wanted) {
        if (!s_fullscreenRefusalTold)
            std::fprintf(stderr,
                         "tavelle: the display refused fullscreen; staying in a window (%s)\n",
                         SDL_GetError());
        s_fullscreenRefusalTold = true;
        SDL_SetWindowFullscreen(s_window, 0);
    }
}

bool IsWindowFullscreen() {
    return s_window && (SDL_GetWindowFlags(s_window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

WindowGeometry GetWindowGeometry() {
    WindowGeometry geometry{GAME_FRAME_WIDTH, GAME_FRAME_HEIGHT, GAME_FRAME_WIDTH,
                            GAME_FRAME_HEIGHT, s_scaleMode};
    if (s_window) {
        SDL_GetWindowSize(s_window, &geometry.windowWidth, &geometry.windowHeight);
        SDL_GL_GetDrawableSize(s_window, &geometry.drawableWidth, &geometry.drawableHeight);
    }
    return geometry;
}

std::uint64_t QueryPerformanceCounterTicks() {
    return s_counterOverridden ? s_counterOverride : SDL_GetPerformanceCounter();
}

void SetPerformanceCounterOverride(bool on, std::uint64_t ticks) {
    s_counterOverridden = on;
    s_counterOverride = ticks;
}

std::uint64_t QueryPerformanceFrequencyTicks() {
    return SDL_GetPerformanceFrequency();
}

std::uint32_t GetTickMilliseconds() {
    return SDL_GetTicks();
}

void SleepMilliseconds(int ms) {
    SDL_Delay(static_cast<Uint32>(ms));
}

void SleepUntilCounter(std::uint64_t deadline) {
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    // The system's sleep may overshoot by about a millisecond; the rest is yielded away.
    const std::uint64_t margin = frequency / 1000;
    for (;;) {
        const std::uint64_t now = SDL_GetPerformanceCounter();
        if (now >= deadline)
            return;
        const std::uint64_t left = deadline - now;
        if (left > margin)
            SDL_Delay(static_cast<Uint32>((left - margin) * 1000 / frequency));
        else
            SDL_Delay(0);
    }
}
