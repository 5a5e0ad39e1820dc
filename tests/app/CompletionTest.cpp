// CompletionTest.cpp: the completion list and the parameter hint on an
// editor shown offscreen: filtering as one types, the name inserted as
// declared in one undo step, the keyboard focus kept, keys typed faster than
// they are handled, and the bold parameter following the commas. A picture
// of the list and one of the hint go to the build folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QTest>
#include <QToolTip>

#include "editor/zeCustomEdit.h"
#include "app/uCompletion.h"

namespace {

const char kScript[] = "Option Explicit\r\n"                 // 1
                       "Dim myCounter, MYCOLOR\r\n"          // 2
                       "Sub Greet(who, times)\r\n"           // 3
                       "    Dim localName\r\n"               // 4
                       "    \r\n"                            // 5
                       "End Sub\r\n"                         // 6
                       "Sub Other(otherArg)\r\n"             // 7
                       "    Dim elsewhere\r\n"               // 8
                       "End Sub\r\n"                         // 9
                       "\r\n";                               // 10

// An editor with the script, focused, and its code assist over the
// script's outline (made once, as the live check keeps its last one).
struct TAssisted {
    QWidget window;
    TzeCustomEdit *edit = new TzeCustomEdit(&window);
    vbs::Outline outline = vbs::BuildOutline(kScript);
    TCodeAssist *assist = new TCodeAssist(*edit, [this]() -> const vbs::Outline & { return outline; });

    TAssisted()
    {
        QFont font(QStringLiteral("Liberation Mono"));
        font.setPixelSize(13);
        edit->SetFont(font);
        edit->resize(480, 260);
        window.resize(480, 260);
        window.show();
        edit->setFocus();
        edit->SetText(kScript);
        QApplication::processEvents();
    }
    std::string Line(int line) const { return std::string(edit->Lines()[line - 1]); }
    void Type(const char *text) { QTest::keyClicks(edit, QString::fromLatin1(text)); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(edit, key, modifiers); }
    bool Focused() const { return QApplication::focusWidget() == edit && edit->hasFocus(); }
};

// The editor with the popup painted where it stands on the screen.
QImage Picture(TzeCustomEdit &edit, QWidget &popup)
{
    QImage image = edit.grab().toImage();
    QPainter painter(&image);
    painter.drawPixmap(edit.mapFromGlobal(popup.pos()), popup.grab());
    return image;
}

} // namespace

