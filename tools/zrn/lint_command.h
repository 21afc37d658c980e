// zrn lint: finds the mistakes in scripts, map files and the archive's contents that
// the game would only show as wrong text, a wrong map or a missing-file box.
#pragma once

int RunLintCommand(int argc, char** argv);
