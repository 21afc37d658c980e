#include "archive_test_support.h"

#include <gmock/gmock.h>

#include <random>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ArchiveIndexTest = ArchiveFileTest;

std::vector<std::string> IndexKeys() {
    std::vector<std::string> keys;
    for (const auto& [key, entry] : g_archiveIndex)
        keys.push_back(key);
    return keys;
}

TEST_F(ArchiveIndexTest, EmptyArchiveHasNoEntriesAndEveryLookupFails) {
    EXPECT_EQ(WriteAndOpen(MakeRawTable(0, {})), S_OK);
    EXPECT_EQ(g_archiveEntryCount, 0u);
    EXPECT_TRUE(g_archiveIndex.empty());
    EXPECT_EQ(GetArchiveFileSize("./X/textback.bmp"), ARCHIVE_SIZE_NOT_FOUND);
    EXPECT_THAT(MessageTexts(), ElementsAre("結合ファイルNot Found"));
}

TEST_F(ArchiveIndexTest, IndexIsOrderedByUnsignedBytesShorterKeyFirst) {
    EXPECT_EQ(
        BuildAndOpen({{"./b", {}}, {"./\x83\x65", {}}, {"./a", {}}, {"./ab", {}}, {"./A", {}}}),
        S_OK);
    EXPECT_EQ(g_archiveEntryCount, 5u);
    EXPECT_THAT(IndexKeys(), ElementsAre("./A", "./a", "./ab", "./b", "./\x83\x65"));
}

TEST_F(ArchiveIndexTest, DuplicateKeysKeepTheEarlierEntry) {
    auto stored =
        MakeRawTable(2, {{"./X/a.txt", 5, TableWords(2)}, {"./X/a.txt", 6, TableWords(2) + 5}});
    PutData(&stored, TableWords(2), "first");
    PutData(&stored, TableWords(2) + 5, "second");
    EXPECT_EQ(WriteAndOpen(stored), S_OK);
    EXPECT_EQ(g_archiveIndex.size(), 1u);
    EXPECT_EQ(ReadText("./X/a.txt"), "first");
}

TEST_F(ArchiveIndexTest, DataIsPlacedByOffsetAlone) {
    // Data in reverse table order, one entry's data before the other's, and a zero-length
    // entry whose offset points nowhere in particular.
    const std::uint32_t data = TableWords(3);
    auto stored = MakeRawTable(3, {{"./one", 3, data + 10}, {"./two", 4, data}, {"./empty", 0, 7}});
    PutData(&stored, data, "zwei");
    PutData(&stored, data + 10, "ein");
    EXPECT_EQ(WriteAndOpen(stored), S_OK);
    EXPECT_EQ(ReadText("./one"), "ein");
    EXPECT_EQ(ReadText("./two"), "zwei");
    EXPECT_EQ(ReadText("./empty"), "");
    EXPECT_EQ(g_archiveIndex.at("./one").position, 4 * (data + 10));
    EXPECT_EQ(g_archiveIndex.at("./one").length, 12u);
}

TEST_F(ArchiveIndexTest, NumbersAreLittleEndianWordsOfLittleEndianBytes) {
    // N = 1 as four stored words for the bytes 01 00 00 00, each word's bytes low first.
    std::vector<std::uint8_t> stored;
    for (std::uint8_t byte : {1, 0, 0, 0}) {
        const std::uint32_t word = EncodeArchiveByte(byte);
        stored.insert(stored.end(), {std::uint8_t(word), std::uint8_t(word >> 8), 0, 0});
    }
    std::uint8_t name[ARCHIVE_NAME_SIZE] = {'k'};
    EncodeArchiveBytes(name, ARCHIVE_NAME_SIZE, &stored);
    const std::uint8_t sizeAndOffset[8] = {0x02, 0x01, 0, 0, 0x78, 0x56, 0x34, 0x12};
    EncodeArchiveBytes(sizeAndOffset, 8, &stored);
    EXPECT_EQ(WriteAndOpen(stored), S_OK);
    EXPECT_EQ(g_archiveEntryCount, 1u);
    ASSERT_EQ(g_archiveIndex.count("k"), 1u);
    EXPECT_EQ(g_archiveIndex.at("k").length, 4u * 0x0102);
    EXPECT_EQ(g_archiveIndex.at("k").position, 4u * 0x12345678);
}

