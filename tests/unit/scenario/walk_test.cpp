// The walk through a page: what each frame shows, line breaks, hidden bytes and the
// tags of the page machinery.
#include "scenario_test_support.h"

#include <gtest/gtest.h>

namespace {

class ScenarioWalk : public ::testing::Test {
  protected:
    void SetUp() override { ResetScenarioState(); }
};

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

struct WalkCase {
    const char* what;
    std::string script;
    int frames;
    std::string shown;
    bool latch; // still walking (true) or waiting for a click
};

TEST_F(ScenarioWalk, ShowsWhatEachPageHolds) {
    const WalkCase cases[] = {
        {"first character", "あいう[l]\r\n", 1, "あ", true},
        {"third character", "あいう[l]\r\n", 3, "あいう", true},
        {"click wait", "あいう[l]\r\nえ", 10, "あいう", false},
        {"unknown tag as text", "あ[foo bar]い[l]", 10, "あ[foo bar]い", false},
        {"comment and label lines vanish", "あ\r\n;note え\r\n*mark\r\nい[l]", 20, "あ\nい", false},
        {"comment after text on its line", "あ;おう\r\nい[l]", 20, "あい", false},
        {"full line before a tag keeps its line end", Repeat("あ", 25) + "[l]\r\nい", 60,
         Repeat("あ", 25), false},
        {"full line gets a break before its own", Repeat("あ", 25) + "\r\nい[l]", 60,
         Repeat("あ", 25) + "\n\nい", false},
        {"no second break past the line's width", Repeat("あ", 26) + "\r\nい[l]", 60,
         Repeat("あ", 25) + "\nあ\nい", false},
        {"backslash joins lines", "あ\\\r\nい[l]", 20, "あい", false},
        {"single-byte text is hidden", "あabc 12い[l]", 20, "あい", false},
        {"page starts at the first character", "abc\r\n;x\r\nあ[l]", 20, "あ", false},
        {"fresh page after ct", "あ[ct]\r\nい[l]", 20, "い", false},
        {"backslash before ct keeps the page's place", "あ\\\r\nい[ct]\r\nう[l]", 20, "う", false},
        {"l does not wait in link mode", "[link target=*x]あ[endlink][l]い[s]", 20, "あい", true},
        {"unclosed tag is hidden", "あ[l い", 20, "あい", true},
        {"overlong tag is hidden", "あ[" + Repeat("x", 300) + "]い", 400, "あい", true},
        {"walk stops at the script's end", "あい", 20, "あい", true},
        {"cut-off lead byte is hidden", "あ\x82", 20, "あ", true},
        {"ct at the script's end", "あ[ct]", 20, "", true},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.what);
        ResetScenarioState();
        PutScript(7, c.script);
        StartScenario(7);
        RunScenarioFrames(c.frames);
        EXPECT_EQ(ShownText(), c.shown);
        EXPECT_EQ(g_clickLatch, c.latch);
        EXPECT_LE(g_messagePos, g_pageLength);
    }
}

TEST_F(ScenarioWalk, ClickIconFollowsTheText) {
    PutScript(7, "あいう[l]\r\nえ[l]\r\n" + Repeat("お", 25) + "[l]");
    StartScenario(7);
    EXPECT_EQ(g_frameNo, FRAME_SCENARIO);
    RunScenarioFrames(4);
    EXPECT_FALSE(g_clickLatch);
    EXPECT_EQ(g_clickIconX, 158);
    EXPECT_EQ(g_clickIconY, 50);
    EXPECT_EQ(QuadRect(g_clickIconQuad), (Rect{158, 50, 222, 114}));
    // No step while waiting; a click goes on.
    RunScenarioFrames(5);
    EXPECT_EQ(ShownText(), "あいう");
    g_clickLatch = true;
    RunScenarioFrames(5); // hidden CR, line feed, え, [l]
    EXPECT_FALSE(g_clickLatch);
    EXPECT_EQ(g_clickIconX, 50 + 36);
    EXPECT_EQ(g_clickIconY, 95);
    // At the start of a line the icon goes to the line's right end.
    g_clickLatch = true;
    RunScenarioFrames(100);
    EXPECT_EQ(g_textColumn, 0);
    EXPECT_EQ(g_clickIconX, 50 + 36 * 25);
    EXPECT_EQ(g_clickIconY, 50 + 45 * 3);
}

TEST_F(ScenarioWalk, TagsAreCutAndNewPagesStartAtTheTop) {
    PutScript(7, "あ\r\nい[ct]\r\nう[l]");
    StartScenario(7);
    RunScenarioFrames(4);
    EXPECT_EQ(g_textLine, 1);
    EXPECT_EQ(ShownText(), "あ\nい");
    RunScenarioFrames(1);
    EXPECT_EQ(g_textLine, 0);
    EXPECT_EQ(g_textColumn, 0);
    EXPECT_EQ(g_messagePos, 0);
    EXPECT_EQ(Utf8(g_messageBuffer, g_pageLength), "う[l]");
    RunScenarioFrames(2);
    EXPECT_EQ(g_pageLength, 2);
}

TEST_F(ScenarioWalk, ScenarioStartsAreRefusedOutsideTheStore) {
    for (int n : {-1, SCENARIO_COUNT, 1000}) {
        StartScenario(n);
        EXPECT_EQ(g_frameNo, FRAME_FIELD) << n;
    }
}

TEST_F(ScenarioWalk, EmptySlotGivesAnEmptyPage) {
    PutScript(8, "");
    StartScenario(8);
    RunScenarioFrames(10);
    EXPECT_EQ(g_pageLength, 0);
    EXPECT_EQ(g_messagePos, 0);
}

TEST_F(ScenarioWalk, PageEndsWhenTheBufferIsFull) {
    PutScript(7, Repeat("あ", 2000));
    StartScenario(7);
    EXPECT_LE(g_pageLength, MESSAGE_BUFFER_SIZE);
    EXPECT_GT(g_pageLength, MESSAGE_BUFFER_SIZE - 3);
    RunScenarioFrames(5000);
    EXPECT_EQ(g_messagePos, g_pageLength);
}

TEST_F(ScenarioWalk, FullSlotIsReadToItsLastByte) {
    // 65532 hidden bytes and one character fill the slot up to its NUL.
    std::string script(SCENARIO_MAX_LENGTH - 2, 'a');
    script += Sjis("い");
    PutScript(9, script);
    EXPECT_EQ(ScenarioText(9)[SCENARIO_MAX_LENGTH], '\0');
    StartScenario(9);
    RunScenarioFrames(5);
    EXPECT_EQ(ShownText(), "い");
    // A lead byte in the last place has no partner and shows nothing.
    PutScript(9, std::string(SCENARIO_MAX_LENGTH - 1, 'a') + "\x82");
    StartScenario(9);
    RunScenarioFrames(5);
    EXPECT_EQ(ShownText(), "");
}

} // namespace
