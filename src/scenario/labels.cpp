#include "scenario/labels.h"

#include "scenario/scenario_store.h"

#include <cstring>

int FindLabel(int n, const char* name, int nameLength, bool skipAttributes) {
    // An empty name is a name too: it finds a line that holds only "*".
    if (nameLength < 0 || !IsScenarioSlot(n))
        return -1;
    const char* script = ScenarioText(n);
    for (int at = 0; at < SCENARIO_MAX_LENGTH && script[at] != '\0'; ++at) {
        if (script[at] != '*' || (skipAttributes && at > 0 && script[at - 1] == '='))
            continue;
        int end = at + 1;
        while (end < SCENARIO_MAX_LENGTH && script[end] != '\0' && script[end] != '\n' &&
               script[end] != '|')
            ++end;
        // A name that the end of the script cuts off is no label, and nothing follows it.
        if (end >= SCENARIO_MAX_LENGTH || script[end] == '\0')
            return -1;
        int length = end - (at + 1);
        // The CR of the line end.
        if (script[end] == '\n' && length > 0)
            --length;
        if (length == nameLength && std::memcmp(script + at + 1, name, length) == 0)
            return end + 1;
        at = end;
    }
    return -1;
}
