// zeTabStops.h: where the characters of a line stand on the screen. A tab
// character is one column of the text but reaches the next tab stop (every
// tabWidth cells) on the screen; every other character takes one cell.
// Columns and cells are 1-based; columns past the line end take one cell
// each, as the caret may stand there.
#ifndef QUENLO_EDITOR_ZETABSTOPS_H
#define QUENLO_EDITOR_ZETABSTOPS_H

#include <string>
#include <string_view>

// The first cell of column.
int CellOfColumn(std::string_view line, int column, int tabWidth) noexcept;
// The column whose cells hold cell (at least 1).
int ColumnOfCell(std::string_view line, int cell, int tabWidth) noexcept;
// The cells the line's text covers.
int LineCells(std::string_view line, int tabWidth) noexcept;
// The column at offset pixels right of cell 1's left edge, rounded to the
// nearer edge of the character there (halves to the right); left of cell 1
// the columns go on below 1, one per cell.
int ColumnAtOffset(std::string_view line, int offset, int charWidth, int tabWidth) noexcept;
// The cells a column's character takes (a tab, its stop; else 1).
int CellsOfColumn(std::string_view line, int column, int tabWidth) noexcept;
// line with its tabs as blanks up to their stops into out; false (out
// untouched) when the line holds no tab.
bool ExpandTabs(std::string_view line, int tabWidth, std::string &out);

#endif
