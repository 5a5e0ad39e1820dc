// TabStopsTest.cpp: tab characters on the screen. The column-to-cell map
// against a model, then the editor: clicks inside a tab, the caret and the
// selection over tabs in pixels, LeftChar on a long tab-indented line, and
// indentation that keeps its tab characters on Return and Backspace.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "editor/zeTabStops.h"
#include "EditorTestSupport.h"

namespace {

// The model: every column's first cell, the next stop for a tab.
std::vector<int> ModelCells(const std::string &line, int tab, int extra)
{
    std::vector<int> cells;
    int cell = 1;
    for (const char c : line) {
        cells.push_back(cell);
        cell = c == '\t' ? ((cell - 1) / tab + 1) * tab + 1 : cell + 1;
    }
    for (int i = 0; i <= extra; ++i)
        cells.push_back(cell + i);
    return cells;
}

} // namespace

TEST(TabStops, ColumnsToCellsAndBackAgainstAModel)
{
    std::mt19937 random(20261209);
    const auto pick = [&random](int n) { return int(random() % unsigned(n)); };
    for (int round = 0; round < 400; ++round) {
        std::string line;
        for (int i = pick(14); i > 0; --i)
            line += "\t\tab "[pick(5)];
        const int tab = 1 + pick(8);
        const int width = 2 + pick(9);
        SCOPED_TRACE(testing::Message() << "line '" << line << "' tab " << tab);
        const std::vector<int> cells = ModelCells(line, tab, 3);
        for (int column = 1; column <= int(cells.size()); ++column) {
            const int cell = cells[size_t(column - 1)];
            ASSERT_EQ(CellOfColumn(line, column, tab), cell) << column;
            const int next = column < int(cells.size()) ? cells[size_t(column)] : cell + 1;
            ASSERT_EQ(CellsOfColumn(line, column, tab), next - cell) << column;
            // Every cell of the column's character maps back to it; a
            // pixel left of the character's middle too, right of it the next.
            for (int c = cell; c < next; ++c)
                ASSERT_EQ(ColumnOfCell(line, c, tab), column) << "cell " << c;
            const int left = (cell - 1) * width;
            const int span = (next - cell) * width;
            for (int dx = 0; dx < span; ++dx)
                ASSERT_EQ(ColumnAtOffset(line, left + dx, width, tab), 2 * dx < span ? column : column + 1)
                    << "column " << column << " dx " << dx;
        }
        ASSERT_EQ(LineCells(line, tab), cells[line.size()] - 1);
        std::string expanded;
        if (ExpandTabs(line, tab, expanded)) {
            ASSERT_EQ(int(expanded.size()), LineCells(line, tab));
            for (int column = 1; column <= int(line.size()); ++column)
                ASSERT_EQ(expanded[size_t(cells[size_t(column - 1)] - 1)],
                          line[size_t(column - 1)] == '\t' ? ' ' : line[size_t(column - 1)]);
        } else {
            ASSERT_EQ(line.find('\t'), std::string::npos);
        }
    }
    // Left of the text the columns count cells, as without tabs.
    EXPECT_EQ(ColumnAtOffset("\tx", -8, 8, 4), 0);
    EXPECT_EQ(ColumnAtOffset("\tx", -4, 8, 4), 0);
    EXPECT_EQ(ColumnAtOffset("\tx", -3, 8, 4), 1);
}

namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kWhite = qRgb(255, 255, 255);

struct TabEdit : ::testing::Test {
    void SetUp() override
    {
        edit.SetTabIndent(4);
        Prepare(edit, 45, 8);
    }
    // The bottom pixel row of a screen cell.
    QRect CellBottom(int cell, int line) const
    {
        const TzeViewMetrics m = edit.ViewMetrics();
        return QRect(m.ColumnLeft(cell), m.RowTop(line) + m.LineHeight - 1, m.CharWidth, 1);
    }
    static bool AllOf(const QImage &image, const QRect &rect, QRgb colour)
    {
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, rect.top()) != colour)
                return false;
        return true;
    }
    TzeCustomEdit edit;
};

} // namespace

