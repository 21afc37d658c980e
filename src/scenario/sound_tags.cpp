#include "scenario/sound_tags.h"

#include "core/tokenizer.h"
#include "scenario/interpreter.h"
#include "scenario/page.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

namespace {

// The number after the tag's name; false when there is none.
bool ReadTagNumber(int length, int* number) {
    char text[MAX_TAG_LENGTH + 1];
    char* cursor = CopyTagText(length, text);
    NextToken(&cursor, TOKEN_DELIMITERS);
    const char* token = NextToken(&cursor, TOKEN_DELIMITERS);
    if (!token)
        return false;
    *number = TokenToInt(token);
    return true;
}

} // namespace

void PlaySeTag(int length) {
    int slot = 0;
    if (ReadTagNumber(length, &slot))
        PlaySoundEffect(slot);
}

void PlayBgmTag(int length) {
    // A channel outside the table is refused, so the music state keeps a real channel.
    int channel = 0;
    if (ReadTagNumber(length, &channel) && channel >= 0 && channel < STREAM_CHANNEL_COUNT)
        SwitchMusic(channel);
}

void StopBgmTag() {
    StopMusic();
}
