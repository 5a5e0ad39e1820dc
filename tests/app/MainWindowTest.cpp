// MainWindowTest.cpp: the main window's document workflow as a user meets it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QKeyEvent>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTemporaryDir>

#include "toolkit/VirtualKeys.h"
#include "toolkit/Win1252.h"
#include "storage/uStorage.h"
#include "editor/zeCustomEdit.h"
#include "editor/zeKeyCmds.h"
#include "app/uMain.h"
#include "app/uFind.h"
#include "app/uGoToLine.h"
#include "FakeDialogs.h"

namespace {

QStringList Lines(TzeCustomEdit &editor)
{
    QStringList out;
    for (int i = 0; i < editor.LineCount(); ++i)
        out << QString::fromStdString(std::string(editor.Lines()[i]));
    return out;
}

QString U(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Runs the event loop until it has waited once, as at an idle moment.
void RunUntilIdle()
{
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString MakeScript(const char *name, const std::string &text)
    {
        TScript script;
        script.Lines().SetText(text);
        script.SetName("made by the test");
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(script.SaveToFile(path.toStdString())) << script.LastError();
        return path;
    }

    void Type(TfmScript &w, const std::string &text)
    {
        w.Editor().SetCaretXY({1, 1});
        w.Editor().SetSelText(text); // an undoable change marks the editor modified
    }

    QTemporaryDir dir;
    TFakeDialogs dialogs;
};

} // namespace

TEST_F(MainWindow, StartsWithANewScript)
{
    TfmScript w({}, dialogs);
    EXPECT_EQ(Lines(w.Editor()), (QStringList{"Sub Main", "", "End Sub"}));
    EXPECT_EQ(w.Editor().CaretXY(), (TPoint{2, 2}));
    EXPECT_EQ(w.StatusPanel(0).text(), "(2,2)");
    EXPECT_EQ(w.StatusPanel(1).text(), "");
    EXPECT_FALSE(w.acSave->isEnabled());
    EXPECT_FALSE(w.acCut->isEnabled());
    EXPECT_FALSE(w.acCopy->isEnabled());
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor");
    EXPECT_FALSE(w.Editor().Modified());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainWindow, CommandLineFileOpensAndCaptionShowsOnlyItsName)
{
    const QString path = MakeScript("demo.tvs", "\r\nfirst was empty\r\nlast");
    TfmScript w({path}, dialogs);
    EXPECT_EQ(Lines(w.Editor()), (QStringList{"", "first was empty", "last"}));
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - demo.tvs");
    EXPECT_EQ(w.FileName(), path);
    EXPECT_FALSE(w.Editor().Modified());
    EXPECT_EQ(w.Script().Name(), "made by the test");
}

TEST_F(MainWindow, OneLineScriptShowsExactlyThatLine)
{
    const QString path = MakeScript("one.tvs", "MsgBox 1\r\n");
    TfmScript w({path}, dialogs);
    EXPECT_EQ(Lines(w.Editor()), QStringList{"MsgBox 1"});
}

TEST_F(MainWindow, UnopenableCommandLineFileIsReportedByName)
{
    const QString path = dir.filePath("broken.tvs");
    std::ofstream(path.toStdString()) << "not a compound file";
    TfmScript w({path}, dialogs);
    EXPECT_TRUE(dialogs.messages.isEmpty()); // shown once the window is up
    RunUntilIdle();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("broken.tvs")) << dialogs.messages[0].toStdString();
    EXPECT_EQ(dialogs.types[0], mtError);
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor");
    EXPECT_TRUE(w.FileName().isEmpty());
    EXPECT_EQ(Lines(w.Editor()), QStringList{""}); // the editor's initial empty line
    // Usable: the caret is shown where it stands and the panel says where.
    EXPECT_EQ(w.StatusPanel(0).text(), "(1,1)");
    w.show();
    w.activateWindow();
    RunUntilIdle();
    EXPECT_TRUE(w.Editor().CaretShown());
    QTest::keyClicks(&w.Editor(), "x");
    EXPECT_EQ(Lines(w.Editor()), QStringList{"x"});
    EXPECT_EQ(w.StatusPanel(0).text(), "(2,1)");
}

