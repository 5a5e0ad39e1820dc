// RoundTripTest.cpp: trees written by Serialize and read back by Parse: stream
// sizes at the sector boundaries in both versions, many entries, nested
// storages and their metadata, replacing, removing, copying, List order, Load.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include <unistd.h>

#include "compoundfile/CompoundFile.h"
#include "tests/compoundfile/CfbTestSupport.h"

using namespace cfbtest;

namespace {

std::uint64_t CeilDiv(std::uint64_t value, std::uint64_t unit)
{
    return (value + unit - 1) / unit;
}

// Serializes file and parses the image into back; returns the image.
std::vector<std::uint8_t> RoundTrip(const cfb::CompoundFile &file, cfb::CompoundFile &back)
{
    std::vector<std::uint8_t> image = file.Serialize();
    EXPECT_EQ(ParseImage(image, back), "");
    return image;
}

} // namespace

// ---- stream sizes at the boundaries ----------------------------------------------

class StreamSizeRoundTrip : public ::testing::TestWithParam<std::tuple<std::size_t, int>> {};

TEST_P(StreamSizeRoundTrip, BytesAndPlacementSurvive)
{
    const auto [size, version] = GetParam();
    const std::uint32_t sectorSize = version == 4 ? 4096 : 512;
    cfb::CompoundFile file;
    file.version = version;
    const std::vector<std::uint8_t> data = Pattern(size, unsigned(size));
    file.Root().CreateStream(u"Data")->Data() = data;
    // Neighbours before and after in both areas, so a wrong chain end shows.
    file.Root().CreateStream(u"A")->Data() = Pattern(130, 7);
    file.Root().CreateStream(u"Zzzzzz")->Data() = Pattern(5000, 8);

    cfb::CompoundFile back;
    const std::vector<std::uint8_t> image = RoundTrip(file, back);
    EXPECT_EQ(image.size() % sectorSize, 0u);
    EXPECT_EQ(back.version, version);
    const cfb::Stream *stream = back.Root().OpenStream(u"Data");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Size(), size);
    EXPECT_TRUE(stream->Data() == data);
    EXPECT_TRUE(back.Root().OpenStream(u"A")->Data() == Pattern(130, 7));
    EXPECT_TRUE(back.Root().OpenStream(u"Zzzzzz")->Data() == Pattern(5000, 8));

    // Below the cutoff a stream lives in the mini stream, from it on in sectors.
    const RawImage raw(image);
    const RawEntry &entry = raw.Entry(u"Data");
    EXPECT_EQ(entry.size, size);
    if (size == 0)
        EXPECT_EQ(entry.start, kEndOfChain);
    else if (size < 4096)
        EXPECT_EQ(raw.Chain(raw.miniFat, entry.start).size(), CeilDiv(size, 64));
    else
        EXPECT_EQ(raw.Chain(raw.fat, entry.start).size(), CeilDiv(size, sectorSize));

    // What was read is written again byte for byte.
    EXPECT_TRUE(back.Serialize() == image);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, StreamSizeRoundTrip,
    ::testing::Combine(::testing::Values(0, 1, 63, 64, 65, 511, 512, 513, 4095, 4096, 4097, 3 * 1024 * 1024 + 17),
                       ::testing::Values(3, 4)),
    [](const ::testing::TestParamInfo<std::tuple<std::size_t, int>> &info) {
        return Numbered(Numbered("v", std::get<1>(info.param)) + "_", std::get<0>(info.param));
    });

// ---- whole trees -----------------------------------------------------------------

class TreeRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(TreeRoundTrip, SampleWithSubStoragesAndMetadata)
{
    cfb::CompoundFile file;
    file.version = GetParam();
    FillSample(file);
    file.Root().clsid[0] = 0xAB;
    file.Root().modifiedTime = 0x01D0123456789ABCull;
    file.Root().OpenStream(u"Script")->stateBits = 0x80000001;

    cfb::CompoundFile back;
    RoundTrip(file, back);
    EXPECT_TRUE(cfb::SameTree(file.Root(), back.Root()));

