// zeGutter.h: the gutter strip left of the editor's text.
// TzeGutter holds the gutter's settings and its width rule; TzeGutterMark is
// one mark as the painter sees it; PaintGutter draws line numbers, the
// separator and the marks of an update rectangle; BookmarkBitmap gives the
// ten built-in bookmark glyphs.
#ifndef QUENLO_EDITOR_ZEGUTTER_H
#define QUENLO_EDITOR_ZEGUTTER_H

#include <functional>
#include <string>
#include <vector>

#include <QFont>
#include <QPixmap>
#include <QRect>

#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "editor/zeFoldGutter.h"
#include "editor/zeTypes.h"
#include "editor/zeViewMetrics.h"

// Width of the separator at the gutter's right side.
inline constexpr int kGutterSeparator = 2;

// The gutter's settings. Every setter that changes a value calls OnChange
// (the owning editor then recomputes the gutter width).
class TzeGutter {
public:
    TzeGutter() = default;
    TzeGutter(const TzeGutter &) = delete;
    TzeGutter &operator=(const TzeGutter &) = delete;

    // Copies all eight settings, then OnChange once.
    void Assign(const TzeGutter &source);
    // With line numbers: LeftOffset + RightOffset + DigitCount cells + the
    // separator; otherwise Width.
    int RealGutterWidth(int charWidth) const noexcept;

    TColor Color() const noexcept { return m_color; }
    void SetColor(TColor value);
    // At least 0.
    int Width() const noexcept { return m_width; }
    void SetWidth(int value);
    bool ShowLineNumbers() const noexcept { return m_showLineNumbers; }
    void SetShowLineNumbers(bool value);
    // Clamped to 2..12.
    int DigitCount() const noexcept { return m_digitCount; }
    void SetDigitCount(int value);
    bool LeadingZeros() const noexcept { return m_leadingZeros; }
    void SetLeadingZeros(bool value);
    // The first line is numbered 0.
    bool ZeroStart() const noexcept { return m_zeroStart; }
    void SetZeroStart(bool value);
    // At least 0.
    int LeftOffset() const noexcept { return m_leftOffset; }
    void SetLeftOffset(int value);
    int RightOffset() const noexcept { return m_rightOffset; }
    void SetRightOffset(int value);

    // The text shown for 1-based line: right-aligned in DigitCount places,
    // blanks or (LeadingZeros) zeros before it; a longer number is not cut.
    std::string LineNumberText(int line) const;

    std::function<void()> OnChange;

private:
    template <class T>
    void Store(T &field, T value);

    TColor m_color = clBtnFace;
    int m_width = 30;
    bool m_showLineNumbers = false;
    int m_digitCount = 4;
    bool m_leadingZeros = false;
    bool m_zeroStart = false;
    int m_leftOffset = 16;
    int m_rightOffset = 2;
};

// One mark as painted. Draw paints its glyph with the top-left corner at
// (x, y) and answers false when there is none to show (an image index
// without an image); such a mark does not advance its row.
struct TzeGutterMark {
    int Line = 0;
    bool Visible = false;
    bool IsBookmark = false;
    std::function<bool(QPainter &painter, int x, int y)> Draw;
};

struct TzeGutterPaint {
    const TzeGutter *Gutter = nullptr;
    QFont Font;
    TColor FontColor = clWindowText;
    bool GlyphsVisible = true;
    int LeftMargin = 2;
    int Xoffset = 12;
    // The row of the error glyph, drawn right of that row's marks; 0: none.
    int ErrorLine = 0;
    // The line a display row shows, for its number; none: the row's own.
    std::function<int(int row)> LineOfRow;
    // The fold column's width, left of the separator (0: none), and its
    // glyphs for the rows of the range, from its first on.
    int FoldColumn = 0;
    std::vector<TzeFoldGlyph> Folds;
};

// Paints gutterRect (the gutter part of an update rectangle, its right side
// at most GutterWidth) for the display rows of range (marks by their rows), the error glyph last. markOffsets gets one entry per
// row that can show (ClientHeight div LineHeight + 1, a partly visible last
// row included) and ends with the x offset reached on each row.
void PaintGutter(TCanvas &canvas, const QRect &gutterRect, const TzeViewMetrics &metrics,
                 const TzePaintRange &range, const TzeGutterPaint &options,
                 const std::vector<TzeGutterMark> &marks, std::vector<int> &markOffsets);

// The error glyph filling rect: a red disc with a white cross.
void PaintErrorGlyph(QPainter &painter, const QRect &rect);

// Built-in bookmark glyph n (0 .. kBookmarkCount - 1), 11 x 14 pixels: a raised silver tile with
// the digit n, from the resource "MARK_n". A null pixmap outside them.
QPixmap BookmarkBitmap(int n);

#endif
