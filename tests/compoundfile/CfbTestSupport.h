// CfbTestSupport.h: helpers of the compound-file tests: RawImage, a small
// reader of file images written independently of the library (to check what the
// writer produced and to find the bytes a corruption test patches), and test data.
#ifndef QUENLO_TESTS_COMPOUNDFILE_CFBTESTSUPPORT_H
#define QUENLO_TESTS_COMPOUNDFILE_CFBTESTSUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "compoundfile/CompoundFile.h"

namespace cfbtest {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

struct RawEntry {
    std::u16string name;
    std::uint16_t nameBytes = 0;
    std::uint8_t type = 0;
    std::uint8_t colour = 0;
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
    std::size_t offset = 0; // of the entry in the image
};

// Trusts the image (our writer's output, before any patch): no checks beyond
// staying inside the buffer.
class RawImage {
public:
    explicit RawImage(std::vector<std::uint8_t> image);

    std::vector<std::uint8_t> bytes;
    std::uint32_t sectorSize = 512;
    std::vector<std::uint32_t> fatSectors; // in DIFAT order
    std::vector<std::uint32_t> difatSectors;
    std::vector<std::uint32_t> fat;
    std::vector<std::uint32_t> miniFat;
    std::vector<std::uint32_t> dirSectors;
    std::vector<RawEntry> entries;

    std::uint16_t Get16(std::size_t offset) const;
    std::uint32_t Get32(std::size_t offset) const;
    std::uint64_t Get64(std::size_t offset) const;
    void Put16(std::size_t offset, std::uint16_t value);
    void Put32(std::size_t offset, std::uint32_t value);
    void Put64(std::size_t offset, std::uint64_t value);

    std::size_t SectorOffset(std::uint32_t id) const { return std::size_t(id + 1) * sectorSize; }
    std::uint32_t SectorCount() const { return std::uint32_t(bytes.size() / sectorSize - 1); }
    // Where the FAT (mini FAT) entry of a sector (mini sector) lies in the image.
    std::size_t FatEntryOffset(std::uint32_t sector) const;
    std::size_t MiniFatEntryOffset(std::uint32_t miniSector) const;
    std::vector<std::uint32_t> Chain(const std::vector<std::uint32_t> &table, std::uint32_t start) const;
    // Index of the entry named exactly name; -1 when there is none.
    int Find(const std::u16string &name) const;
    const RawEntry &Entry(const std::u16string &name) const;
};

// size bytes of a pattern that differs per seed and per position.
std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed);

// A file with streams and storages of several kinds and sizes, sub-storages
// with class ids, state bits and times: the common subject of the tests.
void FillSample(cfb::CompoundFile &file);

// prefix followed by the decimal number.
std::string Numbered(std::string prefix, std::uint64_t number);
// Names the cases of a test parameterised over the version: "v3", "v4".
struct VersionName {
    template <class Info> std::string operator()(const Info &info) const { return Numbered("v", info.param); }
};

// Parses image into file; the reason of a failure, empty on success.
std::string ParseImage(const std::vector<std::uint8_t> &image, cfb::CompoundFile &file);

} // namespace cfbtest

#endif
