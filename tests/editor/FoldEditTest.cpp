// FoldEditTest.cpp: folding in the editor control: the fold column's boxes
// and lines, the folded line's box, the numbers of the rows after a fold,
// clicks, keys and selections over folded lines.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include "editor/zeCustomEdit.h"
#include "editor/zeFoldGutter.h"
#include "tests/editor/EditorTestSupport.h"

namespace {

const char kScript[] = "Option Explicit\r\n" // 1
                       "Sub Main\r\n"        // 2
                       "  If a Then\r\n"     // 3
                       "    b = 1\r\n"       // 4
                       "  End If\r\n"        // 5
                       "End Sub\r\n"         // 6
                       "' one\r\n"           // 7
                       "' two\r\n"           // 8
                       "' three\r\n"         // 9
                       "x = 2";              // 10

struct FoldEdit : ::testing::Test {
    void SetUp() override
    {
        edit.Gutter().SetShowLineNumbers(true);
        edit.SetFolding(true);
        Prepare(edit, 40, 12);
        edit.SetText(kScript);
    }
    // The fold column's middle pixel column and a row's middle pixel row.
    int ColumnX() const { return edit.FoldColumnLeft() + (FoldColumnWidth(edit.LineHeight()) - 1) / 2; }
    int RowY(int row) const { return edit.ViewMetrics().RowTop(row) + (edit.LineHeight() - 1) / 2; }
    // The line number area of a row, as an image.
    QImage Number(const QImage &image, int row) const
    {
        return image.copy(0, edit.ViewMetrics().RowTop(row), edit.FoldColumnLeft(), edit.LineHeight());
    }
    TzeCustomEdit edit;
};

bool Dark(QRgb pixel)
{
    return qGray(pixel) < 100;
}

} // namespace

TEST_F(FoldEdit, TheColumnShowsBoxesLinesAndTicksAndAFoldedLineItsBox)
{
    const QColor line = ToQColor(clBtnShadow);
    const int box = FoldBoxSize(FoldColumnWidth(edit.LineHeight()), edit.LineHeight());
    const int x = ColumnX();
    QImage image = Render(edit);
    image.save(QStringLiteral("fold-column-open.png"));
    // Sub's box on row 2: its frame above the middle, a minus in it, no
    // plus arm; the line through row 4, the tick of End If on row 5.
    EXPECT_EQ(QColor(image.pixel(x, RowY(2) - box / 2)), line);
    EXPECT_TRUE(Dark(image.pixel(x - 1, RowY(2))) && Dark(image.pixel(x + 1, RowY(2))));
    EXPECT_FALSE(Dark(image.pixel(x, RowY(2) - 2)));
    EXPECT_EQ(QColor(image.pixel(x, edit.ViewMetrics().RowTop(4))), line);
    EXPECT_EQ(QColor(image.pixel(x + 2, RowY(5))), line);
    EXPECT_EQ(QColor(image.pixel(x + 2, RowY(4))), QColor(image.pixel(x + 2, RowY(1))));
    // Nothing on line 1 and line 10, outside every region.
    for (int row : {1, 10})
        for (int y = edit.ViewMetrics().RowTop(row); y < edit.ViewMetrics().RowTop(row + 1); ++y)
            EXPECT_NE(QColor(image.pixel(x, y)), line) << row;
    const QImage numberTen = Number(image, 10);

    edit.ToggleFold(2);
    ASSERT_TRUE(edit.View().Folds().IsFolded(2));
    image = Render(edit);
    image.save(QStringLiteral("fold-column-folded.png"));
    // A plus on row 2, and row 3 shows line 7, the comment run's box.
    EXPECT_TRUE(Dark(image.pixel(x, RowY(2) - 2)) && Dark(image.pixel(x, RowY(2) + 2)));
    EXPECT_EQ(edit.View().LineAtRow(3), 7);
    EXPECT_EQ(QColor(image.pixel(x, RowY(3) - box / 2)), line);
    // Row 6 holds line 10 and its number; the rows after the text are blank.
    EXPECT_EQ(Number(image, 6), numberTen);
    // The box after "Sub Main": framed, with dark dots inside.
    const QRect marker = edit.FoldedMarkerAt(2);
    ASSERT_FALSE(marker.isEmpty());
    EXPECT_EQ(marker.left(), edit.ViewMetrics().ColumnLeft(10));
    EXPECT_EQ(QColor(image.pixel(marker.left(), marker.center().y())), ToQColor(clGrayText));
    int dots = 0;
    for (int px = marker.left() + 1; px < marker.right(); ++px)
        for (int py = marker.top() + 1; py < marker.bottom(); ++py)
            dots += Dark(image.pixel(px, py));
    EXPECT_GE(dots, 3);
    EXPECT_TRUE(edit.FoldedMarkerAt(3).isEmpty());

    // Folding off: the column goes, everything shows.
    const int width = edit.GutterWidth();
    edit.SetFolding(false);
    EXPECT_EQ(edit.GutterWidth(), width - FoldColumnWidth(edit.LineHeight()));
    EXPECT_FALSE(edit.View().Folds().AnyFolded());
    EXPECT_EQ(edit.View().RowCount(), 10);
}

