// The commands of zrn, the archive tool. Each takes its own arguments with argv[0]
// being the command's name, and returns the process exit code.
#pragma once

#include <string>
#include <vector>

constexpr int EXIT_PROBLEM = 1; // the operation failed or found problems
constexpr int EXIT_USAGE = 2;   // the command line was wrong

int RunPackCommand(int argc, char** argv);
// Packs every file below root that folder mode serves into the archive at outPath,
// except the files leaveOut names; reports on stderr and returns false on failure.
bool PackTree(const std::string& root, const std::string& outPath,
              const std::vector<std::string>& leaveOut);
// zrn pack GAME_DIR OUT_DIR: OUT_DIR/ZRN.dat and the loose files, then lint of the result.
int PackGame(const std::string& game, const std::string& out);
// The output path and --root DIR of pack's arguments; false when they are wrong.
bool ParsePackArguments(int argc, char** argv, std::string* out, std::string* root);
int RunListCommand(int argc, char** argv);
int RunCatCommand(int argc, char** argv);
int RunUnpackCommand(int argc, char** argv);
int RunVerifyCommand(int argc, char** argv);
int RunNewCommand(int argc, char** argv);
int RunStepsCommand(int argc, char** argv);
int RunMapCommand(int argc, char** argv);

// The whole of a file as bytes in a string; false (errno tells why) when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string* bytes);
// "zrn <command>: <text>" on stderr.
void PrintError(const char* command, const std::string& text);
// "zrn <command>: wrong arguments" and the command's usage on stderr; EXIT_USAGE.
int ReportUsageError(const char* command);
// Loads the archive's index as the game would, or, for a directory, the keys folder
// mode serves from the files below it. Reports on stderr and returns false when the
// file cannot be opened; a table cut short (or a walk stopped part way) is reported and
// what was read is kept.
bool LoadIndexForTool(const char* command, const char* path, bool* complete);
