// ColorPickerButton.cpp: TColorPickerButton's properties, groups, mouse,
// keyboard, opening and closing of the popup, and painting.
#include "widgets/ColorPickerButton.h"

#include <QCursor>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QToolTip>

#include "toolkit/Win1252.h"
#include "widgets/PickerCanvas.h"

namespace {

constexpr QSize kDefaultSize(45, 22);

// The size of the framework's image lists, in which actions keep their images.
constexpr QSize kActionImageSize(16, 16);

bool Pressed(TButtonState state) noexcept
{
    return state == bsDown || state == bsExclusive;
}

// Hidden by hide() or setVisible(false), not merely not shown yet.
bool ExplicitlyHidden(const QWidget &widget)
{
    return widget.testAttribute(Qt::WA_WState_ExplicitShowHide) && widget.isHidden();
}

// An action's icon as a glyph: drawn on fuchsia, which is fixed as the
// transparent colour, so that the icon's own clear pixels stay clear.
TBitmap IconGlyph(const QIcon &icon)
{
    QImage image(icon.actualSize(kActionImageSize), QImage::Format_ARGB32);
    image.fill(ToQColor(clFuchsia));
    {
        QPainter painter(&image);
        icon.paint(&painter, image.rect());
    }
    TBitmap glyph(image);
    glyph.SetTransparentColor(clFuchsia);
    return glyph;
}

} // namespace

TColorPickerButton::TColorPickerButton(QWidget *parent)
    : QWidget(parent), m_popup(new TColorPopup(*this))
{
    resize(kDefaultSize);
    // Tab focus lets the keyboard alone open the popup; a click does not take the focus.
    setFocusPolicy(Qt::TabFocus);
    m_glyph.OnChange = [this] { update(); };
}

TColorPickerButton::~TColorPickerButton() = default;

// --- Properties

void TColorPickerButton::SetCaption(const std::string &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    RegrabAccelerator();
    update();
}

void TColorPickerButton::RegrabAccelerator()
{
    if (m_acceleratorId != 0)
        releaseShortcut(m_acceleratorId);
    m_acceleratorId = 0;
    const QKeySequence mnemonic = QKeySequence::mnemonic(Win1252::ToUnicode(m_caption));
    if (!mnemonic.isEmpty())
        m_acceleratorId = grabShortcut(mnemonic);
}

void TColorPickerButton::SetAllowAllUp(bool allow)
{
    if (allow == m_allowAllUp)
        return;
    m_allowAllUp = allow;
    UpdateExclusive();
}

void TColorPickerButton::SetGroupIndex(int index)
{
    if (index == m_groupIndex)
        return;
    m_groupIndex = index;
    UpdateExclusive();
}

void TColorPickerButton::SetDown(bool down)
{
    if (m_groupIndex == 0)
        down = false;
    if (down == m_down)
        return;
    // A down button of a group is released only by another one, unless all may be up.
    if (m_down && !m_allowAllUp)
        return;
    m_down = down;
    if (down) {
        if (m_state == bsUp)
            update();
        m_state = bsExclusive;
        UpdateExclusive();
    } else {
        m_state = bsUp;
        repaint();
    }
}

// Tells every button of the parent with the same group index about this one.
void TColorPickerButton::UpdateExclusive()
{
    if (m_groupIndex == 0 || !parentWidget())
        return;
    for (QObject *child : parentWidget()->children())
        if (auto *button = dynamic_cast<TColorPickerButton *>(child))
            button->ButtonPressed(m_groupIndex, *this);
}

void TColorPickerButton::ButtonPressed(int groupIndex, TColorPickerButton &sender)
{
    if (groupIndex != m_groupIndex || &sender == this)
        return;
    if (sender.m_down && m_down) {
        m_down = false;
        m_state = bsUp;
        update();
    }
    m_allowAllUp = sender.m_allowAllUp;
}

void TColorPickerButton::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TColorPickerButton::SetDropDownArrowColor(TColor color)
{
    m_dropDownArrowColor = color;
    update();
}

void TColorPickerButton::SetDropDownWidth(int width)
{
    m_dropDownWidth = width;
    update();
}

void TColorPickerButton::SetFlat(bool flat)
{
    if (flat == m_flat)
        return;
    m_flat = flat;
    setAttribute(Qt::WA_OpaquePaintEvent, !flat);
    update();
}

