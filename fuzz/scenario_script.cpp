// Arbitrary script bytes through StartScenario and a few thousand frames of the
// interpreter, with clicks, pointer moves over the message area and held buttons.
#include "core/frame_state.h"
#include "core/input_state.h"
#include "scenario/interpreter.h"
#include "scenario/links.h"
#include "scenario/scenario_store.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int FRAMES = 3000;

void PointAt(float x, float y) {
    const float box[4][2] = {{x, y - 64}, {x + 64, y - 64}, {x + 64, y}, {x, y}};
    for (int i = 0; i < 4; ++i) {
        g_cursorQuad.v[i].x = box[i][0];
        g_cursorQuad.v[i].y = box[i][1];
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The script runs in slot 0; slot 2 holds its second half, for jumps elsewhere.
    const char* text = reinterpret_cast<const char*>(data);
    StoreScenarioText(0, text, size);
    StoreScenarioText(2, text + size / 2, size - size / 2);
    const unsigned pattern = size > 0 ? data[0] : 0;
    g_clickLatch = true;
    g_selectWait = false;
    g_linkMode = false;
    g_linkCount = 0;
    StartScenario(0);
    for (int frame = 0; frame < FRAMES; ++frame) {
        if (g_frameNo != FRAME_SCENARIO) {
            if (frame % 97 != 0)
                continue;
            StartScenario(frame % 3);
        }
        g_buttonDown[0] = (frame / (1 + pattern % 5)) % 2;
        if (frame % (2 + pattern % 7) == 0)
            g_clickLatch = true;
        PointAt(static_cast<float>((frame * 37 + pattern) % 1024),
                static_cast<float>((frame * 53) % 768));
        if (g_clickLatch && !g_selectWait)
            StepScript();
        if (g_selectWait)
            SelectLink();
    }
    return 0;
}