    const cfb::Storage *sub = back.Root().OpenStorage(u"Sub");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->clsid, (std::array<std::uint8_t, 16>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(sub->stateBits, 0x11223344u);
    EXPECT_EQ(sub->creationTime, 0x01D9000011112222ull);
    EXPECT_EQ(sub->modifiedTime, 0x01DA000033334444ull);
    EXPECT_EQ(sub->OpenStream(u"Inner")->stateBits, 0xCAFEu);
    EXPECT_TRUE(sub->OpenStream(u"Large inner")->Data() == Pattern(4096, 5));
    ASSERT_NE(sub->OpenStorage(u"Deeper"), nullptr);
    EXPECT_TRUE(sub->OpenStorage(u"Deeper")->OpenStream(u"Leaf")->Data() == Pattern(64, 6));
    EXPECT_EQ(back.Root().clsid[0], 0xAB);
    EXPECT_EQ(back.Root().modifiedTime, 0x01D0123456789ABCull);
    EXPECT_EQ(back.Root().OpenStream(u"Script")->stateBits, 0x80000001u);
    EXPECT_EQ(back.Root().OpenStream(u"Empty")->Size(), 0u);
}

TEST_P(TreeRoundTrip, HundredEntriesInOneStorage)
{
    cfb::CompoundFile file;
    file.version = GetParam();
    cfb::Storage *many = file.Root().CreateStorage(u"Many");
    for (int i = 0; i < 100; ++i) {
        const std::u16string name = cfb::NameFromUtf8(Numbered("entry ", i * 37 % 100));
        if (i % 10 == 3)
            many->CreateStorage(name)->CreateStream(u"x")->Data() = Pattern(std::size_t(i), unsigned(i));
        else
            many->CreateStream(name)->Data() = Pattern(std::size_t(i) * 97, unsigned(i));
    }
    cfb::CompoundFile back;
    RoundTrip(file, back);
    EXPECT_TRUE(cfb::SameTree(file.Root(), back.Root()));
    EXPECT_EQ(back.Root().OpenStorage(u"Many")->List().size(), 100u);
}

TEST_P(TreeRoundTrip, StoragesNestedDeep)
{
    cfb::CompoundFile file;
    file.version = GetParam();
    cfb::Storage *level = &file.Root();
    for (int depth = 1; depth <= cfb::kMaxStorageDepth; ++depth) {
        level = level->CreateStorage(u"L");
        level->CreateStream(u"depth")->Data() = Pattern(std::size_t(depth), unsigned(depth));
    }
    cfb::CompoundFile back;
    RoundTrip(file, back);
    EXPECT_TRUE(cfb::SameTree(file.Root(), back.Root()));
}

TEST_P(TreeRoundTrip, EmptyFile)
{
    cfb::CompoundFile file;
    file.version = GetParam();
    const std::vector<std::uint8_t> image = file.Serialize();
    // Header, one FAT sector, one directory sector.
    EXPECT_EQ(image.size(), GetParam() == 4 ? 3u * 4096 : 3u * 512);
    cfb::CompoundFile back;
    ASSERT_EQ(ParseImage(image, back), "");
    EXPECT_TRUE(back.Root().List().empty());
}

INSTANTIATE_TEST_SUITE_P(Versions, TreeRoundTrip, ::testing::Values(3, 4),
                         VersionName());

TEST(TreeRoundTrip, DifatForMoreThan109FatSectors)
{
    // 16 MB in 512-byte sectors needs about 257 FAT sectors: 109 in the header,
    // the rest in two DIFAT sectors.
    cfb::CompoundFile file;
    file.Root().CreateStream(u"Huge")->Data() = Pattern(16u << 20, 11);
    file.Root().CreateStream(u"Small")->Data() = Pattern(10, 12);
    cfb::CompoundFile back;
    const std::vector<std::uint8_t> image = RoundTrip(file, back);
    const RawImage raw(image);
    EXPECT_GT(raw.fatSectors.size(), 236u);
    EXPECT_EQ(raw.difatSectors.size(), 2u);
    EXPECT_EQ(raw.Get32(0x48), 2u);
    EXPECT_TRUE(cfb::SameTree(file.Root(), back.Root()));
}

// ---- editing the tree --------------------------------------------------------------

TEST(StorageEditing, ListIsInTheFormatsOrder)
{
    cfb::CompoundFile file;
    cfb::Storage &root = file.Root();
    for (const char16_t *name : {u"B2", u"c", u"aa", u"A", u"b", u"Zzz"})
        root.CreateStream(name);
    root.CreateStorage(u"Dir")->CreateStream(u"in");
    root.OpenStream(u"aa")->Data() = Pattern(7, 1);

    std::vector<std::u16string> names;
    for (const cfb::EntryInfo &info : root.List())
        names.push_back(info.name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"A", u"b", u"c", u"aa", u"B2", u"Dir", u"Zzz"}));
    const std::vector<cfb::EntryInfo> list = root.List();
    EXPECT_EQ(list[3].size, 7u);
    EXPECT_FALSE(list[3].isStorage);
    EXPECT_TRUE(list[5].isStorage);
    EXPECT_EQ(list[5].size, 0u);

    cfb::CompoundFile back;
    RoundTrip(file, back);
    std::vector<std::u16string> read;
    for (const cfb::EntryInfo &info : back.Root().List())
        read.push_back(info.name);
    EXPECT_EQ(read, names);
}

