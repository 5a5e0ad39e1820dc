// CompoundFileReader.cpp: CompoundFile::Parse, the reader of untrusted file
// images. Every header field, sector number, chain and size is checked against
// the file; each sector and mini sector may belong to one owner only, which
// bounds every walk by the sector count and catches loops and cross-links.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "compoundfile/CompoundFile.h"
#include "compoundfile/CompoundFileFormat.h"

namespace cfb {

namespace {

using namespace format;

// Thrown inside the reader only; Parse turns it into its false result.
struct ParseError {
    std::string reason;
};

[[noreturn]] void Fail(std::string reason)
{
    throw ParseError{std::move(reason)};
}

std::string Hex(std::uint32_t value, int digits = 8)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, unsigned(value));
    return text;
}

std::string Num(std::uint64_t value)
{
    return std::to_string(value);
}

// "1 sector", "2 sectors".
std::string Count(std::uint64_t count, const std::string &noun)
{
    return Num(count) + " " + noun + (count == 1 ? "" : "s");
}

// A sector number as a message shows it: the marker's name for special values.
std::string SectorText(std::uint32_t id)
{
    switch (id) {
    case kEndOfChain: return "ENDOFCHAIN";
    case kFreeSect: return "FREESECT";
    case kFatSect: return "FATSECT";
    case kDifSect: return "DIFSECT";
    default: return id > kMaxRegSect ? Hex(id) : Num(id);
    }
}

// A name from the file, quoted, with control characters shown as '?'.
std::string Quoted(const std::u16string &name)
{
    std::u16string shown = name;
    std::replace_if(shown.begin(), shown.end(), [](char16_t c) { return c < 0x20; }, u'?');
    std::string quoted(1, '\'');
    quoted += NameToUtf8(shown);
    quoted += '\'';
    return quoted;
}

bool IsAbsent(std::uint32_t id) noexcept
{
    return id == kEndOfChain || id == kFreeSect;
}

std::uint64_t CeilDiv(std::uint64_t value, std::uint64_t unit) noexcept
{
    return value / unit + (value % unit != 0);
}

// Owners of sectors: fixed ones for the file's own structures, then one per
// directory entry (kFirstEntryOwner + entry number) for streams.
enum Owner : std::uint32_t {
    kOwnerNone = 0,
    kOwnerFat,
    kOwnerDifat,
    kOwnerDirectory,
    kOwnerMiniFat,
    kOwnerMiniStream,
    kFirstEntryOwner
};

// One sector space: the file's sectors with the FAT, or the mini stream's
// mini sectors with the mini FAT.
struct SectorSpace {
    const char *table; // "FAT" or "mini FAT"
    const char *unit; // "sector" or "mini sector"
    const char *container; // "the file" or "the mini stream"
    std::vector<std::uint32_t> next; // the allocation table
    std::vector<std::uint32_t> owner; // one per sector of the container
    std::uint32_t sectors = 0; // sectors of the container
    std::uint32_t shift = 0; // log2 of the sector size
    std::uint32_t first = 0; // sector 0 starts at (first << shift) in the container
};

