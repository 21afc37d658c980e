// The cap on floods of one message in the real window. When one operation shows the
// same box for many items in a row (every script of the store missing from the
// archive, say), the player sees it a few times and then one box that says how many
// more there were, instead of clicking OK a hundred times. A run of the same caption
// and text ends at a different message or at the end of the operation (the game ends
// it after each frame).
#pragma once

#include "platform/window/message_box.h"

constexpr int MESSAGE_REPEATS_SHOWN = 3;

struct MessageRun {
    RecordedMessage message;
    int count = 0; // boxes of this message in a row so far, shown or held back
};

// What the screen shows for one more box.
struct MessageRepeatPlan {
    bool summaryFirst = false; // the box ended a run with boxes held back: show summary first
    RecordedMessage summary;
    bool show = false; // the box itself is shown (false: held back)
};

MessageRepeatPlan NoteMessageRepeat(MessageRun* run, const std::string& caption,
                                    const std::string& text);

// Ends the run. True when boxes of it were held back; *summary is then the one box
// that reports them: the message's caption, its text and a line with their number.
bool EndMessageRun(MessageRun* run, RecordedMessage* summary);
