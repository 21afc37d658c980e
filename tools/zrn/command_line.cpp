// The command line of zrn: which command runs, or the help and usage texts.
#include "command_line.h"

#include "lint_command.h"
#include "web_command.h"
#include "zrn_commands.h"

#include <cstdio>
#include <cstring>

namespace {

const ZrnCommand COMMANDS[] = {
    {"pack", RunPackCommand, "GAME_DIR OUT_DIR | OUT.dat --root DIR",
     "write the game in GAME_DIR as it is handed out: OUT_DIR/ZRN.dat, the loading picture and "
     "Sound/ beside it, then lint it (OUT_DIR outside GAME_DIR); or pack every file below DIR "
     "into one archive. Keys are \"./\" and the UTF-8 path in Shift-JIS, as folder mode makes "
     "them"},
    {"list", RunListCommand, "ARCHIVE|DIR",
     "list the entries (of a game folder as folder mode serves it): decoded size, position, key"},
    {"cat", RunCatCommand, "ARCHIVE|DIR KEY", "write an entry's decoded bytes to stdout"},
    {"unpack", RunUnpackCommand, "ARCHIVE OUT_DIR",
     "write every entry below OUT_DIR, named by its key in UTF-8"},
    {"verify", RunVerifyCommand, "ARCHIVE",
     "check the table and data against the file; exit code 1 on any problem"},
    {"new", RunNewCommand, "DIR",
     "write a small playable game folder to start from (play it with tavelle --unpacked DIR)"},
    {"lint", RunLintCommand, "GAME_DIR_OR_ARCHIVE",
     "report mistakes in scripts, maps, pictures, sounds and missing files"},
    {"steps", RunStepsCommand, "GAME_DIR_OR_ARCHIVE",
     "answer queries on stdin about walls, exits and steps on the maps, with the game's own "
     "code (for map builders)"},
    {"map", RunMapCommand, "GAME_DIR_OR_ARCHIVE N OUT.png",
     "draw map N from above: ground, walls, exits, people, markers, the lead's start, the "
     "ground the camera shows, and lint's warnings of the map ringed in red"},
    {"web", RunWebCommand, "GAME_DIR OUT_DIR [--title NAME] [--player DIR]",
     "write a static web site that plays the game (a packed game or an unpacked folder) in a "
     "browser"},
    // Further commands go here, one line each; a command's entry point is declared in
    // its own header, included above.
};

const ZrnCommand* FindCommand(const char* name) {
    for (const ZrnCommand& command : COMMANDS) {
        if (std::strcmp(command.name, name) == 0)
            return &command;
    }
    return nullptr;
}

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "usage: zrn COMMAND [ARGUMENTS]\n\n"
                      "Makes, inspects and checks the game's data archives (ZRN.dat).\n"
                      "Keys are byte strings (Shift-JIS), printed and taken as they are.\n\n"
                      "commands:\n");
    for (const ZrnCommand& command : COMMANDS)
        std::fprintf(out, "  %s %s\n      %s\n", command.name, command.usage, command.help);
    std::fprintf(out, "\n'zrn COMMAND --help' shows one command.\n"
                      "Exit codes: 0 success, 1 failure or problems found, 2 wrong usage.\n");
}

bool IsHelpOption(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

} // namespace

int ReportUsageError(const char* name) {
    const ZrnCommand* command = FindCommand(name);
    std::fprintf(stderr, "zrn %s: wrong arguments\nusage: zrn %s %s\n", name, name,
                 command ? command->usage : "");
    return EXIT_USAGE;
}

ZrnCommandLine ParseZrnCommandLine(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(stderr);
        return {nullptr, EXIT_USAGE};
    }
    if (IsHelpOption(argv[1]) || std::strcmp(argv[1], "help") == 0) {
        PrintHelp(stdout);
        return {nullptr, 0};
    }
    const ZrnCommand* command = FindCommand(argv[1]);
    if (!command) {
        std::fprintf(stderr, "zrn: unknown command '%s' (see 'zrn --help')\n", argv[1]);
        return {nullptr, EXIT_USAGE};
    }
    for (int i = 2; i < argc; ++i) {
        if (IsHelpOption(argv[i])) {
            std::printf("usage: zrn %s %s\n  %s\n", command->name, command->usage, command->help);
            return {nullptr, 0};
        }
    }
    return {command, 0};
}
