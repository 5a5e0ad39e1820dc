// Canvas.cpp: TCanvas drawing through QPainter with explicit glyph positions.
#include "toolkit/Canvas.h"

#include <algorithm>
#include <cmath>

#include <QGlyphRun>
#include <QList>
#include <QPainter>
#include <QPointF>

#include "toolkit/Win1252.h"

TCanvas::TCanvas(QPainter *painter) : m_painter(painter) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetBrushColor(TColor color)
{
    m_brushColor = color;
}

void TCanvas::SetFontColor(TColor color)
{
    m_fontColor = color;
}

void TCanvas::SetFontStyle(TFontStyles style)
{
    m_fontStyle = style;
}

void TCanvas::SetFont(const QFont &font)
{
    m_font = font;
    TFontStyles style;
    if (font.bold())
        style |= fsBold;
    if (font.italic())
        style |= fsItalic;
    if (font.underline())
        style |= fsUnderline;
    if (font.strikeOut())
        style |= fsStrikeOut;
    m_fontStyle = style;
    FontChanged();
}

QFont TCanvas::StyledFont() const
{
    QFont font = m_font;
    font.setBold(m_fontStyle.Contains(fsBold));
    font.setItalic(m_fontStyle.Contains(fsItalic));
    font.setUnderline(m_fontStyle.Contains(fsUnderline));
    font.setStrikeOut(m_fontStyle.Contains(fsStrikeOut));
    return font;
}

void TCanvas::FontChanged()
{
    m_rawFontValid.reset();
}

void TCanvas::FillRect(const QRect &rect)
{
    if (m_painter)
        m_painter->fillRect(rect, ToQColor(m_brushColor));
}

void TCanvas::TextRect(const QRect &rect, int x, int y, std::string_view text,
                       std::span<const int> advances, bool opaque)
{
    if (!m_painter)
        return;
    if (opaque)
        FillRect(rect);
    const size_t count = std::min(text.size(), advances.size());
    if (count == 0)
        return;
    const QFont font = StyledFont();
    const size_t style = m_fontStyle.Bits();
    if (!m_rawFontValid[style]) {
        m_rawFonts[style] = QRawFont::fromFont(font);
        m_rawFontValid[style] = true;
    }
    const QRawFont &rawFont = m_rawFonts[style];
    const QString chars = Win1252::ToUnicode(text.substr(0, count));
    const QList<quint32> glyphs = rawFont.glyphIndexesForString(chars);

    m_painter->save();
    m_painter->setClipRect(rect, Qt::IntersectClip);
    m_painter->setPen(ToQColor(m_fontColor));
    // A whole-pixel baseline keeps the glyphs sharp at every scale.
    const qreal baseline = y + std::round(rawFont.ascent());
    if (rawFont.isValid() && size_t(glyphs.size()) == count) {
        // Explicit positions keep every glyph on its cell, bold and italic included.
        QList<QPointF> positions;
        positions.reserve(qsizetype(count));
        qreal left = x;
        for (size_t i = 0; i < count; ++i) {
            positions.append(QPointF(left, baseline));
            left += advances[i];
        }
        QGlyphRun run;
        run.setRawFont(rawFont);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        run.setUnderline(font.underline());
        run.setStrikeOut(font.strikeOut());
        m_painter->drawGlyphRun(QPointF(0, 0), run);
    } else {
        m_painter->setFont(font);
        int left = x;
        for (size_t i = 0; i < count; ++i) {
            m_painter->drawText(QPointF(left, baseline), chars.at(qsizetype(i)));
            left += advances[i];
        }
    }
    m_painter->restore();
}
