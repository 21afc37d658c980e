// Every test here mixes through the manual pump and captures what it mixes.
#include "platform/audio/audio_output.h"
#include "platform/audio/pumped_output.h"

#include <gtest/gtest.h>

namespace {

class ManualPumpEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ChooseAudioOutput(GetPumpedOutput());
        EnableMixerCapture(true);
    }
};

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new ManualPumpEnvironment);

} // namespace
