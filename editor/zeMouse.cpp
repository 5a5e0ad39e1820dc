// zeMouse.cpp: the editor and the mouse. A press places the caret, Shift
// extends the selection, a held left button drags it along (scrolling the
// view while the pointer is outside the text area), a double click selects a
// word, and the selection can be dragged elsewhere in the text to move or copy it.
#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include "toolkit/VirtualKeys.h"
#include "editor/zeCustomEdit.h"

namespace {

// A press on the gutter stands for the start of its line.
TPoint PressPoint(const TzeView &view, QPoint pos)
{
    TPoint p = view.PointAtPixel(pos.x(), pos.y());
    if (pos.x() < view.Metrics().GutterWidth)
        p.X = 1;
    return p;
}

} // namespace

void TzeCustomEdit::InitMouse()
{
    m_mouse.AutoScroll.setSingleShot(true);
    connect(&m_mouse.AutoScroll, &QTimer::timeout, this, [this] { AutoScrollTick(); });
    viewport()->setAcceptDrops(true);
    // Moves without a button pressed set the cursor shape.
    viewport()->setMouseTracking(true);
}

QMenu *TzeCustomEdit::PopupMenu() const noexcept
{
    return m_popupMenu;
}

void TzeCustomEdit::SetPopupMenu(QMenu *value) noexcept
{
    m_popupMenu = value;
}

void TzeCustomEdit::ComputeCaret(int x, int y)
{
    SetCaretXY(m_view.PointAtPixel(x, y));
}

bool TzeCustomEdit::IsMouseInTextArea(int x, int y) const
{
    return x >= GutterWidth() && x < ClientWidth() && y >= 0 && y < ClientHeight();
}

bool TzeCustomEdit::IsPopupClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) const noexcept
{
    const auto keys = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    return button == Qt::RightButton && !(modifiers & keys) && m_popupMenu;
}

void TzeCustomEdit::SetWordBlock(TPoint p)
{
    p.X = std::clamp(p.X, 1, MaxLeftChar());
    p.Y = std::clamp(p.Y, 1, std::max(1, Lines().Count()));
    const std::string_view s = LineOrEmpty(p.Y);
    if (s.empty())
        return;
    const int length = int(s.size());
    p.X = std::min(p.X, length);
    const TzeIdentChars chars = IdentChars();
    const auto isWord = [&](int column) { return chars.test(static_cast<unsigned char>(s[size_t(column - 1)])); };
    // The anchor: the character itself, else the nearest word character to
    // the left (so a blank after a word selects that word), else to the right.
    int anchor = 0;
    for (int c = p.X; c >= 1 && anchor == 0; --c)
        if (isWord(c))
            anchor = c;
    for (int c = p.X + 1; c <= length && anchor == 0; ++c)
        if (isWord(c))
            anchor = c;
    if (anchor == 0)
        return;
    int begin = anchor;
    while (begin > 1 && isWord(begin - 1))
        --begin;
    int end = anchor;
    while (end <= length && end < MaxLeftChar() && isWord(end))
        ++end;
    m_view.SetAnchors(TPoint{begin, p.Y}, TPoint{end, p.Y});
    SetCaretXY(TPoint{end, p.Y});
    InvalidateLines(p.Y, p.Y);
}

void TzeCustomEdit::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const Qt::MouseButton button = event->button();
    if (IsPopupClick(button, event->modifiers()))
        return;
    if (button == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier) && FoldClick(pos)) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    const bool hadSelection = SelAvail();
    if (hadSelection) {
        m_mouse.DragBlockBegin = BlockBegin();
        m_mouse.DragBlockEnd = BlockEnd();
        m_mouse.MouseDown = pos;
    }
    if (OnMouseDown)
        OnMouseDown(*this, button, ShiftStateFromQt(event->modifiers()), pos.x(), pos.y());
    m_mouse.Captured = true;
    m_mouse.Pointer = pos;
    SetCaretXY(PressPoint(m_view, pos));
    m_mouse.Drag = diNone;
    const TPoint caret = CaretXY();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    // Shift+click always moves the selection end, also inside the selection.
    if (hadSelection && !shift && !(caret < m_mouse.DragBlockBegin) && caret < m_mouse.DragBlockEnd) {
        // A drag may follow; the selection stays as it is.
        m_mouse.Drag = diPending;
    } else if (!m_mouse.DblClicked) {
        if (shift)
            SetBlockEnd(caret);
        else
            SetBlockBegin(caret);
    }
    setFocus(Qt::MouseFocusReason);
}

