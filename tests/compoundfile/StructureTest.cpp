// StructureTest.cpp: what Serialize writes, read back with RawImage instead of
// the library: header fields, FAT and mini FAT bookkeeping, a compact layout,
// unused directory entries, and a valid red-black tree per storage.
#include <gtest/gtest.h>

#include <set>

#include "compoundfile/CompoundFile.h"
#include "tests/compoundfile/CfbTestSupport.h"

using namespace cfbtest;

namespace {

constexpr std::uint8_t kRed = 0;
constexpr std::uint8_t kBlack = 1;

std::string Quote(const std::u16string &name)
{
    std::string quoted(1, '\'');
    quoted += cfb::NameToUtf8(name);
    quoted += '\'';
    return quoted;
}

// Checks the red-black rules and the search order of one sibling tree and
// returns its black height (empty links count as black); appends the entries
// in order. Problems go to errors.
int CheckSubtree(const RawImage &raw, std::uint32_t id, bool parentRed, std::vector<std::uint32_t> &inOrder,
                 std::set<std::uint32_t> &seen, std::vector<std::string> &errors)
{
    if (id == kNoStream)
        return 1;
    if (id >= raw.entries.size() || !seen.insert(id).second) {
        errors.push_back("entry " + std::to_string(id) + " out of range or reached twice");
        return 0;
    }
    const RawEntry &e = raw.entries[id];
    const bool red = e.colour == kRed;
    if (e.colour != kRed && e.colour != kBlack)
        errors.push_back("entry " + std::to_string(id) + " has colour " + std::to_string(e.colour));
    if (red && parentRed)
        errors.push_back("red entry " + std::to_string(id) + " has a red parent");
    const int left = CheckSubtree(raw, e.left, red, inOrder, seen, errors);
    inOrder.push_back(id);
    const int right = CheckSubtree(raw, e.right, red, inOrder, seen, errors);
    if (left != right)
        errors.push_back("entry " + std::to_string(id) + " has black heights " + std::to_string(left) + " and " +
                         std::to_string(right));
    return left + (red ? 0 : 1);
}

// Checks every storage's tree below the storage entry; returns the problems.
std::vector<std::string> CheckDirectory(const RawImage &raw)
{
    std::vector<std::string> errors;
    std::set<std::uint32_t> seen{0};
    std::vector<std::uint32_t> storages{0};
    while (!storages.empty()) {
        const RawEntry &storage = raw.entries[storages.back()];
        storages.pop_back();
        if (storage.child != kNoStream && raw.entries.at(storage.child).colour != kBlack)
            errors.push_back("tree below " + Quote(storage.name) + " has a red root");
        std::vector<std::uint32_t> inOrder;
        CheckSubtree(raw, storage.child, false, inOrder, seen, errors);
        for (std::size_t i = 1; i < inOrder.size(); ++i)
            if (cfb::CompareNames(raw.entries[inOrder[i - 1]].name, raw.entries[inOrder[i]].name) >= 0)
                errors.push_back(Quote(raw.entries[inOrder[i]].name) + " is out of order");
        for (std::uint32_t id : inOrder)
            if (raw.entries[id].type == 1)
                storages.push_back(id);
    }
    for (std::size_t i = 0; i < raw.entries.size(); ++i)
        if (raw.entries[i].type != 0 && !seen.count(std::uint32_t(i)))
            errors.push_back("entry " + std::to_string(i) + " is not in any tree");
    return errors;
}

std::vector<std::uint8_t> ImageWithStreams(int count, int version)
{
    cfb::CompoundFile file;
    file.version = version;
    for (int i = 0; i < count; ++i)
        file.Root().CreateStream(cfb::NameFromUtf8(Numbered("s", (i * 7919) % count)))->Data() =
            Pattern(std::size_t(i) * 61, unsigned(i));
    return file.Serialize();
}

} // namespace

class WrittenStructure : public ::testing::TestWithParam<int> {
protected:
    std::vector<std::uint8_t> SampleImage() const
    {
        cfb::CompoundFile file;
        file.version = GetParam();
        FillSample(file);
        return file.Serialize();
    }
};