void TColorPickerButton::SetTransparent(bool transparent)
{
    if (transparent == m_transparent)
        return;
    m_transparent = transparent;
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
    update();
}

void TColorPickerButton::SetIndicatorBorder(TIndicatorBorder border)
{
    if (border == m_indicatorBorder)
        return;
    m_indicatorBorder = border;
    update();
}

void TColorPickerButton::SetLayout(TButtonLayout layout)
{
    if (layout == m_layout)
        return;
    m_layout = layout;
    update();
}

void TColorPickerButton::SetMargin(int margin)
{
    if (margin == m_margin || margin < -1)
        return;
    m_margin = margin;
    update();
}

void TColorPickerButton::SetSpacing(int spacing)
{
    if (spacing == m_spacing)
        return;
    m_spacing = spacing;
    update();
}

void TColorPickerButton::SetGlyph(const TBitmap &glyph)
{
    m_glyph.SetGlyph(glyph);
    update();
}

void TColorPickerButton::SetNumGlyphs(int count)
{
    count = std::clamp(count, 1, 4);
    if (count == m_glyph.NumGlyphs())
        return;
    m_glyph.SetNumGlyphs(count);
    update();
}

void TColorPickerButton::SetSelectionColor(TColor color)
{
    if (color == m_selectionColor)
        return;
    m_selectionColor = color;
    update();
    if (m_droppedDown)
        m_popup->SetSelectedColor(color);
    if (OnChange)
        OnChange(*this);
}

void TColorPickerButton::SetCustomText(const std::string &text)
{
    if (text == m_popup->CustomText())
        return;
    m_popup->SetCustomText(text);
    PopupTextsChanged();
}

void TColorPickerButton::SetDefaultText(const std::string &text)
{
    if (text == m_popup->DefaultText())
        return;
    m_popup->SetDefaultText(text);
    PopupTextsChanged();
}

void TColorPickerButton::SetShowSystemColors(bool show)
{
    if (show == m_popup->ShowSystemColors())
        return;
    m_popup->SetShowSystemColors(show);
    PopupTextsChanged();
}

void TColorPickerButton::SetPopupSpacing(int spacing)
{
    m_popup->SetPopupSpacing(spacing);
    if (m_droppedDown)
        m_popup->ShowPopup();
}

void TColorPickerButton::PopupTextsChanged()
{
    if (m_droppedDown)
        m_popup->ShowPopup();
}

// --- Action link

void TColorPickerButton::SetAction(QAction *action)
{
    if (action == m_action)
        return;
    disconnect(m_actionChanged);
    m_action = action;
    if (!action)
        return;
    m_actionChanged = connect(action, &QAction::changed, this, [this] {
        if (m_action)
            ActionChange(*m_action, false);
    });
    ActionChange(*action, true);
}

void TColorPickerButton::ActionChange(const QAction &action, bool checkDefaults)
{
    if (!checkDefaults || m_caption.empty())
        SetCaption(Win1252::FromUnicodeDropping(action.text()));
    if (!checkDefaults || !testAttribute(Qt::WA_ForceDisabled))
        setEnabled(action.isEnabled());
    if (!checkDefaults || m_hint.empty())
        SetHint(Win1252::FromUnicodeDropping(action.toolTip()));
    if ((!checkDefaults || !ExplicitlyHidden(*this)) && action.isVisible() == ExplicitlyHidden(*this))
        setVisible(action.isVisible());
    if (!action.icon().isNull() && (!checkDefaults || Glyph().Empty())) {
        const TBitmap glyph = IconGlyph(action.icon());
        if (!(glyph == Glyph()))
            SetGlyph(glyph);
    }
}

// --- Opening and closing

void TColorPickerButton::SetDroppedDown(bool dropped)
{
    if (dropped == m_droppedDown)
        return;
    bool allowed = true;
    if (OnDropChanging)
        OnDropChanging(*this, allowed);
    if (!allowed)
        return;
    m_droppedDown = dropped;
    if (dropped) {
        m_state = bsDown;
        m_popup->SetSelectedColor(m_selectionColor);
        m_popup->ShowPopup();
    } else {
        m_state = bsUp;
        m_popup->hide();
    }
    if (OnDropChanged)
        OnDropChanged(*this);
    update();
}

void TColorPickerButton::Click()
{
    // An OnClick of its own stands in for the action.
    if (OnClick)
        OnClick(*this);
    else if (m_action)
        m_action->trigger();
}

