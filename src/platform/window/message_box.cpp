#include "platform/window/message_box.h"

#include "platform/window/window.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::vector<RecordedMessage> s_messages;
int s_messageCount = 0;
int s_headless = -1; // -1: not decided yet

bool HeadlessFromEnvironment() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
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

    if (!IsMessageBoxHeadless()) {
        SDL_Window* parent = owner == MB_OWNER_MAIN_WINDOW
                                 ? static_cast<SDL_Window*>(GetMainWindowHandle())
                                 : nullptr;
        SDL_ShowCursor(SDL_ENABLE);
        const int shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent);
        SDL_ShowCursor(SDL_DISABLE);
        if (shown == 0)
            return;
    }
    std::fprintf(stderr, "MESSAGE %s: %s\n", caption, text);
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
