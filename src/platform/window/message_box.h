// Modal message boxes: the game waits until the player closes each one. Every box is
// also recorded, so that the automation driver and the tests can see what the player
// would have seen; in headless runs the box is printed to stderr instead of blocking.
// In the real window floods are capped: within one operation each message shows a few
// times, then once with the number held back (see message_repeats.h); headless runs
// print every box.
#pragma once

#include <string>
#include <vector>

enum MessageBoxOwner {
    MB_OWNER_MAIN_WINDOW, // the usual case: modal to the game window
    MB_OWNER_NONE,        // a box with no owner window
};

// text and caption are UTF-8.
void ShowMessageBox(const char* text, const char* caption,
                    MessageBoxOwner owner = MB_OWNER_MAIN_WINDOW);

// The end of an operation (the game calls it after every frame): boxes held back during
// it are reported now, one box per message.
void EndMessageBoxRun();

struct RecordedMessage {
    std::string caption;
    std::string text;
};

// Every box shown since start (or since the last clear), oldest first. The list
// keeps the first MESSAGE_RECORD_LIMIT boxes so that a box repeated every frame
// cannot grow it without bound; later ones are still printed and counted.
constexpr int MESSAGE_RECORD_LIMIT = 4096;
const std::vector<RecordedMessage>& GetRecordedMessages();
int GetMessageBoxCount();
void ClearRecordedMessages();

// Headless: print "MESSAGE <caption>: <text>" to stderr instead of showing a box.
// Defaults to headless when SDL is told to use the offscreen or dummy video driver.
void SetMessageBoxHeadless(bool headless);
bool IsMessageBoxHeadless();