class Reader {
public:
    Reader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    // Fills root from the image and returns the file's major version.
    int Read(Storage &root)
    {
        ReadHeader();
        ReadFat();
        ReadDirectory();
        ReadMiniFat();
        ReadRootAndMiniStream(root);
        ReadTree(root);
        return m_major;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;

    int m_major = 3;
    std::uint32_t m_shift = 9;
    std::uint32_t m_sectorSize = 512;
    std::uint32_t m_perSector = 128; // 32-bit entries in one sector
    std::uint32_t m_fatSectors = 0;
    std::uint32_t m_miniFatSectors = 0;
    std::uint32_t m_difatSectors = 0;

    SectorSpace m_file{"FAT", "sector", "the file", {}, {}, 0, 9, 1}; // after the header sector
    SectorSpace m_mini{"mini FAT", "mini sector", "the mini stream", {}, {}, 0, kMiniSectorShift, 0};
    std::vector<std::uint32_t> m_fatSectorIds;
    std::vector<std::uint32_t> m_difatSectorIds;
    std::vector<std::uint32_t> m_dirSectorIds;
    std::vector<std::uint8_t> m_miniStream;
    std::uint32_t m_entries = 0;
    std::vector<std::u16string> m_names; // of the entries visited so far
    std::vector<bool> m_visited;

    std::uint32_t HeaderField(std::size_t offset) const { return Get32(m_data + offset); }

    void ReadHeader()
    {
        if (m_size == 0)
            Fail("file is empty");
        if (m_size < kHeaderSize)
            Fail("file of " + Num(m_size) + " bytes is shorter than the 512-byte header");
        if (std::memcmp(m_data, kSignature, sizeof kSignature) != 0) {
            std::string seen;
            for (std::size_t i = 0; i < sizeof kSignature; ++i)
                seen += Hex(m_data[i], 2).substr(2);
            Fail("header: signature " + seen + " is not D0CF11E0A1B11AE1");
        }
        for (std::size_t i = 0; i < 16; ++i)
            if (m_data[header::kClsid + i] != 0)
                Fail("header: class id is not zero");
        // The minor version is only a "should be 0x3E": any value is read.
        m_major = Get16(m_data + header::kMajor);
        if (m_major != 3 && m_major != 4)
            Fail("header: major version " + Num(m_major) + " is not 3 or 4");
        const std::uint16_t byteOrder = Get16(m_data + header::kByteOrder);
        if (byteOrder != kByteOrder)
            Fail("header: byte order " + Hex(byteOrder, 4) + " is not 0xFFFE");
        m_shift = Get16(m_data + header::kSectorShift);
        if (m_shift != 9 && m_shift != 12)
            Fail("header: sector shift " + Num(m_shift) + " is not 9 or 12");
        if (m_shift != (m_major == 3 ? 9u : 12u))
            Fail("header: sector shift " + Num(m_shift) + " does not match major version " + Num(m_major));
        const std::uint16_t miniShift = Get16(m_data + header::kMiniSectorShift);
        if (miniShift != kMiniSectorShift)
            Fail("header: mini sector shift " + Num(miniShift) + " is not 6");
        for (std::size_t i = 0; i < 6; ++i)
            if (m_data[header::kReserved + i] != 0)
                Fail("header: reserved bytes at offset 0x22 are not zero");
        m_sectorSize = 1u << m_shift;
        m_file.shift = m_shift;
        m_perSector = m_sectorSize / 4;
        if (m_size < m_sectorSize)
            Fail("file of " + Num(m_size) + " bytes is shorter than its " + Num(m_sectorSize) +
                 "-byte header sector");
        for (std::size_t i = kHeaderSize; i < m_sectorSize; ++i)
            if (m_data[i] != 0)
                Fail("header: bytes 512 to 4095 of the header sector are not zero");
        const std::uint32_t dirSectors = HeaderField(header::kDirSectors);
        if (m_major == 3 && dirSectors != 0)
            Fail("header: number of directory sectors " + Num(dirSectors) + " is not 0 for version 3");
        const std::uint32_t cutoff = HeaderField(header::kMiniCutoff);
        if (cutoff != kMiniStreamCutoff)
            Fail("header: mini stream cutoff " + Num(cutoff) + " is not 4096");

        // Sector numbers are 32 bits, and a partial last sector still counts.
        const std::uint64_t sectors = CeilDiv(m_size - m_sectorSize, m_sectorSize);
        m_file.sectors = std::uint32_t(std::min<std::uint64_t>(sectors, std::uint64_t(kMaxRegSect) + 1));

        m_fatSectors = HeaderField(header::kFatSectors);
        m_miniFatSectors = HeaderField(header::kMiniFatSectors);
        m_difatSectors = HeaderField(header::kDifatSectors);
        const auto checkCount = [this](std::uint32_t count, const std::string &what) {
            if (count > m_file.sectors)
                Fail("header: " + Count(count, what) + " but the file has " + Count(m_file.sectors, "sector"));
        };
        if (m_fatSectors == 0)
            Fail("header: number of FAT sectors is 0");
        checkCount(m_fatSectors, "FAT sector");
        checkCount(m_miniFatSectors, "mini FAT sector");
        checkCount(m_difatSectors, "DIFAT sector");
        const std::uint32_t difatNeeded = m_fatSectors <= kHeaderDifatEntries
            ? 0 : std::uint32_t(CeilDiv(m_fatSectors - kHeaderDifatEntries, m_perSector - 1));
        if (m_difatSectors != difatNeeded)
            Fail("header: " + Count(m_difatSectors, "DIFAT sector") + " for " + Count(m_fatSectors, "FAT sector") +
                 ", " + Num(difatNeeded) + " expected");
        const std::uint32_t firstDifat = HeaderField(header::kFirstDifat);
        if (m_difatSectors == 0 && !IsAbsent(firstDifat))
            Fail("header: first DIFAT sector is " + SectorText(firstDifat) + " without DIFAT sectors");
        const std::uint32_t firstMiniFat = HeaderField(header::kFirstMiniFat);
        if (m_miniFatSectors == 0 && !IsAbsent(firstMiniFat))
            Fail("header: first mini FAT sector is " + SectorText(firstMiniFat) +
                 " without mini FAT sectors");
    }

    // The start of a sector that the reader needs whole.
    const std::uint8_t *WholeSector(std::uint32_t id, const char *what) const
    {
        if (id >= m_file.sectors)
            Fail(std::string(what) + " sector " + SectorText(id) + " is past the end of the file (" +
                 Count(m_file.sectors, "sector") + ")");
        const std::uint64_t offset = (std::uint64_t(id) + 1) << m_shift;
        if (offset + m_sectorSize > m_size)
            Fail(std::string(what) + " sector " + Num(id) + " is cut short by the end of the file");
        return m_data + offset;
    }

    std::string OwnerText(std::uint32_t owner) const
    {
        switch (owner) {
        case kOwnerFat: return "the FAT";
        case kOwnerDifat: return "the DIFAT";
        case kOwnerDirectory: return "the directory";
        case kOwnerMiniFat: return "the mini FAT";
        case kOwnerMiniStream: return "the mini stream";
        default: return "stream " + Quoted(m_names[owner - kFirstEntryOwner]);
        }
    }

    // Marks a sector as used by owner; chain names the walk for the message.
    void Claim(SectorSpace &space, std::uint32_t id, std::uint32_t owner, const std::string &chain) const
    {
        const std::uint32_t previous = space.owner[id];
        if (previous == owner)
            Fail(chain + " loops at " + space.unit + " " + Num(id));
        if (previous != kOwnerNone)
            Fail(chain + " runs into " + space.unit + " " + Num(id) + " of " + OwnerText(previous));
        space.owner[id] = owner;
    }

    // Follows a chain from start and claims its sectors. With expected set, the
    // chain must have exactly that many sectors.
    std::vector<std::uint32_t> Chain(SectorSpace &space, std::uint32_t start, std::uint32_t owner,
                                     const std::uint64_t *expected) const
    {
        const std::string chain = std::string(space.table) + " chain of " + OwnerText(owner);
        const std::uint64_t entries = space.next.size();
        std::vector<std::uint32_t> ids;
        std::uint32_t id = start;
        while (id != kEndOfChain) {
            if (id > kMaxRegSect)
                Fail(chain + " is broken " +
                     (ids.empty() ? "at its start" : "after " + std::string(space.unit) + " " + Num(ids.back())) +
                     ": next is " + SectorText(id));
            if (id >= space.sectors)
                Fail(chain + " points to " + space.unit + " " + Num(id) + " past the end of " +
                     space.container + " (" + Count(space.sectors, space.unit) + ")");
            if (id >= entries)
                Fail(chain + " points to " + space.unit + " " + Num(id) + " beyond the " + space.table +
                     " (" + Num(entries) + " entries)");
            if (expected && ids.size() == *expected)
                Fail(chain + " is longer than the " + Count(*expected, space.unit) + " its size needs");
            Claim(space, id, owner, chain);
            ids.push_back(id);
            id = space.next[id];
        }
        if (expected && ids.size() < *expected)
            Fail(chain + " ends after " + Count(ids.size(), space.unit) + ", " + Num(*expected) +
                 " needed");
        return ids;
    }

    void ReadFat()
    {
        m_file.owner.assign(m_file.sectors, kOwnerNone);
        m_fatSectorIds.reserve(m_fatSectors);
        const std::uint32_t inHeader = std::min(m_fatSectors, kHeaderDifatEntries);
        for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i) {
            const std::uint32_t id = HeaderField(header::kDifat + 4 * i);
            if (i < inHeader)
                m_fatSectorIds.push_back(id);
            else if (id != kFreeSect)
                Fail("header: DIFAT entry " + Num(i) + " is " + SectorText(id) + ", FREESECT expected after " +
                     Count(m_fatSectors, "FAT sector"));
        }
        std::uint32_t id = HeaderField(header::kFirstDifat);
        for (std::uint32_t k = 0; k < m_difatSectors; ++k) {
            if (IsAbsent(id))
                Fail("DIFAT chain ends after " + Count(k, "sector") + ", " + Num(m_difatSectors) + " expected");
            const std::uint8_t *sector = WholeSector(id, "DIFAT");
            Claim(m_file, id, kOwnerDifat, "DIFAT chain");
            m_difatSectorIds.push_back(id);
            for (std::uint32_t j = 0; j + 1 < m_perSector; ++j) {
                const std::uint32_t fat = Get32(sector + 4 * j);
                if (m_fatSectorIds.size() < m_fatSectors)
                    m_fatSectorIds.push_back(fat);
                else if (fat != kFreeSect)
                    Fail("DIFAT sector " + Num(id) + ": entry " + Num(j) + " is " + SectorText(fat) +
                         ", FREESECT expected after " + Count(m_fatSectors, "FAT sector"));
            }
            id = Get32(sector + 4 * (m_perSector - 1));
        }
        if (m_difatSectors != 0 && !IsAbsent(id))
            Fail("DIFAT chain does not end after " + Count(m_difatSectors, "sector") + ": next is " +
                 SectorText(id));

        m_file.next.resize(std::size_t(m_fatSectors) * m_perSector);
        for (std::size_t k = 0; k < m_fatSectorIds.size(); ++k) {
            const std::uint32_t fat = m_fatSectorIds[k];
            const std::uint8_t *sector = WholeSector(fat, "FAT");
            if (m_file.owner[fat] == kOwnerFat)
                Fail("DIFAT lists FAT sector " + Num(fat) + " twice");
            if (m_file.owner[fat] != kOwnerNone)
                Fail("DIFAT lists sector " + Num(fat) + " of " + OwnerText(m_file.owner[fat]) + " as a FAT sector");
            m_file.owner[fat] = kOwnerFat;
            for (std::uint32_t j = 0; j < m_perSector; ++j)
                m_file.next[k * m_perSector + j] = Get32(sector + 4 * j);
        }
        const auto checkMark = [this](std::uint32_t id, std::uint32_t mark, const char *what) {
            if (id >= m_file.next.size())
                Fail(std::string(what) + " sector " + Num(id) + " lies beyond the FAT (" +
                     Num(m_file.next.size()) + " entries)");
            if (m_file.next[id] != mark)
                Fail(std::string("FAT entry of ") + what + " sector " + Num(id) + " is " + SectorText(m_file.next[id]) +
                     ", " + SectorText(mark) + " expected");
        };
        for (std::uint32_t fat : m_fatSectorIds)
            checkMark(fat, kFatSect, "FAT");
        for (std::uint32_t difat : m_difatSectorIds)
            checkMark(difat, kDifSect, "DIFAT");
    }

