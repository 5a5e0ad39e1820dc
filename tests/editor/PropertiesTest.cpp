// PropertiesTest.cpp: the editor as a component: its defaults, the setters
// with their effects, the caret shapes, the font rule, the key events and
// what painting takes from the colour properties.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

#include "toolkit/Colors.h"
#include "EditorTestSupport.h"

namespace {

// An editor shown offscreen with a viewport of columns x rows text cells.
void ShowWithCells(TzeCustomEdit &edit, int columns, int rows)
{
    edit.show();
    const QSize extra = edit.size() - edit.viewport()->size();
    edit.resize(edit.GutterWidth() + 2 + columns * edit.CharWidth() + extra.width(),
                rows * edit.LineHeight() + extra.height());
}

QImage Grab(TzeCustomEdit &edit)
{
    return edit.viewport()->grab().toImage();
}

// The left pixel of column (1-based) on row (1-based), a little below the top.
QPoint Cell(const TzeCustomEdit &edit, int column, int row)
{
    return QPoint(edit.TextOrigin() + (column - 1) * edit.CharWidth(), (row - 1) * edit.LineHeight() + 1);
}

} // namespace

TEST(Component, FreshEditorDefaults)
{
    TzeCustomEdit edit;
    EXPECT_EQ(edit.size(), QSize(200, 150));
    EXPECT_EQ(edit.BorderStyle(), bsSingle);
    EXPECT_EQ(edit.frameShape(), QFrame::StyledPanel);
    EXPECT_EQ(edit.Color(), clWindow);
    EXPECT_EQ(edit.FontColor(), clWindowText);
    EXPECT_EQ(edit.SelectedColor().Background(), clHighlight);
    EXPECT_EQ(edit.SelectedColor().Foreground(), clHighlightText);
    EXPECT_FALSE(edit.HideSelection());
    EXPECT_EQ(edit.RightEdge(), 80);
    EXPECT_EQ(edit.RightEdgeColor(), clSilver);
    EXPECT_EQ(edit.InsertCaret(), ctVerticalLine);
    EXPECT_EQ(edit.OverwriteCaret(), ctBlock);
    EXPECT_TRUE(edit.InsertMode());
    EXPECT_EQ(edit.ScrollBars(), ssBoth);
    EXPECT_TRUE(edit.ShowScrollHint());
    EXPECT_FALSE(edit.HalfpageScroll());
    EXPECT_FALSE(edit.WantTabs());
    EXPECT_FALSE(edit.ReadOnly());
    EXPECT_EQ(edit.TabIndent(), 4);
    EXPECT_EQ(edit.MaxUndo(), 10);
    EXPECT_EQ(edit.Keystrokes().Count(), 73);
    EXPECT_EQ(edit.Font().family(), QStringLiteral("Courier New"));
    EXPECT_TRUE(edit.IsFixedPitch(edit.Font()));
}

TEST(Component, SettersIgnoreWhatTheyRefuse)
{
    TzeCustomEdit edit;
    edit.SetTabIndent(0);
    edit.SetTabIndent(17);
    EXPECT_EQ(edit.TabIndent(), 4);
    edit.SetTabIndent(16);
    EXPECT_EQ(edit.TabIndent(), 16);
    edit.SetMaxUndo(-1);
    EXPECT_EQ(edit.MaxUndo(), 10);
    edit.SetMaxUndo(3);
    EXPECT_EQ(edit.MaxUndo(), 3);
    EXPECT_EQ(edit.RedoList().Limit(), 3);

    edit.SetBorderStyle(bsNone);
    EXPECT_EQ(edit.frameShape(), QFrame::NoFrame);
    edit.SetBorderStyle(bsSingle);
    EXPECT_EQ(edit.frameShape(), QFrame::StyledPanel);

    // Leaving ScrollPastEOL pulls the caret back to the end of its line.
    edit.SetText("abc");
    edit.SetCaretX(9);
    edit.SetScrollPastEOL(false);
    EXPECT_EQ(edit.CaretX(), 4);
}

