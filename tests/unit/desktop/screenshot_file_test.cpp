// Where F12 puts its pictures, and that each press gets a file of its own.
#include "platform/gfx/screenshot_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

class ScreenshotFile : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(home_ / ".config");
        Keep("HOME");
        Keep("XDG_PICTURES_DIR");
        Keep("XDG_CONFIG_HOME");
        setenv("HOME", home_.c_str(), 1);
        unsetenv("XDG_PICTURES_DIR");
        unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value.second)
                setenv(name.c_str(), value.first.c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }
    void Keep(const std::string& name) {
        const char* value = std::getenv(name.c_str());
        saved_.push_back({name, {value ? value : "", value != nullptr}});
    }
    const TempFolder folder_{"screenshots"};
    const fs::path home_ = folder_.Path();
    std::vector<std::pair<std::string, std::pair<std::string, bool>>> saved_;
};

TEST_F(ScreenshotFile, FolderFromEnvironmentElseUserDirsElsePictures) {
    EXPECT_EQ(ScreenshotFolder(), (home_ / "Pictures" / "Tavelle").string());
    std::ofstream(home_ / ".config" / "user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(ScreenshotFolder(), (home_ / "Bilder" / "Tavelle").string());
    setenv("XDG_PICTURES_DIR", "/srv/shots", 1);
    EXPECT_EQ(ScreenshotFolder(), "/srv/shots/Tavelle");
}

TEST_F(ScreenshotFile, MakesTheFolderAndNeverOverwrites) {
    const std::vector<std::uint8_t> rgba(4 * 4 * 3, 200);
    std::string error;
    const std::string first = SaveScreenshot(rgba.data(), 4, 3, &error);
    const std::string second = SaveScreenshot(rgba.data(), 4, 3, &error);
    ASSERT_FALSE(first.empty()) << error;
    ASSERT_FALSE(second.empty()) << error;
    EXPECT_NE(first, second);
    EXPECT_EQ(fs::path(first).parent_path(), home_ / "Pictures" / "Tavelle");
    EXPECT_GT(fs::file_size(first), 0u);
    EXPECT_GT(fs::file_size(second), 0u);

    std::ofstream(home_ / "blocked") << "a file where the pictures folder should be";
    setenv("XDG_PICTURES_DIR", (home_ / "blocked").c_str(), 1);
    EXPECT_EQ(SaveScreenshot(rgba.data(), 4, 3, &error), "");
    EXPECT_NE(error.find("blocked"), std::string::npos) << error;
}

} // namespace
