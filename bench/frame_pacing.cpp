// The frame limiter over a real window: clear-and-present frames, paced as the game's
// loop paces them, counted over ten seconds. Run it where vsync is not granted (Xvfb,
// or SDL_VIDEODRIVER=offscreen) to see the limiter alone:
//   xvfb-run -a build/bench/bench_frame_pacing [FPS]
// It prints the frames per second paced at FPS (default 60) and, for contrast, unpaced.
#include "render/render_setup.h"

#include "platform/clock/clock.h"
#include "platform/clock/frame_pacer.h"
#include "platform/system/window_system.h"
#include "platform/window/window.h"
#include "platform/window/window_events.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

struct Measured {
    double fps;
    double worstMs;
};

Measured RunFor(double seconds, int cap) {
    SetFrameRateCap(cap);
    const double frequency = static_cast<double>(QueryPerformanceFrequencyTicks());
    const std::uint64_t start = QueryPerformanceCounterTicks();
    std::uint64_t last = start;
    double worst = 0.0;
    long frames = 0;
    for (;;) {
        while (PeekWindowEvent())
            GetWindowEvent();
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464, 1.0f, 0);
        g_pD3DDevice->Present();
        WaitForNextFrame();
        const std::uint64_t now = QueryPerformanceCounterTicks();
        ++frames;
        if (frames > 1)
            worst = std::max(worst, (now - last) / frequency * 1000.0);
        last = now;
        if ((now - start) / frequency >= seconds)
            return {frames / ((now - start) / frequency), worst};
    }
}

} // namespace

int main(int argc, char** argv) {
    const int cap = argc > 1 ? std::atoi(argv[1]) : 60;
    if (!InitWindowSystem() || !CreatePlatformWindow("bench", 1024, 768) ||
        InitDirect3D() != S_OK) {
        std::fprintf(stderr, "bench_frame_pacing: no window or no device\n");
        return 1;
    }
    RunFor(1.0, cap); // the driver settles
    const Measured paced = RunFor(10.0, cap);
    const Measured unpaced = RunFor(3.0, 0);
    std::printf("paced at %d: %.2f frames/s over 10 s, longest frame %.2f ms\n", cap, paced.fps,
                paced.worstMs);
    std::printf("unpaced (1 ms pause a frame): %.1f frames/s\n", unpaced.fps);
    ReleaseDirect3D();
    QuitWindowSystem();
    return 0;
}
