#include "archive_test_support.h"

#include <gmock/gmock.h>

#include <random>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ArchiveReadTest = ArchiveFileTest;

TEST_F(ArchiveReadTest, ReadWritesTheDecodedBytesAndANul) {
    std::vector<std::uint8_t> big(200000); // spans several read chunks
    std::mt19937 random(7);
    for (std::uint8_t& byte : big)
        byte = static_cast<std::uint8_t>(random());
    EXPECT_EQ(BuildAndOpen({{"./Data/big.dat", big}, {"./Scenario/テキスト.txt", {'h', 'i'}}}),
              S_OK);

    const std::uint32_t size = GetArchiveFileSize("./Data/big.dat");
    ASSERT_EQ(size, 4 * big.size());
    std::vector<std::uint8_t> buffer(size, 0xee);
    EXPECT_EQ(ReadArchiveFile("./Data/big.dat", buffer.data()), S_OK);
    EXPECT_TRUE(std::equal(big.begin(), big.end(), buffer.begin()));
    EXPECT_EQ(buffer[big.size()], 0);
    EXPECT_EQ(buffer[big.size() + 1], 0xee);

    EXPECT_EQ(ReadText("./Scenario/テキスト.txt"), "hi");
    EXPECT_THAT(MessageTexts(), IsEmpty());
}

// An empty entry reads as empty wherever its offset points: inside the data, past the
// end of the file, or where no 32-bit position could reach.
TEST_F(ArchiveReadTest, ZeroLengthEntryWritesNothingWhereverItPoints) {
    const std::uint32_t data = TableWords(3);
    auto stored = MakeRawTable(
        3, {{"./inside", 0, data}, {"./past", 0, data + 1000}, {"./beyond", 0, 0xFFFFFFF0u}});
    PutData(&stored, data, "x");
    EXPECT_EQ(WriteAndOpen(stored), S_OK);
    for (const char* key : {"./inside", "./past", "./beyond"}) {
        EXPECT_EQ(GetArchiveFileSize(key), 0u) << key;
        std::uint8_t guard = 0xee;
        EXPECT_EQ(ReadArchiveFile(key, &guard), S_OK) << key;
        EXPECT_EQ(guard, 0xee) << key;
    }
    EXPECT_THAT(MessageTexts(), IsEmpty());
}

TEST_F(ArchiveReadTest, MissingKeyShowsItsMessagesAndLeavesOutputsAlone) {
    EXPECT_EQ(BuildAndOpen({{"./a", {'a'}}}), S_OK);
    std::uint32_t length = 11, position = 12;
    EXPECT_EQ(FindArchiveEntry("./b", &length, &position), E_FAIL);
    EXPECT_EQ(length, 11u);
    EXPECT_EQ(position, 12u);
    EXPECT_THAT(MessageTexts(), ElementsAre("分割ファイルNot Found"));

    ClearRecordedMessages();
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(ReadArchiveFile("./b", buffer), E_FAIL);
    EXPECT_EQ(std::string(buffer, 4), "xxxx");
    EXPECT_THAT(MessageTexts(),
                ElementsAre("分割ファイルNot Found", "結合ファイルデータNot Found"));

    EXPECT_EQ(FindArchiveEntry("./a", &length, &position), S_OK);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(position, 4 * TableWords(1));
}

TEST_F(ArchiveReadTest, NothingIsFoundBeforeAnArchiveIsOpened) {
    g_archiveIndex.clear();
    std::uint32_t length = 0, position = 0;
    char buffer[1] = {'x'};
    EXPECT_EQ(FindArchiveEntry("./a", &length, &position), E_FAIL);
    EXPECT_EQ(GetArchiveFileSize("./a"), ARCHIVE_SIZE_NOT_FOUND);
    EXPECT_EQ(ReadArchiveFile("./a", buffer), E_FAIL);
    EXPECT_THAT(MessageTexts(),
                ElementsAre("分割ファイルNot Found", "結合ファイルNot Found",
                            "分割ファイルNot Found", "結合ファイルデータNot Found"));
}

// The index promises data the file no longer (or never) holds: the read fails with a
// message and the caller's buffer stays as it was.
TEST_F(ArchiveReadTest, DataMissingFromTheFileFailsWithoutWriting) {
    const std::uint32_t data = TableWords(2);
    auto stored = MakeRawTable(2, {{"./whole", 2, data}, {"./cut", 8, data + 2}});
    PutData(&stored, data, "okcutcu");
    EXPECT_EQ(WriteAndOpen(stored), S_OK);
    std::vector<char> buffer(32, 'x');
    EXPECT_EQ(ReadArchiveFile("./cut", buffer.data()), E_FAIL);
    EXPECT_EQ(std::string(buffer.data(), 32), std::string(32, 'x'));
    EXPECT_EQ(ReadText("./whole"), "ok");

    std::filesystem::remove(path_);
    EXPECT_EQ(ReadArchiveFile("./whole", buffer.data()), E_FAIL);
    EXPECT_EQ(std::string(buffer.data(), 32), std::string(32, 'x'));
    EXPECT_THAT(MessageTexts(),
                ElementsAre("結合ファイルデータRead Error", "結合ファイルデータRead Error"));
}

} // namespace
