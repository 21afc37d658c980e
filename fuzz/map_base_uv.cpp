#include "field/map_files.h"

#include "map_text_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<char> text = MapTextInput(data, size);
    static TerrainGrids grids;
    grids = TerrainGrids{};
    ParseMapChips(text.data(), MAP_MAX_CELLS, MAP_MAX_CELLS, &grids);
    BuildTerrainGeometry(MAP_MAX_CELLS, MAP_MAX_CELLS, grids);
    return 0;
}
