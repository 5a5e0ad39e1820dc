// zeViewMetrics.h: the editor's character grid as a plain value and pure functions.
// TzeViewMetrics holds the grid and the view position; the functions turn text
// points into client pixels and back, find the cells a rectangle touches, shape
// the selection, scale the scroll bars, scroll, and place the caret.
#ifndef QUENLO_EDITOR_ZEVIEWMETRICS_H
#define QUENLO_EDITOR_ZEVIEWMETRICS_H

#include <functional>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

#include "toolkit/Geometry.h"
#include "editor/zeTypes.h"

// Pixels between the gutter and text column 1 (at LeftChar 1).
inline constexpr int kGutterGap = 2;
// The vertical bar works on this scale once the text is longer, so that a
// 16-bit thumb position still covers it.
inline constexpr int kMaxScrollRange = 32767;
// Wheel delta of one notch.
inline constexpr int kWheelNotch = 120;
// Lines per wheel notch without Ctrl.
inline constexpr int kWheelLines = 3;

// Grid cells of CharWidth x LineHeight pixels. Lines and columns are 1-based;
// pixels are client pixels of the viewport, the gutter spans 0 .. GutterWidth-1.
struct TzeViewMetrics {
    int CharWidth = 8;
    int LineHeight = 15;
    int GutterWidth = 30;
    // Client x of the left edge of text column 1.
    int TextOrigin = 32;
    // Whole columns and rows that fit in the text area.
    int CharsInWindow = 10;
    int LinesInWindow = 0;
    int TopLine = 1;
    int LeftChar = 1;
    int MaxLeftChar = 1024;
    int ClientWidth = 0;
    int ClientHeight = 0;

    // Left pixel of column (any column, also left of LeftChar).
    constexpr int ColumnLeft(int column) const noexcept { return (column - 1) * CharWidth + TextOrigin; }
    // Top pixel of line's row (negative above TopLine).
    constexpr int RowTop(int line) const noexcept { return (line - TopLine) * LineHeight; }
};


int TextOriginFor(int gutterWidth, int leftChar, int charWidth) noexcept;
// Never negative.
int CharsInWindowFor(int clientWidth, int gutterWidth, int charWidth) noexcept;

// The text point under client pixel (x, y), not clamped to the text: the
// column rounds to the nearer cell edge (halves away from zero), the line is
// TopLine plus whole rows.
TPoint PixelToPoint(const TzeViewMetrics &m, int x, int y) noexcept;

// The columns and lines that an update rectangle touches; LastLine is at most
// lineCount, so it is below FirstLine when no line is touched.
struct TzePaintRange {
    int FirstChar = 1;
    int LastChar = 0;
    int FirstLine = 1;
    int LastLine = 0;
};
TzePaintRange TouchedRange(const TzeViewMetrics &m, const QRect &rect, int lineCount) noexcept;

// The rectangles of the visible selection from begin to end (ordered points):
// one row, or the first row to beyond the window's right edge, the rows
// between from TextOrigin to that edge, and the last row up to its end. The
// first and the last row never extend past their line's text. Empty when
// begin equals end. lineLength gives the length of a 1-based line (0 where
// it does not exist).
std::vector<QRect> SelectionRects(const TzeViewMetrics &m, TPoint begin, TPoint end,
                                  const std::function<int(int line)> &lineLength);

// The repaint rectangle of lines first .. last between x = left and right;
// (-1, -1) is the whole client height. Empty when no such line is in view.
QRect LinesRect(const TzeViewMetrics &m, int first, int last, int left, int right) noexcept;

// a * b / c rounded half away from zero, in 64 bits; -1 when c is 0.
int MulDiv(int a, int b, int c) noexcept;

// One scroll bar as the window system takes it: the thumb covers Page of
// Min .. Max and stands at Pos.
struct TzeScrollInfo {
    int Min = 1;
    int Max = 1;
    int Page = 1;
    int Pos = 1;
    friend bool operator==(const TzeScrollInfo &, const TzeScrollInfo &) = default;
};
// With more lines than kMaxScrollRange, the bar works on that scale.
TzeScrollInfo VerticalScrollInfo(int lineCount, int linesInWindow, int topLine) noexcept;
TzeScrollInfo HorizontalScrollInfo(const TzeViewMetrics &m) noexcept;

// TopLine := N: at most the line count (the last line may stand alone at the
// top), at least 1.
int ClampTopLine(int value, int lineCount) noexcept;
// LeftChar := N: at least 1, at most MaxLeftChar - CharsInWindow (1 when the
// window shows more columns than that).
int ClampLeftChar(int value, int maxLeftChar, int charsInWindow) noexcept;

// The scroll codes of the scroll bars.
enum TzeScrollCode : int {
    scLineUp = 0,
    scLineDown = 1,
    scPageUp = 2,
    scPageDown = 3,
    scThumbPosition = 4,
    scThumbTrack = 5,
    scTop = 6,
    scBottom = 7,
    scEndScroll = 8
};
// The new TopLine (before clamping) for a vertical scroll code; position is
// the thumb position for codes 4 and 5. Other codes keep TopLine.
int VerticalScrollTarget(const TzeViewMetrics &m, int lineCount, int code, int position) noexcept;
// The new LeftChar (before clamping) for a horizontal scroll code.
int HorizontalScrollTarget(const TzeViewMetrics &m, int code, int position) noexcept;

// One wheel message: adds delta to accumulator, which keeps what is below a
// notch (with the sign of the sum), and answers how many lines TopLine goes
// back (negative: forward). Ctrl scrolls by a window or, with halfpage, half
// of one; never by more than the window.
int WheelScrollLines(int &accumulator, int delta, bool ctrl, bool halfpage, int linesInWindow) noexcept;

// Size of a caret shape and its offset from the caret cell's top-left corner.
struct TzeCaretShape {
    QSize Size;
    QPoint Offset;
};
TzeCaretShape CaretShape(TCaretType type, int charWidth, int lineHeight) noexcept;
// Where the caret of a shape with offset is drawn for the caret at (caretX,
// caretY): the cell's top-left corner (cell top one pixel below the row top)
// plus offset.
QPoint CaretPixel(const TzeViewMetrics &m, TPoint caret, QPoint offset) noexcept;
// Whether a caret drawn at pixel with offset lies in the text area: never over
// the gutter, right of the window, or on a partly visible last row.
bool CaretInTextArea(const TzeViewMetrics &m, QPoint pixel, QPoint offset) noexcept;

// The view (X = LeftChar, Y = TopLine) that shows the caret cell, moving
// as little as possible. The caret may stand right after the last whole
// visible column without scrolling.
TPoint ViewShowingCaret(const TzeViewMetrics &m, TPoint caret) noexcept;

#endif
