// zeScroll.cpp: view position, scroll bars and caret placement of TzeCustomEdit.
// TopLine and LeftChar with their clamping, the scroll bar ranges on the
// QAbstractScrollArea bars and their scroll codes, the wheel, the scroll hint,
// the gutter width, following the caret, and where the caret is drawn.
#include <algorithm>
#include <cstdint>
#include <utility>

#include <QFocusEvent>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTimerEvent>
#include <QResizeEvent>
#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>

#include "editor/zeCustomEdit.h"
#include "editor/zeTabStops.h"


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
    m_view.SetTopLine(value);
}

void TzeCustomEdit::SetLeftChar(int value)
{
    m_view.SetLeftChar(value);
}

void TzeCustomEdit::ViewScrolled(bool vertical)
{
    UpdateScrollBars(false);
    if (vertical)
        InvalidateAll();
    else
        InvalidateLines(-1, -1);
    UpdateCaret();
}

void TzeCustomEdit::SetLinesInWindow(int value)
{
    m_view.Metrics().LinesInWindow = std::max(0, value);
    // One entry per row the gutter can paint, a partly visible last row included.
    m_glyphs.MarkOffsets.assign(size_t(LinesInWindow()) + 2, 0);
}

void TzeCustomEdit::UpdateGutterWidth()
{
    const int width = m_gutter->RealGutterWidth(CharWidth()) + (Folding() ? FoldColumnWidth(LineHeight()) : 0);
    if (width == GutterWidth())
        InvalidateGutterLines(-1, -1);
    else
        SetGutterWidth(width);
}

void TzeCustomEdit::SetGutterWidth(int value)
{
    value = std::max(0, value);
    if (value == GutterWidth())
        return;
    TzeViewMetrics &m = m_view.Metrics();
    m.GutterWidth = value;
    m.CharsInWindow = CharsInWindowFor(ClientWidth(), value, m.CharWidth);
    m.TextOrigin = TextOriginFor(value, m.LeftChar, m.CharWidth);
    UpdateScrollBars(false);
    InvalidateAll();
    UpdateCaret();
}

void TzeCustomEdit::ApplyScrollBarPolicies()
{
    const bool vertical = m_look.ScrollBars == ssVertical || m_look.ScrollBars == ssBoth;
    const bool horizontal = m_look.ScrollBars == ssHorizontal || m_look.ScrollBars == ssBoth;
    // An unneeded bar is disabled, not hidden.
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

namespace {

// Sets a bar from a range minimum .. maximum with a page of page positions,
// where the thumb covers the page: the positions run up to maximum - page + 1.
// Writes only what differs, so that repeated updates cost little.
void ApplyScrollInfo(QScrollBar &bar, const TzeScrollInfo &info)
{
    const int minimum = info.Min, maximum = info.Max, page = info.Page, position = info.Pos;
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
    if (!m_handleAllocated || (m_lock.Depth > 0 && !force)) {
        m_lock.ScrollBars = true;
        return;
    }
    m_lock.ScrollBars = false;
    if (m_look.ScrollBars == ssNone)
        return;
    const bool previous = std::exchange(m_lock.SettingScrollBars, true);
    if (m_look.ScrollBars == ssVertical || m_look.ScrollBars == ssBoth)
        ApplyScrollInfo(*verticalScrollBar(), VerticalScrollInfo(m_view.RowCount(), LinesInWindow(), m_view.TopRow()));
    if (m_look.ScrollBars == ssHorizontal || m_look.ScrollBars == ssBoth)
        ApplyScrollInfo(*horizontalScrollBar(), HorizontalScrollInfo(ViewMetrics()));
    m_lock.SettingScrollBars = previous;
}

void TzeCustomEdit::ScrollBarMoved(Qt::Orientation orientation, int value)
{
    if (m_lock.SettingScrollBars)
        return;
    if (orientation == Qt::Horizontal)
        HorizontalScroll(scThumbPosition, value);
    else
        VerticalScroll(scThumbPosition, value);
}

namespace {

// The scroll code of a scroll bar action; -1 for none.
int ScrollCode(int action, bool thumbDown)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return scLineUp;
    case QAbstractSlider::SliderSingleStepAdd:
        return scLineDown;
    case QAbstractSlider::SliderPageStepSub:
        return scPageUp;
    case QAbstractSlider::SliderPageStepAdd:
        return scPageDown;
    case QAbstractSlider::SliderMove:
        return thumbDown ? scThumbTrack : scThumbPosition;
    case QAbstractSlider::SliderToMinimum:
        return scTop;
    case QAbstractSlider::SliderToMaximum:
        return scBottom;
    default:
        return -1;
    }
}

} // namespace

void TzeCustomEdit::ScrollBarAction(Qt::Orientation orientation, int action)
{
    QScrollBar &bar = orientation == Qt::Vertical ? *verticalScrollBar() : *horizontalScrollBar();
    const int code = ScrollCode(action, bar.isSliderDown());
    if (code < 0)
        return;
    const bool previous = std::exchange(m_lock.SettingScrollBars, true);
    if (orientation == Qt::Vertical)
        VerticalScroll(code, bar.sliderPosition());
    else
        HorizontalScroll(code, bar.sliderPosition());
    m_lock.SettingScrollBars = previous;
    // The bar shows the view's position, not the one the action computed.
    UpdateScrollBars(false);
}

void TzeCustomEdit::VerticalScroll(int code, int position)
{
    if (code == scEndScroll) {
        if (m_look.ShowScrollHint)
            ShowScrollHint(false);
        return;
    }
    m_view.SetTopRow(VerticalScrollTarget(ViewMetrics(), m_view.RowCount(), code, std::int16_t(position)));
    if ((code == scThumbPosition || code == scThumbTrack) && m_look.ShowScrollHint)
        ShowScrollHint(true);
}

