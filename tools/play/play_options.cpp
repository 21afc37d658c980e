#include "play_options.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char PLAY_USAGE[] =
    "usage: tavelle-play [--data DIR | --unpacked DIR] [--frames N] [--fps F] [--input FILE]\n"
    "                    [--shot K:PATH.png]... [--state K:PATH.json]... [--audio-out PATH.wav]\n"
    "                    [--monkey SEED [--monkey-rate N] [--monkey-f1 M] [--monkey-from K]]\n"
    "                    [--stats PATH] [--stats-every N] [--draw all|shots]\n"
    "                    [--audio-device present|absent]\n"
    "                    [--refuse float-targets|second-target]... [--save-dir DIR]\n"
    "                    [--config-dir DIR]\n"
    "\n"
    "Runs the game in DIR (default: the current directory) for N frames (default 600)\n"
    "with no display. Frame K samples the time 1000 + K/F seconds (F defaults to 60).\n"
    "  --unpacked DIR     run in DIR and take every archive file from the files below it\n"
    "                     instead of ZRN.dat (a folder without ZRN.dat but with\n"
    "                     Scenario/fileNameList.txt is played unpacked anyway)\n"
    "  --input FILE       one event per line: 'K move X Y', 'K down [left|right|middle]',\n"
    "                     'K up [button]', 'K click X Y', 'K clickat X Z' (a click where\n"
    "                     the field picks the ground point X, Z), 'K key NAME' (F1, ESCAPE,\n"
    "                     F5 save, F9 load, ...; 'K keydown NAME' and 'K keyup NAME' hold\n"
    "                     it over frames), 'K minimize', 'K restore', 'K copy FROM TO' (FROM from "
    "where the driver\n"
    "                     started, over TO in the game folder: an edit saved at frame K);\n"
    "                     '#' starts a comment\n"
    "  --shot K:PATH      write the frame that frame K presented as a 1024x768 PNG\n"
    "  --state K:PATH     write the game state after frame K as JSON\n"
    "  --audio-out PATH   write everything the mixer produced as a 44100 Hz stereo WAV\n"
    "  --save-dir DIR     keep the saves in DIR/<game>/ instead of the player's\n"
    "                     $XDG_DATA_HOME/tavelle/saves/<game>/\n"
    "  --config-dir DIR   read and write the settings (F10) in DIR/settings.ini; without it\n"
    "                     no settings file is used and the defaults hold\n"
    "  --monkey SEED      random clicks, drags, F1, minimise/restore and focus changes,\n"
    "                     the same for the same seed; never Escape. With --input, both apply\n"
    "  --monkey-rate N    chance in percent that an idle frame starts an action (default 10)\n"
    "  --monkey-f1 M      share of the actions, per thousand, that press F1 (default 3)\n"
    "  --monkey-from K    the monkey starts at frame K, after an --input opening (default 0)\n"
    "  --stats PATH       write the end report (frames, states, maps, scenarios, messages,\n"
    "                     memory, heap allocations through operator new; malloc is not\n"
    "                     counted) as JSON; it is always printed to stdout\n"
    "  --stats-every N    print frame, resident memory and allocations every N frames\n"
    "  --draw shots       draw the pixels of the frames written with --shot only; the\n"
    "                     others make every draw call but GL skips their rasterisation\n"
    "                     (for long runs that check states); --draw all is the default\n"
    "  --audio-device absent  start as on a machine with no audio output device: the\n"
    "                     game plays silently until 'K audio-back' plugs one in\n"
    "  --refuse float-targets  the graphics device refuses float render targets, as a\n"
    "                     device without them would (the integer depth formats are used)\n"
    "  --refuse second-target  the graphics device refuses a second colour target, as a\n"
    "                     device that draws into one target at a time would\n"
    "  input events also: 'K focus-lost', 'K focus-gained', 'K audio-lost', 'K audio-back',\n"
    "                     'K close', 'K wheel N' (N notches, positive away from the player)\n"
    "Exits 0 after N frames or when the game quits; non-zero only when the driver fails,\n"
    "always with a line on stderr: 2, before the first frame, for a wrong command line,\n"
    "input file or data folder; 1 when the game cannot start (no OpenGL 3.3 device), a\n"
    "frame's shot, a state, the audio or the stats cannot be written, or a scripted\n"
    "event cannot be carried out. A signal (SIGTERM, SIGINT) ends the driver as it ends\n"
    "any program.\n";

