// FoldBench.cpp: the fold regions of a plug-in script found when it opens
// and kept current as a line is retyped or 10,000 lines are pasted; fold
// all and unfold all over a million lines of nested regions (a procedure
// every 20 lines with two blocks inside), and a row looked up in the folded
// map.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "bench/vbscript/SampleScript.h"
#include "editor/zeFoldMap.h"
#include "editor/zeFolds.h"

namespace {

// The lines of a plug-in script, without their line ends.
struct TScriptLines {
    explicit TScriptLines(int count) : Text(bench::SampleScript(std::size_t(count)))
    {
        for (std::size_t at = 0; at < Text.size();) {
            const std::size_t end = std::min(Text.find('\n', at), Text.size());
            Lines.push_back(std::string_view(Text).substr(at, end - at));
            at = end + 1;
        }
    }
    TzeFoldTracker::LineText Source() const
    {
        return [this](int line) { return Lines[std::size_t(line - 1)]; };
    }
    std::string Text;
    std::vector<std::string_view> Lines;
};

// Every line read for its block keywords and the regions matched, as when
// a text is opened.
void BM_FoldRegions(benchmark::State &state)
{
    const TScriptLines script(int(state.range(0)));
    TzeFoldTracker tracker;
    for (auto _ : state) {
        tracker.Reset(int(script.Lines.size()), script.Source());
        benchmark::DoNotOptimize(tracker.Ranges().data());
    }
    state.counters["regions"] = double(tracker.Ranges().size());
}
BENCHMARK(BM_FoldRegions)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One line retyped in the middle of the script, as each keystroke does:
// that line is read again and matched on only while the open blocks differ.
void BM_FoldTrackerKeystroke(benchmark::State &state)
{
    const TScriptLines script(int(state.range(0)));
    TzeFoldTracker tracker;
    tracker.Reset(int(script.Lines.size()), script.Source());
    const int middle = int(script.Lines.size()) / 2;
    for (auto _ : state) {
        tracker.Replace(middle, 1, 1, script.Source());
        benchmark::DoNotOptimize(tracker.Ranges().data());
    }
    state.counters["scanned"] = double(tracker.Scanned());
    state.counters["regions"] = double(tracker.Ranges().size());
}
BENCHMARK(BM_FoldTrackerKeystroke)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The script's first 10,000 lines pasted into its middle and taken out
// again: each pasted line is read once, and the matching goes on past them
// only while the open blocks differ.
void BM_FoldTrackerPaste(benchmark::State &state)
{
    const TScriptLines script(int(state.range(0)));
    std::vector<std::string_view> pasted = script.Lines;
    const std::size_t middle = pasted.size() / 2;
    pasted.insert(pasted.begin() + std::ptrdiff_t(middle), script.Lines.begin(), script.Lines.begin() + 10000);
    const TzeFoldTracker::LineText withPaste = [&pasted](int line) { return pasted[std::size_t(line - 1)]; };
    TzeFoldTracker tracker;
    tracker.Reset(int(script.Lines.size()), script.Source());
    for (auto _ : state) {
        tracker.Replace(int(middle) + 1, 0, 10000, withPaste);
        benchmark::DoNotOptimize(tracker.Ranges().data());
        state.PauseTiming();
        tracker.Replace(int(middle) + 1, 10000, 0, script.Source());
        state.ResumeTiming();
    }
    state.counters["scanned"] = double(tracker.Scanned());
}
BENCHMARK(BM_FoldTrackerPaste)->Arg(100000)->Unit(benchmark::kMicrosecond);

TzeFoldMap ScriptLikeMap(int lines)
{
    std::vector<TzeFoldRange> regions;
    for (int first = 1; first + 19 <= lines; first += 20) {
        regions.push_back({first, first + 18});
        regions.push_back({first + 3, first + 8});
        regions.push_back({first + 10, first + 16});
    }
    TzeFoldMap map;
    map.SetRegions(regions);
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
