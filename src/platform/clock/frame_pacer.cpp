#include "platform/clock/frame_pacer.h"

#include "platform/clock/clock.h"
#include "platform/clock/sleep.h"

#include <cstdint>

namespace {

constexpr std::uint64_t MAX_FRAMES_BEHIND = 6;

int s_fps = 60;
std::uint64_t s_deadline = 0;

} // namespace

void SetFrameRateCap(int fps) {
    s_fps = fps < 0 ? 0 : fps;
    s_deadline = 0;
}

void WaitForNextFrame() {
    if (s_fps == 0) {
        // Unpaced, but the streaming threads still get their moment.
        SleepMilliseconds(1);
        return;
    }
    const std::uint64_t period =
        QueryPerformanceFrequencyTicks() / static_cast<std::uint64_t>(s_fps);
    const std::uint64_t now = QueryPerformanceCounterTicks();
    // A short stall is made up by the next frames, so that over a second the count
    // stays right; after a long one (a minimised window, a busy machine) the count
    // starts afresh instead of racing.
    if (s_deadline == 0 || now > s_deadline + MAX_FRAMES_BEHIND * period)
        s_deadline = now;
    s_deadline += period;
    SleepUntilCounter(s_deadline);
}