TEST_F(MainWindow, UndoNeverReachesIntoAnotherDocument)
{
    const QString longer = MakeScript("long.tvs", "Sub A\r\n\r\n\r\n\r\n\r\n\r\n\r\nEnd Sub");
    const QString shorter = MakeScript("short.tvs", "End Sub");
    TfmScript w({longer}, dialogs);
    TzeCustomEdit &editor = w.Editor();
    editor.SetCaretXY({1, 7});
    QTest::keyClicks(&editor, "Dim x");
    // New, then Ctrl+Z: nothing of the old records touches the new text.
    dialogs.answers.push_back(mrYes);
    w.acNewExecute();
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Lines(editor), (QStringList{"Sub Main", "", "End Sub"}));

    // Open from below the end of the shorter script: typing lands in it.
    w.OpenFile(longer);
    editor.SetCaretXY({3, 8});
    QTest::keyClicks(&editor, "Dim y");
    dialogs.answers.push_back(mrYes);
    dialogs.files.push_back(shorter);
    w.acOpenExecute();
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Lines(editor), QStringList{"End Sub"});
    EXPECT_EQ(editor.CaretXY(), (TPoint{1, 1}));
    QTest::keyClicks(&editor, "' ");
    EXPECT_EQ(Lines(editor), QStringList{"' End Sub"});
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Lines(editor), QStringList{"End Sub"});
}

TEST_F(MainWindow, CharactersAScriptCannotHoldAreNamedInTheStatusBar)
{
    TfmScript w({}, dialogs);
    TzeCustomEdit &editor = w.Editor();
    QKeyEvent alpha(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\u03b1"));
    QApplication::sendEvent(&editor, &alpha);
    EXPECT_EQ(w.statusBar()->currentMessage(), QString::fromUtf8("'\u03b1' cannot be stored in a script file"));
    EXPECT_EQ(Lines(editor), (QStringList{"Sub Main", "", "End Sub"}));

    QGuiApplication::clipboard()->setText(QString::fromUtf8("a\u2192b\u03b1\u03b2\u03b3\u03b4\u03b5\u03b6c"));
    w.UpdateActionStates();
    w.acPaste->trigger();
    EXPECT_EQ(w.statusBar()->currentMessage(),
              QString::fromUtf8("7 characters cannot be stored in a script file and were left out: "
                                "'\u2192', '\u03b1', '\u03b2', '\u03b3', '\u03b4', ..."));
    EXPECT_EQ(Lines(editor), (QStringList{"Sub Main", " abc", "End Sub"}));
}

TEST_F(MainWindow, DataLossQuestionOnlyWhenModified)
{
    const QString path = MakeScript("a.tvs", "a");
    TfmScript w({}, dialogs);
    dialogs.files.push_back(path);
    w.acOpenExecute();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(Lines(w.Editor()), QStringList{"a"});

    Type(w, "x");
    ASSERT_TRUE(w.Editor().Modified());
    dialogs.answers.push_back(mrNo);
    w.acNewExecute();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], "Warning, you will lose any changes you have made, continue?");
    EXPECT_EQ(dialogs.lastButtons, mbYes | mbNo);
    EXPECT_EQ(dialogs.lastDefault, mbNo); // Enter keeps the work
    EXPECT_EQ(Lines(w.Editor()), QStringList{"xa"}); // nothing changed
    EXPECT_EQ(w.FileName(), path);

    // The question comes before the file dialog; No shows no dialog.
    dialogs.answers.push_back(mrNo);
    w.acOpenExecute();
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.fileDialogs.size() == 1);

    dialogs.answers.push_back(mrYes);
    w.acNewExecute();
    EXPECT_EQ(Lines(w.Editor()), (QStringList{"Sub Main", "", "End Sub"}));
    EXPECT_TRUE(w.FileName().isEmpty());
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor");
}

