// An input script's events played into the game, by the driver and by the web page.
#pragma once

#include "input_script.h"

// Plays one event into the devices and the window as the player's would arrive. false,
// with a line on stderr, when a file could not be copied or a ground point aimed at.
bool ApplyScriptEvent(const ScriptEvent& event);
