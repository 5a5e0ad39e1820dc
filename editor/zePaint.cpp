// zePaint.cpp: repaint requests and the plain painting of TzeCustomEdit.
// Lines are drawn in the editor's font on the grid of CharWidth x LineHeight
// cells, the selection in a second pass, the gutter as a button-face strip.
#include <algorithm>

#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include "toolkit/Win1252.h"
#include "editor/zeCustomEdit.h"

namespace {

// A rectangle from its left, top, right and bottom edges (right and bottom exclusive).
QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

int Right(const QRect &r)
{
    return r.x() + r.width();
}

int Bottom(const QRect &r)
{
    return r.y() + r.height();
}

} // namespace

// --- Repaint requests

void TzeCustomEdit::InvalidateAll()
{
    viewport()->update();
}

void TzeCustomEdit::InvalidateLines(int first, int last)
{
    if (!isVisible())
        return;
    if (first == -1 && last == -1) {
        viewport()->update(Edges(m_gutterWidth, 0, ClientWidth(), ClientHeight()));
        return;
    }
    const int lo = std::max(std::min(first, last), TopLine());
    const int hi = std::min(std::max(first, last), TopLine() + m_linesInWindow);
    if (hi < lo)
        return;
    viewport()->update(Edges(m_gutterWidth, (lo - TopLine()) * m_lineHeight, ClientWidth(),
                             (hi - TopLine() + 1) * m_lineHeight));
}

void TzeCustomEdit::InvalidateGutterLines(int first, int last)
{
    if (!isVisible())
        return;
    if (first == -1 && last == -1) {
        viewport()->update(Edges(0, 0, m_gutterWidth, ClientHeight()));
        return;
    }
    const int lo = std::max(std::min(first, last), TopLine());
    const int hi = std::min(std::max(first, last), TopLine() + m_linesInWindow);
    if (hi < lo)
        return;
    viewport()->update(Edges(0, (lo - TopLine()) * m_lineHeight, m_gutterWidth,
                             (hi - TopLine() + 1) * m_lineHeight));
}

// --- Painting

void TzeCustomEdit::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    Paint(painter, event->rect());
}

