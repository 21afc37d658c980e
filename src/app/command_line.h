// The player's command line: the data folder and how the window, the frame rate and
// the sound are set up. Nothing here changes what the game does inside its frame.
#pragma once

#include "platform/frame_fit.h"

#include <cstdio>
#include <string>

struct LaunchOptions {
    std::string dataDir;   // empty when none was named
    bool unpacked = false; // --unpacked: archive files come from the files below dataDir
    bool fullscreen = false;
    FrameScaleMode scaleMode = FRAME_SCALE_LINEAR;
    int fps = 60; // 0: unpaced
    bool mute = false;
    int musicVolume = 100;   // percent
    int effectsVolume = 100; // percent
};

// Exit codes: 0 after --help or --version, 1 when the game cannot run (no data, no
// display), 2 for a command line that is wrong.
constexpr int LAUNCH_EXIT_DONE = 0;
constexpr int LAUNCH_EXIT_FAILED = 1;
constexpr int LAUNCH_EXIT_USAGE = 2;
// ParseCommandLine's answer when the game should start.
constexpr int LAUNCH_RUN = -1;

// Fills options from argv. --help and --version print to out; mistakes print one line
// and the usage to err. LAUNCH_RUN, or the code the program exits with.
int ParseCommandLine(int argc, char** argv, LaunchOptions* options, std::FILE* out, std::FILE* err);

// The usage text, as --help prints it.
void PrintUsage(std::FILE* out);

// True when dir holds a game: "ZRN.dat" (in any case), or an unpacked game with its
// "Scenario/fileNameList.txt".
bool IsGameFolder(const std::string& dir);

// Makes the game's folder the working directory: the named one, else the current
// one when it holds a game, else installedDataDir when that does. false, with one
// line in *error, when the named folder is missing, unreadable or not a game.
bool EnterDataFolder(const LaunchOptions& options, const std::string& installedDataDir,
                     std::string* error);

// The demo data installed with the program: <bin>/../share/tavelle as installed.
std::string InstalledDataDir();
