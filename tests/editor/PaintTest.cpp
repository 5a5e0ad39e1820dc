// PaintTest.cpp: what the editor paints, read back from offscreen images in
// Liberation Mono: selection shapes, styled tokens on the grid, line spacing,
// the gutter with numbers and bookmark glyphs, the caret, scrolling, and the
// same grid at 200 %.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "highlight/jaVBSSyn.h"
#include "EditorTestSupport.h"

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 0xFF);
constexpr QRgb kBlue = qRgb(0, 0, 255);

// Whether every pixel of rect (logical, at ratio) has colour.
bool AllOf(const QImage &image, const QRect &rect, QRgb colour, qreal ratio = 1)
{
    const QRect device(QPoint(int(rect.x() * ratio), int(rect.y() * ratio)), (QSizeF(rect.size()) * ratio).toSize());
    for (int y = device.top(); y <= device.bottom(); ++y)
        for (int x = device.left(); x <= device.right(); ++x)
            if (image.pixel(x, y) != colour)
                return false;
    return !device.isEmpty();
}

// The cell rectangle of (column, line) in client pixels.
QRect CellRect(const TzeCustomEdit &edit, int column, int line)
{
    const TzeViewMetrics m = edit.ViewMetrics();
    return QRect(m.ColumnLeft(column), m.RowTop(line), m.CharWidth, m.LineHeight);
}

// The pixels of a cell, for comparing glyphs.
QImage CellImage(const QImage &image, const QRect &cell)
{
    return image.copy(cell);
}

} // namespace

