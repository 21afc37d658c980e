#include "field/map_files.h"

#include "archive/archive.h"
#include "archive/line_ends.h"
#include "core/file_report.h"
#include "core/tokenizer.h"
#include "field/characters.h"
#include "field/events.h"
#include "render/camera.h"
#include "render/render_setup.h"
#include "scenario/variables.h"

#include "platform/window/message_box.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

const char g_mapFileNames[MAP_FILE_KIND_COUNT][MAP_COUNT + 1][MAP_FILE_NAME_SIZE] = {
    {"", "./Data/map1chara.dat", "./Data/map2chara.dat", "./Data/map3chara.dat"},
    {"", "./Data/map1base.dat", "./Data/map2base.dat", "./Data/map3base.dat"},
    {"", "./Data/map1baseUV.dat", "./Data/map2baseUV.dat", "./Data/map3baseUV.dat"},
    {"", "./Data/map1attribute.dat", "./Data/map2attribute.dat", "./Data/map3attribute.dat"},
    {"", "./Data/map1event.dat", "./Data/map2event.dat", "./Data/map3event.dat"},
};

namespace {

// Reads positional fields one at a time; a field past the end of the text is absent.
struct FieldReader {
    char* cursor;
    bool ended = false;

    const char* Next() {
        const char* token = ended ? nullptr : NextToken(&cursor, TOKEN_DELIMITERS);
        ended = token == nullptr;
        return token;
    }
    int Int() {
        const char* token = Next();
        return token ? TokenToInt(token) : 0;
    }
    float Float() {
        const char* token = Next();
        return token ? TokenToFloat(token) : 0.0f;
    }
};

// e.N as the map files test it; a flag outside the variables counts as clear.
bool FlagSet(int index) {
    return index >= 0 && index < E_VAR_COUNT && g_eVars[index] != 0;
}

// The part of the attribute grid that a W x H map with S subdivisions covers.
void ClearMapAttributes(int w, int h, int s) {
    for (long long r = 0; r < static_cast<long long>(h) * s && r < ATTRIBUTE_GRID_SIZE; ++r) {
        for (long long c = 0; c < static_cast<long long>(w) * s && c < ATTRIBUTE_GRID_SIZE; ++c)
            g_mapTerrain.attributes[r][c] = 0;
    }
}

void ReportBadMapFile(MapFileKind kind, int map) {
    const std::string text = std::string(g_mapFileNames[kind][map]) + " の読み込み失敗";
    ShowMessageBox(text.c_str(), "ERROR");
    ReportFileFailure(g_mapFileNames[kind][map], "not a map file the game can read");
}

} // namespace

char* ReadMapFile(MapFileKind kind, int map) {
    if (map < 1 || map > MAP_COUNT)
        return nullptr;
    const char* key = g_mapFileNames[kind][map];
    const std::uint32_t size = GetArchiveFileSize(key);
    if (size == ARCHIVE_SIZE_NOT_FOUND) {
        ReadMissingArchiveFile(key);
        return nullptr;
    }
    // The reader writes the decoded bytes; the text ends there whatever follows.
    char* text = static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1));
    if (!text)
        return nullptr;
    if (FAILED(ReadArchiveFile(key, text))) {
        std::free(text);
        return nullptr;
    }
    text[DecodedLength(size)] = '\0';
    // Line feeds delimit, carriage returns before them do no harm: only a file
    // with carriage returns alone needs them turned into line feeds.
    ConvertLoneCarriageReturns(text, std::strlen(text));
    return text;
}

bool ParseMapBase(char* text, MapBase* base, TerrainGrids* grids) {
    FieldReader reader{text};
    base->eye.x = reader.Float();
    base->eye.y = reader.Float();
    base->eye.z = reader.Float();
    base->at.x = reader.Float();
    base->at.y = reader.Float();
    base->at.z = reader.Float();
    reader.Next();
    base->W = reader.Int();
    base->H = reader.Int();
    base->S = reader.Int();
    if (reader.ended || base->W < 1 || base->W > MAP_MAX_CELLS || base->H < 1 ||
        base->H > MAP_MAX_CELLS)
        return false;
    for (int r = 0; r <= base->H; ++r) {
        for (int c = 0; c <= base->W; ++c)
            grids->heights[r][c] = reader.Float();
    }
    return true;
}

