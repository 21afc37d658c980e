#include "app/command_line.h"

#include "platform/files/host_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

const char VERSION_TEXT[] = "tavelle 1.03\n";

enum OptionResult {
    OPTION_OK,
    OPTION_BAD_VALUE,
    OPTION_SHOW_HELP,
    OPTION_SHOW_VERSION,
};

// One command-line option: a flag when valueName is null, else it takes the next argument.
struct CommandLineOption {
    const char* name;
    const char* valueName;
    const char* help;
    OptionResult (*apply)(const char* value, LaunchOptions* options);
};

bool ParseInt(const char* text, int low, int high, int* out) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || errno != 0 || value < low || value > high)
        return false;
    *out = static_cast<int>(value);
    return true;
}

OptionResult ApplyScaleMode(const char* value, LaunchOptions* options) {
    if (std::strcmp(value, "linear") == 0)
        options->scaleMode = FRAME_SCALE_LINEAR;
    else if (std::strcmp(value, "nearest") == 0)
        options->scaleMode = FRAME_SCALE_NEAREST;
    else if (std::strcmp(value, "integer") == 0)
        options->scaleMode = FRAME_SCALE_INTEGER;
    else
        return OPTION_BAD_VALUE;
    return OPTION_OK;
}

const CommandLineOption OPTIONS[] = {
    {"--fullscreen", nullptr, "start in borderless fullscreen (Alt+Enter or F11 toggles)",
     [](const char*, LaunchOptions* o) {
         o->fullscreen = true;
         return OPTION_OK;
     }},
    {"--window", nullptr, "start in a window (the default)",
     [](const char*, LaunchOptions* o) {
         o->fullscreen = false;
         return OPTION_OK;
     }},
    {"--scale-mode", "MODE", "linear (default), nearest, or integer (sharp whole multiples)",
     ApplyScaleMode},
    {"--fps", "N", "frames per second at most (default 60; 0: as fast as possible)",
     [](const char* v, LaunchOptions* o) {
         return ParseInt(v, 0, 1000, &o->fps) ? OPTION_OK : OPTION_BAD_VALUE;
     }},
    {"--mute", nullptr, "no sound at all",
     [](const char*, LaunchOptions* o) {
         o->mute = true;
         return OPTION_OK;
     }},
    {"--music-volume", "0-100", "music volume in percent (default 100)",
     [](const char* v, LaunchOptions* o) {
         return ParseInt(v, 0, 100, &o->musicVolume) ? OPTION_OK : OPTION_BAD_VALUE;
     }},
    {"--effects-volume", "0-100", "sound effect volume in percent (default 100)",
     [](const char* v, LaunchOptions* o) {
         return ParseInt(v, 0, 100, &o->effectsVolume) ? OPTION_OK : OPTION_BAD_VALUE;
     }},
    {"--unpacked", "DIR", "play the game folder DIR unpacked (F1 reloads edited files)",
     [](const char* v, LaunchOptions* o) { return o->dataDir = v, o->unpacked = true, OPTION_OK; }},
    {"--help", nullptr, "show this help and exit",
     [](const char*, LaunchOptions*) { return OPTION_SHOW_HELP; }},
    {"--version", nullptr, "show the version and exit",
     [](const char*, LaunchOptions*) { return OPTION_SHOW_VERSION; }},
    // Further options go here, one entry each.
};

const CommandLineOption* FindOption(const char* name) {
    if (std::strcmp(name, "-h") == 0)
        name = "--help";
    for (const CommandLineOption& option : OPTIONS) {
        if (std::strcmp(option.name, name) == 0)
            return &option;
    }
    return nullptr;
}

int UsageError(std::FILE* err, const std::string& message) {
    std::fprintf(err, "tavelle: %s\n", message.c_str());
    PrintUsage(err);
    return LAUNCH_EXIT_USAGE;
}