TEST_F(MainWindow, SaveOfANewDocumentAsksForAPathAndCancelChangesNothing)
{
    TfmScript w({}, dialogs);
    Type(w, "x");
    w.UpdateActionStates();
    EXPECT_TRUE(w.acSave->isEnabled());
    w.acSaveExecute(); // cancelled
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, "Save script");
    EXPECT_EQ(dialogs.fileDialogs[0].defaultExt, "tvs");
    EXPECT_EQ(dialogs.fileDialogs[0].filter, "Tavrix scripts (*.tvs)|*.tvs|All files (*.*)|*.*");
    EXPECT_TRUE(w.FileName().isEmpty());
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor");
    EXPECT_TRUE(w.Editor().Modified());

    const QString path = dir.filePath("saved.tvs");
    dialogs.files.push_back(path);
    w.acSaveExecute();
    EXPECT_EQ(w.FileName(), path);
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - saved.tvs");
    EXPECT_FALSE(w.Editor().Modified());
    EXPECT_FALSE(w.acSave->isEnabled());

    TScript back;
    ASSERT_TRUE(back.LoadFromFile(path.toStdString()));
    EXPECT_EQ(back.Lines().Text(), w.Editor().Lines().Text());

    // Reopen after an edit and a plain Save.
    Type(w, "y");
    w.acSaveExecute();
    EXPECT_EQ(dialogs.fileDialogs.size(), 2u); // no dialog for a named document
    TfmScript other({path}, dialogs);
    EXPECT_EQ(Lines(other.Editor()), Lines(w.Editor()));
}

TEST_F(MainWindow, FailedSaveKeepsCaptionFileNameAndModified)
{
    const QString path = MakeScript("keep.tvs", "a");
    TfmScript w({path}, dialogs);
    Type(w, "x");
    dialogs.files.push_back(dir.filePath("no/such/folder/x.tvs"));
    w.acSaveAsExecute();
    ASSERT_EQ(dialogs.messages.size(), 1);
    // The fixed text, then why on a line of its own.
    const QStringList message = dialogs.messages[0].split('\n');
    ASSERT_EQ(message.size(), 2) << dialogs.messages[0].toStdString();
    EXPECT_EQ(message[0], "Could not save script as an error occurred");
    EXPECT_TRUE(message[1].contains("No such file or directory")) << message[1].toStdString();
    EXPECT_EQ(dialogs.lastButtons, mbOK);
    EXPECT_EQ(w.FileName(), path);
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - keep.tvs");
    EXPECT_TRUE(w.Editor().Modified());
}

TEST_F(MainWindow, FailedOpenLeavesTheEditorAsItWas)
{
    const QString path = MakeScript("first.tvs", "kept");
    TfmScript w({path}, dialogs);
    dialogs.files.push_back(dir.filePath("missing.tvs"));
    w.acOpenExecute();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("missing.tvs"));
    EXPECT_EQ(Lines(w.Editor()), QStringList{"kept"});
    EXPECT_EQ(w.FileName(), path);
    EXPECT_EQ(w.Script().Name(), "made by the test");
}

TEST_F(MainWindow, ClosingAModifiedDocumentAsksAndNoKeepsTheWindow)
{
    TfmScript w({}, dialogs);
    w.show();
    EXPECT_TRUE(w.close()); // unmodified: no question
    EXPECT_TRUE(dialogs.messages.isEmpty());
    w.show();
    Type(w, "x");
    dialogs.answers.push_back(mrNo);
    w.acExit->trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(dialogs.messages.size(), 1);
    dialogs.answers.push_back(mrYes);
    EXPECT_TRUE(w.close());
}

