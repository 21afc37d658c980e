// Frames of the real game against the fill-rate floor: the field of demo map 1 in fog
// mode and a frame of the map-change fade, each beside as many plain full-screen
// quads as layers it touches (the fog frame: screen, depth clear, depth scene, the
// volume's two surfaces, composite; the fade: scene texture, black, fade quad).
#include "app/frame_states.h"
#include "app/game_main.h"
#include "app/main_loop.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

constexpr int FOG_FRAME_LAYERS = 6;
constexpr int FADE_FRAME_LAYERS = 3;
constexpr int FADE_COUNTER_START = 10; // well before the swap frame

bool StartGameOnce() {
    static int s_started = -1;
    if (s_started >= 0)
        return s_started == 1;
    s_started = chdir(TAVELLE_GAME_DIR) == 0 && StartupGame();
    if (s_started) {
        // Presenting reads the frame back, which also waits for it to be drawn.
        SetPresentCapture(true);
        for (int i = 0; i < 10 && g_frameNo != FRAME_FIELD; ++i)
            RunFrame();
        s_started = g_frameNo == FRAME_FIELD;
    }
    return s_started == 1;
}

void FieldFogFrame(benchmark::State& state) {
    if (!StartGameOnce()) {
        state.SkipWithError("the game did not reach the field");
        return;
    }
    for (auto _ : state)
        RunFrame();
}

void FieldFadeFrame(benchmark::State& state) {
    if (!StartGameOnce()) {
        state.SkipWithError("the game did not reach the field");
        return;
    }
    for (auto _ : state) {
        g_renderSet.renderMode = RENDER_MODE_FADE;
        g_renderSet.fadeActive = 1;
        g_renderSet.fadeCounter = FADE_COUNTER_START;
        RunFrame();
    }
    g_renderSet.renderMode = RENDER_MODE_FOG;
    g_renderSet.fadeActive = 0;
}

void FillRateFloor(benchmark::State& state) {
    if (!StartGameOnce()) {
        state.SkipWithError("the game did not reach the field");
        return;
    }
    ScreenQuad quad;
    SetQuad(&quad, 255, 0, 0, 1024, 768, 0, 0, 64, 64);
    const int layers = static_cast<int>(state.range(0));
    for (auto _ : state) {
        g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464, 1.0f, 0);
        g_pD3DDevice->BeginScene();
        g_pD3DDevice->SetFVF(FVF_SCREEN_VERTEX);
        for (int i = 0; i < layers; ++i)
            DrawQuad(&quad, nullptr);
        g_pD3DDevice->EndScene();
        g_pD3DDevice->Present();
    }
}

} // namespace

BENCHMARK(FieldFogFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(FillRateFloor)->Arg(FOG_FRAME_LAYERS)->Unit(benchmark::kMillisecond);
BENCHMARK(FieldFadeFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(FillRateFloor)->Arg(FADE_FRAME_LAYERS)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
