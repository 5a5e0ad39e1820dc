// CompoundFileFormat.h: private to compoundfile/: the format's constants and
// field offsets, little-endian access, and Storage::Impl (the entry map).
#ifndef QUENLO_COMPOUNDFILE_COMPOUNDFILEFORMAT_H
#define QUENLO_COMPOUNDFILE_COMPOUNDFILEFORMAT_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "compoundfile/CompoundFile.h"

namespace cfb::format {

// Special sector numbers in the FAT, the DIFAT and the header.
constexpr std::uint32_t kMaxRegSect = 0xFFFFFFFA;
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
// "No entry" for sibling and child links in the directory.
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint16_t kMinorVersion = 0x003E;
constexpr std::uint16_t kByteOrder = 0xFFFE;
constexpr std::uint16_t kMiniSectorShift = 6;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint32_t kHeaderSize = 512;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kDirEntrySize = 128;

// Header field offsets.
namespace header {
constexpr std::size_t kClsid = 0x08;
constexpr std::size_t kMinor = 0x18;
constexpr std::size_t kMajor = 0x1A;
constexpr std::size_t kByteOrder = 0x1C;
constexpr std::size_t kSectorShift = 0x1E;
constexpr std::size_t kMiniSectorShift = 0x20;
constexpr std::size_t kReserved = 0x22; // 6 bytes
constexpr std::size_t kDirSectors = 0x28;
constexpr std::size_t kFatSectors = 0x2C;
constexpr std::size_t kFirstDirSector = 0x30;
constexpr std::size_t kTransaction = 0x34;
constexpr std::size_t kMiniCutoff = 0x38;
constexpr std::size_t kFirstMiniFat = 0x3C;
constexpr std::size_t kMiniFatSectors = 0x40;
constexpr std::size_t kFirstDifat = 0x44;
constexpr std::size_t kDifatSectors = 0x48;
constexpr std::size_t kDifat = 0x4C; // 109 entries of 4 bytes
} // namespace header

// Directory entry field offsets and values.
namespace dir {
constexpr std::size_t kName = 0x00; // 32 UTF-16 units
constexpr std::size_t kNameLength = 0x40; // bytes, terminator included
constexpr std::size_t kType = 0x42;
constexpr std::size_t kColour = 0x43;
constexpr std::size_t kLeft = 0x44;
constexpr std::size_t kRight = 0x48;
constexpr std::size_t kChild = 0x4C;
constexpr std::size_t kClsid = 0x50;
constexpr std::size_t kStateBits = 0x60;
constexpr std::size_t kCreated = 0x64;
constexpr std::size_t kModified = 0x6C;
constexpr std::size_t kStart = 0x74;
constexpr std::size_t kSize = 0x78;

constexpr std::uint8_t kTypeUnused = 0;
constexpr std::uint8_t kTypeStorage = 1;
constexpr std::uint8_t kTypeStream = 2;
constexpr std::uint8_t kTypeRoot = 5;
constexpr std::uint8_t kRed = 0;
constexpr std::uint8_t kBlack = 1;
} // namespace dir

inline std::uint16_t Get16(const std::uint8_t *p) noexcept
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

inline std::uint32_t Get32(const std::uint8_t *p) noexcept
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline std::uint64_t Get64(const std::uint8_t *p) noexcept
{
    return std::uint64_t(Get32(p)) | (std::uint64_t(Get32(p + 4)) << 32);
}

inline void Put16(std::uint8_t *p, std::uint16_t v) noexcept
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

inline void Put32(std::uint8_t *p, std::uint32_t v) noexcept
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

inline void Put64(std::uint8_t *p, std::uint64_t v) noexcept
{
    Put32(p, std::uint32_t(v));
    Put32(p + 4, std::uint32_t(v >> 32));
}

struct NameLess {
    bool operator()(const std::u16string &a, const std::u16string &b) const noexcept
    {
        return CompareNames(a, b) < 0;
    }
};

} // namespace cfb::format

namespace cfb {

// Exactly one of stream and storage is set.
struct StorageEntry {
    std::unique_ptr<Stream> stream;
    std::unique_ptr<Storage> storage;
};

// The entries of a storage keyed by name in the format's order, so iteration
// gives List order and the sorted sibling sequence the writer needs.
struct Storage::Impl {
    std::map<std::u16string, StorageEntry, format::NameLess> entries;

    static const Impl &Of(const Storage &storage) noexcept { return *storage.m_impl; }
};

} // namespace cfb

#endif
