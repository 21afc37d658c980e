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

// The boxes a run of messages puts on the screen, each as "caption|text".
std::vector<std::string> Screen(const std::vector<std::pair<std::string, std::string>>& boxes) {
    MessageRun run;
    std::vector<std::string> shown;
    for (const auto& [caption, text] : boxes) {
        if (caption == "END") {
            RecordedMessage summary;
            if (EndMessageRun(&run, &summary))
                shown.push_back(summary.caption + "|" + summary.text);
            continue;
        }
        const MessageRepeatPlan plan = NoteMessageRepeat(&run, caption, text);
        if (plan.summaryFirst)
            shown.push_back(plan.summary.caption + "|" + plan.summary.text);
        if (plan.show)
            shown.push_back(caption + "|" + text);
    }
    return shown;
}

std::vector<std::pair<std::string, std::string>> Repeat(const std::string& caption,
                                                        const std::string& text, int n) {
    return std::vector<std::pair<std::string, std::string>>(n, {caption, text});
}

template <typename... Runs> std::vector<std::pair<std::string, std::string>> Join(Runs... runs) {
    std::vector<std::pair<std::string, std::string>> out;
    (out.insert(out.end(), runs.begin(), runs.end()), ...);
    return out;
}

const auto END = Repeat("END", "", 1);
const std::string A = "Error|結合ファイルNot Found";

} // namespace

TEST(MessageRepeats, ARunShowsThreeBoxesThenOneWithTheCountHeldBack) {
    const auto flood = Repeat("Error", "結合ファイルNot Found", 100);
    EXPECT_EQ(Screen(Join(flood, END)),
              (std::vector<std::string>{A, A, A, A + "\n…（同じメッセージがさらに 97 件）"}));
}

TEST(MessageRepeats, RunsEndAtADifferentMessageOrAtTheEndOfTheOperation) {
    const auto a = [](int n) { return Repeat("Error", "結合ファイルNot Found", n); };
    const auto b = Repeat("ERROR", "Load3DD の読み込み失敗", 1);
    const std::string B = "ERROR|Load3DD の読み込み失敗";
    const std::string held1 = A + "\n…（同じメッセージがさらに 1 件）";
    const std::string held2 = A + "\n…（同じメッセージがさらに 2 件）";
    // Three in a row are all shown and need no summary.
    EXPECT_EQ(Screen(Join(a(3), END)), (std::vector<std::string>{A, A, A}));
    // A different message ends the run: the summary comes before it.
    EXPECT_EQ(Screen(Join(a(5), b, END)), (std::vector<std::string>{A, A, A, held2, B}));
    // Boxes that alternate are never a run.
    EXPECT_EQ(Screen(Join(a(1), b, a(1), b, a(1), b, a(1))),
              (std::vector<std::string>{A, B, A, B, A, B, A}));
    // The same text under another caption is another message.
    EXPECT_EQ(Screen(Join(a(4), Repeat("ERROR", "結合ファイルNot Found", 1))),
              (std::vector<std::string>{A, A, A, held1, "ERROR|結合ファイルNot Found"}));
    // Each operation (frame) starts afresh.
    EXPECT_EQ(Screen(Join(a(4), END, a(4), END)),
              (std::vector<std::string>{A, A, A, held1, A, A, A, held1}));
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
