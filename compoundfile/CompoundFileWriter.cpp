// CompoundFileWriter.cpp: CompoundFile::Serialize. Lays out a fresh, compact
// image: header, FAT, DIFAT, directory, mini FAT, mini stream, then the streams
// of 4096 bytes or more, each structure in consecutive sectors.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "compoundfile/CompoundFile.h"
#include "compoundfile/CompoundFileFormat.h"

namespace cfb {

namespace {

using namespace format;

std::uint64_t CeilDiv(std::uint64_t value, std::uint64_t unit) noexcept
{
    return value / unit + (value % unit != 0);
}

struct DirEntry {
    const std::u16string *name = nullptr;
    const Storage *storage = nullptr; // root and storages
    const Stream *stream = nullptr;
    std::uint8_t type = dir::kTypeUnused;
    std::uint8_t colour = dir::kBlack;
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint32_t start = 0; // sector or mini sector, relative to its area until laid out
    std::uint64_t size = 0;
};

// Links the siblings first .. first + count - 1 (already in the format's order)
// as a balanced binary search tree and returns its root. Such a tree has every
// level full but perhaps the deepest, so all black with the deepest level red
// (when that level is not full) satisfies the red-black rules.
std::uint32_t LinkBalanced(std::vector<DirEntry> &entries, std::uint32_t first, std::uint32_t count,
                           int depth, int redDepth)
{
    if (count == 0)
        return kNoStream;
    const std::uint32_t half = count / 2;
    const std::uint32_t middle = first + half;
    entries[middle].left = LinkBalanced(entries, first, half, depth + 1, redDepth);
    entries[middle].right = LinkBalanced(entries, middle + 1, count - half - 1, depth + 1, redDepth);
    entries[middle].colour = depth == redDepth ? dir::kRed : dir::kBlack;
    return middle;
}

std::uint32_t LinkSiblings(std::vector<DirEntry> &entries, std::uint32_t first, std::uint32_t count)
{
    if (count == 0)
        return kNoStream;
    const int height = int(std::bit_width(count)) - 1;
    const bool full = std::has_single_bit(std::uint64_t(count) + 1);
    return LinkBalanced(entries, first, count, 0, full || height == 0 ? -1 : height);
}

// The directory in breadth-first order: the root first, the children of each
// storage in consecutive entries.
std::vector<DirEntry> Flatten(const Storage &root, const std::u16string &rootName)
{
    std::vector<DirEntry> entries;
    DirEntry rootEntry;
    rootEntry.name = &rootName;
    rootEntry.storage = &root;
    rootEntry.type = dir::kTypeRoot;
    entries.push_back(rootEntry);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Storage *storage = entries[i].storage;
        if (!storage)
            continue;
        const auto first = std::uint32_t(entries.size());
        for (const auto &[name, child] : Storage::Impl::Of(*storage).entries) {
            DirEntry entry;
            entry.name = &name;
            if (child.stream) {
                entry.stream = child.stream.get();
                entry.type = dir::kTypeStream;
                entry.size = child.stream->Size();
            } else {
                entry.storage = child.storage.get();
                entry.type = dir::kTypeStorage;
            }
            entries.push_back(entry);
        }
        entries[i].child = LinkSiblings(entries, first, std::uint32_t(entries.size() - first));
    }
    return entries;
}

class Image {
public:
    Image(std::uint32_t shift, std::uint64_t sectors)
        : m_shift(shift), m_bytes((sectors + 1) << shift, 0)
    {
    }

    std::uint8_t *Sector(std::uint32_t id) { return m_bytes.data() + ((std::uint64_t(id) + 1) << m_shift); }
    std::uint8_t *Header() { return m_bytes.data(); }
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

