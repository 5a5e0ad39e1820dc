// StorageBench.cpp: save and load of a 100,000-line script file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "storage/uStorage.h"

namespace {

std::string TempPath()
{
    static std::string path = [] {
        char pattern[] = "/tmp/quenlo-bench-XXXXXX";
        const char *dir = ::mkdtemp(pattern);
        return std::string(dir ? dir : "/tmp") + "/big.tvs";
    }();
    return path;
}

void Fill(TScript &script)
{
    script.SetName("Benchmark");
    TUpdateGuard guard(script.Lines());
    for (int i = 0; i < 100000; ++i)
        script.Lines().Add("    Call Process(items(" + std::to_string(i) + "), \"value\", " + std::to_string(i * 7) + ") ' step");
}

void BM_Save100kLines(benchmark::State &state)
{
    TScript script;
    Fill(script);
    for (auto _ : state)
        if (!script.SaveToFile(TempPath()))
            state.SkipWithError(script.LastError().c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(script.Lines().Text().size()));
}
BENCHMARK(BM_Save100kLines)->Unit(benchmark::kMillisecond);

void BM_Load100kLines(benchmark::State &state)
{
    {
        TScript script;
        Fill(script);
        script.SaveToFile(TempPath());
    }
    for (auto _ : state) {
        TScript script;
        if (!script.LoadFromFile(TempPath()))
            state.SkipWithError(script.LastError().c_str());
        benchmark::DoNotOptimize(script.Lines().Count());
    }
}
BENCHMARK(BM_Load100kLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
