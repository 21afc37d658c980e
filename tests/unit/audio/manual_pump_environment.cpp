// Every test here mixes through the manual pump and captures what it mixes.
#include "platform/audio/mixer.h"

#include <gtest/gtest.h>

namespace {

class ManualPumpEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        SetMixerManualPump(true);
        EnableMixerCapture(true);
    }
};

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new ManualPumpEnvironment);

} // namespace
