// PickerCanvas.cpp: pen, shape and 3-D edge drawing over the toolkit canvas.
// Everything is aliased and on whole pixels, so it scales cleanly.
#include "widgets/PickerCanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include "toolkit/Win1252.h"
#include "widgets/ColorPopupLayout.h"

namespace {

constexpr int kTextFlags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

// Top-left and bottom-right colours of each edge kind.
struct TEdgeColors {
    TColor topLeft;
    TColor bottomRight;
};

TEdgeColors ColorsOf(TEdgeKind kind) noexcept
{
    switch (kind) {
    case ekRaisedOuter:
        return {cl3DLight, cl3DDkShadow};
    case ekRaisedInner:
        return {clBtnHighlight, clBtnShadow};
    case ekSunkenOuter:
        return {clBtnShadow, clBtnHighlight};
    case ekSunkenInner:
        return {cl3DDkShadow, cl3DLight};
    }
    return {clBtnShadow, clBtnHighlight};
}

QPolygon ToPolygon(std::span<const QPoint> points)
{
    return QPolygon(QList<QPoint>(points.begin(), points.end()));
}

} // namespace

TPickerCanvas::TPickerCanvas(QPainter *painter) : TCanvas(painter) {}

void TPickerCanvas::Rectangle(const QRect &rect)
{
    if (!Painter() || rect.isEmpty())
        return;
    FillRect(rect);
    if (m_noPen)
        return;
    const TColor brush = BrushColor();
    SetBrushColor(m_penColor);
    FrameRect(rect);
    SetBrushColor(brush);
}

void TPickerCanvas::FrameRect(const QRect &rect)
{
    if (rect.isEmpty())
        return;
    const int right = RightOf(rect), bottom = BottomOf(rect);
    FillRect(Edges(rect.x(), rect.y(), right, rect.y() + 1));
    FillRect(Edges(rect.x(), bottom - 1, right, bottom));
    FillRect(Edges(rect.x(), rect.y(), rect.x() + 1, bottom));
    FillRect(Edges(right - 1, rect.y(), right, bottom));
}

void TPickerCanvas::Polygon(std::span<const QPoint> points)
{
    QPainter *painter = Painter();
    if (!painter)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBrush(ToQColor(BrushColor()));
    if (m_noPen)
        painter->setPen(Qt::NoPen);
    else
        painter->setPen(QPen(ToQColor(m_penColor), 0));
    painter->drawPolygon(ToPolygon(points));
    painter->restore();
}

void TPickerCanvas::XorOutline(std::span<const QPoint> points)
{
    QPainter *painter = Painter();
    if (!painter)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter->drawPolygon(ToPolygon(points));
    painter->restore();
}

void TPickerCanvas::HorizontalLine(int x1, int x2, int y)
{
    const TColor brush = BrushColor();
    SetBrushColor(m_penColor);
    FillRect(Edges(x1, y, x2, y + 1));
    SetBrushColor(brush);
}

void TPickerCanvas::VerticalLine(int x, int y1, int y2)
{
    const TColor brush = BrushColor();
    SetBrushColor(m_penColor);
    FillRect(Edges(x, y1, x + 1, y2));
    SetBrushColor(brush);
}

void TPickerCanvas::Edge(const QRect &rect, TEdgeKind kind)
{
    if (rect.isEmpty())
        return;
    const TEdgeColors colors = ColorsOf(kind);
    const int right = RightOf(rect), bottom = BottomOf(rect);
    const TColor pen = m_penColor;
    m_penColor = colors.topLeft;
    HorizontalLine(rect.x(), right - 1, rect.y());
    VerticalLine(rect.x(), rect.y(), bottom - 1);
    m_penColor = colors.bottomRight;
    HorizontalLine(rect.x(), right, bottom - 1);
    VerticalLine(right - 1, rect.y(), bottom);
    m_penColor = pen;
}

void TPickerCanvas::Edge2(const QRect &rect, bool sunken)
{
    Edge(rect, sunken ? ekSunkenOuter : ekRaisedOuter);
    Edge(rect.adjusted(1, 1, -1, -1), sunken ? ekSunkenInner : ekRaisedInner);
}

void TPickerCanvas::EtchedLine(int x1, int x2, int y)
{
    const TColor pen = m_penColor;
    m_penColor = clBtnShadow;
    HorizontalLine(x1, x2, y);
    m_penColor = clBtnHighlight;
    HorizontalLine(x1, x2, y + 1);
    m_penColor = pen;
}

void TPickerCanvas::PushButtonFrame(QRect &rect, bool pushed)
{
    if (pushed) {
        // A pushed button: dark outer and shadow inner frame, flat face.
        const TColor brush = BrushColor();
        SetBrushColor(cl3DDkShadow);
        FrameRect(rect);
        SetBrushColor(clBtnShadow);
        FrameRect(rect.adjusted(1, 1, -1, -1));
        SetBrushColor(brush);
    } else {
        Edge(rect, ekRaisedOuter);
        Edge(rect.adjusted(1, 1, -1, -1), ekRaisedInner);
    }
    rect.adjust(2, 2, -2, -2);
    const TColor brush = BrushColor();
    SetBrushColor(clBtnFace);
    FillRect(rect);
    SetBrushColor(brush);
}

void TPickerCanvas::DitherFill(const QRect &rect, TColor first, TColor second)
{
    QPainter *painter = Painter();
    if (!painter || rect.isEmpty())
        return;
    QImage pattern(2, 2, QImage::Format_RGB32);
    const QRgb a = ToQColor(first).rgb(), b = ToQColor(second).rgb();
    pattern.setPixel(0, 0, a);
    pattern.setPixel(1, 1, a);
    pattern.setPixel(1, 0, b);
    pattern.setPixel(0, 1, b);
    QBrush brush(pattern);
    painter->save();
    painter->setBrushOrigin(0, 0);
    painter->fillRect(rect, brush);
    painter->restore();
}

void TPickerCanvas::CentredText(const QRect &rect, std::string_view text)
{
    QPainter *painter = Painter();
    if (!painter || text.empty())
        return;
    painter->save();
    painter->setFont(StyledFont());
    painter->setPen(ToQColor(FontColor()));
    painter->drawText(rect, kTextFlags, Win1252::ToUnicode(text));
    painter->restore();
}

QSize TPickerCanvas::TextExtent(const QFont &font, std::string_view text)
{
    if (text.empty())
        return QSize(0, 0);
    return QFontMetrics(font).size(Qt::TextSingleLine | Qt::TextShowMnemonic, Win1252::ToUnicode(text));
}
