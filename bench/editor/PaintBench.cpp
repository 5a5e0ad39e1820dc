// PaintBench.cpp: one full 724 x 525 viewport painted into an image, with the
// VBScript highlighter, for short and long texts and the caret at the top or
// in the middle: the time must not grow with either. The same lines indented
// with a tab character instead of four spaces show what the tab stops cost.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include <QImage>
#include <QPainter>

#include "highlight/jaVBSSyn.h"
#include "editor/zeCustomEdit.h"
#include "bench/editor/BenchScript.h"

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

// range(0): lines; range(1): 1 puts the caret and the view in the middle;
// range(2): 1 indents with tabs.
void BM_PaintViewport(benchmark::State &state)
{
    const int lines = int(state.range(0));
    TPaintBenchEdit bench(lines, state.range(2) != 0);
    TzeCustomEdit &edit = bench.Edit;
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
// from the top again; range(0): lines.
void BM_PageDownAndPaint(benchmark::State &state)
{
    const int lines = int(state.range(0));
    TPaintBenchEdit bench(lines);
    TzeCustomEdit &edit = bench.Edit;
    const QRect rect(QPoint(0, 0), edit.viewport()->size());
    QImage image(rect.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        if (edit.TopLine() + 2 * edit.LinesInWindow() > lines) {
            state.PauseTiming();
            edit.CommandProcessor(ecEditorTop, 0, nullptr);
            state.ResumeTiming();
        }
        edit.CommandProcessor(ecPageDown, 0, nullptr);
        QPainter painter(&image);
        edit.Paint(painter, rect);
    }
}

} // namespace

BENCHMARK(BM_PageDownAndPaint)->ArgName("lines")->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_PaintViewport)
    ->ArgNames({"lines", "middle", "tabs"})
    ->Args({1000, 0, 0})
    ->Args({1000000, 0, 0})
    ->Args({1000000, 1, 0})
    ->Args({1000000, 1, 1})
    ->Unit(benchmark::kMicrosecond);
