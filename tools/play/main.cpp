// tavelle-play: runs the real game frame by frame with no display, from an input
// script, on a virtual clock, and writes screenshots, state files and audio.
#include "input_script.h"
#include "state_json.h"

#include "app/game_main.h"
#include "app/main_loop.h"
#include "platform/audio/mixer.h"
#include "platform/gfx/device.h"
#include "platform/gfx/png_writer.h"
#include "platform/input/input_devices.h"
#include "platform/window/message_box.h"
#include "platform/window/window.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char USAGE[] =
    "usage: tavelle-play [--data DIR] [--frames N] [--fps F] [--input FILE]\n"
    "                    [--shot K:PATH.png]... [--state K:PATH.json]... [--audio-out PATH.wav]\n"
    "\n"
    "Runs the game in DIR (default: the current directory) for N frames (default 600)\n"
    "with no display. Frame K samples the time 1000 + K/F seconds (F defaults to 60).\n"
    "  --input FILE       one event per line: 'K move X Y', 'K down [left|right|middle]',\n"
    "                     'K up [button]', 'K click X Y', 'K key F1|ESCAPE', 'K minimize',\n"
    "                     'K restore'; '#' starts a comment\n"
    "  --shot K:PATH      write the frame that frame K presented as a 1024x768 PNG\n"
    "  --state K:PATH     write the game state after frame K as JSON\n"
    "  --audio-out PATH   write everything the mixer produced as a 44100 Hz stereo WAV\n"
    "Exits 0 after N frames or when the game quits; non-zero only when the driver fails.\n";

struct Options {
    std::string dataDir = ".";
    long frames = 600;
    double fps = 60.0;
    std::string inputPath;
    std::multimap<long, std::string> shots;
    std::multimap<long, std::string> states;
    std::string audioOut;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "tavelle-play: %s\n", message.c_str());
    return 2;
}

bool ParseFramePath(const char* arg, std::multimap<long, std::string>* out) {
    const char* colon = std::strchr(arg, ':');
    if (!colon || colon == arg || colon[1] == '\0')
        return false;
    char* end = nullptr;
    const long frame = std::strtol(arg, &end, 10);
    if (end != colon || frame < 0)
        return false;
    out->emplace(frame, std::string(colon + 1));
    return true;
}

// Returns an empty string on success, else what was wrong.
std::string ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(USAGE, stdout);
            std::exit(0);
        }
        if (!hasValue)
            return "missing value after " + arg;
        const char* value = argv[++i];
        char* end = nullptr;
        if (arg == "--data") {
            options->dataDir = value;
        } else if (arg == "--frames") {
            options->frames = std::strtol(value, &end, 10);
            if (*end != '\0' || options->frames < 0)
                return "--frames needs a count of frames, got '" + std::string(value) + "'";
        } else if (arg == "--fps") {
            options->fps = std::strtod(value, &end);
            if (*end != '\0' || !(options->fps > 0.0) || !std::isfinite(options->fps))
                return "--fps needs a positive number, got '" + std::string(value) + "'";
        } else if (arg == "--input") {
            options->inputPath = value;
        } else if (arg == "--shot") {
            if (!ParseFramePath(value, &options->shots))
                return "--shot needs K:PATH, got '" + std::string(value) + "'";
        } else if (arg == "--state") {
            if (!ParseFramePath(value, &options->states))
                return "--state needs K:PATH, got '" + std::string(value) + "'";
        } else if (arg == "--audio-out") {
            options->audioOut = value;
        } else {
            return "unknown option " + arg;
        }
    }
    return "";
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/')
        return path;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

void ApplyEvent(const ScriptEvent& event) {
    switch (event.type) {
    case SCRIPT_MOVE:
        InjectCursorPosition(event.x, event.y);
        break;
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
    case SCRIPT_MINIMIZE:
        HandleWindowEvent(WindowEvent{WINDOW_EVENT_MINIMIZED, 0});
        break;
    case SCRIPT_RESTORE:
        HandleWindowEvent(WindowEvent{WINDOW_EVENT_RESTORED, 0});
        break;
    }
}

