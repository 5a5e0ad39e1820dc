// zeDecorations.h: what the host marks over the editor's text, as plain data.
// TzeTextSpan is a run of cells on one line; TzeDecorations the error span with
// its gutter glyph, the partner frames and the occurrence word; the functions
// place them on the grid for painting and for hit tests.
#ifndef QUENLO_EDITOR_ZEDECORATIONS_H
#define QUENLO_EDITOR_ZEDECORATIONS_H

#include <string>
#include <vector>

#include <QPoint>
#include <QRect>

#include "editor/zeViewMetrics.h"

// Cells Column .. Column + Length - 1 of a 1-based line; Column is 1-based.
struct TzeTextSpan {
    int Line = 0;
    int Column = 1;
    int Length = 1;
    friend bool operator==(const TzeTextSpan &, const TzeTextSpan &) = default;
};

// Set by the host (the editor computes none of it). Line 0 in ErrorSpan: no
// error. An error at a line end has Length 1 there: the cell after the text.
struct TzeDecorations {
    TzeTextSpan ErrorSpan{0, 1, 1};
    // Shown while the pointer rests on the error span or its gutter glyph.
    std::string ErrorTip;
    // Keywords or parentheses that belong together, each drawn framed.
    std::vector<TzeTextSpan> Frames;
    // Every whole-word occurrence of Word (letter case ignored) on a painted
    // line gets the occurrence background, except the one at WordAt.
    std::string Word;
    TzeTextSpan WordAt{0, 1, 1};
    bool HasError() const noexcept { return ErrorSpan.Line > 0; }
    friend bool operator==(const TzeDecorations &, const TzeDecorations &) = default;
};

// The cells of span in client pixels (any line, also out of view).
QRect SpanRect(const TzeViewMetrics &m, const TzeTextSpan &span) noexcept;
// The error glyph of line: a square of the row's height, at most 11 pixels,
// left of the gutter's separator at x (the marks' next free offset).
QRect ErrorGlyphRect(const TzeViewMetrics &m, int line, int x) noexcept;
// Whether client pixel p rests on the error span's cells or on the gutter
// row of its line.
bool OnErrorDecoration(const TzeViewMetrics &m, const TzeDecorations &d, QPoint p) noexcept;

#endif
