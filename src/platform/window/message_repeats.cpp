#include "platform/window/message_repeats.h"

MessageRepeatPlan NoteMessageRepeat(MessageRun* run, const std::string& caption,
                                    const std::string& text) {
    MessageRepeatPlan plan;
    if (run->count > 0 && (run->message.caption != caption || run->message.text != text))
        plan.summaryFirst = EndMessageRun(run, &plan.summary);
    if (run->count == 0)
        run->message = {caption, text};
    ++run->count;
    plan.show = run->count <= MESSAGE_REPEATS_SHOWN;
    return plan;
}

bool EndMessageRun(MessageRun* run, RecordedMessage* summary) {
    const int held = run->count - MESSAGE_REPEATS_SHOWN;
    run->count = 0;
    if (held <= 0)
        return false;
    summary->caption = run->message.caption;
    summary->text =
        run->message.text + "\n…（同じメッセージがさらに " + std::to_string(held) + " 件）";
    return true;
}
