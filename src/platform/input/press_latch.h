// Holds presses of one button until the game has seen them. A frame reads the button
// once; a press and release that both fall between two reads (a touchpad tap, a
// quick click under load) would otherwise never be seen down.
#pragma once

struct PressLatch {
    bool physicalDown;
    bool reportedDown; // what the last read answered
    int pending;       // presses not yet reported
};

// Presses waiting beyond this many are dropped: a burst of taps during a stall
// should not replay as a long queue of clicks.
constexpr int PRESS_LATCH_MAX_PENDING = 4;

void NotePress(PressLatch* latch);
void NoteRelease(PressLatch* latch);
// The state for this frame: down for a held button and for a press not yet reported;
// between two reported presses one frame reads up, so that each counts as a click.
bool ReadPressLatch(PressLatch* latch);
void ClearPressLatch(PressLatch* latch);
