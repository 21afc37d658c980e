// Helpers for driving the interpreter frame by frame from scripts written in UTF-8.
#pragma once

#include "app/frame_states.h"
#include "core/input_state.h"
#include "scenario/interpreter.h"
#include "scenario/links.h"
#include "scenario/picture_layers.h"
#include "scenario/scenario_store.h"
#include "scenario/variables.h"

#include <cstring>
#include <ostream>
#include <string>

// Hiragana become their Shift-JIS codes (contiguous from 0x829F); every other byte
// is kept, so raw Shift-JIS bytes can be written as escapes.
inline std::string Sjis(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b == 0xE3 && i + 2 < utf8.size()) {
            const unsigned cp =
                ((b & 0x0Fu) << 12) | ((utf8[i + 1] & 0x3Fu) << 6) | (utf8[i + 2] & 0x3Fu);
            if (cp >= 0x3041 && cp <= 0x3093) {
                out += '\x82';
                out += static_cast<char>(0x9F + (cp - 0x3041));
                i += 2;
                continue;
            }
        }
        out += utf8[i];
    }
    return out;
}

// The inverse for the drawn text: NUL bytes dropped, hiragana back to UTF-8.
inline std::string Utf8(const char* sjis, int length) {
    std::string out;
    for (int i = 0; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(sjis[i]);
        if (b == 0)
            continue;
        if (b == 0x82 && i + 1 < length) {
            const unsigned cp = 0x3041 + static_cast<unsigned char>(sjis[i + 1]) - 0x9F;
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
            ++i;
            continue;
        }
        out += static_cast<char>(b);
    }
    return out;
}

inline void PutScript(int slot, const std::string& utf8) {
    const std::string text = Sjis(utf8);
    StoreScenarioText(slot, text.data(), text.size());
}

// The state the start-up load leaves, with the click latch set as by the click that
// started the scenario and the pointer far from every link.
inline void ResetScenarioState() {
    std::memset(g_eVars, 0, sizeof g_eVars);
    std::memset(g_sVars, 0, sizeof g_sVars);
    std::memset(g_links, 0, sizeof g_links);
    std::memset(g_pictureLayers, 0, sizeof g_pictureLayers);
    g_linkCount = 0;
    g_basePicture = 0;
    g_linkMode = false;
    g_selectWait = false;
    g_charsPerLine = 25;
    g_clickLatch = true;
    g_buttonDown[0] = 0;
    const float icon[4][2] = {{0, 0}, {64, 0}, {64, 64}, {0, 64}};
    for (int i = 0; i < 4; ++i) {
        g_clickIconQuad.v[i].x = icon[i][0];
        g_clickIconQuad.v[i].y = icon[i][1];
        g_cursorQuad.v[i].x = -1000.0f;
        g_cursorQuad.v[i].y = -1000.0f;
    }
    g_frameNo = FRAME_FIELD;
}

inline void PointAt(float x, float y) {
    const float box[4][2] = {{x, y - 64}, {x + 64, y - 64}, {x + 64, y}, {x, y}};
    for (int i = 0; i < 4; ++i) {
        g_cursorQuad.v[i].x = box[i][0];
        g_cursorQuad.v[i].y = box[i][1];
    }
}

// The interpreter's share of a scenario frame.
inline void RunScenarioFrames(int frames) {
    for (int i = 0; i < frames && g_frameNo == FRAME_SCENARIO; ++i) {
        if (g_clickLatch && !g_selectWait)
            StepScript();
        if (g_selectWait)
            SelectLink();
    }
}

inline std::string ShownText() {
    return Utf8(g_messageBuffer, g_messagePos);
}

struct Rect {
    float left, top, right, bottom;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "[" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "]";
}

inline Rect QuadRect(const ScreenQuad& quad) {
    return {quad.v[0].x, quad.v[0].y, quad.v[2].x, quad.v[2].y};
}
