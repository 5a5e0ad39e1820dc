// RandomSessionTest.cpp: the real main window driven by a seeded stream of user
// actions, with the invariants checked after every one of them.
// QUENLO_SESSION_SECONDS sets how long each seed runs (30 by default);
// QUENLO_SESSION_SEED replays one seed in place of the one from the clock.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <map>
#include <random>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeySequence>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "toolkit/VirtualKeys.h"
#include "storage/uRecovery.h"
#include "storage/uStorage.h"
#include "editor/zeCustomEdit.h"
#include "editor/zeKeyCmds.h"
#include "app/uDiskCheck.h"
#include "app/uDocumentGuard.h"
#include "app/uFind.h"
#include "app/uGoToLine.h"
#include "app/uMain.h"
#include "app/uOptions.h"
#include "app/uProperties.h"
#include "app/uRecoveryPrompt.h"
#include "FakeDialogs.h"

namespace {

// A key with its modifiers.
struct TKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

// Every key of the editor's table, and the window's own file and edit keys.
std::vector<TKey> SessionKeys(TzeCustomEdit &editor)
{
    std::vector<TKey> keys;
    const TzeKeyStrokes &table = editor.Keystrokes();
    for (int i = 0; i < table.Count(); ++i) {
        const TzeKeyStroke &stroke = table.Items(i);
        const int key = QtKeyFromVirtualKey(stroke.Key());
        if (key == 0)
            continue;
        keys.push_back({Qt::Key(key), QtModifiersFromShiftState(stroke.Shift())});
    }
    for (Qt::Key key : {Qt::Key_Z, Qt::Key_Y, Qt::Key_A, Qt::Key_X, Qt::Key_C, Qt::Key_V})
        keys.push_back({key, Qt::ControlModifier});
    keys.push_back({Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier});
    return keys;
}

// A line that typing or deleting rewrote: its trailing blanks and control
// characters go.
void TrimRight(std::string &line)
{
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32)
        line.pop_back();
}

std::string WithoutTrailingBlanks(const std::string &text)
{
    std::string out, line;
    for (char c : text) {
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        TrimRight(line);
        out.append(line).append("\n");
        line.clear();
    }
    return out + line;
}

std::vector<std::string> LinesOf(const TzeCustomEdit &editor)
{
    std::vector<std::string> lines;
    for (int i = 0; i < editor.LineCount(); ++i)
        lines.emplace_back(editor.Lines()[i]);
    return lines;
}

class TSession {
public:
    explicit TSession(std::uint64_t seed) : m_random(seed)
    {
        Start();
        m_keys = SessionKeys(Editor());
    }

