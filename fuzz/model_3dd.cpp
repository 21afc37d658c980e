#include "render/model.h"

#include "map_text_input.h"

#include <vector>

// The .3dd text past its texture: header, lists, and what the mesh would receive.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<char> text = MapTextInput(data, size);
    char* cursor = text.data();
    static Model model;
    char* key = nullptr;
    if (!Read3DDHeader(&cursor, &model, &key))
        return 0;
    Read3DDLists(&cursor, &model);
    std::vector<ModelVertex> vertices(static_cast<std::size_t>(model.vertexCount));
    std::vector<std::uint16_t> indices(3 * static_cast<std::size_t>(model.faceCount));
    FillModelVertices(model, 2.0f, 2.0f, 2.0f, vertices.data());
    FillModelIndices(model, indices.data());
    return 0;
}
