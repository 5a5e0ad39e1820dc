// ColorPopup.cpp: TColorPopup's layout, selection, keyboard, mouse, hints and
// closing. The comb's painting and tracking are in ColorPopupComb.cpp.
#include "widgets/ColorPopup.h"

#include <cstdio>

#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include "toolkit/Win1252.h"
#include "widgets/ColorPickerButton.h"
#include "widgets/PickerCanvas.h"

namespace {

// The comb and intensity hints stay up this long.
constexpr int kCombHintMs = 5000;
// The intensity hint shows this far above the pointer.
constexpr int kIntensityHintRise = 8;
// The grey of a colour item's outline.
constexpr TColor kItemOutline = clGray;

static_assert(Qt::Key_Up - Qt::Key_Left == pmUp && Qt::Key_Right - Qt::Key_Left == pmRight &&
              Qt::Key_Down - Qt::Key_Left == pmDown);

bool MatchesMnemonic(const std::string &text, const QKeyEvent &event)
{
    if (text.empty())
        return false;
    const QKeySequence mnemonic = QKeySequence::mnemonic(Win1252::ToUnicode(text));
    return !mnemonic.isEmpty() && mnemonic[0] == event.keyCombination();
}

} // namespace

TColorPopup::TColorPopup(TColorPickerButton &owner) : QWidget(&owner, Qt::Popup), m_owner(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A press outside closes the popup and goes nowhere else.
    setAttribute(Qt::WA_NoMouseReplay);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    UpdateLayout();
}

void TColorPopup::SetDefaultText(const std::string &text)
{
    if (text == m_defaultText)
        return;
    m_defaultText = text;
    UpdateLayout();
}

void TColorPopup::SetCustomText(const std::string &text)
{
    if (text == m_customText)
        return;
    m_customText = text;
    if (text.empty() && m_selectedIndex == kCustomItem)
        m_selectedIndex = kNoItem;
    UpdateLayout();
}

void TColorPopup::SetShowSystemColors(bool show)
{
    if (show == m_showSystemColors)
        return;
    m_showSystemColors = show;
    UpdateLayout();
}

void TColorPopup::SetPopupSpacing(int spacing)
{
    spacing = std::max(spacing, 0);
    if (spacing == m_popupSpacing)
        return;
    m_popupSpacing = spacing;
    UpdateLayout();
    update();
}

void TColorPopup::UpdateLayout()
{
    TPopupOptions options;
    // Qt styles know frame widths but no 3-D edge width; the edges drawn here
    // are an outer and an inner line, so the edge width is theirs.
    options.edgeWidth = kDefaultEdgeWidth;
    options.spacing = m_popupSpacing;
    options.combLevels = m_combLevels;
    options.hasDefault = !m_defaultText.empty();
    options.hasCustom = !m_customText.empty();
    options.showSystemColors = m_showSystemColors;
    const QSize custom = TPickerCanvas::TextExtent(font(), m_customText);
    const QSize deflt = TPickerCanvas::TextExtent(font(), m_defaultText);
    options.textExtent = custom.expandedTo(deflt);
    m_layout = ComputePopupLayout(options);
    BuildCombs(); // their geometry follows the layout
    if (m_hoverIndex >= kFirstSystemItem && !m_showSystemColors)
        m_hoverIndex = kNoItem;
    if (m_selectedIndex >= kFirstSystemItem && !m_showSystemColors)
        m_selectedIndex = kNoItem;
    resize(m_layout.windowRect.size());
}

