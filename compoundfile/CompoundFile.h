// CompoundFile.h: reader and writer of the Compound File Binary format.
// A compound file is read whole into a tree of storages and streams held in
// memory (CompoundFile, Storage, Stream) and written back whole, so a save can
// go to a new file beside the target. Standard library only.
#ifndef QUENLO_COMPOUNDFILE_COMPOUNDFILE_H
#define QUENLO_COMPOUNDFILE_COMPOUNDFILE_H

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cfb {

class Storage;
class Stream;

// Longest entry name in UTF-16 units, without the terminator the file adds.
constexpr std::size_t kMaxNameLength = 31;
// Streams shorter than this many bytes live in the mini stream.
constexpr std::uint64_t kMiniStreamCutoff = 4096;
// Parse rejects storages nested deeper than this below the root.
constexpr int kMaxStorageDepth = 256;
// Parse rejects a directory of more entries than this (the largest directory);
// the count is the directory chain's room, unused entries included.
constexpr std::uint64_t kMaxDirectoryEntries = 65536;

// The format's upper-casing of one UTF-16 unit: the Unicode simple upper-case
// mapping for ASCII, Latin-1 Supplement, Latin Extended-A, basic Greek and
// basic Cyrillic; every other unit is its own upper case.
char16_t UpperCaseUnit(char16_t unit) noexcept;
// The format's order of names in a storage: shorter first, then unit by unit
// upper-cased. Negative, zero or positive; zero means "the same name".
int CompareNames(const std::u16string &a, const std::u16string &b) noexcept;
// 1 to 31 units, no NUL and none of '/', '\\', ':', '!'.
bool IsValidName(const std::u16string &name) noexcept;

// One directory entry as listed by Storage::List.
struct EntryInfo {
    std::u16string name;
    bool isStorage = false;
    std::uint64_t size = 0; // stream length in bytes; 0 for a storage
};

// A stream: its bytes, held in memory.
class Stream {
public:
    const std::u16string &Name() const noexcept { return m_name; }
    std::uint64_t Size() const noexcept { return m_data.size(); }
    // Copies up to count bytes from offset; returns the number copied (0 past the end).
    std::size_t Read(std::uint64_t offset, void *buffer, std::size_t count) const;
    // Writes count bytes at offset, growing the stream as needed; returns count.
    std::size_t Write(std::uint64_t offset, const void *buffer, std::size_t count);
    void SetSize(std::uint64_t size);
    const std::vector<std::uint8_t> &Data() const noexcept { return m_data; }
    std::vector<std::uint8_t> &Data() noexcept { return m_data; }

    // Kept from the file and written back unchanged.
    std::uint32_t stateBits = 0;

private:
    friend class Storage;
    std::u16string m_name;
    std::vector<std::uint8_t> m_data;
};

// A storage: named streams and sub-storages. Names compare as the format
// does (case-insensitive for the letters it upper-cases), at most 31 UTF-16
// units, never containing '/', '\\', ':' or '!'.
class Storage {
public:
    Storage();
    ~Storage();
    Storage(const Storage &) = delete;
    Storage &operator=(const Storage &) = delete;

    const std::u16string &Name() const noexcept { return m_name; }
    // Entries in the order the format sorts them (length, then upper-cased units).
    std::vector<EntryInfo> List() const;
    Stream *OpenStream(const std::u16string &name);
    const Stream *OpenStream(const std::u16string &name) const;
    // Creates an empty stream, replacing any stream or storage of that name
    // (pointers to the replaced entry dangle). Returns nullptr for an invalid name.
    Stream *CreateStream(const std::u16string &name);
    Storage *OpenStorage(const std::u16string &name);
    const Storage *OpenStorage(const std::u16string &name) const;
    // Creates an empty storage, replacing any entry of that name; nullptr for an invalid name.
    Storage *CreateStorage(const std::u16string &name);
    // Removes an entry; false when there is none of that name.
    bool Remove(const std::u16string &name);
    // Deep copy of a stream or storage of another tree into this one (replacing);
    // nothing happens when source has no entry of that name. The source may be
    // this storage or lie inside the entry replaced.
    void CopyEntryFrom(const Storage &source, const std::u16string &name);

    // Kept from the file and written back unchanged.
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t modifiedTime = 0;

    struct Impl;
private:
    friend class CompoundFile;
    std::u16string m_name;
    std::unique_ptr<Impl> m_impl;
};

// A whole compound file.
class CompoundFile {
public:
    CompoundFile();  // an empty file: a root storage without entries
    ~CompoundFile();
    CompoundFile(const CompoundFile &) = delete;
    CompoundFile &operator=(const CompoundFile &) = delete;

    Storage &Root() noexcept;
    const Storage &Root() const noexcept;
    // Major version to write: 3 (512-byte sectors, the default) or 4 (4096-byte sectors);
    // any other value writes 3. Parse sets it to the version of the file read.
    int version = 3;

    // Parses a file image. On failure returns false, leaves *this unchanged and
    // sets reason to a short text naming the defect (for logs and the CLI).
    // The image is untrusted: every field, chain and size is checked against it
    // and nothing is allocated beyond what its size justifies. The class ids and
    // times of streams, which the format wants zero, are not kept.
    bool Parse(const std::uint8_t *data, std::size_t size, std::string &reason);
    // Reads and parses a file; false with a reason when it cannot be read or parsed.
    bool Load(const std::string &path, std::string &reason);
    // The complete file image: header, FAT, DIFAT, mini FAT, directory (a valid
    // red-black tree per storage), mini stream and streams. The image is compact:
    // every sector is in use, so space freed by removed or shrunk streams is gone.
    // A version 3 image holds streams below 4 GB only (the size field is 32 bits);
    // images of 2 GB and more (which need a range-lock sector) are not supported.
    std::vector<std::uint8_t> Serialize() const;

private:
    std::unique_ptr<Storage> m_root;
};

// UTF-8 <-> UTF-16 helpers for entry names (CLI and tests). Malformed input
// (bad UTF-8 sequences, unpaired surrogates) becomes U+FFFD.
std::u16string NameFromUtf8(const std::string &utf8);
std::string NameToUtf8(const std::u16string &name);

// True when both trees hold the same entries (names compared exactly), the
// same stream bytes and state bits, and the same storage class ids, state bits
// and times. The two roots' own names are not compared.
bool SameTree(const Storage &a, const Storage &b);

} // namespace cfb

#endif
