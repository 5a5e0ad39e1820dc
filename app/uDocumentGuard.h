// uDocumentGuard.h: keeps a recovery snapshot of the window's unsaved document.
// TDocumentGuard writes the snapshot a pause after the last change, and at
// the latest a fixed time after the first unsaved one while changes go on.
#ifndef QUENLO_APP_UDOCUMENTGUARD_H
#define QUENLO_APP_UDOCUMENTGUARD_H

#include <functional>
#include <memory>

#include <QObject>
#include <QString>
#include <QTimer>

#include "storage/uRecovery.h"

class TDocumentGuard : public QObject {
    Q_OBJECT
public:
    explicit TDocumentGuard(QObject *parent = nullptr);
    ~TDocumentGuard() override;

    // Whether the document has unsaved changes, and what to keep of it; both
    // must be set before the first change.
    std::function<bool()> IsModified;
    std::function<TRecoverySnapshot()> TakeSnapshot;
    // Why a snapshot could not be written (the document itself is untouched).
    std::function<void(const QString &reason)> OnWriteFailed;

    // The document changed: the pause starts again; the longest wait starts
    // with the first change after a snapshot.
    void DocumentChanged();
    // Writes the snapshot now, or removes it when nothing is unsaved.
    void WriteNow();
    // The changes were saved or thrown away: no snapshot, no pending write.
    void Discard();
    // As a process that dies: the lock goes, the snapshot stays for the next start.
    void Abandon();
    bool Pending() const noexcept { return m_pause.isActive(); }
    bool HasSnapshot() const noexcept { return m_slot && m_slot->HasSnapshot(); }
    QString SnapshotPath() const;

    // Milliseconds: the pause after typing, the longest wait while it goes on.
    static constexpr int kPauseTime = 3000;
    static constexpr int kLongestWait = 30000;
    void SetDelays(int pause, int longest);

    // The platform's per-user application data folder, "recovery" in it,
    // unless an override is set (tests).
    static QString Folder();
    static void SetFolderOverride(const QString &folder);

private:
    std::unique_ptr<TRecoverySlot> m_slot;
    QTimer m_pause;
    QTimer m_longest;
};

#endif
