// WorkbenchTest.cpp: the main window's procedure box, go to definition with
// the caret history, the error panel, and the View menu's choices kept in the
// settings.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "toolkit/Registry.h"
#include "storage/uStorage.h"
#include "editor/zeCustomEdit.h"
#include "app/uCaretHistory.h"
#include "app/uCompletion.h"
#include "app/uLiveCheck.h"
#include "app/uMain.h"
#include "app/uProcedureBox.h"
#include "tests/highlight/RegistrySandbox.h"
#include "FakeDialogs.h"

namespace {

const char kScript[] = "Class Person\r\n"                  // 1
                       "  Private m_name\r\n"              // 2
                       "  Public Property Get Name()\r\n"  // 3
                       "    Name = m_name\r\n"             // 4
                       "  End Property\r\n"                // 5
                       "  Public Property Let Name(v)\r\n" // 6
                       "    m_name = v\r\n"                // 7
                       "  End Property\r\n"                // 8
                       "End Class\r\n"                     // 9
                       "Function Twice(x)\r\n"             // 10
                       "  Twice = 2 * x\r\n"               // 11
                       "End Function\r\n"                  // 12
                       "Sub Main\r\n"                      // 13
                       "  y = Twice(2)\r\n";               // 14, and Main is never closed

class Workbench : public RegistrySandboxTest {
protected:
    QString MakeScript(const std::string &text)
    {
        TScript script;
        script.Lines().SetText(text);
        const QString path = dir.filePath(QStringLiteral("outline.tvs"));
        EXPECT_TRUE(script.SaveToFile(path.toStdString())) << script.LastError();
        return path;
    }

    QStringList Items(TProcedureBox &box)
    {
        QStringList items;
        for (int i = 0; i < box.count(); ++i)
            items << box.itemText(i);
        return items;
    }

