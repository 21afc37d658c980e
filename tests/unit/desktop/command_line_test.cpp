// The player's command line: each option, the mistakes, the exit codes, and the
// data folder check that runs before any window opens.
#include "app/command_line.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Parsed {
    int code;
    LaunchOptions options;
    std::string out, err;
};

std::string ReadAll(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char chunk[512];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    std::fclose(file);
    return text;
}

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "tavelle");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    Parsed parsed;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    parsed.code =
        ParseCommandLine(static_cast<int>(argv.size()), argv.data(), &parsed.options, out, err);
    parsed.out = ReadAll(out);
    parsed.err = ReadAll(err);
    return parsed;
}

TEST(CommandLine, DefaultsWithNoArguments) {
    const Parsed p = Parse({});
    EXPECT_EQ(p.code, LAUNCH_RUN);
    EXPECT_EQ(p.options.dataDir, "");
    EXPECT_FALSE(p.options.fullscreen);
    EXPECT_EQ(p.options.scaleMode, FRAME_SCALE_LINEAR);
    EXPECT_EQ(p.options.fps, 60);
    EXPECT_FALSE(p.options.mute);
    EXPECT_EQ(p.options.musicVolume, 100);
    EXPECT_EQ(p.options.effectsVolume, 100);
    EXPECT_EQ(p.out + p.err, "");
}

TEST(CommandLine, EachOptionSetsItsChoice) {
    const Parsed p = Parse({"/games/tavelle", "--fullscreen", "--scale-mode", "integer", "--fps",
                            "0", "--mute", "--music-volume", "35", "--effects-volume", "0"});
    ASSERT_EQ(p.code, LAUNCH_RUN) << p.err;
    EXPECT_EQ(p.options.dataDir, "/games/tavelle");
    EXPECT_TRUE(p.options.fullscreen);
    EXPECT_EQ(p.options.scaleMode, FRAME_SCALE_INTEGER);
    EXPECT_EQ(p.options.fps, 0);
    EXPECT_TRUE(p.options.mute);
    EXPECT_EQ(p.options.musicVolume, 35);
    EXPECT_EQ(p.options.effectsVolume, 0);

    EXPECT_FALSE(Parse({"--fullscreen", "--window"}).options.fullscreen);
    EXPECT_EQ(Parse({"--scale-mode", "nearest"}).options.scaleMode, FRAME_SCALE_NEAREST);
    EXPECT_EQ(Parse({"--scale-mode", "integer", "--scale-mode", "linear"}).options.scaleMode,
              FRAME_SCALE_LINEAR);
    EXPECT_EQ(Parse({"--fps", "144"}).options.fps, 144);

    const Parsed unpacked = Parse({"--unpacked", "/work/mygame"});
    ASSERT_EQ(unpacked.code, LAUNCH_RUN) << unpacked.err;
    EXPECT_EQ(unpacked.options.dataDir, "/work/mygame");
    EXPECT_TRUE(unpacked.options.unpacked);
    EXPECT_FALSE(Parse({"/work/mygame"}).options.unpacked);
}

TEST(CommandLine, HelpAndVersionPrintToStdoutAndExitZero) {
    for (const char* option : {"--help", "-h"}) {
        const Parsed p = Parse({"--fps", "30", option, "--bogus"});
        EXPECT_EQ(p.code, LAUNCH_EXIT_DONE);
        EXPECT_EQ(p.out.rfind("usage: tavelle [DATA_DIR]", 0), 0u) << p.out;
        EXPECT_NE(p.out.find("--effects-volume 0-100"), std::string::npos);
        EXPECT_EQ(p.err, "");
    }
    const Parsed version = Parse({"--version"});
    EXPECT_EQ(version.code, LAUNCH_EXIT_DONE);
    EXPECT_EQ(version.out, "tavelle 1.03\n");
}