TEST_F(MainWindow, ClipboardActionsFollowSelectionAndClipboard)
{
    TfmScript w({}, dialogs);
    w.Editor().SetBlockBegin({1, 1});
    w.Editor().SetBlockEnd({4, 1});
    w.UpdateActionStates();
    EXPECT_TRUE(w.acCut->isEnabled());
    EXPECT_TRUE(w.acCopy->isEnabled());
    w.acCopy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Sub");
    w.UpdateActionStates();
    EXPECT_TRUE(w.acPaste->isEnabled());

    // A selection beyond the end of a line holds no text.
    w.Editor().SetBlockBegin({5, 2});
    w.Editor().SetBlockEnd({9, 2});
    w.UpdateActionStates();
    EXPECT_FALSE(w.acCopy->isEnabled());

    QGuiApplication::clipboard()->clear();
    RunUntilIdle(); // idle recomputes the states
    EXPECT_FALSE(w.acPaste->isEnabled());

    w.Editor().SetBlockBegin({1, 3});
    w.Editor().SetBlockEnd({4, 3});
    RunUntilIdle();
    ASSERT_TRUE(w.acCut->isEnabled());
    w.acCut->trigger();
    EXPECT_EQ(Lines(w.Editor()), (QStringList{"Sub Main", "", " Sub"}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "End");
    w.Editor().SetCaretXY({1, 2});
    RunUntilIdle();
    w.acPaste->trigger();
    EXPECT_EQ(Lines(w.Editor()), (QStringList{"Sub Main", "End", " Sub"}));
}

TEST_F(MainWindow, Screenshot)
{
    // A real script, highlighted, with a selection and two bookmarks. Run with
    // QT_SCALE_FACTOR=2 it writes the 200 % picture beside the 100 % one.
    std::ifstream in(QUENLO_TEST_DATA "/vbscript/valid/realistic.vbs", std::ios::binary);
    const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(script.empty());
    const QString path = MakeScript("shot.tvs", script);
    TfmScript w({path}, dialogs);
    w.resize(724, 525);
    w.show();
    QCoreApplication::processEvents();
    TzeCustomEdit &edit = w.Editor();
    edit.SetBookmark(1, 1, 9);
    edit.SetBookmark(2, 1, 24);
    edit.SetBlockBegin({5, 11});
    edit.SetBlockEnd({40, 13});
    edit.setFocus();
    QCoreApplication::processEvents();
    const bool scaled = w.devicePixelRatioF() > 1;
    const QString out = QString::fromUtf8(QUENLO_SOURCE_DIR "/build/") +
                        (scaled ? QStringLiteral("main-window@2x.png") : QStringLiteral("main-window.png"));
    QDir().mkpath(QFileInfo(out).absolutePath());
    EXPECT_TRUE(w.grab().save(out));
    // The File and Edit menus, with their shortcuts.
    QList<QAction *> menus = w.menuBar()->actions().mid(0, 2);
    menus << w.mnRecent->menuAction();
    for (QAction *item : menus) {
        QMenu *menu = item->menu();
        menu->popup(w.mapToGlobal(QPoint(0, 0)));
        QCoreApplication::processEvents();
        const QString name = item->text().remove('&').section(' ', 0, 0).toLower();
        EXPECT_TRUE(menu->grab().save(QString::fromUtf8(QUENLO_SOURCE_DIR "/build/menu-%1.png").arg(name)));
        menu->hide();
    }
}

TEST_F(MainWindow, FileShortcutsWorkAndTakeNoKeyOfTheEditorsTable)
{
    TfmScript w({}, dialogs);
    // The clipboard, undo, select all and delete line share their keys with
    // the editor's own commands on purpose: the menus show those bindings.
    const QList<QAction *> ownKeys = {w.acCut,  w.acCopy, w.acPaste,     w.acUndo,
                                      w.acRedo, w.acDeleteLine, w.acSelectAll};
    int checked = 0;
    for (QAction *action : w.actions()) {
        if (action->shortcut().isEmpty() || ownKeys.contains(action))
            continue;
        const QKeyCombination key = action->shortcut()[0];
        const int index = w.Editor().Keystrokes().IndexOfKey(VirtualKeyFromQt(key.key()),
                                                             ShiftStateFromQt(key.keyboardModifiers()));
        EXPECT_EQ(index, -1) << action->shortcut().toString().toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 3);

    w.show();
    w.activateWindow();
    RunUntilIdle();
    TzeCustomEdit &editor = w.Editor();
    QTest::keyClick(&editor, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, "Open script");
    QTest::keyClick(&editor, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(dialogs.fileDialogs[1].title, "Save script");

    const QString path = dir.filePath("keys.tvs");
    dialogs.files.push_back(path);
    QTest::keyClicks(&editor, "x");
    RunUntilIdle(); // Save is enabled at idle
    QTest::keyClick(&editor, Qt::Key_S, Qt::ControlModifier); // a new document: Save asks for a name
    EXPECT_EQ(w.FileName(), path);
    EXPECT_FALSE(editor.Modified());
    QTest::keyClicks(&editor, "y");
    RunUntilIdle();
    QTest::keyClick(&editor, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.fileDialogs.size(), 3u);
    EXPECT_FALSE(editor.Modified());
    TScript back;
    ASSERT_TRUE(back.LoadFromFile(path.toStdString()));
    EXPECT_EQ(back.Lines().Text(), editor.Lines().Text());
    EXPECT_EQ(Lines(editor)[1], " xy");
}

TEST_F(MainWindow, GoToLineShowsTheRangeAndMovesTheCaretToTheLineStart)
{
    std::string text;
    for (int i = 1; i <= 500; ++i)
        text += "    line " + std::to_string(i) + "\r\n";
    TfmScript w({MakeScript("long.tvs", text)}, dialogs);
    w.resize(600, 300);
    w.show();
    QCoreApplication::processEvents();
    TzeCustomEdit &editor = w.Editor();
    editor.SetCaretXY({3, 7});
    ASSERT_EQ(editor.CaretY(), 7);
    int shown = 0;
    QString shot;
    w.RunGoToLineDialog = [&](TfmGoToLine &d) {
        ++shown;
        EXPECT_EQ(d.lbLine->text(), "&Line number (1 - 500):");
        EXPECT_EQ(d.Line(), shown == 1 ? 7 : 3); // starts at the caret's line
        d.seLine->setValue(900); // beyond the end: the range keeps it to the last line
        EXPECT_EQ(d.Line(), 500);
        d.seLine->setValue(420);
        if (shown == 1) {
            d.show();
            shot = QString::fromUtf8(QUENLO_SOURCE_DIR "/build/go-to-line.png");
            EXPECT_TRUE(d.grab().save(shot));
            return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    };
    w.acGoToLine->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(editor.CaretXY(), (TPoint{1, 420}));
    EXPECT_LE(editor.TopLine(), 420);
    EXPECT_LT(420, editor.TopLine() + editor.LinesInWindow());
    EXPECT_EQ(w.StatusPanel(0).text(), "(1,420)");
    EXPECT_EQ(w.acGoToLine->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));

    editor.SetCaretXY({2, 3}); // Cancel leaves the caret
    w.acGoToLine->trigger();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(editor.CaretXY(), (TPoint{2, 3}));
}

TEST_F(MainWindow, PlainVbsOpensAsANewScriptAndExportWritesCrLfWindows1252)
{
    struct Case {
        const char *name;
        std::string bytes;
        QStringList lines; // as the editor holds them, Windows-1252 shown as Unicode
        QString status;    // the status bar's note; empty for none
    };
    const std::string alpha = "\xCE\xB1", arrow = "\xE2\x86\x92";
    const Case cases[] = {
        {"plain.vbs", "Sub A\r\n  s = \"\xE9\x80\"\r\nEnd Sub\r\n", {"Sub A", U("  s = \"\u00e9\u20ac\""), "End Sub"}, {}},
        {"utf8.VBS", "\xEF\xBB\xBFx = \"\xC3\xA9" + arrow + alpha + "\"\ny", {U("x = \"\u00e9\""), "y"},
         U("2 characters cannot be stored in a script file and were left out: '\u2192', '\u03b1'")},
        {"le.vbs", std::string("\xFF\xFE" "a\0\r\0\n\0\xAC\x20", 10), {"a", U("\u20ac")}, {}},
        {"be.vbs", std::string("\xFE\xFF\0a\x03\xB1\0b", 8), {"ab"},
         U("1 character cannot be stored in a script file and was left out: '\u03b1'")},
    };
    TfmScript w({}, dialogs);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        std::ofstream(path.toStdString(), std::ios::binary) << c.bytes;
        w.statusBar()->clearMessage();
        dialogs.answers.push_back(mrYes); // the previous import is unsaved
        dialogs.files.push_back(path);
        w.acOpenExecute();
        QStringList shown;
        for (int i = 0; i < w.Editor().LineCount(); ++i)
            shown << Win1252::ToUnicode(w.Editor().Lines()[i]);
        EXPECT_EQ(shown, c.lines);
        EXPECT_EQ(w.statusBar()->currentMessage(), c.status);
        EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - new script from " + QString::fromLatin1(c.name));
        EXPECT_TRUE(w.FileName().isEmpty());
        EXPECT_TRUE(w.Editor().Modified());
        EXPECT_TRUE(w.Script().Name().empty());
    }
    EXPECT_EQ(dialogs.fileDialogs[0].filter,
              "Tavrix scripts (*.tvs)|*.tvs|VBScript files (*.vbs)|*.vbs|All files (*.*)|*.*");
    EXPECT_TRUE(dialogs.messages.size() == 3u); // only the data-loss questions
    const QStringList before = Lines(w.Editor());

    // Not valid after its mark: refused, the editor unchanged.
    const QString broken = dir.filePath("broken.vbs");
    std::ofstream(broken.toStdString(), std::ios::binary) << "\xEF\xBB\xBF" "a\xC3";
    dialogs.answers.push_back(mrYes);
    EXPECT_FALSE(w.OpenFile(broken));
    EXPECT_TRUE(dialogs.messages.last().endsWith("not valid UTF-8 (after its byte-order mark)"))
        << dialogs.messages.last().toStdString();
    EXPECT_EQ(Lines(w.Editor()), before);

    // Export: CR LF after every line, Windows-1252; it reads back the same.
    w.Editor().SetText("Sub A\n  s = \"\xE9\x80\"\nEnd Sub");
    const QString exported = dir.filePath("out.vbs");
    dialogs.files.push_back(exported);
    w.acExportText->trigger();
    EXPECT_EQ(dialogs.fileDialogs.back().title, "Export text");
    EXPECT_EQ(dialogs.fileDialogs.back().filter, "VBScript files (*.vbs)|*.vbs");
    EXPECT_EQ(dialogs.fileDialogs.back().defaultExt, "vbs");
    QFile file(exported);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Sub A\r\n  s = \"\xE9\x80\"\r\nEnd Sub\r\n"));
    EXPECT_TRUE(w.Editor().Modified()); // an export is no save

    // Save of an imported script asks for a script file's name.
    const QString saved = dir.filePath("saved.tvs");
    dialogs.files.push_back(saved);
    w.acSaveExecute();
    EXPECT_EQ(dialogs.fileDialogs.back().title, "Save script");
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - saved.tvs");
    EXPECT_FALSE(w.Editor().Modified());
}

