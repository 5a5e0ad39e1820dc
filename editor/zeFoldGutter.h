// zeFoldGutter.h: how folding shows. The gutter's fold column gives each
// row a box (minus, or plus when folded) where a region starts and a line
// down to where it ends; a folded line shows a small box after its text.
#ifndef QUENLO_EDITOR_ZEFOLDGUTTER_H
#define QUENLO_EDITOR_ZEFOLDGUTTER_H

#include <span>

#include <QPainter>
#include <QRect>

#include "toolkit/Colors.h"
#include "editor/zeFoldMap.h"
#include "editor/zeViewMetrics.h"

// What one row shows in the fold column.
struct TzeFoldGlyph {
    bool Box = false;       // a region starts here
    bool Folded = false;    // ... folded: a plus, else a minus
    bool LineAbove = false; // the line of a region from above reaches the row
    bool LineBelow = false; // ... and goes on below it
    bool Tick = false;      // a region ends on the row
    friend bool operator==(const TzeFoldGlyph &, const TzeFoldGlyph &) = default;
};
TzeFoldGlyph FoldGlyph(const TzeFoldMap::TLineMark &mark) noexcept;

// The column's width for rows of lineHeight: 12 pixels at the smallest,
// growing with the font.
int FoldColumnWidth(int lineHeight) noexcept;
// The side of a row's box (odd, so that its sign has a middle).
int FoldBoxSize(int columnWidth, int lineHeight) noexcept;

// The column's glyphs from firstRow on, one per row, in the column whose
// left edge is x.
void PaintFoldColumn(QPainter &painter, const TzeViewMetrics &metrics, int x, int width, int firstRow,
                     std::span<const TzeFoldGlyph> glyphs, TColor lineColor, TColor signColor, TColor boxColor);

// The box after a folded line's text, whose text takes cells cells.
QRect FoldedMarkerRect(const TzeViewMetrics &metrics, int row, int cells) noexcept;
void PaintFoldedMarker(QPainter &painter, const QRect &box, TColor color, TColor background);

#endif
