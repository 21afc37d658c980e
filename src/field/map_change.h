// The map change that an exit cell starts: a fade to black, the swap of all map
// data and of the music at the darkest frame, and the fade back. Its fields live in
// g_renderSet, whose scene passes read them too.
#pragma once

#include <cstdint>

constexpr std::int32_t MAP_CHANGE_SWAP_FRAME = 125;
constexpr std::int32_t MAP_CHANGE_LAST_FRAME = 250;

// Arms the fade toward map M (1..3) with the lead arriving at (x, z).
void BeginMapChange(int map, float x, float z);
// The state half of one fade frame: the swap of map, characters and music at frame
// 125, the alpha and the counter, and the end after frame 250. false when the change
// has just ended, with nothing more to draw.
bool UpdateMapChange();
