// The settings file: what is written reads back, a damaged file gives the defaults,
// and the command line overrides the file for one run.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Settings, WhatIsWrittenReadsBack) {
    PlayerSettings changed;
    changed.fullscreen = true;
    changed.scaleMode = FRAME_SCALE_INTEGER;
    changed.musicVolume = 30;
    changed.effectsVolume = 0;
    changed.mute = true;
    changed.textSpeed = 3;
    changed.autoPauseFrames = 600;
    PlayerSettings back;
    std::string why;
    ASSERT_TRUE(ParseSettings(FormatSettings(changed), &back, &why)) << why;
    EXPECT_EQ(FormatSettings(back), FormatSettings(changed));
    EXPECT_EQ(back.scaleMode, FRAME_SCALE_INTEGER);
    EXPECT_EQ(back.musicVolume, 30);
    EXPECT_EQ(back.textSpeed, 3);
}

TEST(Settings, KeysMayBeMissingOrSpacedAndCommentsAreSkipped) {
    PlayerSettings s;
    s.musicVolume = 55;
    std::string why;
    ASSERT_TRUE(ParseSettings("; mine\n[tavelle]\r\n  text_speed=faster \r\n# end\n\n", &s, &why));
    EXPECT_EQ(s.textSpeed, 2);
    EXPECT_EQ(s.musicVolume, 100) << "a key the file leaves out takes its default";
}

TEST(Settings, ADamagedFileIsRefusedWhole) {
    const std::vector<std::string> damaged = {
        "music_volume = 101\n",
        "music_volume = -1\n",
        "music_volume = 50%\n",
        "music_volume =\n",
        "fullscreen = yes\n",
        "scale_mode = blurry\n",
        "text_speed = 4\n",
        "volume = 50\n",
        "just some words\n",
        "auto_pause_frames = 601\n",
        std::string("mute = tr\0ue\n", 13),
        "music_volume = 99999999999999999999\n",
    };
    for (const std::string& text : damaged) {
        PlayerSettings s;
        s.effectsVolume = 7;
        std::string why;
        EXPECT_FALSE(ParseSettings("text_speed = instant\n" + text, &s, &why)) << text;
        EXPECT_EQ(s.effectsVolume, 7) << "a refused file changed the settings: " << text;
        EXPECT_NE(why.find("line 2"), std::string::npos) << why;
    }
}

TEST(Settings, TheCommandLineOverridesTheFileForOneRun) {
    PlayerSettings file;
    file.musicVolume = 40;
    file.scaleMode = FRAME_SCALE_NEAREST;
    file.mute = true;
    LaunchOptions options;
    SettingsToLaunchOptions(file, &options);
    const char* argv[] = {"tavelle", "--music-volume", "90", "--fullscreen"};
    ASSERT_EQ(ParseCommandLine(4, const_cast<char**>(argv), &options, stdout, stderr), LAUNCH_RUN);
    EXPECT_EQ(options.musicVolume, 90);
    EXPECT_TRUE(options.fullscreen);
    EXPECT_EQ(options.scaleMode, FRAME_SCALE_NEAREST);
    EXPECT_TRUE(options.mute);
    EXPECT_EQ(file.musicVolume, 40);
}

} // namespace
