// UnsavedWorkTest.cpp: snapshots of unsaved work, recovery at start and a file changed on disk.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "storage/uRecovery.h"
#include "storage/uStorage.h"
#include "editor/zeCustomEdit.h"
#include "app/uDocumentGuard.h"
#include "app/uMain.h"
#include "app/uRecoveryPrompt.h"
#include "FakeDialogs.h"

namespace {

QStringList FolderEntries()
{
    return QDir(TDocumentGuard::Folder()).entryList(QDir::Files | QDir::Hidden);
}

TRecoverySnapshot ReadSnapshot(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = file.readAll();
    TRecoverySnapshot snapshot;
    std::string reason;
    EXPECT_TRUE(ParseSnapshot(reinterpret_cast<const std::uint8_t *>(bytes.data()), std::size_t(bytes.size()),
                              snapshot, reason))
        << reason;
    return snapshot;
}

class UnsavedWork : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(TDocumentGuard::Folder()).removeRecursively();
    }
    void TearDown() override
    {
        SetStorageFaultInjector({});
        TDocumentGuard::SetFolderOverride(folder);
        QDir(folder).removeRecursively();
    }

    QString MakeScript(const char *name, const std::string &text)
    {
        TScript script;
        script.Lines().SetText(text);
        script.SetName("on disk");
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(script.SaveToFile(path.toStdString())) << script.LastError();
        return path;
    }

    // A window that types, keeps a snapshot and dies without a word.
    TRecoverySnapshot Crash(const QStringList &arguments, const std::string &typed)
    {
        TfmScript w(arguments, dialogs);
        w.Editor().SetCaretXY({1, 1});
        w.Editor().SetSelText(typed);
        w.Script().SetHint("hint kept");
        w.Guard().WriteNow();
        EXPECT_TRUE(w.Guard().HasSnapshot());
        const TRecoverySnapshot snapshot = w.MakeSnapshot();
        w.Guard().Abandon();
        return snapshot;
    }

    QTemporaryDir dir;
    TFakeDialogs dialogs;
    const QString folder = TDocumentGuard::Folder();
};

} // namespace

TEST_F(UnsavedWork, ASnapshotFollowsAPauseAndGoesWithASaveAndACleanClose)
{
    {
        TfmScript w({}, dialogs);
        w.Guard().SetDelays(50, 10000);
        QTest::keyClicks(&w.Editor(), "abc");
        EXPECT_FALSE(w.Guard().HasSnapshot()); // not while typing
        QTRY_VERIFY(w.Guard().HasSnapshot());
        EXPECT_EQ(ReadSnapshot(w.Guard().SnapshotPath()), w.MakeSnapshot());
        EXPECT_EQ(w.MakeSnapshot().Lines, (std::vector<std::string>{"Sub Main", " abc", "End Sub"}));

        dialogs.files.push_back(dir.filePath("saved.tvs"));
        w.acSaveAsExecute();
        EXPECT_FALSE(w.Guard().HasSnapshot());
        EXPECT_FALSE(QFile::exists(w.Guard().SnapshotPath()));
        QTest::keyClicks(&w.Editor(), "d");
        QTRY_VERIFY(w.Guard().HasSnapshot());
        // Undone back to the saved text: nothing unsaved, no snapshot.
        w.acUndoExecute();
        ASSERT_FALSE(w.Editor().Modified());
        w.Guard().WriteNow();
        EXPECT_FALSE(w.Guard().HasSnapshot());
        QTest::keyClicks(&w.Editor(), "e");
        w.Guard().WriteNow();
        ASSERT_TRUE(w.Guard().HasSnapshot());
    }
    EXPECT_TRUE(FolderEntries().isEmpty()); // snapshot and lock gone with the window
}

TEST_F(UnsavedWork, TypingThatNeverPausesIsSnapshotAfterTheLongestWait)
{
    TfmScript w({}, dialogs);
    w.Guard().SetDelays(150, 300);
    QElapsedTimer clock;
    clock.start();
    while (!w.Guard().HasSnapshot() && clock.elapsed() < 3000) {
        QTest::keyClicks(&w.Editor(), "x");
        QTest::qWait(20); // shorter than the pause
    }
    EXPECT_TRUE(w.Guard().HasSnapshot());
    EXPECT_GE(clock.elapsed(), 285); // the longest wait; a coarse timer may fire 5 % early
    EXPECT_EQ(ReadSnapshot(w.Guard().SnapshotPath()).Lines[1].find(" xx"), 0u); // what was typed by then
}