    void ReadDirectory()
    {
        const std::uint32_t first = HeaderField(header::kFirstDirSector);
        if (first == kEndOfChain)
            Fail("header: the directory has no sectors");
        m_dirSectorIds = Chain(m_file, first, kOwnerDirectory, nullptr);
        for (std::uint32_t id : m_dirSectorIds)
            WholeSector(id, "directory");
        const std::uint32_t dirSectors = HeaderField(header::kDirSectors);
        if (m_major == 4 && dirSectors != 0 && dirSectors != m_dirSectorIds.size())
            Fail("header: number of directory sectors " + Num(dirSectors) + " but the directory chain has " +
                 Num(m_dirSectorIds.size()));
        const std::uint64_t entries = std::uint64_t(m_dirSectorIds.size()) * (m_sectorSize / kDirEntrySize);
        if (entries > kMaxDirectoryEntries)
            Fail("directory of " + Num(entries) + " entries is larger than the largest directory (" +
                 Num(kMaxDirectoryEntries) + " entries)");
        m_entries = std::uint32_t(entries);
        m_names.resize(m_entries);
        m_visited.assign(m_entries, false);
    }

    void ReadMiniFat()
    {
        if (m_miniFatSectors == 0)
            return;
        const std::uint64_t expected = m_miniFatSectors;
        const auto ids = Chain(m_file, HeaderField(header::kFirstMiniFat), kOwnerMiniFat, &expected);
        m_mini.next.resize(std::size_t(m_miniFatSectors) * m_perSector);
        for (std::size_t k = 0; k < ids.size(); ++k) {
            const std::uint8_t *sector = WholeSector(ids[k], "mini FAT");
            for (std::uint32_t j = 0; j < m_perSector; ++j)
                m_mini.next[k * m_perSector + j] = Get32(sector + 4 * j);
        }
    }

