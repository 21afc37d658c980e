// What makes a file the game has just put in place outlast the run: on a disk, its
// folder's entry flushed; where files live in memory, a copy in lasting storage.
#pragma once

#include <string>

// Called once a file has been renamed into folder; returns when it lasts (or when it
// cannot be made to).
void MakeStoredFilesLast(const std::string& folder);

// false when the files written in this run will not outlast it: the storage behind them
// is missing or refused the last copy. The game tells the player so when it saves.
bool StoredFilesLast();
