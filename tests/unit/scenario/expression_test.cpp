// [eval] and [if]: strictly left to right, the special tokenising, and the safe
// outcomes of broken expressions.
#include "scenario_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

class ScenarioExpressions : public ::testing::Test {
  protected:
    void SetUp() override { ResetScenarioState(); }
};

struct EvalCase {
    const char* tag;
    std::int32_t* variable;
    std::int32_t before;
    std::int32_t after;
};

TEST_F(ScenarioExpressions, EvalStoresTheValue) {
    const EvalCase cases[] = {
        {"[eval x=\"e.5 = 2 + 3 * 4\"]", &g_eVars[5], 0, 20},
        {"[eval x=\"s.0 = 10 - 3 - 2\"]", &g_sVars[0], 0, 5},
        {"[eval x=\"s.1 = 7 / 2\"]", &g_sVars[1], 0, 3},
        {"[eval x=\"s.1 = -7 / 2\"]", &g_sVars[1], 0, -3},
        {"[eval x=\"e.2 = e.2\"]", &g_eVars[2], 7, 7},
        {"[eval x=\"e.2 = abc\"]", &g_eVars[2], 7, 0},
        {"[eval x=\"e.3 = e.3 + 1\"]", &g_eVars[3], 41, 42},
        {"[eval x=\"e.49 = s.9 - 1\"]", &g_eVars[49], 0, -1},
        {"[eval x = \"e.2 = 5\"]", &g_eVars[2], 7, 7},      // the target is then "="
        {"[eval x=\"e.2 = 9 / 0\"]", &g_eVars[2], 7, 9},    // division by zero keeps 9
        {"[eval x=\"e.2 = 4 +\"]", &g_eVars[2], 7, 4},      // a dangling operator is dropped
        {"[eval x=\"e.2 = 4 % 3\"]", &g_eVars[2], 7, 4},    // an unknown operator too
        {"[eval x=\"e.2 =\"]", &g_eVars[2], 7, 7},          // no value at all
        {"[eval x=\"e.2 = e.50 + 1\"]", &g_eVars[2], 7, 1}, // outside the table reads 0
        {"[eval x=\"e.2 = s.-1 + 2\"]", &g_eVars[2], 7, 2},
        {"[eval x=\"e.2 = 2147483647 + 1\"]", &g_eVars[2], 0, INT_MIN},
        {"[eval x=\"e.2 = -2147483648 / -1\"]", &g_eVars[2], 0, INT_MIN},
        {"[eval x=\"e.2 = 99999999999\"]", &g_eVars[2], 0, INT_MAX},
    };
    for (const EvalCase& c : cases) {
        SCOPED_TRACE(c.tag);
        ResetScenarioState();
        g_sVars[9] = 0;
        *c.variable = c.before;
        PutScript(7, std::string(c.tag) + "あ[l]");
        StartScenario(7);
        RunScenarioFrames(1);
        EXPECT_EQ(*c.variable, c.after);
        EXPECT_EQ(ShownText(), ""); // the tag is gone from the page
    }
}

TEST_F(ScenarioExpressions, EvalOutsideTheTablesChangesNothing) {
    for (const char* tag :
         {"[eval x=\"e.50 = 3\"]", "[eval x=\"s.10 = 3\"]", "[eval x=\"e.-1 = 3\"]",
          "[eval x=\"x.1 = 3\"]", "[eval x=\"e = 3\"]"}) {
        SCOPED_TRACE(tag);
        ResetScenarioState();
        PutScript(7, std::string(tag) + "あ[l]");
        StartScenario(7);
        RunScenarioFrames(1);
        const std::vector<std::int32_t> e(g_eVars, g_eVars + E_VAR_COUNT);
        const std::vector<std::int32_t> s(g_sVars, g_sVars + S_VAR_COUNT);
        EXPECT_EQ(e, std::vector<std::int32_t>(E_VAR_COUNT, 0));
        EXPECT_EQ(s, std::vector<std::int32_t>(S_VAR_COUNT, 0));
    }
}

TEST_F(ScenarioExpressions, OperandValues) {
    g_eVars[12] = 5;
    g_sVars[3] = -4;
    const struct {
        const char* token;
        std::int32_t value;
    } cases[] = {{"e.12", 5}, {"s.3", -4}, {"e.12.7", 5}, {"42", 42}, {" -8x", -8},
                 {"e.99", 0}, {"s.10", 0}, {"q.3", 0},    {"e", 0},   {"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(OperandValue(c.token), c.value) << c.token;
}

struct IfCase {
    const char* what;
    std::int32_t e3, e4;
    std::string script;
    std::string shown;
};

TEST_F(ScenarioExpressions, IfShowsOrSkipsItsBlock) {
    const std::string nested = "あ[if x=\"e.3 == 1\"]い[if x=\"e.4 == 1\"]え[endif]お[endif]う[l]";
    const IfCase cases[] = {
        {"false block", 0, 0, "あ[if x=\"e.3 == 1\"]い[endif]う[l]", "あう"},
        {"true block", 1, 0, "あ[if x=\"e.3 == 1\"]い[endif]う[l]", "あいう"},
        {"a skip does not nest", 0, 0, nested, "あおう"},
        {"inner if runs in a run block", 1, 0, nested, "あいおう"},
        {"both true", 1, 1, nested, "あいえおう"},
        {"start-up value of e.1", 0, 0, "[if x=\"e.1 + 1 >= 2\"]あ[endif]い[l]", "あい"},
        {"left to right on both sides", 2, 0, "[if x=\"e.3 + 1 * 2 == 3 * 2\"]あ[endif][l]", "あ"},
        {"less", 0, 0, "[if x=\"-1 < 0\"]あ[endif][l]", "あ"},
        {"greater", 0, 0, "[if x=\"1 > 2\"]あ[endif]い[l]", "い"},
        {"at most", 0, 0, "[if x=\"2 <= 2\"]あ[endif][l]", "あ"},
        {"no comparison is false", 1, 0, "あ[if x=\"e.3\"]い[endif]う[l]", "あう"},
        {"two comparisons are false", 0, 0, "あ[if x=\"1 == 1 == 1\"]い[endif]う[l]", "あう"},
        {"no right side is false", 0, 0, "あ[if x=\"1 ==\"]い[endif]う[l]", "あう"},
        {"empty if is false", 0, 0, "あ[if]い[endif]う[l]", "あう"},
        {"missing endif skips the page", 0, 0, "あ[if x=\"1 == 2\"]い[l]う", "あ"},
        {"stray endif vanishes", 0, 0, "あ[endif]い[l]", "あい"},
    };
    for (const IfCase& c : cases) {
        SCOPED_TRACE(c.what);
        ResetScenarioState();
        g_eVars[1] = 1;
        g_eVars[3] = c.e3;
        g_eVars[4] = c.e4;
        PutScript(7, c.script);
        StartScenario(7);
        RunScenarioFrames(40);
        EXPECT_EQ(ShownText(), c.shown);
    }
}

} // namespace
