#include "archive/line_ends.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct LineEndCase {
    const char* name;
    std::string text;
    std::string crlf;    // what ToCrLfLineEnds makes of it
    std::string lfSplit; // what ConvertLoneCarriageReturns makes of it
};

void PrintTo(const LineEndCase& c, std::ostream* out) {
    *out << c.name;
}

class LineEnds : public testing::TestWithParam<LineEndCase> {};

TEST_P(LineEnds, BecomeWhatTheReadersExpect) {
    const LineEndCase& c = GetParam();
    const std::vector<char> crlf = ToCrLfLineEnds(c.text.data(), c.text.size());
    EXPECT_EQ(std::string(crlf.begin(), crlf.end()), c.crlf);
    std::string lf = c.text;
    ConvertLoneCarriageReturns(lf.data(), lf.size());
    EXPECT_EQ(lf, c.lfSplit);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineEnds,
    testing::Values(
        // CR LF texts stay byte for byte, odd carriage returns and all.
        LineEndCase{"CrLf", "a\r\nb\r\n", "a\r\nb\r\n", "a\r\nb\r\n"},
        LineEndCase{"CrLfWithStrayCr", "a\r\r\n\r\nb", "a\r\r\n\r\nb", "a\r\r\n\r\nb"},
        LineEndCase{"LfOnly", "a\nb\n\nc", "a\r\nb\r\n\r\nc", "a\nb\n\nc"},
        LineEndCase{"CrOnly", "a\rb\r\rc", "a\r\nb\r\n\r\nc", "a\nb\n\nc"},
        // Any CR LF makes a CR LF text, whose extra line feeds read as they always did.
        LineEndCase{"Mixed", "a\r\nb\nc\r\n\n", "a\r\nb\nc\r\n\n", "a\r\nb\nc\r\n\n"},
        LineEndCase{"LeadingLf", "\na", "\r\na", "\na"},
        LineEndCase{"NoLineEnd", "abc", "abc", "abc"}, LineEndCase{"Empty", "", "", ""}),
    [](const testing::TestParamInfo<LineEndCase>& info) { return info.param.name; });

} // namespace
