// ButtonLayout.cpp: glyph, caption, indicator and arrow positions.
#include "widgets/ButtonLayout.h"

#include <algorithm>

#include "widgets/ColorPopupLayout.h"

namespace {

// Gap between a glyph and the colour indicator beside it.
constexpr int kIndicatorGlyphGap = 4;
// Height of the indicator under a caption.
constexpr int kIndicatorBarHeight = 6;

// Margin and spacing along the layout axis, with -1 meaning centred.
void ResolveMarginSpacing(int client, int glyph, int text, int &margin, int &spacing) noexcept
{
    if (margin == -1 && spacing == -1) {
        margin = spacing = (client - glyph - text) / 3;
    } else if (margin == -1) {
        margin = (client - glyph - spacing - text + 1) / 2;
    } else if (spacing == -1) {
        spacing = (client - margin - glyph - text) / 2;
    }
}

} // namespace

TGlyphLayoutResult LayoutGlyph(const TGlyphLayoutInput &in) noexcept
{
    TButtonLayout layout = in.layout;
    if (in.rightToLeft) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
    }
    const QSize client(in.client.width() - in.dropDownWidth, in.client.height());
    const bool hasGlyph = !in.glyph.isEmpty();
    const bool hasCaption = !in.caption.isEmpty();
    const QSize glyph = hasGlyph ? in.glyph : QSize(0, 0);
    const QSize caption = hasCaption ? in.caption : QSize(0, 0);
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;

    // Across the layout axis both are centred.
    QPoint glyphPos, textPos;
    if (horizontal) {
        glyphPos.setY((client.height() - glyph.height() + 1) / 2);
        textPos.setY((client.height() - caption.height() + 1) / 2);
    } else {
        glyphPos.setX((client.width() - glyph.width() + 1) / 2);
        textPos.setX((client.width() - caption.width() + 1) / 2);
    }

    // Along it, margin and spacing place them.
    const int c = horizontal ? client.width() : client.height();
    const int g = horizontal ? glyph.width() : glyph.height();
    const int t = horizontal ? caption.width() : caption.height();
    int margin = in.margin;
    int spacing = hasGlyph && hasCaption ? in.spacing : 0;
    ResolveMarginSpacing(c, g, t, margin, spacing);
    int glyphAt, textAt;
    if (layout == blGlyphLeft || layout == blGlyphTop) {
        glyphAt = margin;
        textAt = margin + g + spacing;
    } else {
        glyphAt = c - margin - g;
        textAt = glyphAt - spacing - t;
    }
    if (horizontal) {
        glyphPos.setX(glyphAt);
        textPos.setX(textAt);
    } else {
        glyphPos.setY(glyphAt);
        textPos.setY(textAt);
    }

    const QPoint shift = in.client.topLeft() + in.offset;
    TGlyphLayoutResult result;
    result.glyphPos = glyphPos + shift;
    result.textBounds = QRect(textPos + shift, caption);

    const QRect &c0 = in.client;
    if (hasCaption) {
        const QRect &text = result.textBounds;
        const int top = BottomOf(text);
        result.indicator = Edges(text.x(), top, RightOf(text), std::min(top + kIndicatorBarHeight, BottomOf(c0) - 2));
    } else {
        // The indicator moves with the press offset, as the glyph does.
        QRect i = Edges(c0.x(), c0.y(), RightOf(c0) - (in.dropDownWidth + 2), BottomOf(c0))
                      .adjusted(2, 2, -2, -2)
                      .translated(in.offset);
        if (hasGlyph) {
            const QRect g0(result.glyphPos, glyph);
            switch (layout) {
            case blGlyphLeft:
                i = Edges(RightOf(g0) + kIndicatorGlyphGap, g0.y(), RightOf(i), BottomOf(g0));
                break;
            case blGlyphRight:
                i = Edges(i.x(), g0.y(), g0.x() - kIndicatorGlyphGap, BottomOf(g0));
                break;
            case blGlyphTop:
                i = Edges(i.x(), BottomOf(g0) + kIndicatorGlyphGap, RightOf(i), BottomOf(i));
                break;
            case blGlyphBottom:
                i = Edges(i.x(), i.y(), RightOf(i), g0.y() - kIndicatorGlyphGap);
                break;
            }
        }
        result.indicator = i;
    }
    return result;
}

QPoint ArrowPoint(int width, int height, int dropDownWidth, bool pressed) noexcept
{
    const int x = width - dropDownWidth + (dropDownWidth + 5) / 2 - 6;
    const int y = height / 2;
    return pressed ? QPoint(x + 1, y + 1) : QPoint(x, y);
}

std::array<QPoint, 3> ArrowTriangle(QPoint left) noexcept
{
    return {left, left + QPoint(6, 0), left + QPoint(3, 3)};
}
