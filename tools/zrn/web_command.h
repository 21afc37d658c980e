// zrn web GAME_DIR OUT_DIR: the game as a static web site.
#pragma once

int RunWebCommand(int argc, char** argv);
