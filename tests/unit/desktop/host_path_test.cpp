// Loose game files are found whatever the case of each path component on disk.
#include "platform/files/host_files.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class HostPath : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(root_);
    }
    void TearDown() override { fs::current_path(previous_); }
    static void Touch(const fs::path& path) {
        fs::create_directories(path.parent_path().empty() ? "." : path.parent_path());
        std::ofstream(path) << "x";
    }
    const TempFolder folder_{"host-path"};
    const fs::path root_ = folder_.Path();
    fs::path previous_;
};

TEST_F(HostPath, ExactNameWinsOverCaseVariants) {
    Touch("Sound/normal.ogg");
    Touch("Sound/NORMAL.ogg");
    EXPECT_EQ(ToHostPath(".\\Sound\\normal.ogg"), "./Sound/normal.ogg");
}

TEST_F(HostPath, EachComponentFindsItsCaseVariant) {
    Touch("SOUND/Normal.OGG");
    Touch("cg/nowloading.BMP");
    Touch("zrn.DAT");
    EXPECT_EQ(ToHostPath(".\\Sound\\normal.ogg"), "./SOUND/Normal.OGG");
    EXPECT_EQ(ToHostPath(".\\CG\\NowLoading.bmp"), "./cg/nowloading.BMP");
    EXPECT_EQ(ToHostPath("ZRN.dat"), "zrn.DAT");
    EXPECT_EQ(ToHostPath((root_ / "Cg" / "NOWLOADING.bmp").c_str()),
              (root_ / "cg" / "nowloading.BMP").string());
}

TEST_F(HostPath, SeveralVariantsGiveTheFirstInSortedOrder) {
    Touch("sound/b.wav");
    Touch("Sound/a.wav");
    Touch("SOUND/c.wav");
    // "SOUND" < "Sound" < "sound" in byte order.
    EXPECT_EQ(ToHostPath(".\\sOUND\\c.wav"), "./SOUND/c.wav");
    EXPECT_EQ(ToHostPath(".\\sOUND\\a.wav"), "./SOUND/a.wav");
}

TEST_F(HostPath, MissingFileStaysMissing) {
    Touch("Sound/click.wav");
    EXPECT_EQ(ToHostPath(".\\Sound\\talk.wav"), "./Sound/talk.wav");
    EXPECT_EQ(ToHostPath(".\\Music\\click.wav"), "./Music/click.wav");
    EXPECT_FALSE(fs::exists(ToHostPath(".\\Sound\\talk.wav")));
}

} // namespace
