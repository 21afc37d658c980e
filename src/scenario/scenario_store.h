// The scenario store: every script of the game, read once at start-up into 100
// fixed slots and known everywhere by its slot number.
#pragma once

#include <cstddef>

constexpr int SCENARIO_COUNT = 100;
// One byte short of 64 KiB: a script holds at most 65534 bytes and its NUL.
constexpr int SCENARIO_SLOT_SIZE = 65535;
constexpr int SCENARIO_MAX_LENGTH = SCENARIO_SLOT_SIZE - 1;

constexpr const char* SCENARIO_LIST_KEY = "./Scenario/fileNameList.txt";

// SCENARIO_COUNT slots of SCENARIO_SLOT_SIZE bytes, NUL-terminated Shift-JIS texts.
extern char g_scenarioStore[SCENARIO_COUNT * SCENARIO_SLOT_SIZE];

// Reads the file list and every script it names into the slots.
void LoadScenarioStore();
// The first byte of slot n; a slot number outside 0-99 gets an empty text.
const char* ScenarioText(int n);
// True for the slot numbers 0-99.
bool IsScenarioSlot(int n);
// Puts a text into slot n: it ends at its first NUL or after `length` bytes, and is
// cut to SCENARIO_MAX_LENGTH bytes; the rest of the slot is cleared, so its last byte
// is always a NUL.
void StoreScenarioText(int n, const char* text, std::size_t length);
