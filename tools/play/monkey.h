// Monkey mode: seeded pseudo-random input for a whole run. Clicks and drags go
// anywhere in the frame but mostly where the game shows something to hit (the
// ground, markers and characters in the field, link rectangles in a scenario);
// now and then F1, a minimise/restore pair or a focus change; never Escape.
// The same seed, rate and game give the same events.
#pragma once

#include "input_script.h"

#include <cstdint>
#include <vector>

// rate: the chance, in percent, that the monkey starts an action on a frame
// where it is idle; reloadShare: the share of actions, per thousand, that press F1.
void StartMonkey(std::uint64_t seed, int rate, int reloadShare);
// Appends the events for this frame, aimed from the game state as it stands
// before the frame runs.
void AddMonkeyEvents(long frame, std::vector<ScriptEvent>* events);
