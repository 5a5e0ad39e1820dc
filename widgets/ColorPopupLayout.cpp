// ColorPopupLayout.cpp: the colour table, popup rectangles, hit tests, keyboard
// moves and placement.
#include "widgets/ColorPopupLayout.h"

#include <algorithm>

#include "widgets/ColorComb.h"

const std::array<TColorEntry, kColorCount> kColorTable = {{
    {"Black", 0x000000},
    {"Brown", 0x003399},
    {"Olive Green", 0x003333},
    {"Dark Green", 0x003300},
    {"Dark Teal", 0x663300},
    {"Dark blue", 0x800000},
    {"Indigo", 0x993333},
    {"Gray-80%", 0x333333},
    {"Dark Red", 0x000080},
    {"Orange", 0x0066FF},
    {"Dark Yellow", 0x008080},
    {"Green", 0x008000},
    {"Teal", 0x808000},
    {"Blue", 0xFF0000},
    {"Blue-Gray", 0x996666},
    {"Gray-50%", 0x808080},
    {"Red", 0x0000FF},
    {"Light Orange", 0x0099FF},
    {"Lime", 0x00CC99},
    {"Sea Green", 0x669933},
    {"Aqua", 0xCCCC33},
    {"Light Blue", 0xFF6633},
    {"Violet", 0x800080},
    {"Grey-40%", 0x969696},
    {"Pink", 0xFF00FF},
    {"Gold", 0x00CCFF},
    {"Yellow", 0x00FFFF},
    {"Bright Green", 0x00FF00},
    {"Turquoise", 0xFFFF00},
    {"Sky Blue", 0xFFCC00},
    {"Plum", 0x663399},
    {"Gray-25%", 0xC0C0C0},
    {"Rose", 0xCC99FF},
    {"Tan", 0x99CCFF},
    {"Light Yellow", 0x99FFFF},
    {"Light Green", 0xCCFFCC},
    {"Light Turquoise", 0xFFFFCC},
    {"Pale Blue", 0xFFCC99},
    {"Lavender", 0xFF99CC},
    {"White", 0xFFFFFF},
    {"system color: scroll bar", clScrollBar},
    {"system color: background", clBackground},
    {"system color: active caption", clActiveCaption},
    {"system color: inactive caption", clInactiveCaption},
    {"system color: menu", clMenu},
    {"system color: window", clWindow},
    {"system color: window frame", clWindowFrame},
    {"system color: menu text", clMenuText},
    {"system color: window text", clWindowText},
    {"system color: caption text", clCaptionText},
    {"system color: active border", clActiveBorder},
    {"system color: inactive border", clInactiveBorder},
    {"system color: application workspace", clAppWorkSpace},
    {"system color: highlight", clHighlight},
    {"system color: highlight text", clHighlightText},
    {"system color: button face", clBtnFace},
    {"system color: button shadow", clBtnShadow},
    {"system color: gray text", clGrayText},
    {"system color: button text", clBtnText},
    {"system color: inactive caption text", clInactiveCaptionText},
    {"system color: button highlight", clBtnHighlight},
    {"system color: 3D dark shadow", cl3DDkShadow},
    {"system color: 3D light", cl3DLight},
    {"system color: info text", clInfoText},
    {"system color: info background", clInfoBk},
}};

namespace {

int RowsFor(int count) noexcept
{
    return count / kColumnCount + (count % kColumnCount != 0 ? 1 : 0);
}

} // namespace

TPopupLayout ComputePopupLayout(const TPopupOptions &options)
{
    TPopupLayout layout;
    layout.options = options;
    const int m = options.edgeWidth;
    const int s = options.spacing;
    const int c = options.cellSize;

    if (options.hasDefault || options.hasCustom)
        layout.textSize = QSize(options.textExtent.width() + 2 * m, options.textExtent.height() + 4 * m + 2);

    layout.rowCount = RowsFor(kNamedColorCount);
    int width = kColumnCount * c + 2 * m + 2 * s;
    int bottom = layout.rowCount * c + 4 * m;

    layout.combSize = 8 * c * 7 / 16;
    layout.combCellSize = Nearest((long double)layout.combSize / std::max(1, options.combLevels - 1) + 0.5L);

    const int textHeight = layout.textSize.height();
    if (options.hasDefault) {
        width = std::max(width, layout.textSize.width());
        const int w = width - 2 * m;
        layout.defaultTextRect = Edges(m + s, 2 * m, m + w - s, 2 * m + textHeight);
        bottom += textHeight + 2 * m;
    }
    if (options.showSystemColors) {
        layout.sysRowCount = RowsFor(kSystemColorCount);
        bottom += layout.sysRowCount * c + 2 * m;
    }
    if (options.hasCustom) {
        width = std::max(width, layout.textSize.width());
        const int w = width - 2 * m;
        const QRect &custom = layout.customTextRect = Edges(m + s, bottom, m + w - s, bottom + textHeight);
        const QRect preview = Edges(0, 0, c, c).adjusted(m + 1, m + 1, -(m + 1), -(m + 1));
        layout.customPreviewRect =
            preview.translated(RightOf(custom) - c - m, custom.y() + (custom.height() - BottomOf(preview) - m - 1) / 2);
        bottom += textHeight + 2 * m;
    }
    layout.windowRect = Edges(0, 0, width, bottom);

    layout.combRect = CombRectAt(m + s, bottom, layout.combSize);
    layout.greyCombRect = GreyCombRectFor(layout.combRect, layout.combCellSize);
    layout.intensityRect = IntensityRectFor(layout.combRect, layout.combCellSize);
    return layout;
}

