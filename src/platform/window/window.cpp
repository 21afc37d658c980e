#include "platform/window/window.h"

#include "platform/audio/mixer.h"
#include "platform/input/sdl_key_map.h"

#include <SDL.h>

namespace {

SDL_Window* s_window = nullptr;
// The offscreen driver has no window manager: its window never gets the focus
// events a desktop sends, so it counts as focused.
bool s_focused = false;
bool s_counterOverridden = false;
std::uint64_t s_counterOverride = 0;

WindowEvent TranslateEvent(const SDL_Event& event) {
    WindowEvent out{WINDOW_EVENT_NONE, 0};
    switch (event.type) {
    case SDL_QUIT:
        out.type = WINDOW_EVENT_QUIT;
        break;
    case SDL_KEYDOWN:
        out.type = WINDOW_EVENT_KEYDOWN;
        out.key = DirectInputKeyFromScancode(event.key.keysym.scancode);
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

} // namespace

bool InitWindowSystem() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
}

void QuitWindowSystem() {
    DestroyPlatformWindow();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

bool CreatePlatformWindow(const char* title, int clientWidth, int clientHeight) {
    if (s_window)
        return true;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    s_window = SDL_CreateWindow(title, 0, 0, clientWidth, clientHeight,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!s_window)
        return false;
    SDL_SetWindowResizable(s_window, SDL_FALSE);

    // The client area sits at the top-left; move it so that the whole frame does.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(s_window, &top, &left, &bottom, &right) == 0)
        SDL_SetWindowPosition(s_window, left, top);

    SDL_ShowCursor(SDL_DISABLE);
    s_focused = IsOffscreenDriver() || (SDL_GetWindowFlags(s_window) & SDL_WINDOW_INPUT_FOCUS);
    return true;
}

void DestroyPlatformWindow() {
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

void MinimizePlatformWindow() {
    if (s_window)
        SDL_MinimizeWindow(s_window);
}

void RestorePlatformWindow() {
    if (s_window)
        SDL_RestoreWindow(s_window);
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
