// A file of a low layer that calls up into the app. Its layer's link check must
// refuse it, naming the function it calls.
#include "app/game_main.h"

int PlantedUpwardCall() {
    return GameMain(0, nullptr);
}
