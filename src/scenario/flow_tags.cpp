#include "scenario/flow_tags.h"

#include "core/frame_state.h"
#include "core/input_state.h"
#include "core/tokenizer.h"
#include "scenario/interpreter.h"
#include "scenario/labels.h"
#include "scenario/page.h"
#include "scenario/picture_layers.h"
#include "scenario/scenario_store.h"

#include <cstring>

void JumpTag(int length) {
    char text[MAX_TAG_LENGTH + 1];
    char* cursor = CopyTagText(length, text);
    NextToken(&cursor, TOKEN_DELIMITERS); // "[jump"
    // The scenario changes only together with a successful jump, so the page that runs
    // and the script it came from always agree.
    int scenario = g_currentScenario;
    while (const char* token = NextToken(&cursor, TOKEN_DELIMITERS)) {
        if (std::strcmp(token, "target") != 0) {
            const int n = TokenToInt(token);
            if (IsScenarioSlot(n))
                scenario = n;
            continue;
        }
        const char* label = NextToken(&cursor, " \"");
        if (!label)
            break;
        ++label; // the "*"
        const int offset = FindLabel(scenario, label, static_cast<int>(std::strlen(label)), true);
        if (offset >= 0) {
            BeginPageAt(scenario, offset);
            return;
        }
    }
    // No jump: the tag leaves the page and the walk goes on.
    CutFromPage(length);
}

void ExitTag() {
    for (PictureLayer& layer : g_pictureLayers)
        layer.visible = false;
    // The press that ended the scenario must not walk the lead in the first field frame.
    g_buttonDown[0] = 0;
    g_frameNo = FRAME_FIELD;
}
