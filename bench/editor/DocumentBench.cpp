// DocumentBench.cpp: the compact line storage on 1,000,000 lines: setting
// the text, inserting and typing at the middle, and the bytes it keeps per
// line beyond the text; the string list's SetText beside it.
#include <benchmark/benchmark.h>

#include <string>

#include "toolkit/StringList.h"
#include "toolkit/LineStorage.h"
#include "bench/editor/BenchScript.h"

namespace {

constexpr int kLines = 1000000;

const std::string &Text()
{
    static const std::string text = ScriptLines(kLines, 0);
    return text;
}

void BM_LineStorageSetText(benchmark::State &state)
{
    TLineStorage storage;
    for (auto _ : state)
        storage.SetText(Text());
    if (storage.Count() != kLines)
        state.SkipWithError("wrong line count");
    state.counters["beyond_text_bytes_per_line"] = double(storage.MemoryBeyondText()) / storage.Count();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Text().size()));
}
BENCHMARK(BM_LineStorageSetText)->Unit(benchmark::kMillisecond);

// The string list the editor keeps its lines in today, for comparison.
void BM_StringListSetText(benchmark::State &state)
{
    TStringList list;
    for (auto _ : state)
        list.SetText(Text());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Text().size()));
}
BENCHMARK(BM_StringListSetText)->Unit(benchmark::kMillisecond);

// One line inserted at the middle and deleted again.
void BM_LineStorageInsertDeleteMiddleLine(benchmark::State &state)
{
    TLineStorage storage;
    storage.SetText(Text());
    for (auto _ : state) {
        storage.Insert(kLines / 2, "    Dim inserted ' a new line");
        storage.Delete(kLines / 2);
    }
}
BENCHMARK(BM_LineStorageInsertDeleteMiddleLine);

// A character typed at column 5 of the middle line, then read back; the line
// is put back every 1,000 characters.
void BM_LineStorageTypeMiddle(benchmark::State &state)
{
    TLineStorage storage;
    storage.SetText(Text());
    const std::string original = storage.LineCopy(kLines / 2);
    int typed = 0;
    for (auto _ : state) {
        storage.InsertText({kLines / 2, 4}, "x");
        benchmark::DoNotOptimize(storage.Line(kLines / 2).data());
        if (++typed == 1000) {
            typed = 0;
            storage.Put(kLines / 2, original);
        }
    }
}
BENCHMARK(BM_LineStorageTypeMiddle);

// 10,000 lines pasted at the middle and removed again.
void BM_LineStoragePasteMiddle(benchmark::State &state)
{
    TLineStorage storage;
    storage.SetText(Text());
    const std::string block = ScriptLines(10000, kLines);
    for (auto _ : state) {
        const TLineStorage::TPosition end = storage.InsertText({kLines / 2, 0}, block);
        storage.DeleteText({kLines / 2, 0}, end);
    }
}
BENCHMARK(BM_LineStoragePasteMiddle)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
