// uDocumentGuard.cpp: TDocumentGuard, the timing of recovery snapshots.
#include "app/uDocumentGuard.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

QString &FolderOverride()
{
    static QString folder;
    return folder;
}

} // namespace

TDocumentGuard::TDocumentGuard(QObject *parent) : QObject(parent)
{
    m_pause.setSingleShot(true);
    m_longest.setSingleShot(true);
    SetDelays(kPauseTime, kLongestWait);
    connect(&m_pause, &QTimer::timeout, this, &TDocumentGuard::WriteNow);
    connect(&m_longest, &QTimer::timeout, this, &TDocumentGuard::WriteNow);
}

TDocumentGuard::~TDocumentGuard() = default; // the slot removes its files

void TDocumentGuard::SetDelays(int pause, int longest)
{
    m_pause.setInterval(pause);
    m_longest.setInterval(longest);
}

void TDocumentGuard::DocumentChanged()
{
    m_pause.start();
    if (!m_longest.isActive())
        m_longest.start();
}

void TDocumentGuard::WriteNow()
{
    m_pause.stop();
    m_longest.stop();
    if (!IsModified()) {
        if (m_slot)
            m_slot->Remove(); // undone back to the saved text
        return;
    }
    std::string reason;
    if (!m_slot)
        m_slot = std::make_unique<TRecoverySlot>();
    if (!m_slot->Open(QFile::encodeName(Folder()).toStdString(), reason) || !m_slot->Write(TakeSnapshot(), reason)) {
        if (OnWriteFailed)
            OnWriteFailed(QString::fromLocal8Bit(reason.c_str()));
    }
}

void TDocumentGuard::Discard()
{
    m_pause.stop();
    m_longest.stop();
    if (m_slot)
        m_slot->Remove();
}

void TDocumentGuard::Abandon()
{
    m_pause.stop();
    m_longest.stop();
    if (m_slot)
        m_slot->Abandon();
    m_slot.reset();
}

QString TDocumentGuard::SnapshotPath() const
{
    return m_slot && m_slot->IsOpen() ? QFile::decodeName(m_slot->SnapshotPath().c_str()) : QString();
}

QString TDocumentGuard::Folder()
{
    if (!FolderOverride().isEmpty())
        return FolderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
}

void TDocumentGuard::SetFolderOverride(const QString &folder)
{
    FolderOverride() = folder;
}
