// zeFoldGutter.cpp: the fold column and the folded-line box (see zeFoldGutter.h).
#include "editor/zeFoldGutter.h"

#include <algorithm>

TzeFoldGlyph FoldGlyph(const TzeFoldMap::TLineMark &mark) noexcept
{
    TzeFoldGlyph glyph;
    glyph.Box = mark.Starts;
    glyph.Folded = mark.Folded;
    glyph.LineAbove = mark.Inside;
    glyph.LineBelow = mark.Continues || (mark.Starts && !mark.Folded);
    glyph.Tick = mark.Ends && !mark.Starts;
    return glyph;
}

int FoldColumnWidth(int lineHeight) noexcept
{
    return std::max(12, lineHeight * 4 / 5);
}

int FoldBoxSize(int columnWidth, int lineHeight) noexcept
{
    const int side = std::max(5, std::min(columnWidth - 3, lineHeight - 4));
    return side % 2 == 0 ? side - 1 : side;
}

void PaintFoldColumn(QPainter &painter, const TzeViewMetrics &metrics, int x, int width, int firstRow,
                     std::span<const TzeFoldGlyph> glyphs, TColor lineColor, TColor signColor, TColor boxColor)
{
    const int height = metrics.LineHeight;
    const int box = FoldBoxSize(width, height);
    const int cx = x + (width - 1) / 2;
    const QColor line = ToQColor(lineColor);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    int y = metrics.RowTop(firstRow);
    for (const TzeFoldGlyph &g : glyphs) {
        const int cy = y + (height - 1) / 2;
        const int boxTop = cy - box / 2;
        const int boxBottom = boxTop + box; // the row after the box
        // Whole pixel columns and rows: sharp at every scale.
        const auto vertical = [&](int from, int to) {
            if (to > from)
                painter.fillRect(QRect(cx, from, 1, to - from), line);
        };
        if (g.Box) {
            if (g.LineAbove)
                vertical(y, boxTop);
            if (g.LineBelow)
                vertical(boxBottom, y + height);
            const QRect frame(cx - box / 2, boxTop, box, box);
            painter.fillRect(frame, ToQColor(boxColor));
            painter.setPen(QPen(line, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(frame.adjusted(0, 0, -1, -1));
            const QColor sign = ToQColor(signColor);
            const int arm = std::max(1, box / 2 - 2);
            painter.fillRect(QRect(cx - arm, cy, 2 * arm + 1, 1), sign);
            if (g.Folded)
                painter.fillRect(QRect(cx, cy - arm, 1, 2 * arm + 1), sign);
        } else {
            if (g.LineAbove)
                vertical(y, g.LineBelow ? y + height : cy + 1);
            if (g.Tick)
                painter.fillRect(QRect(cx, cy, std::max(2, box / 2 + 1), 1), line);
        }
        y += height;
    }
    painter.restore();
}

QRect FoldedMarkerRect(const TzeViewMetrics &metrics, int row, int cells) noexcept
{
    // One blank cell after the text, three cells wide, a pixel inside the row.
    const int left = metrics.ColumnLeft(cells + 2);
    return QRect(left, metrics.RowTop(row) + 1, 3 * metrics.CharWidth, std::max(3, metrics.LineHeight - 2));
}

void PaintFoldedMarker(QPainter &painter, const QRect &box, TColor color, TColor background)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(box, ToQColor(background));
    const QColor frame = ToQColor(clGrayText);
    painter.setPen(QPen(frame, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    // Three dots on the text's baseline side, drawn as squares: no font needed.
    const int dot = std::max(1, box.height() / 8);
    const int gap = std::max(dot + 1, box.width() / 4);
    const int y = box.top() + box.height() * 2 / 3 - dot / 2;
    const int cx = box.left() + box.width() / 2;
    for (int i = -1; i <= 1; ++i)
        painter.fillRect(QRect(cx + i * gap - dot / 2, y, dot, dot), ToQColor(color));
    painter.restore();
}