TEST(StorageEditing, LookupIgnoresCaseAndKind)
{
    cfb::CompoundFile file;
    cfb::Storage &root = file.Root();
    root.CreateStream(u"Script")->Data() = Pattern(3, 1);
    root.CreateStorage(u"Folder");
    EXPECT_NE(root.OpenStream(u"SCRIPT"), nullptr);
    EXPECT_NE(root.OpenStream(u"script"), nullptr);
    EXPECT_EQ(root.OpenStorage(u"Script"), nullptr);
    EXPECT_EQ(root.OpenStream(u"Folder"), nullptr);
    EXPECT_NE(root.OpenStorage(u"fOLDER"), nullptr);
    EXPECT_EQ(root.OpenStream(u"Scrip"), nullptr);
    const cfb::Storage &constRoot = root;
    EXPECT_NE(constRoot.OpenStream(u"script"), nullptr);
    EXPECT_NE(constRoot.OpenStorage(u"folder"), nullptr);
}

TEST(StorageEditing, CreateReplacesAnyEntryOfThatName)
{
    cfb::CompoundFile file;
    cfb::Storage &root = file.Root();
    root.CreateStream(u"Script")->Data() = Pattern(9000, 1);
    cfb::Stream *replaced = root.CreateStream(u"SCRIPT");
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->Name(), u"SCRIPT");
    EXPECT_EQ(replaced->Size(), 0u);
    EXPECT_EQ(root.List().size(), 1u);

    root.CreateStorage(u"script")->CreateStream(u"x");
    EXPECT_EQ(root.OpenStream(u"Script"), nullptr);
    ASSERT_NE(root.OpenStorage(u"Script"), nullptr);
    EXPECT_EQ(root.OpenStorage(u"Script")->Name(), u"script");
    root.CreateStream(u"Script");
    EXPECT_EQ(root.OpenStorage(u"Script"), nullptr);
    EXPECT_EQ(root.List().size(), 1u);
}

TEST(StorageEditing, ReplacingAStreamOfAParsedFileShrinksTheImage)
{
    cfb::CompoundFile file;
    FillSample(file);
    cfb::CompoundFile parsed;
    const std::vector<std::uint8_t> first = RoundTrip(file, parsed);
    parsed.Root().CreateStream(u"Big")->Data() = Pattern(10, 99);
    cfb::CompoundFile back;
    const std::vector<std::uint8_t> second = RoundTrip(parsed, back);
    // The 70000 bytes' sectors are not kept as free space: the image is compact.
    EXPECT_LT(second.size() + 65000, first.size());
    EXPECT_TRUE(back.Root().OpenStream(u"Big")->Data() == Pattern(10, 99));
    EXPECT_TRUE(back.Root().OpenStream(u"Script")->Data() == Pattern(5000, 1));
}

