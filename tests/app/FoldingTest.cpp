// FoldingTest.cpp: folding through the main window: every command that takes
// the caret into a folded region opens just what hides it; folded lines stay
// in the text that is typed, saved and copied; View > Folding off shows
// everything and is remembered.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "toolkit/Registry.h"
#include "storage/uStorage.h"
#include "editor/zeCustomEdit.h"
#include "editor/zeView.h"
#include "app/uFind.h"
#include "app/uGoToLine.h"
#include "app/uMain.h"
#include "app/uProcedureBox.h"
#include "tests/highlight/RegistrySandbox.h"
#include "FakeDialogs.h"

namespace {

// Regions: comments 1-3, Class 4-8, Sub Greet 5-7, Main 9-17, For 12-14, Broken 18-20.
const char kScript[] = "' Greets people.\r\n"             // 1
                       "' Three comment lines\r\n"        // 2
                       "' make a run.\r\n"                // 3
                       "Class Greeter\r\n"                // 4
                       "  Public Sub Greet(who)\r\n"      // 5
                       "    MsgBox \"Hello \" & who\r\n"  // 6
                       "  End Sub\r\n"                    // 7
                       "End Class\r\n"                    // 8
                       "Sub Main\r\n"                     // 9
                       "  Dim g, total\r\n"               // 10
                       "  Set g = New Greeter\r\n"        // 11
                       "  For i = 1 To 3\r\n"             // 12
                       "    total = total + i\r\n"        // 13
                       "  Next\r\n"                       // 14
                       "  g.Greet \"world\"\r\n"          // 15
                       "  MsgBox total\r\n"               // 16
                       "End Sub\r\n"                      // 17
                       "Sub Broken\r\n"                   // 18
                       "  x = 1 +\r\n"                    // 19
                       "End Sub\r\n";                     // 20

const std::vector<int> kAllFolded{1, 4, 5, 9, 12, 18};

// The first lines of the regions folded now.
std::vector<int> Folded(const TzeCustomEdit &e)
{
    std::vector<int> lines;
    for (const TzeFoldRange &r : e.View().Folds().Regions())
        if (e.View().Folds().IsFolded(r.First))
            lines.push_back(r.First);
    return lines;
}

// A Find or Replace form that answers with find (whole words) and replacement.
std::function<int(TfmFind &)> Answer(const QString &find, const QString &replacement = {},
                                     int result = QDialog::Accepted)
{
    return [=](TfmFind &d) {
        d.edFind->setText(find);
        if (d.edReplace)
            d.edReplace->setText(replacement);
        d.cbWholeWord->setChecked(true);
        return result;
    };
}

class Folding : public RegistrySandboxTest {
protected:
    QString MakeScript(const std::string &text = kScript)
    {
        TScript script;
        script.Lines().SetText(text);
        const QString path = dir.filePath(QStringLiteral("folding.tvs"));
        EXPECT_TRUE(script.SaveToFile(path.toStdString())) << script.LastError();
        return path;
    }

