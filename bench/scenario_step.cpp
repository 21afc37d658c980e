// The heaviest things a frame's script step can do: fill a whole page, or search a
// full-size script for a label; and the ordinary step over one character.
#include "scenario/interpreter.h"
#include "scenario/labels.h"
#include "scenario/page.h"
#include "scenario/scenario_store.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int SLOT = 5;

// Two-byte characters only, more than a page holds.
void StoreFullPageScript() {
    std::string script;
    while (script.size() < 2 * MESSAGE_BUFFER_SIZE)
        script += "\x82\xa0";
    StoreScenarioText(SLOT, script.data(), script.size());
}

// A script of the largest size whose only label is its last line, behind lines of
// text and near-miss labels.
void StoreLabelSearchScript() {
    const std::string last = "\r\n*end\r\n";
    std::string script;
    while (script.size() + 16 + last.size() < static_cast<std::size_t>(SCENARIO_MAX_LENGTH))
        script += "*en\r\n\x82\xa0\x82\xa2text\r\n";
    script.resize(SCENARIO_MAX_LENGTH - last.size(), 'a');
    script += last;
    StoreScenarioText(SLOT, script.data(), script.size());
}

void BM_FillFullPage(benchmark::State& state) {
    StoreFullPageScript();
    for (auto _ : state) {
        BeginPageAt(SLOT, 0);
        benchmark::DoNotOptimize(g_messageBuffer[MESSAGE_BUFFER_SIZE - 1]);
    }
    state.counters["pageBytes"] = g_pageLength;
}
BENCHMARK(BM_FillFullPage);

void BM_LabelSearchFullScript(benchmark::State& state) {
    StoreLabelSearchScript();
    for (auto _ : state)
        benchmark::DoNotOptimize(FindLabel(SLOT, "end", 3, true));
    state.counters["found"] = FindLabel(SLOT, "end", 3, true) > 0;
}
BENCHMARK(BM_LabelSearchFullScript);

void BM_StepOverPage(benchmark::State& state) {
    StoreFullPageScript();
    BeginPageAt(SLOT, 0);
    for (auto _ : state) {
        if (g_messagePos >= g_pageLength) {
            g_messagePos = 0;
            g_textColumn = 0;
        }
        StepScript();
    }
}
BENCHMARK(BM_StepOverPage);

} // namespace

BENCHMARK_MAIN();
