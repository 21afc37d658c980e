// Presses that come and go between two frames still reach the game, one click each.
#include "platform/input/press_latch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the game reads over the next frames, as a string of 'D' (down) and 'u' (up).
std::string ReadFrames(PressLatch* latch, int frames) {
    std::string seen;
    for (int i = 0; i < frames; ++i)
        seen += ReadPressLatch(latch) ? 'D' : 'u';
    return seen;
}

TEST(PressLatch, PressAndReleaseWithinOneFrameIsSeenDownOnce) {
    PressLatch latch{};
    EXPECT_EQ(ReadFrames(&latch, 2), "uu");
    NotePress(&latch);
    NoteRelease(&latch);
    EXPECT_EQ(ReadFrames(&latch, 3), "Duu");
}

TEST(PressLatch, HeldPressStaysDownUntilReleased) {
    PressLatch latch{};
    NotePress(&latch);
    EXPECT_EQ(ReadFrames(&latch, 4), "DDDD");
    NoteRelease(&latch);
    EXPECT_EQ(ReadFrames(&latch, 2), "uu");
}

TEST(PressLatch, TwoClicksWithinOneFrameGiveTwoDownFramesWithAnUpBetween) {
    PressLatch latch{};
    NotePress(&latch);
    NoteRelease(&latch);
    NotePress(&latch);
    NoteRelease(&latch);
    EXPECT_EQ(ReadFrames(&latch, 5), "DuDuu");
}

TEST(PressLatch, NewPressWhileSeenDownIsSeparatedByAnUpFrame) {
    PressLatch latch{};
    NotePress(&latch);
    EXPECT_EQ(ReadFrames(&latch, 2), "DD");
    NoteRelease(&latch);
    NotePress(&latch); // released and pressed again between two frames, still held
    EXPECT_EQ(ReadFrames(&latch, 3), "uDD");
}

TEST(PressLatch, BurstOfPressesIsCappedAndClearForgetsThem) {
    PressLatch latch{};
    for (int i = 0; i < 10; ++i) {
        NotePress(&latch);
        NoteRelease(&latch);
    }
    static_assert(PRESS_LATCH_MAX_PENDING == 4);
    EXPECT_EQ(ReadFrames(&latch, 10), "DuDuDuDuuu");
    NotePress(&latch);
    ClearPressLatch(&latch);
    EXPECT_EQ(ReadFrames(&latch, 1), "u");
}

} // namespace
