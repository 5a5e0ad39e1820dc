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

const QColor &TCanvas::Resolved(TColor color, TResolvedColor &cache)
{
    if (!cache.Valid || cache.Color != color) {
        cache.Color = color;
        cache.Resolved = ToQColor(color);
        cache.Valid = true;
    }
    return cache.Resolved;
}

const TCanvas::TStyleFont &TCanvas::CurrentStyleFont()
{
    const size_t style = m_fontStyle.Bits();
    TStyleFont &font = m_styleFonts[style];
    if (!m_rawFontValid[style]) {
        font.Raw = QRawFont::fromFont(StyledFont());
        // One glyph per character code: the text never goes through QString.
        std::string all(256, '\0');
        for (int code = 0; code < 256; ++code)
            all[size_t(code)] = char(code);
        const QList<quint32> glyphs = font.Raw.glyphIndexesForString(Win1252::ToUnicode(all));
        font.Complete = font.Raw.isValid() && glyphs.size() == 256;
        if (font.Complete)
            std::copy(glyphs.begin(), glyphs.end(), font.Glyphs.begin());
        font.Ascent = std::round(font.Raw.ascent());
        m_rawFontValid[style] = true;
    }
    return font;
}

void TCanvas::FillRect(const QRect &rect)
{
    if (m_painter)
        m_painter->fillRect(rect, Resolved(m_brushColor, m_brush));
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
    const TStyleFont &font = CurrentStyleFont();
    // A whole-pixel baseline keeps the glyphs sharp at every scale.
    const qreal baseline = y + font.Ascent;
    int right = x;
    for (size_t i = 0; i < count; ++i)
        right += advances[i];
    // Clipping costs a state change: only text that can reach outside rect
    // (italics lean over their cells) needs it.
    const bool clip = x < rect.x() || right > rect.x() + rect.width() || m_fontStyle.Contains(fsItalic);
    if (clip) {
        m_painter->save();
        m_painter->setClipRect(rect, Qt::IntersectClip);
    }
    const QColor &color = Resolved(m_fontColor, m_pen);
    if (m_painter->pen().color() != color || m_painter->pen().style() != Qt::SolidLine)
        m_painter->setPen(color);
    if (font.Complete) {
        // Explicit positions keep every glyph on its cell, bold and italic included.
        m_glyphs.resize(qsizetype(count));
        m_positions.resize(qsizetype(count));
        qreal left = x;
        for (size_t i = 0; i < count; ++i) {
            m_glyphs[qsizetype(i)] = font.Glyphs[static_cast<unsigned char>(text[i])];
            m_positions[qsizetype(i)] = QPointF(left, baseline);
            left += advances[i];
        }
        QGlyphRun run;
        run.setRawFont(font.Raw);
        run.setGlyphIndexes(m_glyphs);
        run.setPositions(m_positions);
        run.setUnderline(m_fontStyle.Contains(fsUnderline));
        run.setStrikeOut(m_fontStyle.Contains(fsStrikeOut));
        m_painter->drawGlyphRun(QPointF(0, 0), run);
    } else {
        const QString chars = Win1252::ToUnicode(text.substr(0, count));
        m_painter->setFont(StyledFont());
        int left = x;
        for (size_t i = 0; i < count; ++i) {
            m_painter->drawText(QPointF(left, baseline), chars.at(qsizetype(i)));
            left += advances[i];
        }
    }
    if (clip)
        m_painter->restore();
}