void TzeCustomEdit::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(*this, ShiftStateFromQt(event->modifiers()), pos.x(), pos.y());
    if (m_mouse.Captured && m_mouse.Drag == diPending && !ReadOnly()) {
        const QPoint moved = pos - m_mouse.MouseDown;
        const int distance = QApplication::startDragDistance();
        if (std::abs(moved.x()) >= distance || std::abs(moved.y()) >= distance) {
            m_mouse.Drag = diDragging;
            StartDrag();
        }
        return;
    }
    viewport()->setCursor(pos.x() > GutterWidth() ? Qt::IBeamCursor : Qt::ArrowCursor);
    if (m_mouse.Captured && (event->buttons() & Qt::LeftButton))
        ExtendSelectionTo(pos);
}

void TzeCustomEdit::ExtendSelectionTo(QPoint pos)
{
    // Read-only: the press in the selection turned into an extension, which
    // the release must keep.
    if (m_mouse.Drag == diPending)
        m_mouse.Drag = diNone;
    m_mouse.Pointer = pos;
    if (IsMouseInTextArea(pos.x(), pos.y())) {
        m_mouse.AutoScroll.stop();
        ComputeCaret(pos.x(), pos.y());
        SetBlockEnd(CaretXY());
    } else if (!m_mouse.AutoScroll.isActive()) {
        // The first pass at once, the next ones from the timer; moves in
        // between only update where the pointer is.
        AutoScrollTick();
    }
}

void TzeCustomEdit::AutoScrollTick()
{
    const int x = m_mouse.Pointer.x();
    const int y = m_mouse.Pointer.y();
    if (!m_mouse.Captured || IsMouseInTextArea(x, y)) {
        m_mouse.AutoScroll.stop();
        return;
    }
    // Near the edge one column or line per pass, from 10 pixels out 8
    // columns or a page, and from 42 pixels out without a pause.
    constexpr int kFar = 10;
    constexpr int kNoPause = 42;
    bool pause = true;
    {
        TPaintLockGuard lock(*this);
        if (x < GutterWidth()) {
            const int d = GutterWidth() - x;
            SetLeftChar(LeftChar() - (d < kFar ? 1 : 8));
            pause = pause && d < kNoPause;
            SetCaretX(m_view.ColumnAtCell(CaretY(), LeftChar()));
            SetBlockEnd(CaretXY());
        } else if (x > ClientWidth()) {
            const int d = x - ClientWidth();
            SetLeftChar(LeftChar() + (d < kFar ? 1 : 8));
            pause = pause && d < kNoPause;
            SetCaretX(m_view.ColumnAtCell(CaretY(), LeftChar() + CharsInWindow()));
            SetBlockEnd(CaretXY());
        }
        if (y < 0) {
            m_view.SetTopRow(m_view.TopRow() - (-y < kFar ? 1 : LinesInWindow()));
            pause = pause && -y < kNoPause;
            SetCaretY(TopLine());
            SetBlockEnd(CaretXY());
        } else if (y > ClientHeight()) {
            const int d = y - ClientHeight();
            m_view.SetTopRow(m_view.TopRow() + (d < kFar ? 1 : LinesInWindow()));
            pause = pause && d < kNoPause;
            SetCaretY(m_view.LineAtRow(m_view.TopRow() + LinesInWindow() - 1));
            SetBlockEnd(CaretXY());
        }
    }
    m_mouse.AutoScroll.start(pause ? 100 : 0);
}

