#include "field/characters.h"
#include "field/map_files.h"
#include "field/object_step.h"

#include "map_text_input.h"

// The first bytes choose W, H and S (S up to 4: grids past 32 x 32 included), the
// rest is the file; then one character steps across the grid.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const int w = data[0] % 17;
    const int h = data[1] % 17;
    const int s = data[2] % 5;
    std::vector<char> text = MapTextInput(data + 3, size - 3);
    ParseMapAttributes(text.data(), w, h, s);
    FieldCharacter& c = g_fieldCharacters[1];
    c.position = {0.5f, 0.0f, 0.5f};
    c.nextX = 31.5f;
    c.nextZ = 20.5f;
    CollideWithAttributes(&c);
    return 0;
}
