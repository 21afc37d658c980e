// Text at the player's pace, beside the left click: Space and Enter pass a click wait,
// Ctrl skips pages already read, Ctrl+Shift skips to the next choice, A toggles the
// automatic advance, and the text speed sets how much of a page each frame walks.
// The backlog keys open and scroll the pages shown before.
#pragma once

enum TextSpeed {
    TEXT_SPEED_SLOWER,  // one element every other frame
    TEXT_SPEED_NORMAL,  // one element a frame
    TEXT_SPEED_FASTER,  // three a frame
    TEXT_SPEED_INSTANT, // up to the next wait at once
    TEXT_SPEED_COUNT,
};

extern int g_textSpeed;
// The automatic advance waits this many frames at a click wait, and two more for every
// byte of text on the page.
extern int g_autoPauseFrames;
extern bool g_autoMode;

// The scenario frame's walk through the page, in place of a single step.
void StepScenarioText();
// Escape while the backlog is open closes it; true when it did.
bool CloseBacklogByEscape();
// The read pages of the game now loaded, kept beside its saves, and their writing
// (only when pages were read since).
void LoadReadPages();
void StoreReadPages();
