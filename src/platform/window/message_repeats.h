// The cap on floods of one message in the real window. When one operation shows the
// same boxes for many items (every script of the store missing from the archive shows
// the archive's three messages once per script, say), the player sees each distinct
// message a few times and then, when the operation ends, one box per message that
// says how many more there were, instead of clicking OK hundreds of times. The boxes
// of one operation (the game ends one after each frame) come in a row, with nothing
// the player can do between them, so a run is an operation.
#pragma once

#include "platform/window/message_box.h"

#include <vector>

constexpr int MESSAGE_REPEATS_SHOWN = 3;

struct MessageRun {
    struct Entry {
        RecordedMessage message;
        int count = 0; // boxes of this caption and text so far, shown or held back
    };
    std::vector<Entry> entries; // in the order the messages first came
};

// Counts one more box into the run; true when it is shown, false when it is held back.
bool NoteMessageRepeat(MessageRun* run, const std::string& caption, const std::string& text);

// Ends the run and returns one box for each message with boxes held back, in the order
// the messages first came: its caption, its text and a line with their number.
std::vector<RecordedMessage> EndMessageRun(MessageRun* run);
