// CorruptTest.cpp: one corrupted image per defect, each made by patching a
// valid image that the writer produced; Parse must refuse it with a reason that
// names the defect and leave the CompoundFile as it was. Also tolerated quirks,
// every truncation, and byte mutations of a small image.
#include <gtest/gtest.h>

#include "compoundfile/CompoundFile.h"
#include "tests/compoundfile/CfbTestSupport.h"

using namespace cfbtest;

namespace {

std::vector<std::uint8_t> SampleImage(int version)
{
    cfb::CompoundFile file;
    file.version = version;
    FillSample(file);
    return file.Serialize();
}

// A file image large enough for two DIFAT sectors (version 3).
const std::vector<std::uint8_t> &DifatImage()
{
    static const std::vector<std::uint8_t> image = [] {
        cfb::CompoundFile file;
        file.Root().CreateStream(u"Huge")->Data() = Pattern(16u << 20, 1);
        file.Root().CreateStream(u"Tiny")->Data() = Pattern(5, 2);
        return file.Serialize();
    }();
    return image;
}

std::uint32_t Index(const RawImage &raw, const std::u16string &name)
{
    const int i = raw.Find(name);
    if (i < 0)
        throw std::runtime_error("fixture has no entry " + cfb::NameToUtf8(name));
    return std::uint32_t(i);
}

std::size_t Field(const RawImage &raw, const std::u16string &name, std::size_t offset)
{
    return raw.Entry(name).offset + offset;
}

std::vector<std::uint32_t> FatChain(const RawImage &raw, const std::u16string &name)
{
    return raw.Chain(raw.fat, raw.Entry(name).start);
}

std::vector<std::uint32_t> MiniChain(const RawImage &raw, const std::u16string &name)
{
    return raw.Chain(raw.miniFat, raw.Entry(name).start);
}

struct Defect {
    const char *name;
    int version; // of the sample image patched
    void (*patch)(RawImage &);
    const char *reason; // part of the expected reason
};

const Defect kDefects[] = {
    // The file as a whole and the header.
    {"ZeroLengthFile", 3, [](RawImage &r) { r.bytes.clear(); }, "file is empty"},
    {"ShorterThanHeader", 3, [](RawImage &r) { r.bytes.resize(300); },
     "file of 300 bytes is shorter than the 512-byte header"},
    {"BadSignature", 3, [](RawImage &r) { r.bytes[0] = 0; },
     "header: signature 00CF11E0A1B11AE1 is not D0CF11E0A1B11AE1"},
    {"HeaderClassId", 3, [](RawImage &r) { r.bytes[0x10] = 1; }, "header: class id is not zero"},
    {"BadMajorVersion", 3, [](RawImage &r) { r.Put16(0x1A, 5); }, "header: major version 5 is not 3 or 4"},
    {"BadByteOrder", 3, [](RawImage &r) { r.Put16(0x1C, 0xFEFF); }, "header: byte order 0xFEFF is not 0xFFFE"},
    {"BadSectorShift", 3, [](RawImage &r) { r.Put16(0x1E, 10); }, "header: sector shift 10 is not 9 or 12"},
    {"SectorShiftOfTheOtherVersion", 3, [](RawImage &r) { r.Put16(0x1E, 12); },
     "header: sector shift 12 does not match major version 3"},
    {"BadMiniSectorShift", 3, [](RawImage &r) { r.Put16(0x20, 7); }, "header: mini sector shift 7 is not 6"},
    {"ReservedHeaderBytes", 3, [](RawImage &r) { r.bytes[0x24] = 1; },
     "header: reserved bytes at offset 0x22 are not zero"},
    {"DirectorySectorCountInV3", 3, [](RawImage &r) { r.Put32(0x28, 1); },
     "header: number of directory sectors 1 is not 0 for version 3"},
    {"BadMiniStreamCutoff", 3, [](RawImage &r) { r.Put32(0x38, 512); }, "header: mini stream cutoff 512 is not 4096"},
    {"NoFatSectors", 3, [](RawImage &r) { r.Put32(0x2C, 0); }, "header: number of FAT sectors is 0"},
    {"MoreFatSectorsThanTheFileHas", 3, [](RawImage &r) { r.Put32(0x2C, 100000); },
     "header: 100000 FAT sectors but the file has 163 sectors"},
    {"MoreMiniFatSectorsThanTheFileHas", 3, [](RawImage &r) { r.Put32(0x40, 100000); },
     "header: 100000 mini FAT sectors but the file has"},
    {"DifatCountWithoutNeed", 3, [](RawImage &r) { r.Put32(0x48, 1); },
     "header: 1 DIFAT sector for 2 FAT sectors, 0 expected"},
    {"FirstDifatWithoutDifat", 3, [](RawImage &r) { r.Put32(0x44, 3); },
     "header: first DIFAT sector is 3 without DIFAT sectors"},
    {"FirstMiniFatWithoutMiniFat", 3, [](RawImage &r) { r.Put32(0x40, 0); },
     "without mini FAT sectors"},
    {"NoDirectory", 3, [](RawImage &r) { r.Put32(0x30, kEndOfChain); }, "header: the directory has no sectors"},
    {"V4DirectorySectorCount", 4, [](RawImage &r) { r.Put32(0x28, 5); },
     "header: number of directory sectors 5 but the directory chain has 1"},
    {"V4HeaderSectorTail", 4, [](RawImage &r) { r.bytes[1000] = 1; },
     "header: bytes 512 to 4095 of the header sector are not zero"},
    {"V4ShortHeaderSector", 4, [](RawImage &r) { r.bytes.resize(2000); },
     "file of 2000 bytes is shorter than its 4096-byte header sector"},

    // The FAT and its list in the header.
    {"StrayHeaderDifatEntry", 3, [](RawImage &r) { r.Put32(0x4C + 4 * 100, 3); },
     "header: DIFAT entry 100 is 3, FREESECT expected after 2 FAT sectors"},
    {"FatSectorPastTheEnd", 3, [](RawImage &r) { r.Put32(0x4C, 5000); },
     "FAT sector 5000 is past the end of the file (163 sectors)"},
    {"FatSectorListedTwice", 3, [](RawImage &r) { r.Put32(0x50, r.Get32(0x4C)); },
     "DIFAT lists FAT sector 0 twice"},
    {"FatSectorNotMarked", 3, [](RawImage &r) { r.Put32(r.FatEntryOffset(r.fatSectors[0]), kFreeSect); },
     "FAT entry of FAT sector 0 is FREESECT, FATSECT expected"},

    // FAT chains.
    {"FatChainLoop", 3,
     [](RawImage &r) {
         const auto c = FatChain(r, u"Big");
         r.Put32(r.FatEntryOffset(c[5]), c[2]);
     },
     "FAT chain of stream 'Big' loops at sector"},
    {"FatChainPastTheEnd", 3, [](RawImage &r) { r.Put32(r.FatEntryOffset(FatChain(r, u"Big").back()), 100000); },
     "FAT chain of stream 'Big' points to sector 100000 past the end of the file (163 sectors)"},
    {"FatChainBeyondTheFat", 3,
     [](RawImage &r) {
         const auto last = FatChain(r, u"Big").back();
         r.bytes.resize(r.bytes.size() + 200 * 512);
         r.Put32(r.FatEntryOffset(last), 300);
     },
     "FAT chain of stream 'Big' points to sector 300 beyond the FAT (256 entries)"},
    {"FatChainBroken", 3, [](RawImage &r) { r.Put32(r.FatEntryOffset(FatChain(r, u"Big")[3]), kFreeSect); },
     "FAT chain of stream 'Big' is broken after sector"},
    {"FatChainStartsWithAMarker", 3, [](RawImage &r) { r.Put32(Field(r, u"Script", 0x74), kFatSect); },
     "FAT chain of stream 'Script' is broken at its start: next is FATSECT"},
    {"FatChainShorterThanTheSize", 3,
     [](RawImage &r) { r.Put32(r.FatEntryOffset(FatChain(r, u"Big")[1]), kEndOfChain); },
     "FAT chain of stream 'Big' ends after 2 sectors, 137 needed"},
    {"FatChainLongerThanTheSize", 3, [](RawImage &r) { r.Put64(Field(r, u"Big", 0x78), 5000); },
     "FAT chain of stream 'Big' is longer than the 10 sectors its size needs"},
    {"ChainsCrossLinked", 3, [](RawImage &r) { r.Put32(Field(r, u"Script", 0x74), FatChain(r, u"Big")[127]); },
     "runs into sector"},
    {"StreamChainIntoTheDirectory", 3,
     [](RawImage &r) {
         const auto c = FatChain(r, u"Script");
         r.Put32(r.FatEntryOffset(c[c.size() - 2]), r.dirSectors[0]);
     },
     "FAT chain of stream 'Script' runs into sector"},
    {"DirectoryChainLoop", 3, [](RawImage &r) { r.Put32(r.FatEntryOffset(r.dirSectors.back()), r.dirSectors[0]); },
     "FAT chain of the directory loops at sector"},
    {"MiniFatChainShorterThanCounted", 3, [](RawImage &r) { r.Put32(0x40, 2); },
     "FAT chain of the mini FAT ends after 1 sector, 2 needed"},
    {"TruncatedFile", 3, [](RawImage &r) { r.bytes.resize(r.bytes.size() / 2); }, "past the end of the file"},
    {"TruncatedInsideASector", 3, [](RawImage &r) { r.bytes.resize(r.bytes.size() - 100); },
     "is cut short by the end of the file"},

    // Sizes.
    {"HugeStreamSizeV3", 3, [](RawImage &r) { r.Put64(Field(r, u"Big", 0x78), 0xFFFFFFF0u); },
     "stream 'Big': size 4294967280 needs more sectors than the file has (163)"},
    {"HugeStreamSizeV4", 4, [](RawImage &r) { r.Put64(Field(r, u"Big", 0x78), 1ull << 40); },
     "stream 'Big': size 1099511627776 needs more sectors than the file has"},
    {"HugeMiniStreamSizeV3", 3, [](RawImage &r) { r.Put64(r.entries[0].offset + 0x78, 0xFFFFFF00u); },
     "the mini stream: size 4294967040 needs more sectors than the file has"},
    {"HugeMiniStreamSizeV4", 4, [](RawImage &r) { r.Put64(r.entries[0].offset + 0x78, 1ull << 40); },
     "the mini stream: size 1099511627776 needs more sectors than the file has"},
    {"SmallStreamLargerThanTheMiniStream", 3, [](RawImage &r) { r.Put64(Field(r, u"Icon", 0x78), 4000); },
     "stream 'Icon': size 4000 needs more mini sectors than the mini stream has (16)"},

    // Mini FAT chains.
    {"MiniChainBroken", 3, [](RawImage &r) { r.Put32(r.MiniFatEntryOffset(MiniChain(r, u"Icon")[3]), kFreeSect); },
     "mini FAT chain of stream 'Icon' is broken after mini sector"},
    {"MiniChainLoop", 3,
     [](RawImage &r) {
         const auto c = MiniChain(r, u"Icon");
         r.Put32(r.MiniFatEntryOffset(c[5]), c[1]);
     },
     "mini FAT chain of stream 'Icon' loops at mini sector"},
    {"MiniChainPastTheMiniStream", 3,
     [](RawImage &r) { r.Put32(r.MiniFatEntryOffset(MiniChain(r, u"Icon").back()), 100); },
     "mini FAT chain of stream 'Icon' points to mini sector 100 past the end of the mini stream (16 mini sectors)"},
    {"MiniChainsCrossLinked", 3, [](RawImage &r) { r.Put32(Field(r, u"Name", 0x74), MiniChain(r, u"Icon").back()); },
     "runs into mini sector"},

    // The directory.
    {"FirstEntryIsNotTheRoot", 3, [](RawImage &r) { r.bytes[r.entries[0].offset + 0x42] = 1; },
     "directory entry 0 is not the root entry (object type 1)"},
    {"RootWithSiblings", 3, [](RawImage &r) { r.Put32(r.entries[0].offset + 0x44, 1); },
     "directory entry 0: the root entry has siblings"},
    {"DirectoryCycle", 3, [](RawImage &r) { r.Put32(Field(r, u"Deeper", 0x4C), Index(r, u"Sub")); },
     "is referenced twice"},
    {"SiblingPointsToItself", 3, [](RawImage &r) { r.Put32(Field(r, u"Leaf", 0x48), Index(r, u"Leaf")); },
     "is referenced twice"},
    {"ChildReferencedTwice", 3, [](RawImage &r) { r.Put32(Field(r, u"Deeper", 0x4C), Index(r, u"Inner")); },
     "is referenced twice"},
    {"RootReferencedAsChild", 3, [](RawImage &r) { r.Put32(Field(r, u"Deeper", 0x4C), 0); },
     "directory entry 0 is referenced twice"},
    {"SiblingOutOfRange", 3, [](RawImage &r) { r.Put32(Field(r, u"Name", 0x44), 5000); },
     "('Name'): left sibling 5000 is not an entry (12 entries)"},
    {"ChildOutOfRange", 3, [](RawImage &r) { r.Put32(Field(r, u"Sub", 0x4C), 7777); },
     "('Sub'): child 7777 is not an entry"},
    {"UnusedEntryLinked", 3, [](RawImage &r) { r.bytes[Field(r, u"Name", 0x42)] = 0; },
     "is unused but linked into the tree"},
    {"BadObjectType", 3, [](RawImage &r) { r.bytes[Field(r, u"Name", 0x42)] = 7; },
     "object type 7 is not a storage or stream"},
    {"SecondRootEntry", 3, [](RawImage &r) { r.bytes[Field(r, u"Sub", 0x42)] = 5; },
     "object type 5 is not a storage or stream"},
    {"BadColour", 3, [](RawImage &r) { r.bytes[Field(r, u"Name", 0x43)] = 2; }, "colour 2 is not red (0) or black (1)"},
    {"NameNotTerminated", 3, [](RawImage &r) { r.Put16(Field(r, u"Name", 0x40), 8); }, "name is not terminated"},
    {"OddNameLength", 3, [](RawImage &r) { r.Put16(Field(r, u"Name", 0x40), 9); },
     "name length 9 is not an even number from 4 to 64"},
    {"NameLengthOverTheField", 3, [](RawImage &r) { r.Put16(Field(r, u"Name", 0x40), 66); }, "name length 66"},
    {"EmptyName", 3, [](RawImage &r) { r.Put16(Field(r, u"Name", 0x40), 2); }, "name length 2"},
    {"NameWithASlash", 3, [](RawImage &r) { r.Put16(Field(r, u"Name", 0), '/'); }, "name '/ame' is not a valid name"},
    {"DuplicateNames", 3,
     [](RawImage &r) {
         const std::size_t icon = Field(r, u"Icon", 0);
         for (std::size_t i = 0; i < 4; ++i)
             r.Put16(icon + 2 * i, u"NAME"[i]);
     },
     "storage 'Root Entry' holds two entries named"},
    {"StreamWithAChild", 3, [](RawImage &r) { r.Put32(Field(r, u"Name", 0x4C), Index(r, u"Icon")); },
     "('Name'): a stream with a child entry"},

    // The DIFAT sectors of a large file.
    {"DifatLoop", 0,
     [](RawImage &r) { r.Put32(r.SectorOffset(r.difatSectors[0]) + 508, r.difatSectors[0]); },
     "DIFAT chain loops at sector"},
    {"DifatDoesNotEnd", 0, [](RawImage &r) { r.Put32(r.SectorOffset(r.difatSectors[1]) + 508, 5); },
     "DIFAT chain does not end after 2 sectors: next is 5"},
    {"DifatEndsEarly", 0, [](RawImage &r) { r.Put32(r.SectorOffset(r.difatSectors[0]) + 508, kEndOfChain); },
     "DIFAT chain ends after 1 sector, 2 expected"},
    {"DifatPastTheEnd", 0, [](RawImage &r) { r.Put32(0x44, 0x7FFFFFFF); },
     "DIFAT sector 2147483647 is past the end of the file"},
    {"DifatSectorNotMarked", 0, [](RawImage &r) { r.Put32(r.FatEntryOffset(r.difatSectors[1]), kFreeSect); },
     "is FREESECT, DIFSECT expected"},
    {"StrayDifatSlot", 0, [](RawImage &r) { r.Put32(r.SectorOffset(r.difatSectors[1]) + 500, 3); },
     "entry 125 is 3, FREESECT expected after"},
};

class CorruptImage : public ::testing::TestWithParam<Defect> {};

TEST_P(CorruptImage, FailsWithAReasonAndKeepsTheFile)
{
    const Defect &defect = GetParam();
    RawImage raw(defect.version == 0 ? DifatImage() : SampleImage(defect.version));
    defect.patch(raw);

    cfb::CompoundFile file;
    file.version = 4;
    file.Root().CreateStream(u"Keep")->Data() = {1, 2, 3};
    std::string reason;
    ASSERT_FALSE(file.Parse(raw.bytes.data(), raw.bytes.size(), reason)) << defect.name;
    RecordProperty("reason", reason);
    EXPECT_NE(reason.find(defect.reason), std::string::npos) << "reason: " << reason;
    EXPECT_EQ(file.version, 4);
    ASSERT_EQ(file.Root().List().size(), 1u);
    EXPECT_TRUE(file.Root().OpenStream(u"Keep")->Data() == (std::vector<std::uint8_t>{1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(Defects, CorruptImage, ::testing::ValuesIn(kDefects),
                         [](const ::testing::TestParamInfo<Defect> &info) { return std::string(info.param.name); });

// ---- quirks of other writers that the reader accepts -----------------------------

TEST(TolerantReading, HighHalfOfV3SizesIsIgnored)
{
    RawImage raw(SampleImage(3));
    raw.Put32(Field(raw, u"Script", 0x7C), 0xDEADBEEF);
    raw.Put32(Field(raw, u"Name", 0x7C), 0x00000001);
    raw.Put32(raw.entries[0].offset + 0x7C, 0x80000000);
    cfb::CompoundFile file;
    ASSERT_EQ(ParseImage(raw.bytes, file), "");
    cfb::CompoundFile reference;
    FillSample(reference);
    EXPECT_TRUE(cfb::SameTree(file.Root(), reference.Root()));
}

TEST(TolerantReading, OtherWritersHabits)
{
    RawImage raw(SampleImage(3));
    raw.Put16(0x18, 0x3B);                            // an older minor version
    raw.Put32(Field(raw, u"Empty", 0x74), 0);         // an empty stream starting at sector 0
    raw.Put32(0x44, kFreeSect);                       // no DIFAT written as FREESECT
    raw.bytes.resize(raw.bytes.size() + 1000, 0xEE);  // bytes after the last sector
    raw.Put16(raw.entries[0].offset, 'X');            // another root name
    cfb::CompoundFile file;
    ASSERT_EQ(ParseImage(raw.bytes, file), "");
    cfb::CompoundFile reference;
    FillSample(reference);
    EXPECT_TRUE(cfb::SameTree(file.Root(), reference.Root()));
    EXPECT_EQ(file.Root().Name(), u"Root Entry");
}

TEST(TolerantReading, PartialLastSector)
{
    // A stream ending the file may stop at its last byte instead of a sector end.
    cfb::CompoundFile file;
    file.Root().CreateStream(u"Tail")->Data() = Pattern(5000, 3);
    std::vector<std::uint8_t> image = file.Serialize();
    image.resize(image.size() - (10 * 512 - 5000));
    cfb::CompoundFile back;
    ASSERT_EQ(ParseImage(image, back), "");
    EXPECT_TRUE(back.Root().OpenStream(u"Tail")->Data() == Pattern(5000, 3));
    image.pop_back();
    EXPECT_NE(ParseImage(image, back).find("stream 'Tail': sector 11 is cut short by the end of the file"),
              std::string::npos);
}

TEST(TolerantReading, UnreachableEntriesAreIgnored)
{
    RawImage raw(SampleImage(3));
    // Unlink 'Large inner' from Sub's tree: it stays in the directory, unreached.
    const std::u16string target = u"Large inner";
    const std::uint32_t unlinked = Index(raw, target);
    ASSERT_EQ(raw.entries[unlinked].left, kNoStream);
    ASSERT_EQ(raw.entries[unlinked].right, kNoStream);
    bool found = false;
    for (std::uint32_t id = raw.Entry(u"Sub").child; id != kNoStream && !found;) {
        const RawEntry &e = raw.entries[id];
        if (e.left == unlinked || e.right == unlinked) {
            raw.Put32(e.offset + (e.left == unlinked ? 0x44 : 0x48), kNoStream);
            found = true;
        }
        id = cfb::CompareNames(target, e.name) < 0 ? e.left : e.right;
    }
    ASSERT_TRUE(found);
    cfb::CompoundFile file;
    ASSERT_EQ(ParseImage(raw.bytes, file), "");
    const cfb::Storage *sub = file.Root().OpenStorage(u"Sub");
    EXPECT_EQ(sub->OpenStream(target), nullptr);
    EXPECT_NE(sub->OpenStream(u"Inner"), nullptr);
    EXPECT_NE(sub->OpenStorage(u"Deeper"), nullptr);
}

// ---- limits and whole families of damage -------------------------------------------

TEST(DamagedImages, StoragesNestedTooDeep)
{
    cfb::CompoundFile file;
    cfb::Storage *level = &file.Root();
    for (int depth = 1; depth <= cfb::kMaxStorageDepth + 1; ++depth)
        level = level->CreateStorage(u"L");
    cfb::CompoundFile back;
    EXPECT_EQ(ParseImage(file.Serialize(), back), "directory: storage 'L' is nested deeper than 256 levels");
}

// The root and 65535 streams fill a directory of exactly the largest size;
// one stream more needs another directory sector.
TEST(DamagedImages, DirectoryOfMoreThanTheLargestSize)
{
    cfb::CompoundFile file;
    for (std::uint64_t i = 1; i < cfb::kMaxDirectoryEntries; ++i)
        file.Root().CreateStream(cfb::NameFromUtf8(Numbered("s", i)));
    cfb::CompoundFile back;
    EXPECT_EQ(ParseImage(file.Serialize(), back), "");
    file.Root().CreateStream(u"one more");
    EXPECT_EQ(ParseImage(file.Serialize(), back),
              "directory of 65540 entries is larger than the largest directory (65536 entries)");
}

TEST(DamagedImages, EveryTruncationFails)
{
    const std::vector<std::uint8_t> image = SampleImage(3);
    for (std::size_t size = 0; size < image.size(); size += 97) {
        const std::vector<std::uint8_t> cut(image.begin(), image.begin() + std::ptrdiff_t(size));
        cfb::CompoundFile file;
        EXPECT_NE(ParseImage(cut, file), "") << size << " bytes";
    }
}

TEST(DamagedImages, MutatedBytesNeverBreakTheReader)
{
    // Every byte of the header, FAT, directory and mini FAT of a small file set
    // to a few values: the reader refuses or reads a tree it can write and read again.
    cfb::CompoundFile small;
    small.Root().CreateStream(u"Script")->Data() = Pattern(600, 1);
    small.Root().CreateStream(u"Big")->Data() = Pattern(4100, 2);
    small.Root().CreateStorage(u"Dir")->CreateStream(u"x")->Data() = Pattern(70, 3);
    const std::vector<std::uint8_t> image = small.Serialize();
    const RawImage raw(image);
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < 512; ++i)
        offsets.push_back(i);
    for (std::uint32_t sector : {raw.fatSectors[0], raw.dirSectors[0], raw.Chain(raw.fat, raw.Get32(0x3C))[0]})
        for (std::size_t i = 0; i < 512; ++i)
            offsets.push_back(raw.SectorOffset(sector) + i);
    int accepted = 0;
    for (std::size_t offset : offsets) {
        for (std::uint8_t value : {std::uint8_t(0), std::uint8_t(0xFF), std::uint8_t(image[offset] + 1)}) {
            std::vector<std::uint8_t> mutated = image;
            mutated[offset] = value;
            cfb::CompoundFile file;
            std::string reason;
            if (!file.Parse(mutated.data(), mutated.size(), reason)) {
                ASSERT_FALSE(reason.empty()) << "offset " << offset;
                continue;
            }
            ++accepted;
            cfb::CompoundFile again;
            ASSERT_EQ(ParseImage(file.Serialize(), again), "") << "offset " << offset;
            ASSERT_TRUE(cfb::SameTree(file.Root(), again.Root())) << "offset " << offset;
        }
    }
    EXPECT_GT(accepted, 0); // data-only changes (names' letters, times) are read
}

TEST(DamagedImages, NullDataIsAnEmptyFile)
{
    cfb::CompoundFile file;
    std::string reason;
    EXPECT_FALSE(file.Parse(nullptr, 100, reason));
    EXPECT_EQ(reason, "file is empty");
}

} // namespace
