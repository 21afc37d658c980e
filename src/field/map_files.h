// The five data files of each map (base, base-UV, attribute, chara, event), read
// whole from the archive and split into tokens in place.
#pragma once

#include "field/terrain.h"

constexpr int MAP_COUNT = 3; // maps 1..3; entry 0 of every kind is empty
constexpr int MAP_FILE_NAME_SIZE = 30;

enum MapFileKind {
    MAP_FILE_CHARA,
    MAP_FILE_BASE,
    MAP_FILE_BASE_UV,
    MAP_FILE_ATTRIBUTE,
    MAP_FILE_EVENT,
    MAP_FILE_KIND_COUNT,
};

extern const char g_mapFileNames[MAP_FILE_KIND_COUNT][MAP_COUNT + 1][MAP_FILE_NAME_SIZE];

// The archive entry's text with a NUL after its decoded bytes, to be freed with
// std::free; null when the key is missing (the archive has said so) or the map
// number is not 1..3.
char* ReadMapFile(MapFileKind kind, int map);

// What a base file holds.
struct MapBase {
    Vec3 eye;
    Vec3 at;
    std::int32_t W, H, S;
};

// Each parser takes a NUL-terminated text, which it tokenises in place.
// Base file: false when the text ends before S or W, H lie outside 1..16; the
// heights that are present fill grids->heights, missing ones read as 0.
bool ParseMapBase(char* text, MapBase* base, TerrainGrids* grids);
// Base-UV file: H rows of W chip numbers.
void ParseMapChips(char* text, int w, int h, TerrainGrids* grids);
// Attribute file: H*S rows of W*S values into g_mapTerrain's attribute grid; values
// outside the 32 x 32 grid are read and ignored.
void ParseMapAttributes(char* text, int w, int h, int s);
// Chara file: fills g_fieldCharacters 1..6 (see LoadMapCharacters).
void ParseMapCharacters(char* text);
// Event file: fills g_eventObjects (see LoadEventObjects).
void ParseEventObjects(char* text);

// Base, base-UV and attribute files into g_mapTerrain and g_camera; false (and the
// previous map left in place) when the base file is missing or unusable.
bool LoadMapTerrain(int map);
// All 100 markers inactive, then the event file's records.
void LoadEventObjects(int map);
// Entries 1..6 inactive, then the chara file's records; every entry 1..6 gets a fresh
// box and the choose-a-target state.
void LoadMapCharacters(int map);