TEST(Component, ProportionalFontsBecomeTheOwnFixedFace)
{
    TzeCustomEdit edit;
    QFont proportional(QStringLiteral("Liberation Sans"));
    proportional.setPixelSize(20);
    proportional.setBold(true);
    proportional.setItalic(true);
    ASSERT_FALSE(TzeCustomEdit::IsFixedPitch(proportional));
    const int oldWidth = edit.CharWidth();
    edit.SetFont(proportional);
    EXPECT_EQ(edit.Font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(edit.Font().pixelSize(), 20);
    EXPECT_TRUE(edit.Font().bold());
    EXPECT_TRUE(edit.Font().italic());
    EXPECT_TRUE(QFontInfo(edit.Font()).fixedPitch());
    EXPECT_GT(edit.CharWidth(), oldWidth); // the grid follows the size

    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPixelSize(15);
    ASSERT_TRUE(TzeCustomEdit::IsFixedPitch(mono));
    edit.SetFont(mono);
    EXPECT_EQ(edit.Font().family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(edit.Font().pixelSize(), 15);
    EXPECT_FALSE(edit.Font().bold());

    // A font given to the widget itself does not change the editor's font.
    edit.setFont(proportional);
    EXPECT_EQ(edit.Font().family(), QStringLiteral("DejaVu Sans Mono"));
}

TEST(Component, CaretShapesFollowTheMode)
{
    TzeCustomEdit edit;
    ShowWithCells(edit, 20, 5);
    edit.activateWindow();
    edit.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(edit.hasFocus());
    const int cw = edit.CharWidth();
    const int lh = edit.LineHeight();
    edit.SetText("abc\r\ndef");
    edit.SetCaretXY({2, 2});
    const QPoint cell(edit.TextOrigin() + cw, lh + 1);

    EXPECT_EQ(edit.CaretSize(), QSize(2, lh - 2));
    EXPECT_EQ(edit.CaretPixel(), cell + QPoint(-1, 0));
    EXPECT_TRUE(edit.CaretShown());

    edit.SetInsertMode(false);
    EXPECT_EQ(edit.CaretSize(), QSize(cw, lh - 2));
    EXPECT_EQ(edit.CaretPixel(), cell);
    edit.SetOverwriteCaret(ctHalfBlock);
    EXPECT_EQ(edit.CaretSize(), QSize(cw, (lh - 2) / 2));
    EXPECT_EQ(edit.CaretPixel(), cell + QPoint(0, (lh - 2) / 2));
    edit.SetInsertMode(true);
    edit.SetInsertCaret(ctHorizontalLine);
    EXPECT_EQ(edit.CaretSize(), QSize(cw, 2));
    EXPECT_EQ(edit.CaretPixel(), cell + QPoint(0, lh - 2));
    // The underline of the last whole row is still shown.
    edit.SetCaretXY({1, 5});
    EXPECT_TRUE(edit.CaretShown());
    edit.SetInsertCaret(ctVerticalLine);
    EXPECT_EQ(edit.CaretSize(), QSize(2, lh - 2));

    // The insert key toggles the mode, and with it the shape.
    QTest::keyClick(&edit, Qt::Key_Insert);
    EXPECT_FALSE(edit.InsertMode());
    EXPECT_EQ(edit.CaretSize(), QSize(cw, (lh - 2) / 2)); // the half block set above
}

TEST(Component, KeyEventsComeFirst)
{
    TzeCustomEdit edit;
    edit.resize(300, 200);
    std::vector<std::pair<TzeEditorCommand, int>> seen;
    edit.OnProcessCommand = [&seen](TzeEditorCommand &command, char &aChar, void *) {
        seen.emplace_back(command, static_cast<unsigned char>(aChar));
    };
    edit.OnKeyPress = [](TzeCustomEdit &, char &key) {
        if (key == 'q')
            key = '\0';
        else if (key == 'a')
            key = 'b';
    };
    QTest::keyClicks(&edit, QStringLiteral("aq"));
    EXPECT_EQ(edit.Lines()[0], "b");
    // The cleared character still reaches the processor, which ignores it.
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], (std::pair<TzeEditorCommand, int>{ecChar, 0}));

    // OnKeyDown clearing the key keeps it from its binding, but what the key
    // types is still typed (key down and key press are two steps).
    edit.OnKeyDown = [](TzeCustomEdit &, std::uint16_t &key, TShiftState shift) {
        if ((key == 'Z' && shift == ssCtrl) || key == 'C')
            key = 0;
    };
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.Lines()[0], "b");
    QTest::keyClicks(&edit, QStringLiteral("c"));
    EXPECT_EQ(edit.Lines()[0], "bc");
    edit.OnKeyDown = nullptr;
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.Lines()[0], "b");
    // Alt+Backspace is the other undo key.
    QTest::keyClick(&edit, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(edit.Lines()[0], "");
}

TEST(Component, KeysWithoutABindingLeaveTheViewAlone)
{
    TzeCustomEdit edit;
    edit.resize(300, 200);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "a line long enough to scroll sideways, a line long enough to scroll sideways\r\n";
    edit.SetText(text);
    edit.SetCaretXY({1, 1});
    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier | Qt::ControlModifier);
    EXPECT_EQ(edit.TopLine(), 1);
    edit.SetKeystrokes(nullptr);
    for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_Down, Qt::Key_Right, Qt::Key_End})
        QTest::keyClick(&edit, key);
    EXPECT_EQ(edit.TopLine(), 1);
    EXPECT_EQ(edit.LeftChar(), 1);
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
}

