// uRecovery.h: recovery snapshots of unsaved documents.
// TRecoverySnapshot is what one window keeps of its unsaved document;
// TRecoverySlot is one running window's snapshot file with the lock that
// says it is alive; TRecoveryClaim holds a snapshot left by a window that is
// gone while the user decides about it.
#ifndef QUENLO_STORAGE_URECOVERY_H
#define QUENLO_STORAGE_URECOVERY_H

#include <cstdint>
#include <string>
#include <vector>

// A document as a snapshot holds it. Strings are Windows-1252 bytes as the
// document keeps them; FileName is the UTF-8 path the text belongs to.
struct TRecoverySnapshot {
    std::string FileName; // empty for a script never saved
    std::string Name, Menu, ID, Hint, Main;
    std::vector<std::uint8_t> Icon; // .ico bytes; empty: no icon
    std::vector<std::string> Lines;
    int CaretX = 1, CaretY = 1; // 1-based, as the editor gives them
    int TopLine = 1;

    bool operator==(const TRecoverySnapshot &) const = default;
};

// The snapshot file's bytes: a header, every field with its length, and a
// checksum over all of it, so a torn or foreign file is refused.
std::vector<std::uint8_t> SerializeSnapshot(const TRecoverySnapshot &snapshot);
// False with a reason for anything that is not a whole snapshot of this
// version; every length is checked against the bytes that are left.
bool ParseSnapshot(const std::uint8_t *data, std::size_t size, TRecoverySnapshot &snapshot, std::string &reason);

// A file name of the recovery folder: <id>.snapshot beside <id>.lock.
inline constexpr const char kSnapshotSuffix[] = ".snapshot";
inline constexpr const char kLockSuffix[] = ".lock";
// A snapshot that could not be read is renamed to this and left alone.
inline constexpr const char kUnreadableSuffix[] = ".unreadable";

class TRecoverySlot {
public:
    TRecoverySlot() = default;
    // Removes the snapshot and the lock file: the window closes cleanly.
    ~TRecoverySlot();
    TRecoverySlot(const TRecoverySlot &) = delete;
    TRecoverySlot &operator=(const TRecoverySlot &) = delete;

    // Creates the folder when needed and takes a new id in it, holding the
    // id's lock until the slot goes away or the process dies (the system
    // releases it then). False with a reason when the folder cannot be
    // written; the slot stays closed and Open may be tried again.
    bool Open(const std::string &folder, std::string &reason);
    bool IsOpen() const noexcept { return m_lock >= 0; }
    // Writes the snapshot as saves write files: a temporary file, flushed,
    // renamed over the last one. On false the previous snapshot is intact.
    bool Write(const TRecoverySnapshot &snapshot, std::string &reason);
    // Deletes the snapshot (the document has nothing unsaved); the lock stays.
    void Remove();
    bool HasSnapshot() const noexcept { return m_written; }
    // Lets go as a dying process would: the lock is released, both files stay.
    void Abandon();
    const std::string &SnapshotPath() const noexcept { return m_snapshot; }

private:
    int m_lock = -1;
    std::string m_lockPath;
    std::string m_snapshot;
    bool m_written = false;
};

// A snapshot in the folder whose window is gone, locked while it is offered
// so that a second Quenlo starting at the same time does not offer it too.
class TRecoveryClaim {
public:
    TRecoveryClaim() = default;
    TRecoveryClaim(TRecoveryClaim &&other) noexcept;
    TRecoveryClaim &operator=(TRecoveryClaim &&other) noexcept;
    TRecoveryClaim(const TRecoveryClaim &) = delete;
    TRecoveryClaim &operator=(const TRecoveryClaim &) = delete;
    // Releases the lock and keeps the files (Later).
    ~TRecoveryClaim();

    const std::string &SnapshotPath() const noexcept { return m_snapshot; }
    // Reads and checks the snapshot.
    bool Read(TRecoverySnapshot &snapshot, std::string &reason) const;
    // Deletes the snapshot and its lock file (Discard, or recovered).
    void Delete();
    // Renames the snapshot to <id>.snapshot.unreadable, where it stays; its
    // new path, or the old one when even the rename fails.
    std::string KeepAside();

private:
    friend std::vector<TRecoveryClaim> ClaimOrphanSnapshots(const std::string &folder);
    void Release();

    int m_lock = -1;
    std::string m_lockPath;
    std::string m_snapshot;
};

// The snapshots in folder that no running window owns, oldest first, each
// claimed. Lock files left without a snapshot by a window that died are
// deleted on the way.
std::vector<TRecoveryClaim> ClaimOrphanSnapshots(const std::string &folder);

#endif
