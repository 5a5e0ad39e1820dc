// CliBench.cpp: "quenlo-cli check" on 4,000 files of about 2.8 KB each in one
// call, against cat-ing the same files to /dev/null in one process; plain
// scripts (tvs:0) and script files holding the same text (tvs:1). Counters:
// the mean wall time of each, and check's time as a multiple of cat's: of the
// means (ratio), of the fastest runs (ratio_best) and of the CPU time
// (cpu_ratio).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/vbscript/SampleScript.h"
#include "compoundfile/CompoundFile.h"

extern char **environ;

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 4000;

struct TRun {
    double wall = 0; // seconds
    double cpu = 0;  // user + system seconds of the process
    int status = -1; // exit status, -1 when it did not exit normally
};

// Runs argv with its output to /dev/null and waits for it.
TRun Spawn(const std::vector<std::string> &argv)
{
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    TRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
        int status = 0;
        struct rusage usage {};
        if (::wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status))
            run.status = WEXITSTATUS(status);
        run.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// kFiles scripts of two sections each, every name its own, in a new folder.
std::vector<std::string> MakeFiles(const fs::path &dir, bool scriptFiles, std::size_t &bytes)
{
    std::vector<std::string> paths;
    bytes = 0;
    for (int i = 0; i < kFiles; ++i) {
        const std::string text = bench::SampleScript(60, std::size_t(2 * i));
        bytes += text.size();
        paths.push_back((dir / (std::to_string(i) + (scriptFiles ? ".tvs" : ".vbs"))).string());
        std::ofstream out(paths.back(), std::ios::binary);
        if (!scriptFiles) {
            out << text;
            continue;
        }
        cfb::CompoundFile file;
        for (const char16_t *name : {u"Name", u"Menu", u"ID", u"Hint", u"Main"})
            file.Root().CreateStream(name)->Write(0, "", 1);
        file.Root().CreateStream(u"Script")->Write(0, text.data(), text.size());
        file.Root().CreateStream(u"Icon");
        const std::vector<std::uint8_t> image = file.Serialize();
        out.write(reinterpret_cast<const char *>(image.data()), std::streamsize(image.size()));
    }
    return paths;
}

void BM_CheckVersusCat(benchmark::State &state)
{
    char pattern[] = "/tmp/quenlo-bench-cli-XXXXXX";
    if (!::mkdtemp(pattern)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path dir = pattern;
    std::size_t bytes = 0;
    const std::vector<std::string> files = MakeFiles(dir, state.range(0) == 1, bytes);
    std::vector<std::string> cat = {"cat"};
    std::vector<std::string> check = {QUENLO_CLI, "check"};
    cat.insert(cat.end(), files.begin(), files.end());
    check.insert(check.end(), files.begin(), files.end());

    TRun total[2];
    double best[2] = {1e9, 1e9};
    for (auto _ : state) {
        const TRun runs[2] = {Spawn(cat), Spawn(check)};
        if (runs[0].status != 0 || runs[1].status != 0) {
            state.SkipWithError("cat or check failed");
            break;
        }
        for (int i = 0; i < 2; ++i) {
            total[i].wall += runs[i].wall;
            total[i].cpu += runs[i].cpu;
            best[i] = std::min(best[i], runs[i].wall);
        }
    }
    const double n = double(std::max<std::int64_t>(1, state.iterations()));
    state.counters["cat_ms"] = total[0].wall / n * 1e3;
    state.counters["check_ms"] = total[1].wall / n * 1e3;
    state.counters["ratio"] = total[1].wall / total[0].wall;
    state.counters["ratio_best"] = best[1] / best[0];
    state.counters["cpu_ratio"] = total[1].cpu / std::max(total[0].cpu, 1e-6);
    state.counters["text_MB"] = double(bytes) / 1e6;
    fs::remove_all(dir);
}
BENCHMARK(BM_CheckVersusCat)->ArgName("tvs")->Arg(0)->Arg(1)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
