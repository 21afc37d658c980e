#include "field/map_change.h"

#include "field/characters.h"
#include "field/map_files.h"
#include "field/object_step.h"
#include "field/terrain.h"
#include "render/render_setup.h"
#include "sound/music.h"

#include <cmath>

void BeginMapChange(int map, float x, float z) {
    if (map < 1 || map > MAP_COUNT)
        return;
    g_renderSet.fadeActive = 1;
    g_renderSet.renderMode = RENDER_MODE_FADE;
    g_renderSet.fadeAlpha = 0.0f;
    g_renderSet.fadeCounter = 0;
    g_renderSet.fadeDestination = map;
    g_renderSet.fadeArrivalX = x;
    g_renderSet.fadeArrivalZ = z;
}

bool UpdateMapChange() {
    std::int32_t n = g_renderSet.fadeCounter;
    const int map = g_renderSet.fadeDestination;
    if (n == MAP_CHANGE_SWAP_FRAME) {
        FieldCharacter& lead = g_fieldCharacters[0];
        lead.nextX = g_renderSet.fadeArrivalX;
        lead.nextZ = g_renderSet.fadeArrivalZ;
        lead.state = LEAD_IDLE;
        StopMusicChannel(g_bgmChannel);
        g_bgmRequestedChannel = map - 1;
        LoadMapCharacters(map);
        BuildMapTerrain(map);
        UpdateCharacterMotion();
        UpdateFieldObjects();
        StopMusicChannel(g_bgmChannel);
        g_bgmChannel = map - 1;
        PlayMusicChannel(g_bgmChannel);
        // An arrival inside an exit of the new map has begun the next change.
        n = g_renderSet.fadeCounter;
    } else if (n > MAP_CHANGE_LAST_FRAME) {
        g_renderSet.fadeActive = 0;
        g_renderSet.renderMode = RENDER_MODE_FOG;
        return false;
    }
    g_renderSet.fadeAlpha = 0.5f + 0.5f * std::cos(static_cast<float>(n) * 6.2831855f * 0.004f);
    g_renderSet.fadeCounter = n + 1;
    return true;
}
