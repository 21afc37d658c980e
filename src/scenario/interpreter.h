// The page-by-page script interpreter: the page buffer that FillPage prepares, the
// walk that StepScript takes through it one element per frame, and the message area.
#pragma once

#include "render/screen_quad.h"

#include "platform/win_types.h"

constexpr int MESSAGE_BUFFER_SIZE = 2048;
// A tag, brackets included, is at most this long.
constexpr int MAX_TAG_LENGTH = 255;
constexpr int CHAR_CELL_WIDTH = 36;
constexpr int LINE_HEIGHT = 45;
constexpr int CLICK_ICON_SIZE = 64;

constexpr IntRect g_textRect = {50, 50, 974, 718};
constexpr IntRect g_shadowRect = {52, 52, 976, 720};

extern int g_charsPerLine;

extern int g_currentScenario;
// Where in the current script the current page begins.
extern const char* g_pageSource;
extern char g_messageBuffer[MESSAGE_BUFFER_SIZE];
// Bytes of g_messageBuffer that belong to the page; the walk never goes past them.
extern int g_pageLength;
// Next element of the walk, and the number of bytes drawn.
extern int g_messagePos;
// Script bytes minus buffer bytes before g_messagePos.
extern int g_removedBytes;
extern int g_textLine;
extern int g_textColumn;
extern bool g_linkMode;
extern bool g_selectWait;
extern ScreenQuad g_clickIconQuad;
extern int g_clickIconX;
extern int g_clickIconY;

// Runs scenario n from the beginning of its script; a number outside 0-99 is refused.
void StartScenario(int n);
// Handles one element of the page: a character, a line break, a comment or label
// line, a hidden byte or one tag.
void StepScript();
// Puts the click-wait icon after the text walked so far.
void PlaceClickIcon();
// True for the names that StepScript runs; any other tag stays on the page as text.
bool IsScriptTag(const char* name);
