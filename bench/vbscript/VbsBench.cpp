// VbsBench.cpp: speed and heap use of a syntax check of a large realistic
// script: about 100,000 lines (some 4 MB) of procedures, classes, loops and
// calls (SampleScript.h); also half and double that size, to show it scales
// linearly.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include <malloc.h>

#include "bench/vbscript/SampleScript.h"
#include "vbscript/VbsEngine.h"
#include "vbscript/VbsOutline.h"

// Live and peak heap bytes of the whole program, to measure one AddCode.
namespace {
std::size_t g_liveBytes = 0;
std::size_t g_peakBytes = 0;
} // namespace

void *operator new(std::size_t size)
{
    void *block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        throw std::bad_alloc();
    g_liveBytes += malloc_usable_size(block);
    if (g_liveBytes > g_peakBytes)
        g_peakBytes = g_liveBytes;
    return block;
}

void operator delete(void *block) noexcept
{
    if (!block)
        return;
    g_liveBytes -= malloc_usable_size(block);
    std::free(block);
}

void operator delete(void *block, std::size_t) noexcept { operator delete(block); }

namespace {

void BM_SyntaxCheck(benchmark::State &state)
{
    const std::string script = bench::SampleScript(std::size_t(state.range(0)));
    std::size_t peak = 0;
    for (auto _ : state) {
        vbs::Engine engine;
        const std::size_t before = g_liveBytes;
        g_peakBytes = before;
        if (!engine.AddCode(script))
            state.SkipWithError(engine.Error()->description.c_str());
        peak = g_peakBytes - before;
        benchmark::DoNotOptimize(engine.Procedures().data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(script.size()));
    state.counters["lines"] = double(std::count(script.begin(), script.end(), '\n'));
    state.counters["text_MB"] = double(script.size()) / 1e6;
    state.counters["peak_heap_MB"] = double(peak) / 1e6;
}
BENCHMARK(BM_SyntaxCheck)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The outline an editor asks for after each pause in typing: the check plus
// the structure scan. Its bytes per second set the size above which the
// editor checks on a worker thread (TLiveCheck::kWorkerThreshold).
void BM_Outline(benchmark::State &state)
{
    const std::string script = bench::SampleScript(std::size_t(state.range(0)));
    for (auto _ : state) {
        const vbs::Outline outline = vbs::BuildOutline(script);
        if (outline.error)
            state.SkipWithError(outline.error->error.description.c_str());
        benchmark::DoNotOptimize(outline.entries.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(script.size()));
    state.counters["text_MB"] = double(script.size()) / 1e6;
}
BENCHMARK(BM_Outline)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
