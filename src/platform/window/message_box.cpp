#include "platform/window/message_box.h"

#include "platform/files/host_files.h"
#include "platform/window/message_repeats.h"
#include "platform/window/message_window.h"
#include "platform/window/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr const char* UNCAPTIONED_BOX_TITLE = "Tavelle";

std::vector<RecordedMessage> s_messages;
int s_messageCount = 0;
int s_headless = -1; // -1: not decided yet
MessageRun s_run;
MessageBoxOwner s_runOwner = MB_OWNER_MAIN_WINDOW;

bool HeadlessFromEnvironment() {
    const std::string driver = HostEnvironment("SDL_VIDEODRIVER");
    return driver == "offscreen" || driver == "dummy";
}

// True when the player has already asked the game to end: a quit waits (the system
// asked, or the last window closed), or the game window's close button was pressed.
bool IsQuitWaiting(void* mainWindow) {
    if (!SDL_WasInit(SDL_INIT_EVENTS))
        return false;
    SDL_PumpEvents();
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0)
        return true;
    if (!mainWindow)
        return false;
    const Uint32 id = SDL_GetWindowID(static_cast<SDL_Window*>(mainWindow));
    std::vector<SDL_Event> events(
        std::max(0, SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT)));
    const int count = SDL_PeepEvents(events.data(), static_cast<int>(events.size()), SDL_PEEKEVENT,
                                     SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    for (int i = 0; i < count; i++) {
        if (events[i].window.event == SDL_WINDOWEVENT_CLOSE && events[i].window.windowID == id)
            return true;
    }
    return false;
}

// Our own window first; SDL's box when it cannot be made; stderr when neither shows.
// Once the player has asked to leave (say, while an earlier box of the start-up load
// showed), a box would hold the game until clicked: its text goes to stderr instead,
// and the game reaches the quit that waits.
void ShowOnScreen(const std::string& caption, const std::string& text, MessageBoxOwner owner) {
    if (IsQuitWaiting(GetMainWindowHandle())) {
        std::fprintf(stderr, "MESSAGE %s: %s\n", caption.c_str(), text.c_str());
        return;
    }
    // A box without a caption is titled with the program's name, so that the player
    // knows which program speaks (a window manager shows a stand-in such as "Unnamed
    // Window" for an empty title). The recorded caption stays as the game gave it.
    const char* title = caption.empty() ? UNCAPTIONED_BOX_TITLE : caption.c_str();
    void* parent = owner == MB_OWNER_MAIN_WINDOW ? GetMainWindowHandle() : nullptr;
    if (ShowMessageWindow(title, text.c_str(), parent))
        return;
    const int cursor = SDL_ShowCursor(SDL_QUERY);
    SDL_ShowCursor(SDL_ENABLE);
    const int shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text.c_str(),
                                               static_cast<SDL_Window*>(parent));
    SDL_ShowCursor(cursor);
    if (shown != 0)
        std::fprintf(stderr, "MESSAGE %s: %s\n", caption.c_str(), text.c_str());
}

} // namespace

void ShowMessageBox(const char* text, const char* caption, MessageBoxOwner owner) {
    if (!text)
        text = "";
    if (!caption)
        caption = "";
    if (static_cast<int>(s_messages.size()) < MESSAGE_RECORD_LIMIT)
        s_messages.push_back({caption, text});
    ++s_messageCount;

    if (IsMessageBoxHeadless()) {
        std::fprintf(stderr, "MESSAGE %s: %s\n", caption, text);
        return;
    }
    if (s_run.entries.empty())
        s_runOwner = owner;
    if (NoteMessageRepeat(&s_run, caption, text))
        ShowOnScreen(caption, text, owner);
}

void EndMessageBoxRun() {
    for (const RecordedMessage& summary : EndMessageRun(&s_run))
        ShowOnScreen(summary.caption, summary.text, s_runOwner);
}

const std::vector<RecordedMessage>& GetRecordedMessages() {
    return s_messages;
}

int GetMessageBoxCount() {
    return s_messageCount;
}

void ClearRecordedMessages() {
    s_messages.clear();
    s_messageCount = 0;
}

void SetMessageBoxHeadless(bool headless) {
    s_headless = headless ? 1 : 0;
}

bool IsMessageBoxHeadless() {
    if (s_headless < 0)
        s_headless = HeadlessFromEnvironment() ? 1 : 0;
    return s_headless == 1;
}
