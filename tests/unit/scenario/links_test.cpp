// Choices: link rectangles, hover, selection by the held button, and the records
// after a choice.
#include "scenario_test_support.h"

#include "scenario/scenario_state.h"

#include <gtest/gtest.h>

namespace {

class ScenarioLinks : public ::testing::Test {
  protected:
    void SetUp() override { ResetScenarioState(); }

    void StartChoice(const std::string& script) {
        PutScript(7, script);
        StartScenario(7);
        RunScenarioFrames(200);
        ASSERT_TRUE(g_selectWait);
    }
};

const char* const TWO_LINES = "[link target=*a]あい[endlink]\r\n"
                              "[link target=*b]う[endlink][s]\r\n"
                              "*a\r\nえ[l]\r\n"
                              "*b\r\nお[l]\r\n";

TEST_F(ScenarioLinks, ConsecutiveLinesGiveOneRectangleEach) {
    StartChoice(TWO_LINES);
    EXPECT_EQ(g_linkCount, 2);
    EXPECT_STREQ(g_links[0].target, "a");
    EXPECT_STREQ(g_links[1].target, "b");
    EXPECT_EQ(QuadRect(g_links[0].quad), (Rect{50, 50, 50 + 2 * 36, 95}));
    EXPECT_EQ(QuadRect(g_links[1].quad), (Rect{50, 95, 50 + 36, 140}));
    EXPECT_EQ(ShownText(), "あい\nう");
    // As the automation driver reports them.
    EXPECT_EQ(DrawnMessageUtf8(), "あい\nう");
    EXPECT_EQ(LinkTargetUtf8(1), "b");
    EXPECT_EQ(LinkTargetUtf8(LINK_COUNT), "");
}

TEST_F(ScenarioLinks, HoverFollowsThePointerAndTheLowerRecordWins) {
    StartChoice(TWO_LINES);
    PointAt(60, 124); // the box touches both rectangles
    RunScenarioFrames(1);
    EXPECT_TRUE(g_links[0].hover);
    EXPECT_FALSE(g_links[1].hover);
    PointAt(60, 200); // only the second line
    RunScenarioFrames(1);
    EXPECT_FALSE(g_links[0].hover);
    EXPECT_TRUE(g_links[1].hover);
    PointAt(600, 600);
    RunScenarioFrames(1);
    EXPECT_FALSE(g_links[0].hover);
    EXPECT_FALSE(g_links[1].hover);
    EXPECT_TRUE(g_selectWait);
}

// A pointer box that exactly touches a rectangle, on any of its four sides, selects it;
// one pixel further it does not. The first line spans (50, 50)-(122, 95), the second
// (50, 95)-(86, 140); PointAt puts the 64 × 64 box above and right of the point.
TEST_F(ScenarioLinks, APointerBoxTouchingALinksEdgeSelectsIt) {
    StartChoice(TWO_LINES);
    struct Case {
        const char* edge;
        float x, y;
        int hovered; // the record that hovers, -1 for none
    };
    const Case cases[] = {
        {"box's left on the first line's right", 122, 80, 0},
        {"box's left a pixel past it", 123, 80, -1},
        {"box's top on the second line's bottom", 60, 204, 1},
        {"box's top a pixel below it", 60, 205, -1},
        {"box's right on the first line's left", -14, 80, 0},
        {"box's right a pixel short of it", -15, 80, -1},
        {"box's bottom on the first line's top", 100, 50, 0},
        {"box's bottom a pixel above it", 100, 49, -1},
    };
    for (const Case& c : cases) {
        PointAt(600, 600);
        RunScenarioFrames(1);
        PointAt(c.x, c.y);
        RunScenarioFrames(1);
        EXPECT_EQ(g_links[0].hover, c.hovered == 0) << c.edge;
        EXPECT_EQ(g_links[1].hover, c.hovered == 1) << c.edge;
    }
}

TEST_F(ScenarioLinks, HeldButtonSelectsAndClearsTheChoice) {
    StartChoice(TWO_LINES);
    g_buttonDown[0] = 1; // held before the pointer reaches the link
    RunScenarioFrames(3);
    EXPECT_TRUE(g_selectWait);
    PointAt(60, 200);
    RunScenarioFrames(1);
    EXPECT_FALSE(g_selectWait);
    EXPECT_FALSE(g_linkMode);
    EXPECT_EQ(g_linkCount, 0);
    for (const LinkRecord& link : g_links) {
        EXPECT_FALSE(link.present);
        EXPECT_FALSE(link.hover);
    }
    RunScenarioFrames(5);
    EXPECT_EQ(ShownText(), "お");
}

TEST_F(ScenarioLinks, RecordsAreReusedAfterAChoice) {
    StartChoice("[link target=*a]あ[endlink][s]\r\n"
                "*a\r\n[link target=*c]い[endlink]\r\n[link target=*d]う[endlink][s]\r\n");
    PointAt(60, 100);
    g_buttonDown[0] = 1;
    RunScenarioFrames(1);
    g_buttonDown[0] = 0;
    RunScenarioFrames(20);
    EXPECT_TRUE(g_selectWait);
    EXPECT_EQ(g_linkCount, 2);
    EXPECT_STREQ(g_links[0].target, "c");
    EXPECT_STREQ(g_links[1].target, "d");
}

TEST_F(ScenarioLinks, SingleByteCaptionEndsAtTheColumnBeforeTheTag) {
    StartChoice("あ[link target=*a]abc[endlink][s]");
    EXPECT_EQ(QuadRect(g_links[0].quad), (Rect{50, 50, 86, 95}));
}

TEST_F(ScenarioLinks, ElevenLinksFillTenRecords) {
    std::string script;
    for (int i = 0; i < 11; ++i)
        script += "[link target=*a]あ[endlink]\r\n";
    StartChoice(script + "[s]");
    EXPECT_EQ(g_linkCount, LINK_COUNT);
    EXPECT_EQ(ShownText().size(), 11u * 4u); // every caption still shows
}

TEST_F(ScenarioLinks, MissingLabelOrTargetStaysOnThePage) {
    for (const char* tag :
         {"[link target=*nowhere]", "[link]", "[link href=*a]", "[link target=]"}) {
        SCOPED_TRACE(tag);
        ResetScenarioState();
        StartChoice(std::string(tag) + "あ[endlink][s]い[l]\r\n*a\r\nう[l]\r\n*\r\nえ[l]");
        PointAt(60, 100);
        g_buttonDown[0] = 1;
        RunScenarioFrames(10);
        EXPECT_FALSE(g_selectWait);
        EXPECT_EQ(ShownText(), "あい");
    }
}

// "target=*" names the empty label, which a line holding only "*" defines.
TEST_F(ScenarioLinks, EmptyTargetFindsABareStar) {
    StartChoice("[link target=*]あ[endlink][s]い[l]\r\n*a\r\nう[l]\r\n*\r\nえ[l]");
    EXPECT_TRUE(g_links[0].hasTarget);
    EXPECT_STREQ(g_links[0].target, "");
    PointAt(60, 100);
    g_buttonDown[0] = 1;
    RunScenarioFrames(10);
    EXPECT_FALSE(g_selectWait);
    EXPECT_EQ(ShownText(), "え");
}

} // namespace