void TColorPopup::SetSelectedColor(TColor color)
{
    m_currentColor = color;
    m_combIndex = 0;
    int item = kNoItem;
    if (color == clNone) {
        item = kNoItem;
    } else if (color == clDefault) {
        item = kDefaultItem;
    } else {
        if (m_showSystemColors && IsSystemColor(color)) {
            for (int i = kFirstSystemItem; i < kColorCount && item == kNoItem; ++i)
                if (kColorTable[size_t(i)].value == color)
                    item = i;
        }
        const TColor rgb = ColorToRGB(color);
        for (int i = 0; i < kNamedColorCount && item == kNoItem; ++i)
            if (ColorToRGB(kColorTable[size_t(i)].value) == rgb)
                item = i;
        if (item == kNoItem && m_showSystemColors && !IsSystemColor(color)) {
            for (int i = kFirstSystemItem; i < kColorCount && item == kNoItem; ++i)
                if (ColorToRGB(kColorTable[size_t(i)].value) == rgb)
                    item = i;
        }
        if (item == kNoItem && !m_customText.empty()) {
            // The grey row first, then the colour comb at the current intensity.
            BuildCombs();
            for (size_t j = 0; j < m_greyCombs.size() && item == kNoItem; ++j)
                if (m_greyCombs[j].Color == rgb) {
                    item = kCustomItem;
                    m_combIndex = -1 - int(j);
                }
            for (size_t j = 0; j < m_colorCombs.size() && item == kNoItem; ++j)
                if (m_colorCombs[j].Color == rgb) {
                    item = kCustomItem;
                    m_combIndex = int(j) + 1;
                }
        }
    }
    const bool combShown = m_selectedIndex == kCustomItem;
    m_selectedIndex = item;
    update();
    if (isVisible() && combShown != (item == kCustomItem))
        ShowPopup(); // grows or shrinks with the comb
}

void TColorPopup::ShowPopup()
{
    const int height =
        m_selectedIndex == kCustomItem ? m_layout.CombWindowHeight() : BottomOf(m_layout.windowRect);
    const QSize size(RightOf(m_layout.windowRect), height);
    const QRect button(m_owner.mapToGlobal(QPoint(0, 0)), m_owner.size());
    const QScreen *screen = m_owner.screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), size);
    setGeometry(QRect(PlacePopup(button, size, area), size));
    update();
    show();
    raise();
    activateWindow();
}

void TColorPopup::RepaintItem(int item)
{
    const QRect rect = CellRect(m_layout, item);
    if (!rect.isEmpty())
        repaint(rect);
}

void TColorPopup::SetHover(int item)
{
    if ((item >= kFirstSystemItem && !m_showSystemColors) || item >= kColorCount)
        item = kNoItem;
    if (item == m_hoverIndex)
        return;
    const int old = m_hoverIndex;
    m_hoverIndex = item;
    RepaintItem(old);
    RepaintItem(item);
}

void TColorPopup::SetSelected(int item)
{
    if (item == kNoItem)
        return;
    const int old = m_selectedIndex;
    m_selectedIndex = item;
    RepaintItem(old);
    RepaintItem(item);
    if (item == kCustomItem && isVisible())
        ShowPopup(); // grows to show the comb
}

void TColorPopup::CloseWithChoice()
{
    if (m_selectedIndex >= 0) {
        m_owner.SetSelectionColor(kColorTable[size_t(m_selectedIndex)].value);
    } else if (m_selectedIndex == kCustomItem) {
        if (m_combIndex != 0)
            m_owner.SetSelectionColor(CombColor());
    } else {
        m_owner.DoDefaultSelect();
    }
    m_owner.SetDroppedDown(false);
}

void TColorPopup::CloseWithoutChoice()
{
    m_owner.SetDroppedDown(false);
}