    // Runs actions until the time is up; false at the first broken invariant.
    bool Run(double seconds)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < seconds * 1000 && !::testing::Test::HasFailure()) {
            Step();
            ++m_actions;
        }
        return !::testing::Test::HasFailure();
    }
    long Actions() const noexcept { return m_actions; }
    const std::map<std::string, long> &Counts() const noexcept { return m_counts; }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool Chance(int percent) { return Pick(100) < percent; }
    TzeCustomEdit &Editor() { return m_window->Editor(); }

    void Start()
    {
        m_window = std::make_unique<TfmScript>(QStringList(), m_dialogs);
        TfmScript &w = *m_window;
        w.resize(600, 400);
        w.show();
        w.activateWindow();
        QApplication::processEvents();
        // Long enough never to fire between two actions: the session writes
        // its snapshots itself, before a crash.
        w.Guard().SetDelays(3600000, 3600000);
        w.RunFindDialog = [this](TfmFind &dialog) {
            dialog.edFind->setText(QString::fromLatin1(Word()));
            if (dialog.edReplace)
                dialog.edReplace->setText(Chance(50) ? QString() : QString::fromLatin1(Word()));
            dialog.cbMatchCase->setChecked(Chance(50));
            dialog.cbWholeWord->setChecked(Chance(50));
            if (dialog.cbSelection->isEnabled())
                dialog.cbSelection->setChecked(Chance(50));
            const int choice = Pick(4);
            if (choice == 0)
                return int(QDialog::Rejected);
            return choice == 3 && dialog.edReplace ? TfmFind::kReplaceAll : int(QDialog::Accepted);
        };
        w.RunPropertiesDialog = [this](TfmProperties &dialog) {
            QLineEdit *edits[] = {dialog.edScriptID, dialog.edScriptName, dialog.edScriptMenu, dialog.edScriptHint};
            edits[Pick(4)]->setText(QString::fromLatin1(Word()));
            return Chance(70) ? int(QDialog::Accepted) : int(QDialog::Rejected);
        };
        w.RunOptionsDialog = [this](TfmOptions &) {
            return Chance(50) ? int(QDialog::Accepted) : int(QDialog::Rejected);
        };
        w.RunGoToLineDialog = [this](TfmGoToLine &dialog) {
            dialog.seLine->setValue(1 + Pick(dialog.seLine->maximum()));
            return int(QDialog::Accepted);
        };
        w.RunRecoveryPrompt = [](TfmRecoveryPrompt &) { return int(TfmRecoveryPrompt::raRecover); };
        m_clean = Editor().Text();
    }

    const char *Word()
    {
        static const char *const words[] = {"Sub", "Main", "x", "End", "a", "Dim", "kept", "'", " "};
        return words[Pick(int(std::size(words)))];
    }

    // The session's script files, which Save as and Open pick from.
    static constexpr int kFiles = 4;
    QString FilePath(int n) const { return m_dir.filePath(QStringLiteral("s%1.tvs").arg(n)); }
    QString SomePath() { return FilePath(Pick(kFiles)); }

    // One random action; plain edits are checked against the model.
    void Step()
    {
        m_dialogs.answers.clear();
        m_dialogs.files.clear();
        for (int i = 0; i < 4; ++i)
            m_dialogs.answers.push_back(Chance(50) ? mrYes : mrNo);
        const qsizetype errorsBefore = std::count(m_dialogs.types.begin(), m_dialogs.types.end(), mtError);
        if (Editor().LineCount() > 300) // keeps the session quick: a fresh script
            m_dialogs.answers.push_front(mrYes), Act("new", [&] { m_window->acNewExecute(); });
        const int roll = Pick(100);
        bool fileAction = false;
        if (roll < 30)
            TypeCharacter();
        else if (roll < 52)
            PressKey();
        else if (roll < 58)
            Act("click", [&] { QTest::mouseClick(Editor().viewport(), Qt::LeftButton, Modifiers(), Point()); });
        else if (roll < 62)
            Drag();
        else if (roll < 68)
            Clipboard();
        else if (roll < 70)
            Act("undo", [&] { m_window->acUndoExecute(); });
        else if (roll < 72)
            Act("redo", [&] { m_window->acRedoExecute(); });
        else if (roll < 76)
            Act("find", [&] {
                switch (Pick(4)) {
                case 0: m_window->acFindExecute(); break;
                case 1: m_window->acFindNextExecute(); break;
                case 2: m_window->acFindPreviousExecute(); break;
                default: m_window->acReplaceExecute(); break;
                }
            });
        else if (roll < 78)
            Act("properties", [&] {
                try {
                    m_window->acPropertiesExecute();
                } catch (const std::exception &) {
                    // The engine refuses a text that does not compile; the
                    // application's handler shows that, the document stays.
                }
            });
        else if (roll < 79)
            Act("options", [&] { m_window->acOptionsExecute(); });
        else if (roll < 80)
            Act("go to line", [&] { m_window->acGoToLineExecute(); });
        else if (roll < 96)
            fileAction = FileAction();
        else if (roll < 98)
            ChangeOnDisk(), fileAction = true;
        else
            CrashAndRecover(), fileAction = true;
        CheckInvariants(fileAction || m_actions % 25 == 0);
        // Errors are expected from nothing the session does.
        EXPECT_EQ(std::count(m_dialogs.types.begin(), m_dialogs.types.end(), mtError), errorsBefore)
            << m_dialogs.messages.last().toStdString() << " after " << m_last;
    }

    template <class F> void Act(const char *name, F action)
    {
        m_trail.push_back(m_last);
        if (m_trail.size() > 12)
            m_trail.pop_front();
        m_last = name;
        ++m_counts[name];
        action();
    }

    Qt::KeyboardModifiers Modifiers()
    {
        const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier};
        return mods[Pick(4)];
    }

    QPoint Point()
    {
        const QSize size = Editor().viewport()->size();
        return {Pick(std::max(size.width(), 1)), Pick(std::max(size.height(), 1))};
    }

    void TypeCharacter()
    {
        static const char alphabet[] = "abcxyz EDS'\"()=.,_019";
        const char c = alphabet[Pick(int(sizeof alphabet) - 1)];
        TzeCustomEdit &e = Editor();
        // A plain insert: no selection, insert mode, the caret within the text.
        const TPoint at = e.CaretXY();
        const bool plain = !e.SelAvail() && e.InsertMode() && !e.ReadOnly() && at.Y <= e.LineCount() &&
                           at.X <= int(e.Lines()[at.Y - 1].size()) + 1;
        std::vector<std::string> expected = LinesOf(e);
        if (plain) {
            expected[std::size_t(at.Y - 1)].insert(std::size_t(at.X - 1), 1, c);
            TrimRight(expected[std::size_t(at.Y - 1)]);
        }
        Act("type", [&] { QTest::keyClick(&e, c); });
        if (plain) {
            EXPECT_EQ(LinesOf(e), expected) << "typing '" << c << "' at (" << at.X << "," << at.Y << ")";
            EXPECT_EQ(e.CaretXY(), (TPoint{at.X + 1, at.Y}));
            EXPECT_TRUE(e.Modified());
        }
    }

    void PressKey()
    {
        const TKey key = m_keys[std::size_t(Pick(int(m_keys.size())))];
        TzeCustomEdit &e = Editor();
        const TPoint at = e.CaretXY();
        const bool inText = !e.SelAvail() && !e.ReadOnly() && at.Y <= e.LineCount() &&
                            at.X <= int(e.Lines()[at.Y - 1].size()) + 1 && key.modifiers == Qt::NoModifier;
        std::vector<std::string> expected = LinesOf(e);
        bool plain = false;
        // Backspace right after a line's leading blanks unindents: not a plain edit.
        const auto unindents = [&] {
            const std::string &line = expected[std::size_t(at.Y - 1)];
            return static_cast<unsigned char>(line[std::size_t(at.X - 2)]) <= 32 && at.X - 1 == e.LeftSpaces(line);
        };
        if (inText && key.key == Qt::Key_Backspace && at.X > 1 && !unindents()) {
            expected[std::size_t(at.Y - 1)].erase(std::size_t(at.X - 2), 1);
            plain = true;
        } else if (inText && key.key == Qt::Key_Delete && at.X <= int(expected[std::size_t(at.Y - 1)].size())) {
            expected[std::size_t(at.Y - 1)].erase(std::size_t(at.X - 1), 1);
            plain = true;
        }
        if (plain)
            TrimRight(expected[std::size_t(at.Y - 1)]);
        Act("key", [&] { QTest::keyClick(&e, key.key, key.modifiers); });
        m_last = QKeySequence(key.key | key.modifiers).toString().toStdString() + " at (" + std::to_string(at.X) +
                 "," + std::to_string(at.Y) + ") of " + std::to_string(expected.size()) + " lines";
        if (plain) {
            EXPECT_EQ(LinesOf(e), expected) << m_last;
        }
    }

    void Drag()
    {
        TzeCustomEdit &e = Editor();
        QWidget *view = e.viewport();
        // A press on the selection would start a drag of it, whose loop waits
        // for a real pointer: a click first drops the selection.
        const QPoint from = Point();
        if (e.SelAvail())
            QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, from);
        Act("drag", [&] {
            QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
            for (int i = 0, n = 1 + Pick(3); i < n; ++i)
                QTest::mouseMove(view, Point());
            QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, Point());
        });
        if (e.SelAvail() && Chance(50)) // then the editor's own drop of it, moved or copied
            Act("drop", [&] {
                const TPoint target{1 + Pick(20), 1 + Pick(std::max(e.LineCount(), 1))};
                e.DropSelection(target, e.BlockBegin(), e.BlockEnd(), Chance(50));
            });
    }

    void Clipboard()
    {
        switch (Pick(4)) {
        case 0: Act("copy", [&] { m_window->acCopyExecute(); }); break;
        case 1: Act("cut", [&] { m_window->acCutExecute(); }); break;
        case 2: Act("paste", [&] { m_window->acPasteExecute(); }); break;
        default:
            Act("clipboard from elsewhere", [&] {
                QGuiApplication::clipboard()->setText(QString::fromLatin1(Word()) +
                                                      (Chance(30) ? QStringLiteral("\r\nnext") : QString()));
            });
        }
    }

    // Save, save as, open or new, each question answered both ways.
    bool FileAction()
    {
        TfmScript &w = *m_window;
        std::map<QString, TFileStamp> stamps;
        for (int i = 0; i < kFiles; ++i)
            stamps[FilePath(i)] = StampOf(FilePath(i));
        const QString before = w.FileName();
        const bool wasModified = Editor().Modified();
        const int choice = Pick(4);
        switch (choice) {
        case 0:
            m_dialogs.files.push_back(SomePath());
            Act("save", [&] { w.acSaveExecute(); });
            break;
        case 1:
            m_dialogs.files.push_back(SomePath());
            m_dialogs.files.push_back(Chance(50) ? std::optional<QString>(SomePath()) : std::nullopt);
            Act("save as", [&] { w.acSaveAsExecute(); });
            break;
        case 2: {
            const QString path = SomePath();
            if (!QFileInfo::exists(path))
                return false;
            m_dialogs.files.push_back(path);
            Act("open", [&] { w.acOpenExecute(); });
            break;
        }
        default: Act("new", [&] { w.acNewExecute(); }); break;
        }
        if (Editor().Modified())
            return true;
        // A file written, or another document: a save, an open or a new one.
        const bool saved = !w.FileName().isEmpty() && stamps[w.FileName()] != StampOf(w.FileName());
        if (saved || w.FileName() != before || choice == 2 || (wasModified && choice == 3)) {
            m_clean = Editor().Text();
            if (!w.FileName().isEmpty()) {
                // Every save, and every open, reads back byte for byte.
                TScript back;
                EXPECT_TRUE(back.LoadFromFile(w.FileName().toStdString())) << back.LastError();
                EXPECT_EQ(back.Lines().Text(), m_clean) << "after " << m_last;
            }
        }
        return true;
    }

    // Another program writes the open file; the window gets the focus back.
    void ChangeOnDisk()
    {
        if (m_window->FileName().isEmpty())
            return;
        TScript other;
        other.Lines().SetText("' written by another program " + std::to_string(m_actions));
        ASSERT_TRUE(other.SaveToFile(m_window->FileName().toStdString())) << other.LastError();
        const bool wasModified = Editor().Modified();
        const std::string before = Editor().Text();
        const bool reload = Chance(50);
        m_dialogs.answers.push_front(reload ? mrYes : mrNo);
        Act("changed on disk", [&] { m_window->CheckFileOnDisk(); });
        if (reload) {
            EXPECT_EQ(Editor().Text(), other.Lines().Text());
            EXPECT_FALSE(Editor().Modified());
            m_clean = Editor().Text();
        } else {
            EXPECT_EQ(Editor().Text(), before) << "kept, modified before: " << wasModified;
            EXPECT_TRUE(Editor().Modified());
        }
    }

    // The process dies with its snapshot; the next start recovers it.
    void CrashAndRecover()
    {
        m_last = "crash";
        ++m_counts["crash and recover"];
        TfmScript &w = *m_window;
        const bool modified = Editor().Modified();
        w.Guard().WriteNow();
        ASSERT_EQ(w.Guard().HasSnapshot(), modified);
        const TRecoverySnapshot lost = w.MakeSnapshot();
        const std::string script[] = {w.Script().Name(), w.Script().Menu(), w.Script().ID(), w.Script().Hint(),
                                      w.Script().Main()};
        const QString fileName = w.FileName();
        w.Guard().Abandon();
        m_window.reset();
        Start();
        m_window->OfferRecovery();
        TfmScript &again = *m_window;
        if (!modified) {
            EXPECT_EQ(Editor().Text(), "Sub Main\r\n\r\nEnd Sub\r\n"); // nothing was offered
            return;
        }
        EXPECT_EQ(LinesOf(Editor()), lost.Lines);
        EXPECT_EQ(again.FileName(), fileName);
        EXPECT_TRUE(Editor().Modified());
        EXPECT_EQ(Editor().CaretXY(), (TPoint{lost.CaretX, lost.CaretY}));
        EXPECT_EQ(Editor().TopLine(), std::min(lost.TopLine, std::max(Editor().LineCount(), 1)));
        const std::string back[] = {again.Script().Name(), again.Script().Menu(), again.Script().ID(),
                                    again.Script().Hint(), again.Script().Main()};
        EXPECT_TRUE(std::equal(std::begin(script), std::end(script), std::begin(back)));
    }

    void CheckInvariants(bool withFile)
    {
        TzeCustomEdit &e = Editor();
        const int lines = std::max(e.LineCount(), 1);
        const auto inside = [&](TPoint p) {
            const int length = p.Y <= e.LineCount() ? int(e.Lines()[p.Y - 1].size()) : 0;
            return p.Y >= 1 && p.Y <= lines && p.X >= 1 && p.X <= std::max(e.MaxLeftChar(), length + 1);
        };
        EXPECT_TRUE(inside(e.CaretXY())) << "caret (" << e.CaretX() << "," << e.CaretY() << ") after " << m_last;
        EXPECT_TRUE(inside(e.BlockBegin()) && inside(e.BlockEnd())) << "selection after " << m_last;
        // Deleting lines does not pull the top line back (only setting it
        // clamps), so it may stand past the end for a while.
        EXPECT_GE(e.TopLine(), 1);
        // Not modified: the text is what was last opened, saved or made new.
        // Up to trailing blanks: undoing a character typed past the end of a
        // line leaves the blanks that padded it, and the save point then
        // counts the text as saved.
        if (!e.Modified()) {
            EXPECT_EQ(WithoutTrailingBlanks(e.Text()), WithoutTrailingBlanks(m_clean))
                << "unmodified but changed after " << m_last << Trail();
        }
        if (withFile && !e.Modified() && !m_window->FileName().isEmpty()) {
            // What is on disk is what the window shows (up to trailing blanks, as above).
            TScript back;
            ASSERT_TRUE(back.LoadFromFile(m_window->FileName().toStdString())) << back.LastError();
            EXPECT_EQ(WithoutTrailingBlanks(back.Lines().Text()), WithoutTrailingBlanks(e.Text()))
                << "after " << m_last << Trail();
            EXPECT_EQ(back.Hint(), m_window->Script().Hint());
            EXPECT_EQ(back.ID(), m_window->Script().ID());
        }
    }

    std::mt19937_64 m_random;
    std::vector<TKey> m_keys;
    QTemporaryDir m_dir;
    TFakeDialogs m_dialogs;
    std::unique_ptr<TfmScript> m_window;
    std::string m_clean; // the text as last opened, saved or made new
    std::string m_last = "start"; // the last action, for the messages
    std::deque<std::string> m_trail; // the actions before it

    std::string Trail() const
    {
        std::string trail = ", which followed:";
        for (const std::string &action : m_trail)
            trail += "\n  " + action;
        return trail;
    }
    long m_actions = 0;
    std::map<std::string, long> m_counts;
};

double SessionSeconds()
{
    const QByteArray value = qgetenv("QUENLO_SESSION_SECONDS");
    return value.isEmpty() ? 30.0 : std::max(value.toDouble(), 0.1);
}

void RunSession(std::uint64_t seed)
{
    const double seconds = SessionSeconds();
    std::cout << "random session: seed " << seed << " for " << seconds
              << " s (replay: QUENLO_SESSION_SEED=" << seed << ")" << std::endl;
    TSession session(seed);
    const bool ok = session.Run(seconds);
    std::cout << "random session: seed " << seed << ", " << session.Actions() << " actions";
    for (const auto &[name, count] : session.Counts())
        std::cout << ", " << name << " " << count;
    std::cout << std::endl;
    EXPECT_TRUE(ok) << "seed " << seed << " failed after " << session.Actions() << " actions";
    EXPECT_GT(session.Actions(), 0);
}

} // namespace

TEST(RandomSession, FixedSeed)
{
    RunSession(20251209);
}

TEST(RandomSession, SeedFromTheClockOrTheEnvironment)
{
    const QByteArray fixed = qgetenv("QUENLO_SESSION_SEED");
    RunSession(fixed.isEmpty() ? std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count())
                               : fixed.toULongLong());
}
