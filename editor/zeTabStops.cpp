// zeTabStops.cpp: columns to screen cells and back (see zeTabStops.h).
#include "editor/zeTabStops.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int Width(int tabWidth) noexcept { return std::max(1, tabWidth); }

// The cells of a character at 0-based cell, in a line with tab stops every tab cells.
constexpr int Advance(char c, int cell0, int tab) noexcept { return c == '\t' ? tab - cell0 % tab : 1; }

bool HasTab(std::string_view line) noexcept
{
    return !line.empty() && std::memchr(line.data(), '\t', line.size()) != nullptr;
}

} // namespace

int CellOfColumn(std::string_view line, int column, int tabWidth) noexcept
{
    const int tab = Width(tabWidth);
    if (column <= 1 || !HasTab(line))
        return column;
    const int inside = std::min(column - 1, int(line.size()));
    int cell0 = 0;
    for (int i = 0; i < inside; ++i)
        cell0 += Advance(line[size_t(i)], cell0, tab);
    return cell0 + 1 + (column - 1 - inside);
}

int ColumnOfCell(std::string_view line, int cell, int tabWidth) noexcept
{
    const int tab = Width(tabWidth);
    if (cell <= 1 || !HasTab(line))
        return std::max(cell, 1);
    int cell0 = 0;
    for (int i = 0; i < int(line.size()); ++i) {
        const int next = cell0 + Advance(line[size_t(i)], cell0, tab);
        if (cell - 1 < next)
            return i + 1;
        cell0 = next;
    }
    return int(line.size()) + 1 + (cell - 1 - cell0);
}

int LineCells(std::string_view line, int tabWidth) noexcept
{
    return CellOfColumn(line, int(line.size()) + 1, tabWidth) - 1;
}

int CellsOfColumn(std::string_view line, int column, int tabWidth) noexcept
{
    if (column < 1 || column > int(line.size()) || line[size_t(column - 1)] != '\t')
        return 1;
    return CellOfColumn(line, column + 1, tabWidth) - CellOfColumn(line, column, tabWidth);
}

int ColumnAtOffset(std::string_view line, int offset, int charWidth, int tabWidth) noexcept
{
    const int tab = Width(tabWidth);
    charWidth = std::max(1, charWidth);
    // One cell per column: the nearer cell edge.
    const auto plain = [charWidth](int pixels) { return int(std::lround(double(pixels) / charWidth)); };
    if (offset < 0 || !HasTab(line))
        return plain(offset) + 1;
    int cell0 = 0;
    for (int i = 0; i < int(line.size()); ++i) {
        const int cells = Advance(line[size_t(i)], cell0, tab);
        // Left of the character's middle: its own column.
        if (2 * offset < (2 * cell0 + cells) * charWidth)
            return i + 1;
        cell0 += cells;
    }
    // Right of the last character's middle: the line end or past it.
    return int(line.size()) + 1 + std::max(0, plain(offset) - cell0);
}

bool ExpandTabs(std::string_view line, int tabWidth, std::string &out)
{
    if (!HasTab(line))
        return false;
    const int tab = Width(tabWidth);
    out.clear();
    out.reserve(line.size() + size_t(tab) * 4);
    for (const char c : line) {
        if (c == '\t')
            out.append(size_t(Advance(c, int(out.size()), tab)), ' ');
        else
            out.push_back(c);
    }
    return true;
}