TEST_F(MainWindow, AFileWithoutWriteAccessOpensForViewingAndSaveGoesToSaveAs)
{
    const QString path = MakeScript("view.tvs", "Sub Main\r\nEnd Sub");
    // Root ignores file modes: the seam makes the open for writing fail.
    SetStorageFaultInjector([](std::string_view step) { return step == "open-write"; });
    TfmScript w({path}, dialogs);
    SetStorageFaultInjector({});
    TzeCustomEdit &editor = w.Editor();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(Lines(editor), (QStringList{"Sub Main", "End Sub"}));
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - view.tvs [read-only]");
    EXPECT_TRUE(w.ReadOnlyFile());
    EXPECT_TRUE(editor.ReadOnly());
    w.show();
    w.activateWindow();
    RunUntilIdle();
    QTest::keyClicks(&editor, "x");
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(Lines(editor), (QStringList{"Sub Main", "End Sub"}));
    EXPECT_FALSE(editor.Modified());
    editor.SetBlockBegin({1, 1});
    editor.SetBlockEnd({4, 1});
    QGuiApplication::clipboard()->setText("pasted");
    w.UpdateActionStates();
    EXPECT_TRUE(w.acCopy->isEnabled());
    EXPECT_FALSE(w.acCut->isEnabled());
    EXPECT_FALSE(w.acPaste->isEnabled());

    w.acSaveExecute(); // to Save as; cancelled
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, "Save script");
    EXPECT_EQ(w.FileName(), path);

    const QString copy = dir.filePath("copy.tvs");
    dialogs.files.push_back(copy);
    w.acSaveExecute();
    EXPECT_EQ(w.FileName(), copy);
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - copy.tvs");
    EXPECT_FALSE(editor.ReadOnly());
    EXPECT_FALSE(w.ReadOnlyFile());
    QTest::keyClicks(&editor, "x"); // replaces the selected "Sub"
    EXPECT_EQ(Lines(editor)[0], "x Main");

    dialogs.answers.push_back(mrYes);
    w.acNewExecute(); // a new document is editable and named nothing
    EXPECT_FALSE(editor.ReadOnly());
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor");
}