    QTemporaryDir dir;
    TFakeDialogs dialogs;
};

TEST_F(Workbench, TheProcedureBoxListsClassesAndProceduresAndFollowsTheCaret)
{
    TfmScript w({MakeScript(kScript)}, dialogs);
    TProcedureBox &box = w.ProcedureBox();
    EXPECT_EQ(Items(box), (QStringList{"(General)", "Person", "Person.Name (Get)", "Person.Name (Let)", "Twice", "Main"}));
    EXPECT_EQ(w.ErrorPanel().text(), "Line 15: Expected 'End'");

    // Choosing Twice: the caret on its name, the header line at the top.
    w.resize(600, 120); // fewer lines than the text, so that it can scroll
    box.setCurrentIndex(4);
    emit box.activated(4);
    EXPECT_EQ(w.Editor().CaretXY(), (TPoint{10, 10}));
    EXPECT_EQ(w.Editor().TopLine(), 10);
    EXPECT_EQ(w.CaretHistory().BackCount(), 1);

    // The caret selects the entry it stands in.
    const int expected[] = {0, 1, 1, 2, 2, 2, 3, 3, 3, 1, 4, 4, 4, 5, 5};
    for (int line = 1; line <= 14; ++line) {
        w.Editor().SetCaretXY({1, line});
        EXPECT_EQ(box.currentIndex(), expected[line]) << "line " << line;
    }
    // The box follows the check: a new procedure shows after it.
    w.Editor().SetCaretXY({15, 14});
    w.Editor().SetSelText("\r\nEnd Sub\r\nSub Other\r\nEnd Sub");
    w.LiveCheck().CheckNow();
    EXPECT_EQ(box.itemText(box.count() - 1), "Other");
    EXPECT_EQ(w.ErrorPanel().text(), "");
}

TEST_F(Workbench, F12GoesToTheDefinitionAndAltLeftComesBack)
{
    TfmScript w({MakeScript(kScript)}, dialogs);
    w.show();
    w.Editor().setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Editor().SetCaretXY({9, 14}); // in "Twice" of line 14
    QTest::keyClick(&w.Editor(), Qt::Key_F12);
    EXPECT_EQ(w.Editor().CaretXY(), (TPoint{10, 10}));
    QTest::keyClick(&w.Editor(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(w.Editor().CaretXY(), (TPoint{9, 14}));
    QTest::keyClick(&w.Editor(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(w.Editor().CaretXY(), (TPoint{10, 10}));
    // A name that is no procedure stays where it is, with a note.
    w.Editor().SetCaretXY({3, 14}); // y
    QTest::keyClick(&w.Editor(), Qt::Key_F12);
    EXPECT_EQ(w.Editor().CaretXY(), (TPoint{3, 14}));
    // The syntax check's jump is recorded too.
    w.acSyntaxCheckExecute();
    EXPECT_NE(w.Editor().CaretXY(), (TPoint{3, 14}));
    w.acNavigateBackExecute();
    EXPECT_EQ(w.Editor().CaretXY(), (TPoint{3, 14}));
}

TEST_F(Workbench, TheViewChoicesAreOnAtFirstAndRemembered)
{
    {
        TfmScript w({}, dialogs);
        for (QAction *a : {w.acCheckAsYouType, w.acShowProcedureBox, w.acHighlightOccurrences, w.acCompleteNames,
                           w.acInsertBlockEnds})
            EXPECT_TRUE(a->isChecked()) << a->text().toStdString();
        EXPECT_TRUE(w.Editor().BlockIndent() && w.Editor().InsertBlockEnds());
        w.acCheckAsYouType->setChecked(false);
        w.acShowProcedureBox->setChecked(false);
        w.acCompleteNames->setChecked(false);
        w.acInsertBlockEnds->setChecked(false);
        EXPECT_FALSE(w.LiveCheck().ShowErrors());
        EXPECT_FALSE(w.LiveCheck().Scheduled());
    }
    TBetterRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKeyReadOnly(TfmScript::kViewKey));
    EXPECT_EQ(registry.ReadInteger("CheckAsYouType"), 0);
    EXPECT_EQ(registry.ReadInteger("ProcedureBox"), 0);
    EXPECT_EQ(registry.ReadInteger("CompleteNames"), 0);
    EXPECT_EQ(registry.ReadInteger("InsertBlockEnds"), 0);
    registry.CloseKey();
    TfmScript w({MakeScript("Sub Main\r\n  x = \r\nEnd Sub\r\n")}, dialogs);
    EXPECT_FALSE(w.acCheckAsYouType->isChecked());
    EXPECT_FALSE(w.acShowProcedureBox->isChecked());
    EXPECT_TRUE(w.acHighlightOccurrences->isChecked());
    EXPECT_FALSE(w.acCompleteNames->isChecked() || w.CodeAssist().AutoOpen());
    EXPECT_FALSE(w.acInsertBlockEnds->isChecked() || w.Editor().InsertBlockEnds());
    EXPECT_TRUE(w.ErrorPanel().text().isEmpty());
    EXPECT_FALSE(w.Editor().Decorations().HasError());
    // Back on: the error shows at once.
    w.acCheckAsYouType->setChecked(true);
    EXPECT_EQ(w.ErrorPanel().text(), "Line 2: Expected expression");
}

// Back and forward over recorded jumps, the limit, and places that move with
// the lines inserted and deleted above them.
TEST(CaretHistory, WalksBackAndForwardAndFollowsTheLines)
{
    TCaretHistory h;
    EXPECT_FALSE(h.Back({1, 1}).has_value());
    h.Record({1, 1});
    h.Record({2, 5});
    EXPECT_EQ(h.Back({3, 9}), (TPoint{2, 5}));
    EXPECT_EQ(h.Back({2, 5}), (TPoint{1, 1}));
    EXPECT_FALSE(h.Back({1, 1}).has_value());
    EXPECT_EQ(h.Forward({1, 1}), (TPoint{2, 5}));
    h.Record({4, 4}); // a new jump drops what lay forward
    EXPECT_EQ(h.ForwardCount(), 0);
    for (int i = 0; i < 30; ++i)
        h.Record({1, 100 + i});
    EXPECT_EQ(h.BackCount(), TCaretHistory::kLimit);
    h.Clear();
    h.Record({3, 10});
    h.Record({3, 2});
    h.LinesChanged({ckLineInserted, 4, 1}); // before line 5
    h.LinesChanged({ckLineDeleted, 0, -1}); // line 1
    h.LinesChanged({ckLineChanged, 0, 0});
    EXPECT_EQ(h.Back({1, 1}), (TPoint{3, 1}));
    EXPECT_EQ(h.Back({1, 1}), (TPoint{3, 10}));
}

} // namespace

TEST_F(Workbench, ReturnFollowsTheBlocksAndTheCommentKeysTakeTheSelectedLines)
{
    TfmScript w({}, dialogs);
    w.show();
    TzeCustomEdit &e = w.Editor();
    e.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    e.SetText("Sub Main\r\nEnd Sub\r\n");
    e.SetCaretXY({9, 1});
    QTest::keyClicks(&e, QStringLiteral("\rIf a Then\r"));
    EXPECT_EQ(e.Text(), "Sub Main\r\n    If a Then\r\n        \r\n    End If\r\nEnd Sub\r\n");
    EXPECT_EQ(e.CaretXY(), (TPoint{9, 3}));
    e.SetBlockBegin({1, 1});
    e.SetBlockEnd({1, 3});
    QTest::keyClick(&e, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), "'Sub Main\r\n    'If a Then\r\n        \r\n    End If\r\nEnd Sub\r\n");
    QTest::keyClick(&e, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(e.Text(), "Sub Main\r\n    If a Then\r\n        \r\n    End If\r\nEnd Sub\r\n");
    // Ctrl+Space is the window's Complete name, which opens the list.
    e.SetCaretXY({1, 5});
    QTest::keyClick(&e, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(w.CodeAssist().ListVisible());
    EXPECT_TRUE(w.CodeAssist().ListedNames().contains(QStringLiteral("Main")));
    QTest::keyClick(&e, Qt::Key_Escape);
    EXPECT_FALSE(w.CodeAssist().ListVisible());
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier); // the uncomment
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier); // the comment
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier); // the Return after "If a Then"
    EXPECT_EQ(e.Text(), "Sub Main\r\n    If a Then\r\nEnd Sub\r\n");
}
