// CompoundFileBench.cpp: speed of reading and writing a script-sized file
// with one 4 MB stream beside the small metadata streams, in both versions.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compoundfile/CompoundFile.h"

namespace {

void FillFile(cfb::CompoundFile &file, int version)
{
    file.version = version;
    std::vector<std::uint8_t> script(4u << 20);
    for (std::size_t i = 0; i < script.size(); ++i)
        script[i] = std::uint8_t(i * 31 + (i >> 9));
    file.Root().CreateStream(u"Script")->Data() = std::move(script);
    for (const char16_t *name : {u"Name", u"Menu", u"ID", u"Hint", u"Main"})
        file.Root().CreateStream(name)->Data() = {'x', 'y', 0};
    file.Root().CreateStream(u"Icon")->Data().assign(766, 0x5A);
}

// Parses the image of the file, and with write set serializes what it read.
template <bool write> void BM_Parse(benchmark::State &state)
{
    cfb::CompoundFile file;
    FillFile(file, int(state.range(0)));
    const std::vector<std::uint8_t> image = file.Serialize();
    std::string reason;
    for (auto _ : state) {
        cfb::CompoundFile parsed;
        if (!parsed.Parse(image.data(), image.size(), reason))
            state.SkipWithError(reason.c_str());
        if constexpr (write) {
            std::vector<std::uint8_t> again = parsed.Serialize();
            benchmark::DoNotOptimize(again.data());
        }
        benchmark::DoNotOptimize(parsed.Root());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(image.size()));
}

void BM_Serialize(benchmark::State &state)
{
    cfb::CompoundFile file;
    FillFile(file, int(state.range(0)));
    for (auto _ : state) {
        std::vector<std::uint8_t> image = file.Serialize();
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * (4 << 20));
}

} // namespace

BENCHMARK(BM_Parse<false>)->Name("BM_Parse")->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Serialize)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse<true>)->Name("BM_ParseAndSerialize")->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
