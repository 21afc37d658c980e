// The game: everything happens in GameMain.
#include "app/game_main.h"

int main() { return GameMain(); }
