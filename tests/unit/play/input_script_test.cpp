#include "input_script.h"

#include "platform/input/key_codes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<ScriptEvent> Parse(const std::string& text) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_TRUE(ParseInputScript(text, &events, &error)) << error;
    return events;
}

std::string Refusal(const std::string& text) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(ParseInputScript(text, &events, &error)) << text;
    return error;
}

TEST(InputScript, ClickExpandsIntoMoveDownAndUpTwoFramesLater) {
    const auto events = Parse("10 click 300 400\n");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, SCRIPT_MOVE);
    EXPECT_EQ(events[0].frame, 10);
    EXPECT_EQ(events[0].x, 300);
    EXPECT_EQ(events[0].y, 400);
    EXPECT_EQ(events[1].type, SCRIPT_DOWN);
    EXPECT_EQ(events[1].frame, 10);
    EXPECT_EQ(events[1].button, 0);
    EXPECT_EQ(events[2].type, SCRIPT_UP);
    EXPECT_EQ(events[2].frame, 12);
    EXPECT_EQ(events[2].button, 0);
}

TEST(InputScript, ClickAtAimsAndPressesThenReleasesTwoFramesLater) {
    const auto events = Parse("7 clickat 16.5 -2.25\n");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, SCRIPT_AIM_DOWN);
    EXPECT_EQ(events[0].frame, 7);
    EXPECT_EQ(events[0].groundX, 16.5);
    EXPECT_EQ(events[0].groundZ, -2.25);
    EXPECT_EQ(events[1].type, SCRIPT_UP);
    EXPECT_EQ(events[1].frame, 9);
    EXPECT_EQ(events[1].button, 0);
}

TEST(InputScript, KeyPressLastsOneFrame) {
    const auto events = Parse("5 key ESCAPE\n");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, SCRIPT_KEY_DOWN);
    EXPECT_EQ(events[0].key, DIK_ESCAPE);
    EXPECT_EQ(events[1].type, SCRIPT_KEY_UP);
    EXPECT_EQ(events[1].frame, 6);
}

TEST(InputScript, HeldKeysAndTheWheel) {
    const auto events = Parse("5 keydown LCONTROL\n9 keyup LCONTROL\n7 wheel -2\n");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, SCRIPT_KEY_DOWN);
    EXPECT_EQ(events[0].key, DIK_LCONTROL);
    EXPECT_EQ(events[1].type, SCRIPT_WHEEL);
    EXPECT_EQ(events[1].frame, 7);
    EXPECT_EQ(events[1].x, -2);
    EXPECT_EQ(events[2].type, SCRIPT_KEY_UP);
    EXPECT_EQ(events[2].frame, 9);
}

TEST(InputScript, ButtonsAndPlainEvents) {
    struct Case {
        const char* line;
        ScriptEventType type;
        int button;
    } const cases[] = {
        {"1 down", SCRIPT_DOWN, 0},
        {"1 down left", SCRIPT_DOWN, 0},
        {"1 up right", SCRIPT_UP, 1},
        {"1 down middle", SCRIPT_DOWN, 2},
        {"1 minimize", SCRIPT_MINIMIZE, 0},
        {"1 restore", SCRIPT_RESTORE, 0},
        {"1 focus-lost", SCRIPT_FOCUS_LOST, 0},
        {"1 focus-gained", SCRIPT_FOCUS_GAINED, 0},
        {"1 audio-lost", SCRIPT_AUDIO_LOST, 0},
        {"1 audio-back", SCRIPT_AUDIO_BACK, 0},
        {"1 close", SCRIPT_CLOSE, 0},
    };
    for (const Case& c : cases) {
        const auto events = Parse(c.line);
        ASSERT_EQ(events.size(), 1u) << c.line;
        EXPECT_EQ(events[0].type, c.type) << c.line;
        EXPECT_EQ(events[0].button, c.button) << c.line;
    }
}

TEST(InputScript, CopyKeepsBothPaths) {
    const auto events = Parse("3 copy edited/map1.txt Data/map1.txt\n");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, SCRIPT_COPY);
    EXPECT_EQ(events[0].from, "edited/map1.txt");
    EXPECT_EQ(events[0].to, "Data/map1.txt");
}

TEST(InputScript, CommentsBlankLinesAndCarriageReturnsAreSkipped) {
    const auto events = Parse("# a walk\r\n\r\n  \t\n4 move 1 2 # to the well\r\n");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, SCRIPT_MOVE);
    EXPECT_EQ(events[0].x, 1);
    EXPECT_EQ(events[0].y, 2);
}

TEST(InputScript, EventsComeOutInFrameOrderKeepingTheOrderWithinAFrame) {
    const auto events = Parse("9 move 5 5\n2 click 1 1\n9 down right\n3 key F1\n");
    std::vector<std::pair<long, ScriptEventType>> got;
    for (const ScriptEvent& event : events)
        got.emplace_back(event.frame, event.type);
    const std::vector<std::pair<long, ScriptEventType>> expected = {
        {2, SCRIPT_MOVE},   {2, SCRIPT_DOWN}, {3, SCRIPT_KEY_DOWN}, {4, SCRIPT_UP},
        {4, SCRIPT_KEY_UP}, {9, SCRIPT_MOVE}, {9, SCRIPT_DOWN},
    };
    EXPECT_EQ(got, expected);
}

TEST(InputScript, BadLinesAreRefusedWithTheirNumberAndReason) {
    struct Case {
        const char* text;
        const char* error;
    } const cases[] = {
        {"jump 1 2", "line 1: expected: FRAME EVENT ..."},
        {"-1 move 1 2", "line 1: expected: FRAME EVENT ..."},
        {"9223372036854775806 click 1 1", "line 1: expected: FRAME EVENT ..."},
        {"99999999999999999999 move 1 2", "line 1: expected: FRAME EVENT ..."},
        {"5", "line 1: expected: FRAME EVENT ..."},
        {"# fine\n5 move 1", "line 2: move needs X Y"},
        {"5 click x 2", "line 1: click needs X Y"},
        {"5 clickat 1", "line 1: clickat needs X Z"},
        {"5 clickat 1 nan", "line 1: clickat needs X Z"},
        {"5 clickat inf 1", "line 1: clickat needs X Z"},
        {"5 down thumb", "line 1: button must be left, right or middle"},
        {"5 key TAB", "line 1: unknown key 'TAB' (F1, ESCAPE, F2, SPACE, RETURN, F5, F9, F10, A, "
                      "PRIOR, NEXT, BACK, LCONTROL, LSHIFT, UP, DOWN, LEFT, RIGHT)"},
        {"5 key", "line 1: unknown key '' (F1, ESCAPE, F2, SPACE, RETURN, F5, F9, F10, A, PRIOR, "
                  "NEXT, BACK, LCONTROL, LSHIFT, UP, DOWN, LEFT, RIGHT)"},
        {"5 copy only", "line 1: copy needs FROM TO"},
        {"5 wheel 0", "line 1: wheel needs a non-zero count of notches"},
        {"5 wheel up", "line 1: wheel needs a non-zero count of notches"},
        {"5 keydown F5 F9", "line 1: unexpected 'F9'"},
        {"5 dance", "line 1: unknown event 'dance'"},
        {"5 move 1 2 3", "line 1: unexpected '3'"},
        {"5 clickat 1 2 3", "line 1: unexpected '3'"},
        {"5 close now", "line 1: unexpected 'now'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Refusal(c.text), c.error) << c.text;
}

} // namespace
