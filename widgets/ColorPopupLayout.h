// ColorPopupLayout.h: the colour popup's table and geometry as pure functions.
// The 65 named and system colours, the popup's rectangles, the item under a
// point, keyboard moves between items and the popup's place on the screen.
// All rectangles are in client pixels with exclusive right and bottom edges.
#ifndef QUENLO_WIDGETS_COLORPOPUPLAYOUT_H
#define QUENLO_WIDGETS_COLORPOPUPLAYOUT_H

#include <array>

#include <QPoint>
#include <QRect>
#include <QSize>

#include "toolkit/Colors.h"
#include "toolkit/Geometry.h"

// Item indexes: 0..39 named colours, 40..64 system colours, and these.
inline constexpr int kNoItem = -1;
inline constexpr int kCustomItem = -2;
inline constexpr int kDefaultItem = -3;

inline constexpr int kNamedColorCount = 40;
inline constexpr int kSystemColorCount = 25;
inline constexpr int kFirstSystemItem = kNamedColorCount;
inline constexpr int kColorCount = kNamedColorCount + kSystemColorCount;
inline constexpr int kColumnCount = 8;

struct TColorEntry {
    const char *name;
    TColor value; // 0x00BBGGRR, or a system colour
};

// Named colours first, then system colours 0..24 in index order.
extern const std::array<TColorEntry, kColorCount> kColorTable;


// The 3-D edge width: an outer and an inner line of one pixel.
inline constexpr int kDefaultEdgeWidth = 2;

struct TPopupOptions {
    int edgeWidth = kDefaultEdgeWidth; // M
    int spacing = 8;                   // PopupSpacing, S
    int cellSize = 18;                 // C
    int combLevels = 7;
    bool hasDefault = false;           // DefaultText non-empty
    bool hasCustom = false;            // CustomText non-empty
    bool showSystemColors = false;
    QSize textExtent;                  // largest extent of the non-empty texts
};

// Everything UpdateLayout computes. The comb rectangles lie below the rest;
// windowRect does not include them.
struct TPopupLayout {
    TPopupOptions options;
    int rowCount = 0;      // rows of the named grid
    int sysRowCount = 0;   // rows of the system grid (0 when hidden)
    QSize textSize;        // T: the size of a text button
    QRect windowRect;
    QRect defaultTextRect;
    QRect customTextRect;
    QRect customPreviewRect;
    int combSize = 0;      // half the side of combRect
    int combCellSize = 0;  // R, the size of a small hexagon
    QRect combRect;
    QRect greyCombRect;
    QRect intensityRect;

    // The popup's height while the comb shows.
    int CombWindowHeight() const noexcept { return 2 * options.edgeWidth + BottomOf(greyCombRect); }
};

TPopupLayout ComputePopupLayout(const TPopupOptions &options);

// The last item: 64 with system colours, else 39.
int LastItem(const TPopupLayout &layout) noexcept;

// The rectangle of item a: the text buttons for -2 and -3, empty for other
// negatives and for items beyond the table.
QRect CellRect(const TPopupLayout &layout, int item) noexcept;

// The item at a grid row and column; -2 or -3 in either names that button
// (when present); -1 where there is none.
int ItemAt(const TPopupLayout &layout, int row, int column) noexcept;

// The item whose rectangle holds the point, or -1 (margins, the gap between
// the grids, the comb area).
int HitTest(const TPopupLayout &layout, QPoint point) noexcept;

enum TPopupMove { pmLeft, pmUp, pmRight, pmDown };

// Where an arrow key takes the keyboard cursor from item `from` (-1: from
// before the first item).
int MoveItem(const TPopupLayout &layout, int from, TPopupMove move) noexcept;

// The popup's top-left on the screen: below the button (whose rectangle is
// in screen coordinates), moved up to stay on the screen, above the button
// when it would cover it, and moved left to stay on the screen.
QPoint PlacePopup(const QRect &button, QSize popup, const QRect &screen) noexcept;

#endif