namespace {

// A whole number in [low, high], with nothing before or after it: an empty value or
// one out of range is refused rather than read as 0 or clamped.
bool ParseWhole(const char* value, long low, long high, long* out) {
    if (*value == '\0' || *value == ' ' || *value == '\t')
        return false;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(value, &end, 10);
    if (*end != '\0' || errno == ERANGE || number < low || number > high)
        return false;
    *out = number;
    return true;
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

} // namespace

std::string ParsePlayOptions(int argc, const char* const* argv, PlayOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            options->help = true;
            return "";
        }
        if (!hasValue)
            return "missing value after " + arg;
        const char* value = argv[++i];
        char* end = nullptr;
        if (arg == "--data" || arg == "--unpacked") {
            if (options->dataDirGiven)
                return "give one of --data and --unpacked, once";
            options->dataDir = value;
            options->dataDirGiven = true;
            options->unpacked = arg == "--unpacked";
        } else if (arg == "--frames") {
            if (!ParseWhole(value, 0, LONG_MAX, &options->frames))
                return "--frames needs a count of frames, got '" + std::string(value) + "'";
        } else if (arg == "--fps") {
            options->fps = std::strtod(value, &end);
            if (*end != '\0' || end == value || !(options->fps > 0.0) ||
                !std::isfinite(options->fps))
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
        } else if (arg == "--save-dir") {
            options->saveDir = value;
        } else if (arg == "--config-dir") {
            options->configDir = value;
        } else if (arg == "--monkey") {
            options->monkey = true;
            errno = 0;
            options->monkeySeed = std::strtoull(value, &end, 10);
            if (*end != '\0' || *value < '0' || *value > '9' || errno == ERANGE)
                return "--monkey needs a seed (a whole number), got '" + std::string(value) + "'";
        } else if (arg == "--monkey-rate") {
            if (!ParseWhole(value, 0, 100, &options->monkeyRate))
                return "--monkey-rate needs a percentage 0-100, got '" + std::string(value) + "'";
        } else if (arg == "--monkey-f1") {
            if (!ParseWhole(value, 0, 1000, &options->monkeyReloads))
                return "--monkey-f1 needs a share per thousand 0-1000, got '" + std::string(value) +
                       "'";
        } else if (arg == "--monkey-from") {
            if (!ParseWhole(value, 0, LONG_MAX, &options->monkeyFrom))
                return "--monkey-from needs a frame number, got '" + std::string(value) + "'";
        } else if (arg == "--stats") {
            options->statsPath = value;
        } else if (arg == "--draw") {
            if (std::strcmp(value, "all") != 0 && std::strcmp(value, "shots") != 0)
                return "--draw needs all or shots, got '" + std::string(value) + "'";
            options->drawOnlyShots = std::strcmp(value, "shots") == 0;
        } else if (arg == "--audio-device") {
            if (std::strcmp(value, "present") != 0 && std::strcmp(value, "absent") != 0)
                return "--audio-device needs present or absent, got '" + std::string(value) + "'";
            options->noAudioDevice = std::strcmp(value, "absent") == 0;
        } else if (arg == "--refuse") {
            if (std::strcmp(value, "float-targets") == 0)
                options->refuseFloatTargets = true;
            else if (std::strcmp(value, "second-target") == 0)
                options->refuseSecondTarget = true;
            else
                return "--refuse needs float-targets or second-target, got '" + std::string(value) +
                       "'";
        } else if (arg == "--stats-every") {
            if (!ParseWhole(value, 1, LONG_MAX, &options->statsEvery))
                return "--stats-every needs a count of frames, got '" + std::string(value) + "'";
        } else {
            return "unknown option " + arg;
        }
    }
    return "";
}