void TColorPopup::closeEvent(QCloseEvent *event)
{
    // The platform closes popups too (another application activated); the
    // button must follow, and may veto.
    if (m_owner.DroppedDown()) {
        m_owner.SetDroppedDown(false);
        if (m_owner.DroppedDown()) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

void TColorPopup::hideEvent(QHideEvent *event)
{
    // A press that the closing interrupted ends here.
    m_leftDown = false;
    m_trackMode = tmNone;
    QWidget::hideEvent(event);
}

// --- Keyboard

void TColorPopup::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & Qt::AltModifier) {
        if (MatchesMnemonic(m_defaultText, *event)) {
            SetSelected(kDefaultItem);
            CloseWithChoice();
            return;
        }
        if (MatchesMnemonic(m_customText, *event)) {
            if (m_selectedIndex != kCustomItem)
                SetSelected(kCustomItem);
            return;
        }
    }
    const int cursor = m_hoverIndex != kNoItem ? m_hoverIndex : m_selectedIndex;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // The keyboard cursor is the choice (with nothing hovered, the selection stays).
        m_selectedIndex = cursor;
        CloseWithChoice();
        return;
    case Qt::Key_Escape:
        CloseWithoutChoice();
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        // Qt numbers the four arrows in the order of TPopupMove.
        SetHover(MoveItem(m_layout, cursor, TPopupMove(event->key() - Qt::Key_Left)));
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// --- Mouse

void TColorPopup::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const int item = HitTest(m_layout, point);
    if (item != m_hoverIndex)
        SetHover(item);
    if (item == kNoItem && rect().contains(point) && (event->buttons() & Qt::LeftButton))
        TrackComb(point);
}

void TColorPopup::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    if (!rect().contains(point)) {
        CloseWithoutChoice();
        return;
    }
    m_leftDown = true;
    const int item = HitTest(m_layout, point);
    if (item != kNoItem) {
        SetHover(item);
        RepaintItem(item); // the pressed look
    } else {
        TrackComb(point);
    }
}

void TColorPopup::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_leftDown = false;
    const int item = HitTest(m_layout, event->position().toPoint());
    const TCombTrackMode mode = m_trackMode;
    m_trackMode = tmNone;
    if (item != kNoItem)
        SetSelected(item);
    const bool combDrag = m_selectedIndex == kCustomItem && (mode == tmColorComb || mode == tmGreyRow);
    if ((item != kNoItem && (m_selectedIndex >= 0 || m_selectedIndex == kDefaultItem)) || combDrag) {
        CloseWithChoice();
        return;
    }
    RepaintItem(item); // no longer pressed; the popup stays open
}

// --- Hints

TPopupHint TColorPopup::HintAt(QPoint point) const
{
    TPopupHint hint;
    hint.position = point;
    const int item = HitTest(m_layout, point);
    if (item >= 0) {
        hint.text = kColorTable[size_t(item)].name;
        hint.cursorRect = CellRect(m_layout, item);
        return hint;
    }
    if (item == kDefaultItem || item == kCustomItem) {
        if (m_owner.OnHint)
            m_owner.OnHint(m_owner, item, hint.text);
        if (hint.text.empty())
            hint.text = m_owner.Hint();
        hint.cursorRect = CellRect(m_layout, item);
        return hint;
    }
    char text[64];
    if (m_selectedIndex == kCustomItem && m_layout.intensityRect.contains(point)) {
        std::snprintf(text, sizeof text, "Intensity: %d%%", Nearest((long double)m_intensity * 100));
        hint.text = text;
        hint.position = QPoint(RightOf(m_layout.intensityRect), point.y() - kIntensityHintRise);
        hint.cursorRect = QRect(point, QSize(1, 0));
        hint.hideAfterMs = kCombHintMs;
        return hint;
    }
    const int colorCell = m_selectedIndex == kCustomItem ? ColorCombHit(point) : -1;
    const int greyCell = m_selectedIndex == kCustomItem && colorCell < 0 ? GreyCombHit(point) : -1;
    if (colorCell >= 0 || greyCell >= 0) {
        const TColor color = colorCell >= 0 ? m_colorCombs[size_t(colorCell)].Color : m_greyCombs[size_t(greyCell)].Color;
        std::snprintf(text, sizeof text, "red: %d, green: %d, blue: %d", color & 0xFF, (color >> 8) & 0xFF,
                      (color >> 16) & 0xFF);
        hint.text = text;
        hint.cursorRect = QRect(point, QSize(1, 0));
        hint.hideAfterMs = kCombHintMs;
        return hint;
    }
    if (m_owner.OnHint)
        m_owner.OnHint(m_owner, kNoItem, hint.text);
    return hint;
}

