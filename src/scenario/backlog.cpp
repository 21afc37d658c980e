#include "scenario/backlog.h"

#include <cstring>

BacklogPage g_backlog[BACKLOG_PAGE_COUNT];
int g_backlogCount = 0;
int g_backlogNewest = BACKLOG_PAGE_COUNT - 1;
bool g_backlogOpen = false;
int g_backlogBack = 0;

void ClearBacklog() {
    g_backlogCount = 0;
    g_backlogNewest = BACKLOG_PAGE_COUNT - 1;
    g_backlogOpen = false;
    g_backlogBack = 0;
}

void AddBacklogPage(const char* text, int length) {
    if (length < 0)
        length = 0;
    if (length > MESSAGE_BUFFER_SIZE)
        length = MESSAGE_BUFFER_SIZE;
    g_backlogNewest = (g_backlogNewest + 1) % BACKLOG_PAGE_COUNT;
    BacklogPage& page = g_backlog[g_backlogNewest];
    page.length = length;
    std::memcpy(page.text, text, static_cast<std::size_t>(length));
    if (g_backlogCount < BACKLOG_PAGE_COUNT)
        ++g_backlogCount;
}

const BacklogPage* BacklogPageBack(int back) {
    if (back < 0 || back >= g_backlogCount)
        return nullptr;
    return &g_backlog[(g_backlogNewest - back + BACKLOG_PAGE_COUNT) % BACKLOG_PAGE_COUNT];
}
