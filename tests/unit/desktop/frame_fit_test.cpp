// Where the 1024x768 frame sits in a window, and the way back from a window pixel.
#include "platform/frame_fit.h"

#include <gtest/gtest.h>

namespace {

struct MapCase {
    const char* what;
    int windowW, windowH, drawableW, drawableH;
    FrameScaleMode mode;
    double x, y;
    int frameX, frameY;
};

TEST(FrameFit, WindowPointsMapToFramePixels) {
    const MapCase cases[] = {
        {"1x", 1024, 768, 1024, 768, FRAME_SCALE_LINEAR, 300, 500, 300, 500},
        {"2x", 2048, 1536, 2048, 1536, FRAME_SCALE_LINEAR, 601, 1001, 300, 500},
        // A wide screen: bars left and right, 1333 px of picture from x = 133.
        {"pillarbox", 1600, 1000, 1600, 1000, FRAME_SCALE_LINEAR, 133 + 650, 500, 499, 384},
        {"left bar clamps", 1600, 1000, 1600, 1000, FRAME_SCALE_LINEAR, 20, 500, 0, 384},
        {"right bar clamps", 1600, 1000, 1600, 1000, FRAME_SCALE_LINEAR, 1590, 999, 1023, 767},
        // A tall window: bars above and below, 768 px of picture from y = 116.
        {"letterbox", 1024, 1000, 1024, 1000, FRAME_SCALE_LINEAR, 512, 116 + 384, 512, 384},
        {"top bar clamps", 1024, 1000, 1024, 1000, FRAME_SCALE_LINEAR, 512, 50, 512, 0},
        {"bottom bar clamps", 1024, 1000, 1024, 1000, FRAME_SCALE_LINEAR, 512, 950, 512, 767},
        // HiDPI: the window counts 1024x768 units, the drawable twice as many pixels.
        {"hidpi 2", 1024, 768, 2048, 1536, FRAME_SCALE_LINEAR, 300.5, 500.5, 300, 500},
        {"hidpi 2 with bars", 1200, 768, 2400, 1536, FRAME_SCALE_LINEAR, 88 + 10, 10, 10, 10},
        // Integer mode on 2500x1700: 2x picture (2048x1536) from (226, 82).
        {"integer", 2500, 1700, 2500, 1700, FRAME_SCALE_INTEGER, 226 + 21, 82 + 41, 10, 20},
        {"integer bar clamps", 2500, 1700, 2500, 1700, FRAME_SCALE_INTEGER, 100, 1690, 0, 767},
        // Integer mode below 1x shrinks like linear.
        {"integer shrunk", 683, 512, 683, 512, FRAME_SCALE_INTEGER, 341.5, 256, 512, 384},
        {"shrunk laptop", 1366, 705, 1366, 705, FRAME_SCALE_LINEAR, 683, 352.5, 512, 384},
    };
    for (const MapCase& c : cases) {
        int x = -1, y = -1;
        MapWindowPointToFrame(c.x, c.y, c.windowW, c.windowH, c.drawableW, c.drawableH, c.mode, &x,
                              &y);
        EXPECT_EQ(x, c.frameX) << c.what;
        EXPECT_EQ(y, c.frameY) << c.what;
    }
}

TEST(FrameFit, PictureKeepsAspectAndIntegerModeKeepsWholeMultiples) {
    const FrameRect wide = FitFrame(1600, 1000, FRAME_SCALE_LINEAR);
    EXPECT_EQ(wide.x, 133);
    EXPECT_EQ(wide.y, 0);
    EXPECT_EQ(wide.width, 1333);
    EXPECT_EQ(wide.height, 1000);
    const FrameRect tall = FitFrame(1024, 1000, FRAME_SCALE_NEAREST);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 116);
    EXPECT_EQ(tall.width, 1024);
    EXPECT_EQ(tall.height, 768);
    const FrameRect whole = FitFrame(2500, 1700, FRAME_SCALE_INTEGER);
    EXPECT_EQ(whole.x, 226);
    EXPECT_EQ(whole.y, 82);
    EXPECT_EQ(whole.width, 2048);
    EXPECT_EQ(whole.height, 1536);
    const FrameRect shrunk = FitFrame(800, 600, FRAME_SCALE_INTEGER);
    EXPECT_EQ(shrunk.width, 800);
    EXPECT_EQ(shrunk.height, 600);
}

TEST(FrameFit, InitialWindowIsTheLargestWholeMultipleThatFits) {
    const struct {
        int usableW, usableH, width, height;
    } cases[] = {
        {1920, 1050, 1024, 768},  // a 1080p desktop with a panel
        {3840, 2100, 2048, 1536}, // 4K with a panel: 3x is too tall, so 2x
        {2048, 1536, 2048, 1536}, // exactly 2x
        {1366, 705, 940, 705},    // a laptop: even 1x is too tall, so shrunk
    };
    for (const auto& c : cases) {
        int width = 0, height = 0;
        InitialWindowSize(c.usableW, c.usableH, &width, &height);
        EXPECT_EQ(width, c.width) << c.usableW << "x" << c.usableH;
        EXPECT_EQ(height, c.height) << c.usableW << "x" << c.usableH;
    }
}

} // namespace
