// Icon.cpp: .ico validation and decoding.
#include "toolkit/Icon.h"

#include <fstream>
#include <iterator>

#include <QBuffer>
#include <QImageReader>

namespace {

constexpr const char *kInvalidIcon = "Icon image is not valid";

std::uint32_t Le16(const std::uint8_t *p) noexcept { return std::uint32_t(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t *p) noexcept
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// Directory entry width/height: 0 stands for 256.
int EntrySide(std::uint8_t v) noexcept { return v == 0 ? 256 : v; }

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
    return {};
}

void TIcon::LoadFromBytes(std::vector<std::uint8_t> bytes)
{
    if (!Validate(bytes).empty())
        throw EInvalidGraphic(kInvalidIcon);
    m_bytes = std::move(bytes);
}

void TIcon::LoadFromFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EStreamError("Cannot open file \"" + path + "\"");
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
