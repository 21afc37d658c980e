// The map change that an exit cell starts: a fade to black, the swap of all map
// data and of the music at the darkest frame, and the fade back.
#pragma once

#include <cstdint>

// The map-change fields; the scene passes read them too.
struct MapChange {
    bool fadeActive;
    std::int32_t renderMode; // 0 while the fade runs, 10 (fog) otherwise
    std::int32_t passCount;
    float fadeAlpha; // weight of the scene image: 1 visible, 0 black
    std::int32_t fadeCounter;
    std::int32_t fadeDestination;
    float fadeArrivalX, fadeArrivalZ;
};

extern MapChange g_mapChange;

constexpr std::int32_t RENDER_MODE_FADE = 0;
constexpr std::int32_t RENDER_MODE_FOG = 10;
constexpr std::int32_t MAP_CHANGE_SWAP_FRAME = 125;
constexpr std::int32_t MAP_CHANGE_LAST_FRAME = 250;

// Arms the fade toward map M with the lead arriving at (x, z).
void BeginMapChange(int map, float x, float z);
// The state half of one fade frame: the swap of map, characters and music at frame
// 125, the alpha and the counter, and the end after frame 250. false when the change
// has just ended (nothing more to draw).
bool UpdateMapChange();
