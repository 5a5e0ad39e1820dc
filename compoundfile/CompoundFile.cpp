// CompoundFile.cpp: the in-memory tree (Stream, Storage, CompoundFile), the
// format's name rules and the UTF-8 name helpers. Parsing lives in
// CompoundFileReader.cpp, writing in CompoundFileWriter.cpp.
#include "compoundfile/CompoundFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "compoundfile/CompoundFileFormat.h"

namespace cfb {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void CopyStorageFields(const Storage &source, Storage &target)
{
    target.clsid = source.clsid;
    target.stateBits = source.stateBits;
    target.creationTime = source.creationTime;
    target.modifiedTime = source.modifiedTime;
}

// Deep copy of one entry into target under name, through the public interface
// so that every copy carries its name.
void CopyEntryInto(Storage &target, const std::u16string &name, const StorageEntry &entry)
{
    if (entry.stream) {
        Stream *copy = target.CreateStream(name);
        copy->Data() = entry.stream->Data();
        copy->stateBits = entry.stream->stateBits;
        return;
    }
    Storage *copy = target.CreateStorage(name);
    CopyStorageFields(*entry.storage, *copy);
    for (const auto &[childName, child] : Storage::Impl::Of(*entry.storage).entries)
        CopyEntryInto(*copy, childName, child);
}

} // namespace

// ---- names -------------------------------------------------------------------

char16_t UpperCaseUnit(char16_t c) noexcept
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - 0x20) : c;
    if (c < 0x100) {
        if (c == 0xB5)
            return 0x039C; // micro sign -> Greek capital mu
        if (c == 0xFF)
            return 0x0178;
        return (c >= 0xE0 && c != 0xF7) ? char16_t(c - 0x20) : c;
    }
    if (c < 0x180) {
        if (c == 0x131)
            return u'I'; // dotless i
        if (c == 0x17F)
            return u'S'; // long s
        // Pairs of capital and small letter; the small one is odd up to 0x137,
        // even from 0x139 to 0x148, odd again up to 0x177, even from 0x179.
        const bool oddSmall = c <= 0x137 || (c >= 0x14A && c <= 0x177);
        const bool evenSmall = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        if ((oddSmall && (c & 1)) || (evenSmall && !(c & 1)))
            return char16_t(c - 1);
        return c;
    }
    if (c >= 0x3AC && c <= 0x3CE) {
        if (c == 0x3AC)
            return 0x386;
        if (c >= 0x3AD && c <= 0x3AF)
            return char16_t(c - 0x25);
        if (c == 0x3C2)
            return 0x3A3; // final sigma
        if (c >= 0x3B1 && c <= 0x3CB)
            return char16_t(c - 0x20);
        if (c == 0x3CC)
            return 0x38C;
        if (c >= 0x3CD)
            return char16_t(c - 0x3F);
        return c;
    }
    if (c >= 0x430 && c <= 0x44F)
        return char16_t(c - 0x20);
    if (c >= 0x450 && c <= 0x45F)
        return char16_t(c - 0x50);
    return c;
}

int CompareNames(const std::u16string &a, const std::u16string &b) noexcept
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t ua = UpperCaseUnit(a[i]);
        const char16_t ub = UpperCaseUnit(b[i]);
        if (ua != ub)
            return ua < ub ? -1 : 1;
    }
    return 0;
}

bool IsValidName(const std::u16string &name) noexcept
{
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    return std::none_of(name.begin(), name.end(), [](char16_t c) {
        return c == 0 || c == u'/' || c == u'\\' || c == u':' || c == u'!';
    });
}

