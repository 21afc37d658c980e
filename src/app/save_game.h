// Saves during play: F5 writes the quick save, F9 loads the newest save of this game
// (quick or automatic), and leaving the game writes the automatic save first.
#pragma once

#include <string>

enum SaveSlot { SAVE_SLOT_QUICK, SAVE_SLOT_AUTO };

// The folder that holds one save folder per game, instead of
// "$XDG_DATA_HOME/tavelle/saves" (an empty string restores that).
void SetSaveRootFolder(const std::string& folder);
// This game's save folder, named by its identity, and a slot's file in it.
std::string GameSaveFolder();
std::string SaveSlotPath(SaveSlot slot);

// Remembered until a frame in the field or a scene can take them: a save waits out
// the loading screen.
void RequestQuickSave();
void RequestLoad();
// After each frame's work: the save or load asked for, when the frame allows it.
void RunSaveRequests();
// The end of the start-up load: the records of a load asked for are put in place.
void PlaceLoadedSave();
// Leaving the game: the automatic save, unless nothing is being played (the loading
// screen). false when it could not be written (said on stderr).
bool WriteAutomaticSave();
