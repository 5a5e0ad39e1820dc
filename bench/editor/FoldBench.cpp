// FoldBench.cpp: fold all and unfold all over a million lines of nested
// regions (a procedure every 20 lines with two blocks inside), and a row
// looked up in the folded map.
#include <benchmark/benchmark.h>

#include "editor/zeFoldMap.h"

namespace {

TzeFoldMap ScriptLikeMap(int lines)
{
    std::vector<TzeFoldRange> regions;
    for (int first = 1; first + 19 <= lines; first += 20) {
        regions.push_back({first, first + 18});
        regions.push_back({first + 3, first + 8});
        regions.push_back({first + 10, first + 16});
    }
    TzeFoldMap map;
    map.SetRegions(std::move(regions));
    return map;
}

void BM_FoldAllUnfoldAll(benchmark::State &state)
{
    TzeFoldMap map = ScriptLikeMap(int(state.range(0)));
    for (auto _ : state) {
        map.FoldAll();
        map.UnfoldAll();
    }
    state.counters["regions"] = double(map.Regions().size());
}
BENCHMARK(BM_FoldAllUnfoldAll)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_LineOfRowFolded(benchmark::State &state)
{
    TzeFoldMap map = ScriptLikeMap(int(state.range(0)));
    map.FoldAll();
    const int rows = map.RowCount(int(state.range(0)));
    int row = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.LineOfRow(row));
        row = row % rows + 1;
    }
}
BENCHMARK(BM_LineOfRowFolded)->Arg(1000000);

} // namespace
