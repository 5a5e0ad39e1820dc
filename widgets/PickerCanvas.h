// PickerCanvas.h: the drawing the colour picker needs beyond the toolkit's
// canvas: a pen, rectangles, polygons, lines, 3-D edges, push-button frames
// and centred captions. Rectangles have exclusive right and bottom edges.
#ifndef QUENLO_WIDGETS_PICKERCANVAS_H
#define QUENLO_WIDGETS_PICKERCANVAS_H

#include <span>
#include <string_view>

#include <QPoint>

#include "toolkit/Canvas.h"

// The 1-pixel edge kinds; a 2-pixel edge is an outer and an inner one.
enum TEdgeKind { ekRaisedOuter, ekRaisedInner, ekSunkenOuter, ekSunkenInner };

class TPickerCanvas : public TCanvas {
public:
    explicit TPickerCanvas(QPainter *painter);

    TColor PenColor() const noexcept { return m_penColor; }
    void SetPenColor(TColor color) noexcept { m_penColor = color; }
    // No outline for Rectangle and Polygon.
    void SetNoPen(bool noPen) noexcept { m_noPen = noPen; }

    // Outline in the pen colour (unless no pen), filled with the brush colour.
    void Rectangle(const QRect &rect);
    // A one-pixel frame in the brush colour.
    void FrameRect(const QRect &rect);
    void Polygon(std::span<const QPoint> points);
    // The outline only, width 2, inverting what lies below in white (XOR).
    void XorOutline(std::span<const QPoint> points);
    // A horizontal line from x1 up to (not including) x2, in the pen colour.
    void HorizontalLine(int x1, int x2, int y);
    void VerticalLine(int x, int y1, int y2);

    // One 1-pixel edge around rect.
    void Edge(const QRect &rect, TEdgeKind kind);
    // Raised: outer and inner raised edges; sunken likewise.
    void Edge2(const QRect &rect, bool sunken);
    // An etched line: shadow above highlight, from x1 to x2 at y.
    void EtchedLine(int x1, int x2, int y);
    // A push-button frame with a face fill; rect becomes its interior.
    void PushButtonFrame(QRect &rect, bool pushed);
    // Fills rect with a checker of two colours.
    void DitherFill(const QRect &rect, TColor first, TColor second);

    // Text (Windows-1252) centred in rect on one line, '&' marking the
    // mnemonic, in the font colour on a clear background.
    void CentredText(const QRect &rect, std::string_view text);
    // The extent of text as CentredText draws it.
    static QSize TextExtent(const QFont &font, std::string_view text);

private:
    TColor m_penColor = clBlack;
    bool m_noPen = false;
};

#endif
