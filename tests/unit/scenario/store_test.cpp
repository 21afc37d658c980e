// The store: slots filled from the file list in an archive, and texts cut to a slot.
#include "scenario_test_support.h"

#include "archive/archive.h"
#include "archive/archive_writer.h"
#include "platform/window/message_box.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

class ScenarioStore : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageBoxHeadless(true);
        ClearRecordedMessages();
        for (int n = 0; n < SCENARIO_COUNT; ++n)
            StoreScenarioText(n, "", 0);
    }

    void OpenArchiveOf(const std::vector<ArchiveFileData>& files) {
        std::vector<std::uint8_t> image;
        std::string error;
        ASSERT_TRUE(BuildArchiveImage(files, &image, &error)) << error;
        const std::string path = (folder_.Path() / "ZRN.dat").string();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(image.data(), 1, image.size(), f);
        std::fclose(f);
        ASSERT_EQ(OpenArchiveFile(path.c_str()), S_OK);
    }

    const TempFolder folder_{"scenario-store"};
};

TEST_F(ScenarioStore, LoadsTheSlotsTheListNames) {
    std::string list;
    for (int n = 0; n < 100; ++n) {
        if (n == 0)
            list += "./Scenario/a.txt\r\n";
        else if (n == 2)
            list += "./Scenario/b.txt\r\n\n";
        else if (n == 3)
            list += "./Scenario/c.txt\r\n";
        else if (n == 4)
            list += "xNONEx\r\n";
        else
            list += "NONE\r\n";
    }
    list += "./Scenario/a.txt\r\n"; // line 100 is not used
    StoreScenarioText(4, "old", 3);
    OpenArchiveOf({{"./Scenario/fileNameList.txt", Bytes(list)},
                   {"./Scenario/a.txt", Bytes("first")},
                   {"./Scenario/b.txt", Bytes(std::string("cut\0here", 8))},
                   {"./Scenario/c.txt", Bytes(std::string(70000, 'x'))}});
    LoadScenarioStore();
    EXPECT_STREQ(ScenarioText(0), "first");
    EXPECT_STREQ(ScenarioText(1), "");
    EXPECT_STREQ(ScenarioText(2), "cut");
    EXPECT_EQ(std::string(ScenarioText(3)), std::string(SCENARIO_MAX_LENGTH, 'x'));
    EXPECT_STREQ(ScenarioText(4), "old");
    ASSERT_EQ(GetRecordedMessages().size(), 1u); // the over-long script
    EXPECT_EQ(GetRecordedMessages()[0].caption, "ERROR");
}

TEST_F(ScenarioStore, ListsAndScriptsWithAnyLineEnds) {
    // The same list and script with CR LF, LF-only and CR-only line ends: the
    // slots and their texts come out the same, with CR LF, which the label search,
    // comments and line continuation count on.
    for (const char* end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(end)));
        ClearRecordedMessages();
        const std::string e = end;
        OpenArchiveOf({{"./Scenario/fileNameList.txt",
                        Bytes("./Scenario/a.txt" + e + "NONE" + e + "./Scenario/b.txt" + e)},
                       {"./Scenario/a.txt", Bytes(";note" + e + "*start" + e + "Hi[l]" + e)},
                       {"./Scenario/b.txt", Bytes("second")}});
        LoadScenarioStore();
        EXPECT_STREQ(ScenarioText(0), ";note\r\n*start\r\nHi[l]\r\n");
        EXPECT_STREQ(ScenarioText(1), "");
        EXPECT_STREQ(ScenarioText(2), "second");
        EXPECT_TRUE(GetRecordedMessages().empty());
    }
}

TEST_F(ScenarioStore, ShortListsAndEmptyNames) {
    // A line made of its CR alone is the empty key, which is not found; the list
    // ends after two names, so later slots stay as they are.
    OpenArchiveOf(
        {{"./Scenario/fileNameList.txt", Bytes("./Scenario/a.txt\r\n\r\n./Scenario/b.txt\r\n")},
         {"./Scenario/a.txt", Bytes("first")},
         {"./Scenario/b.txt", Bytes("second")}});
    StoreScenarioText(3, "old", 3);
    LoadScenarioStore();
    EXPECT_STREQ(ScenarioText(0), "first");
    EXPECT_STREQ(ScenarioText(1), "");
    EXPECT_STREQ(ScenarioText(2), "second");
    EXPECT_STREQ(ScenarioText(3), "old");
    EXPECT_EQ(GetRecordedMessages().size(), 3u); // the empty key's three messages
}

// A missing list or script shows the size query's message and then the read's two, and
// loading goes on with the next slot.
TEST_F(ScenarioStore, MissingEntriesShowEveryArchiveMessage) {
    const std::vector<std::string> missing = {"結合ファイルNot Found", "分割ファイルNot Found",
                                              "結合ファイルデータNot Found"};
    const auto texts = [] {
        std::vector<std::string> out;
        for (const auto& m : GetRecordedMessages()) {
            EXPECT_EQ(m.caption, "Error");
            out.push_back(m.text);
        }
        return out;
    };
    OpenArchiveOf({{"./Scenario/a.txt", Bytes("first")}});
    LoadScenarioStore();
    EXPECT_STREQ(ScenarioText(0), "");
    EXPECT_EQ(texts(), missing);

    ClearRecordedMessages();
    OpenArchiveOf(
        {{"./Scenario/fileNameList.txt", Bytes("./Scenario/gone.txt\r\n./Scenario/a.txt\r\n")},
         {"./Scenario/a.txt", Bytes("first")}});
    LoadScenarioStore();
    EXPECT_STREQ(ScenarioText(0), "");
    EXPECT_STREQ(ScenarioText(1), "first");
    EXPECT_EQ(texts(), missing);
}

TEST_F(ScenarioStore, TextsAreCutToTheSlot) {
    const std::string longText(SCENARIO_SLOT_SIZE + 10, 'y');
    StoreScenarioText(99, longText.data(), longText.size());
    EXPECT_EQ(std::string(ScenarioText(99)).size(), static_cast<std::size_t>(SCENARIO_MAX_LENGTH));
    EXPECT_STREQ(ScenarioText(SCENARIO_COUNT), "");
    EXPECT_STREQ(ScenarioText(-1), "");
    StoreScenarioText(SCENARIO_COUNT, "z", 1); // refused, nothing written
    EXPECT_EQ(ScenarioText(0)[0], '\0');
}

} // namespace
