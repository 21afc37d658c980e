#include "scenario/interpreter.h"

#include "core/frame_state.h"
#include "core/input_state.h"
#include "scenario/flow_tags.h"
#include "scenario/links.h"
#include "scenario/page.h"
#include "scenario/picture_layers.h"
#include "scenario/scenario_store.h"
#include "scenario/sound_tags.h"
#include "scenario/variables.h"

#include <cstring>

int g_charsPerLine = 25;
int g_currentScenario;
const char* g_pageSource = g_scenarioStore;
char g_messageBuffer[MESSAGE_BUFFER_SIZE];
int g_pageLength;
int g_messagePos;
int g_removedBytes;
int g_textLine;
int g_textColumn;
bool g_linkMode;
bool g_selectWait;
ScreenQuad g_clickIconQuad;
int g_clickIconX;
int g_clickIconY;

namespace {

void ClickWaitTag(int) {
    if (!g_linkMode)
        g_clickLatch = false;
    PlaceClickIcon();
}

void NewPageTag(int) {
    // The byte after "]" is the CR of the tag's line end.
    ++g_messagePos;
    FillPage();
}

void EndLinkTag(int) {
    g_textColumn = 0;
    g_linkMode = true;
}

void SelectTag(int) {
    g_selectWait = true;
}
void EndIfTag(int) {}
void StopBgm(int) {
    StopBgmTag();
}
void Exit(int) {
    ExitTag();
}

struct TagHandler {
    const char* name;
    void (*run)(int length);
    bool cut; // the tag leaves the page once it has run
};

const TagHandler TAG_HANDLERS[] = {
    {"l", ClickWaitTag, true},   {"ct", NewPageTag, false},     {"image", ImageTag, true},
    {"playse", PlaySeTag, true}, {"playbgm", PlayBgmTag, true}, {"stopbgm", StopBgm, true},
    {"jump", JumpTag, false},    {"link", LinkTag, true},       {"endlink", EndLinkTag, true},
    {"s", SelectTag, true},      {"eval", EvalTag, true},       {"if", IfTag, false},
    {"endif", EndIfTag, true},   {"exit", Exit, false},
};

void RunTag() {
    int length = 0;
    char name[MAX_TAG_LENGTH];
    if (!ReadTag(g_messageBuffer, g_messagePos, g_pageLength, &length, name)) {
        ++g_messagePos;
        return;
    }
    g_messagePos += length;
    for (const TagHandler& handler : TAG_HANDLERS) {
        if (std::strcmp(handler.name, name) != 0)
            continue;
        handler.run(length);
        if (handler.cut)
            CutFromPage(length);
        return;
    }
    // An unknown tag stays before the walk and shows as text.
}

// A comment or label line, its line feed included, leaves the page.
void CutLine() {
    const int start = g_messagePos;
    const void* lineFeed =
        std::memchr(g_messageBuffer + start, '\n', static_cast<size_t>(g_pageLength - start));
    g_messagePos = lineFeed
                       ? static_cast<int>(static_cast<const char*>(lineFeed) - g_messageBuffer) + 1
                       : g_pageLength;
    CutFromPage(g_messagePos - start);
}

} // namespace

bool IsScriptTag(const char* name) {
    for (const TagHandler& handler : TAG_HANDLERS) {
        if (std::strcmp(handler.name, name) == 0)
            return true;
    }
    return false;
}

void StartScenario(int n) {
    if (!IsScenarioSlot(n))
        return;
    BeginPageAt(n, 0);
    g_frameNo = FRAME_SCENARIO;
}

void StepScript() {
    // At the end of the page the walk stays: nothing more is read or shown.
    if (g_messagePos < 0 || g_messagePos >= g_pageLength)
        return;
    const unsigned char b = static_cast<unsigned char>(g_messageBuffer[g_messagePos]);
    if (b >= 0x80) {
        g_messagePos = g_messagePos + 2 <= g_pageLength ? g_messagePos + 2 : g_pageLength;
        ++g_textColumn;
        return;
    }
    switch (b) {
    case '[':
        RunTag();
        break;
    case ';':
    case '*':
        CutLine();
        break;
    case '\n':
        ++g_textLine;
        g_textColumn = 0;
        ++g_messagePos;
        break;
    default:
        ++g_messagePos;
        break;
    }
}

void PlaceClickIcon() {
    // An icon at the start of a line goes to the right end of that line.
    const int column = g_textColumn == 0 ? g_charsPerLine : g_textColumn;
    g_clickIconX = g_textRect.left + CHAR_CELL_WIDTH * column;
    g_clickIconY = g_textRect.top + LINE_HEIGHT * g_textLine;
    MoveQuad(&g_clickIconQuad, -g_clickIconQuad.v[0].x, -g_clickIconQuad.v[0].y, 0.0f);
    MoveQuad(&g_clickIconQuad, static_cast<float>(g_clickIconX), static_cast<float>(g_clickIconY),
             0.0f);
}
