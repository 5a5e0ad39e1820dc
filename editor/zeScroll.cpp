// zeScroll.cpp: view position, scroll bars and caret placement of TzeCustomEdit.
// TopLine and LeftChar with their clamping, the scroll bar ranges on the
// QAbstractScrollArea bars, following the caret, and where the caret is drawn.
#include <algorithm>
#include <cstdint>
#include <utility>

#include <QFocusEvent>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTimerEvent>
#include <QResizeEvent>
#include <QScrollBar>

#include "editor/zeCustomEdit.h"

namespace {

// a * b / c rounded half away from zero, in 64 bits; -1 when c is 0.
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

// The vertical bar works on this scale once the text is longer, so that a
// 16-bit thumb position still covers it.
constexpr int kMaxScrollRange = 32767;

} // namespace

int TzeCustomEdit::ClientWidth() const
{
    return viewport()->width();
}

int TzeCustomEdit::ClientHeight() const
{
    return viewport()->height();
}

void TzeCustomEdit::SetTopLine(int value)
{
    value = std::max(1, std::min(value, m_lines->Count()));
    if (value == TopLine())
        return;
    m_topLine = value - 1;
    UpdateScrollBars(false);
    InvalidateAll();
}

void TzeCustomEdit::SetLeftChar(int value)
{
    // Kept at 1 or more also when the window shows more than MaxLeftChar columns.
    value = std::max(1, std::min(value, m_maxLeftChar - m_charsInWindow));
    if (value == LeftChar())
        return;
    m_leftChar = value - 1;
    m_textOrigin = m_gutterWidth + 2 - m_leftChar * m_charWidth;
    UpdateScrollBars(false);
    InvalidateLines(-1, -1);
}

void TzeCustomEdit::SetLinesInWindow(int value)
{
    m_linesInWindow = std::max(0, value);
}