TEST(Completion, FiltersAsOneTypesAndInsertsTheNameAsDeclared)
{
    TAssisted a;
    a.edit->SetCaretXY({5, 5});
    a.Type("my");
    EXPECT_FALSE(a.assist->ListVisible()); // two letters: not yet
    a.Type("c");
    ASSERT_TRUE(a.assist->ListVisible());
    EXPECT_TRUE(a.Focused());
    EXPECT_EQ(a.assist->ListedNames(), (QStringList{"MYCOLOR", "myCounter"}));
    Picture(*a.edit, *a.assist->ListView()).save(QStringLiteral("completion-list.png"));
    a.Type("OU"); // letter case ignored
    EXPECT_EQ(a.assist->ListedNames(), QStringList{"myCounter"});
    a.Key(Qt::Key_Return);
    EXPECT_FALSE(a.assist->ListVisible());
    EXPECT_EQ(a.Line(5), "    myCounter");
    EXPECT_EQ(a.edit->CaretXY(), (TPoint{14, 5}));
    EXPECT_TRUE(a.Focused());
    // One undo step gives back what was typed.
    a.Key(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(a.Line(5), "    mycOU");

    // Backspace widens the filter again; a prefix that no name has closes the list.
    a.Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(a.assist->ListedNames(), QStringList{"myCounter"});
    a.Key(Qt::Key_Backspace);
    a.Key(Qt::Key_Backspace);
    EXPECT_EQ(a.assist->ListedNames(), (QStringList{"MYCOLOR", "myCounter"}));
    a.Type("x");
    EXPECT_FALSE(a.assist->ListVisible());
    EXPECT_EQ(a.Line(5), "    mycx");

    // A name typed out as listed: Return breaks the line, as without the list.
    a.Key(Qt::Key_Return);
    a.Type("MYCOLOR");
    ASSERT_TRUE(a.assist->ListVisible());
    a.Key(Qt::Key_Return);
    EXPECT_FALSE(a.assist->ListVisible());
    EXPECT_EQ(a.Line(6), "    MYCOLOR");
    EXPECT_EQ(a.edit->CaretXY(), (TPoint{5, 7}));
    // In another case: it takes the declared one first.
    a.Type("mycounter");
    ASSERT_TRUE(a.assist->ListVisible());
    a.Key(Qt::Key_Return);
    EXPECT_EQ(a.Line(7), "    myCounter");
    EXPECT_EQ(a.edit->CaretXY(), (TPoint{5, 8}));
}

TEST(Completion, OffersTheNamesInScopeKeywordsAndBuiltInsAndTheKeysMoveAndClose)
{
    TAssisted a;
    a.edit->SetCaretXY({5, 5});
    a.Key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(a.assist->ListVisible());
    const QStringList all = a.assist->ListedNames();
    for (const char *name : {"Greet", "Other", "who", "times", "localName", "myCounter", "Mid", "vbCrLf", "ElseIf"})
        EXPECT_TRUE(all.contains(QLatin1String(name))) << name;
    for (const char *name : {"otherArg", "elsewhere"}) // another procedure's
        EXPECT_FALSE(all.contains(QLatin1String(name))) << name;
    EXPECT_EQ(a.assist->CurrentRow(), 0);
    a.Key(Qt::Key_Down);
    a.Key(Qt::Key_Down);
    EXPECT_EQ(a.assist->CurrentRow(), 2);
    a.Key(Qt::Key_PageDown);
    EXPECT_GT(a.assist->CurrentRow(), 3);
    a.Key(Qt::Key_PageUp);
    a.Key(Qt::Key_Up);
    EXPECT_EQ(a.assist->CurrentRow(), 1);
    a.Key(Qt::Key_Escape);
    EXPECT_FALSE(a.assist->ListVisible());
    EXPECT_EQ(a.Line(5), "    ");
    EXPECT_TRUE(a.Focused());

    a.Type("mid");
    ASSERT_TRUE(a.assist->ListVisible());
    EXPECT_EQ(a.assist->ListedNames(), (QStringList{"Mid", "MidB"}));
    // A click elsewhere closes it.
    QTest::mouseClick(a.edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 10));
    EXPECT_FALSE(a.assist->ListVisible());
    // Tab inserts too; in a comment or after '.' nothing opens by itself.
    a.edit->SetCaretXY({1, 10});
    a.Type("vbc");
    ASSERT_TRUE(a.assist->ListVisible());
    EXPECT_EQ(a.assist->ListedNames(),
              (QStringList{"vbCancel", "vbCr", "vbCritical", "vbCrLf", "vbCurrency", "vbCyan"}));
    a.Type("rl");
    a.Key(Qt::Key_Tab);
    EXPECT_EQ(a.Line(10), "vbCrLf");
    a.Type(" ' vbc");
    EXPECT_FALSE(a.assist->ListVisible());
    a.edit->SetCaretXY({1, 10});
    a.Type("o.myc"); // an object's member
    EXPECT_FALSE(a.assist->ListVisible());
    a.assist->SetAutoOpen(false);
    a.edit->SetCaretXY({1, 10});
    a.Type("Gre");
    EXPECT_FALSE(a.assist->ListVisible());
    a.Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(a.assist->ListedNames(), QStringList{"Greet"});
}

