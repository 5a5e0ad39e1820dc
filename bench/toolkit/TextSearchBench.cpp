// TextSearchBench.cpp: a search that finds nothing in a 1,000,000-line script,
// with and without letter case (the target is under 100 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "toolkit/StringList.h"
#include "toolkit/TextSearch.h"

namespace {

const TStringList &MillionLines()
{
    static TStringList lines;
    if (lines.Count() == 0) {
        std::string text;
        for (int i = 0; i < 1000000; ++i)
            text += "    Call Process(items(" + std::to_string(i) + "), \"value\", " + std::to_string(i * 7) +
                    ") ' step\r\n";
        lines.SetText(text);
    }
    return lines;
}

void BM_FindMissIn1MLines(benchmark::State &state)
{
    const TStringList &lines = MillionLines();
    const TSearchOptions options{state.range(0) != 0, false};
    for (auto _ : state) {
        const auto found = FindText(lines, "ProcessItem", options, {0, 0}, false, {0, 0}, {lines.Count(), 0});
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FindMissIn1MLines)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
