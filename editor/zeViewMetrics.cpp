// zeViewMetrics.cpp: pure grid geometry of the editor (see zeViewMetrics.h).
#include "editor/zeViewMetrics.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>

int TextOriginFor(int gutterWidth, int leftChar, int charWidth) noexcept
{
    return gutterWidth + kGutterGap - (leftChar - 1) * charWidth;
}

int CharsInWindowFor(int clientWidth, int gutterWidth, int charWidth) noexcept
{
    assert(charWidth > 0);
    return std::max(0, (clientWidth - gutterWidth - kGutterGap) / charWidth);
}

TPoint PixelToPoint(const TzeViewMetrics &m, int x, int y) noexcept
{
    const double column = double(x + m.LeftChar * m.CharWidth - m.GutterWidth - kGutterGap) / m.CharWidth;
    return TPoint{int(std::lround(column)), m.TopLine + y / m.LineHeight};
}

TzePaintRange TouchedRange(const TzeViewMetrics &m, const QRect &rect, int lineCount) noexcept
{
    TzePaintRange range;
    range.FirstChar = m.LeftChar;
    if (rect.x() > m.GutterWidth - kGutterGap)
        range.FirstChar += (rect.x() - m.GutterWidth - kGutterGap) / m.CharWidth;
    range.LastChar = m.LeftChar + (RightOf(rect) - m.GutterWidth - kGutterGap + m.CharWidth - 1) / m.CharWidth;
    range.FirstLine = m.TopLine + rect.y() / m.LineHeight;
    range.LastLine = std::min(m.TopLine + (BottomOf(rect) + m.LineHeight - 1) / m.LineHeight, lineCount);
    return range;
}

std::vector<QRect> SelectionRects(const TzeViewMetrics &m, TPoint begin, TPoint end,
                                  const std::function<int(int line)> &lineLength)
{
    if (begin == end)
        return {};
    // 0-based cells, clamped to a little more than the window.
    const int startLine = std::max(begin.Y - 1, m.TopLine - 2);
    const int startColumn = std::max(begin.X - 1, m.LeftChar - 2);
    const int endLine = std::min(end.Y - 1, m.TopLine + m.LinesInWindow);
    const int endColumn = std::min(end.X - 1, m.LeftChar + m.CharsInWindow);
    if (startLine > endLine)
        return {};
    const auto top = [&m](int line0) { return m.RowTop(line0 + 1); };
    const auto left = [&m](int column0) { return m.ColumnLeft(column0 + 1); };
    const auto length = [&lineLength](int line0) { return lineLength(line0 + 1); };
    const int beyondRight = m.ColumnLeft(m.LeftChar + m.CharsInWindow + 2);
    if (startLine == endLine)
        return {Edges(left(startColumn), top(startLine), left(std::min(endColumn, length(startLine))),
                      top(startLine) + m.LineHeight)};
    std::vector<QRect> rects;
    rects.push_back(Edges(left(std::min(startColumn, length(startLine))), top(startLine), beyondRight,
                          top(startLine) + m.LineHeight));
    if (endLine - startLine > 1)
        rects.push_back(Edges(m.TextOrigin, top(startLine + 1), beyondRight, top(endLine)));
    rects.push_back(Edges(m.TextOrigin, top(endLine), left(std::min(endColumn, length(endLine))),
                          top(endLine) + m.LineHeight));
    return rects;
}

QRect LinesRect(const TzeViewMetrics &m, int first, int last, int left, int right) noexcept
{
    if (first == -1 && last == -1)
        return Edges(left, 0, right, m.ClientHeight);
    const int lo = std::max(std::min(first, last), m.TopLine);
    const int hi = std::min(std::max(first, last), m.TopLine + m.LinesInWindow);
    if (hi < lo)
        return {};
    return Edges(left, m.RowTop(lo), right, m.RowTop(hi + 1));
}

