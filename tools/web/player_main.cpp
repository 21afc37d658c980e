// The web player's entry: the game, and what the page asks of it. The page calls the
// state query between frames, while the game waits for the browser; when the game
// returns, the page shows its end.
#include "state_json.h"

#include "app/game_main.h"
#include "scene/note.h"

#include <emscripten.h>

#include <string>

// clang-format off
EM_JS(void, TellPageGameEnded, (int code), {
    if (Module['tavelleEnded']) Module['tavelleEnded'](code);
});
// clang-format on

// The game state after the last frame, as tavelle-play's --state writes it.
extern "C" const char* TavelleStateJson(long frame) {
    static std::string json;
    json = GameStateJson(frame);
    return json.c_str();
}

// The note in the frame's corner (saved, loaded, a refused save), empty when none.
extern "C" const char* TavelleNote() {
    return CurrentNote();
}

int main(int argc, char** argv) {
    const int code = GameMain(argc, argv);
    TellPageGameEnded(code);
    return code;
}