TEST_P(WrittenStructure, HeaderFields)
{
    const int version = GetParam();
    const RawImage raw(SampleImage());
    const std::vector<std::uint8_t> signature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), raw.bytes.begin()));
    for (std::size_t i = 8; i < 24; ++i)
        EXPECT_EQ(raw.bytes[i], 0) << "header class id byte " << i;
    EXPECT_EQ(raw.Get16(0x18), 0x3E);
    EXPECT_EQ(raw.Get16(0x1A), version);
    EXPECT_EQ(raw.Get16(0x1C), 0xFFFE);
    EXPECT_EQ(raw.Get16(0x1E), version == 4 ? 12 : 9);
    EXPECT_EQ(raw.Get16(0x20), 6);
    for (std::size_t i = 0x22; i < 0x28; ++i)
        EXPECT_EQ(raw.bytes[i], 0) << "reserved byte " << i;
    EXPECT_EQ(raw.Get32(0x28), version == 4 ? raw.dirSectors.size() : 0u);
    EXPECT_EQ(raw.Get32(0x2C), raw.fatSectors.size());
    EXPECT_EQ(raw.Get32(0x34), 0u);
    EXPECT_EQ(raw.Get32(0x38), 4096u);
    EXPECT_NE(raw.Get32(0x3C), kEndOfChain); // the sample has small streams
    EXPECT_EQ(raw.Get32(0x40), raw.Chain(raw.fat, raw.Get32(0x3C)).size());
    EXPECT_EQ(raw.Get32(0x44), kEndOfChain);
    EXPECT_EQ(raw.Get32(0x48), 0u);
    for (std::size_t i = raw.fatSectors.size(); i < 109; ++i)
        EXPECT_EQ(raw.Get32(0x4C + 4 * i), kFreeSect) << "header DIFAT entry " << i;
    for (std::size_t i = 512; i < raw.sectorSize; ++i)
        ASSERT_EQ(raw.bytes[i], 0) << "header sector byte " << i;
    EXPECT_EQ(raw.bytes.size() % raw.sectorSize, 0u);
}

TEST_P(WrittenStructure, NoMiniFatWithoutSmallStreams)
{
    cfb::CompoundFile file;
    file.version = GetParam();
    file.Root().CreateStream(u"Large")->Data() = Pattern(5000, 1);
    file.Root().CreateStream(u"Empty");
    const RawImage raw(file.Serialize());
    EXPECT_EQ(raw.Get32(0x3C), kEndOfChain);
    EXPECT_EQ(raw.Get32(0x40), 0u);
    EXPECT_EQ(raw.entries[0].start, kEndOfChain);
    EXPECT_EQ(raw.entries[0].size, 0u);
}

// Every sector is the FAT's, the DIFAT's or in exactly one chain; FAT entries
// past the last sector are free; the same holds for the mini stream.
TEST_P(WrittenStructure, EverySectorAccountedForOnce)
{
    cfb::CompoundFile file;
    file.version = GetParam();
    FillSample(file);
    file.Root().CreateStream(u"Odd")->Data() = Pattern(4097, 3);
    const RawImage raw(file.Serialize());
    std::vector<int> uses(raw.SectorCount(), 0);
    const auto use = [&](std::uint32_t id) { ++uses.at(id); };
    for (std::uint32_t id : raw.fatSectors) {
        use(id);
        EXPECT_EQ(raw.fat[id], kFatSect);
    }
    for (std::uint32_t id : raw.difatSectors) {
        use(id);
        EXPECT_EQ(raw.fat[id], kDifSect);
    }
    const std::uint32_t sectorSize = raw.sectorSize;
    const auto useChain = [&](std::uint32_t start, std::uint64_t expectedSectors) {
        const auto chain = raw.Chain(raw.fat, start);
        EXPECT_EQ(chain.size(), expectedSectors);
        for (std::uint32_t id : chain)
            use(id);
        if (!chain.empty()) {
            EXPECT_EQ(raw.fat[chain.back()], kEndOfChain);
        }
    };
    useChain(raw.Get32(0x30), raw.dirSectors.size());
    useChain(raw.Get32(0x3C), raw.Get32(0x40));
    useChain(raw.entries[0].start, (raw.entries[0].size + sectorSize - 1) / sectorSize);

    std::vector<int> miniUses(raw.entries[0].size / 64, 0);
    EXPECT_EQ(raw.entries[0].size % 64, 0u);
    for (const RawEntry &e : raw.entries) {
        if (e.type != 2)
            continue;
        if (e.size >= 4096) {
            useChain(e.start, (e.size + sectorSize - 1) / sectorSize);
        } else if (e.size > 0) {
            const auto chain = raw.Chain(raw.miniFat, e.start);
            EXPECT_EQ(chain.size(), (e.size + 63) / 64);
            for (std::uint32_t id : chain)
                ++miniUses.at(id);
            EXPECT_EQ(raw.miniFat[chain.back()], kEndOfChain);
        }
    }
    for (std::size_t i = 0; i < uses.size(); ++i)
        EXPECT_EQ(uses[i], 1) << "sector " << i;
    for (std::size_t i = 0; i < miniUses.size(); ++i)
        EXPECT_EQ(miniUses[i], 1) << "mini sector " << i;
    for (std::size_t i = raw.SectorCount(); i < raw.fat.size(); ++i)
        ASSERT_EQ(raw.fat[i], kFreeSect) << "FAT entry " << i;
    for (std::size_t i = miniUses.size(); i < raw.miniFat.size(); ++i)
        ASSERT_EQ(raw.miniFat[i], kFreeSect) << "mini FAT entry " << i;
}