    // Writes 32-bit entries into consecutive sectors from first.
    void PutTable(std::uint32_t first, const std::vector<std::uint32_t> &table)
    {
        if (table.empty())
            return;
        std::uint8_t *p = Sector(first);
        for (std::uint32_t value : table) {
            Put32(p, value);
            p += 4;
        }
    }

private:
    std::uint32_t m_shift;
    std::vector<std::uint8_t> m_bytes;
};

// Chains count consecutive entries from first in an allocation table.
void ChainRun(std::vector<std::uint32_t> &table, std::uint32_t first, std::uint64_t count)
{
    for (std::uint64_t i = 0; i < count; ++i)
        table[first + i] = i + 1 == count ? kEndOfChain : std::uint32_t(first + i + 1);
}

void PutEntry(std::uint8_t *p, const DirEntry &entry)
{
    const std::u16string &name = *entry.name;
    for (std::size_t i = 0; i < name.size(); ++i)
        Put16(p + dir::kName + 2 * i, name[i]);
    Put16(p + dir::kNameLength, std::uint16_t((name.size() + 1) * 2));
    p[dir::kType] = entry.type;
    p[dir::kColour] = entry.colour;
    Put32(p + dir::kLeft, entry.left);
    Put32(p + dir::kRight, entry.right);
    Put32(p + dir::kChild, entry.child);
    if (entry.storage) {
        std::memcpy(p + dir::kClsid, entry.storage->clsid.data(), entry.storage->clsid.size());
        Put32(p + dir::kStateBits, entry.storage->stateBits);
        Put64(p + dir::kCreated, entry.storage->creationTime);
        Put64(p + dir::kModified, entry.storage->modifiedTime);
    } else {
        Put32(p + dir::kStateBits, entry.stream->stateBits);
    }
    Put32(p + dir::kStart, entry.start);
    Put64(p + dir::kSize, entry.size);
}

void PutUnusedEntry(std::uint8_t *p)
{
    Put32(p + dir::kLeft, kNoStream);
    Put32(p + dir::kRight, kNoStream);
    Put32(p + dir::kChild, kNoStream);
}

} // namespace

