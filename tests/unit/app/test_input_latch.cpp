// The per-frame input latch: the click latch and the scenario-mode pointer quad.
#include "app/input.h"
#include "core/frame_clock.h"
#include "core/frame_state.h"
#include "render/screen_quad.h"

#include "platform/input/input_devices.h"

#include <gtest/gtest.h>

namespace {

class InputLatch : public ::testing::Test {
  protected:
    void SetUp() override {
        SetInputInjection(true);
        ResetInputState();
        g_mouseState = MouseState{};
        g_clickArmed = false;
        g_clickLatch = false;
        g_windowPosX = 0.0f;
        g_windowPosY = 0.0f;
        g_frameNo = FRAME_SCENARIO; // the scenario latch needs no camera
        SetQuad(&g_cursorQuad, 255, 0.0f, 0.0f, 48.0f, 48.0f, 0.0f, 0.0f, 64.0f, 64.0f);
    }
    void TearDown() override { SetInputInjection(false); }

    void Frame(bool leftDown) {
        g_mouseState.buttons[0] = leftDown ? 0x80 : 0;
        LatchInput();
    }
};

TEST_F(InputLatch, ClickNeedsAnEarlierFrameWithTheButtonUp) {
    Frame(true); // held since before the game started: not a click
    EXPECT_EQ(g_buttonDown[0], 1);
    EXPECT_FALSE(g_clickLatch);
    Frame(false);
    EXPECT_FALSE(g_clickLatch);
    Frame(true);
    EXPECT_TRUE(g_clickLatch);
}

TEST_F(InputLatch, HoldingGivesOneClickAndPressingAgainAfterClearGivesAnother) {
    Frame(false);
    Frame(true);
    ASSERT_TRUE(g_clickLatch);
    g_clickLatch = false; // as [l] clears it
    for (int i = 0; i < 5; ++i)
        Frame(true);
    EXPECT_FALSE(g_clickLatch) << "a held button clicks once";
    Frame(false);
    Frame(true);
    EXPECT_TRUE(g_clickLatch);
}

TEST_F(InputLatch, LatchStaysSetWhateverTheButtonDoesUntilCleared) {
    Frame(false);
    Frame(true);
    Frame(false);
    Frame(false);
    EXPECT_TRUE(g_clickLatch);
}

struct PointerCase {
    int x, y;
    float left, top, right, bottom;
};

class PointerQuad : public InputLatch, public ::testing::WithParamInterface<PointerCase> {};

TEST_P(PointerQuad, StandsOnThePointerAndStaysOnScreen) {
    const PointerCase c = GetParam();
    InjectCursorPosition(c.x, c.y);
    Frame(false);
    EXPECT_FLOAT_EQ(g_cursorQuad.v[0].x, c.left);
    EXPECT_FLOAT_EQ(g_cursorQuad.v[0].y, c.top);
    EXPECT_FLOAT_EQ(g_cursorQuad.v[2].x, c.right);
    EXPECT_FLOAT_EQ(g_cursorQuad.v[2].y, c.bottom);
    // Texture coordinates stay as set at start-up.
    EXPECT_FLOAT_EQ(g_cursorQuad.v[2].u, 1.0f);
    EXPECT_FLOAT_EQ(g_cursorQuad.v[2].v, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(Corners, PointerQuad,
                         ::testing::Values(PointerCase{0, 0, 0, 0, 64, 64},
                                           PointerCase{1023, 767, 960, 703, 1024, 767},
                                           PointerCase{500, 400, 500, 336, 564, 400}));

TEST_F(InputLatch, PointerIsOffsetByTheWindowsOuterCorner) {
    g_windowPosX = 7.9f; // truncated
    g_windowPosY = 30.0f;
    InjectCursorPosition(507, 430);
    Frame(false);
    EXPECT_FLOAT_EQ(g_cursorQuad.v[3].x, 500.0f);
    EXPECT_FLOAT_EQ(g_cursorQuad.v[3].y, 400.0f);
}

} // namespace
