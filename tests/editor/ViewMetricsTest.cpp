// ViewMetricsTest.cpp: the grid geometry without a window: touched ranges,
// selection shapes, scroll bar scaling, scroll codes, the wheel and the caret.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/zeViewMetrics.h"

namespace {

// A window of 80 columns and 20 rows of 8 x 15 cells right of the default gutter.
TzeViewMetrics Window80x20()
{
    TzeViewMetrics m;
    m.ClientWidth = 30 + kGutterGap + 80 * 8;
    m.ClientHeight = 20 * 15;
    m.CharsInWindow = 80;
    m.LinesInWindow = 20;
    return m;
}

} // namespace

TEST(ViewMetrics, TouchedRangeOfARectangle)
{
    TzeViewMetrics m = Window80x20();
    m.TopLine = 11;
    m.LeftChar = 3;
    m.TextOrigin = TextOriginFor(m.GutterWidth, m.LeftChar, m.CharWidth);
    struct Case {
        QRect rect;
        int lineCount, firstChar, lastChar, firstLine, lastLine;
    };
    const Case cases[] = {
        // the whole window: from LeftChar, one column beyond, to the line count
        {QRect(0, 0, m.ClientWidth, m.ClientHeight), 100, 3, 83, 11, 31},
        {QRect(0, 0, m.ClientWidth, m.ClientHeight), 15, 3, 83, 11, 15},
        // one cell: column 3 of the view is text column 5, row 2 is line 12;
        // the last column and line reach one further
        {QRect(32 + 16, 15, 8, 15), 100, 5, 6, 12, 13},
        // a partly covered cell counts
        {QRect(32 + 17, 16, 2, 2), 100, 5, 6, 12, 13},
        // entirely inside the gutter
        {QRect(0, 0, 20, 15), 100, 3, 3, 11, 12},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.x() << "," << c.rect.y());
        const TzePaintRange r = TouchedRange(m, c.rect, c.lineCount);
        EXPECT_EQ(r.FirstChar, c.firstChar);
        EXPECT_EQ(r.LastChar, c.lastChar);
        EXPECT_EQ(r.FirstLine, c.firstLine);
        EXPECT_EQ(r.LastLine, c.lastLine);
    }
}

TEST(ViewMetrics, PointsAndPixelsAgree)
{
    TzeViewMetrics m = Window80x20();
    m.TopLine = 5;
    m.LeftChar = 4;
    m.TextOrigin = TextOriginFor(m.GutterWidth, m.LeftChar, m.CharWidth);
    for (int line = 5; line < 25; ++line)
        for (int column = 4; column < 84; column += 7) {
            const int x = m.ColumnLeft(column), y = m.RowTop(line);
            // the left edge of a cell, and its left half, are that column
            EXPECT_EQ(PixelToPoint(m, x, y), (TPoint{column, line}));
            EXPECT_EQ(PixelToPoint(m, x + 3, y + 14), (TPoint{column, line}));
            // its right half is the gap after it
            EXPECT_EQ(PixelToPoint(m, x + 4, y), (TPoint{column + 1, line}));
        }
}

