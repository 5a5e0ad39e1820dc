// uDiskCheck.cpp: TDiskCheck over stat().
#include "app/uDiskCheck.h"

#include <sys/stat.h>

#include <QFile>

TFileStamp StampOf(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return TFileStamp{true, std::int64_t(st.st_size),
                      std::int64_t(st.st_mtim.tv_sec) * 1000000000 + std::int64_t(st.st_mtim.tv_nsec),
                      std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)};
}

void TDiskCheck::Remember(const QString &path)
{
    m_path = path;
    m_stamp = StampOf(path);
}

TDiskState TDiskCheck::Check()
{
    if (m_path.isEmpty())
        return dsSame;
    const TFileStamp now = StampOf(m_path);
    if (now == m_stamp)
        return dsSame;
    m_stamp = now;
    return now.Exists ? dsChanged : dsDeleted;
}
