// Folder mode: the keys of an unpacked game folder, read through the same three calls
// and with the same messages as a packed archive.
#include "archive_test_support.h"

#include <gmock/gmock.h>

#include <unistd.h>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class ArchiveFolderTest : public ArchiveFileTest {
  protected:
    void TearDown() override {
        if (!startFolder_.empty())
            std::filesystem::current_path(startFolder_);
        SetArchiveFolderForced(false);
        OpenArchiveFile("");
        ArchiveFileTest::TearDown();
    }
    void Put(const std::string& relative, const std::string& text) {
        const std::filesystem::path path = dir_ / "game" / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    HRESULT OpenGame() { return OpenArchiveFolder((dir_ / "game").c_str()); }
    // OpenArchive as the game calls it, in the working directory; the test's own
    // directory comes back at its end.
    HRESULT OpenArchiveIn(const std::filesystem::path& folder) {
        if (startFolder_.empty())
            startFolder_ = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        return OpenArchive();
    }
    std::filesystem::path startFolder_;
};

TEST_F(ArchiveFolderTest, KeysAreTheShiftJisPathsBelowTheFolder) {
    Put("Scenario/fileNameList.txt", "s01.txt\r\n");
    Put("Scenario/テスト.txt", "\x83\x65[l]");
    Put("Data/empty.dat", "");
    ASSERT_EQ(OpenGame(), S_OK);

    EXPECT_EQ(ReadText("./Scenario/fileNameList.txt"), "s01.txt\r\n");
    EXPECT_EQ(ReadText("./Scenario/\x83\x65\x83X\x83g.txt"), "\x83\x65[l]");
    EXPECT_EQ(GetArchiveFileSize("./Data/empty.dat"), 0u);
    EXPECT_EQ(g_archiveEntryCount, 3u);
    EXPECT_THAT(MessageTexts(), IsEmpty());
}

TEST_F(ArchiveFolderTest, LetterCaseOfAKeyMayDifferFromTheFileName) {
    Put("X/TextBack.bmp", "BM");
    Put("Scenario/表A.txt", "z"); // 表 is 0x95 0x5C: its second byte is no letter to fold
    ASSERT_EQ(OpenGame(), S_OK);
    EXPECT_EQ(ReadText("./x/textback.BMP"), "BM");
    EXPECT_EQ(ReadText("./scenario/\x95\x5c"
                       "a.txt"),
              "z");
    EXPECT_THAT(MessageTexts(), IsEmpty());
}

// The packing tool lists the folder through the same walk, so packed and unpacked
// play serve the same file; the directory's own order (which differs between file
// systems) plays no part.
TEST_F(ArchiveFolderTest, NamesThatDifferOnlyInCaseAreServedInKeyOrder) {
    for (const char* name : {"Data/x.txt", "Data/X.txt", "Data/x.TXT", "Data/X.TXT", "data/X.TXT"})
        Put(name, name);
    ASSERT_EQ(OpenGame(), S_OK);
    EXPECT_EQ(ReadText("./DATA/x.txt"), "Data/X.TXT");

    std::vector<FolderFile> files;
    std::string realRoot;
    ASSERT_TRUE(ListGameFolder((dir_ / "game").string(), &files, &realRoot));
    std::vector<std::string> keys;
    for (const FolderFile& file : files)
        keys.push_back(file.key);
    EXPECT_THAT(keys, ElementsAre("./Data/X.TXT", "./Data/X.txt", "./Data/x.TXT", "./Data/x.txt",
                                  "./data/X.TXT"));
}

TEST_F(ArchiveFolderTest, FilesThatCannotBeKeysAreMissingWithTheArchiveMessages) {
    Put("Scenario/\xF0\x9F\x98\x80.txt", "emoji"); // no Shift-JIS form
    Put("Scenario/bad\xff.txt", "not UTF-8");
    Put("Scenario/" + std::string(130, 'a'), "too long");
    std::filesystem::create_directories(dir_ / "game" / "Scenario" / "s01.txt");
    ASSERT_EQ(OpenGame(), S_OK);
    EXPECT_EQ(g_archiveEntryCount, 0u);

    char buffer[8] = "guard";
    EXPECT_EQ(GetArchiveFileSize("./Scenario/s01.txt"), ARCHIVE_SIZE_NOT_FOUND);
    EXPECT_EQ(ReadArchiveFile("./Scenario/s01.txt", buffer), E_FAIL);
    EXPECT_STREQ(buffer, "guard");
    EXPECT_THAT(MessageTexts(), ElementsAre("結合ファイルNot Found", "分割ファイルNot Found",
                                            "結合ファイルデータNot Found"));
}

TEST_F(ArchiveFolderTest, EachNoteAboutAFileIsGivenOncePerRun) {
    Put("Scenario/bad\xff.txt", "not UTF-8");
    Put("Scenario/" + std::string(130, 'a'), "too long");
    const auto notesOfAWalk = [this] {
        testing::internal::CaptureStderr();
        EXPECT_EQ(OpenGame(), S_OK);
        return testing::internal::GetCapturedStderr();
    };
    const std::string first = notesOfAWalk();
    EXPECT_THAT(first, HasSubstr("bad\xff.txt is not served: its name has no Shift-JIS"));
    EXPECT_THAT(first, HasSubstr(std::string(130, 'a') + " is not served: its key is longer"));
    // Walked again, as F1 does: nothing new, nothing said.
    EXPECT_EQ(notesOfAWalk(), "");
    // A new note is given, and only it.
    Put("Scenario/\xF0\x9F\x98\x80.txt", "emoji");
    const std::string third = notesOfAWalk();
    EXPECT_THAT(third, HasSubstr("\xF0\x9F\x98\x80.txt is not served"));
    EXPECT_THAT(third, Not(HasSubstr("bad\xff.txt")));
}

