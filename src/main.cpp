// The game: everything happens in GameMain.
#include "app/game_main.h"

int main(int argc, char** argv) { return GameMain(argc, argv); }
