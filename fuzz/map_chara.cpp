#include "field/characters.h"
#include "field/map_files.h"
#include "scenario/variables.h"

#include "map_text_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (int k = 0; k < E_VAR_COUNT; ++k)
        g_eVars[k] = k % 3;
    g_fieldCharacters[0].active = true;
    std::vector<char> text = MapTextInput(data, size);
    ParseMapCharacters(text.data());
    return 0;
}