TEST(ViewMetrics, SelectionShapes)
{
    TzeViewMetrics m = Window80x20();
    const std::vector<int> lengths = {10, 4, 0, 30};
    const auto length = [&lengths](int line) { return line >= 1 && line <= 4 ? lengths[size_t(line - 1)] : 0; };
    const int right = m.ColumnLeft(m.LeftChar + m.CharsInWindow + 2);
    const auto left = [&m](int column) { return m.ColumnLeft(column); };
    struct Case {
        TPoint begin, end;
        std::vector<QRect> rects;
    };
    const Case cases[] = {
        {{3, 1}, {3, 1}, {}},
        // one line: up to the last character, also when the end lies past it
        {{3, 1}, {7, 1}, {Edges(left(3), 0, left(7), 15)}},
        {{3, 2}, {9, 2}, {Edges(left(3), 15, left(5), 30)}},
        // two lines: the first to beyond the window, the last up to its end
        {{3, 1}, {2, 2}, {Edges(left(3), 0, right, 15), Edges(m.TextOrigin, 15, left(2), 30)}},
        // four lines: one block for the lines between; a start past its line's end
        {{20, 1}, {50, 4}, {Edges(left(11), 0, right, 15), Edges(m.TextOrigin, 15, right, 45),
                            Edges(m.TextOrigin, 45, left(31), 60)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.begin.X << "," << c.begin.Y << " - " << c.end.X << "," << c.end.Y);
        EXPECT_EQ(SelectionRects(m, c.begin, c.end, length), c.rects);
    }
}

TEST(ViewMetrics, RepaintBandsOfLines)
{
    TzeViewMetrics m = Window80x20();
    m.TopLine = 11;
    // (-1, -1) is the whole height; other bands are cut to the window
    EXPECT_EQ(LinesRect(m, -1, -1, 30, 672), Edges(30, 0, 672, 300));
    EXPECT_EQ(LinesRect(m, 13, 12, 30, 672), Edges(30, 15, 672, 45));
    EXPECT_EQ(LinesRect(m, 1, 11, 0, 30), Edges(0, 0, 30, 15));
    EXPECT_EQ(LinesRect(m, 25, 90, 0, 30), Edges(0, 14 * 15, 30, 21 * 15));
    EXPECT_TRUE(LinesRect(m, 1, 10, 0, 30).isEmpty());
    EXPECT_TRUE(LinesRect(m, 32, 40, 0, 30).isEmpty());
}

TEST(ViewMetrics, ScrollBarsScaleBeyond32767Lines)
{
    // 10 lines in 20 rows: maximum 29, page 20
    EXPECT_EQ(VerticalScrollInfo(10, 20, 1), (TzeScrollInfo{1, 29, 20, 1}));
    EXPECT_EQ(VerticalScrollInfo(32748, 20, 7), (TzeScrollInfo{1, 32767, 20, 7}));
    // one line more goes onto the 0..32767 scale
    EXPECT_EQ(VerticalScrollInfo(32749, 20, 32749), (TzeScrollInfo{1, 32767, 20, 32748}));
    const TzeScrollInfo big = VerticalScrollInfo(1000000, 35, 500000);
    EXPECT_EQ(big.Max, 32767);
    EXPECT_EQ(big.Page, 1);
    EXPECT_EQ(big.Pos, MulDiv(32767, 500000, 1000034));

    TzeViewMetrics m = Window80x20();
    // 40000 lines: the thumb at 32767 reaches past the last line, which clamps
    EXPECT_EQ(ClampTopLine(VerticalScrollTarget(m, 40000, scThumbTrack, 32767), 40000), 40000);
    EXPECT_EQ(VerticalScrollTarget(m, 40000, scThumbPosition, 16384), MulDiv(40019, 16384, 32767));
    EXPECT_EQ(VerticalScrollTarget(m, 100, scThumbTrack, 57), 57);
    // LeftChar := 5000 with MaxLeftChar 1024 and 80 columns gives 944
    EXPECT_EQ(ClampLeftChar(5000, 1024, 80), 944);
    EXPECT_EQ(ClampLeftChar(-3, 1024, 80), 1);
    EXPECT_EQ(ClampLeftChar(5, 50, 80), 1);
    EXPECT_EQ(HorizontalScrollInfo(m), (TzeScrollInfo{1, 1024 - 80, 80, 1}));
}

TEST(ViewMetrics, EveryScrollCode)
{
    TzeViewMetrics m = Window80x20();
    m.TopLine = 50;
    m.LeftChar = 30;
    struct Case {
        int code, vertical, horizontal;
    };
    const Case cases[] = {
        {scLineUp, 49, 29},     {scLineDown, 51, 31},   {scPageUp, 30, -50},      {scPageDown, 70, 110},
        {scThumbPosition, 7, 7}, {scThumbTrack, 7, 7},  {scTop, 1, 1},            {scBottom, 300, 1024},
        {scEndScroll, 50, 30},  {42, 50, 30},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(VerticalScrollTarget(m, 300, c.code, 7), c.vertical);
        EXPECT_EQ(HorizontalScrollTarget(m, c.code, 7), c.horizontal);
    }
}

TEST(ViewMetrics, WheelAccumulatesAndCtrlScrollsPages)
{
    struct Step {
        int delta;
        bool ctrl, halfpage;
        int linesInWindow, back, accumulator;
    };
    // Each row runs on the accumulator the row before left.
    const Step steps[] = {
        {24, false, false, 20, 0, 24},   {24, false, false, 20, 0, 48},    {24, false, false, 20, 0, 72},
        {24, false, false, 20, 0, 96},   {24, false, false, 20, 3, 0},     {-240, false, false, 20, -6, 0},
        {120, true, true, 21, 10, 0},    {120, true, false, 21, 21, 0},    {120, false, false, 2, 2, 0},
        {-50, false, false, 20, 0, -50}, {-100, false, false, 20, -3, -30}, {60, false, false, 20, 0, 30},
    };
    int accumulator = 0;
    for (const Step &s : steps) {
        SCOPED_TRACE(s.delta);
        EXPECT_EQ(WheelScrollLines(accumulator, s.delta, s.ctrl, s.halfpage, s.linesInWindow), s.back);
        EXPECT_EQ(accumulator, s.accumulator);
    }
}

TEST(ViewMetrics, CaretPlacementAndVisibility)
{
    TzeViewMetrics m = Window80x20();
    m.TopLine = 10;
    const TzeCaretShape line = CaretShape(ctVerticalLine, 8, 15);
    const TzeCaretShape under = CaretShape(ctHorizontalLine, 8, 15);
    EXPECT_EQ(CaretPixel(m, {1, 10}, line.Offset), QPoint(31, 1));
    EXPECT_EQ(CaretPixel(m, {3, 12}, under.Offset), QPoint(48, 30 + 1 + 13));
    struct Case {
        TPoint caret;
        bool shown;
    };
    const Case cases[] = {
        {{1, 10}, true},  {{1, 9}, false},   {{1, 29}, true}, // the last whole row
        {{1, 30}, false}, {{81, 10}, true},  {{82, 10}, false},
    };
    for (const Case &c : cases)
        for (const TzeCaretShape &shape : {line, under}) {
            SCOPED_TRACE(testing::Message() << c.caret.X << "," << c.caret.Y);
            EXPECT_EQ(CaretInTextArea(m, CaretPixel(m, c.caret, shape.Offset), shape.Offset), c.shown);
        }
    // scrolled right, a caret left of LeftChar would stand over the gutter
    m.LeftChar = 5;
    m.TextOrigin = TextOriginFor(m.GutterWidth, m.LeftChar, m.CharWidth);
    EXPECT_FALSE(CaretInTextArea(m, CaretPixel(m, {4, 10}, line.Offset), line.Offset));
    EXPECT_TRUE(CaretInTextArea(m, CaretPixel(m, {5, 10}, line.Offset), line.Offset));

    // the caret may stand right after the last whole column without scrolling
    m = Window80x20();
    EXPECT_EQ(ViewShowingCaret(m, {81, 20}), (TPoint{1, 1}));
    EXPECT_EQ(ViewShowingCaret(m, {82, 21}), (TPoint{3, 2}));
    m.TopLine = 40;
    m.LeftChar = 10;
    EXPECT_EQ(ViewShowingCaret(m, {4, 12}), (TPoint{4, 12}));
}