    const std::uint8_t *Entry(std::uint32_t id) const
    {
        const std::uint32_t perSector = m_sectorSize / kDirEntrySize;
        return WholeSector(m_dirSectorIds[id / perSector], "directory") + (id % perSector) * kDirEntrySize;
    }

    std::uint64_t EntrySize(const std::uint8_t *entry) const
    {
        const std::uint64_t size = Get64(entry + dir::kSize);
        // Old writers leave garbage in the high half for version 3, where it must be ignored.
        return m_major == 3 ? (size & 0xFFFFFFFFu) : size;
    }

    static void CopyStorageFields(const std::uint8_t *entry, Storage &storage)
    {
        std::memcpy(storage.clsid.data(), entry + dir::kClsid, storage.clsid.size());
        storage.stateBits = Get32(entry + dir::kStateBits);
        storage.creationTime = Get64(entry + dir::kCreated);
        storage.modifiedTime = Get64(entry + dir::kModified);
    }

    void ReadRootAndMiniStream(Storage &root)
    {
        const std::uint8_t *entry = Entry(0);
        if (entry[dir::kType] != dir::kTypeRoot)
            Fail("directory entry 0 is not the root entry (object type " + Num(entry[dir::kType]) + ")");
        if (entry[dir::kColour] > dir::kBlack)
            Fail("directory entry 0: colour " + Num(entry[dir::kColour]) + " is not red (0) or black (1)");
        if (Get32(entry + dir::kLeft) != kNoStream || Get32(entry + dir::kRight) != kNoStream)
            Fail("directory entry 0: the root entry has siblings");
        m_visited[0] = true;
        m_names[0] = u"Root Entry";
        CopyStorageFields(entry, root);

        const std::uint64_t size = EntrySize(entry);
        if (size == 0)
            return;
        m_miniStream = ReadSectors(Get32(entry + dir::kStart), size, kOwnerMiniStream);
        m_mini.sectors = std::uint32_t(std::min<std::uint64_t>(CeilDiv(size, kMiniSectorSize), kMaxRegSect + 1ull));
        m_mini.owner.assign(m_mini.sectors, kOwnerNone);
    }

