// The player's settings, kept in "$XDG_CONFIG_HOME/tavelle/settings.ini": what the
// F10 overlay changes, and what the command line overrides for one run.
#pragma once

#include "app/command_line.h"

#include <string>

constexpr int AUTO_PAUSE_MIN_FRAMES = 0;
constexpr int AUTO_PAUSE_MAX_FRAMES = 600;

struct PlayerSettings {
    bool fullscreen = false;
    FrameScaleMode scaleMode = FRAME_SCALE_LINEAR;
    int musicVolume = 100;   // percent
    int effectsVolume = 100; // percent
    bool mute = false;
    int textSpeed = 1; // a TextSpeed
    int autoPauseFrames = 60;
};

// The settings as the file holds them (defaults when there is none or it is damaged).
extern PlayerSettings g_settings;

// The folder settings.ini is kept in, instead of "$XDG_CONFIG_HOME/tavelle"; with
// `kept` false no file is read or written and the defaults hold (the driver's runs).
void SetSettingsFolder(const std::string& folder, bool kept);
std::string SettingsPath();
// "key = value" lines under an optional "[tavelle]" section; "#" and ";" start comments.
// false, with the first fault in *why, for a line that is not one of ours.
bool ParseSettings(const std::string& text, PlayerSettings* settings, std::string* why);
std::string FormatSettings(const PlayerSettings& settings);
// Reads the file into g_settings. A damaged file gives one line on stderr and the
// defaults; it is left as it is until the player changes something.
void LoadSettings();
// Writes g_settings; false, after a line on stderr, when it cannot.
bool StoreSettings();
// The launch options the settings give, before the command line overrides them.
void SettingsToLaunchOptions(const PlayerSettings& settings, LaunchOptions* options);
// Puts the choices of a run in force: the window, the volumes, the text pace.
void ApplyLaunchOptions(const LaunchOptions& options);
// Text speed and automatic pause of the settings into the text pace.
void ApplyTextSettings(const PlayerSettings& settings);
