// The input file of tavelle-play: one event per line, "#" starts a comment.
#pragma once

#include <string>
#include <vector>

enum ScriptEventType {
    SCRIPT_MOVE,     // pointer at (x, y) from this frame on
    SCRIPT_DOWN,     // button down
    SCRIPT_UP,       // button up
    SCRIPT_KEY_DOWN, // key down
    SCRIPT_KEY_UP,   // key up
    SCRIPT_MINIMIZE,
    SCRIPT_RESTORE,
    SCRIPT_COPY, // a file copied over another, as an author saving an edit
    SCRIPT_FOCUS_LOST,
    SCRIPT_FOCUS_GAINED,
    SCRIPT_AUDIO_LOST, // the audio output device goes away
    SCRIPT_AUDIO_BACK, // an audio output device is plugged in
    SCRIPT_CLOSE,      // the window is closed
    SCRIPT_AIM_DOWN,   // pointer where the field picks (groundX, groundZ), then button down
    SCRIPT_WHEEL,      // the wheel turned x notches (positive away from the player)
};

struct ScriptEvent {
    long frame;
    ScriptEventType type;
    int x, y;                // SCRIPT_MOVE
    int button;              // 0 left, 1 right, 2 middle
    int key;                 // DirectInput key code
    double groundX, groundZ; // SCRIPT_AIM_DOWN
    std::string from, to;    // SCRIPT_COPY: from where the driver started, to in the game folder
};

// Parses the whole file; "click", "clickat" and "key" expand into their down and up events.
// Returns false with a message naming the line on the first bad line.
bool ParseInputScript(const std::string& text, std::vector<ScriptEvent>* events,
                      std::string* error);
