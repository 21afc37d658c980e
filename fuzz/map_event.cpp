#include "field/cursor_pick.h"
#include "field/events.h"
#include "field/map_files.h"
#include "scenario/variables.h"

#include "map_text_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (int k = 0; k < E_VAR_COUNT; ++k)
        g_eVars[k] = k % 3;
    std::vector<char> text = MapTextInput(data, size);
    ParseEventObjects(text.data());
    // The markers' boxes against the cursor, without a press: nothing may start.
    UpdateEventMarkers();
    return 0;
}
