#include "platform/input/press_latch.h"

void NotePress(PressLatch* latch) {
    latch->physicalDown = true;
    if (latch->pending < PRESS_LATCH_MAX_PENDING)
        ++latch->pending;
}

void NoteRelease(PressLatch* latch) {
    latch->physicalDown = false;
}

bool ReadPressLatch(PressLatch* latch) {
    bool down = latch->physicalDown;
    if (latch->pending > 0) {
        if (latch->reportedDown) {
            down = false;
        } else {
            down = true;
            --latch->pending;
        }
    }
    latch->reportedDown = down;
    return down;
}

void ClearPressLatch(PressLatch* latch) {
    *latch = PressLatch{};
}
