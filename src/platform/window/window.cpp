#include "platform/window/window.h"

#include "platform/files/host_files.h"
#include "platform/window/window_links.h"

#include <SDL.h>

#include <cstdio>
#include <string>

#ifdef TAVELLE_SANITIZED
#include <dlfcn.h>
#include <link.h>

#include <vector>
#endif

namespace {

SDL_Window* s_window = nullptr;
// The offscreen driver has no window manager: its window never gets the focus
// events a desktop sends, so it counts as focused.
bool s_focused = false;
bool s_startFullscreen = false;
FrameScaleMode s_scaleMode = FRAME_SCALE_LINEAR;
bool s_fullscreenRefusalTold = false;
// How long, in steps of 10 ms, a new window waits to learn its frame's size.
constexpr int BORDER_WAIT_TRIES = 30;

bool IsOffscreenDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
}

// The invisible drivers run only when asked for by name.
bool InvisibleDriverRequested() {
    const std::string requested = HostEnvironment("SDL_VIDEODRIVER");
    return SDL_strcasecmp(requested.c_str(), "offscreen") == 0 ||
           SDL_strcasecmp(requested.c_str(), "dummy") == 0;
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

bool OpenWindowDisplay() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    // With no display named and no driver asked for, probing SDL's drivers only adds
    // their own complaints to the one line the player gets.
    if (HostEnvironment("SDL_VIDEODRIVER").empty()) {
        const bool hasX11 = !HostEnvironment("DISPLAY").empty();
        const bool hasWayland = !HostEnvironment("WAYLAND_DISPLAY").empty();
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
    return true;
}

void CloseWindowDisplay() {
    DestroyPlatformWindow();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

void SetWindowLaunchChoices(bool fullscreen, FrameScaleMode mode) {
    s_startFullscreen = fullscreen;
    s_scaleMode = mode;
}

bool CreatePlatformWindow(const char* title, int clientWidth, int clientHeight) {
    if (s_window)
        return true;
    g_windowLinks.prepareGraphicsContext();
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

void NoteWindowFocus(bool focused) {
    s_focused = focused;
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
    WindowGeometry geometry = WindowlessGeometry(s_scaleMode);
    if (s_window) {
        SDL_GetWindowSize(s_window, &geometry.windowWidth, &geometry.windowHeight);
        SDL_GL_GetDrawableSize(s_window, &geometry.drawableWidth, &geometry.drawableHeight);
    }
    return geometry;
}