TEST(Component, TextTypedWithModifiers)
{
    TzeCustomEdit edit;
    edit.resize(300, 200);
    std::vector<int> pressed;
    edit.OnKeyPress = [&pressed](TzeCustomEdit &, char &key) { pressed.push_back(static_cast<unsigned char>(key)); };
    auto send = [&edit](int key, Qt::KeyboardModifiers modifiers, const QString &text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&edit, &press);
    };
    // Ctrl+Alt is AltGr on some systems: its characters are typed.
    send(Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("@"));
    send(Qt::Key_E, Qt::ControlModifier | Qt::AltModifier, QString(QChar(0x20AC)));
    EXPECT_EQ(edit.Lines()[0], "@\x80"); // the euro sign in Windows-1252
    // Alt alone types nothing; Ctrl alone only control characters: Ctrl+I a tab.
    send(Qt::Key_X, Qt::AltModifier, QStringLiteral("x"));
    send(Qt::Key_Semicolon, Qt::ControlModifier, QStringLiteral(";"));
    send(Qt::Key_I, Qt::ControlModifier, QStringLiteral("\t"));
    EXPECT_EQ(edit.Lines()[0], "@\x80"); // the tab's blanks are trailing, so trimmed
    EXPECT_EQ(edit.CaretX(), 3 + 4);
    EXPECT_EQ(pressed, (std::vector<int>{'@', 0x80, 9}));
}

TEST(Component, RenamingFollowsTheTextOnlyAtDesignTime)
{
    TzeCustomEdit designed(nullptr, true);
    designed.SetName(QStringLiteral("zeEditor1"));
    designed.SetText("zeEditor1  \r\n");
    designed.SetName(QStringLiteral("zeEditor"));
    EXPECT_EQ(designed.Text(), "zeEditor\r\n");
    designed.SetReading(true);
    designed.SetName(QStringLiteral("other"));
    EXPECT_EQ(designed.Text(), "zeEditor\r\n");
    designed.Loaded();
    designed.SetText("something else");
    designed.SetName(QStringLiteral("third"));
    EXPECT_EQ(designed.Text(), "something else\r\n");

    TzeCustomEdit running;
    running.SetName(QStringLiteral("a"));
    running.SetText("a");
    running.SetName(QStringLiteral("b"));
    EXPECT_EQ(running.Text(), "a\r\n");
    EXPECT_EQ(running.Name(), QStringLiteral("b"));
}

TEST(Component, PaintingTakesTheColourProperties)
{
    QWidget form;
    auto *layout = new QVBoxLayout(&form);
    auto *edit = new TzeCustomEdit(&form);
    auto *other = new QLineEdit(&form);
    layout->addWidget(edit);
    layout->addWidget(other);
    form.show();
    const QSize extra = edit->size() - edit->viewport()->size();
    form.resize(edit->GutterWidth() + 2 + 100 * edit->CharWidth() + extra.width() + 20,
                6 * edit->LineHeight() + extra.height() + 60);
    QApplication::processEvents();
    edit->SetText("Sub Main\r\n  MsgBox 1\r\nEnd Sub");
    edit->SetColor(clYellow);
    edit->SetFontColor(clNavy);
    edit->SelectedColor().SetBackground(clGreen);
    edit->SetRightEdge(40);
    edit->SetRightEdgeColor(clRed);
    edit->SetBlockBegin({3, 2});
    edit->SetBlockEnd({9, 2});

    QImage image = Grab(*edit);
    image.save(QStringLiteral("zeCustomEdit-colours.png"));
    const QRgb yellow = qRgb(255, 255, 0);
    EXPECT_EQ(image.pixel(Cell(*edit, 20, 1)), yellow);
    EXPECT_EQ(image.pixel(Cell(*edit, 20, 5)), yellow); // below the text
    EXPECT_EQ(image.pixel(Cell(*edit, 3, 2)), qRgb(0, 128, 0));
    EXPECT_EQ(image.pixel(Cell(*edit, 9, 2)), yellow);
    // The edge sits on the left pixel of column 41, down to the bottom.
    EXPECT_EQ(image.pixel(Cell(*edit, 41, 1)), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(Cell(*edit, 41, 5)), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(Cell(*edit, 41, 1) + QPoint(1, 0)), yellow);

    // HideSelection without the focus paints the selection as plain text.
    other->setFocus();
    QApplication::processEvents();
    edit->SetHideSelection(true);
    image = Grab(*edit);
    EXPECT_EQ(image.pixel(Cell(*edit, 3, 2)), yellow);
    edit->SetRightEdge(0);
    image = Grab(*edit);
    EXPECT_EQ(image.pixel(Cell(*edit, 41, 1)), yellow);
}

TEST(Component, OnPaintGetsTheWholeUpdateRectangle)
{
    TzeCustomEdit edit;
    ShowWithCells(edit, 20, 4);
    int calls = 0;
    QRect clip;
    edit.OnPaint = [&](TzeCustomEdit &, TCanvas &canvas) {
        ++calls;
        clip = canvas.Painter()->clipBoundingRect().toRect();
        EXPECT_EQ(canvas.BrushColor(), clWindow);
        canvas.SetBrushColor(clRed);
        canvas.FillRect(QRect(0, 0, 4, 4)); // over the gutter too
    };
    const QImage image = Grab(edit);
    EXPECT_GE(calls, 1);
    EXPECT_EQ(clip, edit.viewport()->rect());
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0));
}
