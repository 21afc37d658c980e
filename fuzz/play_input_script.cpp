// The driver's input script from outside: a script is either refused with the number
// of its bad line, or every event it gives is well formed and in frame order.
#include "input_script.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptEvent> events;
    std::string error;
    if (!ParseInputScript(text, &events, &error)) {
        if (error.rfind("line ", 0) != 0)
            std::abort();
        return 0;
    }
    for (std::size_t i = 0; i < events.size(); ++i) {
        const ScriptEvent& event = events[i];
        if (event.frame < 0 || (i > 0 && events[i - 1].frame > event.frame) ||
            event.type < SCRIPT_MOVE || event.type > SCRIPT_WHEEL || event.button < 0 ||
            event.button > 2 || (event.type == SCRIPT_WHEEL && event.x == 0) ||
            (event.type == SCRIPT_AIM_DOWN &&
             (!std::isfinite(event.groundX) || !std::isfinite(event.groundZ))))
            std::abort();
    }
    return 0;
}