TEST(CommandLine, MistakesGiveOneLineAndUsageOnStderrAndExitTwo) {
    const struct {
        std::vector<std::string> args;
        const char* firstLine;
    } cases[] = {
        {{"--bogus"}, "tavelle: unknown option --bogus"},
        {{"--fps"}, "tavelle: missing value after --fps"},
        {{"--fps", "-1"}, "tavelle: --fps needs N, got '-1'"},
        {{"--fps", "60x"}, "tavelle: --fps needs N, got '60x'"},
        {{"--scale-mode", "bilinear"}, "tavelle: --scale-mode needs MODE, got 'bilinear'"},
        {{"--music-volume", "101"}, "tavelle: --music-volume needs 0-100, got '101'"},
        {{"--effects-volume", ""}, "tavelle: --effects-volume needs 0-100, got ''"},
        {{"a", "b"}, "tavelle: more than one DATA_DIR: b"},
        {{"--unpacked", "a", "b"}, "tavelle: more than one DATA_DIR: b"},
        {{"a", "--unpacked", "b"}, "tavelle: give one DATA_DIR or one --unpacked DIR"},
        {{"--unpacked"}, "tavelle: missing value after --unpacked"},
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(c.args);
        EXPECT_EQ(p.code, LAUNCH_EXIT_USAGE) << c.firstLine;
        EXPECT_EQ(p.err.substr(0, p.err.find('\n')), c.firstLine);
        EXPECT_NE(p.err.find("\nusage: tavelle"), std::string::npos) << c.firstLine;
        EXPECT_EQ(p.out, "");
    }
}

class DataFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root_ / "packed");
        fs::create_directories(root_ / "unpacked/scenario");
        fs::create_directories(root_ / "empty");
        fs::create_directories(root_ / "installed");
        std::ofstream(root_ / "packed" / "zrn.DAT") << "x";
        std::ofstream(root_ / "unpacked/scenario/FileNameList.txt") << "x";
        std::ofstream(root_ / "installed" / "ZRN.dat") << "x";
        std::ofstream(root_ / "file") << "x";
        previous_ = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(previous_);
        // One test makes the folder unreadable; it must be readable again to go.
        fs::permissions(root_ / "empty", fs::perms::owner_all);
    }
    bool Enter(const std::string& dataDir, std::string* error) {
        LaunchOptions options;
        options.dataDir = dataDir;
        return EnterDataFolder(options, (root_ / "installed").string(), error);
    }
    const TempFolder folder_{"data-folder"};
    const fs::path root_ = folder_.Path();
    fs::path previous_;
};

TEST_F(DataFolder, GameFolderInAnyCaseOrUnpackedBecomesTheWorkingDirectory) {
    std::string error;
    ASSERT_TRUE(Enter((root_ / "packed").string(), &error)) << error;
    EXPECT_EQ(fs::current_path(), root_ / "packed");
    ASSERT_TRUE(Enter((root_ / "unpacked").string(), &error)) << error;
    EXPECT_EQ(fs::current_path(), root_ / "unpacked");
}

TEST_F(DataFolder, NoFolderNamedUsesTheCurrentGameElseTheInstalledOne) {
    std::string error;
    fs::current_path(root_ / "packed");
    ASSERT_TRUE(Enter("", &error)) << error;
    EXPECT_EQ(fs::current_path(), root_ / "packed");
    fs::current_path(root_ / "empty");
    ASSERT_TRUE(Enter("", &error)) << error;
    EXPECT_EQ(fs::current_path(), root_ / "installed");
}

TEST_F(DataFolder, MissingFileUnreadableOrEmptyFolderIsOneLineAndNoChange) {
    const struct {
        fs::path dir;
        const char* says;
    } cases[] = {
        {root_ / "missing", "No such file or directory"},
        {root_ / "file", "not a folder"},
        {root_ / "empty", "no game in"},
    };
    fs::current_path(root_);
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(Enter(c.dir.string(), &error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_NE(error.find(c.dir.string()), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(fs::current_path(), root_);
    }
    if (geteuid() != 0) { // root reads every folder
        fs::permissions(root_ / "empty", fs::perms::none);
        std::string error;
        EXPECT_FALSE(Enter((root_ / "empty").string(), &error));
        EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
    }
}

} // namespace
