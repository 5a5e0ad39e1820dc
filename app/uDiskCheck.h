// uDiskCheck.h: notices that the open file was changed or deleted by another program.
// TDiskCheck keeps the file's identity and time as Quenlo last read or
// wrote it, and compares when asked (the window getting the focus back).
#ifndef QUENLO_APP_UDISKCHECK_H
#define QUENLO_APP_UDISKCHECK_H

#include <cstdint>

#include <QString>

// What the file system says of a file; equal stamps mean an unchanged file.
struct TFileStamp {
    bool Exists = false;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0; // nanoseconds since the epoch
    std::uint64_t Device = 0, Inode = 0; // a rename over the file gives a new inode
    bool operator==(const TFileStamp &) const = default;
};
TFileStamp StampOf(const QString &path);

enum TDiskState { dsSame, dsChanged, dsDeleted };

class TDiskCheck {
public:
    // The file as it is now is the document's; an empty path checks nothing.
    void Remember(const QString &path);
    // How the file differs from the last Remember or Check, which this makes
    // the new reference: a change is reported once.
    TDiskState Check();
    const QString &Path() const noexcept { return m_path; }

private:
    QString m_path;
    TFileStamp m_stamp;
};

#endif
