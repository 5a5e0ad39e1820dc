// Icon.cpp: .ico validation and decoding.
#include "toolkit/Icon.h"

#include <algorithm>
#include <fstream>

#include <QBuffer>
#include <QImageReader>

namespace {

constexpr const char *kInvalidIcon = "Icon image is not valid";

std::uint32_t Le16(const std::uint8_t *p) noexcept { return std::uint32_t(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t *p) noexcept
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

std::uint32_t Be32(const std::uint8_t *p) noexcept
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
}

// Directory entry width/height: 0 stands for 256.
int EntrySide(std::uint8_t v) noexcept { return v == 0 ? 256 : v; }

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Width and height that an image's own header states: a PNG's IHDR, or a
// bitmap info header (whose height counts the mask too); none for other data.
bool StatedSize(const std::uint8_t *image, std::uint32_t length, std::int64_t &width, std::int64_t &height)
{
    if (length >= 24 && std::equal(kPngSignature, kPngSignature + 8, image)) {
        width = Be32(image + 16);
        height = Be32(image + 20);
        return true;
    }
    const std::uint32_t headerSize = length >= 12 ? Le32(image) : 0;
    if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        width = std::int32_t(Le32(image + 4));
        height = std::int32_t(Le32(image + 8)) / 2;
        width = width < 0 ? -width : width;
        height = height < 0 ? -height : height;
        return true;
    }
    return false;
}

std::string Side(std::int64_t side)
{
    return std::to_string(side);
}

} // namespace

std::string TIcon::Validate(const std::vector<std::uint8_t> &bytes)
{
    const std::size_t size = bytes.size();
    if (size < 6)
        return "icon: file of " + std::to_string(size) + " bytes is shorter than its header";
    const std::uint8_t *p = bytes.data();
    if (Le16(p) != 0 || Le16(p + 2) != 1)
        return "icon: header does not start with 0, 1";
    const std::uint32_t count = Le16(p + 4);
    if (count == 0)
        return "icon: directory has no image";
    if (6 + std::size_t(count) * 16 > size)
        return "icon: directory of " + std::to_string(count) + " entries exceeds the file";
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t *e = p + 6 + i * 16;
        const std::uint64_t length = Le32(e + 8);
        const std::uint64_t offset = Le32(e + 12);
        if (length == 0 || offset < 6 + std::uint64_t(count) * 16 || offset + length > size)
            return "icon: image " + std::to_string(i) + " lies outside the file";
    }
    return CheckLimits(bytes);
}

std::string TIcon::CheckLimits(const std::vector<std::uint8_t> &bytes)
{
    const std::size_t size = bytes.size();
    if (size > kMaxIconBytes)
        return "icon: file of " + std::to_string(size) + " bytes is larger than the largest icon (" +
               std::to_string(kMaxIconBytes) + " bytes)";
    if (size < 6)
        return {};
    const std::uint8_t *p = bytes.data();
    const std::uint32_t count = Le16(p + 4);
    for (std::uint32_t i = 0; i < count && 6 + std::size_t(i + 1) * 16 <= size; ++i) {
        const std::uint8_t *e = p + 6 + i * 16;
        const std::uint64_t length = Le32(e + 8);
        const std::uint64_t offset = Le32(e + 12);
        std::int64_t width = 0;
        std::int64_t height = 0;
        if (offset + length > size || !StatedSize(p + offset, std::uint32_t(length), width, height))
            continue;
        if (width > kMaxImageSide || height > kMaxImageSide)
            return "icon: image " + std::to_string(i) + " of " + Side(width) + " x " + Side(height) +
                   " pixels is larger than the largest icon image (" + Side(kMaxImageSide) + " x " +
                   Side(kMaxImageSide) + " pixels)";
    }
    return {};
}

void TIcon::LoadFromBytes(std::vector<std::uint8_t> bytes)
{
    const std::string reason = Validate(bytes);
    if (!reason.empty()) {
        const std::string limit = CheckLimits(bytes);
        throw EInvalidGraphic(limit.empty() ? std::string(kInvalidIcon) : std::string(kInvalidIcon) + ": " + limit);
    }
    m_bytes = std::move(bytes);
}

void TIcon::LoadFromFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EStreamError("Cannot open file \"" + path + "\"");
    // One byte past the limit is enough to refuse the file by it.
    std::vector<std::uint8_t> bytes(kMaxIconBytes + 1);
    in.read(reinterpret_cast<char *>(bytes.data()), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(in.gcount()));
    if (bytes.size() > kMaxIconBytes)
        throw EInvalidGraphic(std::string(kInvalidIcon) + ": icon: file is larger than the largest icon (" +
                              std::to_string(kMaxIconBytes) + " bytes)");
    LoadFromBytes(std::move(bytes));
}

int TIcon::BestEntry() const
{
    if (m_bytes.empty())
        return -1;
    const std::uint8_t *p = m_bytes.data();
    const int count = int(Le16(p + 4));
    int best = 0;
    long bestArea = -1;
    int bestBits = -1;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t *e = p + 6 + i * 16;
        const long area = long(EntrySide(e[0])) * EntrySide(e[1]);
        const int bits = int(Le16(e + 6));
        if (area > bestArea || (area == bestArea && bits > bestBits)) {
            best = i;
            bestArea = area;
            bestBits = bits;
        }
    }
    return best;
}

int TIcon::Width() const
{
    const int i = BestEntry();
    return i < 0 ? 0 : EntrySide(m_bytes[6 + size_t(i) * 16]);
}

int TIcon::Height() const
{
    const int i = BestEntry();
    return i < 0 ? 0 : EntrySide(m_bytes[6 + size_t(i) * 16 + 1]);
}

QImage TIcon::Image() const
{
    const int best = BestEntry();
    if (best < 0)
        return {};
    QByteArray data(reinterpret_cast<const char *>(m_bytes.data()), qsizetype(m_bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    reader.jumpToImage(best); // on failure the reader stays on the first image
    return reader.read();
}
