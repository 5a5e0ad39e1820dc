// ButtonLayout.h: the colour picker button's geometry as pure functions.
// Where glyph, caption and colour indicator go, and where the drop-down arrow sits.
#ifndef QUENLO_WIDGETS_BUTTONLAYOUT_H
#define QUENLO_WIDGETS_BUTTONLAYOUT_H

#include <array>

#include <QPoint>
#include <QRect>
#include <QSize>

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TGlyphLayoutInput {
    QRect client;          // C: the button's interior after its frame
    QPoint offset;         // the press offset
    QSize glyph;           // one image of the strip; empty without glyph
    QSize caption;         // the caption's extent; empty without caption
    TButtonLayout layout = blGlyphLeft;
    int margin = -1;       // -1 centres
    int spacing = 4;       // -1 centres
    int dropDownWidth = 15;
    bool rightToLeft = false;
};

struct TGlyphLayoutResult {
    QPoint glyphPos;       // top-left of the glyph
    QRect textBounds;      // where the caption goes
    QRect indicator;       // the colour indicator, I
};

TGlyphLayoutResult LayoutGlyph(const TGlyphLayoutInput &input) noexcept;

// The drop-down arrow's left point for a button of width x height; one pixel
// right and down while pressed.
QPoint ArrowPoint(int width, int height, int dropDownWidth, bool pressed) noexcept;

// The arrow triangle from its left point.
std::array<QPoint, 3> ArrowTriangle(QPoint left) noexcept;

#endif
