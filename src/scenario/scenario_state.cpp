#include "scenario/scenario_state.h"

#include "platform/text/cp932.h"
#include "scenario/interpreter.h"
#include "scenario/links.h"

#include <cstring>

std::string DrawnMessageUtf8() {
    std::string drawn;
    const int end = g_messagePos < g_pageLength ? g_messagePos : g_pageLength;
    for (int i = 0; i < end; ++i) {
        if (g_messageBuffer[i] != '\0')
            drawn += g_messageBuffer[i];
    }
    return Cp932ToUtf8(drawn.data(), drawn.size());
}

std::string LinkTargetUtf8(int k) {
    if (k < 0 || k >= LINK_COUNT)
        return {};
    const char* target = g_links[k].target;
    return Cp932ToUtf8(target, strnlen(target, LINK_TARGET_SIZE));
}
