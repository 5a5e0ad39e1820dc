// EditorBench.cpp: multi-line replacement and single-character typing in a
// 100,000-line text, without a highlighter and with the VBScript highlighter.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include <QApplication>

#include "highlight/jaVBSSyn.h"
#include "editor/zeCustomEdit.h"
#include "bench/editor/BenchScript.h"

namespace {

constexpr int kLines = 100000;

// The editor under test, shown (offscreen), with or without the VBScript highlighter.
struct TBenchEdit {
    explicit TBenchEdit(bool highlighted)
    {
        Edit.resize(800, 600);
        Edit.show();
        if (highlighted)
            Edit.SetHighLighter(&Highlighter);
    }
    ~TBenchEdit() { Edit.SetHighLighter(nullptr); }
    TjaVbsSyn Highlighter;
    TzeCustomEdit Edit;
};

const std::string &BaseText()
{
    static const std::string text = ScriptLines(kLines, 0);
    return text;
}

const std::string &Block()
{
    static const std::string text = ScriptLines(kLines, kLines);
    return text;
}

// Paste 100,000 lines at line 50,000 of 100,000 lines through the undoable
// SelText write (state.range(1) == 1) or SetSelTextPrimitive.
void BM_PasteBlockIntoMiddle(benchmark::State &state)
{
    TBenchEdit bench(state.range(0) != 0);
    TzeCustomEdit &edit = bench.Edit;
    for (auto _ : state) {
        state.PauseTiming();
        edit.SetText(BaseText());
        edit.SetCaretXY(TPoint{1, kLines / 2});
        state.ResumeTiming();
        if (state.range(1) != 0)
            edit.SetSelText(Block());
        else
            edit.SetSelTextPrimitive(Block());
    }
    if (edit.LineCount() != 2 * kLines)
        state.SkipWithError("wrong line count after the paste");
}

// Delete that block again: lines 50,000 .. 149,999 of 200,001.
void BM_DeleteBlock(benchmark::State &state)
{
    TBenchEdit bench(state.range(0) != 0);
    TzeCustomEdit &edit = bench.Edit;
    const std::string text = BaseText() + Block();
    for (auto _ : state) {
        state.PauseTiming();
        edit.SetText(text);
        edit.SetBlockBegin(TPoint{1, kLines / 2});
        edit.SetBlockEnd(TPoint{1, kLines / 2 + kLines});
        state.ResumeTiming();
        if (state.range(1) != 0)
            edit.SetSelText(std::string());
        else
            edit.SetSelTextPrimitive(std::string());
    }
    if (edit.LineCount() != kLines)
        state.SkipWithError("wrong line count after the delete");
}

// One character typed through SelText at line 50,000; the line is restored
// now and then, untimed, so that it does not grow.
void BM_TypeCharAtLine50000(benchmark::State &state)
{
    TBenchEdit bench(state.range(0) != 0);
    TzeCustomEdit &edit = bench.Edit;
    edit.SetText(BaseText());
    const int line = kLines / 2;
    const std::string original(edit.Lines()[line - 1]);
    edit.SetCaretXY(TPoint{9, line});
    int typed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        edit.SetSelText("x");
        const auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (++typed == 64) {
            typed = 0;
            edit.Document().PutLine(line - 1, original);
            edit.SetCaretXY(TPoint{9, line});
        }
    }
}

} // namespace

BENCHMARK(BM_PasteBlockIntoMiddle)
    ->ArgNames({"vbs", "undoable"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteBlock)
    ->ArgNames({"vbs", "undoable"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeCharAtLine50000)->ArgNames({"vbs"})->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
