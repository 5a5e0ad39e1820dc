// LiveCheckTest.cpp: the check as one types, read back from offscreen images
// (the underline under the error's columns, the gutter glyph on its row, both
// gone once the fix is typed, the frame around a partner keyword, the
// occurrence background), its tooltip and status text, and a result for an
// older text that is never shown.
#include <gtest/gtest.h>

#include <atomic>
#include <semaphore>

#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QToolTip>

#include "editor/zeCustomEdit.h"
#include "editor/zeRenderer.h"
#include "app/uLiveCheck.h"

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);

// An editor in Liberation Mono, black on white, without a highlighter, shown
// offscreen; the check watches it.
struct TCheckedEditor {
    TzeCustomEdit edit;
    TLiveCheck *check = new TLiveCheck(edit);

    explicit TCheckedEditor(const std::string &text)
    {
        QFont font(QStringLiteral("Liberation Mono"));
        font.setPixelSize(13);
        edit.SetFont(font);
        edit.SetColor(clWhite);
        edit.SetFontColor(clBlack);
        edit.SetRightEdge(0);
        edit.resize(400, 200);
        edit.show();
        edit.SetText(text);
        QApplication::processEvents();
    }

    QImage Render()
    {
        const QSize size = edit.viewport()->size();
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        edit.Paint(painter, QRect(QPoint(0, 0), size));
        return image;
    }

    // Runs the event loop until the check has taken a result (at most 5 s).
    void WaitForResult()
    {
        int results = 0;
        check->OnResult = [&results](TLiveCheck &) { ++results; };
        QElapsedTimer waited;
        waited.start();
        while (results == 0 && waited.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        check->OnResult = nullptr;
        ASSERT_GT(results, 0);
    }
};

// The pixels of rect in colour.
int Count(const QImage &image, const QRect &rect, const std::function<bool(QRgb)> &is)
{
    int n = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += is(image.pixel(x, y)) ? 1 : 0;
    return n;
}

bool Reddish(QRgb p) { return qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90; }

TEST(LiveCheck, UnderlineAndGlyphMarkTheErrorAndGoOnceTheFixIsTyped)
{
    // "Expected end of statement" at Bar: columns 14..16 of line 2.
    TCheckedEditor e("Sub Main\r\n    Call Foo Bar\r\nEnd Sub\r\n");
    e.check->CheckNow();
    const TzeViewMetrics m = e.edit.ViewMetrics();
    const QRect errorRow(m.GutterWidth, m.RowTop(2), m.ClientWidth - m.GutterWidth, m.LineHeight);
    const QRect underlined(m.ColumnLeft(14), m.RowTop(2), 3 * m.CharWidth, m.LineHeight);
    QImage image = e.Render();
    image.save(QStringLiteral("live-check-error.png"));
    EXPECT_GT(Count(image, underlined, Reddish), 3 * m.CharWidth / 2);
    // Nothing red on the row outside the token, nor on any other row.
    EXPECT_EQ(Count(image, errorRow, Reddish), Count(image, underlined, Reddish));
    const QRect text(m.GutterWidth, 0, m.ClientWidth - m.GutterWidth, m.ClientHeight);
    EXPECT_EQ(Count(image, text, Reddish), Count(image, underlined, Reddish));
    // The glyph on the gutter's row of line 2 only.
    const QRect gutter(0, 0, m.GutterWidth - 2, m.ClientHeight);
    const QRect glyphRow(0, m.RowTop(2), m.GutterWidth - 2, m.LineHeight);
    EXPECT_GT(Count(image, glyphRow, Reddish), 20);
    EXPECT_EQ(Count(image, gutter, Reddish), Count(image, glyphRow, Reddish));
    EXPECT_EQ(e.check->StatusText(), "Line 2: Expected end of statement");

    // The tooltip over the underline and over the glyph, none beside them.
    const auto tip = [&e](QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, e.edit.viewport()->mapToGlobal(at));
        QApplication::sendEvent(e.edit.viewport(), &help);
        return QToolTip::text();
    };
    EXPECT_EQ(tip(QPoint(m.ColumnLeft(6), m.RowTop(2) + 3)), QString());
    const QString expected = QStringLiteral("Line 2, column 14, error 1025: Expected end of statement");
    EXPECT_EQ(tip(underlined.center()), expected);
    EXPECT_EQ(tip(glyphRow.center()), expected);

    // The fix typed: " Bar" goes; after the pause the text is valid.
    e.edit.SetBlockBegin({13, 2});
    e.edit.SetBlockEnd({17, 2});
    e.edit.SetSelText(std::string());
    e.WaitForResult();
    image = e.Render();
    EXPECT_EQ(Count(image, QRect(QPoint(0, 0), image.size()), Reddish), 0);
    EXPECT_EQ(e.check->StatusText(), QString());
}