TEST_F(ArchiveIndexTest, ReopeningClearsTheEarlierIndex) {
    EXPECT_EQ(BuildAndOpen({{"./old", {'o'}}}), S_OK);
    EXPECT_EQ(BuildAndOpen({{"./new", {'n'}}}), S_OK);
    EXPECT_THAT(IndexKeys(), ElementsAre("./new"));
    EXPECT_EQ(OpenArchiveFile((dir_ / "missing.dat").c_str()), E_FAIL);
    EXPECT_THAT(IndexKeys(), IsEmpty());
    EXPECT_EQ(g_archiveEntryCount, 0u);
    EXPECT_THAT(MessageTexts(), IsEmpty()); // a missing archive is silent
}

TEST_F(ArchiveIndexTest, OpenArchiveReadsZrnDatInTheWorkingDirectory) {
    std::vector<std::uint8_t> image;
    std::string error;
    ASSERT_TRUE(BuildArchiveImage({{"./Scenario/fileNameList.txt", {'s'}}}, &image, &error));
    path_ = (dir_ / "ZRN.dat").string();
    Write(image);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    EXPECT_EQ(OpenArchive(), S_OK);
    EXPECT_EQ(g_archivePath, "ZRN.dat");
    EXPECT_EQ(ReadText("./Scenario/fileNameList.txt"), "s");
    std::filesystem::current_path(previous);
}

// Entries that no valid archive can hold are left out of the index; the rest load.
TEST_F(ArchiveIndexTest, UnusableEntriesAreSkipped) {
    const std::string longest(127, 'n');
    const std::string noNul(128, 'm');
    const std::uint32_t data = TableWords(7);
    auto stored = MakeRawTable(7, {{longest, 2, data},
                                   {noNul, 1, data},
                                   {"./huge", 0x40000000u, data},
                                   {"./far", 1, 0x40000000u},
                                   {"./past2GiB", 1, 0x1fffffffu},
                                   {"./ends2GiB", 0x10000000u, 0x0fffffffu},
                                   {"./ok", 2, data}});
    PutData(&stored, data, "ok");
    EXPECT_EQ(WriteAndOpen(stored), S_OK);
    EXPECT_EQ(g_archiveEntryCount, 7u);
    EXPECT_THAT(IndexKeys(), ElementsAre("./ends2GiB", "./ok", longest));
    EXPECT_EQ(ReadText(longest.c_str()), "ok");
}

TEST_F(ArchiveIndexTest, ShortTableKeepsTheCompleteEntries) {
    const std::uint32_t data = TableWords(1);
    auto complete = MakeRawTable(3, {{"./a", 1, data}, {"./b", 1, data}});
    complete.resize(4 * data);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::vector<std::string> keys;
    } cases[] = {
        {"empty file", {}, {}},
        {"header cut", std::vector<std::uint8_t>(complete.begin(), complete.begin() + 13), {}},
        {"second entry cut", complete, {"./a"}},
        {"count far past the table", MakeRawTable(0xffffffffu, {{"./a", 0, 0}}), {"./a"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WriteAndOpen(c.bytes), E_FAIL) << c.what;
        EXPECT_EQ(IndexKeys(), c.keys) << c.what;
    }
}

TEST_F(ArchiveIndexTest, LookupsAreExactBytes) {
    EXPECT_EQ(BuildAndOpen({{"./X/textback.bmp", {'b', 'm'}}}), S_OK);
    const std::string tooLong = "./X/textback.bmp" + std::string(120, 'x');
    for (const char* key : {".\\X\\textback.bmp", "./x/textback.bmp", "X/textback.bmp",
                            "./X/textback.bm", "./X/textback.bmp ", "", tooLong.c_str()}) {
        ClearRecordedMessages();
        EXPECT_EQ(GetArchiveFileSize(key), ARCHIVE_SIZE_NOT_FOUND) << key;
        EXPECT_THAT(MessageTexts(), ElementsAre("結合ファイルNot Found")) << key;
    }
    EXPECT_EQ(GetArchiveFileSize("./X/textback.bmp"), 8u);
}

} // namespace