void TColorPickerButton::DoDefaultSelect()
{
    if (OnDefaultSelect)
        OnDefaultSelect(*this);
}

// --- Mouse and keyboard

void TColorPickerButton::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(*this, event->button(), event->modifiers(), point);
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    m_dropDownPressed = point.x() > width() - m_dropDownWidth;
    if (m_dropDownPressed) {
        if (!m_droppedDown) {
            repaint();
            SetDroppedDown(true);
        }
        m_dragging = false;
    } else {
        if (!m_down) {
            m_state = bsDown;
            update();
        }
        m_dragging = true;
    }
}

void TColorPickerButton::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(*this, Qt::NoButton, event->modifiers(), point);
    if (!m_dragging)
        return;
    TButtonState state = bsUp;
    if (m_down)
        state = bsExclusive;
    else if (point.x() >= 0 && point.x() < width() && point.y() >= 0 && point.y() <= height())
        state = bsDown;
    if (state != m_state) {
        m_state = state;
        update();
    }
}

void TColorPickerButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(*this, event->button(), event->modifiers(), point);
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    const bool inside = rect().contains(point);
    if (m_groupIndex == 0) {
        m_state = bsUp;
        m_mouseInControl = false;
        if (inside)
            update();
    } else if (inside) {
        SetDown(!m_down);
        if (m_down)
            repaint();
    } else {
        if (m_down)
            m_state = bsExclusive;
        repaint();
    }
    if (inside)
        Click();
    UpdateTracking();
}

void TColorPickerButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton && m_down && OnDblClick)
        OnDblClick(*this);
}

// The hot state of the flat look follows the pointer.
void TColorPickerButton::UpdateTracking()
{
    if (!m_flat || !isEnabled())
        return;
    const bool inside = rect().contains(mapFromGlobal(QCursor::pos()));
    if (inside != m_mouseInControl) {
        m_mouseInControl = inside;
        update();
    }
}

void TColorPickerButton::enterEvent(QEnterEvent *)
{
    if (m_flat && isEnabled() && !m_mouseInControl) {
        m_mouseInControl = true;
        repaint();
    }
}

void TColorPickerButton::leaveEvent(QEvent *)
{
    if (m_flat && isEnabled() && m_mouseInControl) {
        m_mouseInControl = false;
        if (!m_dragging)
            update();
    }
}

// Space, F4 and Alt+Down open the popup from the keyboard.
void TColorPickerButton::keyPressEvent(QKeyEvent *event)
{
    const bool open = event->key() == Qt::Key_F4 || event->key() == Qt::Key_Space ||
                      (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier));
    if (!open || !isEnabled()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!m_droppedDown) {
        m_dropDownPressed = true;
        SetDroppedDown(true);
    }
}

void TColorPickerButton::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        m_glyph.Invalidate();
        UpdateTracking();
        repaint();
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        m_glyph.Invalidate();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

