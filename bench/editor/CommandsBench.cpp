// CommandsBench.cpp: the command processor on a 100,000-line text with the
// VBScript highlighter: a typed character, Enter and the joining Backspace at
// line 50,000, Enter after a block opener, and Undo/Redo of a 100,000-line
// paste.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include <QClipboard>
#include <QGuiApplication>

#include "highlight/jaVBSSyn.h"
#include "editor/zeCustomEdit.h"
#include "bench/editor/BenchScript.h"

namespace {

constexpr int kCmdLines = 100000;

// Not shown: the commands are measured without painting.
struct TCommandBenchEdit {
    TCommandBenchEdit()
    {
        Edit.resize(800, 600);
        Edit.SetHighLighter(&Highlighter);
        Edit.SetText(ScriptLines(kCmdLines, 0));
    }
    ~TCommandBenchEdit() { Edit.SetHighLighter(nullptr); }
    TjaVbsSyn Highlighter;
    TzeCustomEdit Edit;
};

// Seconds that step takes.
template <class F>
double Timed(F &&step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// ecChar at line 50,000; the line is put back untimed every 64 characters.
void BM_CommandTypeChar(benchmark::State &state)
{
    TCommandBenchEdit bench;
    TzeCustomEdit &edit = bench.Edit;
    const int line = kCmdLines / 2;
    const std::string original(edit.Lines()[line - 1]);
    edit.SetCaretXY(TPoint{9, line});
    int typed = 0;
    for (auto _ : state) {
        state.SetIterationTime(Timed([&] { edit.CommandProcessor(ecChar, 'x', nullptr); }));
        if (++typed == 64) {
            typed = 0;
            edit.Document().PutLine(line - 1, original);
            edit.SetCaretXY(TPoint{9, line});
            edit.ClearUndo();
        }
    }
    if (edit.LineCount() != kCmdLines)
        state.SkipWithError("typing changed the line count");
}

// ecLineBreak in the middle of line 50,000 (state.range(0) == 0), or the
// ecDeleteLastChar at column 1 that joins the two halves again (== 1). The
// join keeps the indentation the break gave the second half, so the line is
// put back, untimed, every round.
void BM_CommandBreakAndJoin(benchmark::State &state)
{
    TCommandBenchEdit bench;
    TzeCustomEdit &edit = bench.Edit;
    const int line = kCmdLines / 2;
    const std::string original(edit.Lines()[line - 1]);
    const bool timeJoin = state.range(0) != 0;
    int rounds = 0;
    for (auto _ : state) {
        edit.SetCaretXY(TPoint{20, line});
        const double breakTime = Timed([&] { edit.CommandProcessor(ecLineBreak, '\r', nullptr); });
        edit.SetCaretXY(TPoint{1, line + 1});
        const double joinTime = Timed([&] { edit.CommandProcessor(ecDeleteLastChar, '\b', nullptr); });
        state.SetIterationTime(timeJoin ? joinTime : breakTime);
        edit.Document().PutLine(line - 1, original);
        if (++rounds == 256) {
            rounds = 0;
            edit.ClearUndo();
        }
    }
    if (edit.LineCount() != kCmdLines)
        state.SkipWithError("break and join changed the line count");
}

// Undo (state.range(0) == 0) or Redo (== 1) of 100,000 lines pasted at line 50,000.
void BM_UndoRedoPaste(benchmark::State &state)
{
    TCommandBenchEdit bench;
    TzeCustomEdit &edit = bench.Edit;
    const std::string base = ScriptLines(kCmdLines, 0);
    QGuiApplication::clipboard()->setText(QString::fromLatin1(ScriptLines(kCmdLines, kCmdLines)));
    const bool timeRedo = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        edit.SetText(base);
        edit.SetCaretXY(TPoint{1, kCmdLines / 2});
        edit.PasteFromClipboard();
        const double undoTime = Timed([&] { edit.Undo(); });
        const int afterUndo = edit.LineCount();
        const double redoTime = Timed([&] { edit.Redo(); });
        if (afterUndo != kCmdLines || edit.LineCount() != 2 * kCmdLines) {
            state.SkipWithError("undo or redo left the wrong line count");
            break;
        }
        state.SetIterationTime(timeRedo ? redoTime : undoTime);
        state.ResumeTiming();
    }
}

} // namespace

// ecLineBreak by blocks at the end of "Sub Top" above the 100,000 lines,
// none of which closes or ends it: the walk for its closer reads every line,
// the worst case; the closer is inserted. Undone untimed.
void BM_CommandReturnAfterOpener(benchmark::State &state)
{
    TCommandBenchEdit bench;
    TzeCustomEdit &edit = bench.Edit;
    edit.SetBlockIndent(true);
    edit.Document().InsertLine(0, "Sub Top");
    for (auto _ : state) {
        edit.SetCaretXY(TPoint{8, 1});
        state.SetIterationTime(Timed([&] { edit.CommandProcessor(ecLineBreak, '\r', nullptr); }));
        if (edit.Lines()[2] != "End Sub")
            state.SkipWithError("no closer inserted");
        edit.CommandProcessor(ecUndo, '\0', nullptr);
    }
}

BENCHMARK(BM_CommandTypeChar)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CommandBreakAndJoin)->ArgNames({"join"})->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CommandReturnAfterOpener)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoPaste)->ArgNames({"redo"})->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
