// The browser's frames drive the loop: between game frames the program hands control
// back to the page until the next animation frame, and the game's own cap still
// decides whether a game frame is due. A hidden tab gets no animation frames, so the
// game pauses there by itself.
#include "platform/clock/frame_pacer.h"

#include "platform/audio/event_worker.h"
#include "platform/clock/clock.h"
#include "platform/web/virtual_clock_web.h"

#include <emscripten.h>

#include <cmath>
#include <cstdint>

namespace {

constexpr std::uint64_t MAX_FRAMES_BEHIND = 6;

int s_fps = 60;
std::uint64_t s_deadline = 0;

struct VirtualClock {
    int fps = 0; // 0: the browser's own clock
    long frame = 0;
    VirtualFrameHook beforeFrame = nullptr;
};
VirtualClock s_virtual;

// The driver's clock: game time starts at 1000 s, so that no frame sees a time of 0.
void SetVirtualTime(long frame) {
    const double seconds = 1000.0 + static_cast<double>(frame) / s_virtual.fps;
    const double frequency = static_cast<double>(QueryPerformanceFrequencyTicks());
    SetPerformanceCounterOverride(true,
                                  static_cast<std::uint64_t>(std::llround(seconds * frequency)));
}

// clang-format off
EM_ASYNC_JS(void, WaitForAnimationFrame, (), {
    await new Promise((resolve) => requestAnimationFrame(() => resolve()));
});
// clang-format on

} // namespace

void SetFrameRateCap(int fps) {
    s_fps = fps < 0 ? 0 : fps;
    s_deadline = 0;
}

void StartVirtualClock(int fps, VirtualFrameHook beforeFrame) {
    s_virtual = VirtualClock{fps > 0 ? fps : 60, 0, beforeFrame};
    SetVirtualTime(0);
}

void WaitForNextFrame() {
    // Music is refilled here, between frames, where the desktop has a thread for it.
    RunSignalledEventWorkers();
    WaitForAnimationFrame();
    if (s_virtual.fps > 0) {
        SetVirtualTime(++s_virtual.frame);
        if (s_virtual.beforeFrame)
            s_virtual.beforeFrame(s_virtual.frame);
        return;
    }
    if (s_fps == 0)
        return;
    const std::uint64_t period =
        QueryPerformanceFrequencyTicks() / static_cast<std::uint64_t>(s_fps);
    // A display faster than the cap shows some of its frames twice; one a little early
    // (within a quarter period) counts as on time, so that a 60 Hz display never skips.
    const std::uint64_t early = period / 4;
    std::uint64_t now = QueryPerformanceCounterTicks();
    if (s_deadline == 0 || now > s_deadline + MAX_FRAMES_BEHIND * period)
        s_deadline = now;
    while (now + early < s_deadline) {
        RunSignalledEventWorkers();
        WaitForAnimationFrame();
        now = QueryPerformanceCounterTicks();
    }
    s_deadline += period;
}
