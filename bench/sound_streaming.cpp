// Streaming cost: one minute of music with two effects mixed, as a fraction of
// real time, and the pre-fill that Play does on the calling thread.
#include "sound/direct_sound.h"
#include "sound/music.h"
#include "sound/ogg_file_reader.h"
#include "sound/sound_effects.h"

#include "platform/audio/audio_output.h"
#include "platform/audio/pumped_output.h"
#include "platform/audio/wav_writer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int FPS = 60;
constexpr int MINUTE_FRAMES = 60 * FPS;

// The demo game's music when it has been built, else the three-second test fixture
// (restarted by the per-frame update, as the game repeats its music).
std::string MusicPath() {
    std::string game = std::string(TAVELLE_GAME_DIR) + "/Sound/normal.ogg";
    if (std::filesystem::exists(game))
        return game;
    auto source = std::filesystem::path(__FILE__).parent_path().parent_path();
    return (source / "tests" / "fixtures" / "sound" / "stereo_132301.ogg").string();
}

void SetUpSound() {
    static bool ready = false;
    if (ready)
        return;
    ready = true;
    ChooseAudioOutput(GetPumpedOutput());
    g_directSound.Init(nullptr);
    auto dir = std::filesystem::temp_directory_path() / "tavelle_bench_sound";
    std::filesystem::create_directories(dir / "Sound");
    std::vector<std::int16_t> tone(44100 / 2 * 2);
    for (std::size_t i = 0; i < tone.size(); i++)
        tone[i] = std::int16_t(8000 * std::sin(i * 0.05));
    WriteStereoWav((dir / "Sound" / "click.wav").c_str(), tone.data(), tone.size() / 2);
    WriteStereoWav((dir / "Sound" / "talk.wav").c_str(), tone.data(), tone.size() / 2);
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    InitDirectMusic();
    std::filesystem::current_path(previous);
    LoadSoundEffect(SOUND_EFFECT_CLICK, ".\\Sound\\click.wav");
    LoadSoundEffect(SOUND_EFFECT_TALK, ".\\Sound\\talk.wav");
    OpenMusicChannel(0, MusicPath().c_str());
}

void BM_MinuteOfMusicWithEffects(benchmark::State& state) {
    SetUpSound();
    double cpuSeconds = 0;
    for (auto _ : state) {
        std::clock_t start = std::clock();
        SwitchMusic(0);
        for (int frame = 0; frame < MINUTE_FRAMES; frame++) {
            if (frame % FPS == 0) {
                PlaySoundEffect(SOUND_EFFECT_CLICK);
                PlaySoundEffect(SOUND_EFFECT_TALK);
            }
            UpdateMusic();
            PumpMixer(44100 / FPS);
        }
        cpuSeconds += double(std::clock() - start) / CLOCKS_PER_SEC;
    }
    // CPU of every thread (mixing, decoding) per second of sound; the target is below 0.02.
    state.counters["cpu_per_realtime"] = cpuSeconds / (60.0 * double(state.iterations()));
}
BENCHMARK(BM_MinuteOfMusicWithEffects)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_PlayPrefillsFifteenBlocks(benchmark::State& state) {
    SetUpSound();
    for (auto _ : state)
        g_streamSoundBuffers[0].Play();
    g_streamSoundBuffers[0].Stop();
}
BENCHMARK(BM_PlayPrefillsFifteenBlocks)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
