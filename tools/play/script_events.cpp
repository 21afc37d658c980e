#include "script_events.h"

#include "ground_aim.h"

#include "app/game_main.h"
#include "platform/audio/audio_output.h"
#include "platform/audio/pumped_output.h"
#include "platform/files/host_files.h"
#include "platform/input/input_devices.h"
#include "platform/window/window_events.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The save files a script copies are small; a larger file is refused unread.
constexpr std::size_t MAX_COPIED_FILE_BYTES = 64u << 20;

// Copies the file over whatever is at to; false, with why in *error, when it fails.
bool CopyFile(const std::string& from, const std::string& to, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadHostFile(from, MAX_COPIED_FILE_BYTES, &bytes)) {
        *error = std::strerror(errno);
        return false;
    }
    if (!WriteHostFile(to, bytes.data(), bytes.size())) {
        *error = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

bool ApplyScriptEvent(const ScriptEvent& event) {
    switch (event.type) {
    case SCRIPT_MOVE:
        InjectCursorPosition(event.x, event.y);
        break;
    case SCRIPT_AIM_DOWN: {
        int x = 0, y = 0;
        if (!AimAtGroundPoint(event.groundX, event.groundZ, &x, &y)) {
            std::fprintf(stderr,
                         "tavelle-play: frame %ld: the ground point %g, %g is not on the screen\n",
                         event.frame, event.groundX, event.groundZ);
            return false;
        }
        InjectCursorPosition(x, y);
        InjectMouseButton(0, true);
        break;
    }
    case SCRIPT_DOWN:
    case SCRIPT_UP:
        InjectMouseButton(event.button, event.type == SCRIPT_DOWN);
        break;
    case SCRIPT_KEY_DOWN:
        InjectKey(event.key, true);
        HandleWindowEvent(WindowEvent{WINDOW_EVENT_KEYDOWN, event.key});
        break;
    case SCRIPT_KEY_UP:
        InjectKey(event.key, false);
        break;
    case SCRIPT_WHEEL:
        InjectMouseWheel(event.x);
        break;
    case SCRIPT_MINIMIZE:
        HandleWindowEvent(WindowEvent{WINDOW_EVENT_MINIMIZED, 0});
        break;
    case SCRIPT_RESTORE:
        HandleWindowEvent(WindowEvent{WINDOW_EVENT_RESTORED, 0});
        break;
    case SCRIPT_COPY: {
        std::string error;
        if (!CopyFile(event.from, event.to, &error)) {
            std::fprintf(stderr, "tavelle-play: frame %ld: cannot copy %s to %s: %s\n", event.frame,
                         event.from.c_str(), event.to.c_str(), error.c_str());
            return false;
        }
        break;
    }
    case SCRIPT_FOCUS_LOST:
        HandleWindowEvent(WindowEvent{WINDOW_EVENT_FOCUS_LOST, 0});
        break;
    case SCRIPT_FOCUS_GAINED:
        HandleWindowEvent(WindowEvent{WINDOW_EVENT_FOCUS_GAINED, 0});
        break;
    case SCRIPT_AUDIO_LOST:
        HandleAudioDeviceRemoved();
        break;
    case SCRIPT_AUDIO_BACK:
        SetPumpedOutputDeviceAbsent(false);
        RestoreAudioOutput();
        break;
    case SCRIPT_CLOSE:
        PostQuitEvent();
        break;
    }
    return true;
}
