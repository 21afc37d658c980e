// A small panel of text lines in the middle of the frame, over a dark backdrop, with
// one line marked: the settings overlay draws itself with it.
#pragma once

#include "platform/win_types.h"

constexpr int PANEL_LINE_HEIGHT = 45;
constexpr int PANEL_MAX_LINES = 12;

// The panel's frame rectangle for a number of lines; line k starts at
// top + PANEL_LINE_HEIGHT * (k + 1), after the title line.
IntRect PanelRect(int lineCount);
// The line under frame pixel (x, y), or -1 outside the lines.
int PanelLineAt(int lineCount, int x, int y);
// Lines are CP932 (ASCII here); title above them; marked -1 for none.
void DrawPanel(const char* title, const char* const* lines, int lineCount, int marked);