std::vector<std::uint8_t> CompoundFile::Serialize() const
{
    const bool v4 = version == 4;
    const std::uint32_t shift = v4 ? 12 : 9;
    const std::uint32_t sectorSize = 1u << shift;
    const std::uint32_t perSector = sectorSize / 4;

    std::vector<DirEntry> entries = Flatten(*m_root, m_root->Name());

    // Places in the mini stream and among the big-stream sectors, relative for now.
    std::uint64_t miniSectors = 0;
    std::uint64_t bigSectors = 0;
    for (DirEntry &entry : entries) {
        if (!entry.stream)
            continue;
        if (entry.size == 0) {
            entry.start = kEndOfChain;
        } else if (entry.size < kMiniStreamCutoff) {
            entry.start = std::uint32_t(miniSectors);
            miniSectors += CeilDiv(entry.size, kMiniSectorSize);
        } else {
            entry.start = std::uint32_t(bigSectors);
            bigSectors += CeilDiv(entry.size, sectorSize);
        }
    }
    const std::uint64_t dirSectors = CeilDiv(entries.size() * kDirEntrySize, sectorSize);
    const std::uint64_t miniStreamBytes = miniSectors * kMiniSectorSize;
    const std::uint64_t miniStreamSectors = CeilDiv(miniStreamBytes, sectorSize);
    const std::uint64_t miniFatSectors = CeilDiv(miniSectors, perSector);
    const std::uint64_t dataSectors = dirSectors + miniFatSectors + miniStreamSectors + bigSectors;

    // The FAT covers itself and the DIFAT sectors that list it beyond the header's 109.
    std::uint64_t fatSectors = CeilDiv(dataSectors, perSector);
    std::uint64_t difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors <= kHeaderDifatEntries ? 0
                                                         : CeilDiv(fatSectors - kHeaderDifatEntries, perSector - 1);
        if (fatSectors * perSector >= dataSectors + fatSectors + difatSectors)
            break;
        ++fatSectors;
    }

    const auto firstDifat = std::uint32_t(fatSectors);
    const auto firstDir = std::uint32_t(firstDifat + difatSectors);
    const auto firstMiniFat = std::uint32_t(firstDir + dirSectors);
    const auto firstMiniStream = std::uint32_t(firstMiniFat + miniFatSectors);
    const auto firstBig = std::uint32_t(firstMiniStream + miniStreamSectors);
    const std::uint64_t totalSectors = firstBig + bigSectors;

    std::vector<std::uint32_t> fat(fatSectors * perSector, kFreeSect);
    std::fill_n(fat.begin(), fatSectors, kFatSect);
    std::fill_n(fat.begin() + firstDifat, difatSectors, kDifSect);
    ChainRun(fat, firstDir, dirSectors);
    ChainRun(fat, firstMiniFat, miniFatSectors);
    ChainRun(fat, firstMiniStream, miniStreamSectors);
    std::vector<std::uint32_t> miniFat(miniFatSectors * perSector, kFreeSect);

    Image image(shift, totalSectors);
    std::uint8_t *miniStream = image.Sector(firstMiniStream);
    for (DirEntry &entry : entries) {
        if (!entry.stream || entry.size == 0)
            continue;
        const std::vector<std::uint8_t> &data = entry.stream->Data();
        if (entry.size < kMiniStreamCutoff) {
            ChainRun(miniFat, entry.start, CeilDiv(entry.size, kMiniSectorSize));
            std::memcpy(miniStream + std::uint64_t(entry.start) * kMiniSectorSize, data.data(), data.size());
        } else {
            entry.start += firstBig;
            ChainRun(fat, entry.start, CeilDiv(entry.size, sectorSize));
            std::memcpy(image.Sector(entry.start), data.data(), data.size());
        }
    }
    entries[0].start = miniSectors ? firstMiniStream : kEndOfChain;
    entries[0].size = miniStreamBytes;

    const std::uint32_t perDirSector = sectorSize / kDirEntrySize;
    for (std::uint64_t i = 0; i < dirSectors * perDirSector; ++i) {
        std::uint8_t *p = image.Sector(std::uint32_t(firstDir + i / perDirSector)) + (i % perDirSector) * kDirEntrySize;
        if (i < entries.size())
            PutEntry(p, entries[i]);
        else
            PutUnusedEntry(p);
    }
    image.PutTable(0, fat);
    image.PutTable(firstMiniFat, miniFat);

    // DIFAT: the header's 109 slots, then DIFAT sectors of perSector - 1 slots and a link.
    std::uint8_t *h = image.Header();
    for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i)
        Put32(h + header::kDifat + 4 * i, i < fatSectors ? i : kFreeSect);
    for (std::uint64_t k = 0; k < difatSectors; ++k) {
        const auto id = std::uint32_t(firstDifat + k);
        std::vector<std::uint32_t> slots(perSector, kFreeSect);
        for (std::uint32_t j = 0; j + 1 < perSector; ++j) {
            const std::uint64_t fatIndex = kHeaderDifatEntries + k * (perSector - 1) + j;
            if (fatIndex < fatSectors)
                slots[j] = std::uint32_t(fatIndex);
        }
        slots[perSector - 1] = k + 1 == difatSectors ? kEndOfChain : id + 1;
        image.PutTable(id, slots);
    }

    std::memcpy(h, kSignature, sizeof kSignature);
    Put16(h + header::kMinor, kMinorVersion);
    Put16(h + header::kMajor, v4 ? 4 : 3);
    Put16(h + header::kByteOrder, kByteOrder);
    Put16(h + header::kSectorShift, std::uint16_t(shift));
    Put16(h + header::kMiniSectorShift, kMiniSectorShift);
    Put32(h + header::kDirSectors, v4 ? std::uint32_t(dirSectors) : 0);
    Put32(h + header::kFatSectors, std::uint32_t(fatSectors));
    Put32(h + header::kFirstDirSector, firstDir);
    Put32(h + header::kMiniCutoff, std::uint32_t(kMiniStreamCutoff));
    Put32(h + header::kFirstMiniFat, miniFatSectors ? firstMiniFat : kEndOfChain);
    Put32(h + header::kMiniFatSectors, std::uint32_t(miniFatSectors));
    Put32(h + header::kFirstDifat, difatSectors ? firstDifat : kEndOfChain);
    Put32(h + header::kDifatSectors, std::uint32_t(difatSectors));
    return image.Take();
}

} // namespace cfb
