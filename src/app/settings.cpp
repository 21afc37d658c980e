#include "app/settings.h"

#include "app/text_pace.h"

#include "platform/audio/mixer.h"
#include "platform/files/stored_files.h"
#include "platform/window/window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

PlayerSettings g_settings;

namespace {

constexpr const char* SECTION = "[tavelle]";
constexpr const char* SCALE_NAMES[] = {"linear", "nearest", "integer"};
constexpr const char* SPEED_NAMES[] = {"slower", "normal", "faster", "instant"};
static_assert(sizeof SPEED_NAMES / sizeof SPEED_NAMES[0] == TEXT_SPEED_COUNT);

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseWhole(const std::string& text, int low, int high, int* out) {
    if (text.empty() || text.size() > 6)
        return false;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high)
        return false;
    *out = static_cast<int>(value);
    return true;
}

bool ParseBool(const std::string& text, bool* out) {
    if (text != "true" && text != "false")
        return false;
    *out = text == "true";
    return true;
}

template <std::size_t N>
bool ParseName(const std::string& text, const char* const (&names)[N], int* out) {
    for (std::size_t i = 0; i < N; ++i) {
        if (text == names[i]) {
            *out = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

bool ParseValue(const std::string& key, const std::string& value, PlayerSettings* s) {
    int scale = 0;
    if (key == "fullscreen")
        return ParseBool(value, &s->fullscreen);
    if (key == "scale_mode") {
        if (!ParseName(value, SCALE_NAMES, &scale))
            return false;
        s->scaleMode = static_cast<FrameScaleMode>(scale);
        return true;
    }
    if (key == "music_volume")
        return ParseWhole(value, 0, 100, &s->musicVolume);
    if (key == "effects_volume")
        return ParseWhole(value, 0, 100, &s->effectsVolume);
    if (key == "mute")
        return ParseBool(value, &s->mute);
    if (key == "text_speed")
        return ParseName(value, SPEED_NAMES, &s->textSpeed);
    if (key == "auto_pause_frames")
        return ParseWhole(value, AUTO_PAUSE_MIN_FRAMES, AUTO_PAUSE_MAX_FRAMES, &s->autoPauseFrames);
    return false;
}

std::string s_settingsFolder;
bool s_settingsKept = true;

} // namespace

void SetSettingsFolder(const std::string& folder, bool kept) {
    s_settingsFolder = folder;
    s_settingsKept = kept;
}

std::string SettingsPath() {
    return (s_settingsFolder.empty() ? UserConfigFolder() : s_settingsFolder) + "/settings.ini";
}

bool ParseSettings(const std::string& text, PlayerSettings* settings, std::string* why) {
    PlayerSettings parsed;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';' || line == SECTION)
            continue;
        const std::size_t equals = line.find('=');
        const std::string key = Trim(line.substr(0, equals));
        if (equals == std::string::npos ||
            !ParseValue(key, Trim(line.substr(equals + 1)), &parsed)) {
            *why = "line " + std::to_string(number) + ": '" + line.substr(0, 60) +
                   "' is not a setting";
            return false;
        }
    }
    *settings = parsed;
    return true;
}

std::string FormatSettings(const PlayerSettings& s) {
    std::string text = "# Tavelle's settings; F10 in the game changes them.\n";
    text += std::string(SECTION) + "\n";
    text += "fullscreen = " + std::string(s.fullscreen ? "true" : "false") + "\n";
    text += "scale_mode = " + std::string(SCALE_NAMES[s.scaleMode]) + "\n";
    text += "music_volume = " + std::to_string(s.musicVolume) + "\n";
    text += "effects_volume = " + std::to_string(s.effectsVolume) + "\n";
    text += "mute = " + std::string(s.mute ? "true" : "false") + "\n";
    text += "text_speed = " + std::string(SPEED_NAMES[s.textSpeed]) + "\n";
    text += "auto_pause_frames = " + std::to_string(s.autoPauseFrames) + "\n";
    return text;
}

void LoadSettings() {
    g_settings = PlayerSettings{};
    if (!s_settingsKept)
        return;
    const std::string path = SettingsPath();
    std::vector<std::uint8_t> bytes;
    std::string error;
    bool missing = false;
    if (!ReadStoredFile(path, &bytes, &error, &missing)) {
        if (!missing)
            std::fprintf(stderr, "tavelle: settings not read, defaults used: %s\n", error.c_str());
        return;
    }
    std::string why;
    if (!ParseSettings(std::string(bytes.begin(), bytes.end()), &g_settings, &why))
        std::fprintf(stderr, "tavelle: %s: %s; defaults used\n", path.c_str(), why.c_str());
}

bool StoreSettings() {
    if (!s_settingsKept)
        return true;
    const std::string text = FormatSettings(g_settings);
    std::string error;
    if (!WriteStoredFile(SettingsPath(), text.data(), text.size(), false, &error)) {
        std::fprintf(stderr, "tavelle: settings not kept: %s\n", error.c_str());
        return false;
    }
    return true;
}

void SettingsToLaunchOptions(const PlayerSettings& s, LaunchOptions* options) {
    options->fullscreen = s.fullscreen;
    options->scaleMode = s.scaleMode;
    options->musicVolume = s.musicVolume;
    options->effectsVolume = s.effectsVolume;
    options->mute = s.mute;
}

void ApplyLaunchOptions(const LaunchOptions& options) {
    SetWindowLaunchChoices(options.fullscreen, options.scaleMode);
    SetMixerGroupGains(options.mute ? 0.0f : options.musicVolume / 100.0f,
                       options.mute ? 0.0f : options.effectsVolume / 100.0f);
}

void ApplyTextSettings(const PlayerSettings& settings) {
    g_textSpeed = settings.textSpeed;
    g_autoPauseFrames = settings.autoPauseFrames;
}
