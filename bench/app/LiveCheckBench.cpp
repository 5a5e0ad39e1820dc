// LiveCheckBench.cpp: the check as one types, from the end of the pause after
// the last keystroke to the error's mark painted, in scripts of 1,000,
// 100,000 and 1,000,000 lines; also how long the GUI thread is held, and the
// same with every text checked on the GUI thread.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "highlight/jaVBSSyn.h"
#include "editor/zeCustomEdit.h"
#include "app/uLiveCheck.h"
#include "bench/vbscript/SampleScript.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The editor as the main window sets it up, with the check attached; the
// pause is left out (CheckNow is what its end runs).
struct TBench {
    explicit TBench(std::size_t lines)
    {
        edit.resize(724, 450);
        edit.show();
        edit.SetHighLighter(&highlighter);
        edit.SetText(bench::SampleScript(lines));
        check->SetScheduled(false);
        check->CheckNow();
        while (check->WorkerBusy())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    ~TBench() { edit.SetHighLighter(nullptr); }

    // Runs the event loop until the error's mark is there or gone.
    void WaitForMark(bool shown)
    {
        while (edit.Decorations().HasError() != shown || check->WorkerBusy())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
    }

    TjaVbsSyn highlighter;
    TzeCustomEdit edit;
    TLiveCheck *check = new TLiveCheck(edit);
};

// One keystroke that breaks the middle line, then the check and one frame of
// the view scrolled there; the keystroke is undone untimed.
void BM_KeystrokeToMark(benchmark::State &state)
{
    const std::size_t lines = std::size_t(state.range(0));
    TBench bench(lines);
    if (state.range(1) != 0)
        bench.check->SetWorkerThreshold(SIZE_MAX);
    TzeCustomEdit &edit = bench.edit;
    const int middle = int(lines / 2);
    edit.SetCaretXY({1, middle});
    edit.SetTopLine(middle - 5);
    QImage frame(edit.viewport()->size(), QImage::Format_RGB32);
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        edit.SetCaretXY({1, middle});
        edit.CommandProcessor(ecChar, '(', nullptr); // "(" before a statement: an error
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        bench.check->CheckNow();
        held += Milliseconds(Clock::now() - start);
        bench.WaitForMark(true);
        QPainter painter(&frame);
        edit.Paint(painter, frame.rect());
        state.PauseTiming();
        edit.Undo();
        bench.check->CheckNow();
        bench.WaitForMark(false);
        state.ResumeTiming();
    }
    state.counters["gui_held_ms"] = held / double(state.iterations());
    state.counters["text_MB"] = double(edit.Text().size()) / 1e6;
}
BENCHMARK(BM_KeystrokeToMark)
    ->ArgNames({"lines", "all_on_gui"})
    ->ArgsProduct({{1000, 100000, 1000000}, {0}})
    ->Args({100000, 1})
    ->Args({1000000, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
