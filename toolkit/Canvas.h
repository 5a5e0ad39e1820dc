// Canvas.h: the framework's drawing surface over a QPainter.
// TFontStyles is the font-style set; TCanvas keeps brush colour, font colour,
// font and font style, and draws rectangles and text on a grid of advances.
#ifndef QUENLO_TOOLKIT_CANVAS_H
#define QUENLO_TOOLKIT_CANVAS_H

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string_view>

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QRect>

#include "toolkit/Colors.h"

class QPainter;

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A set of TFontStyle; its bits are the stored integer form (bold = bit 0 ...).
class TFontStyles {
public:
    constexpr TFontStyles() noexcept = default;
    constexpr TFontStyles(TFontStyle style) noexcept : m_bits(style) {}
    // Bits above strike-out are dropped.
    static constexpr TFontStyles FromBits(unsigned bits) noexcept
    {
        TFontStyles styles;
        styles.m_bits = std::uint8_t(bits & 15u);
        return styles;
    }
    constexpr unsigned Bits() const noexcept { return m_bits; }
    constexpr bool Empty() const noexcept { return m_bits == 0; }
    constexpr bool Contains(TFontStyle style) const noexcept { return (m_bits & style) != 0; }
    constexpr TFontStyles operator|(TFontStyles other) const noexcept { return FromBits(m_bits | other.m_bits); }
    constexpr TFontStyles operator-(TFontStyles other) const noexcept { return FromBits(m_bits & ~other.m_bits); }
    constexpr TFontStyles &operator|=(TFontStyles other) noexcept { return *this = *this | other; }
    friend constexpr bool operator==(TFontStyles, TFontStyles) noexcept = default;

private:
    std::uint8_t m_bits = 0;
};

constexpr TFontStyles operator|(TFontStyle a, TFontStyle b) noexcept
{
    return TFontStyles(a) | TFontStyles(b);
}

// Does not own the painter; a canvas without a painter only keeps its state
// (drawing calls then do nothing). The setters are virtual so that a test can
// watch what a highlighter assigns.
class TCanvas {
public:
    explicit TCanvas(QPainter *painter = nullptr);
    virtual ~TCanvas();
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    QPainter *Painter() const noexcept { return m_painter; }

    TColor BrushColor() const noexcept { return m_brushColor; }
    virtual void SetBrushColor(TColor color);
    TColor FontColor() const noexcept { return m_fontColor; }
    virtual void SetFontColor(TColor color);
    TFontStyles FontStyle() const noexcept { return m_fontStyle; }
    virtual void SetFontStyle(TFontStyles style);

    // Face and size come from font, the style set from its bold, italic,
    // underline and strike-out flags.
    void SetFont(const QFont &font);
    // The font as text is drawn: face and size with the current style.
    QFont StyledFont() const;

    // Fills rect with the brush colour.
    void FillRect(const QRect &rect);
    // Draws text (Windows-1252) with the top of its cells at y, character i
    // at x + advances[0] + ... + advances[i-1], in the font colour, clipped to
    // rect; opaque first fills rect with the brush colour. Characters beyond
    // the advance table are not drawn.
    void TextRect(const QRect &rect, int x, int y, std::string_view text,
                  std::span<const int> advances, bool opaque = true);

private:
    void FontChanged();

    QPainter *m_painter;
    TColor m_brushColor = clWhite;
    TColor m_fontColor = clBlack;
    TFontStyles m_fontStyle;
    QFont m_font;
    // One raw font per style set, derived from m_font and built lazily by
    // TextRect (token painting switches styles often), with the glyph of
    // every character code.
    struct TStyleFont {
        QRawFont Raw;
        std::array<quint32, 256> Glyphs{};
        // Every code has its glyph; otherwise text is drawn through QString.
        bool Complete = false;
        qreal Ascent = 0;
    };
    const TStyleFont &CurrentStyleFont();
    std::array<TStyleFont, 16> m_styleFonts;
    std::bitset<16> m_rawFontValid;
    // The drawable colour of a TColor, resolved once per value (a system
    // colour asks the palette).
    struct TResolvedColor {
        TColor Color = 0;
        QColor Resolved;
        bool Valid = false;
    };
    static const QColor &Resolved(TColor color, TResolvedColor &cache);
    TResolvedColor m_brush;
    TResolvedColor m_pen;
    // Reused by every run, so painting a token allocates nothing.
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
};

#endif
