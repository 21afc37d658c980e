#include "scene/note.h"

#include "render/render_setup.h"

#include "platform/text/cp932.h"

#include <string>

namespace {

constexpr int NOTE_MARGIN = 12;
constexpr int NOTE_HALF_WIDTH = 18; // every CP932 byte takes half a cell
constexpr int NOTE_LINE_HEIGHT = 45;
constexpr std::uint32_t NOTE_COLOR = 0xFFFFFF80u;
constexpr std::uint32_t NOTE_SHADOW_COLOR = 0xFF000000u;

std::string s_noteUtf8;
std::string s_noteCp932;
int s_noteFramesLeft = 0;

// CP932 bytes of the text, character by character: one that code page 932 cannot
// write becomes "?", and the text stops before it would pass NOTE_TEXT_SIZE bytes.
std::string NoteBytes(const std::string& utf8) {
    std::string out;
    std::size_t at = 0;
    while (at < utf8.size()) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(utf8[at]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        std::string bytes;
        if (!Utf8ToCp932(utf8.substr(at, length), &bytes))
            bytes = "?";
        if (out.size() + bytes.size() > NOTE_TEXT_SIZE)
            break;
        out += bytes;
        at += length;
    }
    return out;
}

void DrawNoteText() {
    const int width = NOTE_HALF_WIDTH * static_cast<int>(s_noteCp932.size());
    const int left = SCREEN_WIDTH - NOTE_MARGIN - width;
    const IntRect shadow = {left + 2, NOTE_MARGIN + 2, SCREEN_WIDTH,
                            NOTE_MARGIN + 2 + NOTE_LINE_HEIGHT};
    const IntRect text = {left, NOTE_MARGIN, SCREEN_WIDTH, NOTE_MARGIN + NOTE_LINE_HEIGHT};
    const int count = static_cast<int>(s_noteCp932.size());
    g_pFont->DrawText(s_noteCp932.data(), count, &shadow, DT_TOPLEFT, NOTE_SHADOW_COLOR);
    g_pFont->DrawText(s_noteCp932.data(), count, &text, DT_TOPLEFT, NOTE_COLOR);
}

} // namespace

void ShowNote(const char* text) {
    s_noteUtf8 = text;
    s_noteCp932 = NoteBytes(s_noteUtf8);
    s_noteFramesLeft = NOTE_FRAMES;
}

void DrawNote() {
    if (s_noteFramesLeft <= 0)
        return;
    if (g_pFont)
        DrawNoteText();
    if (--s_noteFramesLeft == 0)
        s_noteUtf8.clear();
}

const char* CurrentNote() {
    return s_noteUtf8.c_str();
}
