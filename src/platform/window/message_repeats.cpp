#include "platform/window/message_repeats.h"

bool NoteMessageRepeat(MessageRun* run, const std::string& caption, const std::string& text) {
    for (MessageRun::Entry& entry : run->entries) {
        if (entry.message.caption == caption && entry.message.text == text)
            return ++entry.count <= MESSAGE_REPEATS_SHOWN;
    }
    run->entries.push_back({{caption, text}, 1});
    return true;
}

std::vector<RecordedMessage> EndMessageRun(MessageRun* run) {
    std::vector<RecordedMessage> summaries;
    for (const MessageRun::Entry& entry : run->entries) {
        const int held = entry.count - MESSAGE_REPEATS_SHOWN;
        if (held > 0)
            summaries.push_back({entry.message.caption, entry.message.text +
                                                            "\n…（同じメッセージがさらに " +
                                                            std::to_string(held) + " 件）"});
    }
    run->entries.clear();
    return summaries;
}