    QTemporaryDir dir;
    TFakeDialogs dialogs;
};

struct TJump {
    const char *name;
    std::function<void(TfmScript &)> run;
    TPoint caret;
    std::vector<int> folded; // what stays folded: only what hid the caret opens
};

TEST_F(Folding, EveryJumpIntoAFoldedRegionShowsTheCaretLine)
{
    // An edit on line 13, then everything folded: undo and redo must open
    // Main and the For again.
    const auto editThenFold = [](TfmScript &w) {
        w.Editor().UnfoldAll();
        w.Editor().SetCaretXY({5, 13});
        w.Editor().SetSelText("grand");
        w.Editor().FoldAll();
    };
    const TJump jumps[] = {
        {"go to line",
         [](TfmScript &w) {
             w.RunGoToLineDialog = [](TfmGoToLine &d) {
                 d.seLine->setValue(13);
                 return int(QDialog::Accepted);
             };
             w.acGoToLine->trigger();
         },
         {1, 13}, {1, 4, 5, 18}},
        {"find",
         [](TfmScript &w) {
             w.RunFindDialog = Answer("MsgBox");
             w.acFind->trigger();
         },
         {11, 6}, {1, 9, 12, 18}},
        {"find next",
         [](TfmScript &w) {
             w.RunFindDialog = Answer("MsgBox");
             w.acFind->trigger(); // line 6
             w.Editor().FoldAll();
             w.Editor().SetCaretXY({1, 9});
             w.acFindNext->trigger();
         },
         {9, 16}, {1, 4, 5, 12, 18}},
        {"replace",
         [](TfmScript &w) {
             // The selected class name on the folded header is replaced; the
             // next match lies hidden in Main.
             w.RunFindDialog = Answer("Greeter", "Welcomer");
             w.Editor().SetBlockBegin({7, 4});
             w.Editor().SetBlockEnd({14, 4});
             w.acReplace->trigger();
             EXPECT_EQ(w.Editor().Lines()[3], "Class Welcomer");
         },
         {22, 11}, {1, 4, 5, 12, 18}},
        {"replace all",
         [](TfmScript &w) {
             // From line 6 to line 16, hidden in Main: the caret ends there.
             w.RunFindDialog = Answer("MsgBox", "Print", TfmFind::kReplaceAll);
             w.acReplace->trigger();
             EXPECT_EQ(w.Editor().Lines()[15], "  Print total");
         },
         {14, 16}, {1, 12, 18}},
        {"syntax check", [](TfmScript &w) { w.acSyntaxCheckExecute(); }, {10, 19}, {1, 4, 5, 9, 12}},
        {"bookmark",
         [](TfmScript &w) {
             w.Editor().SetBookmark(3, 5, 13);
             QTest::keyClick(&w.Editor(), Qt::Key_3, Qt::ControlModifier);
         },
         {5, 13}, {1, 4, 5, 18}},
        {"undo",
         [&](TfmScript &w) {
             editThenFold(w);
             w.acUndoExecute();
             EXPECT_EQ(w.Editor().Lines()[12], "    total = total + i");
         },
         {5, 13}, {1, 4, 5, 18}},
        {"redo",
         [&](TfmScript &w) {
             editThenFold(w);
             w.acUndoExecute();
             w.Editor().FoldAll();
             w.acRedoExecute();
             EXPECT_EQ(w.Editor().Lines()[12], "    grandtotal = total + i");
         },
         {10, 13}, {1, 4, 5, 18}},
        {"procedure box",
         [](TfmScript &w) {
             TProcedureBox &box = w.ProcedureBox();
             const int i = box.findText(QStringLiteral("Greeter.Greet"));
             ASSERT_GE(i, 0);
             box.setCurrentIndex(i);
             emit box.activated(i);
         },
         {14, 5}, {1, 5, 9, 12, 18}},
        {"go to definition",
         [](TfmScript &w) {
             w.Editor().SetCaretXY({6, 15}); // in "Greet" of the call, which opens Main
             QTest::keyClick(&w.Editor(), Qt::Key_F12);
         },
         {14, 5}, {1, 5, 12, 18}},
    };
    const QString path = MakeScript();
    for (const TJump &jump : jumps) {
        SCOPED_TRACE(jump.name);
        TfmScript w({path}, dialogs);
        w.show();
        w.Editor().setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        TzeCustomEdit &e = w.Editor();
        e.FoldAll();
        ASSERT_EQ(Folded(e), kAllFolded);
        jump.run(w);
        EXPECT_EQ(e.CaretXY(), jump.caret);
        EXPECT_FALSE(e.View().IsHidden(e.CaretY()));
        EXPECT_EQ(Folded(e), jump.folded);
        // The row of the caret is in the window.
        EXPECT_LE(e.View().TopRow(), e.View().RowOf(e.CaretY()));
        EXPECT_LT(e.View().RowOf(e.CaretY()), e.View().TopRow() + e.LinesInWindow());
    }
}

TEST_F(Folding, FoldedLinesStayInTheTextThatIsTypedSavedAndCopied)
{
    const QString path = MakeScript();
    TfmScript w({path}, dialogs);
    w.show();
    TzeCustomEdit &e = w.Editor();
    e.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    // Typing on a folded header line leaves it folded.
    e.ToggleFold(9);
    e.SetCaretXY({9, 9});
    QTest::keyClicks(&e, QStringLiteral("2"));
    EXPECT_EQ(e.Lines()[8], "Sub Main2");
    EXPECT_EQ(e.CaretXY(), (TPoint{10, 9}));
    EXPECT_TRUE(e.View().Folds().IsFolded(9));
    EXPECT_TRUE(e.View().IsHidden(10) && e.View().IsHidden(17));

    // Saved with everything folded: every line is written.
    e.FoldAll();
    w.acSaveExecute();
    EXPECT_FALSE(e.Modified());
    TScript saved;
    ASSERT_TRUE(saved.LoadFromFile(path.toStdString())) << saved.LastError();
    std::string expected = kScript;
    expected.replace(expected.find("Sub Main"), 8, "Sub Main2");
    EXPECT_EQ(saved.Lines().Text(), expected);
    EXPECT_EQ(Folded(e), kAllFolded);

    // Shift+Down from a folded header selects to the next line shown: the
    // copy holds the hidden lines.
    e.UnfoldAll();
    e.ToggleFold(12);
    e.SetCaretXY({1, 12});
    e.SetBlockBegin({1, 12});
    QTest::keyClick(&e, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(e.BlockBegin(), (TPoint{1, 12}));
    EXPECT_EQ(e.BlockEnd(), (TPoint{1, 15}));
    EXPECT_TRUE(e.View().Folds().IsFolded(12));
    e.CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("  For i = 1 To 3\n    total = total + i\n  Next\n"));
}

TEST_F(Folding, TheFoldingChoiceOffShowsEverythingDropsTheColumnAndIsRemembered)
{
    const QString path = MakeScript();
    int narrow = 0;
    {
        TfmScript w({path}, dialogs);
        TzeCustomEdit &e = w.Editor();
        ASSERT_TRUE(w.acFolding->isChecked() && e.Folding());
        e.FoldAll();
        const int wide = e.GutterWidth();
        ASSERT_LT(e.View().RowCount(), e.LineCount());
        w.acFolding->setChecked(false);
        EXPECT_FALSE(e.Folding());
        EXPECT_FALSE(e.View().Folds().AnyFolded());
        EXPECT_TRUE(e.View().Folds().Regions().empty());
        EXPECT_EQ(e.View().RowCount(), e.LineCount());
        for (int line = 1; line <= e.LineCount(); ++line)
            EXPECT_FALSE(e.View().IsHidden(line)) << "line " << line;
        narrow = e.GutterWidth();
        EXPECT_LT(narrow, wide);
        EXPECT_EQ(e.FoldColumnLeft(), -1);
        EXPECT_FALSE(w.acFoldAll->isEnabled() || w.acFoldRegion->isEnabled());
        e.FoldAll(); // nothing to fold while off
        EXPECT_FALSE(e.View().Folds().AnyFolded());
    }
    TBetterRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKeyReadOnly(TfmScript::kViewKey));
    EXPECT_EQ(registry.ReadInteger("Folding"), 0);
    registry.CloseKey();

    TfmScript w({path}, dialogs);
    EXPECT_FALSE(w.acFolding->isChecked());
    EXPECT_FALSE(w.Editor().Folding());
    EXPECT_FALSE(w.acFoldAll->isEnabled() || w.acUnfoldAll->isEnabled() || w.acUnfoldRegion->isEnabled());
    EXPECT_EQ(w.Editor().GutterWidth(), narrow);
    // Back on: the regions are there again.
    w.acFolding->setChecked(true);
    EXPECT_EQ(w.Editor().View().Folds().Regions().size(), kAllFolded.size());
    EXPECT_GT(w.Editor().GutterWidth(), narrow);
}

} // namespace
