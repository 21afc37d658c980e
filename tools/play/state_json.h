#pragma once

#include <string>

// The game state after a frame, as the JSON document the driver's --state writes.
std::string GameStateJson(long frame);
