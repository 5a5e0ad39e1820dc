// zeGutter.cpp: gutter settings, width and painting (see zeGutter.h).
#include "editor/zeGutter.h"

#include <algorithm>
#include <array>

#include <QPainter>

#include "editor/zeDecorations.h"

// Outside any namespace, as the resource initialiser must be.
static void InitBookmarkResources()
{
    Q_INIT_RESOURCE(zeBookmarks);
}

template <class T>
void TzeGutter::Store(T &field, T value)
{
    if (field == value)
        return;
    field = value;
    if (OnChange)
        OnChange();
}

void TzeGutter::Assign(const TzeGutter &source)
{
    m_color = source.m_color;
    m_width = source.m_width;
    m_showLineNumbers = source.m_showLineNumbers;
    m_digitCount = source.m_digitCount;
    m_leadingZeros = source.m_leadingZeros;
    m_zeroStart = source.m_zeroStart;
    m_leftOffset = source.m_leftOffset;
    m_rightOffset = source.m_rightOffset;
    if (OnChange)
        OnChange();
}

int TzeGutter::RealGutterWidth(int charWidth) const noexcept
{
    if (!m_showLineNumbers)
        return m_width;
    return m_leftOffset + m_rightOffset + m_digitCount * charWidth + kGutterSeparator;
}

void TzeGutter::SetColor(TColor value) { Store(m_color, value); }
void TzeGutter::SetWidth(int value) { Store(m_width, std::max(0, value)); }
void TzeGutter::SetShowLineNumbers(bool value) { Store(m_showLineNumbers, value); }
void TzeGutter::SetDigitCount(int value) { Store(m_digitCount, std::clamp(value, 2, 12)); }
void TzeGutter::SetLeadingZeros(bool value) { Store(m_leadingZeros, value); }
void TzeGutter::SetZeroStart(bool value) { Store(m_zeroStart, value); }
void TzeGutter::SetLeftOffset(int value) { Store(m_leftOffset, std::max(0, value)); }
void TzeGutter::SetRightOffset(int value) { Store(m_rightOffset, std::max(0, value)); }

std::string TzeGutter::LineNumberText(int line) const
{
    const std::string digits = std::to_string(m_zeroStart ? line - 1 : line);
    const size_t width = size_t(m_digitCount);
    if (digits.size() >= width)
        return digits;
    return std::string(width - digits.size(), m_leadingZeros ? '0' : ' ') + digits;
}

namespace {

// The marks of the rows of range, plain marks before bookmarks on each row.
void PaintMarks(QPainter &painter, const TzeViewMetrics &metrics, const TzePaintRange &range,
                const TzeGutterPaint &options, const std::vector<TzeGutterMark> &marks, std::vector<int> &markOffsets)
{
    // Every row that can show, a partly visible last one included.
    const size_t rows = size_t(std::max(0, metrics.ClientHeight / metrics.LineHeight + 2));
    markOffsets.assign(std::max(rows, markOffsets.size()), 0);
    const auto inRange = [&range](const TzeGutterMark &mark) {
        return mark.Visible && mark.Line >= range.FirstLine && mark.Line <= range.LastLine;
    };
    const auto paintMark = [&](const TzeGutterMark &mark) {
        const int row = mark.Line - metrics.TopLine;
        if (row < 0 || size_t(row) >= markOffsets.size() || !mark.Draw)
            return;
        const int x = markOffsets[size_t(row)] + options.LeftMargin;
        if (mark.Draw(painter, x, row * metrics.LineHeight))
            markOffsets[size_t(row)] += options.Xoffset;
    };
    // Plain marks first, so bookmarks stand right of them on their row.
    bool bookmarkSeen = false;
    for (const TzeGutterMark &mark : marks) {
        if (!inRange(mark))
            continue;
        if (mark.IsBookmark)
            bookmarkSeen = true;
        else
            paintMark(mark);
    }
    if (bookmarkSeen)
        for (const TzeGutterMark &mark : marks)
            if (mark.IsBookmark && inRange(mark))
                paintMark(mark);
}

} // namespace

void PaintGutter(TCanvas &canvas, const QRect &gutterRect, const TzeViewMetrics &metrics,
                 const TzePaintRange &range, const TzeGutterPaint &options,
                 const std::vector<TzeGutterMark> &marks, std::vector<int> &markOffsets)
{
    QPainter *painter = canvas.Painter();
    if (!painter || !options.Gutter)
        return;
    const TzeGutter &gutter = *options.Gutter;
    canvas.SetFont(options.Font);
    canvas.SetBrushColor(gutter.Color());
    if (gutter.ShowLineNumbers()) {
        canvas.SetFontStyle(TFontStyles());
        canvas.SetFontColor(options.FontColor);
        std::array<int, 24> advances;
        advances.fill(metrics.CharWidth);
        const int right = std::max(RightOf(gutterRect), metrics.GutterWidth - kGutterSeparator);
        int y = metrics.RowTop(range.FirstLine);
        for (int row = range.FirstLine; row <= range.LastLine; ++row, y += metrics.LineHeight) {
            const int line = options.LineOfRow ? options.LineOfRow(row) : row;
            canvas.TextRect(Edges(gutterRect.x(), y, right, y + metrics.LineHeight), gutter.LeftOffset(), y,
                            gutter.LineNumberText(line), advances);
        }
        if (y < BottomOf(gutterRect))
            canvas.FillRect(Edges(gutterRect.x(), y, right, BottomOf(gutterRect)));
    } else {
        canvas.FillRect(gutterRect);
    }

    const int separator = metrics.GutterWidth - kGutterSeparator;
    if (RightOf(gutterRect) >= separator) {
        painter->fillRect(Edges(separator, gutterRect.y(), separator + 1, BottomOf(gutterRect)),
                          ToQColor(clBtnHighlight));
        painter->fillRect(Edges(separator + 1, gutterRect.y(), separator + 2, BottomOf(gutterRect)),
                          ToQColor(clBtnShadow));
    }

    if (options.FoldColumn > 0 && !options.Folds.empty()) {
        const int x = separator - options.FoldColumn;
        PaintFoldColumn(*painter, metrics, x, options.FoldColumn, range.FirstLine, options.Folds, clBtnShadow,
                        options.FontColor, clWindow);
    }
    if (options.GlyphsVisible)
        PaintMarks(*painter, metrics, range, options, marks, markOffsets);
    if (options.ErrorLine >= range.FirstLine && options.ErrorLine <= range.LastLine) {
        const size_t row = size_t(options.ErrorLine - metrics.TopLine);
        const int offset = options.GlyphsVisible && row < markOffsets.size() ? markOffsets[row] : 0;
        PaintErrorGlyph(*painter, ErrorGlyphRect(metrics, options.ErrorLine, offset + options.LeftMargin));
    }
}

void PaintErrorGlyph(QPainter &painter, const QRect &rect)
{
    // A red disc with a white cross.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(clRed));
    painter.drawEllipse(QRectF(rect));
    const QRectF cross = QRectF(rect).adjusted(rect.width() * 0.3, rect.height() * 0.3, -rect.width() * 0.3,
                                               -rect.height() * 0.3);
    painter.setPen(QPen(Qt::white, std::max(1.0, rect.width() / 6.0)));
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.topRight(), cross.bottomLeft());
    painter.restore();
}

QPixmap BookmarkBitmap(int n)
{
    if (n < 0 || n >= kBookmarkCount)
        return {};
    static const bool initialised = (InitBookmarkResources(), true);
    (void)initialised;
    return QPixmap(QStringLiteral(":/bookmarks/MARK_%1.bmp").arg(n));
}