TEST(Completion, KeysTypedFasterThanHandledWhileTheListIsOpenAreAllTypedInOrder)
{
    TAssisted a;
    a.edit->SetCaretXY({5, 5});
    a.Type("Msg");
    ASSERT_TRUE(a.assist->ListVisible());
    // All queued before the first is handled, as a fast typist's keys are.
    const QString rest = QStringLiteral("Box \"Hi\", vbOKOnly + myCo");
    for (const QChar c : rest) {
        const Qt::Key key = c.isLetter() ? Qt::Key(Qt::Key_A + (c.toUpper().unicode() - 'A')) : Qt::Key_unknown;
        QApplication::postEvent(a.edit, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(c)));
        QApplication::postEvent(a.edit, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, QString(c)));
    }
    QApplication::processEvents();
    EXPECT_EQ(a.Line(5), "    MsgBox \"Hi\", vbOKOnly + myCo");
    EXPECT_TRUE(a.assist->ListVisible()); // "myCo" is being completed
    EXPECT_EQ(a.assist->ListedNames(), (QStringList{"MYCOLOR", "myCounter"}));
    EXPECT_TRUE(a.Focused());
}

TEST(ParameterHint, TheCurrentParameterIsBoldAfterEachComma)
{
    TAssisted a;
    a.edit->SetCaretXY({5, 5});
    a.Type("x = Mid(");
    ASSERT_TRUE(a.assist->HintVisible());
    EXPECT_EQ(a.assist->HintText(), "Mid(<b>string</b>, start[, length])");
    EXPECT_TRUE(a.Focused());
    a.Type("s, ");
    EXPECT_EQ(a.assist->HintText(), "Mid(string, <b>start</b>[, length])");
    Picture(*a.edit, *a.assist->HintLabel()).save(QStringLiteral("parameter-hint.png"));
    a.Type("Len(t");
    EXPECT_EQ(a.assist->HintText(), "Len(<b>string</b>)");
    a.Type(")"); // Len's call ends
    EXPECT_FALSE(a.assist->HintVisible());
    a.Type(" ");
    EXPECT_FALSE(a.assist->HintVisible()); // a blank inside Mid's arguments, not after a name

    // The blank form, a procedure of the script, Escape.
    a.edit->SetCaretXY({1, 10});
    a.Type("MsgBox ");
    ASSERT_TRUE(a.assist->HintVisible());
    EXPECT_EQ(a.assist->HintText(), "MsgBox(<b>prompt</b>[, buttons[, title[, helpfile, context]]])");
    a.Type("\"a\", ");
    EXPECT_EQ(a.assist->HintText(), "MsgBox(prompt[, <b>buttons</b>[, title[, helpfile, context]]])");
    a.Key(Qt::Key_Escape);
    EXPECT_FALSE(a.assist->HintVisible());
    a.edit->SetCaretXY({1, 10});
    a.Key(Qt::Key_End, Qt::ShiftModifier);
    a.Key(Qt::Key_Delete);
    a.Type("Call Greet(a, ");
    ASSERT_TRUE(a.assist->HintVisible());
    EXPECT_EQ(a.assist->HintText(), "Greet(who, <b>times</b>)");
    a.Key(Qt::Key_Home); // the caret leaves the call
    EXPECT_FALSE(a.assist->HintVisible());
    // Resting the pointer on a name shows its parameter list; elsewhere nothing.
    const TzeViewMetrics m = a.edit->ViewMetrics();
    const auto tip = [&a](QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, a.edit->viewport()->mapToGlobal(at));
        QApplication::sendEvent(a.edit->viewport(), &help);
        return QToolTip::text();
    };
    EXPECT_EQ(tip(QPoint(m.ColumnLeft(2) + 2, m.RowTop(3) + 3)), ""); // on "Sub"
    EXPECT_EQ(tip(QPoint(m.ColumnLeft(7) + 2, m.RowTop(3) + 3)), "Greet(who, times)");
    // Names the hint does not know open none.
    a.edit->SetCaretXY({1, 10});
    a.Type("Unknown(");
    EXPECT_FALSE(a.assist->HintVisible());
}