void TzeCustomEdit::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const Qt::MouseButton button = event->button();
    if (OnMouseUp)
        OnMouseUp(*this, button, ShiftStateFromQt(event->modifiers()), pos.x(), pos.y());
    if (IsPopupClick(button, event->modifiers()))
        return;
    const bool wasCaptured = m_mouse.Captured;
    m_mouse.Captured = false;
    m_mouse.AutoScroll.stop();
    if (m_mouse.Drag == diPending && !m_mouse.DblClicked) {
        // The press hit the selection but no drag began: collapse here.
        SetCaretXY(PressPoint(m_view, pos));
        SetBlockBegin(CaretXY());
        SetBlockEnd(CaretXY());
    }
    if (m_mouse.Drag == diPending)
        m_mouse.Drag = diNone;
    m_mouse.DblClicked = false;
    if (button == Qt::LeftButton && wasCaptured && viewport()->rect().contains(pos) && OnClick)
        OnClick(*this);
}

void TzeCustomEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Only the left button's double click selects; others do nothing, as
    // their second press does not place the caret either.
    if (event->button() != Qt::LeftButton)
        return;
    SetWordBlock(CaretXY());
    if (OnDblClick)
        OnDblClick(*this);
    m_mouse.DblClicked = true;
}

void TzeCustomEdit::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_popupMenu) {
        event->ignore();
        return;
    }
    m_popupMenu->popup(event->globalPos());
    event->accept();
}

void TzeCustomEdit::StartDrag()
{
    if (OnStartDrag)
        OnStartDrag(*this);
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(kEditorDragMime), QByteArray::fromStdString(SelText()));
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    const Qt::DropAction action = drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    // The release that ended the drag went to the drag, not to the editor.
    m_mouse.Drag = diNone;
    m_mouse.Captured = false;
    if (OnEndDrag)
        OnEndDrag(*this, action != Qt::IgnoreAction);
}

bool TzeCustomEdit::DragOverAt(QObject *source, int x, int y, TzeDragOverState state)
{
    bool accept = false;
    if (OnDragOver)
        OnDragOver(*this, source, x, y, state, accept);
    if (!accept && !qobject_cast<TzeCustomEdit *>(source))
        return false;
    // The caret shows the drop point; when the drag leaves, it goes back
    // under the press that started this editor's own drag.
    if (state != dsDragLeave)
        ComputeCaret(x, y);
    else if (source == this)
        ComputeCaret(m_mouse.MouseDown.x(), m_mouse.MouseDown.y());
    return true;
}

bool TzeCustomEdit::DragDropAt(QObject *source, int x, int y, bool ctrl)
{
    if (ReadOnly())
        return false;
    TPaintLockGuard lock(*this);
    if (OnDragDrop)
        OnDragDrop(*this, source, x, y);
    if (source != this || !SelAvail())
        return false;
    ComputeCaret(x, y);
    // A drop onto the dragged text leaves the caret at the drop point.
    return DropSelection(CaretXY(), m_mouse.DragBlockBegin, m_mouse.DragBlockEnd, ctrl);
}

namespace {

Qt::DropAction ActionFor(Qt::KeyboardModifiers modifiers)
{
    return modifiers & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction;
}

} // namespace

void TzeCustomEdit::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void TzeCustomEdit::dragMoveEvent(QDragMoveEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const auto state = event->type() == QEvent::DragEnter ? dsDragEnter : dsDragMove;
    if (!DragOverAt(event->source(), pos.x(), pos.y(), state)) {
        event->ignore();
        return;
    }
    if (event->source() == this)
        event->setDropAction(ActionFor(event->modifiers()));
    else
        event->setDropAction(event->proposedAction());
    event->accept();
}

void TzeCustomEdit::dragLeaveEvent(QDragLeaveEvent *)
{
    QObject *source = m_mouse.Drag == diDragging ? this : nullptr;
    DragOverAt(source, m_mouse.MouseDown.x(), m_mouse.MouseDown.y(), dsDragLeave);
}

void TzeCustomEdit::dropEvent(QDropEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const Qt::DropAction action = event->source() == this ? ActionFor(event->modifiers()) : event->proposedAction();
    DragDropAt(event->source(), pos.x(), pos.y(), action == Qt::CopyAction);
    // A drop from elsewhere that nobody handles is refused, so that a
    // moving source does not delete text that went nowhere.
    if (ReadOnly() || (event->source() != this && !OnDragDrop)) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}