bool TColorPopup::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const TPopupHint hint = m_owner.ShowHint() ? HintAt(help->pos()) : TPopupHint{};
    if (hint.text.empty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(mapToGlobal(hint.position), Win1252::ToUnicode(hint.text), this, hint.cursorRect,
                       hint.hideAfterMs);
    return true;
}

// --- Painting

void TColorPopup::PaintCellFrame(TPickerCanvas &canvas, const QRect &rect, int item)
{
    const bool selected = item == m_selectedIndex;
    const bool hovered = item == m_hoverIndex;
    canvas.SetBrushColor(selected && !hovered ? clBtnHighlight : clBtnFace);
    canvas.FillRect(rect);
    // The press may have begun on the button (a drag from the strip).
    const bool leftHeld = m_leftDown || (QGuiApplication::mouseButtons() & Qt::LeftButton);
    if (selected || (hovered && leftHeld))
        canvas.Edge(rect, ekSunkenOuter);
    else if (hovered)
        canvas.Edge(rect, ekRaisedInner);
}

void TColorPopup::PaintItem(TPickerCanvas &canvas, int item)
{
    const int m = EdgeWidth();
    QRect rect = CellRect(m_layout, item);
    if (rect.isEmpty())
        return;
    if (item >= 0) {
        PaintCellFrame(canvas, rect, item);
        canvas.SetPenColor(kItemOutline);
        canvas.SetBrushColor(kColorTable[size_t(item)].value);
        canvas.Rectangle(rect.adjusted(m + 1, m + 1, -(m + 1), -(m + 1)));
        return;
    }
    canvas.SetBrushColor(clBtnFace);
    canvas.FillRect(rect);
    canvas.SetFontColor(clBtnText);
    if (item == kDefaultItem) {
        rect.adjust(1, 1, -1, -1);
        PaintCellFrame(canvas, rect, item);
        canvas.SetBrushColor(clBtnShadow);
        canvas.FrameRect(rect.adjusted(m + 1, m + 1, -(m + 1), -(m + 1)));
        canvas.CentredText(rect, m_defaultText);
        return;
    }
    canvas.EtchedLine(rect.x(), RightOf(rect), rect.y() - 2 * m);
    rect.adjust(1, 0, -1, 0);
    PaintCellFrame(canvas, rect, item);
    canvas.CentredText(rect, m_customText);
    if (m_combIndex != 0) {
        canvas.SetPenColor(kItemOutline);
        canvas.SetBrushColor(CombColor());
        canvas.Rectangle(m_layout.customPreviewRect);
    } else {
        canvas.SetBrushColor(clBtnShadow);
        canvas.FrameRect(m_layout.customPreviewRect);
    }
}

void TColorPopup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    TPickerCanvas canvas(&painter);
    canvas.SetFont(font());
    if (m_colorCombs.empty())
        BuildCombs();
    canvas.SetBrushColor(clBtnFace);
    canvas.FillRect(rect());

    const int m = EdgeWidth();
    const TPopupOptions &o = m_layout.options;
    if (o.hasDefault)
        PaintItem(canvas, kDefaultItem);
    for (int item = 0; item < kNamedColorCount; ++item)
        PaintItem(canvas, item);
    if (o.showSystemColors) {
        // In the middle of the gap between the grids.
        const int gridTop = o.hasDefault ? BottomOf(m_layout.defaultTextRect) : 2 * m;
        canvas.EtchedLine(m + o.spacing, width() - m - o.spacing, gridTop + m_layout.rowCount * o.cellSize + m);
        for (int item = kFirstSystemItem; item < kColorCount; ++item)
            PaintItem(canvas, item);
    }
    if (o.hasCustom)
        PaintItem(canvas, kCustomItem);
    if (m_selectedIndex == kCustomItem)
        PaintComb(canvas);
    canvas.Edge(rect(), ekRaisedOuter);
}
