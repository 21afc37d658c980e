#include "core/frame_clock.h"
#include "core/input_state.h"
#include "field/characters.h"
#include "field/cursor_pick.h"
#include "field/events.h"
#include "field/map_files.h"
#include "field/object_step.h"
#include "field/terrain.h"
#include "scenario/variables.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// A 16 x 16 map's base and base-UV texts, as the game reads them.
void MapTexts(std::string* base, std::string* chips) {
    *base = "0,30,-30\r\n16,0,16\r\n0\r\n16,16,2\r\n";
    for (int r = 0; r <= 16; ++r) {
        for (int c = 0; c <= 16; ++c)
            *base += std::to_string((r * 7 + c * 3) % 5 * 0.25) + (c < 16 ? "," : "\r\n");
    }
    *chips = "UV\r\n";
    for (int k = 0; k < 256; ++k)
        *chips += std::to_string(k % 8 * 10 + k / 8 % 8) + (k % 16 < 15 ? "," : "\r\n");
}

void BM_TerrainBuild16x16(benchmark::State& state) {
    std::string base;
    std::string chips;
    MapTexts(&base, &chips);
    std::vector<TerrainVertex> vertices(1024);
    std::vector<std::uint16_t> indices(1536);
    for (auto _ : state) {
        std::string baseText = base;
        std::string chipText = chips;
        MapBase header = {};
        TerrainGrids grids = {};
        ParseMapBase(baseText.data(), &header, &grids);
        ParseMapChips(chipText.data(), header.W, header.H, &grids);
        BuildTerrainGeometry(header.W, header.H, grids);
        FillTerrainVertices(vertices.data());
        FillTerrainIndices(indices.data());
        benchmark::DoNotOptimize(vertices.data());
    }
}
BENCHMARK(BM_TerrainBuild16x16);

// One field logic step: seven characters walking and wandering over a walled
// 16 x 16 map with 100 markers, the button held so that the lead's target moves.
void BM_FieldLogicStep(benchmark::State& state) {
    std::string base;
    std::string chips;
    MapTexts(&base, &chips);
    MapBase header = {};
    TerrainGrids grids = {};
    ParseMapBase(base.data(), &header, &grids);
    BuildTerrainGeometry(16, 16, grids);
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 32; ++c)
            g_mapTerrain.attributes[r][c] = (r * 31 + c * 17) % 11;
    }
    InitLeadCharacter();
    g_fieldCharacters[0].position = {25.0f, 0.0f, 14.0f};
    for (int k = 1; k < FIELD_CHARACTER_COUNT; ++k)
        PlaceWanderer(4.0f * k, 10.0f, k);
    for (int k = 0; k < EVENT_OBJECT_COUNT; ++k)
        PlaceEventObject(k, 1, 0.3f * k, 0.0f, 20.0f, 1.0f, 0, k);
    float t = 1000.0f;
    int frame = 0;
    for (auto _ : state) {
        t += 1.0f / 60.0f;
        g_frameTime = t;
        g_buttonDown[0] = (frame / 30) % 2;
        g_pickedPoint = {5.0f + frame % 20, 0.0f, 5.0f};
        ++frame;
        UpdateCharacterMotion();
        UpdateFieldObjects();
    }
}
BENCHMARK(BM_FieldLogicStep);

} // namespace

BENCHMARK_MAIN();
