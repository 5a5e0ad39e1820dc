// cfb_fuzz.cpp: libFuzzer target for the compound-file reader. Any input is
// parsed; one that parses is written again, must read back as the same tree,
// and writing that tree must give the same bytes again.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compoundfile/CompoundFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    cfb::CompoundFile file;
    std::string reason;
    if (!file.Parse(data, size, reason)) {
        if (reason.empty()) {
            std::fprintf(stderr, "parse failed without a reason\n");
            std::abort();
        }
        return 0;
    }
    const std::vector<std::uint8_t> image = file.Serialize();
    cfb::CompoundFile again;
    if (!again.Parse(image.data(), image.size(), reason)) {
        std::fprintf(stderr, "our own image does not parse: %s\n", reason.c_str());
        std::abort();
    }
    if (again.version != file.version || !cfb::SameTree(file.Root(), again.Root())) {
        std::fprintf(stderr, "the tree read back differs from the tree written\n");
        std::abort();
    }
    if (again.Serialize() != image) {
        std::fprintf(stderr, "writing the same tree twice gives different images\n");
        std::abort();
    }
    return 0;
}