TEST(StorageEditing, RemoveDropsTheEntryAndItsSubtree)
{
    cfb::CompoundFile file;
    FillSample(file);
    cfb::Storage &root = file.Root();
    EXPECT_TRUE(root.Remove(u"SUB"));
    EXPECT_FALSE(root.Remove(u"Sub"));
    EXPECT_TRUE(root.Remove(u"Icon"));
    EXPECT_FALSE(root.Remove(u"Missing"));
    cfb::CompoundFile back;
    const std::vector<std::uint8_t> image = RoundTrip(file, back);
    EXPECT_EQ(back.Root().OpenStorage(u"Sub"), nullptr);
    EXPECT_EQ(back.Root().OpenStream(u"Icon"), nullptr);
    EXPECT_EQ(back.Root().List().size(), 4u);
    const RawImage raw(image);
    EXPECT_EQ(raw.Find(u"Inner"), -1);
    EXPECT_EQ(raw.Find(u"Leaf"), -1);
}

TEST(StorageEditing, CopyEntryFromIsADeepCopy)
{
    cfb::CompoundFile source;
    FillSample(source);
    cfb::CompoundFile target;
    target.Root().CreateStorage(u"SUB")->CreateStream(u"old");
    target.Root().CopyEntryFrom(source.Root(), u"sub");
    target.Root().CopyEntryFrom(source.Root(), u"Script");
    target.Root().CopyEntryFrom(source.Root(), u"Missing");
    ASSERT_EQ(target.Root().List().size(), 2u);

    const cfb::Storage *copy = target.Root().OpenStorage(u"Sub");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Name(), u"Sub");
    EXPECT_EQ(copy->OpenStream(u"old"), nullptr);
    EXPECT_TRUE(cfb::SameTree(*copy, *source.Root().OpenStorage(u"Sub")));
    EXPECT_TRUE(target.Root().OpenStream(u"Script")->Data() == Pattern(5000, 1));

    // Changing the source afterwards leaves the copy alone.
    source.Root().OpenStorage(u"Sub")->OpenStream(u"Inner")->Data().assign(3, 0);
    source.Root().OpenStorage(u"Sub")->Remove(u"Deeper");
    EXPECT_TRUE(copy->OpenStream(u"Inner")->Data() == Pattern(100, 4));
    ASSERT_NE(copy->OpenStorage(u"Deeper"), nullptr);

    cfb::CompoundFile back;
    RoundTrip(target, back);
    EXPECT_TRUE(cfb::SameTree(target.Root(), back.Root()));
}

TEST(StorageEditing, CopyEntryIntoItsOwnSubtree)
{
    cfb::CompoundFile file;
    FillSample(file);
    cfb::Storage *sub = file.Root().OpenStorage(u"Sub");
    sub->CopyEntryFrom(file.Root(), u"Sub");
    const cfb::Storage *nested = sub->OpenStorage(u"Sub");
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->OpenStorage(u"Sub"), nullptr);
    EXPECT_NE(nested->OpenStorage(u"Deeper"), nullptr);
    EXPECT_EQ(nested->clsid, sub->clsid);
    // Copying an entry onto itself keeps it as it was.
    cfb::CompoundFile again;
    FillSample(again);
    again.Root().CopyEntryFrom(again.Root(), u"Sub");
    cfb::CompoundFile reference;
    FillSample(reference);
    EXPECT_TRUE(cfb::SameTree(again.Root(), reference.Root()));
}

