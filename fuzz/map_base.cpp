#include "field/map_files.h"

#include "map_text_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<char> text = MapTextInput(data, size);
    MapBase base = {};
    static TerrainGrids grids;
    grids = TerrainGrids{};
    if (ParseMapBase(text.data(), &base, &grids)) {
        BuildTerrainGeometry(base.W, base.H, grids);
        Vec3 point = {base.eye.x, 0.0f, base.eye.z};
        GroundHeight(&point);
    }
    return 0;
}