void TzeCustomEdit::Paint(QPainter &painter, const QRect &r)
{
    if (m_paintLock > 0) {
        m_paintPending = true;
        return;
    }
    m_paintPending = false;
    m_firstPaintChar = LeftChar();
    if (r.x() > m_gutterWidth - 2)
        m_firstPaintChar += (r.x() - m_gutterWidth - 2) / m_charWidth;
    m_lastPaintChar = LeftChar() + (Right(r) - m_gutterWidth - 2 + m_charWidth - 1) / m_charWidth;
    m_firstPaintLine = TopLine() + r.y() / m_lineHeight;
    m_lastPaintLine = std::min(TopLine() + (Bottom(r) + m_lineHeight - 1) / m_lineHeight, LineCount());

    if (r.x() < m_gutterWidth)
        PaintGutter(painter, Edges(r.x(), r.y(), m_gutterWidth, Bottom(r)));
    if (m_gutterWidth < Right(r)) {
        painter.setFont(m_font);
        PaintText(painter, Edges(std::max(r.x(), m_gutterWidth), r.y(), Right(r), Bottom(r)));
    }
    if (OnPaint) {
        painter.save();
        painter.setClipRect(r);
        TCanvas canvas(&painter);
        canvas.SetFont(m_font);
        canvas.SetFontColor(m_fontColor);
        canvas.SetBrushColor(m_color);
        OnPaint(*this, canvas);
        painter.restore();
    }
    if (m_caretVisible && m_caretBlinkOn && hasFocus()) {
        // Drawn inverting, as a system caret is, so a block shows its character.
        painter.setClipping(false);
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(CaretRect(), Qt::white);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void TzeCustomEdit::PaintGutter(QPainter &painter, const QRect &rect)
{
    painter.fillRect(rect, palette().color(QPalette::Button));
    if (Right(rect) >= m_gutterWidth - 2) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(m_gutterWidth - 2, rect.y(), m_gutterWidth - 2, Bottom(rect) - 1);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(m_gutterWidth - 1, rect.y(), m_gutterWidth - 1, Bottom(rect) - 1);
    }
}

QRegion TzeCustomEdit::SelectionRegion() const
{
    if (!SelAvail() || (m_hideSelection && !hasFocus()))
        return {};
    const TPoint b = BlockBegin();
    const TPoint f = BlockEnd();
    // 0-based cells, clamped to a little more than the window.
    const int startLine = std::max(b.Y - 1, TopLine() - 2);
    const int startColumn = std::max(b.X - 1, LeftChar() - 2);
    const int endLine = std::min(f.Y - 1, TopLine() + m_linesInWindow);
    const int endColumn = std::min(f.X - 1, LeftChar() + m_charsInWindow);
    if (startLine > endLine)
        return {};
    const auto rowTop = [this](int line) { return (line - TopLine() + 1) * m_lineHeight; };
    const auto columnLeft = [this](int column) { return column * m_charWidth + m_textOrigin; };
    const auto length = [this](int line) { return int(LineOrEmpty(line + 1).size()); };
    const int beyondRight = (LeftChar() + m_charsInWindow + 1) * m_charWidth + m_textOrigin;
    if (startLine == endLine)
        return QRegion(Edges(columnLeft(startColumn), rowTop(startLine),
                             columnLeft(std::min(endColumn, length(startLine))),
                             rowTop(startLine) + m_lineHeight));
    QRegion region(Edges(columnLeft(std::min(startColumn, length(startLine))), rowTop(startLine), beyondRight,
                         rowTop(startLine) + m_lineHeight));
    if (endLine - startLine > 1)
        region += Edges(m_textOrigin, rowTop(startLine + 1), beyondRight, rowTop(endLine));
    region += Edges(m_textOrigin, rowTop(endLine), columnLeft(std::min(endColumn, length(endLine))),
                    rowTop(endLine) + m_lineHeight);
    return region;
}

void TzeCustomEdit::PaintText(QPainter &painter, const QRect &rect)
{
    const QRegion area(rect);
    const QRegion selection = SelectionRegion();
    // The right edge: the left pixel of column RightEdge + 1, when it lies in rect.
    const int edge = m_rightEdge * m_charWidth + m_textOrigin;
    const bool drawEdge = m_rightEdge > 0 && rect.x() <= edge && edge <= Right(rect);
    const auto paintEdge = [&] {
        if (drawEdge) {
            painter.setPen(ToQColor(m_rightEdgeColor));
            painter.drawLine(edge, rect.y(), edge, Bottom(rect) - 1);
        }
    };
    painter.setClipRegion(selection.isEmpty() ? area : area.subtracted(selection));
    painter.setBrush(ToQColor(m_color));
    painter.setPen(ToQColor(m_fontColor));
    PaintPlainLines(painter, rect, m_firstPaintLine, m_lastPaintLine);

    const int below = (m_lastPaintLine - TopLine() + 1) * m_lineHeight;
    if (below < Bottom(rect))
        painter.fillRect(Edges(rect.x(), below, Right(rect), Bottom(rect)), ToQColor(m_color));
    paintEdge();

    if (!selection.isEmpty()) {
        painter.setClipRegion(selection.intersected(area));
        painter.setBrush(ToQColor(m_selectedColor->Background()));
        painter.setPen(ToQColor(m_selectedColor->Foreground()));
        const int first = std::max(m_firstPaintLine, BlockBegin().Y);
        const int last = std::min(m_lastPaintLine, BlockEnd().Y);
        if (first <= last)
            PaintPlainLines(painter, rect, first, last);
        paintEdge();
    }
    painter.setClipRegion(area);
}

void TzeCustomEdit::PaintPlainLines(QPainter &painter, const QRect &textRect, int first, int last)
{
    const QColor background = painter.brush().color();
    int y = (first - TopLine()) * m_lineHeight;
    for (int line = first; line <= last; ++line, y += m_lineHeight) {
        const QRect row = Edges(textRect.x(), y, Right(textRect), y + m_lineHeight);
        painter.fillRect(row, background);
        const std::string_view s = LineOrEmpty(line);
        const int length = int(s.size());
        const int lastChar = std::min(m_lastPaintChar, length);
        if (length < m_firstPaintChar || lastChar < m_firstPaintChar)
            continue;
        const QString text = Win1252::ToUnicode(
            std::string_view(s).substr(size_t(m_firstPaintChar - 1), size_t(lastChar - m_firstPaintChar + 1)));
        const QList<quint32> glyphs = m_rawFont.glyphIndexesForString(text);
        // One glyph per column, each at the start of its cell.
        QList<QPointF> positions;
        positions.reserve(glyphs.size());
        qreal x = 0;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            positions.append(QPointF(x, 0));
            const qsizetype column = m_firstPaintChar - 1 + i;
            x += column < qsizetype(m_charAdvances.size()) ? m_charAdvances[size_t(column)] : m_charWidth;
        }
        QGlyphRun run;
        run.setRawFont(m_rawFont);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF((m_firstPaintChar - 1) * m_charWidth + m_textOrigin, y + m_ascent), run);
    }
}
