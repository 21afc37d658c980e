// The run report's "last 1000 frames": exactly that many frames, once there are that many.
#include "frame_window.h"

#include <gtest/gtest.h>

TEST(FrameWindow, CountsExactlyTheLastFrames) {
    struct Case {
        long frames;            // frames run, the k-th (from 1) adding k to the total
        std::uint64_t expected; // what the last 4 added
    };
    const Case cases[] = {
        {0, 0},         // nothing ran
        {3, 1 + 2 + 3}, // fewer frames than the window: all of them
        {4, 1 + 2 + 3 + 4},
        {5, 2 + 3 + 4 + 5}, // the first frame leaves the window
        {9, 6 + 7 + 8 + 9}, // past a whole turn of the ring
        {10, 7 + 8 + 9 + 10},
    };
    for (const Case& c : cases) {
        FrameWindow<4> window;
        std::uint64_t total = 0;
        for (long k = 1; k <= c.frames; ++k) {
            total += static_cast<std::uint64_t>(k);
            window.EndFrame(total);
        }
        EXPECT_EQ(window.AddedByLastFrames(), c.expected) << c.frames << " frames";
    }
}
