// ColorPopupComb.cpp: TColorPopup's colour comb: building, tracking the mouse
// over the comb, the grey row and the intensity bar, and painting them.
#include <QPainter>

#include "widgets/ColorPopup.h"
#include "widgets/PickerCanvas.h"

namespace {

// Width of the intensity bar's grey ramp, and the marker's reach beside it.
constexpr int kRampWidth = 10;
constexpr int kMarkerTip = 11;
constexpr int kMarkerBase = 16;
constexpr int kMarkerHalfHeight = 3;

} // namespace

void TColorPopup::BuildCombs()
{
    m_colorCombs = BuildColorCombs(m_layout.combSize, m_combLevels, m_centreColor);
    m_greyCombs = BuildGreyCombs(m_layout.combCellSize);
}

TColor TColorPopup::CombColor() const noexcept
{
    if (m_combIndex > 0 && size_t(m_combIndex) <= m_colorCombs.size())
        return m_colorCombs[size_t(m_combIndex - 1)].Color;
    if (m_combIndex < 0 && size_t(-1 - m_combIndex) < m_greyCombs.size())
        return m_greyCombs[size_t(-1 - m_combIndex)].Color;
    return clNone;
}

QRect TColorPopup::ChosenCellArea() const noexcept
{
    if (m_combIndex > 0)
        return m_layout.combRect;
    if (m_combIndex < 0)
        return m_layout.greyCombRect;
    return QRect();
}

int TColorPopup::ColorCombHit(QPoint point) const noexcept
{
    const QPoint centre = m_layout.combRect.topLeft() + QPoint(m_layout.combSize, m_layout.combSize);
    return ColorCombAt(m_colorCombs, m_layout.combCellSize, point - centre);
}

int TColorPopup::GreyCombHit(QPoint point) const noexcept
{
    return GreyCombAt(m_greyCombs, m_layout.combCellSize, point - m_layout.greyCombRect.topLeft());
}

QRect TColorPopup::IntensityMarkerArea() const noexcept
{
    const QRect &bar = m_layout.intensityRect;
    return Edges(bar.x() + kRampWidth, bar.y() - kMarkerHalfHeight, RightOf(bar), BottomOf(bar) + kMarkerHalfHeight);
}

void TColorPopup::ChooseCombCell(int combIndex)
{
    if (combIndex == m_combIndex)
        return;
    update(ChosenCellArea()); // the old outline goes
    m_combIndex = combIndex;
    update(ChosenCellArea());
    update(m_layout.customPreviewRect);
    repaint();
}

// One mouse message with the left button held over no item. The intensity
// bar, the grey row and the colour comb are tried in turn; the first that
// claims the point ends it. A point none claims drops the chosen cell.
void TColorPopup::TrackComb(QPoint point)
{
    const QRect &bar = m_layout.intensityRect;
    if ((m_trackMode == tmNone && bar.contains(point)) ||
        (m_trackMode == tmIntensity && point.x() >= bar.x() && point.x() < RightOf(bar))) {
        m_trackMode = tmIntensity;
        m_intensity = IntensityAt(point.y(), bar);
        m_centreColor = {m_intensity, m_intensity, m_intensity};
        update(IntensityMarkerArea());
        // Both combs take the new centre at once (a choice made before the next
        // paint gets the new colour); CombIndex stays.
        BuildCombs();
        update(m_layout.combRect);
        update(m_layout.customPreviewRect);
        repaint();
        return;
    }
    if (m_layout.greyCombRect.contains(point) && (m_trackMode == tmNone || m_trackMode == tmGreyRow)) {
        m_trackMode = tmGreyRow;
        const int cell = GreyCombHit(point);
        if (cell >= 0) {
            ChooseCombCell(-1 - cell);
            return;
        }
    }
    if (m_layout.combRect.contains(point) && (m_trackMode == tmNone || m_trackMode == tmColorComb)) {
        m_trackMode = tmColorComb;
        const int cell = ColorCombHit(point);
        if (cell >= 0) {
            ChooseCombCell(cell + 1);
            return;
        }
    }
    update(ChosenCellArea());
    update(m_layout.customPreviewRect);
    m_combIndex = 0;
    repaint();
}

void TColorPopup::PaintComb(TPickerCanvas &canvas)
{
    const int m = EdgeWidth();
    const QRect &comb = m_layout.combRect;
    const QRect &grey = m_layout.greyCombRect;
    const QRect &bar = m_layout.intensityRect;
    const int r = m_layout.combCellSize;
    canvas.SetBrushColor(clBtnFace);
    canvas.FillRect(QRect(0, comb.y(), width(), comb.height() + grey.height() + 2 * m));

    canvas.SetNoPen(true);
    const QPoint centre = comb.topLeft() + QPoint(m_layout.combSize, m_layout.combSize);
    for (const TCombCell &cell : m_colorCombs) {
        canvas.SetBrushColor(cell.Color);
        canvas.Polygon(HexagonPoints(centre.x() + cell.X, centre.y() + cell.Y, r));
    }
    if (m_combIndex > 0) {
        const TCombCell &cell = m_colorCombs[size_t(m_combIndex - 1)];
        canvas.XorOutline(HexagonPoints(centre.x() + cell.X, centre.y() + cell.Y, r));
    }
    for (size_t j = 0; j < m_greyCombs.size(); ++j) {
        const TCombCell &cell = m_greyCombs[j];
        canvas.SetBrushColor(cell.Color);
        canvas.Polygon(HexagonPoints(grey.x() + cell.X, grey.y() + cell.Y, GreyCellSize(int(j), r)));
    }
    if (m_combIndex < 0) {
        const int j = -1 - m_combIndex;
        const TCombCell &cell = m_greyCombs[size_t(j)];
        canvas.XorOutline(HexagonPoints(grey.x() + cell.X, grey.y() + cell.Y, GreyCellSize(j, r)));
    }

    // The ramp: white at the top, black at the bottom.
    const int h = bar.height() - 1;
    for (int row = 0; row <= h; ++row) {
        const int level = IntensityBarGrey(row, h);
        canvas.SetBrushColor(RGBToColor(level, level, level));
        canvas.FillRect(QRect(bar.x(), bar.y() + row, kRampWidth, 1));
    }
    const int y = IntensityMarkerY(m_intensity, bar);
    const QPoint marker[3] = {{bar.x() + kMarkerTip, y},
                              {bar.x() + kMarkerBase, y - kMarkerHalfHeight},
                              {bar.x() + kMarkerBase, y + kMarkerHalfHeight}};
    canvas.SetBrushColor(clBlack);
    canvas.Polygon(marker);
    canvas.SetNoPen(false);
}
