#include "platform/audio/null_output.h"

#include <new>

namespace {

class NullOutput final : public AudioOutput {
  public:
    AudioOpenResult Open() override { return AUDIO_OPENED; }
    void Close() override {}
};

} // namespace

// Never destroyed: sound buffers are released during static destruction. Made in
// static storage, since the first call may come from a field frame (an effect asking
// whether sound is heard), and steady frames allocate nothing.
AudioOutput* GetNullOutput() {
    alignas(NullOutput) static unsigned char storage[sizeof(NullOutput)];
    static NullOutput* output = new (storage) NullOutput;
    return output;
}