TEST_F(MainWindow, DroppedFilesOpenAsWithFileOpenAfterTheDataLossQuestion)
{
    const QString script = MakeScript("dropped.tvs", "' dropped");
    const QString plain = dir.filePath("plain.VBS");
    std::ofstream(plain.toStdString(), std::ios::binary) << "MsgBox 1\r\n";
    const QString other = dir.filePath("notes.txt");
    std::ofstream(other.toStdString()) << "x";
    TfmScript w({}, dialogs);
    w.show();
    // Sends a drag over the editor and, when accepted, drops it; true when accepted.
    const auto drop = [&](const QStringList &paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        const QPoint at = w.Editor().geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        QCoreApplication::processEvents(); // the open follows the drop
        return true;
    };
    EXPECT_TRUE(w.acceptDrops());
    EXPECT_FALSE(w.Editor().acceptDrops()); // a drop on the editor reaches the window
    EXPECT_FALSE(drop({other}));
    EXPECT_TRUE(Lines(w.Editor()) == (QStringList{"Sub Main", "", "End Sub"}));

    Type(w, "x");
    dialogs.answers.push_back(mrNo);
    EXPECT_TRUE(drop({other, script})); // the first script among the files
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], "Warning, you will lose any changes you have made, continue?");
    EXPECT_TRUE(w.FileName().isEmpty());
    dialogs.answers.push_back(mrYes);
    EXPECT_TRUE(drop({script}));
    EXPECT_EQ(w.FileName(), script);
    EXPECT_EQ(Lines(w.Editor()), QStringList{"' dropped"});
    EXPECT_TRUE(drop({plain})); // unmodified: no question
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(Lines(w.Editor()), QStringList{"MsgBox 1"});
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - new script from plain.VBS");
}

