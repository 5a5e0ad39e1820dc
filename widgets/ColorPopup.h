// ColorPopup.h: TColorPopup, the palette window of TColorPickerButton.
// A top-level popup with the named and system colours, the default and custom
// buttons and, while the custom button is selected, the colour comb with its
// grey row and intensity bar. It reports the choice to its button.
#ifndef QUENLO_WIDGETS_COLORPOPUP_H
#define QUENLO_WIDGETS_COLORPOPUP_H

#include <string>

#include <QWidget>

#include "toolkit/Colors.h"
#include "widgets/ColorComb.h"
#include "widgets/ColorPopupLayout.h"

class TColorPickerButton;
class TPickerCanvas;

// Comb tracking while the left button is held.
enum TCombTrackMode : unsigned char { tmNone, tmColorComb, tmGreyRow, tmIntensity };

// What the popup shows as a hint at a point.
struct TPopupHint {
    std::string text;       // Windows-1252
    QRect cursorRect;       // the hint goes when the pointer leaves it; no height: it follows
    QPoint position;        // where to show it, in popup coordinates
    int hideAfterMs = -1;   // -1: the platform's default
};

// Owned by its button (the Qt parent); a window of its own (Qt::Popup, which
// holds the mouse and keyboard while open).
class TColorPopup : public QWidget {
public:
    explicit TColorPopup(TColorPickerButton &owner);

    const std::string &DefaultText() const noexcept { return m_defaultText; }
    void SetDefaultText(const std::string &text);
    // Clearing it while the custom button is selected selects nothing.
    const std::string &CustomText() const noexcept { return m_customText; }
    void SetCustomText(const std::string &text);
    bool ShowSystemColors() const noexcept { return m_showSystemColors; }
    void SetShowSystemColors(bool show);
    int PopupSpacing() const noexcept { return m_popupSpacing; }
    // Negative values count as 0.
    void SetPopupSpacing(int spacing);

    TColor CurrentColor() const noexcept { return m_currentColor; }
    // Stores the colour and selects the item (or comb cell) showing it.
    void SetSelectedColor(TColor color);
    // Places the window below (or above) the button and shows it.
    void ShowPopup();
    // Recomputes every rectangle from the texts, spacing and edge width.
    void UpdateLayout();

    const TPopupLayout &Layout() const noexcept { return m_layout; }
    int EdgeWidth() const noexcept { return m_layout.options.edgeWidth; }
    int SelectedIndex() const noexcept { return m_selectedIndex; }
    int HoverIndex() const noexcept { return m_hoverIndex; }
    void SetHover(int item);
    void SetSelected(int item);

    // The comb: the chosen cell is j + 1 for colour cell j, -1 - j for grey cell j, 0 for none.
    int CombIndex() const noexcept { return m_combIndex; }
    float Intensity() const noexcept { return m_intensity; }
    TCombTrackMode TrackMode() const noexcept { return m_trackMode; }
    const TCombArray &ColorCombs() const noexcept { return m_colorCombs; }
    const TCombArray &GreyCombs() const noexcept { return m_greyCombs; }
    void BuildCombs();

    TPopupHint HintAt(QPoint point) const;

    // The choice (the selected item's colour, the comb cell's colour, or the
    // default) goes to the button, which closes the popup.
    void CloseWithChoice();
    void CloseWithoutChoice();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void RepaintItem(int item);
    void TrackComb(QPoint point);
    // Sets CombIndex, repainting the old and new outline and the preview.
    void ChooseCombCell(int combIndex);
    TColor CombColor() const noexcept;
    QRect ChosenCellArea() const noexcept;
    int ColorCombHit(QPoint point) const noexcept;
    int GreyCombHit(QPoint point) const noexcept;
    QRect IntensityMarkerArea() const noexcept;
    void PaintItem(TPickerCanvas &canvas, int item);
    void PaintCellFrame(TPickerCanvas &canvas, const QRect &rect, int item);
    void PaintComb(TPickerCanvas &canvas);

    TColorPickerButton &m_owner;
    std::string m_defaultText;
    std::string m_customText;
    TColor m_currentColor = clBlack;
    int m_popupSpacing = 8;
    bool m_showSystemColors = false;
    TPopupLayout m_layout;
    int m_selectedIndex = kNoItem;
    int m_hoverIndex = kNoItem;
    bool m_leftDown = false;

    int m_combLevels = 7;
    TColorFractions m_centreColor{1, 1, 1};
    float m_intensity = 1;
    TCombArray m_colorCombs;
    TCombArray m_greyCombs;
    int m_combIndex = 0;
    TCombTrackMode m_trackMode = tmNone;
};

#endif
