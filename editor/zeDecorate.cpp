// zeDecorate.cpp: the host's decorations of TzeCustomEdit and their geometry
// (see zeDecorations.h); the renderer and the gutter paint them.
#include <algorithm>
#include <array>
#include <utility>

#include "editor/zeCustomEdit.h"
#include "editor/zeDecorations.h"

namespace {

// The largest error glyph: the bookmark glyphs' width.
constexpr int kErrorGlyphSize = 11;

} // namespace

QRect SpanRect(const TzeViewMetrics &m, const TzeTextSpan &span) noexcept
{
    return QRect(m.ColumnLeft(span.Column), m.RowTop(span.Line), std::max(1, span.Length) * m.CharWidth,
                 m.LineHeight);
}

QRect ErrorGlyphRect(const TzeViewMetrics &m, int line, int x) noexcept
{
    const int size = std::max(1, std::min(kErrorGlyphSize, m.LineHeight - 2));
    return QRect(x, m.RowTop(line) + (m.LineHeight - size) / 2, size, size);
}

bool OnErrorDecoration(const TzeViewMetrics &m, const TzeDecorations &d, QPoint p) noexcept
{
    if (!d.HasError() || p.y() < m.RowTop(d.ErrorSpan.Line) || p.y() >= m.RowTop(d.ErrorSpan.Line + 1))
        return false;
    if (p.x() < m.GutterWidth)
        return true;
    const QRect cells = SpanRect(m, d.ErrorSpan);
    return p.x() >= cells.left() && p.x() <= cells.right() && p.x() >= m.GutterWidth + kGutterGap;
}

TzeDecorations TzeCustomEdit::CellDecorations() const
{
    TzeDecorations cells = m_decorations;
    // Cells and display rows; a span on a folded line is not shown.
    const auto toCells = [this](TzeTextSpan &span) {
        const int row = m_view.ShownRow(span.Line);
        if (row == 0) {
            span.Line = 0;
            return;
        }
        const int first = m_view.CellOf(TPoint{span.Column, span.Line});
        const int end = m_view.CellOf(TPoint{span.Column + std::max(1, span.Length), span.Line});
        span.Column = first;
        span.Length = end - first;
        span.Line = row;
    };
    toCells(cells.ErrorSpan);
    toCells(cells.WordAt);
    for (TzeTextSpan &frame : cells.Frames)
        toCells(frame);
    std::erase_if(cells.Frames, [](const TzeTextSpan &frame) { return frame.Line <= 0; });
    return cells;
}

void TzeCustomEdit::SetDecorations(TzeDecorations value)
{
    if (value == m_decorations)
        return;
    const TzeDecorations old = std::exchange(m_decorations, std::move(value));
    // A new word shows anywhere in view; spans only on their lines.
    if (old.Word != m_decorations.Word) {
        InvalidateLines(-1, -1);
    } else {
        const auto repaint = [this](const TzeTextSpan &span) {
            if (span.Line > 0)
                InvalidateLines(span.Line, span.Line);
        };
        for (const TzeDecorations *d : std::array{&old, static_cast<const TzeDecorations *>(&m_decorations)}) {
            repaint(d->ErrorSpan);
            repaint(d->WordAt);
            for (const TzeTextSpan &frame : d->Frames)
                repaint(frame);
        }
    }
    if (old.ErrorSpan.Line != m_decorations.ErrorSpan.Line) {
        if (old.HasError())
            InvalidateGutterLines(old.ErrorSpan.Line, old.ErrorSpan.Line);
        if (m_decorations.HasError())
            InvalidateGutterLines(m_decorations.ErrorSpan.Line, m_decorations.ErrorSpan.Line);
    }
}
