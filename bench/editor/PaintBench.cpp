// PaintBench.cpp: one full 724 x 525 viewport painted into an image, with the
// VBScript highlighter, for short and long texts and the caret at the top or
// in the middle: the time must not grow with either. The same lines indented
// with a tab character instead of four spaces show what the tab stops cost.
// Page Down goes through a plug-in script as it is and with every region
// folded: a page of rows must cost the same.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include <QImage>
#include <QPainter>

#include "highlight/jaVBSSyn.h"
#include "editor/zeCustomEdit.h"
#include "bench/editor/BenchScript.h"
#include "bench/vbscript/SampleScript.h"

namespace {

// A shown editor of the benchmark's window size, highlighted, with lines of script.
struct TPaintBenchEdit {
    explicit TPaintBenchEdit(int lines, bool tabs = false)
    {
        Edit.resize(724, 525);
        Edit.show();
        Edit.SetHighLighter(&Highlighter);
        const std::string text = ScriptLines(lines, 0);
        if (!tabs) {
            Edit.SetText(text);
            return;
        }
        // Each line's four leading spaces as one tab, in one pass.
        std::string indented;
        indented.reserve(text.size());
        for (size_t at = 0; at < text.size();) {
            const size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
            const bool spaces = text.compare(at, 4, "    ") == 0;
            indented.append(spaces ? "\t" : "");
            indented.append(text, spaces ? at + 4 : at, end - (spaces ? at + 4 : at));
            at = end;
        }
        Edit.SetText(indented);
    }
    ~TPaintBenchEdit() { Edit.SetHighLighter(nullptr); }
    TjaVbsSyn Highlighter;
    TzeCustomEdit Edit;
};

// A plug-in script of lines lines in edit, folding on or off.
void LoadScript(TzeCustomEdit &edit, int lines, bool folding)
{
    edit.SetText(bench::SampleScript(std::size_t(lines)));
    edit.SetFolding(folding);
}

// range(0): lines; range(1): 1 puts the caret and the view in the middle;
// range(2): 1 indents with tabs; range(3): 1 turns folding on (a plug-in
// script then, as it gives regions to show).
void BM_PaintViewport(benchmark::State &state)
{
    const int lines = int(state.range(0));
    TPaintBenchEdit bench(lines, state.range(2) != 0);
    TzeCustomEdit &edit = bench.Edit;
    if (state.range(3) >= 0)
        LoadScript(edit, lines, state.range(3) != 0);
    if (state.range(1) != 0) {
        edit.SetCaretXY(TPoint{5, lines / 2});
        edit.SetTopLine(lines / 2);
    }
    edit.SetBlockBegin(TPoint{5, edit.TopLine() + 3});
    edit.SetBlockEnd(TPoint{20, edit.TopLine() + 6});
    const QRect rect(QPoint(0, 0), edit.viewport()->size());
    QImage image(rect.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        edit.Paint(painter, rect);
    }
}

// One Page Down and the viewport painted, as often as the text allows,
// from the top again; range(0): lines; range(1): 0 the benchmark lines,
// 1 a plug-in script, 2 the same script with folding on and all folded,
// 3 folding on and nothing folded.
void BM_PageDownAndPaint(benchmark::State &state)
{
    const int lines = int(state.range(0));
    TPaintBenchEdit bench(state.range(1) == 0 ? lines : 1);
    TzeCustomEdit &edit = bench.Edit;
    if (state.range(1) != 0)
        LoadScript(edit, lines, state.range(1) >= 2);
    if (state.range(1) == 2)
        edit.FoldAll();
    const QRect rect(QPoint(0, 0), edit.viewport()->size());
    QImage image(rect.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        if (edit.View().TopRow() + 2 * edit.LinesInWindow() > edit.View().RowCount()) {
            state.PauseTiming();
            edit.CommandProcessor(ecEditorTop, 0, nullptr);
            state.ResumeTiming();
        }
        edit.CommandProcessor(ecPageDown, 0, nullptr);
        QPainter painter(&image);
        edit.Paint(painter, rect);
    }
    state.counters["rows"] = double(edit.View().RowCount());
}

// Fold all and unfold all in the control, each with the viewport painted
// after it, on a plug-in script of range(0) lines with folding on.
void BM_FoldAllUnfoldAllInEditor(benchmark::State &state)
{
    TPaintBenchEdit bench(1);
    TzeCustomEdit &edit = bench.Edit;
    LoadScript(edit, int(state.range(0)), true);
    const QRect rect(QPoint(0, 0), edit.viewport()->size());
    QImage image(rect.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        edit.FoldAll();
        {
            QPainter painter(&image);
            edit.Paint(painter, rect);
        }
        edit.UnfoldAll();
        QPainter painter(&image);
        edit.Paint(painter, rect);
    }
    state.counters["regions"] = double(edit.View().Folds().Regions().size());
}
BENCHMARK(BM_FoldAllUnfoldAllInEditor)->Arg(1000000)->Unit(benchmark::kMillisecond);

// In the middle of a plug-in script of range(0) lines, folding on (range(1)
// 1) or off: a character and Return, both undone. The regions shift with
// every line that comes or goes.
void BM_KeystrokesFolding(benchmark::State &state)
{
    TPaintBenchEdit bench(1);
    TzeCustomEdit &edit = bench.Edit;
    LoadScript(edit, int(state.range(0)), state.range(1) != 0);
    const int line = int(state.range(0)) / 2;
    edit.SetCaretXY(TPoint{int(edit.Lines()[line - 1].size()) + 1, line});
    const std::string before = edit.Text();
    for (auto _ : state) {
        edit.CommandProcessor(ecChar, 'x', nullptr);
        edit.CommandProcessor(ecLineBreak, 0, nullptr);
        edit.CommandProcessor(ecUndo, 0, nullptr);
        edit.CommandProcessor(ecUndo, 0, nullptr);
    }
    if (edit.Text() != before)
        state.SkipWithError("the keys did not give the text back");
}
BENCHMARK(BM_KeystrokesFolding)->ArgNames({"lines", "folding"})->ArgsProduct({{1000000}, {0, 1}})->Unit(benchmark::kMicrosecond);

// A character typed at the start of the middle line of a plug-in script of
// range(0) lines, with the viewport painted, folding on (range(1) 1) or off;
// the line is put back now and then, untimed.
void BM_TypeAtLineStartFolding(benchmark::State &state)
{
    TPaintBenchEdit bench(1);
    TzeCustomEdit &edit = bench.Edit;
    LoadScript(edit, int(state.range(0)), state.range(1) != 0);
    const int line = int(state.range(0)) / 2;
    const std::string original(edit.Lines()[line - 1]);
    edit.SetTopLine(line);
    const QRect rect(QPoint(0, 0), edit.viewport()->size());
    QImage image(rect.size(), QImage::Format_RGB32);
    int typed = 0;
    for (auto _ : state) {
        edit.SetCaretXY(TPoint{1, line});
        edit.CommandProcessor(ecChar, 'x', nullptr);
        QPainter painter(&image);
        edit.Paint(painter, rect);
        if (++typed == 64) {
            state.PauseTiming();
            typed = 0;
            edit.Document().PutLine(line - 1, original);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_TypeAtLineStartFolding)->ArgNames({"lines", "folding"})->ArgsProduct({{100000}, {0, 1}})->Unit(benchmark::kMicrosecond);

// 10,000 lines of the script pasted into its middle (100,000 lines), with
// the viewport painted, folding on (range(0) 1) or off.
void BM_PasteFolding(benchmark::State &state)
{
    TPaintBenchEdit bench(1);
    TzeCustomEdit &edit = bench.Edit;
    const std::string text = bench::SampleScript(100000);
    std::size_t end = 0;
    for (int line = 0; line < 10000; ++line)
        end = text.find('\n', end) + 1;
    const std::string block = text.substr(0, end);
    edit.SetFolding(state.range(0) != 0);
    const QRect rect(QPoint(0, 0), edit.viewport()->size());
    QImage image(rect.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        edit.SetText(text);
        edit.SetCaretXY(TPoint{1, 50000});
        state.ResumeTiming();
        edit.SetSelText(block);
        edit.EnsureCursorPosVisible();
        if (edit.LineCount() < 110000)
            state.SkipWithError("the block was not pasted");
        QPainter painter(&image);
        edit.Paint(painter, rect);
    }
}
BENCHMARK(BM_PasteFolding)->ArgName("folding")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK(BM_PageDownAndPaint)
    ->ArgNames({"lines", "script"})
    ->Args({1000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Args({1000000, 2})
    ->Args({1000000, 3})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_PaintViewport)
    ->ArgNames({"lines", "middle", "tabs", "folding"})
    ->Args({1000, 0, 0, -1})
    ->Args({1000000, 0, 0, -1})
    ->Args({1000000, 1, 0, -1})
    ->Args({1000000, 1, 1, -1})
    ->Args({1000000, 1, 0, 0})
    ->Args({1000000, 1, 0, 1})
    ->Unit(benchmark::kMicrosecond);