TEST(LiveCheck, AnErrorAtTheLineEndHasAShortMarkAfterTheText)
{
    TCheckedEditor e("x = 1 +\r\n");
    e.check->CheckNow();
    const TzeViewMetrics m = e.edit.ViewMetrics();
    // "x = 1 +" is 7 characters: the mark stands in column 8.
    EXPECT_EQ(e.edit.Decorations().ErrorSpan, (TzeTextSpan{1, 8, 1}));
    const QImage image = e.Render();
    EXPECT_GT(Count(image, QRect(m.ColumnLeft(8), m.RowTop(1), m.CharWidth, m.LineHeight), Reddish), 0);
    EXPECT_EQ(Count(image, QRect(m.ColumnLeft(1), m.RowTop(1), 7 * m.CharWidth, m.LineHeight), Reddish), 0);
}

TEST(LiveCheck, PartnerKeywordsAreFramedAndOccurrencesLit)
{
    TCheckedEditor e("If a Then\r\n  b = a\r\nEnd If\r\n");
    e.check->CheckNow();
    e.edit.SetCaretXY({1, 1}); // on If
    const TzeViewMetrics m = e.edit.ViewMetrics();
    QImage image = e.Render();
    const QColor frame = ToQColor(TzeRenderOptions().FrameColor);
    const auto isFrame = [&frame](QRgb p) { return QColor(p) == frame; };
    // "End If": 6 cells framed on line 3, the frame's four sides.
    const QRect endIf(m.ColumnLeft(1), m.RowTop(3), 6 * m.CharWidth, m.LineHeight);
    EXPECT_EQ(Count(image, endIf, isFrame), 2 * (endIf.width() + endIf.height()) - 4);
    EXPECT_GT(Count(image, QRect(m.ColumnLeft(1), m.RowTop(1), 2 * m.CharWidth, m.LineHeight), isFrame), 0);
    EXPECT_EQ(Count(image, QRect(m.GutterWidth, m.RowTop(2), 200, m.LineHeight), isFrame), 0);

    // On the a of line 2: the a of line 1 lit, not the caret's own.
    e.edit.SetCaretXY({7, 2});
    image = e.Render();
    image.save(QStringLiteral("live-check-partners.png"));
    const QColor lit = ToQColor(TzeRenderOptions().OccurrenceColor);
    const auto isLit = [&lit](QRgb p) { return QColor(p) == lit; };
    EXPECT_GT(Count(image, QRect(m.ColumnLeft(4), m.RowTop(1), m.CharWidth, m.LineHeight), isLit), m.CharWidth);
    EXPECT_EQ(Count(image, QRect(m.ColumnLeft(7), m.RowTop(2), m.CharWidth, m.LineHeight), isLit), 0);
    EXPECT_EQ(Count(image, QRect(m.ColumnLeft(1), m.RowTop(1), 3 * m.CharWidth, m.LineHeight), isLit), 0);
    EXPECT_EQ(Count(image, QRect(m.GutterWidth, m.RowTop(3), 200, m.LineHeight), isLit), 0);
    // Off, nothing is lit.
    e.check->SetShowOccurrences(false);
    EXPECT_EQ(Count(e.Render(), QRect(QPoint(0, 0), image.size()), isLit), 0);
}

// A check on the worker that the test holds while the text changes: its
// result is dropped, and the check of the new text is what shows.
TEST(LiveCheck, AResultForAnOlderTextIsNeverShown)
{
    TCheckedEditor e("Sub Main\r\n    Call Foo Bar\r\nEnd Sub\r\n");
    e.check->SetWorkerThreshold(0); // every text on the worker
    std::binary_semaphore release(0);
    std::atomic<int> started = 0;
    e.check->OnWorkerCheck = [&] {
        if (++started == 1)
            release.acquire();
    };
    std::vector<int> shownErrorLines;
    const auto record = [&shownErrorLines](TLiveCheck &check) {
        shownErrorLines.push_back(check.Outline().error ? check.Outline().error->error.line : 0);
    };
    e.check->OnResult = record;
    e.check->CheckNow();
    ASSERT_TRUE(e.check->WorkerBusy());
    // Fixed while the old text is being checked.
    e.edit.SetBlockBegin({13, 2});
    e.edit.SetBlockEnd({17, 2});
    e.edit.SetSelText(std::string());
    e.check->CheckNow(); // waits for the worker
    release.release();
    QElapsedTimer waited;
    waited.start();
    while ((e.check->WorkerBusy() || shownErrorLines.empty()) && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(e.check->DroppedResults(), 1);
    EXPECT_EQ(started.load(), 2);
    EXPECT_EQ(shownErrorLines, std::vector<int>{0}); // only the fixed text's result
    EXPECT_FALSE(e.edit.Decorations().HasError());
    EXPECT_TRUE(e.check->IsCurrent());
}

TEST(LiveCheck, TheErrorKeepsToItsLineWhileLinesComeAndGoAbove)
{
    TCheckedEditor e("a = 1\r\nCall Foo Bar\r\n");
    e.check->SetScheduled(false);
    e.check->CheckNow();
    EXPECT_EQ(e.edit.Decorations().ErrorSpan.Line, 2);
    e.edit.SetCaretXY({1, 1});
    e.edit.SetSelText("' a comment\r\n");
    e.check->CaretMoved();
    EXPECT_EQ(e.edit.Decorations().ErrorSpan.Line, 3);
    EXPECT_EQ(e.check->StatusText(), "Line 3: Expected end of statement");
    EXPECT_FALSE(e.check->IsCurrent());
}

} // namespace
