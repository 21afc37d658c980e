#include "scenario/page.h"

#include "scenario/interpreter.h"
#include "scenario/scenario_store.h"

#include <cstring>

namespace {

// The current script, read through bounds: every byte at or past the slot's last one
// reads as the NUL that ends the script, so no walk leaves the slot.
struct Script {
    const char* text;
    unsigned char At(int at) const {
        return at >= 0 && at < SCENARIO_MAX_LENGTH ? static_cast<unsigned char>(text[at]) : 0;
    }
};

// The "]" that closes the tag starting at `at`, or -1 when the script ends first or
// the tag would be longer than MAX_TAG_LENGTH.
int FindTagClose(const Script& script, int at) {
    for (int k = 1; k < MAX_TAG_LENGTH; ++k) {
        const unsigned char b = script.At(at + k);
        if (b == '\0')
            return -1;
        if (b == ']')
            return at + k;
    }
    return -1;
}

// A full line keeps its own line end instead of a break of ours: look at the byte after
// the character, or after a tag there, two bytes past its "]" (the LF of its CR LF).
bool LineEndsAfter(const Script& script, int at) {
    if (script.At(at) != '[')
        return script.At(at) == '\n';
    const int close = FindTagClose(script, at);
    if (close < 0 || script.At(close + 1) == '\0')
        return false;
    return script.At(close + 2) == '\n';
}

// Where the walk stands in the script. Past the end of the copied page only the byte
// that [ct] skips can lie, and never past the script's NUL.
int WalkPosition(const Script& script) {
    int target = static_cast<int>(g_pageSource - script.text) + g_removedBytes + g_messagePos;
    if (target > SCENARIO_MAX_LENGTH)
        target = SCENARIO_MAX_LENGTH;
    if (target <= g_pageEndOffset)
        return target < 0 ? 0 : target;
    int at = g_pageEndOffset;
    while (at < target && script.At(at) != '\0')
        ++at;
    return at;
}

// Copies the page from script offset `at`; returns the offset where the copy stopped.
int CopyPage(const Script& script, int at) {
    int pos = 0;
    int column = 0;
    for (;;) {
        const unsigned char b = script.At(at);
        if (b == '\0')
            break;
        const int close = b == '[' ? FindTagClose(script, at) : -1;
        if (b >= 0x80 && script.At(at + 1) != '\0') {
            if (pos + 2 > MESSAGE_BUFFER_SIZE)
                break;
            g_messageBuffer[pos++] = script.text[at];
            g_messageBuffer[pos++] = script.text[at + 1];
            at += 2;
            if (++column == g_charsPerLine && !LineEndsAfter(script, at)) {
                if (pos + 1 > MESSAGE_BUFFER_SIZE)
                    break;
                g_messageBuffer[pos++] = '\n';
                --g_removedBytes;
                column = 0;
            }
        } else if (b == '\n') {
            if (pos + 1 > MESSAGE_BUFFER_SIZE)
                break;
            g_messageBuffer[pos++] = '\n';
            ++at;
            column = 0;
        } else if (close >= 0) {
            const int length = close - at + 1;
            if (pos + length > MESSAGE_BUFFER_SIZE)
                break;
            std::memcpy(g_messageBuffer + pos, script.text + at, length);
            pos += length;
            at += length;
            if (length == 4 && std::memcmp(script.text + at - 4, "[ct]", 4) == 0)
                break;
        } else if (b == ';' || b == '*') {
            int end = at;
            while (script.At(end) != '\0' && script.At(end) != '\n')
                ++end;
            if (pos + (end - at) > MESSAGE_BUFFER_SIZE)
                break;
            std::memcpy(g_messageBuffer + pos, script.text + at, end - at);
            pos += end - at;
            at = end;
        } else if (b == '\\') {
            // The line continues: the backslash and its CR LF go, but never the NUL.
            int skipped = 1;
            while (skipped < 3 && script.At(at + skipped) != '\0')
                ++skipped;
            at += skipped;
            g_removedBytes += skipped;
        } else {
            // Single-byte text, CRs, an unclosed "[" and a lead byte that the script's
            // end cuts off: one hidden byte each.
            if (pos + 1 > MESSAGE_BUFFER_SIZE)
                break;
            g_messageBuffer[pos++] = '\0';
            ++at;
        }
    }
    g_pageLength = pos;
    std::memset(g_messageBuffer + pos, 0, MESSAGE_BUFFER_SIZE - pos);
    return at;
}

} // namespace

int g_pageEndOffset;

void FillPage() {
    const Script script = {ScenarioText(g_currentScenario)};
    int at = WalkPosition(script);
    g_messagePos = 0;
    g_removedBytes = 0;
    // A page never starts with hidden bytes, line breaks or a comment's ";".
    while (script.At(at) != '\0' && script.At(at) < 0x80 && script.At(at) != '[')
        ++at;
    g_pageSource = script.text + at;
    g_pageEndOffset = CopyPage(script, at);
    g_textLine = 0;
    g_textColumn = 0;
}

void BeginPageAt(int n, int offset) {
    if (!IsScenarioSlot(n) || offset < 0 || offset > SCENARIO_MAX_LENGTH)
        return;
    g_currentScenario = n;
    g_pageSource = ScenarioText(n) + offset;
    g_pageEndOffset = offset;
    g_messagePos = 0;
    g_removedBytes = 0;
    FillPage();
}

void CutFromPage(int n) {
    if (n > g_messagePos)
        n = g_messagePos;
    if (n <= 0)
        return;
    std::memmove(g_messageBuffer + g_messagePos - n, g_messageBuffer + g_messagePos,
                 g_pageLength - g_messagePos);
    g_pageLength -= n;
    std::memset(g_messageBuffer + g_pageLength, 0, n);
    g_messagePos -= n;
    g_removedBytes += n;
}

bool ReadTag(const char* buffer, int at, int end, int* length, char* name) {
    int close = -1;
    for (int k = 1; k < MAX_TAG_LENGTH && at + k < end; ++k) {
        if (buffer[at + k] == ']') {
            close = at + k;
            break;
        }
    }
    if (close < 0)
        return false;
    int n = 0;
    while (at + 1 + n < close && buffer[at + 1 + n] != ' ') {
        name[n] = buffer[at + 1 + n];
        ++n;
    }
    name[n] = '\0';
    *length = close - at + 1;
    return true;
}

char* CopyTagText(int length, char (&text)[MAX_TAG_LENGTH + 1]) {
    std::memcpy(text, g_messageBuffer + g_messagePos - length, length);
    text[length] = '\0';
    return text;
}
