// uStorage.h: the script document and its file format.
// TScript holds one Tavrix script (text and metadata) and reads and writes it
// as a compound file of seven streams; saves are atomic and keep every other
// entry of the file.
#ifndef QUENLO_STORAGE_USTORAGE_H
#define QUENLO_STORAGE_USTORAGE_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/Icon.h"
#include "toolkit/StringList.h"

namespace cfb {
class CompoundFile;
class Storage;
} // namespace cfb

class TScript {
public:
    TScript();
    ~TScript();
    TScript(const TScript &) = delete;
    TScript &operator=(const TScript &) = delete;

    // The script text, one entry per line, without line breaks.
    TStringList &Lines() noexcept { return *m_lines; }
    const TStringList &Lines() const noexcept { return *m_lines; }
    TIcon &Icon() noexcept { return m_icon; }
    const TIcon &Icon() const noexcept { return m_icon; }

    const std::string &Name() const noexcept { return m_name; }
    void SetName(const std::string &v) { m_name = v; }
    const std::string &Menu() const noexcept { return m_menu; }
    void SetMenu(const std::string &v) { m_menu = v; }
    const std::string &Hint() const noexcept { return m_hint; }
    void SetHint(const std::string &v) { m_hint = v; }
    const std::string &ID() const noexcept { return m_id; }
    void SetID(const std::string &v) { m_id = v; }
    const std::string &Main() const noexcept { return m_main; }
    void SetMain(const std::string &v) { m_main = v; }
    // Path of the file last loaded or saved; empty for a document never stored.
    const std::string &FileName() const noexcept { return m_fileName; }

    // Copies every field, the file name and the other entries included.
    void Assign(const TScript &source);
    // Empties everything but FileName; the other entries of the file go too.
    void Clear();
    // Whether the document holds entries of its file besides the seven.
    bool HasOtherEntries() const noexcept;

    // Reads a script file. On false (or an exception for an icon stream that
    // is not an icon) the record is unchanged and LastError says why. With
    // readOnlyIfNeeded, a file that cannot be opened for writing is read
    // without write access, and ReadOnly() is true afterwards.
    bool LoadFromFile(const std::string &path, bool readOnlyIfNeeded = false);
    // Whether the last successful load had no write access to its file.
    bool ReadOnly() const noexcept { return m_readOnly; }
    // The same from the bytes of a script file already read; path becomes
    // FileName and names the file in messages. ReadOnly() becomes false.
    bool LoadFromImage(const std::uint8_t *data, std::size_t size, const std::string &path);
    // Writes a script file atomically: a new file beside the target is written,
    // synced and renamed over it, keeping every entry of an existing file
    // besides the seven. A save to another file than the one loaded or saved
    // last also writes the entries besides the seven that the document kept
    // of that file (they win over the target's own of the same name). On
    // false the old file is byte-identical.
    bool SaveToFile(const std::string &path);
    // The same with code as the text, in place of Lines (which stays as it is).
    bool SaveToFile(const std::string &path, const TStringList &code);
    // Why the last load or save failed.
    const std::string &LastError() const noexcept { return m_lastError; }

    // The string-stream rule: value bytes plus one 0 byte; reading keeps at
    // most the first 260 bytes, cut at the first 0.
    static constexpr std::size_t kStringStreamLimit = 260;
    // The script reader's limits, named in its messages: the largest script
    // file, the largest script text (the "Script" stream) and the longest
    // line. Load refuses a file beyond them; save refuses to write one.
    static constexpr std::size_t kMaxScriptFile = std::size_t(256) << 20;
    // A script of a million lines (about 45 MB) must open.
    static constexpr std::size_t kMaxScriptText = std::size_t(64) << 20;
    static constexpr std::size_t kMaxLineLength = std::size_t(1) << 20;

private:
    // Every field but the lines.
    void AssignFields(const TScript &source);
    bool WriteStringStream(cfb::Storage &storage, std::string_view name, const std::string &value);
    bool Fail(std::string reason);

    std::unique_ptr<TStringList> m_lines;
    std::string m_name;
    TIcon m_icon;
    std::string m_menu;
    std::string m_hint;
    std::string m_id;
    std::string m_fileName;
    std::string m_main;
    std::string m_lastError;
    bool m_readOnly = false;
    // The entries besides the seven of the file last loaded or saved, with
    // its root's class id, state bits, times and version; null when none.
    std::unique_ptr<cfb::CompoundFile> m_other;
};

// Whether an entry name is one of the seven streams of a script file (in any
// letter case, as compound-file names compare).
bool IsScriptStreamName(const std::u16string &name);
// Removes every entry of one of the seven names from root, a storage of such
// a name too: what is left is what other programs put there.
void RemoveScriptStreams(cfb::Storage &root);

// Test seam for the file steps of a save, a load and a recovery snapshot
// ("open", "open-write", "lock", "read", "create", "write", "write-full",
// "sync", "chmod", "rename"): the injector is asked before each step and
// makes it fail by answering true ("open-write": the file cannot be opened
// for writing; "write-full": the disk is full). Pass an empty function to
// remove it.
void SetStorageFaultInjector(std::function<bool(std::string_view step)> injector);

#endif
