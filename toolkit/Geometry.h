// Geometry.h: rectangles by their edges, as the painting code of the editor
// and the widgets describes them (right and bottom edges exclusive).
#ifndef QUENLO_TOOLKIT_GEOMETRY_H
#define QUENLO_TOOLKIT_GEOMETRY_H

#include <algorithm>

#include <QRect>

// A rectangle from its four edges, right and bottom exclusive; empty (never
// negative) when they cross.
constexpr QRect Edges(int left, int top, int right, int bottom) noexcept
{
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}
constexpr int RightOf(const QRect &r) noexcept { return r.x() + r.width(); }
constexpr int BottomOf(const QRect &r) noexcept { return r.y() + r.height(); }

#endif
