// zrn lint over a script far larger than a slot holds: the scan must stay linear in the
// file's size (a 1 MB script well under a second), since an author's slip (a file
// pasted twice, a log saved as a script) should get its report, not a hang.
#include "lint_report.h"

#include "scenario/scenario_store.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Lines of every kind the scan passes: text, tags, comments, labels, page ends.
std::string ScriptOfSize(std::size_t size) {
    const std::string lines = "\x82\xa0\x82\xa2\x82\xa4[l]\r\n"
                              ";a comment\r\n"
                              "*label\r\n"
                              "[eval x=\"e.1 = e.1 + 1\"]\\\r\n"
                              "[if x=\"e.1 > 2\"]\x82\xa0[endif][ct]\r\n";
    std::string script;
    while (script.size() < size)
        script += lines;
    return script + "[exit]\r\n";
}

LintFiles FilesWithScript(std::size_t size) {
    std::string list = "./Scenario/big.txt\r\n";
    for (int slot = 1; slot < SCENARIO_COUNT; ++slot)
        list += "NONE\r\n";
    return {{SCENARIO_LIST_KEY, list}, {"./Scenario/big.txt", ScriptOfSize(size)}};
}

void BM_LintScript(benchmark::State& state) {
    const LintFiles files = FilesWithScript(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        LintFacts facts;
        LintReport report;
        LintScenario(files, &facts, &report);
        benchmark::DoNotOptimize(report.problems.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    state.SetComplexityN(state.range(0));
}

} // namespace

// 64 KB (one slot) to 1 MB: the fitted complexity shows whether the time grows linearly.
BENCHMARK(BM_LintScript)
    ->RangeMultiplier(4)
    ->Range(1 << 16, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

BENCHMARK_MAIN();