// One line about what keeps dir from being used, or an empty string.
std::string CheckFolder(const std::string& dir) {
    const std::string problem = HostFolderProblem(dir);
    if (!problem.empty())
        return (GetHostEntryKind(dir) == HOST_FOLDER ? "cannot read " : "cannot use ") + dir +
               ": " + problem;
    if (!IsGameFolder(dir))
        return "no game in " + dir + " (no ZRN.dat there)";
    return "";
}

} // namespace

void PrintUsage(std::FILE* out) {
    std::fputs("usage: tavelle [DATA_DIR] [--fullscreen|--window] [--scale-mode MODE] [--fps N]\n"
               "               [--mute] [--music-volume 0-100] [--effects-volume 0-100]\n"
               "               [--unpacked DIR] (instead of DATA_DIR)\n"
               "               [--help] [--version]\n"
               "\n"
               "Plays the game in DATA_DIR (default: the current folder, else the installed\n"
               "demo game). Escape saves and quits, F1 reloads, F5 saves, F9 loads the newest\n"
               "save, F10 opens the settings, F12 saves a screenshot. Options given here\n"
               "override the settings file for this run without changing it.\n",
               out);
    for (const CommandLineOption& option : OPTIONS) {
        std::string head = option.name;
        if (option.valueName)
            head += std::string(" ") + option.valueName;
        std::fprintf(out, "  %-22s %s\n", head.c_str(), option.help);
    }
    std::fputs("Exit codes: 0 success, 1 no game or no display, 2 wrong usage.\n", out);
}

int ParseCommandLine(int argc, char** argv, LaunchOptions* options, std::FILE* out,
                     std::FILE* err) {
    bool dataDirGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-' || arg[1] == '\0') {
            if (dataDirGiven || options->unpacked)
                return UsageError(err, std::string("more than one DATA_DIR: ") + arg);
            options->dataDir = arg;
            dataDirGiven = true;
            continue;
        }
        const CommandLineOption* option = FindOption(arg);
        if (!option)
            return UsageError(err, std::string("unknown option ") + arg);
        if (std::strcmp(option->name, "--unpacked") == 0 && (dataDirGiven || options->unpacked))
            return UsageError(err, "give one DATA_DIR or one --unpacked DIR");
        const char* value = nullptr;
        if (option->valueName) {
            if (i + 1 >= argc)
                return UsageError(err, std::string("missing value after ") + arg);
            value = argv[++i];
        }
        switch (option->apply(value, options)) {
        case OPTION_OK:
            break;
        case OPTION_BAD_VALUE:
            return UsageError(err, std::string(arg) + " needs " + option->valueName + ", got '" +
                                       value + "'");
        case OPTION_SHOW_HELP:
            PrintUsage(out);
            return LAUNCH_EXIT_DONE;
        case OPTION_SHOW_VERSION:
            std::fputs(VERSION_TEXT, out);
            return LAUNCH_EXIT_DONE;
        }
    }
    return LAUNCH_RUN;
}

bool IsGameFolder(const std::string& dir) {
    return GetHostEntryKind(ToHostPath((dir + "/ZRN.dat").c_str())) == HOST_FILE ||
           GetHostEntryKind(ToHostPath((dir + "/Scenario/fileNameList.txt").c_str())) == HOST_FILE;
}

bool EnterDataFolder(const LaunchOptions& options, const std::string& installedDataDir,
                     std::string* error) {
    std::string dir = options.dataDir;
    if (dir.empty()) {
        dir = ".";
        if (!IsGameFolder(dir) && !installedDataDir.empty() && IsGameFolder(installedDataDir))
            dir = installedDataDir;
    }
    *error = CheckFolder(dir);
    if (!error->empty())
        return false;
    std::string reason;
    if (!EnterHostFolder(dir, &reason)) {
        *error = "cannot enter " + dir + ": " + reason;
        return false;
    }
    return true;
}

std::string InstalledDataDir() {
    const std::string path = HostProgramPath();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return path.substr(0, slash) + "/" TAVELLE_DATA_FROM_BIN;
}
