// Baselines for the other benchmarks: the bare frame (clear, scene, present) at
// 1024×768 with no display, and the whole start-up (states 200 and 210) on the
// demo data. Run with SDL_VIDEODRIVER=offscreen.
#include "app/game_main.h"
#include "app/main_loop.h"
#include "core/frame_state.h"
#include "render/render_setup.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/pumped_output.h"
#include "platform/window/message_box.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <unistd.h>

namespace {

bool StartOnce() {
    static const bool started = [] {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        SetMessageBoxHeadless(true);
        ChooseAudioOutput(GetPumpedOutput());
        return chdir(TAVELLE_GAME_DIR) == 0 && StartupGame();
    }();
    return started;
}

void BM_BareFrame(benchmark::State& state) {
    if (!StartOnce()) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state) {
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464, 1.0f, 0);
        g_pD3DDevice->BeginScene();
        g_pD3DDevice->EndScene();
        g_pD3DDevice->Present();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// Frames 0 and 1: the loading screen, then the whole start-up load, on the demo data.
void BM_Startup(benchmark::State& state) {
    if (!StartOnce()) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state) {
        g_frameNo = FRAME_PREPARE_LOADING;
        RunFrame();
        RunFrame();
    }
    if (g_frameNo != FRAME_FIELD)
        state.SkipWithError("start-up did not reach the field");
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

BENCHMARK_MAIN();
