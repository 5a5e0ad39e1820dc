// ColorPickerButton.h: TColorPickerButton, a drop-down colour button.
// It paints itself: a flat or 3-D speed button showing SelectionColor in an
// indicator, with a drop-down strip whose arrow opens TColorPopup.
#ifndef QUENLO_WIDGETS_COLORPICKERBUTTON_H
#define QUENLO_WIDGETS_COLORPICKERBUTTON_H

#include <functional>
#include <memory>
#include <string>

#include <QAction>
#include <QPointer>
#include <QWidget>

#include "toolkit/Colors.h"
#include "widgets/ButtonGlyph.h"
#include "widgets/ButtonLayout.h"
#include "widgets/ColorPopup.h"

enum TIndicatorBorder { ibNone, ibFlat, ibSunken, ibRaised };

class TColorPickerButton : public QWidget {
public:
    explicit TColorPickerButton(QWidget *parent = nullptr);
    ~TColorPickerButton() override;

    // Caption and hint are Windows-1252; '&' marks the caption's accelerator.
    const std::string &Caption() const noexcept { return m_caption; }
    void SetCaption(const std::string &caption);
    const std::string &Hint() const noexcept { return m_hint; }
    void SetHint(const std::string &hint) { m_hint = hint; }
    bool ShowHint() const noexcept { return m_showHint; }
    void SetShowHint(bool show) { m_showHint = show; }

    bool AllowAllUp() const noexcept { return m_allowAllUp; }
    void SetAllowAllUp(bool allow);
    bool Down() const noexcept { return m_down; }
    void SetDown(bool down);
    int GroupIndex() const noexcept { return m_groupIndex; }
    void SetGroupIndex(int index);
    TColor Color() const noexcept { return m_color; }
    void SetColor(TColor color);
    TColor DropDownArrowColor() const noexcept { return m_dropDownArrowColor; }
    void SetDropDownArrowColor(TColor color);
    int DropDownWidth() const noexcept { return m_dropDownWidth; }
    void SetDropDownWidth(int width);
    bool Flat() const noexcept { return m_flat; }
    void SetFlat(bool flat);
    bool Transparent() const noexcept { return m_transparent; }
    void SetTransparent(bool transparent);
    TIndicatorBorder IndicatorBorder() const noexcept { return m_indicatorBorder; }
    void SetIndicatorBorder(TIndicatorBorder border);
    TButtonLayout Layout() const noexcept { return m_layout; }
    void SetLayout(TButtonLayout layout);
    int Margin() const noexcept { return m_margin; }
    // Values below -1 are ignored.
    void SetMargin(int margin);
    int Spacing() const noexcept { return m_spacing; }
    void SetSpacing(int spacing);
    // A plain QImage converts to a bitmap whose bottom-left pixel is transparent.
    const TBitmap &Glyph() const noexcept { return m_glyph.Glyph(); }
    void SetGlyph(const TBitmap &glyph);
    int NumGlyphs() const noexcept { return m_glyph.NumGlyphs(); }
    // Values above 4 count as 4.
    void SetNumGlyphs(int count);

    TColor SelectionColor() const noexcept { return m_selectionColor; }
    void SetSelectionColor(TColor color);
    bool DroppedDown() const noexcept { return m_droppedDown; }
    // Opens or closes the popup; OnDropChanging may veto either.
    void SetDroppedDown(bool dropped);

    // Kept by the popup.
    const std::string &CustomText() const noexcept { return m_popup->CustomText(); }
    void SetCustomText(const std::string &text);
    const std::string &DefaultText() const noexcept { return m_popup->DefaultText(); }
    void SetDefaultText(const std::string &text);
    bool ShowSystemColors() const noexcept { return m_popup->ShowSystemColors(); }
    void SetShowSystemColors(bool show);
    int PopupSpacing() const noexcept { return m_popup->PopupSpacing(); }
    void SetPopupSpacing(int spacing);

    // The linked action, or null; it is not owned, and its destruction ends
    // the link. Linking takes the action's caption, enabled state, hint (its
    // tool tip, which Qt makes of the text when the action has none),
    // visibility and icon (as a glyph of up to 16 x 16) wherever the button still
    // has the default (empty, enabled, not hidden, no glyph); every later
    // change of the action copies them all. Unlinking keeps the values.
    QAction *Action() const noexcept { return m_action; }
    void SetAction(QAction *action);

    TButtonState State() const noexcept { return m_state; }
    TColorPopup &Popup() noexcept { return *m_popup; }

    // Fires OnClick; without one it triggers the linked action.
    void Click();
    // Fires OnDefaultSelect; the popup calls it when its default button is chosen.
    virtual void DoDefaultSelect();

    using TNotifyEvent = std::function<void(TColorPickerButton &)>;
    using TMouseEvent = std::function<void(TColorPickerButton &, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)>;
    TNotifyEvent OnChange;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnDefaultSelect;
    TNotifyEvent OnDropChanged;
    std::function<void(TColorPickerButton &, bool &allowed)> OnDropChanging;
    // Raised by the popup: cell -3 default button, -2 custom button, -1 elsewhere.
    std::function<void(TColorPickerButton &, int cell, std::string &hint)> OnHint;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    QSize sizeHint() const override { return QSize(45, 22); }

protected:
    // Copies the action's properties; checkDefaults only fills defaults.
    virtual void ActionChange(const QAction &action, bool checkDefaults);
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void UpdateExclusive();
    void ButtonPressed(int groupIndex, TColorPickerButton &sender);
    void UpdateTracking();
    void PopupTextsChanged();
    void RegrabAccelerator();

    TColorPopup *m_popup; // a child in Qt's ownership
    TButtonGlyph m_glyph;
    std::string m_caption;
    std::string m_hint;
    bool m_showHint = false;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_dragging = false;
    bool m_allowAllUp = false;
    TButtonLayout m_layout = blGlyphLeft;
    int m_spacing = 4;
    int m_margin = -1;
    bool m_flat = false;
    bool m_mouseInControl = false;
    bool m_transparent = true;
    TIndicatorBorder m_indicatorBorder = ibFlat;
    TColor m_color = clBtnFace;
    TColor m_dropDownArrowColor = clBlack;
    int m_dropDownWidth = 15;
    bool m_dropDownPressed = false;
    bool m_droppedDown = false;
    TColor m_selectionColor = clBlack;
    TButtonState m_state = bsUp;
    int m_acceleratorId = 0;
    QPointer<QAction> m_action;
    QMetaObject::Connection m_actionChanged;
};

#endif
