// tavelle-play: runs the real game frame by frame with no display, from an input
// script, on a virtual clock, and writes screenshots, state files and audio.
#include "input_script.h"
#include "monkey.h"
#include "play_options.h"
#include "run_stats.h"
#include "script_events.h"
#include "state_json.h"

#include "app/game_main.h"
#include "app/main_loop.h"
#include "app/save_game.h"
#include "app/settings.h"
#include "app/settings_overlay.h"
#include "app/unpacked_folder.h"
#include "core/frame_clock.h"
#include "platform/audio/audio_output.h"
#include "platform/audio/pumped_output.h"
#include "platform/audio/sound_format.h"
#include "platform/clock/clock.h"
#include "platform/files/host_files.h"
#include "platform/frame_fit.h"
#include "platform/gfx/device.h"
#include "platform/gfx/png_writer.h"
#include "platform/input/input_devices.h"
#include "platform/window/message_box.h"
#include "platform/window/window_events.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Input scripts are small; a larger file is refused unread.
constexpr std::size_t MAX_INPUT_SCRIPT_BYTES = 16u << 20;

int Fail(const std::string& message) {
    std::fprintf(stderr, "tavelle-play: %s\n", message.c_str());
    return 2;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/')
        return path;
    const std::string folder = HostCurrentFolder();
    return folder.empty() ? path : folder + "/" + path;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    return WriteHostFile(path, text.data(), text.size());
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
    PlayOptions options;
    const std::string error = ParsePlayOptions(argc, argv, &options);
    if (!error.empty()) {
        std::fprintf(stderr, "tavelle-play: %s\n\n%s", error.c_str(), PLAY_USAGE);
        return 2;
    }
    if (options.help) {
        std::fputs(PLAY_USAGE, stdout);
        return 0;
    }

    std::vector<ScriptEvent> events;
    if (!options.inputPath.empty()) {
        std::vector<std::uint8_t> text;
        if (!ReadHostFile(options.inputPath, MAX_INPUT_SCRIPT_BYTES, &text))
            return Fail("cannot read input file " + options.inputPath + ": " +
                        std::strerror(errno));
        std::string why;
        if (!ParseInputScript(std::string(text.begin(), text.end()), &events, &why))
            return Fail(options.inputPath + ": " + why);
    }
    // Output paths are taken relative to where the driver was started, not the data folder.
    for (auto* paths : {&options.shots, &options.states})
        for (auto& [frame, path] : *paths)
            path = AbsolutePath(path);
    options.audioOut = AbsolutePath(options.audioOut);
    SetSaveRootFolder(AbsolutePath(options.saveDir));
    SetSettingsFolder(AbsolutePath(options.configDir), !options.configDir.empty());
    LoadSettings();
    LaunchOptions launch;
    SettingsToLaunchOptions(g_settings, &launch);
    launch.fullscreen = false; // the offscreen window has no display to fill
    ApplyLaunchOptions(launch);
    ApplyTextSettings(g_settings);
    InitSettingsOverlay(launch);
    for (ScriptEvent& event : events)
        event.from = event.from.empty() ? event.from : AbsolutePath(event.from);
    options.statsPath = AbsolutePath(options.statsPath);

    if (options.unpacked) {
        const std::string why = EnterUnpackedGameFolder(options.dataDir.c_str());
        if (!why.empty())
            return Fail(why);
    } else if (std::string why; !EnterHostFolder(options.dataDir, &why)) {
        return Fail("cannot enter data folder " + options.dataDir + ": " + why);
    }

    SetHostEnvironment("SDL_VIDEODRIVER", "offscreen");
    // A signal from outside (a time-out, Ctrl+C) ends the driver as it ends any program.
    // SDL would turn it into a quit of the game, and the cut-short run would exit 0 with
    // its report, as if the game had ended it.
    SetHostEnvironment("SDL_NO_SIGNAL_HANDLERS", "1");
    SetMessageBoxHeadless(true);
    SetInputInjection(true);
    ChooseAudioOutput(GetPumpedOutput());
    SetPumpedOutputDeviceAbsent(options.noAudioDevice);
    EnableMixerCapture(!options.audioOut.empty());
    SetPerformanceCounterOverride(true, 0);
    GfxDeviceSetup device;
    device.floatTargets = !options.refuseFloatTargets;
    device.secondColourTarget = !options.refuseSecondTarget;
    device.rasterizeUncapturedFrames = !options.drawOnlyShots;
    SetGfxDeviceSetup(device);

    const double frequency = static_cast<double>(QueryPerformanceFrequencyTicks());
    auto setClock = [&](long frame) {
        const double seconds = 1000.0 + static_cast<double>(frame) / options.fps;
        SetPerformanceCounterOverride(
            true, static_cast<std::uint64_t>(std::llround(seconds * frequency)));
    };
    setClock(0);

    if (!StartupGame()) {
        std::fprintf(stderr, "tavelle-play: the game could not start\n");
        ShutdownGame();
        return 1;
    }

    const int audioFramesPerFrame = static_cast<int>(std::lround(double(MIXER_RATE) / options.fps));
    std::size_t nextEvent = 0;
    long frame = 0;
    int driverFailure = 0;
    if (options.monkey)
        StartMonkey(options.monkeySeed, static_cast<int>(options.monkeyRate),
                    static_cast<int>(options.monkeyReloads));
    std::vector<ScriptEvent> monkeyEvents;
    for (; frame < options.frames && !IsQuitRequested(); ++frame) {
        setClock(frame);
        while (nextEvent < events.size() && events[nextEvent].frame <= frame) {
            if (!ApplyScriptEvent(events[nextEvent++]))
                driverFailure = 1;
        }
        if (options.monkey && frame >= options.monkeyFrom) {
            monkeyEvents.clear();
            AddMonkeyEvents(frame, &monkeyEvents);
            for (const ScriptEvent& event : monkeyEvents)
                ApplyScriptEvent(event);
        }
        PumpWindowEvents();
        if (IsQuitRequested())
            break;
        // Only the frames written as shots are read back (the read waits for the GPU);
        // with --draw shots only they are rasterised.
        const bool shot = options.shots.count(frame) > 0;
        SetPresentCapture(shot);
        bool presented = false;
        const bool runs = g_windowActive == 1;
        BeginStatsFrame();
        if (runs) {
            presented = RunFrame() == 1;
        }
        PumpMixer(audioFramesPerFrame);
        if (runs)
            EndStatsFrame();
        else
            CountSkippedFrame();
        if (options.statsEvery > 0 && (frame + 1) % options.statsEvery == 0) {
            std::printf("frame %ld: resident %llu KiB, heap in use %llu KiB, reloads %ld, heap "
                        "allocations (operator new) %llu\n",
                        frame + 1, static_cast<unsigned long long>(GetResidentBytes() / 1024),
                        static_cast<unsigned long long>(GetHeapBytesInUse() / 1024),
                        GetReloadCount(), static_cast<unsigned long long>(GetFrameAllocations()));
            std::fflush(stdout);
        }

        auto shots = options.shots.equal_range(frame);
        for (auto it = shots.first; it != shots.second; ++it) {
            if (!presented) {
                std::fprintf(stderr, "tavelle-play: frame %ld presented nothing; no shot %s\n",
                             frame, it->second.c_str());
                driverFailure = 1;
            } else if (!WritePng(it->second, GetCapturedFrame(), GAME_FRAME_WIDTH,
                                 GAME_FRAME_HEIGHT)) {
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
    const bool report = options.monkey || !options.statsPath.empty() || options.statsEvery > 0;
    if (report)
        std::fputs(StatsReportText(frame).c_str(), stdout);
    if (!options.statsPath.empty() && !WriteTextFile(options.statsPath, StatsReportJson(frame))) {
        std::fprintf(stderr, "tavelle-play: cannot write %s\n", options.statsPath.c_str());
        driverFailure = 1;
    }
    // Leaving by Escape or the window's close saves as the game does; running out of
    // frames is the driver's end, not the player's.
    if (IsQuitRequested())
        WriteAutomaticSave();
    ShutdownGame();
    return driverFailure ? 1 : 0;
}
