// ColorComb.cpp: comb cells, hexagons, hit tests and intensity arithmetic.
// Positions accumulate in extended precision (long double) and colour
// fractions in single precision (float); rounding is to nearest, halves to even.
#include "widgets/ColorComb.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

namespace {

constexpr long double kDegree = std::numbers::pi_v<long double> / 180;

long double Cos30() noexcept
{
    return std::cos(30 * kDegree);
}

TColorFractions operator-(const TColorFractions &a, const TColorFractions &b) noexcept
{
    return {a.red - b.red, a.green - b.green, a.blue - b.blue};
}
TColorFractions operator/(const TColorFractions &a, float d) noexcept
{
    return {a.red / d, a.green / d, a.blue / d};
}
TColorFractions &operator+=(TColorFractions &a, const TColorFractions &b) noexcept
{
    a.red += b.red;
    a.green += b.green;
    a.blue += b.blue;
    return a;
}

struct TExtPoint {
    long double x = 0;
    long double y = 0;
};

// Squared distance test of a cell's centre against p.
bool Within(const TCombCell &cell, QPoint p, int radius) noexcept
{
    const long long dx = cell.X - p.x();
    const long long dy = cell.Y - p.y();
    return dx * dx + dy * dy <= (long long)radius * radius;
}

} // namespace

int Nearest(long double v) noexcept
{
    // The default floating-point rounding mode rounds halves to even.
    return int(std::lrint(v));
}

TColor FractionsToColor(const TColorFractions &color) noexcept
{
    return RGBToColor(Nearest((long double)color.red * 255), Nearest((long double)color.green * 255),
                      Nearest((long double)color.blue * 255));
}

const std::array<TCornerVector, 6> &CornerVectors() noexcept
{
    static const std::array<TCornerVector, 6> corners = [] {
        std::array<TCornerVector, 6> result{};
        for (int k = 0; k < 6; ++k) {
            const long double theta = (90 - 60 * k) * kDegree;
            result[size_t(k)] = {0.5L * std::cos(theta), 0.5L * std::sin(theta)};
        }
        return result;
    }();
    return corners;
}

const std::array<TColorFractions, 6> &CornerColors() noexcept
{
    static const std::array<TColorFractions, 6> colors = {{
        {1, 0, 1}, // magenta
        {1, 0, 0}, // red
        {1, 1, 0}, // yellow
        {0, 1, 0}, // green
        {0, 1, 1}, // cyan
        {0, 0, 1}, // blue
    }};
    return colors;
}

TCombArray BuildColorCombs(int combSize, int levels, const TColorFractions &centre)
{
    const int n = std::max(1, levels);
    TCombArray cells;
    cells.reserve(size_t(1 + 3 * n * (n - 1)));
    cells.push_back({0, 0, FractionsToColor(centre)});
    if (n < 2)
        return cells;

    // The corner vectors have length 0.5: corners lie length / 2 from the centre.
    const long double length = Cos30() * 2 * combSize;
    const auto &corners = CornerVectors();
    const auto &colors = CornerColors();
    for (int i = 0; i < 6; ++i) {
        const int k = (i + 1) % 6;
        // x from the sin part and y from the cos part: corner i lies at 60 i
        // degrees, clockwise on the screen from the right.
        const TExtPoint p{length * corners[size_t(i)].sinPart, length * corners[size_t(i)].cosPart};
        const TExtPoint q{length * corners[size_t(k)].sinPart, length * corners[size_t(k)].cosPart};
        const TExtPoint dp{p.x / (n - 1), p.y / (n - 1)};
        const TExtPoint dq{q.x / (n - 1), q.y / (n - 1)};
        const TColorFractions da = (colors[size_t(i)] - centre) / float(n - 1);
        const TColorFractions db = (colors[size_t(k)] - centre) / float(n - 1);

        TExtPoint a, b;
        TColorFractions colorA = centre, colorB = centre;
        for (int ring = 0; ring < n; ++ring) {
            if (ring > 0) {
                // Walk from a towards b; b itself starts the next sector.
                const TExtPoint step{(b.x - a.x) / ring, (b.y - a.y) / ring};
                const TColorFractions colorStep = (colorB - colorA) / float(ring);
                TExtPoint at = a;
                TColorFractions color = colorA;
                for (int s = 0; s < ring; ++s) {
                    cells.push_back({Nearest(at.x), Nearest(at.y), FractionsToColor(color)});
                    at.x += step.x;
                    at.y += step.y;
                    color += colorStep;
                }
            }
            a.x += dp.x;
            a.y += dp.y;
            b.x += dq.x;
            b.y += dq.y;
            colorA += da;
            colorB += db;
        }
    }
    assert(cells.size() == size_t(1 + 3 * n * (n - 1)));
    return cells;
}