void TzeCustomEdit::HorizontalScroll(int code, int position)
{
    SetLeftChar(HorizontalScrollTarget(ViewMetrics(), code, std::int16_t(position)));
}

QString TzeCustomEdit::ScrollHintText() const
{
    return m_hint.Window && m_hint.Window->isVisible() ? m_hint.Text : QString();
}

void TzeCustomEdit::ShowScrollHint(bool shown)
{
    if (!shown) {
        if (m_hint.Window)
            m_hint.Window->hide();
        m_hint.Text.clear();
        return;
    }
    if (!m_hint.Window) {
        auto *label = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
        label->setForegroundRole(QPalette::ToolTipText);
        label->setBackgroundRole(QPalette::ToolTipBase);
        label->setAutoFillBackground(true);
        label->setAlignment(Qt::AlignCenter);
        m_hint.Window.reset(label);
    }
    auto &label = static_cast<QLabel &>(*m_hint.Window);
    m_hint.Text = QStringLiteral("TopLine: %1").arg(TopLine());
    label.setText(m_hint.Text);
    const QFontMetrics metrics(label.font());
    QRect rect(0, 0, metrics.horizontalAdvance(m_hint.Text) + 6, metrics.height() + 4);
    // 10 pixels below the top, 4 pixels left of the right edge of the client area.
    rect.moveTopLeft(viewport()->mapToGlobal(QPoint(ClientWidth() - rect.width() - 4, 10)));
    label.setGeometry(rect);
    label.show();
    label.update();
}

void TzeCustomEdit::wheelEvent(QWheelEvent *event)
{
    if (m_designing)
        return;
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const int lines = WheelScrollLines(m_hint.WheelAccumulator, event->angleDelta().y(), ctrl,
                                       HalfpageScroll(), LinesInWindow());
    if (lines != 0)
        m_view.SetTopRow(m_view.TopRow() - lines);
    event->accept();
}

void TzeCustomEdit::scrollContentsBy(int, int)
{
    // The view is repainted from TopLine and LeftChar; no pixels are moved.
}

void TzeCustomEdit::EnsureCursorPosVisible()
{
    TPaintLockGuard lock(*this);
    const TPoint view = ViewShowingCaret(ViewMetrics(), m_view.ScreenPoint(CaretXY()));
    SetLeftChar(view.X);
    m_view.SetTopRow(view.Y);
}

QRect TzeCustomEdit::CaretRect() const
{
    return QRect(m_caret.Pixel, m_caret.Size);
}

void TzeCustomEdit::SetInsertCaret(TCaretType value)
{
    if (StoreIfChanged(m_look.InsertCaret, value))
        InitializeCaret();
}

void TzeCustomEdit::SetOverwriteCaret(TCaretType value)
{
    if (StoreIfChanged(m_look.OverwriteCaret, value))
        InitializeCaret();
}

void TzeCustomEdit::InitializeCaret()
{
    // The old shape goes: repaint where it was.
    if (m_caret.Visible)
        viewport()->update(QRect(m_caret.Pixel, QSize(std::max(m_caret.Size.width(), 2), LineHeight())));
    UpdateCaret();
}

void TzeCustomEdit::ShapeCaret()
{
    // A block caret on a tab character covers the tab's cells.
    const int cells = CellsOfColumn(LineOrEmpty(CaretY()), CaretX(), m_view.TabWidth());
    const TzeCaretShape shape = CaretShape(InsertMode() ? m_look.InsertCaret : m_look.OverwriteCaret,
                                           CharWidth() * cells, LineHeight());
    m_caret.Size = shape.Size;
    m_caret.Offset = shape.Offset;
}

void TzeCustomEdit::RestartCaretBlink()
{
    m_caret.BlinkOn = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (m_caret.Visible && flash > 0)
        m_caret.Blink.start(flash / 2, this);
    else
        m_caret.Blink.stop();
}

void TzeCustomEdit::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_caret.Blink.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    m_caret.BlinkOn = !m_caret.BlinkOn;
    if (m_caret.Visible)
        viewport()->update(CaretRect());
}

void TzeCustomEdit::UpdateCaret()
{
    if (!hasFocus() || m_lock.Depth > 0) {
        m_lock.Caret = true;
        return;
    }
    m_lock.Caret = false;
    const QRect oldRect = CaretRect();
    const bool wasVisible = m_caret.Visible;
    ShapeCaret();
    const TzeViewMetrics metrics = ViewMetrics();
    m_caret.Pixel = ::CaretPixel(metrics, m_view.ScreenPoint(CaretXY()), m_caret.Offset);
    // Never over the gutter or on a partly visible last row.
    m_caret.Visible = CaretInTextArea(metrics, m_caret.Pixel, m_caret.Offset);
    if (wasVisible)
        viewport()->update(oldRect);
    if (m_caret.Visible)
        viewport()->update(CaretRect());
    RestartCaretBlink();
}

void TzeCustomEdit::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_view.Metrics().CharsInWindow = CharsInWindowFor(ClientWidth(), GutterWidth(), CharWidth());
    SetLinesInWindow(ClientHeight() / LineHeight());
    UpdateScrollBars(false);
    UpdateCaret();
}

void TzeCustomEdit::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (OnEnter && event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        OnEnter(*this);
    InitializeCaret();
    if (m_look.HideSelection && SelAvail())
        InvalidateAll();
}

void TzeCustomEdit::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (OnExit && event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        OnExit(*this);
    if (m_caret.Visible) {
        m_caret.Visible = false;
        viewport()->update(CaretRect());
    }
    m_caret.Blink.stop();
    if (m_look.HideSelection && SelAvail())
        InvalidateAll();
}
