// uLiveCheck.h: the syntax check and outline of the editor's text while the
// user types. TLiveCheck checks after each pause (on a worker thread for large
// texts, dropping results for a text that has changed since), and gives the
// editor its decorations: the first error, the partners of the block keyword
// or parenthesis at the caret, and the occurrences of the name there.
#ifndef QUENLO_APP_ULIVECHECK_H
#define QUENLO_APP_ULIVECHECK_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include "editor/zeCustomEdit.h"
#include "vbscript/VbsOutline.h"

class TLiveCheck : public QObject {
public:
    // The pause after the last change before the text is checked.
    static constexpr int kPauseMs = 400;
    // Texts longer than this (bytes) are checked on a worker thread. The
    // outline (check and structure scan) reads some 100 MB/s on a loaded
    // machine (bench_vbscript, BM_Outline): 256 KiB, about 6,500 lines of a
    // plug-in script, take 2 to 3 ms, far below a frame; longer texts would
    // hold up the next keystroke.
    static constexpr std::size_t kWorkerThreshold = 256 * 1024;

    // Watches editor, which owns this object from here on.
    explicit TLiveCheck(TzeCustomEdit &editor);
    ~TLiveCheck() override;

    // Checking after each pause; off, the text is read only when asked (Current).
    bool Scheduled() const noexcept { return m_scheduled; }
    void SetScheduled(bool value);
    // Whether the error is shown (underline, glyph, tooltip, StatusText).
    bool ShowErrors() const noexcept { return m_showErrors; }
    void SetShowErrors(bool value);
    bool ShowOccurrences() const noexcept { return m_showOccurrences; }
    void SetShowOccurrences(bool value);

    // Checks at once, without the pause (open, save, undo): on this thread or,
    // for a long text, on the worker.
    void CheckNow();
    // The outline of the text as it is now, read on this thread if the last
    // result is older.
    const vbs::Outline &Current();
    // The last result, possibly for an older text (see IsCurrent).
    const vbs::Outline &Outline() const noexcept { return *m_outline; }
    bool IsCurrent() const noexcept { return m_outlineGeneration == m_generation; }
    // "Line 12: Expected 'End'" while an error is shown; empty otherwise.
    QString StatusText() const;
    // The decorations again, after the caret moved.
    void CaretMoved();

    // After each result taken (not for one dropped).
    std::function<void(TLiveCheck &)> OnResult;
    // Each change of the editor's lines, after the check has taken it in.
    std::function<void(const TzeDocChange &)> OnTextChange;

    // Test seams: the size above which the worker checks; a call on the
    // worker thread before each check there; results dropped as stale.
    void SetWorkerThreshold(std::size_t bytes) noexcept { m_workerThreshold = bytes; }
    std::function<void()> OnWorkerCheck;
    int DroppedResults() const noexcept { return m_dropped; }
    bool WorkerBusy() const noexcept { return m_workerBusy; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void TextChanged(const TzeDocChange &change);
    void Start();
    void Take(std::shared_ptr<const vbs::Outline> outline, std::uint64_t generation);
    void Decorate();

    TzeCustomEdit &m_editor;
    QTimer m_pause;
    QElapsedTimer m_lastChange;
    QThreadPool m_worker;
    std::shared_ptr<const vbs::Outline> m_outline;
    // Every change of the lines counts up; a result carries the count its
    // text had.
    std::uint64_t m_generation = 0;
    std::uint64_t m_outlineGeneration = 0;
    // The error's line, moved with the lines inserted and deleted above it
    // since the result; 0 when none is shown.
    int m_errorLine = 0;
    bool m_scheduled = true;
    bool m_showErrors = true;
    bool m_showOccurrences = true;
    bool m_workerBusy = false;
    bool m_checkAgain = false; // a check was asked for while the worker was busy
    bool m_undoing = false;    // an undo or redo command is under way
    std::size_t m_workerThreshold = kWorkerThreshold;
    int m_dropped = 0;
};

#endif
