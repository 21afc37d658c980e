// The command line of tavelle-play.
#pragma once

#include <cstdint>
#include <map>
#include <string>

extern const char PLAY_USAGE[];

struct PlayOptions {
    bool help = false;
    std::string dataDir = ".";
    bool unpacked = false;
    bool dataDirGiven = false;
    long frames = 600;
    double fps = 60.0;
    std::string inputPath;
    std::multimap<long, std::string> shots;  // frame -> PNG path
    bool drawOnlyShots = false;              // --draw shots
    std::multimap<long, std::string> states; // frame -> JSON path
    std::string audioOut;
    bool noAudioDevice = false;      // --audio-device absent
    bool refuseFloatTargets = false; // --refuse float-targets
    bool refuseSecondTarget = false; // --refuse second-target
    std::string saveDir;   // empty: the player's own save folder
    std::string configDir; // empty: no settings file, the defaults hold
    bool monkey = false;
    std::uint64_t monkeySeed = 0;
    long monkeyRate = 10;
    long monkeyReloads = 3;
    long monkeyFrom = 0; // the monkey's first frame: the input script alone plays before it
    std::string statsPath;
    long statsEvery = 0;
};

// Fills options from argv; stops at --help with options->help set. Returns an empty
// string on success, else what was wrong.
std::string ParsePlayOptions(int argc, const char* const* argv, PlayOptions* options);