TEST_F(FoldEdit, ClicksKeysAndSelectionsGoOverFoldedLinesAndNeverEditThemUnseen)
{
    const TzeViewMetrics m = edit.ViewMetrics();
    // A click on Sub's row in the fold column folds it; the caret stays.
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, QPoint(ColumnX(), RowY(2)));
    EXPECT_TRUE(edit.View().Folds().IsFolded(2));
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
    // The scroll bar counts rows (the last one may stand at the top).
    EXPECT_EQ(edit.View().RowCount(), 6);
    EXPECT_EQ(edit.verticalScrollBar()->maximum(), 6);
    // Down goes over the hidden lines and back.
    QTest::keyClick(&edit, Qt::Key_Down);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.CaretY(), 7);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.CaretY(), 2);
    // A click on row 3 lands on line 7, below the text on line 10.
    edit.ComputeCaret(m.ColumnLeft(3), m.RowTop(3) + 1);
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 7}));
    edit.ComputeCaret(m.ColumnLeft(2), m.RowTop(11) + 1);
    EXPECT_EQ(edit.CaretY(), 10);

    // Shift+Down from the header's start selects the hidden lines too.
    edit.SetCaretXY({1, 2});
    QTest::keyClick(&edit, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(edit.SelText(), "Sub Main\r\n  If a Then\r\n    b = 1\r\n  End If\r\nEnd Sub\r\n");
    edit.CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromStdString(edit.SelText()).replace("\r\n", "\n"));
    EXPECT_TRUE(edit.View().Folds().IsFolded(2));

    // Delete at the header's end would join a hidden line: it unfolds
    // instead, and only the next Delete joins.
    edit.SetBlockBegin({9, 2});
    edit.SetCaretXY({9, 2});
    const std::string before = edit.Text();
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.Text(), before);
    EXPECT_FALSE(edit.View().Folds().IsFolded(2));
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.Lines()[1], "Sub Main  If a Then");

    // Typing on a folded header keeps it folded; Return at its end opens it.
    edit.Undo();
    edit.ToggleFold(2);
    edit.SetCaretXY({9, 2});
    QTest::keyClicks(&edit, "()");
    EXPECT_TRUE(edit.View().Folds().IsFolded(2));
    EXPECT_EQ(edit.Lines()[1], "Sub Main()");
    // The box after the text unfolds on a click.
    const QRect marker = edit.FoldedMarkerAt(2);
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, marker.center());
    EXPECT_FALSE(edit.View().Folds().AnyFolded());

    // Ctrl+Shift+[ and ] as the control's calls: the innermost region
    // around the caret, then the next one out; a caret hidden by the fold
    // goes to its first line.
    edit.SetCaretXY({5, 4});
    edit.FoldAtCaret();
    EXPECT_TRUE(edit.View().Folds().IsFolded(3));
    EXPECT_EQ(edit.CaretY(), 3);
    edit.FoldAtCaret();
    EXPECT_TRUE(edit.View().Folds().IsFolded(2));
    EXPECT_EQ(edit.CaretY(), 2);
    edit.UnfoldAtCaret();
    EXPECT_FALSE(edit.View().Folds().IsFolded(2));
    EXPECT_TRUE(edit.View().Folds().IsFolded(3));
    // Deleting a folded block's hidden closer with a selection from its
    // header: the If is no block any more and nothing stays hidden.
    Select(edit, {12, 3}, {1, 6});
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.Lines()[2], "  If a ThenEnd Sub");
    EXPECT_FALSE(edit.View().Folds().AnyFolded());
}
