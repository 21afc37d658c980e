#include "json_writer.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

std::string Quoted(const std::string& text) {
    JsonWriter json;
    json.String(nullptr, text);
    return json.Text();
}

TEST(JsonWriter, StringsAreEscaped) {
    struct Case {
        std::string in;
        std::string out;
    } const cases[] = {
        {"plain", "\"plain\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"C:\\game\\", "\"C:\\\\game\\\\\""},
        {"a\nb\rc\td", "\"a\\nb\\rc\\td\""},
        {std::string("nul\0end", 7), "\"nul\\u0000end\""},
        {"\x01\x08\x0c\x1b\x1f", "\"\\u0001\\u0008\\u000c\\u001b\\u001f\""},
        {"\x7f", "\"\x7f\""},
        {"/", "\"/\""},
        // UTF-8 text, from Latin to CJK and beyond the basic plane, stays as it is.
        {"caf\xc3\xa9 \xe3\x81\x82 \xf0\x9f\x94\x94",
         "\"caf\xc3\xa9 \xe3\x81\x82 \xf0\x9f\x94\x94\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Quoted(c.in), c.out) << c.in;
}

TEST(JsonWriter, KeysAreEscapedAndMembersSeparated) {
    JsonWriter json;
    json.BeginObject();
    json.String("k\"ey", "v");
    json.BeginArray("list");
    json.Int(nullptr, -3);
    json.Bool(nullptr, true);
    json.BeginObject();
    json.EndObject();
    json.EndArray();
    json.Number("n", 0.5);
    json.EndObject();
    EXPECT_EQ(json.Text(), "{\"k\\\"ey\": \"v\", \"list\": [-3, true, {}], \"n\": 0.5}");
}

TEST(JsonWriter, NumbersThatJsonCannotHoldBecomeNull) {
    JsonWriter json;
    json.BeginArray();
    json.Number(nullptr, std::numeric_limits<double>::quiet_NaN());
    json.Number(nullptr, -std::numeric_limits<double>::infinity());
    json.Number(nullptr, 1.0 / 3.0);
    json.EndArray();
    EXPECT_EQ(json.Text(), "[null, null, 0.333333333]");
}

} // namespace
