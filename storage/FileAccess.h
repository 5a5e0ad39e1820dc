// FileAccess.h: the file steps under a script load or save.
// TLockedFile holds an exclusive advisory lock on a file while it is read;
// WriteFileAtomically writes a new file beside a target, syncs it and renames
// it over the target. Internal to storage/.
#ifndef QUENLO_STORAGE_FILEACCESS_H
#define QUENLO_STORAGE_FILEACCESS_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace storage_detail {

// Asks the installed fault injector whether this step must fail.
bool InjectFault(std::string_view step);

class TLockedFile {
public:
    TLockedFile() = default;
    ~TLockedFile();
    TLockedFile(const TLockedFile &) = delete;
    TLockedFile &operator=(const TLockedFile &) = delete;

    // Opens an existing file for reading and writing (as the script format asks)
    // and takes an exclusive lock without waiting. False with a reason when the
    // file is missing, not writable or locked by another process. With
    // readOnlyIfNeeded, a file that cannot be opened for writing (no
    // permission, read-only file system) is opened for reading under a shared
    // lock instead, and ReadOnly() says so.
    bool Open(const std::string &path, std::string &reason, bool readOnlyIfNeeded = false);
    // Reads the whole file; false when it is longer than limit bytes (the
    // reason names limitName) or cannot be read.
    bool ReadAll(std::vector<std::uint8_t> &data, std::size_t limit, const char *limitName, std::string &reason);
    unsigned Mode() const noexcept { return m_mode; }
    bool ReadOnly() const noexcept { return m_readOnly; }

private:
    int m_fd = -1;
    unsigned m_mode = 0;
    bool m_readOnly = false;
};

// Writes data to a temporary file in the target's folder, syncs it, gives it
// mode (when keepMode) and renames it over target. On any failure the
// temporary file is removed, target is untouched and reason says why.
bool WriteFileAtomically(const std::string &target, const std::vector<std::uint8_t> &data,
                         bool keepMode, unsigned mode, std::string &reason);

} // namespace storage_detail

#endif