TEST(StorageEditing, SameTreeSeesEveryDifference)
{
    cfb::CompoundFile a;
    FillSample(a);
    const auto differs = [&a](auto change) {
        cfb::CompoundFile b;
        FillSample(b);
        change(b.Root());
        return !cfb::SameTree(a.Root(), b.Root());
    };
    EXPECT_FALSE(differs([](cfb::Storage &) {}));
    EXPECT_TRUE(differs([](cfb::Storage &r) { r.OpenStream(u"Name")->Data()[0] = 'X'; }));
    EXPECT_TRUE(differs([](cfb::Storage &r) { r.OpenStream(u"Name")->stateBits = 1; }));
    EXPECT_TRUE(differs([](cfb::Storage &r) { r.OpenStorage(u"Sub")->clsid[15] = 0; }));
    EXPECT_TRUE(differs([](cfb::Storage &r) { r.OpenStorage(u"Sub")->stateBits = 0; }));
    EXPECT_TRUE(differs([](cfb::Storage &r) { r.OpenStorage(u"Sub")->creationTime = 0; }));
    EXPECT_TRUE(differs([](cfb::Storage &r) { r.OpenStorage(u"Sub")->modifiedTime = 0; }));
    EXPECT_TRUE(differs([](cfb::Storage &r) { r.OpenStorage(u"Sub")->OpenStorage(u"Deeper")->CreateStream(u"n"); }));
    EXPECT_TRUE(differs([](cfb::Storage &r) {
        r.Remove(u"Name");
        r.CreateStream(u"NAME")->Data() = {'S', 'a', 'm', 'p', 'l', 'e', 0};
    }));
    EXPECT_TRUE(differs([](cfb::Storage &r) {
        r.Remove(u"Empty");
        r.CreateStorage(u"Empty");
    }));
}

// ---- streams -------------------------------------------------------------------

TEST(StreamAccess, ReadWriteAndSetSize)
{
    cfb::CompoundFile file;
    cfb::Stream *stream = file.Root().CreateStream(u"S");
    const char text[] = "hello";
    EXPECT_EQ(stream->Write(0, text, 5), 5u);
    EXPECT_EQ(stream->Write(8, text, 2), 2u); // leaves a gap of zero bytes
    EXPECT_EQ(stream->Size(), 10u);
    EXPECT_TRUE(stream->Data() == (std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o', 0, 0, 0, 'h', 'e'}));
    EXPECT_EQ(stream->Write(20, text, 0), 0u);
    EXPECT_EQ(stream->Size(), 10u);

    char buffer[16] = {};
    EXPECT_EQ(stream->Read(1, buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "ell");
    EXPECT_EQ(stream->Read(8, buffer, 16), 2u);
    EXPECT_EQ(stream->Read(10, buffer, 4), 0u);
    EXPECT_EQ(stream->Read(~0ull, buffer, 4), 0u);

    stream->SetSize(3);
    EXPECT_EQ(stream->Size(), 3u);
    stream->SetSize(6);
    EXPECT_TRUE(stream->Data() == (std::vector<std::uint8_t>{'h', 'e', 'l', 0, 0, 0}));
    EXPECT_THROW(stream->Write(~0ull - 1, text, 5), std::length_error);
}

// ---- parse sets the version; Load reads files ---------------------------------------

TEST(LoadFile, ReadsAFileAndReportsMissingOnes)
{
    cfb::CompoundFile file;
    file.version = 4;
    FillSample(file);
    const std::vector<std::uint8_t> image = file.Serialize();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / Numbered("quenlo_cfb_load_", std::uint64_t(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / "sample.cfb";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char *>(image.data()), std::streamsize(image.size()));
    }
    cfb::CompoundFile loaded;
    std::string reason;
    ASSERT_TRUE(loaded.Load(path.string(), reason)) << reason;
    EXPECT_EQ(loaded.version, 4);
    EXPECT_TRUE(cfb::SameTree(file.Root(), loaded.Root()));

    EXPECT_FALSE(loaded.Load((dir / "missing.cfb").string(), reason));
    EXPECT_NE(reason.find("missing.cfb"), std::string::npos) << reason;
    EXPECT_FALSE(loaded.Load(dir.string(), reason));
    EXPECT_NE(reason.find("not a file"), std::string::npos) << reason;
    EXPECT_TRUE(cfb::SameTree(file.Root(), loaded.Root()));
    std::filesystem::remove_all(dir);
}
