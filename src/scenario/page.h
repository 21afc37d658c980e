// The page buffer's filling from the current script, and the reading and cutting of
// what the walk meets in it.
#pragma once

#include "scenario/interpreter.h"

// Script offset, in the current slot, where the last page copy stopped.
extern int g_pageEndOffset;

// Copies the next page, from the walk's script position on, into the buffer.
void FillPage();
// Starts a new page at a script offset of slot n (a scenario start, a jump, a link).
void BeginPageAt(int n, int offset);
// Removes the n bytes just before g_messagePos from the page.
void CutFromPage(int n);

// Reads the tag that starts at buffer index `at`: its length, brackets included, and
// its name, NUL-terminated into `name` (MAX_TAG_LENGTH bytes). Returns false when
// no "]" closes it within MAX_TAG_LENGTH bytes and before `end`.
bool ReadTag(const char* buffer, int at, int end, int* length, char* name);
// Copies the tag that ends just before g_messagePos, `length` bytes with its brackets,
// into `text` with a NUL after it; returns `text`.
char* CopyTagText(int length, char (&text)[MAX_TAG_LENGTH + 1]);
