// EditorWidgetTest.cpp: the control as a widget: metrics, view position, scroll
// bars and the plain painting of its lines (a screenshot is saved for a look).
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QScrollBar>

#include "EditorTestSupport.h"

namespace {

std::string NumberedLines(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text;
}

// An editor shown offscreen with a viewport of exactly columns x rows cells of text.
void ShowWithCells(TzeCustomEdit &edit, int columns, int rows)
{
    edit.show();
    const QSize extra = edit.size() - edit.viewport()->size();
    edit.resize(edit.GutterWidth() + 2 + columns * edit.CharWidth() + extra.width(),
                rows * edit.LineHeight() + extra.height());
}

bool HasInk(const QImage &image, const QRect &area, QRgb background)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != background)
                return true;
    return false;
}

} // namespace

TEST(EditorWidget, FontAndGrid)
{
    TzeCustomEdit edit;
    EXPECT_TRUE(QFontInfo(edit.Font()).fixedPitch());
    EXPECT_EQ(edit.Font().pixelSize(), 13);
    EXPECT_GT(edit.CharWidth(), 4);
    EXPECT_GE(edit.LineHeight(), 13);
    EXPECT_EQ(edit.GutterWidth(), 30);
    EXPECT_EQ(edit.TextOrigin(), 32);

    const int height = edit.LineHeight();
    edit.SetExtraLineSpacing(3);
    EXPECT_EQ(edit.LineHeight(), height + 3);
}

TEST(EditorWidget, WindowSizeGivesCharsAndLinesInWindow)
{
    TzeCustomEdit edit;
    ShowWithCells(edit, 40, 20);
    EXPECT_EQ(edit.CharsInWindow(), 40);
    EXPECT_EQ(edit.LinesInWindow(), 20);
}

TEST(EditorWidget, TenLinesInTwentyRowsScrollToTheLastLine)
{
    TzeCustomEdit edit;
    ShowWithCells(edit, 40, 20);
    edit.SetText(NumberedLines(10));
    ASSERT_EQ(edit.LineCount(), 10);
    // Range 1 .. 29 with a page of 20: the thumb positions run 1 .. 10.
    QScrollBar &bar = *edit.verticalScrollBar();
    EXPECT_EQ(bar.minimum(), 1);
    EXPECT_EQ(bar.maximum(), 10);
    EXPECT_EQ(bar.pageStep(), 20);
    edit.SetTopLine(50);
    EXPECT_EQ(edit.TopLine(), 10);
    EXPECT_EQ(bar.value(), 10);
    edit.SetTopLine(-3);
    EXPECT_EQ(edit.TopLine(), 1);
    // Moving the bar moves the view.
    bar.setValue(7);
    EXPECT_EQ(edit.TopLine(), 7);
}

TEST(EditorWidget, LongTextsUseAScaledBar)
{
    TzeCustomEdit edit;
    ShowWithCells(edit, 40, 20);
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += "x\n";
    edit.SetText(text);
    QScrollBar &bar = *edit.verticalScrollBar();
    // Range 40019 on a 1 .. 32767 scale: a page of 16 positions.
    EXPECT_EQ(bar.pageStep(), 16);
    EXPECT_EQ(bar.maximum(), 32767 - 16 + 1);
    edit.SetTopLine(20000);
    EXPECT_EQ(bar.value(), 16376);
    // The end of the bar reaches the last line.
    edit.SetTopLine(1);
    bar.setValue(bar.maximum());
    EXPECT_EQ(edit.TopLine(), 40000);
}

TEST(EditorWidget, LeftCharClampsToMaxLeftCharLessTheWindow)
{
    TzeCustomEdit edit;
    ShowWithCells(edit, 80, 10);
    ASSERT_EQ(edit.CharsInWindow(), 80);
    edit.SetLeftChar(5000);
    EXPECT_EQ(edit.LeftChar(), 944);
    EXPECT_EQ(edit.TextOrigin(), 32 - 943 * edit.CharWidth());
    edit.SetLeftChar(0);
    EXPECT_EQ(edit.LeftChar(), 1);
    EXPECT_EQ(edit.TextOrigin(), 32);
    edit.SetMaxLeftChar(0);
    EXPECT_EQ(edit.MaxLeftChar(), 1);
    edit.SetMaxLeftChar(200000);
    EXPECT_EQ(edit.MaxLeftChar(), 100000);
}