bool TColorPickerButton::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut) {
        const auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->shortcutId() == m_acceleratorId && isEnabled() && isVisible()) {
            Click();
            return true;
        }
    } else if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (m_showHint && !m_hint.empty())
            QToolTip::showText(help->globalPos(), Win1252::ToUnicode(m_hint), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

// --- Painting

void TColorPickerButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    TPickerCanvas canvas(&painter);
    canvas.SetFont(font());

    if (!isEnabled()) {
        m_state = bsDisabled;
        m_dragging = false;
    } else if (m_state == bsDisabled) {
        m_state = m_down && m_groupIndex != 0 ? bsExclusive : bsUp;
    }
    const int w = width(), h = height();
    const int strip = w - m_dropDownWidth;
    const bool pressed = Pressed(m_state);
    QRect whole = rect();
    const QRect dropDown = Edges(strip, 0, w, h);

    const auto separator = [&](bool down) {
        canvas.SetPenColor(clBtnHighlight);
        canvas.VerticalLine(down ? strip + 1 : strip, down ? 2 : 1, down ? h - 2 : h - 1);
        canvas.SetPenColor(clBtnShadow);
        canvas.VerticalLine(down ? strip : strip - 1, down ? 2 : 1, down ? h - 2 : h - 1);
    };
    const auto flatEdge = [&](const QRect &r, bool sunken) {
        if (!m_transparent) {
            canvas.SetBrushColor(clBtnFace);
            canvas.FillRect(r.adjusted(1, 1, -1, -1));
        }
        canvas.Edge(r, sunken ? ekSunkenOuter : ekRaisedInner);
    };

    if (m_flat) {
        if (pressed || (m_mouseInControl && isEnabled())) {
            if (!m_dropDownPressed) {
                flatEdge(whole, pressed);
                separator(pressed);
            } else if (m_droppedDown) {
                flatEdge(whole, false);
                flatEdge(dropDown, true);
            } else {
                flatEdge(whole, false);
                flatEdge(dropDown, false);
                separator(false);
            }
        } else if (!m_transparent) {
            canvas.SetBrushColor(m_color);
            canvas.FillRect(whole);
        }
        whole.adjust(1, 1, -1, -1);
    } else if (!m_dropDownPressed) {
        canvas.PushButtonFrame(whole, pressed);
        separator(pressed);
    } else if (m_droppedDown) {
        canvas.PushButtonFrame(whole, false);
        QRect strip = dropDown;
        canvas.PushButtonFrame(strip, true);
    } else {
        canvas.PushButtonFrame(whole, false);
        QRect strip = dropDown;
        canvas.PushButtonFrame(strip, false);
        separator(false);
    }

    const QPoint offset = pressed && !m_dropDownPressed ? QPoint(1, 1) : QPoint(0, 0);
    if (m_state == bsExclusive && !(m_flat && m_mouseInControl))
        canvas.DitherFill(whole, clBtnFace, clBtnHighlight);

    TGlyphLayoutInput input;
    input.client = whole;
    input.offset = offset;
    input.glyph = m_glyph.ImageSize();
    if (!m_caption.empty())
        input.caption = QFontMetrics(font())
                            .boundingRect(QRect(0, 0, whole.width(), 0), Qt::TextShowMnemonic,
                                          Win1252::ToUnicode(m_caption))
                            .size();
    input.layout = m_layout;
    input.margin = m_margin;
    input.spacing = m_spacing;
    input.dropDownWidth = m_dropDownWidth;
    input.rightToLeft = layoutDirection() == Qt::RightToLeft;
    const TGlyphLayoutResult layout = LayoutGlyph(input);

    m_glyph.Draw(canvas, layout.glyphPos, m_state, m_transparent);
    if (!m_caption.empty()) {
        if (m_state == bsDisabled) {
            canvas.SetFontColor(clBtnHighlight);
            canvas.CentredText(layout.textBounds.translated(1, 1), m_caption);
            canvas.SetFontColor(clBtnShadow);
        } else {
            canvas.SetFontColor(clBtnText);
        }
        canvas.CentredText(layout.textBounds, m_caption);
    }

    QRect indicator = layout.indicator;
    canvas.SetBrushColor(m_selectionColor);
    canvas.SetPenColor(clBtnShadow);
    switch (m_indicatorBorder) {
    case ibNone:
        canvas.FillRect(indicator);
        break;
    case ibFlat:
        canvas.Rectangle(indicator);
        break;
    case ibSunken:
    case ibRaised:
        canvas.Edge(indicator, m_indicatorBorder == ibSunken ? ekSunkenOuter : ekRaisedInner);
        indicator.adjust(1, 1, -1, -1);
        canvas.SetBrushColor(m_selectionColor);
        canvas.FillRect(indicator);
        break;
    }

    if (hasFocus()) {
        // The focus mark around the main part (the keyboard's way in).
        painter.save();
        painter.setPen(QPen(ToQColor(clBtnText), 0, Qt::DotLine));
        painter.drawRect(Edges(whole.x() + 1, whole.y() + 1, strip - 3, BottomOf(whole) - 2));
        painter.restore();
    }

    const bool arrowDown = (m_dropDownPressed && m_droppedDown) || (m_state == bsDown && !m_dropDownPressed);
    const auto arrow = ArrowTriangle(ArrowPoint(w, h, m_dropDownWidth, arrowDown));
    if (m_state == bsDisabled) {
        canvas.SetNoPen(true);
        canvas.SetBrushColor(clBtnShadow);
    } else {
        canvas.SetPenColor(m_dropDownArrowColor);
        canvas.SetBrushColor(m_dropDownArrowColor);
    }
    canvas.Polygon(arrow);
    canvas.SetNoPen(false);
}