TEST(Paint, SelectionShapesOnOneAndSeveralLines)
{
    TzeCustomEdit edit;
    Prepare(edit, 30, 6);
    edit.SetText("abcdefgh\r\nab\r\n\r\nabcdefghij");
    struct Case {
        TPoint from, to;
        // (column, line) cells expected blue, and cells expected white
        std::vector<TPoint> selected, plain;
    };
    const Case cases[] = {
        // one line, past its end: only up to the last character
        {{3, 1}, {12, 1}, {{3, 1}, {8, 1}}, {{2, 1}, {9, 1}, {12, 1}, {3, 2}}},
        // several lines: to the window's edge on all but the last
        {{7, 1}, {4, 4}, {{7, 1}, {30, 1}, {1, 2}, {30, 2}, {1, 3}, {30, 3}, {1, 4}, {3, 4}},
         {{6, 1}, {4, 4}, {20, 4}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.X << "," << c.from.Y);
        Select(edit, c.from, c.to);
        const QImage image = Render(edit);
        for (TPoint cell : c.selected) {
            const QRect r = CellRect(edit, cell.X, cell.Y);
            // blue with white glyphs: the cell's bottom row is all blue
            EXPECT_TRUE(AllOf(image, QRect(r.x(), r.bottom(), r.width(), 1), kBlue)) << cell.X << "," << cell.Y;
        }
        for (TPoint cell : c.plain) {
            const QRect r = CellRect(edit, cell.X, cell.Y);
            EXPECT_TRUE(AllOf(image, QRect(r.x(), r.bottom(), r.width(), 1), kWhite)) << cell.X << "," << cell.Y;
        }
    }
}

TEST(Paint, TokensOfEveryStyleStayOnTheGrid)
{
    TjaVbsSyn syn;
    TzeCustomEdit edit;
    Prepare(edit, 30, 4);
    edit.SetHighLighter(&syn);
    edit.SetText("Dim x");
    syn.KeyAttri()->SetStyle(TFontStyles());
    const QImage plain = Render(edit);
    syn.KeyAttri()->SetStyle(fsBold | fsItalic);
    const QImage bold = Render(edit);
    // the keyword changed, the identifier after it did not move
    EXPECT_NE(CellImage(plain, CellRect(edit, 1, 1)), CellImage(bold, CellRect(edit, 1, 1)));
    EXPECT_EQ(CellImage(plain, CellRect(edit, 5, 1)), CellImage(bold, CellRect(edit, 5, 1)));

    // a token that starts left of LeftChar is drawn clipped at the gutter
    edit.SetText("abcdefghij = 1");
    const QImage home = Render(edit);
    const QImage homeCell = CellImage(home, CellRect(edit, 4, 1));
    edit.SetLeftChar(3);
    const QImage scrolled = Render(edit);
    EXPECT_EQ(CellImage(scrolled, CellRect(edit, 4, 1)), homeCell);
    EXPECT_EQ(scrolled.copy(0, 0, edit.GutterWidth(), edit.LineHeight()),
              home.copy(0, 0, edit.GutterWidth(), edit.LineHeight()));
    edit.SetHighLighter(nullptr);
}

namespace {

// Counts which parts an update rectangle paints.
class TPartsEdit : public TzeCustomEdit {
public:
    int Gutters = 0, Texts = 0;

protected:
    void PaintGutter(TCanvas &canvas, const QRect &rect) override
    {
        ++Gutters;
        TzeCustomEdit::PaintGutter(canvas, rect);
    }
    void PaintText(TCanvas &canvas, const QRect &rect) override
    {
        ++Texts;
        TzeCustomEdit::PaintText(canvas, rect);
    }
};

} // namespace

TEST(Paint, UpdateRectanglesPaintOnlyTheAreasTheyTouch)
{
    TPartsEdit edit;
    Prepare(edit, 20, 4);
    QImage image(edit.viewport()->size(), QImage::Format_RGB32);
    struct Case {
        QRect rect;
        int gutters, texts;
    };
    const Case cases[] = {
        {QRect(0, 0, 30, 40), 1, 0}, {QRect(30, 0, 50, 40), 0, 1}, {QRect(10, 5, 40, 10), 1, 1}};
    for (const Case &c : cases) {
        edit.Gutters = edit.Texts = 0;
        QPainter painter(&image);
        edit.Paint(painter, c.rect);
        EXPECT_EQ(edit.Gutters, c.gutters);
        EXPECT_EQ(edit.Texts, c.texts);
    }
}

TEST(Paint, ChangesRepaintFromTheirFirstLineOnly)
{
    // What a change of the lines asks to be painted again: its own row, or
    // every row from it down when lines come or go or range states change.
    TBraceHighlighter highlighter;
    TzeCustomEdit edit;
    edit.SetHighLighter(&highlighter);
    Prepare(edit, 20, 10);
    edit.clearFocus(); // no caret blinking into the regions
    struct TRegions : QObject {
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                Painted += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
        QRegion Painted;
    } regions;
    edit.viewport()->installEventFilter(&regions);
    struct Case {
        std::function<void()> change;
        int firstRow, lastRow;
        bool gutter;
    };
    const Case cases[] = {
        {[&] { edit.Document().PutLine(4, "x"); }, 5, 5, false},
        {[&] { edit.Document().InsertLine(2, "x"); }, 3, 11, true},
        {[&] { edit.Document().DeleteLine(7); }, 8, 11, true},
        {[&] { edit.Document().PutLine(5, "{"); }, 6, 10, false},
        {[&] { edit.Document().PutLine(5, "-"); }, 6, 6, false},
        {[&] { edit.Document().PutLine(9, "{ the same state after it"); }, 10, 10, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        edit.SetText("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n{\r\n}");
        QApplication::processEvents();
        regions.Painted = QRegion();
        cases[i].change();
        QApplication::processEvents();
        const TzeViewMetrics m = edit.ViewMetrics();
        const QRect expected = Edges(cases[i].gutter ? 0 : edit.GutterWidth(), m.RowTop(cases[i].firstRow),
                                     edit.ClientWidth(), std::min(m.RowTop(cases[i].lastRow + 1), edit.ClientHeight()));
        EXPECT_EQ(regions.Painted.boundingRect(), expected) << "case " << i;
    }
    edit.SetHighLighter(nullptr);
}

TEST(Paint, LongLinesPastMaxLeftCharAndRowsBelow)
{
    TzeCustomEdit edit;
    Prepare(edit, 40, 5);
    edit.SetMaxLeftChar(20);
    edit.SetText(std::string(5000, 'x') + "\r\nshort");
    const QImage image = Render(edit);
    // every visible column of the long line is drawn, the table notwithstanding
    for (int column : {1, 19, 20, 21, 40})
        EXPECT_FALSE(AllOf(image, CellRect(edit, column, 1), kWhite)) << column;
    EXPECT_TRUE(AllOf(image, CellRect(edit, 6, 2), kWhite));
    // rows below the text carry Color
    EXPECT_TRUE(AllOf(image, QRect(edit.GutterWidth(), 2 * edit.LineHeight(), 40 * edit.CharWidth(),
                                   3 * edit.LineHeight()), kWhite));
}

TEST(Paint, ExtraLineSpacingMakesRowsTallerInTheirBackground)
{
    TzeCustomEdit edit;
    Prepare(edit, 20, 4);
    const int height = edit.LineHeight();
    edit.SetText("MMMM\r\nMMMM");
    edit.SetExtraLineSpacing(3);
    EXPECT_EQ(edit.LineHeight(), height + 3);
    Select(edit, {1, 1}, {3, 1});
    const QImage image = Render(edit);
    // the three extra pixels of row 1 carry its backgrounds, the text stays at the top
    const QRect extraRows(CellRect(edit, 1, 1).x(), height, 4 * edit.CharWidth(), 3);
    // (the caret stands on the first pixel column)
    EXPECT_TRUE(AllOf(image, QRect(extraRows.x() + 1, height, 2 * edit.CharWidth() - 1, 3), kBlue));
    EXPECT_TRUE(AllOf(image, QRect(extraRows.x() + 2 * edit.CharWidth(), height, 2 * edit.CharWidth(), 3), kWhite));
    EXPECT_FALSE(AllOf(image, QRect(CellRect(edit, 1, 2).topLeft(), QSize(edit.CharWidth(), height)), kWhite));
}

TEST(Paint, GutterNumbersWidthAndBookmarkGlyphs)
{
    TzeCustomEdit edit;
    Prepare(edit, 20, 6);
    edit.SetText("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni\r\nj\r\nk\r\nl");
    EXPECT_EQ(edit.GutterWidth(), 30);
    EXPECT_EQ(edit.TextOrigin(), 32);
    edit.Gutter().SetShowLineNumbers(true);
    const int cw = edit.CharWidth();
    EXPECT_EQ(edit.GutterWidth(), 16 + 2 + 4 * cw + 2);
    EXPECT_EQ(edit.TextOrigin(), edit.GutterWidth() + 2);
    edit.Gutter().SetDigitCount(1);
    EXPECT_EQ(edit.Gutter().DigitCount(), 2);
    EXPECT_EQ(edit.GutterWidth(), 16 + 2 + 2 * cw + 2);
    // Assign copies every setting at once
    TzeGutter other;
    other.SetWidth(-5);
    EXPECT_EQ(other.Width(), 0);
    other.SetWidth(40);
    edit.SetGutter(other);
    EXPECT_EQ(edit.GutterWidth(), 40);
    EXPECT_FALSE(edit.Gutter().ShowLineNumbers());
    edit.Gutter().SetShowLineNumbers(true);

    // numbers: line 10 at row 10 - TopLine + 1, written from LeftOffset
    edit.Gutter().SetDigitCount(4);
    edit.SetTopLine(8);
    edit.SetBookmark(3, 1, 9);
    edit.SetBookmark(5, 1, 11);
    // a plain mark on the bookmark's row stands left of it
    TMark plain(&edit);
    plain.SetLine(9);
    plain.SetImageIndex(7);
    plain.SetVisible(true);
    plain.SetBookmarkNumber(-1);
    edit.Marks().Add(&plain);
    const QImage image = Render(edit);
    Render(edit, 2).save(QStringLiteral("zeGutter-numbers@2x.png"));
    const int lh = edit.LineHeight();
    const QRect digits(16 + 2 * cw, 2 * lh, 2 * cw, lh); // "  10": the digits 1 and 0
    EXPECT_FALSE(AllOf(image, digits, ToQColor(clBtnFace).rgb()));
    EXPECT_TRUE(AllOf(image, QRect(16, 2 * lh, 2 * cw, lh), ToQColor(clBtnFace).rgb()));
    // the glyphs: plain mark 7 at LeftMargin, bookmark 3 Xoffset further; bookmark 5 two rows down
    const auto glyphAt = [&](int n, int x, int row) {
        return image.copy(QRect(x, row * lh, 11, 14)) == edit.BuiltinBookmarkBitmaps(n).toImage().convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_TRUE(glyphAt(7, 2, 1));
    EXPECT_TRUE(glyphAt(3, 2 + 12, 1));
    EXPECT_TRUE(glyphAt(5, 2, 3));
    EXPECT_EQ(edit.MarkOffsets()[1], 24);
    // the glyph: silver tile, white highlight, grey shadow, black digit
    const QImage glyph = edit.BuiltinBookmarkBitmaps(3).toImage();
    EXPECT_EQ(glyph.size(), QSize(11, 14));
    EXPECT_EQ(glyph.pixel(0, 0), qRgb(192, 192, 192));
    EXPECT_EQ(glyph.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(glyph.pixel(9, 12), qRgb(128, 128, 128));
    EXPECT_EQ(glyph.pixel(3, 3), qRgb(0, 0, 0));
    edit.Marks().Remove(&plain);

    // with GlyphsVisible off the numbers stay and the glyphs go
    edit.BookMarkOptions().SetGlyphsVisible(false);
    const QImage hidden = Render(edit);
    EXPECT_FALSE(hidden.copy(QRect(2, lh, 11, 14)) ==
                 edit.BuiltinBookmarkBitmaps(3).toImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(AllOf(hidden, digits, ToQColor(clBtnFace).rgb()));
}

TEST(Paint, LineNumberTexts)
{
    TzeGutter gutter;
    struct Case {
        int digits;
        bool zeros, zeroStart;
        int line;
        const char *text;
    };
    const Case cases[] = {
        {4, false, false, 7, "   7"}, {4, true, false, 7, "0007"},      {4, true, false, 12345, "12345"},
        {4, false, true, 1, "   0"}, {2, true, true, 1, "00"},          {12, false, false, 3, "           3"},
    };
    for (const Case &c : cases) {
        gutter.SetDigitCount(c.digits);
        gutter.SetLeadingZeros(c.zeros);
        gutter.SetZeroStart(c.zeroStart);
        EXPECT_EQ(gutter.LineNumberText(c.line), c.text);
    }
}

TEST(Paint, CaretIsDrawnWhereItsPointIsAfterAScrollBarScroll)
{
    TzeCustomEdit edit;
    Prepare(edit, 20, 5);
    ASSERT_TRUE(edit.hasFocus());
    edit.SetText("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni\r\nj");
    edit.SetCaretXY({3, 3});
    const auto blackColumn = [&](const QImage &image, int x, int line) {
        const QRect r = CellRect(edit, 3, line);
        return AllOf(image, QRect(x, r.y() + 2, 1, r.height() - 4), qRgb(0, 0, 0));
    };
    // insert mode: a 2-pixel line one pixel left of the cell
    const int left = CellRect(edit, 3, 3).x();
    QImage image = Render(edit);
    EXPECT_TRUE(blackColumn(image, left - 1, 3) && blackColumn(image, left, 3));
    EXPECT_FALSE(blackColumn(image, left + 2, 3));
    // overwrite mode: a block over the cell
    edit.SetInsertMode(false);
    image = Render(edit);
    EXPECT_TRUE(blackColumn(image, left, 3) && blackColumn(image, left + edit.CharWidth() - 1, 3));
    // one line down with the scroll bar: the caret's line is now row 2
    edit.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(edit.TopLine(), 2);
    image = Render(edit);
    const QRect row2 = CellRect(edit, 3, 3);
    EXPECT_EQ(row2.y(), edit.LineHeight());
    EXPECT_TRUE(blackColumn(image, left, 3));
    EXPECT_TRUE(AllOf(image, QRect(left, 2 * edit.LineHeight() + 2, edit.CharWidth(), 4), kWhite));
    // scrolled out of view it is not drawn, and back it shows again
    edit.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_FALSE(edit.CaretShown());
    edit.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_TRUE(edit.CaretShown());
}

TEST(Paint, WheelThumbHintAndScrollCodes)
{
    TzeCustomEdit edit;
    Prepare(edit, 20, 10);
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line\r\n";
    edit.SetText(text);
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(50, 20), edit.viewport()->mapToGlobal(QPointF(50, 20)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(edit.viewport(), &event);
    };
    wheel(-240, Qt::NoModifier);
    EXPECT_EQ(edit.TopLine(), 7);
    wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(edit.TopLine(), 17);
    edit.VerticalScroll(scThumbTrack, 57);
    EXPECT_EQ(edit.TopLine(), 57);
    EXPECT_EQ(edit.ScrollHintText(), QStringLiteral("TopLine: 57"));
    edit.VerticalScroll(scEndScroll);
    EXPECT_TRUE(edit.ScrollHintText().isEmpty());
    edit.VerticalScroll(scBottom);
    EXPECT_EQ(edit.TopLine(), edit.LineCount());
    edit.HorizontalScroll(scThumbTrack, 5000);
    EXPECT_EQ(edit.LeftChar(), edit.MaxLeftChar() - edit.CharsInWindow());
    // the bar's thumb follows the view (its last position is a page before the range's end)
    EXPECT_EQ(edit.horizontalScrollBar()->value(), edit.horizontalScrollBar()->maximum());
}

TEST(Paint, HighDpiKeepsTheGridSharp)
{
    TzeCustomEdit edit;
    Prepare(edit, 30, 4);
    edit.SetText("abc def\r\nxyz");
    edit.SetRightEdge(10);
    edit.SetRightEdgeColor(clRed);
    Select(edit, {2, 1}, {5, 1});
    for (qreal ratio : {1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage image = Render(edit, ratio);
        const TzeViewMetrics m = edit.ViewMetrics();
        // the edge fills exactly its device pixels, no blend on either side
        const int edge = m.ColumnLeft(11);
        const int y = 3 * m.LineHeight;
        EXPECT_EQ(image.pixel(int(edge * ratio), int(y * ratio)), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(int(edge * ratio) - 1, int(y * ratio)), kWhite);
        EXPECT_EQ(image.pixel(int((edge + 2) * ratio), int(y * ratio)), kWhite);
        // the selection starts on its cell's device pixel
        const int left = m.ColumnLeft(2);
        const int bottom = m.LineHeight - 1;
        EXPECT_EQ(image.pixel(int(left * ratio), int(bottom * ratio)), kBlue);
        EXPECT_EQ(image.pixel(int(left * ratio) - 1, int(bottom * ratio)), kWhite);
    }
    // the bookmark glyph at 200 %: each pixel twice as wide and high
    edit.SetBookmark(1, 1, 2);
    const QImage image = Render(edit, 2);
    const QImage glyph = edit.BuiltinBookmarkBitmaps(1).toImage();
    const int lh = edit.LineHeight();
    for (QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(9, 12), QPoint(5, 5)})
        EXPECT_EQ(image.pixel(2 * (2 + p.x()) + 1, 2 * (lh + p.y()) + 1), glyph.pixel(p)) << p.x() << "," << p.y();
}

TEST(Paint, BookmarkImagesStandInUntilTheyGoAway)
{
    TzeCustomEdit edit;
    Prepare(edit, 20, 4);
    edit.SetText("a\r\nb\r\nc");
    edit.SetBookmark(0, 1, 1); // placed without images: keeps its built-in glyph
    auto images = std::make_unique<TImageList>();
    QPixmap red(11, 14);
    red.fill(Qt::red);
    images->Add(red);
    images->Add(red);
    edit.SetBookmarkImages(images.get());
    edit.SetBookmark(1, 1, 2); // index 1 of the list
    edit.SetBookmark(4, 1, 3); // no image 4: nothing drawn
    const int lh = edit.LineHeight();
    const QImage builtIn = edit.BuiltinBookmarkBitmaps(0).toImage().convertToFormat(QImage::Format_RGB32);
    QImage image = Render(edit);
    EXPECT_EQ(image.copy(QRect(2, 0, 11, 14)), builtIn);
    EXPECT_TRUE(AllOf(image, QRect(2, lh, 11, 14), qRgb(255, 0, 0)));
    EXPECT_TRUE(AllOf(image, QRect(2, 2 * lh, 11, 14), ToQColor(clBtnFace).rgb()));
    images.reset();
    EXPECT_EQ(edit.BookmarkImages(), nullptr);
    image = Render(edit);
    EXPECT_EQ(image.copy(QRect(2, lh, 11, 14)),
              edit.BuiltinBookmarkBitmaps(1).toImage().convertToFormat(QImage::Format_RGB32));
}