std::u16string NameFromUtf8(const std::string &utf8)
{
    std::u16string out;
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        int extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (b < 0x80) {
            out.push_back(char16_t(b));
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1, cp = b & 0x1F, minimum = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2, cp = b & 0x0F, minimum = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3, cp = b & 0x07, minimum = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        for (; j < n && j <= i + std::size_t(extra) && (p[j] & 0xC0) == 0x80; ++j)
            cp = (cp << 6) | (p[j] & 0x3F);
        if (j != i + 1 + std::size_t(extra) || cp < minimum || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(kReplacement);
            i = std::max(j, i + 1);
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
        i = j;
    }
    return out;
}

std::string NameToUtf8(const std::u16string &name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t cp = name[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
            name[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (name[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

// ---- Stream ------------------------------------------------------------------

std::size_t Stream::Read(std::uint64_t offset, void *buffer, std::size_t count) const
{
    if (offset >= m_data.size())
        return 0;
    const std::size_t n = std::min<std::uint64_t>(count, m_data.size() - offset);
    if (n != 0)
        std::memcpy(buffer, m_data.data() + offset, n);
    return n;
}

std::size_t Stream::Write(std::uint64_t offset, const void *buffer, std::size_t count)
{
    if (count == 0)
        return 0;
    if (offset > m_data.max_size() || count > m_data.max_size() - offset)
        throw std::length_error("cfb::Stream::Write: stream too long");
    if (offset + count > m_data.size())
        m_data.resize(std::size_t(offset + count));
    std::memcpy(m_data.data() + offset, buffer, count);
    return count;
}

void Stream::SetSize(std::uint64_t size)
{
    if (size > m_data.max_size())
        throw std::length_error("cfb::Stream::SetSize: stream too long");
    m_data.resize(std::size_t(size));
}

// ---- Storage -----------------------------------------------------------------

Storage::Storage() : m_impl(std::make_unique<Impl>()) {}

Storage::~Storage() = default;

std::vector<EntryInfo> Storage::List() const
{
    std::vector<EntryInfo> list;
    list.reserve(m_impl->entries.size());
    for (const auto &[name, entry] : m_impl->entries)
        list.push_back({name, entry.storage != nullptr, entry.stream ? entry.stream->Size() : 0});
    return list;
}

Stream *Storage::OpenStream(const std::u16string &name)
{
    return const_cast<Stream *>(std::as_const(*this).OpenStream(name));
}

const Stream *Storage::OpenStream(const std::u16string &name) const
{
    const auto it = m_impl->entries.find(name);
    return it == m_impl->entries.end() ? nullptr : it->second.stream.get();
}

Storage *Storage::OpenStorage(const std::u16string &name)
{
    return const_cast<Storage *>(std::as_const(*this).OpenStorage(name));
}

const Storage *Storage::OpenStorage(const std::u16string &name) const
{
    const auto it = m_impl->entries.find(name);
    return it == m_impl->entries.end() ? nullptr : it->second.storage.get();
}

Stream *Storage::CreateStream(const std::u16string &name)
{
    if (!IsValidName(name))
        return nullptr;
    StorageEntry entry{std::make_unique<Stream>(), nullptr};
    entry.stream->m_name = name;
    Stream *created = entry.stream.get();
    m_impl->entries.erase(name);
    m_impl->entries.emplace(name, std::move(entry));
    return created;
}

Storage *Storage::CreateStorage(const std::u16string &name)
{
    if (!IsValidName(name))
        return nullptr;
    StorageEntry entry{nullptr, std::make_unique<Storage>()};
    entry.storage->m_name = name;
    Storage *created = entry.storage.get();
    m_impl->entries.erase(name);
    m_impl->entries.emplace(name, std::move(entry));
    return created;
}

bool Storage::Remove(const std::u16string &name)
{
    return m_impl->entries.erase(name) != 0;
}

void Storage::CopyEntryFrom(const Storage &source, const std::u16string &name)
{
    const auto it = source.m_impl->entries.find(name);
    if (it == source.m_impl->entries.end())
        return;
    // Copy whole before replacing: the source may be this storage, or lie inside
    // the entry about to be replaced.
    Storage scratch;
    CopyEntryInto(scratch, it->first, it->second);
    auto node = scratch.m_impl->entries.extract(scratch.m_impl->entries.begin());
    m_impl->entries.erase(node.key());
    m_impl->entries.insert(std::move(node));
}

bool SameTree(const Storage &a, const Storage &b)
{
    if (a.clsid != b.clsid || a.stateBits != b.stateBits || a.creationTime != b.creationTime ||
        a.modifiedTime != b.modifiedTime)
        return false;
    const auto &ea = Storage::Impl::Of(a).entries;
    const auto &eb = Storage::Impl::Of(b).entries;
    if (ea.size() != eb.size())
        return false;
    for (auto ia = ea.begin(), ib = eb.begin(); ia != ea.end(); ++ia, ++ib) {
        if (ia->first != ib->first || bool(ia->second.stream) != bool(ib->second.stream))
            return false;
        if (ia->second.stream) {
            if (ia->second.stream->Data() != ib->second.stream->Data() ||
                ia->second.stream->stateBits != ib->second.stream->stateBits)
                return false;
        } else if (!SameTree(*ia->second.storage, *ib->second.storage)) {
            return false;
        }
    }
    return true;
}

// ---- CompoundFile ------------------------------------------------------------

CompoundFile::CompoundFile() : m_root(std::make_unique<Storage>())
{
    m_root->m_name = u"Root Entry";
}

CompoundFile::~CompoundFile() = default;

Storage &CompoundFile::Root() noexcept
{
    return *m_root;
}

const Storage &CompoundFile::Root() const noexcept
{
    return *m_root;
}

bool CompoundFile::Load(const std::string &path, std::string &reason)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        reason = "cannot open '" + path + "': not a file";
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::ifstream in(path, std::ios::binary);
    if (error || !in) {
        reason = "cannot open '" + path + "'";
        return false;
    }
    std::vector<std::uint8_t> image;
    try {
        image.resize(std::size_t(size));
    } catch (const std::exception &) {
        reason = "cannot read '" + path + "': out of memory";
        return false;
    }
    in.read(reinterpret_cast<char *>(image.data()), std::streamsize(image.size()));
    if (std::uintmax_t(in.gcount()) != size) {
        reason = "cannot read '" + path + "'";
        return false;
    }
    return Parse(image.data(), image.size(), reason);
}

} // namespace cfb
