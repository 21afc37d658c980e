// The short note in the frame's top-right corner that tells the player what just
// happened outside the story (saved, loaded, a refused save, a screenshot's name).
#pragma once

// Frames a note stays: about two seconds at the game's 60 frames a second.
constexpr int NOTE_FRAMES = 120;
// Bytes of a note's CP932 text; a longer text is cut at a character's end.
constexpr int NOTE_TEXT_SIZE = 96;

// Replaces the note shown; text is UTF-8 (characters the font cannot show become "?").
void ShowNote(const char* text);
// Draws the note in the frame and counts its frames down; nothing once it has gone.
void DrawNote();
// The note's text as UTF-8, empty while none is shown (for the state files).
const char* CurrentNote();
