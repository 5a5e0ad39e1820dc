// CompletionBench.cpp: opening the completion list (Ctrl+Space on an empty
// line, so every name in scope is listed) in scripts of 1,000 and 100,000
// lines; the names come from the parse made before, as the live check keeps it.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "editor/zeCustomEdit.h"
#include "app/uCompletion.h"
#include "bench/vbscript/SampleScript.h"

namespace {

void BM_OpenCompletionList(benchmark::State &state)
{
    const std::size_t lines = std::size_t(state.range(0));
    const std::string text = bench::SampleScript(lines);
    const vbs::Outline outline = vbs::BuildOutline(text);
    TzeCustomEdit edit;
    edit.resize(724, 450);
    edit.show();
    edit.SetText(text);
    auto *assist = new TCodeAssist(edit, [&outline]() -> const vbs::Outline & { return outline; });
    // Inside a procedure in the middle, at the start of an empty line.
    const int middle = int(lines / 2);
    int line = middle;
    while (line < edit.LineCount() && !edit.Lines()[line - 1].empty())
        ++line;
    edit.SetCaretXY({1, line});
    std::size_t shown = 0;
    for (auto _ : state) {
        assist->OpenList();
        state.PauseTiming();
        shown = std::size_t(assist->ListedNames().size());
        assist->CloseList();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["names"] = double(shown);
    state.counters["declared"] = double(outline.names.size() + outline.entries.size());
}
BENCHMARK(BM_OpenCompletionList)->ArgName("lines")->Arg(1000)->Arg(100000)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
