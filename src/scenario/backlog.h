// The backlog: the last pages of text shown, oldest overwritten first, and whether the
// player is reading them instead of the current page.
#pragma once

#include "scenario/interpreter.h"

#include <cstdint>

constexpr int BACKLOG_PAGE_COUNT = 100;

struct BacklogPage {
    std::int32_t length;
    char text[MESSAGE_BUFFER_SIZE]; // CP932, as drawn (NUL bytes of hidden text kept)
};

extern BacklogPage g_backlog[BACKLOG_PAGE_COUNT];
extern int g_backlogCount;  // pages held
extern int g_backlogNewest; // slot of the newest page
extern bool g_backlogOpen;
extern int g_backlogBack; // pages back from the newest while open: 0 is the newest

void ClearBacklog();
// Adds a page as the newest; a text longer than a page is cut.
void AddBacklogPage(const char* text, int length);
// The page `back` pages before the newest, or null past the oldest.
const BacklogPage* BacklogPageBack(int back);
