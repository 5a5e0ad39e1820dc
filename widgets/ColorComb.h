// ColorComb.h: the custom colour comb's cells and arithmetic as pure functions.
// A honeycomb of hexagonal cells blending from a centre colour to six corner
// colours, a grey row of seventeen cells and an intensity bar.
#ifndef QUENLO_WIDGETS_COLORCOMB_H
#define QUENLO_WIDGETS_COLORCOMB_H

#include <array>
#include <vector>

#include <QPoint>
#include <QRect>

#include "toolkit/Colors.h"

// One cell: its centre's offset from the comb's origin and its colour.
struct TCombCell {
    int X = 0;
    int Y = 0;
    TColor Color = clBlack;
};
using TCombArray = std::vector<TCombCell>;

// A colour as red, green and blue fractions 0..1, in single precision.
struct TColorFractions {
    float red = 1;
    float green = 1;
    float blue = 1;
};

// v rounded to the nearest integer, halves to even.
int Nearest(long double v) noexcept;

// Each fraction times 255, rounded to nearest.
TColor FractionsToColor(const TColorFractions &color) noexcept;

// Corner k = 0..5 as (0.5 cos t, 0.5 sin t) with t = 90 - 60k degrees.
struct TCornerVector {
    long double cosPart;
    long double sinPart;
};
const std::array<TCornerVector, 6> &CornerVectors() noexcept;

// The corner colours: magenta, red, yellow, green, cyan, blue.
const std::array<TColorFractions, 6> &CornerColors() noexcept;

// 1 + 3 levels (levels - 1) cells (127 for 7 levels): the centre, then sector
// by sector, ring by ring outwards. Positions are relative to the comb's
// centre; levels below 1 count as 1.
TCombArray BuildColorCombs(int combSize, int levels, const TColorFractions &centre);

// The grey row's 17 cells (white, 15 greys, black), relative to the top-left
// of its rectangle, for hexagons of size r.
TCombArray BuildGreyCombs(int r);

// The hexagon of size s (circumradius s/2, vertices at top and bottom) around (x, y).
std::array<QPoint, 6> HexagonPoints(int x, int y, int size) noexcept;

// The comb rectangles below `top`, for a comb of half side combSize and hexagons of size r.
QRect CombRectAt(int left, int top, int combSize) noexcept;
QRect GreyCombRectFor(const QRect &combRect, int r) noexcept;
QRect IntensityRectFor(const QRect &combRect, int r) noexcept;

// The first colour cell within r div 2 of p (relative to the comb's centre), or -1.
int ColorCombAt(const TCombArray &cells, int r, QPoint p) noexcept;
// The first grey cell within reach of p (relative to the grey row's top-left):
// r for the two end cells, r div 2 for the others; or -1.
int GreyCombAt(const TCombArray &cells, int r, QPoint p) noexcept;

// The grey cell's hexagon size: twice r for the two end cells.
int GreyCellSize(int cell, int r) noexcept;

// Intensity for a pointer at y over the bar, clamped to 0..1.
float IntensityAt(int y, const QRect &bar) noexcept;
// The marker's y for an intensity.
int IntensityMarkerY(float intensity, const QRect &bar) noexcept;
// The grey level of bar row r (0 at the top, white) of rows 0..h.
int IntensityBarGrey(int row, int h) noexcept;

#endif
