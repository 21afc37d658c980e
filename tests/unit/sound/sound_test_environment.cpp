// The sound tests run on the manual pump with the music device open and capture on;
// death tests re-run the program from its start to get untouched sound state.
#include "sound/direct_sound.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/pumped_output.h"

#include <gtest/gtest.h>

namespace {

class SoundTestEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
        // A death test's fresh process sets up its own sound, or none.
        if (!::testing::GTEST_FLAG(internal_run_death_test).empty())
            return;
        ChooseAudioOutput(GetPumpedOutput());
        EnableMixerCapture(true);
        ASSERT_TRUE(g_directSound.Init(nullptr));
    }
};

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new SoundTestEnvironment);

} // namespace