    // The bytes of a stream's chain in a sector space whose sectors lie in
    // source; the last sector may be partial.
    std::vector<std::uint8_t> ReadChain(SectorSpace &space, const std::uint8_t *source, std::uint64_t sourceSize,
                                        std::uint32_t start, std::uint64_t size, std::uint32_t owner)
    {
        const std::uint64_t unit = std::uint64_t(1) << space.shift;
        const std::uint64_t expected = CeilDiv(size, unit);
        if (expected > space.sectors)
            Fail(OwnerText(owner) + ": size " + Num(size) + " needs more " + space.unit + "s than " +
                 space.container + " has (" + Num(space.sectors) + ")");
        const auto ids = Chain(space, start, owner, &expected);
        std::vector<std::uint8_t> data(size);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const std::uint64_t offset = (std::uint64_t(ids[i]) + space.first) << space.shift;
            const std::uint64_t done = std::uint64_t(i) << space.shift;
            const std::uint64_t count = std::min(unit, size - done);
            if (offset + count > sourceSize)
                Fail(OwnerText(owner) + ": " + space.unit + " " + Num(ids[i]) + " is cut short by the end of " +
                     space.container);
            std::memcpy(data.data() + done, source + offset, count);
        }
        return data;
    }

    std::vector<std::uint8_t> ReadSectors(std::uint32_t start, std::uint64_t size, std::uint32_t owner)
    {
        return ReadChain(m_file, m_data, m_size, start, size, owner);
    }

    std::vector<std::uint8_t> ReadMiniSectors(std::uint32_t start, std::uint64_t size, std::uint32_t owner)
    {
        return ReadChain(m_mini, m_miniStream.data(), m_miniStream.size(), start, size, owner);
    }

    std::u16string DecodeName(std::uint32_t id, const std::uint8_t *entry) const
    {
        const std::uint16_t bytes = Get16(entry + dir::kNameLength);
        if (bytes < 4 || bytes > 64 || bytes % 2 != 0)
            Fail("directory entry " + Num(id) + ": name length " + Num(bytes) + " is not an even number from 4 to 64");
        const std::size_t units = bytes / 2 - 1;
        if (Get16(entry + dir::kName + 2 * units) != 0)
            Fail("directory entry " + Num(id) + ": name is not terminated");
        std::u16string name(units, u'\0');
        for (std::size_t i = 0; i < units; ++i)
            name[i] = char16_t(Get16(entry + dir::kName + 2 * i));
        if (!IsValidName(name))
            Fail("directory entry " + Num(id) + ": name " + Quoted(name) + " is not a valid name");
        return name;
    }

    // A sibling or child link of an entry: kNoStream or an entry number.
    std::uint32_t Link(std::uint32_t id, const std::uint8_t *entry, std::size_t field, const char *what) const
    {
        const std::uint32_t link = Get32(entry + field);
        if (link != kNoStream && link >= m_entries)
            Fail("directory entry " + Num(id) + " (" + Quoted(m_names[id]) + "): " + what + " " + Num(link) +
                 " is not an entry (" + Num(m_entries) + " entries)");
        return link;
    }

    struct PendingStorage {
        std::uint32_t entry;
        Storage *storage;
        int depth;
    };

    void ReadTree(Storage &root)
    {
        std::vector<PendingStorage> storages{{0, &root, 0}};
        std::vector<std::uint32_t> siblings;
        while (!storages.empty()) {
            const PendingStorage parent = storages.back();
            storages.pop_back();
            const std::uint32_t child = Link(parent.entry, Entry(parent.entry), dir::kChild, "child");
            if (child != kNoStream)
                siblings.push_back(child);
            while (!siblings.empty()) {
                const std::uint32_t id = siblings.back();
                siblings.pop_back();
                if (m_visited[id])
                    Fail("directory entry " + Num(id) + " is referenced twice");
                m_visited[id] = true;
                const std::uint8_t *entry = Entry(id);
                const std::uint8_t type = entry[dir::kType];
                if (type == dir::kTypeUnused)
                    Fail("directory entry " + Num(id) + " is unused but linked into the tree");
                if (type != dir::kTypeStorage && type != dir::kTypeStream)
                    Fail("directory entry " + Num(id) + ": object type " + Num(type) + " is not a storage or stream");
                if (entry[dir::kColour] > dir::kBlack)
                    Fail("directory entry " + Num(id) + ": colour " + Num(entry[dir::kColour]) +
                         " is not red (0) or black (1)");
                m_names[id] = DecodeName(id, entry);
                for (std::size_t field : {dir::kLeft, dir::kRight}) {
                    const char *what = field == dir::kLeft ? "left sibling" : "right sibling";
                    const std::uint32_t link = Link(id, entry, field, what);
                    if (link != kNoStream)
                        siblings.push_back(link);
                }
                const std::u16string &name = m_names[id];
                if (parent.storage->OpenStream(name) || parent.storage->OpenStorage(name))
                    Fail("storage " + Quoted(m_names[parent.entry]) + " holds two entries named " + Quoted(name));
                if (type == dir::kTypeStream) {
                    if (Get32(entry + dir::kChild) != kNoStream)
                        Fail("directory entry " + Num(id) + " (" + Quoted(name) + "): a stream with a child entry");
                    const std::uint64_t size = EntrySize(entry);
                    const std::uint32_t start = Get32(entry + dir::kStart);
                    std::vector<std::uint8_t> data;
                    if (size >= kMiniStreamCutoff)
                        data = ReadSectors(start, size, kFirstEntryOwner + id);
                    else if (size != 0)
                        data = ReadMiniSectors(start, size, kFirstEntryOwner + id);
                    Stream *stream = parent.storage->CreateStream(name);
                    stream->Data() = std::move(data);
                    stream->stateBits = Get32(entry + dir::kStateBits);
                } else {
                    if (parent.depth + 1 > kMaxStorageDepth)
                        Fail("directory: storage " + Quoted(name) + " is nested deeper than " +
                             Num(kMaxStorageDepth) + " levels");
                    Storage *storage = parent.storage->CreateStorage(name);
                    CopyStorageFields(entry, *storage);
                    storages.push_back({id, storage, parent.depth + 1});
                }
            }
        }
    }
};

} // namespace

bool CompoundFile::Parse(const std::uint8_t *data, std::size_t size, std::string &reason)
{
    try {
        auto root = std::make_unique<Storage>();
        root->m_name = u"Root Entry";
        Reader reader(data, data ? size : 0);
        const int major = reader.Read(*root);
        m_root = std::move(root);
        version = major;
        reason.clear();
        return true;
    } catch (const ParseError &error) {
        reason = error.reason;
    } catch (const std::bad_alloc &) {
        reason = "out of memory";
    } catch (const std::exception &error) {
        reason = std::string("cannot read the file: ") + error.what();
    }
    return false;
}

} // namespace cfb