TEST_F(UnsavedWork, RecoverOpensTheSnapshotModifiedWithItsFileNameAndSaveWritesThatFile)
{
    const QString path = MakeScript("mine.tvs", "Sub Main\r\nEnd Sub\r\n");
    const TRecoverySnapshot lost = Crash({path}, "' typed before the crash\r\n");
    ASSERT_EQ(FolderEntries().size(), 2); // the snapshot and its lock, the lock free

    TfmScript w({}, dialogs);
    QString asked;
    bool recoverIsDefault = false;
    w.RunRecoveryPrompt = [&](TfmRecoveryPrompt &prompt) {
        asked = prompt.lbQuestion->text();
        recoverIsDefault = prompt.btRecover->isDefault();
        return int(TfmRecoveryPrompt::raRecover);
    };
    w.OfferRecovery();
    EXPECT_EQ(asked, "Quenlo closed without saving the changes to mine.tvs. Recover them?");
    EXPECT_TRUE(recoverIsDefault);
    EXPECT_EQ(w.FileName(), path);
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - mine.tvs");
    EXPECT_TRUE(w.Editor().Modified());
    EXPECT_EQ(w.Editor().Text(), "' typed before the crash\r\nSub Main\r\nEnd Sub\r\n");
    EXPECT_EQ(w.Editor().CaretXY(), (TPoint{lost.CaretX, lost.CaretY}));
    EXPECT_EQ(w.Script().Hint(), "hint kept");
    EXPECT_EQ(w.Script().Name(), "on disk");
    // The old snapshot is gone; this window keeps its own.
    EXPECT_TRUE(w.Guard().HasSnapshot());
    EXPECT_EQ(FolderEntries().size(), 2);
    EXPECT_TRUE(ClaimOrphanSnapshots(QFile::encodeName(folder).toStdString()).empty());

    w.acSaveExecute();
    EXPECT_TRUE(dialogs.fileDialogs.empty()); // to the original file, no dialog
    TScript back;
    ASSERT_TRUE(back.LoadFromFile(path.toStdString())) << back.LastError();
    EXPECT_EQ(back.Lines().Text(), w.Editor().Text());
    EXPECT_EQ(back.Hint(), "hint kept");
    EXPECT_FALSE(w.Guard().HasSnapshot());
}

TEST_F(UnsavedWork, LaterKeepsDiscardDeletesAndASecondRecoverGetsAWindowOfItsOwn)
{
    Crash({}, "first");
    QTest::qWait(20); // the snapshots are offered oldest first
    Crash({}, "second");
    QTest::qWait(20);
    Crash({}, "third");
    {
        TfmScript w({}, dialogs);
        std::deque<int> answers = {TfmRecoveryPrompt::raLater, TfmRecoveryPrompt::raDiscard,
                                   TfmRecoveryPrompt::raRecover};
        w.RunRecoveryPrompt = [&](TfmRecoveryPrompt &) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        };
        w.OfferRecovery();
        EXPECT_TRUE(answers.empty());
        EXPECT_EQ(w.Editor().LineText(), "thirdSub Main");
    }
    // Only the one put off is offered again; this window already holds a
    // document of the user's, so Recover opens another.
    const QString path = MakeScript("open.tvs", "kept open");
    TfmScript w({path}, dialogs);
    int asked = 0;
    w.RunRecoveryPrompt = [&](TfmRecoveryPrompt &) { return ++asked, int(TfmRecoveryPrompt::raRecover); };
    w.OfferRecovery();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(w.Editor().Text(), "kept open\r\n");
    TfmScript *other = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<TfmScript *>(top); window && window != &w)
            other = window;
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(other->isVisible());
    EXPECT_EQ(other->Editor().LineText(), "firstSub Main");
    EXPECT_TRUE(other->Editor().Modified());
    delete other;
    EXPECT_EQ(FolderEntries().size(), 0);
}

TEST_F(UnsavedWork, AnUnreadableSnapshotIsReportedAndKeptAside)
{
    QDir().mkpath(folder);
    {
        QFile broken(folder + "/1-gone.snapshot");
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("QUENLO RECOVERY\n torn off in the middle of a field");
    }
    TfmScript w({}, dialogs);
    int asked = 0;
    w.RunRecoveryPrompt = [&](TfmRecoveryPrompt &) { return ++asked, int(TfmRecoveryPrompt::raDiscard); };
    w.OfferRecovery();
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("Unsaved changes that Quenlo kept could not be read (the snapshot is "
                                               "damaged"))
        << dialogs.messages[0].toStdString();
    EXPECT_TRUE(dialogs.messages[0].contains("1-gone.snapshot.unreadable"));
    EXPECT_EQ(dialogs.types[0], mtError);
    EXPECT_EQ(FolderEntries(), QStringList{"1-gone.snapshot.unreadable"});
    w.OfferRecovery(); // reported once
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(UnsavedWork, ASnapshotThatCannotBeWrittenIsAStatusMessageAndTheTextStays)
{
    TfmScript w({}, dialogs);
    QTest::keyClicks(&w.Editor(), "abc");
    const std::string text = w.Editor().Text();
    // The disk is full.
    SetStorageFaultInjector([](std::string_view step) { return step == "write-full"; });
    w.Guard().WriteNow();
    EXPECT_TRUE(w.statusBar()->currentMessage().startsWith("The recovery snapshot could not be written: cannot write"));
    EXPECT_TRUE(w.statusBar()->currentMessage().contains("No space left on device"));
    EXPECT_FALSE(w.Guard().HasSnapshot());
    SetStorageFaultInjector({});
    w.Guard().WriteNow();
    EXPECT_TRUE(w.Guard().HasSnapshot());
    // The folder cannot be made (something else has its name).
    TfmScript other({}, dialogs);
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    TDocumentGuard::SetFolderOverride(dir.filePath("blocker/recovery"));
    QTest::keyClicks(&other.Editor(), "x");
    other.Guard().WriteNow();
    EXPECT_TRUE(other.statusBar()->currentMessage().contains("cannot create the folder")) <<
        other.statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(other.Editor().Modified());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(w.Editor().Text(), text);
}

