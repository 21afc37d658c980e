#include "app/text_pace.h"

#include "app/save_game.h"
#include "core/frame_state.h"
#include "core/input_state.h"
#include "scenario/backlog.h"
#include "scenario/interpreter.h"
#include "scenario/scenario_store.h"
#include "scene/note.h"

#include "platform/files/stored_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

int g_textSpeed = TEXT_SPEED_NORMAL;
int g_autoPauseFrames = 60;
bool g_autoMode = false;

namespace {

// A skip or an instant page walks at most this many elements in one frame.
constexpr int FRAME_STEP_LIMIT = 8192;
constexpr int FASTER_STEPS = 3;
constexpr int AUTO_FRAMES_PER_BYTE = 2;
constexpr const char* READ_PAGES_FILE = "read-pages.txt";

std::uint8_t s_lastKeys[256];
std::uint8_t s_lastRightButton = 0;
bool s_slowFrameSkipped = false;
int s_autoWaited = 0;

// A page is known by its script slot and the offset where it begins.
struct PageKey {
    int slot;
    int offset;
    bool operator==(const PageKey& other) const {
        return slot == other.slot && offset == other.offset;
    }
};

bool s_onPage = false;
PageKey s_page = {0, 0};
char s_pageText[MESSAGE_BUFFER_SIZE];
int s_pageTextLength = 0;
std::set<std::pair<int, int>> s_readPages;
bool s_readPagesChanged = false;

bool Down(int key) {
    return (g_keyState[key] & 0x80) != 0;
}

bool Pressed(int key) {
    return Down(key) && !(s_lastKeys[key] & 0x80);
}

PageKey CurrentPage() {
    return {g_currentScenario, static_cast<int>(g_pageSource - ScenarioText(g_currentScenario))};
}

bool IsRead(const PageKey& page) {
    return s_readPages.count({page.slot, page.offset}) > 0;
}

std::string ReadPagesPath() {
    return GameSaveFolder() + "/" + READ_PAGES_FILE;
}

} // namespace

void StoreReadPages() {
    if (!s_readPagesChanged)
        return;
    s_readPagesChanged = false;
    std::string text;
    for (const auto& [slot, offset] : s_readPages)
        text += std::to_string(slot) + " " + std::to_string(offset) + "\n";
    std::string error;
    if (!WriteStoredFile(ReadPagesPath(), text.data(), text.size(), false, &error))
        std::fprintf(stderr, "tavelle: read pages not kept: %s\n", error.c_str());
}

namespace {

void KeepPageText() {
    s_pageTextLength = std::clamp(g_messagePos, 0, MESSAGE_BUFFER_SIZE);
    std::memcpy(s_pageText, g_messageBuffer, static_cast<std::size_t>(s_pageTextLength));
}

bool HasVisibleText(const char* text, int length) {
    for (int i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b > ' ')
            return true;
    }
    return false;
}

// Called whenever the walk may have left its page: the page left goes to the backlog and
// counts as read; a scene's page becomes the one followed.
void FollowPage() {
    const bool inScene = g_frameNo == FRAME_SCENARIO;
    if (s_onPage && (!inScene || !(CurrentPage() == s_page))) {
        if (HasVisibleText(s_pageText, s_pageTextLength))
            AddBacklogPage(s_pageText, s_pageTextLength);
        s_readPagesChanged |= s_readPages.insert({s_page.slot, s_page.offset}).second;
        s_onPage = false;
    }
    if (!inScene) {
        StoreReadPages();
        return;
    }
    if (!s_onPage) {
        s_onPage = true;
        s_page = CurrentPage();
        s_pageTextLength = 0;
    }
}

void HandleAdvanceKeys() {
    if (!g_selectWait && (Pressed(DIK_SPACE) || Pressed(DIK_RETURN)))
        g_clickLatch = true;
    if (Pressed(DIK_A)) {
        g_autoMode = !g_autoMode;
        s_autoWaited = 0;
        ShowNote(g_autoMode ? "Auto mode on" : "Auto mode off");
    }
}

bool SkipsAll() {
    return (Down(DIK_LCONTROL) || Down(DIK_RCONTROL)) && (Down(DIK_LSHIFT) || Down(DIK_RSHIFT));
}

bool Skips() {
    return SkipsAll() || ((Down(DIK_LCONTROL) || Down(DIK_RCONTROL)) && IsRead(CurrentPage()));
}

