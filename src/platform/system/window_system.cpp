#include "platform/system/window_system.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/device_output.h"
#include "platform/gfx/gfx_links.h"
#include "platform/gfx/gl_dialect.h"
#include "platform/input/gamepad.h"
#include "platform/input/input_events.h"
#include "platform/input/input_links.h"
#include "platform/input/sdl_key_map.h"
#include "platform/window/window.h"
#include "platform/window/window_events.h"
#include "platform/window/window_links.h"

#include <cstdint>

namespace {

void ConnectPlatformParts() {
    g_windowLinks.prepareGraphicsContext = [] { RequestGlContext(false); };
    g_windowLinks.inputEvent = HandleInputEvent;
    g_windowLinks.keyCode = DirectInputKeyFromScancode;
    g_windowLinks.gamepadButtonKey = GamepadButtonKey;
    g_windowLinks.focusLost = ClearInputLatches;
    g_windowLinks.audioDeviceRemoved = [](std::uint32_t device) {
        if (IsAudioOutputDevice(device))
            HandleAudioDeviceRemoved();
    };
    g_windowLinks.audioDeviceAdded = [] { RestoreAudioOutput(); };

    g_inputWindow.hasWindow = [] { return GetMainWindowHandle() != nullptr; };
    g_inputWindow.isFocused = IsWindowFocused;
    g_inputWindow.outerPosition = GetWindowOuterPosition;
    g_inputWindow.geometry = GetWindowGeometry;
    g_inputWindow.postQuit = PostQuitEvent;

    g_gfxWindow.geometry = GetWindowGeometry;
}

} // namespace

bool InitWindowSystem() {
    ConnectPlatformParts();
    if (!OpenWindowDisplay())
        return false;
    OpenGamepadSupport();
    return true;
}

void QuitWindowSystem() {
    CloseGamepadSupport();
    CloseWindowDisplay();
}