void TzeCustomEdit::ApplyScrollBarPolicies()
{
    const bool vertical = m_scrollBars == ssVertical || m_scrollBars == ssBoth;
    const bool horizontal = m_scrollBars == ssHorizontal || m_scrollBars == ssBoth;
    // An unneeded bar is disabled, not hidden.
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

namespace {

// Sets a bar from a range minimum .. maximum with a page of page positions,
// where the thumb covers the page: the positions run up to maximum - page + 1.
// Writes only what differs, so that repeated updates cost little.
void ApplyScrollInfo(QScrollBar &bar, int minimum, int maximum, int page, int position)
{
    const int last = std::max(minimum, maximum - std::max(page, 1) + 1);
    if (bar.minimum() != minimum || bar.maximum() != last)
        bar.setRange(minimum, last);
    if (bar.pageStep() != std::max(page, 1))
        bar.setPageStep(std::max(page, 1));
    if (bar.value() != position)
        bar.setValue(position);
    if (bar.isEnabled() != (last > minimum))
        bar.setEnabled(last > minimum);
}

} // namespace

void TzeCustomEdit::UpdateScrollBars(bool force)
{
    if (!m_handleAllocated || (m_paintLock > 0 && !force)) {
        m_scrollBarsPending = true;
        return;
    }
    m_scrollBarsPending = false;
    if (m_scrollBars == ssNone)
        return;
    const bool previous = std::exchange(m_settingScrollBars, true);
    if (m_scrollBars == ssVertical || m_scrollBars == ssBoth) {
        const int range = m_lines->Count() + m_linesInWindow - 1;
        if (range > kMaxScrollRange)
            ApplyScrollInfo(*verticalScrollBar(), 1, kMaxScrollRange,
                            MulDiv(kMaxScrollRange, m_linesInWindow, range),
                            MulDiv(kMaxScrollRange, TopLine(), range));
        else
            ApplyScrollInfo(*verticalScrollBar(), 1, std::max(1, range), m_linesInWindow, TopLine());
    }
    if (m_scrollBars == ssHorizontal || m_scrollBars == ssBoth)
        ApplyScrollInfo(*horizontalScrollBar(), 1, m_maxLeftChar - m_charsInWindow, m_charsInWindow,
                        LeftChar());
    m_settingScrollBars = previous;
}

void TzeCustomEdit::ScrollBarMoved(Qt::Orientation orientation, int value)
{
    if (m_settingScrollBars)
        return;
    if (orientation == Qt::Horizontal) {
        SetLeftChar(value);
        return;
    }
    const int count = m_lines->Count();
    if (count <= kMaxScrollRange)
        SetTopLine(value);
    else
        SetTopLine(MulDiv(count + m_linesInWindow - 1, value, kMaxScrollRange));
}

void TzeCustomEdit::scrollContentsBy(int, int)
{
    // The view is repainted from TopLine and LeftChar; no pixels are moved.
}

void TzeCustomEdit::EnsureCursorPosVisible()
{
    TPaintLockGuard lock(*this);
    if (CaretX() < LeftChar())
        SetLeftChar(CaretX());
    else if (CaretX() > LeftChar() + m_charsInWindow)
        SetLeftChar(CaretX() - m_charsInWindow + 1);
    if (CaretY() < TopLine())
        SetTopLine(CaretY());
    else if (CaretY() > TopLine() + m_linesInWindow - 1)
        SetTopLine(CaretY() - m_linesInWindow + 1);
}

QRect TzeCustomEdit::CaretRect() const
{
    return QRect(m_caretPixel, m_caretSize);
}

void TzeCustomEdit::SetInsertCaret(TCaretType value)
{
    if (StoreIfChanged(m_insertCaret, value))
        InitializeCaret();
}

void TzeCustomEdit::SetOverwriteCaret(TCaretType value)
{
    if (StoreIfChanged(m_overwriteCaret, value))
        InitializeCaret();
}

void TzeCustomEdit::InitializeCaret()
{
    const int height = std::max(1, m_lineHeight - 2);
    switch (m_insertMode ? m_insertCaret : m_overwriteCaret) {
    case ctVerticalLine:
        m_caretSize = QSize(2, height);
        m_caretOffset = QPoint(-1, 0);
        break;
    case ctHorizontalLine:
        m_caretSize = QSize(m_charWidth, 2);
        m_caretOffset = QPoint(0, m_lineHeight - 2);
        break;
    case ctHalfBlock:
        m_caretSize = QSize(m_charWidth, std::max(1, height / 2));
        m_caretOffset = QPoint(0, height / 2);
        break;
    case ctBlock:
        m_caretSize = QSize(m_charWidth, height);
        m_caretOffset = QPoint(0, 0);
        break;
    }
    // The old shape goes: repaint where it was.
    if (m_caretVisible)
        viewport()->update(QRect(m_caretPixel, QSize(std::max(m_charWidth, 2), m_lineHeight)));
    UpdateCaret();
}

void TzeCustomEdit::RestartCaretBlink()
{
    m_caretBlinkOn = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (m_caretVisible && flash > 0)
        m_caretBlink.start(flash / 2, this);
    else
        m_caretBlink.stop();
}

void TzeCustomEdit::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_caretBlink.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    m_caretBlinkOn = !m_caretBlinkOn;
    if (m_caretVisible)
        viewport()->update(CaretRect());
}

void TzeCustomEdit::UpdateCaret()
{
    if (!hasFocus() || m_paintLock > 0) {
        m_caretPending = true;
        return;
    }
    m_caretPending = false;
    const QRect oldRect = CaretRect();
    const bool wasVisible = m_caretVisible;
    const int x = m_caretX * m_charWidth + m_textOrigin + m_caretOffset.x();
    const int y = (m_caretY - m_topLine) * m_lineHeight + 1 + m_caretOffset.y();
    m_caretPixel = QPoint(x, y);
    // Never over the gutter or on a partly visible last row.
    const int cellTop = y - m_caretOffset.y();
    m_caretVisible = !(x < m_gutterWidth || x > ClientWidth() || cellTop < 0 ||
                       cellTop > ClientHeight() - m_lineHeight);
    if (wasVisible)
        viewport()->update(oldRect);
    if (m_caretVisible)
        viewport()->update(CaretRect());
    RestartCaretBlink();
}

void TzeCustomEdit::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_charsInWindow = std::max(0, (ClientWidth() - m_gutterWidth - 2) / m_charWidth);
    SetLinesInWindow(ClientHeight() / m_lineHeight);
    UpdateScrollBars(false);
}

void TzeCustomEdit::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (OnEnter && event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        OnEnter(*this);
    InitializeCaret();
    if (m_hideSelection && SelAvail())
        InvalidateAll();
}

void TzeCustomEdit::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (OnExit && event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        OnExit(*this);
    if (m_caretVisible) {
        m_caretVisible = false;
        viewport()->update(CaretRect());
    }
    m_caretBlink.stop();
    if (m_hideSelection && SelAvail())
        InvalidateAll();
}
