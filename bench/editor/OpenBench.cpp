// OpenBench.cpp: opening a 1,000,000-line script file into the editor,
// through TScript and the editor's SetText, beside the floor: reading the
// same file into memory and counting its line ends. Part of bench_editor,
// whose main runs the benchmarks inside a QApplication.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

#include "storage/uStorage.h"
#include "highlight/jaVBSSyn.h"
#include "editor/zeCustomEdit.h"
#include "bench/editor/BenchScript.h"

namespace {

constexpr int kLines = 1000000;

// The script file, written once per run into a fresh temporary folder and
// removed with the folder at exit.
struct TScriptFile {
    TScriptFile()
    {
        char pattern[] = "/tmp/quenlo-open-bench-XXXXXX";
        if (const char *dir = ::mkdtemp(pattern))
            Dir = dir;
        Path = (Dir.empty() ? std::string("/tmp/quenlo-open-bench") : Dir) + "/open.tvs";
        TScript script;
        script.SetName("Benchmark");
        script.Lines().SetText(ScriptLines(kLines, 0));
        if (!script.SaveToFile(Path))
            std::fprintf(stderr, "cannot write %s: %s\n", Path.c_str(), script.LastError().c_str());
    }
    ~TScriptFile()
    {
        std::remove(Path.c_str());
        if (!Dir.empty())
            ::rmdir(Dir.c_str());
    }
    std::string Dir;
    std::string Path;
};

const std::string &ScriptPath()
{
    static const TScriptFile file;
    return file.Path;
}

// The floor: the file's bytes into memory, then its LF bytes counted.
void BM_OpenFloorReadAndCountLines(benchmark::State &state)
{
    const std::string &path = ScriptPath();
    std::size_t lines = 0;
    for (auto _ : state) {
        std::FILE *file = std::fopen(path.c_str(), "rb");
        if (!file) {
            state.SkipWithError("cannot open the file");
            return;
        }
        std::fseek(file, 0, SEEK_END);
        const long size = std::ftell(file);
        std::fseek(file, 0, SEEK_SET);
        std::unique_ptr<char[]> bytes(new char[size_t(size)]);
        const std::size_t read = std::fread(bytes.get(), 1, size_t(size), file);
        std::fclose(file);
        lines = 0;
        for (const char *p = bytes.get(), *end = p + read;
             (p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))) != nullptr; ++p)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    if (lines < std::size_t(kLines))
        state.SkipWithError("too few line ends in the file");
}
BENCHMARK(BM_OpenFloorReadAndCountLines)->Unit(benchmark::kMillisecond);

// TScript alone: the part of the open before the editor gets the text.
void BM_OpenScriptOnly(benchmark::State &state)
{
    const std::string &path = ScriptPath();
    for (auto _ : state) {
        TScript script;
        if (!script.LoadFromFile(path)) {
            state.SkipWithError(script.LastError().c_str());
            return;
        }
        benchmark::DoNotOptimize(script.Lines().Count());
    }
}
BENCHMARK(BM_OpenScriptOnly)->Unit(benchmark::kMillisecond);

// TScript reads the file, the editor (shown, offscreen; with or without the
// VBScript highlighter) takes its text. A fresh editor each time, made and
// freed outside the timing.
void BM_OpenScriptSetText(benchmark::State &state)
{
    const std::string &path = ScriptPath();
    TjaVbsSyn highlighter;
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto edit = std::make_unique<TzeCustomEdit>();
        edit->resize(800, 600);
        edit->show();
        if (state.range(0) != 0)
            edit->SetHighLighter(&highlighter);
        state.ResumeTiming();

        TScript script;
        if (!script.LoadFromFile(path)) {
            state.SkipWithError(script.LastError().c_str());
            return;
        }
        edit->Document().TakeLines(script.Lines()); // as the main window opens a file
        count = edit->LineCount();

        state.PauseTiming();
        edit.reset();
        state.ResumeTiming();
    }
    if (count != kLines)
        state.SkipWithError("wrong line count");
}
BENCHMARK(BM_OpenScriptSetText)->ArgNames({"vbs"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
