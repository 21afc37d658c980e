// Message boxes: text decoding and wrapping, the cap on floods of one message, and the
// headless record that keeps every box.
#include "platform/window/message_box.h"
#include "platform/window/message_repeats.h"
#include "platform/window/message_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::u32string ToU32(const std::vector<std::uint32_t>& text) {
    return std::u32string(text.begin(), text.end());
}

// Half-width characters 8 pixels wide, Japanese ones 16, as the box's font draws them.
int TestAdvance(std::uint32_t c) {
    return c < 0x2E80 ? 8 : 16;
}

std::vector<std::u32string> Wrap(const std::u32string& text, int width) {
    const std::vector<std::uint32_t> chars(text.begin(), text.end());
    std::vector<std::u32string> lines;
    for (const MessageLine& line : WrapMessageText(chars, width, TestAdvance))
        lines.push_back(ToU32(line));
    return lines;
}

} // namespace

TEST(MessageText, DecodesUtf8AndReadsOtherBytesAsCp932) {
    struct Case {
        const char* bytes;
        std::u32string chars;
    };
    const Case cases[] = {
        {"結合ファイルNot Found", U"結合ファイルNot Found"},
        {"\x82\xa0\x81\x60", U"あ～"}, // CP932, wave dash as the game maps it
        {"map\x82\xa0.dat の読み込み失敗", U"mapあ.dat の読み込み失敗"}, // mixed
        {"a\r\nb\tc\x01", U"a\nb c"}, // CR and controls dropped, tab a space
        {"a\x82", U"a\uFFFD"},        // a CP932 lead byte at the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToU32(DecodeMessageText(c.bytes)), c.chars) << c.bytes;
}

TEST(MessageText, WrapsAtSpacesBetweenJapaneseCharactersAndAtLineFeeds) {
    struct Case {
        std::u32string text;
        int width;
        std::vector<std::u32string> lines;
    };
    const Case cases[] = {
        {U"短い", 80, {U"短い"}},
        {U"あいうえおかきくけこさし", 80, {U"あいうえお", U"かきくけこ", U"さし"}},
        {U"open the file now", 80, {U"open the", U"file now"}},
        {U"abcdefghijkl", 40, {U"abcde", U"fghij", U"kl"}},
        // A Latin word runs into Japanese text: the break falls where the Japanese begins.
        {U"DirectMusicPerformance8の初期化に失敗",
         192,
         {U"DirectMusicPerformance8", U"の初期化に失敗"}},
        // Closing punctuation never starts a line; opening never ends one.
        {U"あいうえ。お", 64, {U"あいう", U"え。お"}},
        {U"あい「う」", 48, {U"あい", U"「う」"}},
        {U"a\n\nb  ", 80, {U"a", U"", U"b"}},
        {U"  indented", 80, {U"  indented"}},
        {U"", 80, {U""}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::vector<std::u32string> lines = Wrap(c.text, c.width);
        EXPECT_EQ(lines, c.lines) << "case " << i;
        for (const std::u32string& line : lines) {
            int width = 0;
            for (char32_t ch : line)
                width += TestAdvance(ch);
            EXPECT_TRUE(width <= c.width || line.size() == 1);
        }
    }
}

namespace {

// The boxes a run of messages puts on the screen, each as "caption|text"; a caption
// of "END" ends the operation.
std::vector<std::string> Screen(const std::vector<std::pair<std::string, std::string>>& boxes) {
    MessageRun run;
    std::vector<std::string> shown;
    for (const auto& [caption, text] : boxes) {
        if (caption == "END") {
            for (const RecordedMessage& summary : EndMessageRun(&run))
                shown.push_back(summary.caption + "|" + summary.text);
        } else if (NoteMessageRepeat(&run, caption, text)) {
            shown.push_back(caption + "|" + text);
        }
    }
    return shown;
}

using Boxes = std::vector<std::pair<std::string, std::string>>;

Boxes Repeat(const Boxes& group, int n) {
    Boxes out;
    for (int i = 0; i < n; ++i)
        out.insert(out.end(), group.begin(), group.end());
    return out;
}

template <typename... Runs> Boxes Join(Runs... runs) {
    Boxes out;
    (out.insert(out.end(), runs.begin(), runs.end()), ...);
    return out;
}

const Boxes END = {{"END", ""}};
const Boxes SIZE_MISSING = {{"Error", "結合ファイルNot Found"}};
const Boxes READ_MISSING = {{"Error", "分割ファイルNot Found"},
                            {"Error", "結合ファイルデータNot Found"}};
const std::string A = "Error|結合ファイルNot Found";
const std::string B = "Error|分割ファイルNot Found";
const std::string C = "Error|結合ファイルデータNot Found";

std::string Held(const std::string& box, int n) {
    return box + "\n…（同じメッセージがさらに " + std::to_string(n) + " 件）";
}

} // namespace

TEST(MessageRepeats, EachMessageShowsThreeTimesThenOnceWithTheCountHeldBack) {
    EXPECT_EQ(Screen(Join(Repeat(SIZE_MISSING, 100), END)),
              (std::vector<std::string>{A, A, A, Held(A, 97)}));
    // Every missing script shows the size query's message, then the read's two.
    EXPECT_EQ(Screen(Join(Repeat(Join(SIZE_MISSING, READ_MISSING), 15), END)),
              (std::vector<std::string>{A, B, C, A, B, C, A, B, C, Held(A, 12), Held(B, 12),
                                        Held(C, 12)}));
}

TEST(MessageRepeats, CountsAreKeptPerMessageAndPerOperation) {
    // Three of a message need no summary.
    EXPECT_EQ(Screen(Join(Repeat(SIZE_MISSING, 3), END)), (std::vector<std::string>{A, A, A}));
    // The same text under another caption is another message.
    const Boxes other = {{"ERROR", "結合ファイルNot Found"}};
    EXPECT_EQ(Screen(Join(Repeat(SIZE_MISSING, 4), other, END)),
              (std::vector<std::string>{A, A, A, "ERROR|結合ファイルNot Found", Held(A, 1)}));
    // Each operation (frame) starts afresh: a message once per frame shows every time.
    EXPECT_EQ(
        Screen(Join(SIZE_MISSING, END, SIZE_MISSING, END, SIZE_MISSING, END, SIZE_MISSING, END)),
        (std::vector<std::string>{A, A, A, A}));
    EXPECT_EQ(Screen(Join(Repeat(SIZE_MISSING, 4), END, Repeat(SIZE_MISSING, 5), END)),
              (std::vector<std::string>{A, A, A, Held(A, 1), A, A, A, Held(A, 2)}));
}

TEST(MessageBox, HeadlessRunsPrintAndRecordEveryBoxOfAFlood) {
    SetMessageBoxHeadless(true);
    ClearRecordedMessages();
    testing::internal::CaptureStderr();
    for (int i = 0; i < 100; ++i)
        ShowMessageBox("結合ファイルNot Found", "Error");
    EndMessageBoxRun();
    const std::string printed = testing::internal::GetCapturedStderr();
    ASSERT_EQ(GetRecordedMessages().size(), 100u);
    EXPECT_EQ(GetRecordedMessages().back().text, "結合ファイルNot Found");
    std::string expected;
    for (int i = 0; i < 100; ++i)
        expected += "MESSAGE Error: 結合ファイルNot Found\n";
    EXPECT_EQ(printed, expected);
    ClearRecordedMessages();
}
