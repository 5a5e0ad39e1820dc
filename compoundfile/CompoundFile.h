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
    // Creates an empty stream, replacing any stream or storage of that name.
    // Returns nullptr for an invalid name.
    Stream *CreateStream(const std::u16string &name);
    Storage *OpenStorage(const std::u16string &name);
    const Storage *OpenStorage(const std::u16string &name) const;
    // Creates an empty storage, replacing any entry of that name; nullptr for an invalid name.
    Storage *CreateStorage(const std::u16string &name);
    // Removes an entry; false when there is none of that name.
    bool Remove(const std::u16string &name);
    // Deep copy of a stream or storage of another tree into this one (replacing).
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
    // Major version to write: 3 (512-byte sectors, the default) or 4 (4096-byte sectors).
    int version = 3;

    // Parses a file image. On failure returns false, leaves *this unchanged and
    // sets reason to a short text naming the defect (for logs and the CLI).
    bool Parse(const std::uint8_t *data, std::size_t size, std::string &reason);
    // Reads and parses a file; false with a reason when it cannot be read or parsed.
    bool Load(const std::string &path, std::string &reason);
    // The complete file image: header, FAT, DIFAT, mini FAT, directory (a valid
    // red-black tree per storage), mini stream and streams.
    std::vector<std::uint8_t> Serialize() const;

private:
    std::unique_ptr<Storage> m_root;
};

// UTF-8 <-> UTF-16 helpers for entry names (CLI and tests).
std::u16string NameFromUtf8(const std::string &utf8);
std::string NameToUtf8(const std::u16string &name);

} // namespace cfb

#endif