TEST_F(ArchiveFolderTest, AFileChangedAfterTheWalkIsReadAsItIsNowOrRefused) {
    Put("Scenario/s01.txt", "old");
    Put("Scenario/s02.txt", "gone");
    ASSERT_EQ(OpenGame(), S_OK);

    // Saved again before the size query: the caller gets the new size and text.
    Put("Scenario/s01.txt", "longer");
    EXPECT_EQ(ReadText("./Scenario/s01.txt"), "longer");

    // Changed between the size query and the read: the buffer is too small for it.
    const std::uint32_t size = GetArchiveFileSize("./Scenario/s01.txt");
    Put("Scenario/s01.txt", "longer still, past the buffer");
    std::vector<char> buffer(size, 'x');
    EXPECT_EQ(ReadArchiveFile("./Scenario/s01.txt", buffer.data()), E_FAIL);

    // Gone, or a folder now, between the walk and the read.
    std::filesystem::remove(dir_ / "game" / "Scenario" / "s02.txt");
    std::filesystem::create_directories(dir_ / "game" / "Scenario" / "s02.txt");
    EXPECT_EQ(ReadArchiveFile("./Scenario/s02.txt", buffer.data()), E_FAIL);
    EXPECT_THAT(MessageTexts(),
                ElementsAre("結合ファイルデータRead Error", "結合ファイルデータRead Error"));
}

TEST_F(ArchiveFolderTest, SymbolicLinksAreFollowedOnlyToFilesInsideTheFolder) {
    Put("X/real.bmp", "inside");
    std::ofstream(dir_ / "outside.txt") << "secret";
    std::filesystem::create_symlink(dir_ / "game" / "X" / "real.bmp",
                                    dir_ / "game" / "X" / "in.bmp");
    std::filesystem::create_symlink(dir_ / "outside.txt", dir_ / "game" / "X" / "out.bmp");
    std::filesystem::create_directory_symlink(dir_, dir_ / "game" / "up");
    ASSERT_EQ(OpenGame(), S_OK);
    EXPECT_EQ(ReadText("./X/in.bmp"), "inside");
    EXPECT_EQ(g_archiveIndex.count("./X/out.bmp"), 0u);
    EXPECT_EQ(g_archiveIndex.count("./up/outside.txt"), 0u);
    EXPECT_EQ(g_archiveEntryCount, 2u);

    // A file swapped for a link that leaves the folder after the walk is not read.
    std::filesystem::remove(dir_ / "game" / "X" / "real.bmp");
    std::filesystem::create_symlink(dir_ / "outside.txt", dir_ / "game" / "X" / "real.bmp");
    EXPECT_EQ(ReadText("./X/real.bmp"), "<read failed>");
}

TEST_F(ArchiveFolderTest, TheGamePlaysAFolderWithoutZrnDatButWithTheScenarioList) {
    Put("scenario/FILENAMELIST.TXT", "a\r\n");
    EXPECT_EQ(OpenArchiveIn(dir_ / "game"), S_OK);
    EXPECT_TRUE(g_archiveIsFolder);
    EXPECT_EQ(ReadText("./Scenario/fileNameList.txt"), "a\r\n");

    // Beside a ZRN.dat the archive wins, unless folder mode is asked for.
    std::vector<std::uint8_t> image;
    std::string error;
    ASSERT_TRUE(BuildArchiveImage({{"./packed", {'p'}}}, &image, &error)) << error;
    std::ofstream(dir_ / "game" / "ZRN.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    EXPECT_EQ(OpenArchiveIn(dir_ / "game"), S_OK);
    EXPECT_FALSE(g_archiveIsFolder);
    EXPECT_EQ(ReadText("./packed"), "p");
    SetArchiveFolderForced(true);
    EXPECT_EQ(OpenArchiveIn(dir_ / "game"), S_OK);
    EXPECT_TRUE(g_archiveIsFolder);
    EXPECT_EQ(g_archiveIndex.count("./packed"), 0u);
    EXPECT_THAT(MessageTexts(), IsEmpty());
}

TEST_F(ArchiveFolderTest, AFolderWithoutTheListIsNotWalkedUnlessAskedFor) {
    Put("X/a.bmp", "a");
    EXPECT_EQ(OpenArchiveIn(dir_ / "game"), E_FAIL);
    EXPECT_TRUE(g_archiveIndex.empty());

    SetArchiveFolderForced(true);
    EXPECT_EQ(OpenArchiveIn(dir_ / "game"), S_OK);
    EXPECT_EQ(g_archiveIndex.count("./X/a.bmp"), 1u);
    EXPECT_EQ(GetArchiveFileSize("./Scenario/fileNameList.txt"), ARCHIVE_SIZE_NOT_FOUND);
    EXPECT_THAT(MessageTexts(), ElementsAre("結合ファイルNot Found"));
}

} // namespace