TEST(EditorWidget, CaretMovesTheViewToItself)
{
    TzeCustomEdit edit;
    ShowWithCells(edit, 40, 10);
    edit.SetText(NumberedLines(100));
    edit.SetCaretXY(TPoint{1, 50});
    EXPECT_EQ(edit.TopLine(), 41);
    edit.SetCaretXY(TPoint{1, 20});
    EXPECT_EQ(edit.TopLine(), 20);
    // Column 41 is the one right after the last whole column: no scroll yet.
    edit.SetCaretX(41);
    EXPECT_EQ(edit.LeftChar(), 1);
    edit.SetCaretX(42);
    EXPECT_EQ(edit.LeftChar(), 3);
    edit.SetCaretX(2);
    EXPECT_EQ(edit.LeftChar(), 2);
}

TEST(EditorWidget, ManyInsertedLinesUpdateTheBarOnce)
{
    TzeCustomEdit edit;
    ShowWithCells(edit, 40, 10);
    int rangeChanges = 0;
    QObject::connect(edit.verticalScrollBar(), &QScrollBar::rangeChanged, [&rangeChanges] { ++rangeChanges; });
    edit.SetSelTextPrimitive(NumberedLines(500));
    EXPECT_EQ(edit.LineCount(), 501);
    EXPECT_EQ(edit.verticalScrollBar()->maximum(), 501);
    EXPECT_EQ(rangeChanges, 1);

    // A single insertion outside a bracket updates it at once, also under the paint lock.
    TPaintLockGuard lock(edit);
    edit.Document().InsertLine(0, "top");
    EXPECT_EQ(edit.verticalScrollBar()->maximum(), 502);
}

TEST(EditorWidget, PaintsItsLinesOnTheGrid)
{
    TzeCustomEdit edit;
    ShowWithCells(edit, 30, 6);
    edit.SetText("Sub Main\r\n  MsgBox \"Hello\"\r\nEnd Sub");
    edit.SetBlockBegin(TPoint{3, 2});
    edit.SetBlockEnd(TPoint{9, 2});
    const QImage image = edit.viewport()->grab().toImage();
    ASSERT_FALSE(image.isNull());
    image.save(QStringLiteral("zeCustomEdit-plain.png"));

    const int cw = edit.CharWidth();
    const int lh = edit.LineHeight();
    const QRgb base = edit.palette().color(QPalette::Base).rgb();
    const QRgb button = edit.palette().color(QPalette::Button).rgb();
    const QRgb highlight = edit.palette().color(QPalette::Highlight).rgb();
    const int dpr = int(image.devicePixelRatio());
    ASSERT_EQ(dpr, 1);
    // The gutter is a plain strip.
    EXPECT_EQ(image.pixel(5, 5), button);
    EXPECT_FALSE(HasInk(image, QRect(0, 0, 27, image.height()), button));
    // "Sub Main": ink in the cell of S; none after the text of line 1.
    EXPECT_TRUE(HasInk(image, QRect(32, 0, cw, lh), base));
    EXPECT_FALSE(HasInk(image, QRect(32 + 9 * cw, 0, 10 * cw, lh), base));
    // Two leading blanks on line 2, then the selected "MsgBox".
    EXPECT_FALSE(HasInk(image, QRect(32, lh, 2 * cw, lh), base));
    EXPECT_EQ(image.pixel(32 + 2 * cw, lh), highlight);
    EXPECT_EQ(image.pixel(32 + 8 * cw - 1, lh), highlight);
    EXPECT_NE(image.pixel(32 + 8 * cw, lh), highlight);
    EXPECT_NE(image.pixel(32 + 2 * cw - 1, lh), highlight);
    // Below the last line: background only.
    EXPECT_FALSE(HasInk(image, QRect(32, 3 * lh, 20 * cw, 2 * lh), base));
}