TEST_F(UnsavedWork, AFileChangedOnDiskIsOfferedForReloadWhenTheWindowGetsTheFocusBack)
{
    const QString path = MakeScript("shared.tvs", "first");
    TfmScript w({path}, dialogs);
    TfmScript elsewhere({}, dialogs);
    w.show();
    elsewhere.show();
    elsewhere.activateWindow();
    QTRY_VERIFY(elsewhere.isActiveWindow());
    MakeScript("shared.tvs", "changed by git");
    w.activateWindow();
    QTRY_COMPARE(dialogs.messages.size(), 1); // Yes, the answer here
    EXPECT_EQ(dialogs.messages[0], "shared.tvs was changed outside Quenlo. Reload it?");
    EXPECT_EQ(dialogs.lastDefault, mbYes);
    EXPECT_EQ(w.Editor().Text(), "changed by git\r\n");
    EXPECT_FALSE(w.Editor().Modified());
    w.CheckFileOnDisk(); // the change is asked about once
    EXPECT_EQ(dialogs.messages.size(), 1);
    // With unsaved changes the question says what a reload costs; No keeps them.
    w.Editor().SetCaretXY({1, 1});
    w.Editor().SetSelText("mine ");
    MakeScript("shared.tvs", "changed again");
    dialogs.answers.push_back(mrNo);
    w.CheckFileOnDisk();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1],
              "shared.tvs was changed outside Quenlo. Reload it?\nYour unsaved changes would be lost.");
    EXPECT_EQ(dialogs.lastDefault, mbNo);
    EXPECT_EQ(w.Editor().Text(), "mine changed by git\r\n");
    // No to an unmodified text too leaves it modified: it is the only copy of itself.
    w.acUndoExecute();
    ASSERT_EQ(w.Editor().Text(), "changed by git\r\n");
    MakeScript("shared.tvs", "changed once more");
    dialogs.answers.push_back(mrNo);
    w.CheckFileOnDisk();
    ASSERT_EQ(dialogs.messages.size(), 3);
    EXPECT_TRUE(w.Editor().Modified());
    w.acRedoExecute();
    EXPECT_EQ(w.Editor().Text(), "mine changed by git\r\n");

    // Deleted: the text stays, modified, and the caption says so; a save writes it back.
    ASSERT_TRUE(QFile::remove(path));
    w.CheckFileOnDisk();
    EXPECT_EQ(dialogs.messages.size(), 3);
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - shared.tvs [deleted from disk]");
    EXPECT_TRUE(w.DeletedOnDisk());
    EXPECT_TRUE(w.Editor().Modified());
    w.acSaveExecute();
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - shared.tvs");
    TScript back;
    ASSERT_TRUE(back.LoadFromFile(path.toStdString()));
    EXPECT_EQ(back.Lines().Text(), "mine changed by git\r\n");
    w.CheckFileOnDisk(); // our own save is no change
    EXPECT_EQ(dialogs.messages.size(), 3);
}

TEST_F(UnsavedWork, PromptPicture)
{
    TfmRecoveryPrompt prompt("Report.tvs");
    prompt.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&prompt));
    const QString out = QString::fromUtf8(QUENLO_SOURCE_DIR "/build/recovery-prompt.png");
    QDir().mkpath(QFileInfo(out).absolutePath());
    EXPECT_TRUE(prompt.grab().save(out));
    // Escape is Later: the snapshot is kept.
    QTest::keyClick(&prompt, Qt::Key_Escape);
    EXPECT_EQ(prompt.result(), TfmRecoveryPrompt::raLater);
    EXPECT_EQ(TfmRecoveryPrompt::Question(QString()),
              "Quenlo closed without saving the changes to a new script. Recover them?");
}
