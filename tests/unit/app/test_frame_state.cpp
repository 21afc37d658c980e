// The frame function with a real device: an unknown frame state is reported once
// per frame and nothing is presented.
#include "app/main_loop.h"
#include "core/frame_state.h"
#include "render/render_setup.h"

#include "platform/system/window_system.h"
#include "platform/window/message_box.h"
#include "platform/window/window.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameState, UnknownStateShowsItsMessageOncePerFrame) {
    ASSERT_TRUE(InitWindowSystem());
    ASSERT_TRUE(CreatePlatformWindow("test", SCREEN_WIDTH, SCREEN_HEIGHT));
    ASSERT_EQ(InitDirect3D(), S_OK);
    ClearRecordedMessages();
    g_frameNo = 7;
    EXPECT_EQ(RunFrame(), 0);
    EXPECT_EQ(RunFrame(), 0);
    ASSERT_EQ(GetRecordedMessages().size(), 2u);
    for (const RecordedMessage& message : GetRecordedMessages()) {
        EXPECT_EQ(message.caption, "ERROR");
        EXPECT_EQ(message.text, "g_frameNoの値が問題です。");
    }
    ReleaseDirect3D();
    DestroyPlatformWindow();
}

} // namespace