int StepsThisFrame() {
    switch (g_textSpeed) {
    case TEXT_SPEED_SLOWER:
        s_slowFrameSkipped = !s_slowFrameSkipped;
        return s_slowFrameSkipped ? 0 : 1;
    case TEXT_SPEED_FASTER:
        return FASTER_STEPS;
    case TEXT_SPEED_INSTANT:
        return FRAME_STEP_LIMIT;
    default:
        return 1;
    }
}

// At a click wait the automatic advance counts frames, longer for a longer page.
void AdvanceAutomatically() {
    if (g_clickLatch || g_selectWait) {
        s_autoWaited = 0;
        return;
    }
    if (++s_autoWaited >= g_autoPauseFrames + AUTO_FRAMES_PER_BYTE * g_messagePos) {
        g_clickLatch = true;
        s_autoWaited = 0;
    }
}

void WalkPage(int steps, bool skipping) {
    for (int i = 0; i < steps && g_clickLatch && !g_selectWait && g_frameNo == FRAME_SCENARIO;
         ++i) {
        // A tag may turn the page: what was drawn of it is kept for the backlog first.
        if (g_messagePos < g_pageLength && g_messageBuffer[g_messagePos] == '[')
            KeepPageText();
        const int pos = g_messagePos;
        const int length = g_pageLength;
        const PageKey page = CurrentPage();
        StepScript();
        if (g_frameNo != FRAME_SCENARIO || !(CurrentPage() == page)) {
            FollowPage();
            if (skipping && !Skips())
                break;
        } else if (pos == g_messagePos && length == g_pageLength) {
            break; // the walk stands at the end of the page
        }
    }
}

void CloseBacklog() {
    g_backlogOpen = false;
    g_backlogBack = 0;
}

// The backlog's keys; true while it is open, when the page waits.
bool ReadBacklogKeys() {
    const bool back = Pressed(DIK_PRIOR) || g_mouseState.z > 0;
    const bool forward = Pressed(DIK_NEXT) || g_mouseState.z < 0;
    if (!g_backlogOpen) {
        if (back && g_backlogCount > 0) {
            g_backlogOpen = true;
            g_backlogBack = 0;
        }
        return g_backlogOpen;
    }
    const bool rightPressed = g_buttonDown[1] && !s_lastRightButton;
    if (rightPressed || Pressed(DIK_BACK)) {
        CloseBacklog();
    } else if (back || Pressed(DIK_UP)) {
        g_backlogBack = std::min(g_backlogBack + 1, g_backlogCount - 1);
    } else if (forward || Pressed(DIK_DOWN)) {
        if (g_backlogBack == 0)
            CloseBacklog();
        else
            --g_backlogBack;
    }
    return true;
}

} // namespace

void StepScenarioText() {
    const bool clickLatch = g_clickLatch;
    const bool reading = ReadBacklogKeys();
    if (reading) {
        // Clicks on the backlog do not reach the page under it.
        g_clickLatch = clickLatch;
    } else {
        HandleAdvanceKeys();
        FollowPage();
        const bool skipping = !g_selectWait && Skips();
        if (skipping)
            g_clickLatch = true;
        else if (g_autoMode)
            AdvanceAutomatically();
        WalkPage(skipping ? FRAME_STEP_LIMIT : StepsThisFrame(), skipping);
        if (s_onPage)
            KeepPageText();
    }
    std::memcpy(s_lastKeys, g_keyState, sizeof s_lastKeys);
    s_lastRightButton = g_buttonDown[1];
}

bool CloseBacklogByEscape() {
    if (!g_backlogOpen)
        return false;
    CloseBacklog();
    return true;
}

void LoadReadPages() {
    s_onPage = false;
    s_readPages.clear();
    s_readPagesChanged = false;
    std::vector<std::uint8_t> bytes;
    std::string error;
    bool missing = false;
    if (!ReadStoredFile(ReadPagesPath(), &bytes, &error, &missing)) {
        if (!missing)
            std::fprintf(stderr, "tavelle: read pages not loaded: %s\n", error.c_str());
        return;
    }
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    int slot = 0, offset = 0;
    while (in >> slot >> offset) {
        if (IsScenarioSlot(slot) && offset >= 0 && offset <= SCENARIO_MAX_LENGTH)
            s_readPages.insert({slot, offset});
    }
}