void ParseMapChips(char* text, int w, int h, TerrainGrids* grids) {
    FieldReader reader{text};
    reader.Next();
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c)
            grids->chips[r][c] = reader.Int();
    }
}

void ParseMapAttributes(char* text, int w, int h, int s) {
    FieldReader reader{text};
    reader.Next();
    const long long rows = static_cast<long long>(h) * s;
    const long long columns = static_cast<long long>(w) * s;
    for (long long r = 0; r < rows && !reader.ended; ++r) {
        for (long long c = 0; c < columns && !reader.ended; ++c) {
            const char* token = reader.Next();
            if (token && r < ATTRIBUTE_GRID_SIZE && c < ATTRIBUTE_GRID_SIZE)
                g_mapTerrain.attributes[r][c] = TokenToInt(token);
        }
    }
}

void ParseMapCharacters(char* text) {
    for (int k = 1; k < FIELD_CHARACTER_COUNT; ++k)
        g_fieldCharacters[k].active = false;
    FieldReader reader{text};
    reader.Next();
    while (reader.Int() != 0) {
        const float x = reader.Float();
        reader.Next();
        const float z = reader.Float();
        const int number = reader.Int();
        const int flag = reader.Int();
        reader.Next();
        // A record cut short by the end of the text is not used.
        if (reader.ended)
            break;
        if (FlagSet(flag) && number >= 0 && number < CHARACTER_SHEET_COUNT)
            PlaceWanderer(x, z, number);
    }
    for (int k = 1; k < FIELD_CHARACTER_COUNT; ++k) {
        InitCollisionBox(&g_fieldCharacters[k].box, CHARACTER_BOX_HALF_EXTENT,
                         CHARACTER_BOX_HALF_EXTENT, CHARACTER_BOX_HALF_EXTENT);
        g_fieldCharacters[k].state = WANDER_CHOOSE;
    }
}

void ParseEventObjects(char* text) {
    for (EventObject& marker : g_eventObjects)
        marker.active = false;
    FieldReader reader{text};
    const int count = reader.Int();
    for (int k = 0; k < count && k < EVENT_OBJECT_COUNT; ++k) {
        const int kind = reader.Int();
        const int flag = reader.Int();
        const float x = reader.Float();
        const float y = reader.Float();
        const float z = reader.Float();
        const float size = reader.Float();
        const int reserved = reader.Int();
        const int slot = reader.Int();
        if (reader.ended)
            break;
        if (FlagSet(flag))
            PlaceEventObject(k, kind, x, y, z, size, reserved, slot);
    }
}

bool LoadMapTerrain(int map) {
    char* baseText = ReadMapFile(MAP_FILE_BASE, map);
    if (!baseText)
        return false;
    MapBase base = {};
    TerrainGrids grids = {};
    const bool usable = ParseMapBase(baseText, &base, &grids);
    std::free(baseText);
    if (!usable) {
        ReportBadMapFile(MAP_FILE_BASE, map);
        return false;
    }

    g_mapTerrain.quadCount = 0;
    SetCameraLookAt(&g_camera, base.eye, base.at);
    if (g_pD3DDevice)
        g_pD3DDevice->SetTransform(TS_VIEW, &g_camera.view);
    g_camera.yaw = std::atan2(base.eye.x - base.at.x, base.eye.z - base.at.z);
    g_mapTerrain.W = base.W;
    g_mapTerrain.H = base.H;
    g_mapTerrain.S = base.S;

    if (char* chipText = ReadMapFile(MAP_FILE_BASE_UV, map)) {
        ParseMapChips(chipText, base.W, base.H, &grids);
        std::free(chipText);
    }
    if (char* attributeText = ReadMapFile(MAP_FILE_ATTRIBUTE, map)) {
        ParseMapAttributes(attributeText, base.W, base.H, base.S);
        std::free(attributeText);
    } else {
        // Without its attribute file the new map has neither walls nor exits.
        ClearMapAttributes(base.W, base.H, base.S);
    }
    BuildTerrainGeometry(base.W, base.H, grids);
    return true;
}

void LoadEventObjects(int map) {
    char* text = ReadMapFile(MAP_FILE_EVENT, map);
    char empty[1] = {'\0'};
    ParseEventObjects(text ? text : empty);
    std::free(text);
}

void LoadMapCharacters(int map) {
    char* text = ReadMapFile(MAP_FILE_CHARA, map);
    char empty[1] = {'\0'};
    ParseMapCharacters(text ? text : empty);
    std::free(text);
}
