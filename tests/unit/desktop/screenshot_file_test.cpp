// Where F12 puts its pictures, and that each press gets a file of its own.
#include "platform/gfx/screenshot_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <latch>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
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

// Pictures saved at once (two games pressing F12 in the same second) each get a file of
// their own: no picture replaces another, whatever the order the saves run in.
TEST_F(ScreenshotFile, SavesAtOnceNeverReplaceEachOther) {
    constexpr int THREADS = 8;
    constexpr int SAVES = 6;
    std::vector<std::string> paths(THREADS * SAVES);
    std::latch start(THREADS);
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int s = 0; s < SAVES; ++s) {
                // Each picture differs from every other in its first byte.
                std::vector<std::uint8_t> rgba(4 * 8 * 8, 0);
                rgba[0] = static_cast<std::uint8_t>(t * SAVES + s);
                std::string error;
                paths[t * SAVES + s] = SaveScreenshot(rgba.data(), 8, 8, &error);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    std::set<std::string> contents;
    for (const std::string& path : paths) {
        ASSERT_FALSE(path.empty());
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        contents.insert(bytes.str());
    }
    EXPECT_EQ(contents.size(), paths.size()) << "a picture replaced another";
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(home_ / "Pictures" / "Tavelle"))
        files += entry.path().extension() == ".png";
    EXPECT_EQ(files, paths.size());
}

// A write that fails half-way (a full disk, here a file-size limit) leaves no file
// behind, neither a cut PNG under the picture's name nor the temporary one.
TEST_F(ScreenshotFile, AFailedWriteLeavesNoFile) {
    const fs::path folder = home_ / "Pictures" / "Tavelle";
    fs::create_directories(folder);
    // Noise does not compress: the PNG is far larger than the limit.
    std::vector<std::uint8_t> rgba(4 * 256 * 256);
    std::uint32_t seed = 12345;
    for (std::uint8_t& byte : rgba) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        _exit(SaveScreenshot(rgba.data(), 256, 256, &error).empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not report its failure";
    EXPECT_TRUE(fs::is_empty(folder)) << fs::directory_iterator(folder)->path();
}

} // namespace
