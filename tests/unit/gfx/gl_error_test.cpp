// Under test a GL error stops the program with GL's message, so that no test passes
// over a call the driver refused.
#include "gfx_fixture.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

TEST(GlErrorDeathTest, AGlErrorStopsTheProgramWithTheDriversMessage) {
    // The child starts afresh rather than forking a process whose driver runs threads.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_TRUE(InitGfxFixture());
    // A texture name that was never generated cannot be bound in a core context.
    EXPECT_DEATH(glBindTexture(GL_TEXTURE_2D, 0x7FFFFFF0u), "GL error [0-9]+: .*glBindTexture");
}