int LastItem(const TPopupLayout &layout) noexcept
{
    return layout.options.showSystemColors ? kColorCount - 1 : kNamedColorCount - 1;
}

QRect CellRect(const TPopupLayout &layout, int item) noexcept
{
    if (item == kCustomItem)
        return layout.customTextRect;
    if (item == kDefaultItem)
        return layout.defaultTextRect;
    if (item < 0 || item >= kColorCount)
        return QRect();
    const int m = layout.options.edgeWidth;
    const int c = layout.options.cellSize;
    int top = item / kColumnCount * c + 2 * m;
    if (layout.options.hasDefault)
        top += BottomOf(layout.defaultTextRect) - 2 * m;
    if (item >= kFirstSystemItem)
        top += 3 * m;
    return QRect(item % kColumnCount * c + m + layout.options.spacing, top, c, c);
}

int ItemAt(const TPopupLayout &layout, int row, int column) noexcept
{
    const TPopupOptions &o = layout.options;
    if ((row == kCustomItem || column == kCustomItem) && o.hasCustom)
        return kCustomItem;
    if ((row == kDefaultItem || column == kDefaultItem) && o.hasDefault)
        return kDefaultItem;
    if (column < 0 || column >= kColumnCount || row < 0)
        return kNoItem;
    if (row < layout.rowCount) {
        const int item = row * kColumnCount + column;
        return item < kNamedColorCount ? item : kNoItem;
    }
    if (o.showSystemColors && row - layout.rowCount < layout.sysRowCount) {
        const int index = (row - layout.rowCount) * kColumnCount + column;
        return index < kSystemColorCount ? kFirstSystemItem + index : kNoItem;
    }
    return kNoItem;
}

// The inverse of CellRect: a point hits the item whose drawn cell holds it.
int HitTest(const TPopupLayout &layout, QPoint point) noexcept
{
    const TPopupOptions &o = layout.options;
    if (o.hasCustom && layout.customTextRect.contains(point))
        return kCustomItem;
    if (o.hasDefault && layout.defaultTextRect.contains(point))
        return kDefaultItem;
    const int m = o.edgeWidth;
    const int c = o.cellSize;
    const int x = point.x() - m - o.spacing;
    int y = point.y() - 2 * m;
    if (o.hasDefault)
        y -= BottomOf(layout.defaultTextRect) - 2 * m;
    if (x < 0 || y < 0)
        return kNoItem;
    if (o.showSystemColors && y / c >= layout.rowCount) {
        y -= 3 * m; // the gap between the two grids
        if (y < layout.rowCount * c)
            return kNoItem;
    }
    return ItemAt(layout, y / c, x / c);
}

int MoveItem(const TPopupLayout &layout, int from, TPopupMove move) noexcept
{
    const bool hasDefault = layout.options.hasDefault;
    const bool hasCustom = layout.options.hasCustom;
    const int last = LastItem(layout);
    // The buttons in the order the cursor meets them before the first item.
    const int beforeFirst = hasDefault ? kDefaultItem : hasCustom ? kCustomItem : last;
    switch (move) {
    case pmLeft:
    case pmUp:
        if (from == kDefaultItem)
            return hasCustom ? kCustomItem : last;
        if (from == kCustomItem || from < 0)
            return last;
        if (move == pmLeft)
            return from == 0 ? beforeFirst : from - 1;
        if (from / kColumnCount == 0)
            return beforeFirst;
        return from - kColumnCount;
    case pmRight:
    case pmDown:
        if (from == kDefaultItem || from < kCustomItem || from == kNoItem)
            return 0;
        if (from == kCustomItem)
            return hasDefault ? kDefaultItem : 0;
        {
            const int target = from + (move == pmRight ? 1 : kColumnCount);
            if (target <= last)
                return target;
            return hasCustom ? kCustomItem : hasDefault ? kDefaultItem : 0;
        }
    }
    return kNoItem;
}

QPoint PlacePopup(const QRect &button, QSize popup, const QRect &screen) noexcept
{
    int x = button.x() - 1;
    int y = BottomOf(button);
    if (y + popup.height() > BottomOf(screen))
        y = BottomOf(screen) - popup.height();
    if (y < button.y())
        y = button.y() - popup.height();
    if (x + popup.width() > RightOf(screen))
        x = RightOf(screen) - popup.width();
    return QPoint(std::max(x, screen.x()), y);
}