int MulDiv(int a, int b, int c) noexcept
{
    if (c == 0)
        return -1;
    const std::int64_t product = std::int64_t(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = product < 0 ? -product : product;
    const std::int64_t divisor = c < 0 ? -std::int64_t(c) : std::int64_t(c);
    const std::int64_t quotient = (magnitude + divisor / 2) / divisor;
    return int(negative ? -quotient : quotient);
}

TzeScrollInfo VerticalScrollInfo(int lineCount, int linesInWindow, int topLine) noexcept
{
    const int range = lineCount + linesInWindow - 1;
    if (range > kMaxScrollRange)
        return {1, kMaxScrollRange, MulDiv(kMaxScrollRange, linesInWindow, range),
                MulDiv(kMaxScrollRange, topLine, range)};
    return {1, std::max(1, range), linesInWindow, topLine};
}

TzeScrollInfo HorizontalScrollInfo(const TzeViewMetrics &m) noexcept
{
    return {1, m.MaxLeftChar - m.CharsInWindow, m.CharsInWindow, m.LeftChar};
}

int ClampTopLine(int value, int lineCount) noexcept
{
    return std::max(1, std::min(value, lineCount));
}

int ClampLeftChar(int value, int maxLeftChar, int charsInWindow) noexcept
{
    return std::max(1, std::min(value, maxLeftChar - charsInWindow));
}

namespace {

// Where one scroll code takes a position (TopLine or LeftChar) on either axis:
// current, a page of it, its last value and the thumb's target.
int ScrollTarget(int code, int current, int page, int last, int thumb) noexcept
{
    switch (code) {
    case scLineUp:
        return current - 1;
    case scLineDown:
        return current + 1;
    case scPageUp:
        return current - page;
    case scPageDown:
        return current + page;
    case scThumbPosition:
    case scThumbTrack:
        return thumb;
    case scTop:
        return 1;
    case scBottom:
        return last;
    default:
        return current;
    }
}

} // namespace

int VerticalScrollTarget(const TzeViewMetrics &m, int lineCount, int code, int position) noexcept
{
    // Beyond the scroll bar's range the thumb stands for a share of the lines.
    const int thumb = lineCount <= kMaxScrollRange
                          ? position
                          : MulDiv(lineCount + m.LinesInWindow - 1, position, kMaxScrollRange);
    return ScrollTarget(code, m.TopLine, m.LinesInWindow, lineCount, thumb);
}

int HorizontalScrollTarget(const TzeViewMetrics &m, int code, int position) noexcept
{
    return ScrollTarget(code, m.LeftChar, m.CharsInWindow, m.MaxLeftChar, position);
}

int WheelScrollLines(int &accumulator, int delta, bool ctrl, bool halfpage, int linesInWindow) noexcept
{
    int lines = kWheelLines;
    if (ctrl)
        lines = halfpage ? linesInWindow / 2 : linesInWindow;
    accumulator += delta;
    const int notches = accumulator / kWheelNotch; // truncates toward zero
    accumulator %= kWheelNotch;                    // keeps the sign of the sum
    lines = std::min(lines, linesInWindow);
    return notches * lines;
}

TzeCaretShape CaretShape(TCaretType type, int charWidth, int lineHeight) noexcept
{
    const int height = std::max(1, lineHeight - 2);
    switch (type) {
    case ctHorizontalLine:
        return {QSize(charWidth, 2), QPoint(0, lineHeight - 2)};
    case ctHalfBlock:
        return {QSize(charWidth, std::max(1, height / 2)), QPoint(0, height / 2)};
    case ctBlock:
        return {QSize(charWidth, height), QPoint(0, 0)};
    case ctVerticalLine:
    default:
        return {QSize(2, height), QPoint(-1, 0)};
    }
}

QPoint CaretPixel(const TzeViewMetrics &m, TPoint caret, QPoint offset) noexcept
{
    return QPoint(m.ColumnLeft(caret.X), m.RowTop(caret.Y) + 1) + offset;
}

bool CaretInTextArea(const TzeViewMetrics &m, QPoint pixel, QPoint offset) noexcept
{
    // The row test uses the row's top, so that a shape low in its cell is
    // judged by its row, and a row that ends at the window's bottom counts
    // as whole.
    const int rowTop = pixel.y() - offset.y() - 1;
    return !(pixel.x() < m.GutterWidth || pixel.x() > m.ClientWidth || rowTop < 0 ||
             rowTop > m.ClientHeight - m.LineHeight);
}

TPoint ViewShowingCaret(const TzeViewMetrics &m, TPoint caret) noexcept
{
    TPoint view{m.LeftChar, m.TopLine};
    if (caret.X < m.LeftChar)
        view.X = caret.X;
    else if (caret.X > m.LeftChar + m.CharsInWindow)
        view.X = caret.X - m.CharsInWindow + 1;
    if (caret.Y < m.TopLine)
        view.Y = caret.Y;
    else if (caret.Y > m.TopLine + m.LinesInWindow - 1)
        view.Y = caret.Y - m.LinesInWindow + 1;
    return view;
}