TEST_F(MainWindow, FindWithNextPreviousWrapWholeWordAndSelection)
{
    std::string text = "Dim x\r\n";
    for (int i = 0; i < 300; ++i)
        text += "  y = " + std::to_string(i) + "\r\n";
    text += "  dim xy: DIM x\r\nDim x";
    TfmScript w({MakeScript("find.tvs", text)}, dialogs);
    w.resize(600, 300);
    w.show();
    w.activateWindow();
    RunUntilIdle();
    TzeCustomEdit &editor = w.Editor();
    const auto selection = [&] { return std::pair{editor.BlockBegin(), editor.BlockEnd()}; };
    using Sel = std::pair<TPoint, TPoint>;
    int asked = 0;
    QString typed = "dim x";
    bool matchCase = false, wholeWord = false, inSelection = false;
    w.RunFindDialog = [&](TfmFind &d) {
        ++asked;
        if (asked == 1) {
            d.show();
            EXPECT_TRUE(d.grab().save(QString::fromUtf8(QUENLO_SOURCE_DIR "/build/find.png")));
        }
        d.edFind->setText(typed);
        d.cbMatchCase->setChecked(matchCase);
        d.cbWholeWord->setChecked(wholeWord);
        if (inSelection) {
            EXPECT_TRUE(d.cbSelection->isEnabled() && d.cbSelection->isChecked());
        }
        d.cbSelection->setChecked(inSelection);
        return int(QDialog::Accepted);
    };
    QTest::keyClick(&editor, Qt::Key_F3); // nothing searched yet: asks
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(selection(), (Sel{{1, 1}, {6, 1}})); // from the caret at the start, in any case
    QTest::keyClick(&editor, Qt::Key_F3);
    EXPECT_EQ(selection(), (Sel{{3, 302}, {8, 302}})); // inside "dim xy" too
    EXPECT_LE(editor.TopLine(), 302);
    EXPECT_LT(302, editor.TopLine() + editor.LinesInWindow());
    QTest::keyClick(&editor, Qt::Key_F3);
    EXPECT_EQ(selection(), (Sel{{11, 302}, {16, 302}}));
    QTest::keyClick(&editor, Qt::Key_F3);
    EXPECT_EQ(selection(), (Sel{{1, 303}, {6, 303}}));
    EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty());
    QTest::keyClick(&editor, Qt::Key_F3); // wraps to the first line
    EXPECT_EQ(selection(), (Sel{{1, 1}, {6, 1}}));
    EXPECT_EQ(w.statusBar()->currentMessage(), "Passed the end of the script; continued from its start");
    QTest::keyClick(&editor, Qt::Key_F3, Qt::ShiftModifier); // and back
    EXPECT_EQ(selection(), (Sel{{1, 303}, {6, 303}}));
    EXPECT_EQ(w.statusBar()->currentMessage(), "Passed the start of the script; continued from its end");
    QTest::keyClick(&editor, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(selection(), (Sel{{11, 302}, {16, 302}}));
    EXPECT_EQ(editor.CaretXY(), (TPoint{16, 302}));

    // Case and whole word: only "Dim x" of the first and last lines.
    matchCase = wholeWord = true;
    typed = "Dim x";
    editor.SetCaretXY({1, 2});
    QTest::keyClick(&editor, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(selection(), (Sel{{1, 303}, {6, 303}}));
    QTest::keyClick(&editor, Qt::Key_F3);
    EXPECT_EQ(selection(), (Sel{{1, 1}, {6, 1}}));

    // In a selection of several lines: "y" only between lines 5 and 6.
    matchCase = wholeWord = false;
    inSelection = true;
    typed = "y";
    editor.SetBlockBegin({1, 5});
    editor.SetBlockEnd({3, 6});
    w.acFind->trigger();
    EXPECT_EQ(selection(), (Sel{{3, 5}, {4, 5}}));
    w.acFindNext->trigger(); // line 6's "y" begins at column 3, past the selection's end
    EXPECT_EQ(selection(), (Sel{{3, 5}, {4, 5}}));
    EXPECT_EQ(w.statusBar()->currentMessage(), "Passed the end of the selection; continued from its start");

    inSelection = false;
    typed = QString::fromUtf8("\u03b1 nowhere");
    w.acFind->trigger();
    EXPECT_EQ(w.statusBar()->currentMessage(), QString::fromUtf8("\"\u03b1 nowhere\" was not found"));
    EXPECT_FALSE(editor.Modified());
}

TEST_F(MainWindow, ReplaceOneThenAllAsOneUndoStep)
{
    TfmScript w({MakeScript("replace.tvs", "x = 1\r\nx = x + 1 ' x\r\nxx = 2\r\nMsgBox x")}, dialogs);
    TzeCustomEdit &editor = w.Editor();
    int result = QDialog::Accepted;
    w.RunFindDialog = [&](TfmFind &d) {
        EXPECT_EQ(d.windowTitle(), "Replace");
        d.edFind->setText("x");
        d.edReplace->setText(result == QDialog::Accepted ? QString::fromUtf8("count\u03b1") : QString("count"));
        d.cbWholeWord->setChecked(true);
        if (result == TfmFind::kReplaceAll) {
            d.show();
            EXPECT_TRUE(d.grab().save(QString::fromUtf8(QUENLO_SOURCE_DIR "/build/replace.png")));
        }
        return result;
    };
    w.acReplace->trigger(); // nothing selected yet: finds the first
    EXPECT_EQ(Lines(editor)[0], "x = 1");
    EXPECT_EQ(editor.BlockBegin(), (TPoint{1, 1}));
    w.acReplace->trigger(); // replaces it, finds the next
    EXPECT_EQ(Lines(editor)[0], "count = 1");
    EXPECT_EQ(w.statusBar()->currentMessage(), QString::fromUtf8("1 character cannot be stored in a script file and "
                                                                 "was left out: '\u03b1'"));
    EXPECT_EQ(editor.BlockBegin(), (TPoint{1, 2}));
    EXPECT_TRUE(editor.Modified());

    result = TfmFind::kReplaceAll; // the rest, "xx" being no whole word x
    w.acReplace->trigger();
    const QStringList all{"count = 1", "count = count + 1 ' count", "xx = 2", "MsgBox count"};
    EXPECT_EQ(Lines(editor), all);
    EXPECT_EQ(w.statusBar()->currentMessage(), "4 occurrences replaced");
    editor.Undo(); // one step takes all four back
    EXPECT_EQ(Lines(editor), (QStringList{"count = 1", "x = x + 1 ' x", "xx = 2", "MsgBox x"}));
    editor.Redo();
    EXPECT_EQ(Lines(editor), all);

    // Inside a selection of lines 2 to 3 only, with "count" as the word now.
    w.RunFindDialog = [&](TfmFind &d) {
        EXPECT_TRUE(d.cbSelection->isChecked());
        d.edFind->setText("count");
        d.edReplace->setText("n");
        return int(TfmFind::kReplaceAll);
    };
    editor.SetBlockBegin({1, 2});
    editor.SetBlockEnd({10, 3});
    w.acReplace->trigger();
    EXPECT_EQ(Lines(editor), (QStringList{"count = 1", "n = n + 1 ' n", "xx = 2", "MsgBox count"}));
    EXPECT_EQ(w.statusBar()->currentMessage(), "3 occurrences replaced");
}

TEST_F(MainWindow, RightClickOffersTheClipboardActions)
{
    TfmScript w({}, dialogs);
    QMenu *popup = w.Editor().PopupMenu();
    ASSERT_NE(popup, nullptr);
    QList<QAction *> items;
    for (QAction *a : popup->actions())
        if (!a->isSeparator())
            items << a;
    EXPECT_EQ(items, (QList<QAction *>{w.acUndo, w.acRedo, w.acCut, w.acCopy, w.acPaste, w.acSelectAll}));
}
