// CfbTestSupport.cpp: RawImage and the sample tree of the compound-file tests.
#include "tests/compoundfile/CfbTestSupport.h"

#include <stdexcept>

namespace cfbtest {

RawImage::RawImage(std::vector<std::uint8_t> image) : bytes(std::move(image))
{
    sectorSize = 1u << Get16(0x1E);
    const std::uint32_t perSector = sectorSize / 4;
    const std::uint32_t fatCount = Get32(0x2C);
    for (std::uint32_t i = 0; i < fatCount && i < 109; ++i)
        fatSectors.push_back(Get32(0x4C + 4 * i));
    std::uint32_t difat = Get32(0x44);
    for (std::uint32_t k = 0; k < Get32(0x48); ++k) {
        difatSectors.push_back(difat);
        for (std::uint32_t j = 0; j + 1 < perSector && fatSectors.size() < fatCount; ++j)
            fatSectors.push_back(Get32(SectorOffset(difat) + 4 * j));
        difat = Get32(SectorOffset(difat) + 4 * (perSector - 1));
    }
    for (std::uint32_t s : fatSectors)
        for (std::uint32_t j = 0; j < perSector; ++j)
            fat.push_back(Get32(SectorOffset(s) + 4 * j));
    for (std::uint32_t s : Chain(fat, Get32(0x3C)))
        for (std::uint32_t j = 0; j < perSector; ++j)
            miniFat.push_back(Get32(SectorOffset(s) + 4 * j));
    dirSectors = Chain(fat, Get32(0x30));
    for (std::uint32_t s : dirSectors) {
        for (std::uint32_t k = 0; k < sectorSize / 128; ++k) {
            RawEntry e;
            e.offset = SectorOffset(s) + 128 * k;
            e.nameBytes = Get16(e.offset + 0x40);
            for (std::size_t i = 0; i + 1 < e.nameBytes / 2u && i < 32; ++i)
                e.name.push_back(char16_t(Get16(e.offset + 2 * i)));
            e.type = bytes[e.offset + 0x42];
            e.colour = bytes[e.offset + 0x43];
            e.left = Get32(e.offset + 0x44);
            e.right = Get32(e.offset + 0x48);
            e.child = Get32(e.offset + 0x4C);
            e.start = Get32(e.offset + 0x74);
            e.size = Get64(e.offset + 0x78);
            entries.push_back(e);
        }
    }
}

std::uint16_t RawImage::Get16(std::size_t offset) const
{
    return std::uint16_t(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

std::uint32_t RawImage::Get32(std::size_t offset) const
{
    return Get16(offset) | (std::uint32_t(Get16(offset + 2)) << 16);
}

std::uint64_t RawImage::Get64(std::size_t offset) const
{
    return Get32(offset) | (std::uint64_t(Get32(offset + 4)) << 32);
}

void RawImage::Put16(std::size_t offset, std::uint16_t value)
{
    bytes.at(offset) = std::uint8_t(value);
    bytes.at(offset + 1) = std::uint8_t(value >> 8);
}

void RawImage::Put32(std::size_t offset, std::uint32_t value)
{
    Put16(offset, std::uint16_t(value));
    Put16(offset + 2, std::uint16_t(value >> 16));
}

void RawImage::Put64(std::size_t offset, std::uint64_t value)
{
    Put32(offset, std::uint32_t(value));
    Put32(offset + 4, std::uint32_t(value >> 32));
}

std::size_t RawImage::FatEntryOffset(std::uint32_t sector) const
{
    const std::uint32_t perSector = sectorSize / 4;
    return SectorOffset(fatSectors.at(sector / perSector)) + 4 * (sector % perSector);
}

std::size_t RawImage::MiniFatEntryOffset(std::uint32_t miniSector) const
{
    const std::uint32_t perSector = sectorSize / 4;
    const auto miniFatSectors = Chain(fat, Get32(0x3C));
    return SectorOffset(miniFatSectors.at(miniSector / perSector)) + 4 * (miniSector % perSector);
}

std::vector<std::uint32_t> RawImage::Chain(const std::vector<std::uint32_t> &table, std::uint32_t start) const
{
    std::vector<std::uint32_t> chain;
    for (std::uint32_t id = start; id < table.size() && chain.size() <= table.size(); id = table[id])
        chain.push_back(id);
    return chain;
}

int RawImage::Find(const std::u16string &name) const
{
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].type != 0 && entries[i].name == name)
            return int(i);
    return -1;
}

const RawEntry &RawImage::Entry(const std::u16string &name) const
{
    const int i = Find(name);
    if (i < 0)
        throw std::runtime_error("no directory entry " + cfb::NameToUtf8(name));
    return entries[std::size_t(i)];
}

std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed)
{
    std::vector<std::uint8_t> data(size);
    std::uint32_t x = 2463534242u ^ (seed * 0x9E3779B9u);
    for (auto &b : data) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = std::uint8_t(x);
    }
    return data;
}

void FillSample(cfb::CompoundFile &file)
{
    cfb::Storage &root = file.Root();
    root.CreateStream(u"Name")->Data() = {'S', 'a', 'm', 'p', 'l', 'e', 0};
    root.CreateStream(u"Script")->Data() = Pattern(5000, 1);
    root.CreateStream(u"Icon")->Data() = Pattern(766, 2);
    root.CreateStream(u"Empty");
    root.CreateStream(u"Big")->Data() = Pattern(70000, 3);
    cfb::Storage *sub = root.CreateStorage(u"Sub");
    sub->clsid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    sub->stateBits = 0x11223344;
    sub->creationTime = 0x01D9000011112222ull;
    sub->modifiedTime = 0x01DA000033334444ull;
    cfb::Stream *inner = sub->CreateStream(u"Inner");
    inner->Data() = Pattern(100, 4);
    inner->stateBits = 0xCAFE;
    sub->CreateStream(u"Large inner")->Data() = Pattern(4096, 5);
    cfb::Storage *deeper = sub->CreateStorage(u"Deeper");
    deeper->CreateStream(u"Leaf")->Data() = Pattern(64, 6);
}

std::string Numbered(std::string prefix, std::uint64_t number)
{
    prefix += std::to_string(number);
    return prefix;
}

std::string ParseImage(const std::vector<std::uint8_t> &image, cfb::CompoundFile &file)
{
    std::string reason;
    if (file.Parse(image.data(), image.size(), reason))
        return {};
    return reason.empty() ? "failed without a reason" : reason;
}

} // namespace cfbtest