// The offscreen window never changes by itself, but SDL still queues its own
// events (shown, exposed); they go through the window procedure as the loop's would.
void PumpWindowEvents() {
    while (PeekWindowEvent()) {
        const WindowEvent event = GetWindowEvent();
        if (event.type != WINDOW_EVENT_MINIMIZED && event.type != WINDOW_EVENT_RESTORED)
            HandleWindowEvent(event);
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    const std::string error = ParseOptions(argc, argv, &options);
    if (!error.empty()) {
        std::fprintf(stderr, "tavelle-play: %s\n\n%s", error.c_str(), USAGE);
        return 2;
    }

    std::vector<ScriptEvent> events;
    if (!options.inputPath.empty()) {
        std::ifstream in(options.inputPath, std::ios::binary);
        if (!in)
            return Fail("cannot read input file " + options.inputPath + ": " +
                        std::strerror(errno));
        std::stringstream text;
        text << in.rdbuf();
        std::string why;
        if (!ParseInputScript(text.str(), &events, &why))
            return Fail(options.inputPath + ": " + why);
    }
    // Output paths are taken relative to where the driver was started, not the data folder.
    for (auto* paths : {&options.shots, &options.states})
        for (auto& [frame, path] : *paths)
            path = AbsolutePath(path);
    options.audioOut = AbsolutePath(options.audioOut);

    if (chdir(options.dataDir.c_str()) != 0)
        return Fail("cannot enter data folder " + options.dataDir + ": " + std::strerror(errno));

    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SetMessageBoxHeadless(true);
    SetInputInjection(true);
    SetMixerManualPump(true);
    EnableMixerCapture(!options.audioOut.empty());
    SetPerformanceCounterOverride(true, 0);

    const double frequency = static_cast<double>(QueryPerformanceFrequencyTicks());
    auto setClock = [&](long frame) {
        const double seconds = 1000.0 + static_cast<double>(frame) / options.fps;
        SetPerformanceCounterOverride(
            true, static_cast<std::uint64_t>(std::llround(seconds * frequency)));
    };
    setClock(0);

    if (!StartupGame()) {
        std::fprintf(stderr, "tavelle-play: the game could not start\n");
        return 0;
    }
    SetPresentCapture(!options.shots.empty());

    const int audioFramesPerFrame = static_cast<int>(std::lround(44100.0 / options.fps));
    std::size_t nextEvent = 0;
    long frame = 0;
    int driverFailure = 0;
    for (; frame < options.frames && !IsQuitRequested(); ++frame) {
        setClock(frame);
        while (nextEvent < events.size() && events[nextEvent].frame <= frame)
            ApplyEvent(events[nextEvent++]);
        PumpWindowEvents();
        if (IsQuitRequested())
            break;
        bool presented = false;
        if (g_windowActive == 1) {
            presented = RunFrame() == 1;
        }
        PumpMixer(audioFramesPerFrame);

        auto shots = options.shots.equal_range(frame);
        for (auto it = shots.first; it != shots.second; ++it) {
            if (!presented) {
                std::fprintf(stderr, "tavelle-play: frame %ld presented nothing; no shot %s\n",
                             frame, it->second.c_str());
                driverFailure = 1;
            } else if (!WritePng(it->second, GetCapturedFrame(), 1024, 768)) {
                std::fprintf(stderr, "tavelle-play: cannot write %s\n", it->second.c_str());
                driverFailure = 1;
            }
        }
        auto states = options.states.equal_range(frame);
        for (auto it = states.first; it != states.second; ++it) {
            if (!WriteTextFile(it->second, GameStateJson(frame))) {
                std::fprintf(stderr, "tavelle-play: cannot write %s\n", it->second.c_str());
                driverFailure = 1;
            }
        }
    }

    if (!options.audioOut.empty() && !WriteMixerCaptureWav(options.audioOut.c_str())) {
        std::fprintf(stderr, "tavelle-play: cannot write %s\n", options.audioOut.c_str());
        driverFailure = 1;
    }
    ShutdownGame();
    return driverFailure ? 1 : 0;
}