TEST_P(WrittenStructure, DirectoryEntries)
{
    const RawImage raw(SampleImage());
    const RawEntry &root = raw.entries[0];
    EXPECT_EQ(root.name, u"Root Entry");
    EXPECT_EQ(root.nameBytes, 22);
    EXPECT_EQ(root.type, 5);
    EXPECT_EQ(root.colour, kBlack);
    EXPECT_EQ(root.left, kNoStream);
    EXPECT_EQ(root.right, kNoStream);
    for (const RawEntry &e : raw.entries) {
        if (e.type == 0) {
            // Unused: all zero but the three links.
            for (std::size_t i = 0; i < 128; ++i) {
                const bool link = i >= 0x44 && i < 0x50;
                ASSERT_EQ(raw.bytes[e.offset + i], link ? 0xFF : 0) << "unused entry byte " << i;
            }
            continue;
        }
        EXPECT_EQ(e.nameBytes, (e.name.size() + 1) * 2);
        EXPECT_EQ(raw.Get16(e.offset + 2 * e.name.size()), 0);
        if (e.type == 1) {
            EXPECT_EQ(e.start, 0u);
            EXPECT_EQ(e.size, 0u);
        }
        if (e.type == 2) {
            EXPECT_EQ(e.child, kNoStream);
            for (std::size_t i = 0x50; i < 0x60; ++i)
                EXPECT_EQ(raw.bytes[e.offset + i], 0) << "stream class id";
            EXPECT_EQ(raw.Get64(e.offset + 0x64), 0u);
            EXPECT_EQ(raw.Get64(e.offset + 0x6C), 0u);
        }
    }
    const RawEntry &sub = raw.Entry(u"Sub");
    EXPECT_EQ(raw.bytes[sub.offset + 0x50], 1);
    EXPECT_EQ(raw.bytes[sub.offset + 0x5F], 16);
    EXPECT_EQ(raw.Get32(sub.offset + 0x60), 0x11223344u);
    EXPECT_EQ(raw.Get64(sub.offset + 0x64), 0x01D9000011112222ull);
    EXPECT_EQ(raw.Get64(sub.offset + 0x6C), 0x01DA000033334444ull);
    EXPECT_EQ(raw.Get32(raw.Entry(u"Inner").offset + 0x60), 0xCAFEu);
    EXPECT_EQ(CheckDirectory(raw), std::vector<std::string>{});
}

TEST_P(WrittenStructure, RedBlackTreeForEveryEntryCount)
{
    // Every count up to 130 covers full trees (1, 3, 7, ..., 127) and trees
    // with a partial deepest level.
    for (int count = 1; count <= 130; ++count) {
        const RawImage raw(ImageWithStreams(count, GetParam()));
        EXPECT_EQ(CheckDirectory(raw), std::vector<std::string>{}) << count << " streams";
    }
}

TEST_P(WrittenStructure, RedBlackTreesInNestedStorages)
{
    cfb::CompoundFile file;
    file.version = GetParam();
    FillSample(file);
    cfb::Storage *many = file.Root().OpenStorage(u"Sub")->CreateStorage(u"Many");
    for (int i = 0; i < 100; ++i)
        many->CreateStream(cfb::NameFromUtf8(std::string(std::size_t(1 + i % 5), char('a' + i % 26)) +
                                             std::to_string(i)));
    const RawImage raw(file.Serialize());
    EXPECT_EQ(CheckDirectory(raw), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Versions, WrittenStructure, ::testing::Values(3, 4),
                         VersionName());

TEST(WrittenStructure, CheckerCatchesABrokenTree)
{
    // The checker itself: an all-black chain of three is not a red-black tree,
    // and swapped names break the order.
    RawImage raw(ImageWithStreams(3, 3));
    ASSERT_EQ(CheckDirectory(raw), std::vector<std::string>{});
    const std::uint32_t top = raw.entries[0].child;
    RawEntry &t = raw.entries[top];
    const std::uint32_t left = t.left;
    const std::uint32_t right = t.right;
    t.left = kNoStream;
    raw.entries[right].left = left;
    raw.entries[left].colour = kBlack;
    raw.entries[right].colour = kBlack;
    EXPECT_FALSE(CheckDirectory(raw).empty());

    RawImage swapped(ImageWithStreams(3, 3));
    std::swap(swapped.entries[1].name, swapped.entries[3].name);
    EXPECT_FALSE(CheckDirectory(swapped).empty());
}
