// Frames of the real game against the fill-rate floor: the field of demo map 1 in fog
// mode (with the device's combined targets, and in the separate passes a device
// without them gets), a frame of the map-change fade, and a scenario frame with a full
// page of text, each beside as many plain full-screen quads as layers the separate
// passes touch (the fog frame: screen, depth clear, depth scene, the volume's two
// surfaces, composite; the fade: scene texture, black, fade quad; the scenario frame:
// the fog frame's six plus the picture layer, which covers most of the screen). Every
// frame waits for the GPU; "fps" is frames per second of wall-clock time.
#include "app/game_main.h"
#include "app/main_loop.h"
#include "core/frame_state.h"
#include "core/input_state.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"
#include "scenario/interpreter.h"
#include "scenario/picture_layers.h"

#include "platform/gfx/device.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

constexpr int FOG_FRAME_LAYERS = 6;
constexpr int FADE_FRAME_LAYERS = 3;
constexpr int SCENARIO_FRAME_LAYERS = 7;
constexpr int FADE_COUNTER_START = 10; // well before the swap frame

bool StartGameOnce() {
    static int s_started = -1;
    if (s_started >= 0)
        return s_started == 1;
    s_started = chdir(TAVELLE_GAME_DIR) == 0 && StartupGame();
    if (s_started) {
        for (int i = 0; i < 10 && g_frameNo != FRAME_FIELD; ++i)
            RunFrame();
        s_started = g_frameNo == FRAME_FIELD;
    }
    return s_started == 1;
}

// "Time" is wall-clock; "CPU" is the CPU time of the whole process, the rasteriser's
// threads included, which other work on a shared machine disturbs far less.
void WallAndProcessTime(benchmark::internal::Benchmark* benchmark) {
    benchmark->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}

void CountFrames(benchmark::State& state) {
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void FieldFogFrame(benchmark::State& state) {
    if (!StartGameOnce()) {
        state.SkipWithError("the game did not reach the field");
        return;
    }
    for (auto _ : state) {
        RunFrame();
        WaitForGpu();
    }
    CountFrames(state);
}

// The same frame on a device that draws into one target at a time.
void FieldFogFrameSeparatePasses(benchmark::State& state) {
    if (!StartGameOnce()) {
        state.SkipWithError("the game did not reach the field");
        return;
    }
    GfxDeviceSetup setup;
    setup.secondColourTarget = false;
    SetGfxDeviceSetup(setup);
    InitRenderStates();
    for (auto _ : state) {
        RunFrame();
        WaitForGpu();
    }
    SetGfxDeviceSetup({});
    InitRenderStates();
    CountFrames(state);
}

// A page of 14 lines of 25 full-width characters over a portrait, the way a scene
// shows it once its text is out: the interpreter waits for a click meanwhile.
void ScenarioTextFrame(benchmark::State& state) {
    if (!StartGameOnce()) {
        state.SkipWithError("the game did not reach the field");
        return;
    }
    const char fullWidthA[] = "\x82\x60"; // "Ａ"
    int length = 0;
    for (int line = 0; line < 14; ++line) {
        for (int column = 0; column < 25; ++column) {
            g_messageBuffer[length++] = fullWidthA[0];
            g_messageBuffer[length++] = static_cast<char>(fullWidthA[1] + (line + column) % 26);
        }
        g_messageBuffer[length++] = '\n';
    }
    g_messagePos = length;
    g_pictureLayers[0].picture = 1;
    g_pictureLayers[0].visible = true;
    g_frameNo = FRAME_SCENARIO;
    g_clickLatch = false;
    for (auto _ : state) {
        RunFrame();
        WaitForGpu();
    }
    g_pictureLayers[0].visible = false;
    g_messagePos = 0;
    g_frameNo = FRAME_FIELD;
    CountFrames(state);
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
        WaitForGpu();
    }
    g_renderSet.renderMode = RENDER_MODE_FOG;
    g_renderSet.fadeActive = 0;
    CountFrames(state);
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
        WaitForGpu();
    }
    CountFrames(state);
}

} // namespace

BENCHMARK(FieldFogFrame)->Apply(WallAndProcessTime);
BENCHMARK(FieldFogFrameSeparatePasses)->Apply(WallAndProcessTime);
BENCHMARK(FillRateFloor)->Arg(FOG_FRAME_LAYERS)->Apply(WallAndProcessTime);
BENCHMARK(FieldFadeFrame)->Apply(WallAndProcessTime);
BENCHMARK(FillRateFloor)->Arg(FADE_FRAME_LAYERS)->Apply(WallAndProcessTime);
BENCHMARK(ScenarioTextFrame)->Apply(WallAndProcessTime);
BENCHMARK(FillRateFloor)->Arg(SCENARIO_FRAME_LAYERS)->Apply(WallAndProcessTime);
BENCHMARK_MAIN();
