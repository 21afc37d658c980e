#include "platform/window/message_box.h"

#include "platform/window/message_repeats.h"
#include "platform/window/message_window.h"
#include "platform/window/window.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::vector<RecordedMessage> s_messages;
int s_messageCount = 0;
int s_headless = -1; // -1: not decided yet
MessageRun s_run;
MessageBoxOwner s_runOwner = MB_OWNER_MAIN_WINDOW;

bool HeadlessFromEnvironment() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// Our own window first; SDL's box when it cannot be made; stderr when neither shows.
void ShowOnScreen(const std::string& caption, const std::string& text, MessageBoxOwner owner) {
    void* parent = owner == MB_OWNER_MAIN_WINDOW ? GetMainWindowHandle() : nullptr;
    if (ShowMessageWindow(caption.c_str(), text.c_str(), parent))
        return;
    const int cursor = SDL_ShowCursor(SDL_QUERY);
    SDL_ShowCursor(SDL_ENABLE);
    const int shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(),
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