TEST_F(TabEdit, ClicksCaretAndSelectionFollowTheStops)
{
    edit.SetText("a\tbc\r\n\t\tx = 1\r\nplain");
    const TzeViewMetrics m = edit.ViewMetrics();
    const int y = m.RowTop(1) + 2;
    // The tab of line 1 covers cells 2 .. 4: a click left of its middle
    // stands before it, right of it after it.
    edit.ComputeCaret(m.ColumnLeft(3) - 1, y);
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 1}));
    edit.ComputeCaret(m.ColumnLeft(4) - m.CharWidth / 2 + 1, y);
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 1}));
    edit.ComputeCaret(m.ColumnLeft(6), y);
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 1}));
    // The character under the pointer: the tab over all its cells.
    EXPECT_EQ(edit.CharAtPixel(QPoint(m.ColumnLeft(4) + m.CharWidth - 1, y)), (TPoint{2, 1}));
    EXPECT_EQ(edit.CharAtPixel(QPoint(m.ColumnLeft(5), y)), (TPoint{3, 1}));
    EXPECT_EQ(edit.CharAtPixel(QPoint(m.ColumnLeft(1) - 1, y)), (TPoint{1, 1}));
    // The caret after the tab stands at cell 5; one step left goes over the tab.
    edit.SetCaretXY(TPoint{3, 1});
    EXPECT_EQ(edit.CaretPixel().x(), m.ColumnLeft(5) - 1);
    edit.CommandProcessor(ecLeft, '\0', nullptr);
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 1}));
    // A block caret on the tab covers its three cells.
    edit.SetCaretXY(TPoint{2, 1});
    edit.SetInsertCaret(ctBlock);
    const QRect middle(m.ColumnLeft(2), m.RowTop(1) + m.LineHeight / 2, 3 * m.CharWidth, 1);
    EXPECT_TRUE(AllOf(Render(edit), middle, qRgb(0, 0, 0)));
    edit.SetInsertCaret(ctVerticalLine);
    EXPECT_FALSE(AllOf(Render(edit), middle, qRgb(0, 0, 0)));

    // Selected: the tab of line 1 (cells 2 .. 4) and line 2 up to "x" (cell 9).
    edit.SetBlockBegin(TPoint{2, 1});
    edit.SetBlockEnd(TPoint{3, 1});
    QImage image = Render(edit);
    EXPECT_FALSE(AllOf(image, CellBottom(1, 1), kBlue));
    for (int cell = 2; cell <= 4; ++cell)
        EXPECT_TRUE(AllOf(image, CellBottom(cell, 1), kBlue)) << cell;
    EXPECT_TRUE(AllOf(image, CellBottom(5, 1), kWhite));
    edit.SetBlockBegin(TPoint{1, 2});
    edit.SetBlockEnd(TPoint{3, 2});
    image = Render(edit);
    for (int cell = 1; cell <= 8; ++cell)
        EXPECT_TRUE(AllOf(image, CellBottom(cell, 2), kBlue)) << cell;
    EXPECT_TRUE(AllOf(image, CellBottom(9, 2), kWhite));
    // "x" is drawn at cell 9: its cell holds dark pixels, cells 1 .. 8 none.
    edit.SetBlockBegin(TPoint{1, 1});
    image = Render(edit);
    const auto inked = [&](int cell) {
        const QRect r(m.ColumnLeft(cell), m.RowTop(2), m.CharWidth, m.LineHeight);
        for (int py = r.top(); py <= r.bottom(); ++py)
            for (int px = r.left(); px <= r.right(); ++px)
                if (qGray(image.pixel(px, py)) < 128)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(9));
    for (int cell = 1; cell <= 8; ++cell)
        EXPECT_FALSE(inked(cell)) << cell;
}

TEST_F(TabEdit, LeftCharCountsCellsOnALongTabIndentedLine)
{
    edit.SetText(std::string(30, '\t') + "End");
    const int chars = edit.CharsInWindow();
    edit.CommandProcessor(ecLineEnd, '\0', nullptr);
    // The caret stands at column 34, cell 124: the view scrolls to that cell.
    EXPECT_EQ(edit.CaretX(), 34);
    EXPECT_GT(edit.LeftChar(), 1);
    EXPECT_LE(edit.LeftChar(), 124);
    EXPECT_GE(edit.LeftChar() + chars, 124);
    EXPECT_TRUE(edit.CaretShown());
    // Scrolled back a column, the caret stays inside the view's cells.
    edit.CommandProcessor(ecScrollLeft, '\0', nullptr);
    const TzeViewMetrics m = edit.ViewMetrics();
    const int caretCell = CellOfColumn(edit.LineText(), edit.CaretX(), 4);
    EXPECT_LE(caretCell, m.LeftChar + chars);
    // Line start goes back to the left edge.
    edit.CommandProcessor(ecLineStart, '\0', nullptr);
    EXPECT_EQ(edit.LeftChar(), 1);
}

TEST(TabIndentation, ReturnKeepsTheBlanksAndBackspaceUnindentsByCells)
{
    TzeCustomEdit edit;
    edit.SetTabIndent(4);
    const auto run = [&edit](TzeEditorCommand c, char ch = '\0') { edit.CommandProcessor(c, ch, nullptr); };
    struct Case {
        const char *text;
        TPoint caret;
        const char *newLine; // the line the caret goes to
        int column;          // and its column
        const char *typed;   // that line after typing "y"
    };
    const Case cases[] = {
        {"x\r\n\t\tIf x Then", {12, 2}, "\t\t", 3, "\t\ty"},           // at the end: the tabs as they are
        {"x\r\n\t  ab cd", {7, 2}, "\t  cd", 4, "\t  ycd"},               // inside the text
        {"x\r\n    ab", {7, 2}, "", 5, "    y"},                          // spaces only: the caret past the end
        {"x\r\n\t \tab\r\n\r\nz", {1, 3}, "\t \t", 4, "\t \ty"}, // an empty line: from the line above
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        edit.SetText(c.text);
        const std::vector<std::string> before = LinesOf(edit.Lines());
        edit.SetCaretXY(c.caret);
        run(ecLineBreak);
        EXPECT_EQ(edit.LineText(), c.newLine);
        EXPECT_EQ(edit.CaretX(), c.column);
        run(ecChar, 'y');
        EXPECT_EQ(edit.LineText(), c.typed);
        const std::vector<std::string> after = LinesOf(edit.Lines());
        run(ecUndo);
        run(ecUndo);
        EXPECT_EQ(LinesOf(edit.Lines()), before);
        run(ecRedo);
        run(ecRedo);
        EXPECT_EQ(LinesOf(edit.Lines()), after);
    }

    // Backspace at the end of the indentation goes back to the level of the
    // line above with less, counted in cells: "\t\t" (8 cells) to "\t" (4).
    edit.SetText("If a Then\r\n\tIf b Then\r\n\t\tc\r\n  \t\td");
    edit.SetCaretXY(TPoint{3, 3});
    run(ecDeleteLastChar);
    EXPECT_EQ(edit.LineText(), "\tc");
    EXPECT_EQ(edit.CaretX(), 2);
    // "  \t\t" is 8 cells: to 4 the first two blanks and a tab go.
    edit.SetCaretXY(TPoint{5, 4});
    run(ecDeleteLastChar);
    EXPECT_EQ(edit.LineText(), "\td");
    run(ecUndo);
    EXPECT_EQ(edit.LineText(), "  \t\td");
}
