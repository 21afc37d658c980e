#include "play_options.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Parses the arguments after the program name.
std::string Parse(std::vector<const char*> args, PlayOptions* options) {
    args.insert(args.begin(), "tavelle-play");
    return ParsePlayOptions(static_cast<int>(args.size()), args.data(), options);
}

TEST(PlayOptions, DefaultsWithNoArguments) {
    PlayOptions options;
    EXPECT_EQ(Parse({}, &options), "");
    EXPECT_EQ(options.dataDir, ".");
    EXPECT_FALSE(options.unpacked);
    EXPECT_EQ(options.frames, 600);
    EXPECT_EQ(options.fps, 60.0);
    EXPECT_FALSE(options.monkey);
    EXPECT_EQ(options.monkeyFrom, 0);
    EXPECT_FALSE(options.drawOnlyShots);
    EXPECT_FALSE(options.noAudioDevice);
    EXPECT_FALSE(options.refuseFloatTargets);
    EXPECT_FALSE(options.refuseSecondTarget);
    EXPECT_FALSE(options.help);
}

TEST(PlayOptions, EveryOptionIsRead) {
    PlayOptions options;
    EXPECT_EQ(Parse({"--unpacked",     "game",
                     "--frames",       "120",
                     "--fps",          "30.5",
                     "--input",        "in.txt",
                     "--shot",         "10:a.png",
                     "--shot",         "10:b.png",
                     "--state",        "0:s.json",
                     "--audio-out",    "o.wav",
                     "--monkey",       "18446744073709551615",
                     "--monkey-rate",  "100",
                     "--monkey-f1",    "0",
                     "--monkey-from",  "5000",
                     "--stats",        "st.json",
                     "--stats-every",  "7",
                     "--draw",         "shots",
                     "--audio-device", "absent",
                     "--refuse",       "float-targets",
                     "--refuse",       "second-target"},
                    &options),
              "");
    EXPECT_EQ(options.dataDir, "game");
    EXPECT_TRUE(options.unpacked);
    EXPECT_EQ(options.frames, 120);
    EXPECT_EQ(options.fps, 30.5);
    EXPECT_EQ(options.inputPath, "in.txt");
    const std::vector<std::pair<const long, std::string>> shots(options.shots.begin(),
                                                                options.shots.end());
    EXPECT_EQ(shots,
              (std::vector<std::pair<const long, std::string>>{{10, "a.png"}, {10, "b.png"}}));
    ASSERT_EQ(options.states.size(), 1u);
    EXPECT_EQ(options.states.begin()->first, 0);
    EXPECT_EQ(options.states.begin()->second, "s.json");
    EXPECT_EQ(options.audioOut, "o.wav");
    EXPECT_TRUE(options.monkey);
    EXPECT_EQ(options.monkeySeed, 18446744073709551615ull);
    EXPECT_EQ(options.monkeyRate, 100);
    EXPECT_EQ(options.monkeyReloads, 0);
    EXPECT_EQ(options.monkeyFrom, 5000);
    EXPECT_EQ(options.statsPath, "st.json");
    EXPECT_EQ(options.statsEvery, 7);
    EXPECT_TRUE(options.drawOnlyShots);
    EXPECT_TRUE(options.noAudioDevice);
    EXPECT_TRUE(options.refuseFloatTargets);
    EXPECT_TRUE(options.refuseSecondTarget);
    PlayOptions present;
    EXPECT_EQ(Parse({"--audio-device", "absent", "--audio-device", "present"}, &present), "");
    EXPECT_FALSE(present.noAudioDevice);
    PlayOptions drawAll;
    EXPECT_EQ(Parse({"--draw", "shots", "--draw", "all"}, &drawAll), "");
    EXPECT_FALSE(drawAll.drawOnlyShots);
}

TEST(PlayOptions, HelpStopsTheParse) {
    PlayOptions options;
    EXPECT_EQ(Parse({"--help", "--frames", "nonsense"}, &options), "");
    EXPECT_TRUE(options.help);
    PlayOptions shortForm;
    EXPECT_EQ(Parse({"-h"}, &shortForm), "");
    EXPECT_TRUE(shortForm.help);
}

TEST(PlayOptions, BadArgumentsAreRefusedWithTheReason) {
    struct Case {
        std::vector<const char*> args;
        const char* error;
    } const cases[] = {
        {{"--frames"}, "missing value after --frames"},
        {{"--frobnicate", "1"}, "unknown option --frobnicate"},
        {{"--data", "a", "--unpacked", "b"}, "give one of --data and --unpacked, once"},
        {{"--data", "a", "--data", "b"}, "give one of --data and --unpacked, once"},
        {{"--frames", "-1"}, "--frames needs a count of frames, got '-1'"},
        {{"--frames", ""}, "--frames needs a count of frames, got ''"},
        {{"--frames", "12x"}, "--frames needs a count of frames, got '12x'"},
        {{"--frames", " 12"}, "--frames needs a count of frames, got ' 12'"},
        {{"--frames", "99999999999999999999"},
         "--frames needs a count of frames, got '99999999999999999999'"},
        {{"--fps", "0"}, "--fps needs a positive number, got '0'"},
        {{"--fps", ""}, "--fps needs a positive number, got ''"},
        {{"--fps", "inf"}, "--fps needs a positive number, got 'inf'"},
        {{"--fps", "nan"}, "--fps needs a positive number, got 'nan'"},
        {{"--shot", "shot.png"}, "--shot needs K:PATH, got 'shot.png'"},
        {{"--shot", ":a.png"}, "--shot needs K:PATH, got ':a.png'"},
        {{"--shot", "5:"}, "--shot needs K:PATH, got '5:'"},
        {{"--state", "-3:s.json"}, "--state needs K:PATH, got '-3:s.json'"},
        {{"--state", "3x:s.json"}, "--state needs K:PATH, got '3x:s.json'"},
        {{"--monkey", ""}, "--monkey needs a seed (a whole number), got ''"},
        {{"--monkey", "-5"}, "--monkey needs a seed (a whole number), got '-5'"},
        {{"--monkey", "99999999999999999999"},
         "--monkey needs a seed (a whole number), got '99999999999999999999'"},
        {{"--monkey-rate", "101"}, "--monkey-rate needs a percentage 0-100, got '101'"},
        {{"--monkey-rate", ""}, "--monkey-rate needs a percentage 0-100, got ''"},
        {{"--monkey-f1", "1001"}, "--monkey-f1 needs a share per thousand 0-1000, got '1001'"},
        {{"--monkey-f1", ""}, "--monkey-f1 needs a share per thousand 0-1000, got ''"},
        {{"--monkey-from", "-1"}, "--monkey-from needs a frame number, got '-1'"},
        {{"--stats-every", "0"}, "--stats-every needs a count of frames, got '0'"},
        {{"--draw", "none"}, "--draw needs all or shots, got 'none'"},
        {{"--draw", ""}, "--draw needs all or shots, got ''"},
        {{"--audio-device", "none"}, "--audio-device needs present or absent, got 'none'"},
        {{"--refuse", "targets"}, "--refuse needs float-targets or second-target, got 'targets'"},
    };
    for (const Case& c : cases) {
        PlayOptions options;
        EXPECT_EQ(Parse(c.args, &options), c.error) << c.args[0];
    }
}

} // namespace
