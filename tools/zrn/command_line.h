// The command line of zrn: the command table, help and the choice of command.
#pragma once

struct ZrnCommand {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage; // arguments after the name
    const char* help;  // one line
};

// What a command line asks for: the command to run with argc - 1, argv + 1, or, when
// command is null, the exit code after help or a usage error has been printed.
struct ZrnCommandLine {
    const ZrnCommand* command;
    int exitCode;
};

ZrnCommandLine ParseZrnCommandLine(int argc, char** argv);