TCombArray BuildGreyCombs(int r)
{
    TCombArray cells;
    cells.reserve(17);
    cells.push_back({r, r, clWhite});
    const long double x0 = 3 * r;
    const long double y0 = (r / 4) * 3;
    const int dx = Nearest(Cos30() * r / 2);
    const int dy = Nearest((0.5L + 1) * r / 2);
    // A zigzag strip of greys 225 down to 15.
    for (int n = 1; n <= 15; ++n) {
        const int i = n - 1;
        const int level = (16 - n) * 15;
        const long double y = i % 2 == 0 ? y0 : y0 + dy;
        cells.push_back({Nearest(i * dx + x0), Nearest(y), RGBToColor(level, level, level)});
    }
    cells.push_back({Nearest(16 * dx + x0 + r), r, clBlack});
    return cells;
}

std::array<QPoint, 6> HexagonPoints(int x, int y, int size) noexcept
{
    std::array<QPoint, 6> points;
    const auto &corners = CornerVectors();
    for (size_t k = 0; k < 6; ++k)
        points[k] = QPoint(Nearest(x + size * corners[k].cosPart), Nearest(y + size * corners[k].sinPart));
    return points;
}

QRect CombRectAt(int left, int top, int combSize) noexcept
{
    return QRect(left, top, 2 * combSize, 2 * combSize);
}

QRect GreyCombRectFor(const QRect &combRect, int r) noexcept
{
    // The right side is an absolute value (147 for r = 11), as the row's cells are.
    const int right = Nearest(Cos30() * 17 * r / 2) + 6 * r;
    const int top = combRect.y() + combRect.height() - 4;
    const int bottom = combRect.y() + combRect.height() + 2 * r;
    return QRect(combRect.x(), top, right - combRect.x(), bottom - top);
}

QRect IntensityRectFor(const QRect &combRect, int r) noexcept
{
    const int left = combRect.x() + combRect.width();
    return QRect(left, combRect.y() + r, 20, combRect.height() - 2 * r);
}

int ColorCombAt(const TCombArray &cells, int r, QPoint p) noexcept
{
    for (size_t j = 0; j < cells.size(); ++j)
        if (Within(cells[j], p, r / 2))
            return int(j);
    return -1;
}

int GreyCellSize(int cell, int r) noexcept
{
    return cell == 0 || cell == 16 ? 2 * r : r;
}

int GreyCombAt(const TCombArray &cells, int r, QPoint p) noexcept
{
    for (size_t j = 0; j < cells.size(); ++j)
        if (Within(cells[j], p, GreyCellSize(int(j), r) / 2))
            return int(j);
    return -1;
}

float IntensityAt(int y, const QRect &bar) noexcept
{
    if (bar.height() <= 0)
        return 1;
    const long double value = 1 - (long double)(y - bar.y()) / bar.height();
    return float(std::clamp(value, 0.0L, 1.0L));
}

int IntensityMarkerY(float intensity, const QRect &bar) noexcept
{
    const int h = bar.height() - 1;
    return bar.y() + Nearest((1 - (long double)intensity) * h);
}

int IntensityBarGrey(int row, int h) noexcept
{
    if (h <= 0)
        return 255;
    return Nearest((long double)(h - row) * 255 / h);
}
