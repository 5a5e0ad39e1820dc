// MouseTest.cpp: the editor driven by the mouse: caret placement, Shift and
// drag selection, word selection, the popup menu, auto-scroll passes and
// dropping the editor's own selection.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include "EditorTestSupport.h"

namespace {

// Records the drag start instead of running the platform's modal drag.
class TDragEdit : public TzeCustomEdit {
public:
    int DragsStarted = 0;

protected:
    void StartDrag() override { ++DragsStarted; }
};

struct Mouse : ::testing::Test {
    void SetUp() override
    {
        std::string text;
        for (int i = 1; i <= 100; ++i)
            text += "line" + std::to_string(i) + " text\r\n";
        edit.SetText(text);
        edit.resize(400, 300);
        edit.show();
        start = LinesOf(edit.Lines());
    }
    QWidget *vp() { return edit.viewport(); }
    // A pixel inside the left half of the cell of p.
    QPoint At(TPoint p)
    {
        const TzeViewMetrics m = edit.ViewMetrics();
        return QPoint(m.ColumnLeft(p.X) + 1, m.RowTop(p.Y) + m.LineHeight / 2);
    }
    void Select(TPoint from, TPoint to)
    {
        edit.SetBlockBegin(from);
        edit.SetBlockEnd(to);
        edit.SetCaretXY(to);
    }
    TDragEdit edit;
    std::vector<std::string> start;
};

} // namespace

TEST_F(Mouse, ComputeCaretRoundsToTheNearerCellEdge)
{
    edit.SetScrollPastEOL(false);
    const TzeViewMetrics m = edit.ViewMetrics();
    const int w = m.CharWidth;
    // Offsets into the cell of column 4 on line 3: the right half (a half
    // included) is the gap after the character.
    for (int dx = 0; dx < w; ++dx) {
        edit.ComputeCaret(m.ColumnLeft(4) + dx, m.RowTop(3) + 1);
        EXPECT_EQ(edit.CaretXY(), (TPoint{dx * 2 >= w ? 5 : 4, 3})) << dx;
    }
    // Past the line end: the line end; below the last line: the last line.
    edit.ComputeCaret(m.ColumnLeft(30), m.RowTop(5));
    EXPECT_EQ(edit.CaretXY(), (TPoint{11, 5}));
    edit.SetText("ab\r\ncd\r\n");
    edit.ComputeCaret(m.ColumnLeft(2), m.RowTop(9));
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 2}));
    edit.ComputeCaret(m.ColumnLeft(2), -3); // the row above counts as the top line
    EXPECT_EQ(edit.CaretY(), 1);
    EXPECT_TRUE(edit.IsMouseInTextArea(m.GutterWidth, 0));
    EXPECT_FALSE(edit.IsMouseInTextArea(m.GutterWidth - 1, 0));
    EXPECT_FALSE(edit.IsMouseInTextArea(m.GutterWidth, edit.ClientHeight()));
}

TEST_F(Mouse, WordBlockAnchors)
{
    TBraceHighlighter highlighter;
    edit.SetHighLighter(&highlighter);
    edit.SetText("  foo, bar_1 .\r\n\r\n;;\r\n");
    struct Case {
        int column, line;
        TPoint begin, end; // equal: nothing selected
    };
    const Case cases[] = {
        {4, 1, {3, 1}, {6, 1}},   // inside foo
        {6, 1, {3, 1}, {6, 1}},   // the comma after foo
        {7, 1, {3, 1}, {6, 1}},   // the blank after the comma
        {1, 1, {3, 1}, {6, 1}},   // before the first word
        {9, 1, {8, 1}, {13, 1}},  // inside bar_1
        {14, 1, {8, 1}, {13, 1}}, // the last character, a full stop
        {40, 1, {8, 1}, {13, 1}}, // past the line end
    };
    for (const Case &c : cases) {
        edit.SetBlockBegin({1, 1});
        edit.SetWordBlock({c.column, c.line});
        EXPECT_EQ(edit.BlockBegin(), c.begin) << c.column;
        EXPECT_EQ(edit.BlockEnd(), c.end) << c.column;
        EXPECT_EQ(edit.CaretXY(), c.end) << c.column;
    }
    // An empty line and a line without word characters change nothing.
    for (int line : {2, 3}) {
        Select({2, 1}, {4, 1});
        edit.SetWordBlock({1, line});
        EXPECT_EQ(edit.BlockBegin(), (TPoint{2, 1}));
        EXPECT_EQ(edit.BlockEnd(), (TPoint{4, 1}));
        EXPECT_EQ(edit.CaretXY(), (TPoint{4, 1}));
    }
    edit.SetHighLighter(nullptr);
}

TEST_F(Mouse, ClickShiftClickAndDragSelect)
{
    int downs = 0, ups = 0, clicks = 0;
    edit.OnMouseDown = [&](TzeCustomEdit &, Qt::MouseButton, TShiftState, int, int) { ++downs; };
    edit.OnMouseUp = [&](TzeCustomEdit &, Qt::MouseButton, TShiftState, int, int) { ++ups; };
    edit.OnClick = [&](TzeCustomEdit &) { ++clicks; };
    QTest::mouseClick(vp(), Qt::LeftButton, {}, At({3, 2}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 2}));
    EXPECT_FALSE(edit.SelAvail());
    EXPECT_EQ((std::array{downs, ups, clicks}), (std::array{1, 1, 1}));

    // Shift+click extends from the begin anchor; a plain click collapses.
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ShiftModifier, At({5, 4}));
    EXPECT_EQ(edit.BlockBegin(), (TPoint{3, 2}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{5, 4}));
    // Inside the selection too: Shift+click never collapses it.
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ShiftModifier, At({4, 3}));
    EXPECT_EQ(edit.BlockBegin(), (TPoint{3, 2}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{4, 3}));
    QTest::mouseClick(vp(), Qt::LeftButton, {}, At({2, 6}));
    EXPECT_FALSE(edit.SelAvail());
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 6}));

    // The held left button drags the selection end along.
    QTest::mousePress(vp(), Qt::LeftButton, {}, At({2, 1}));
    QTest::mouseMove(vp(), At({4, 3}));
    EXPECT_EQ(edit.BlockBegin(), (TPoint{2, 1}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{4, 3}));
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, At({4, 3}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{4, 3}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 3}));

    // A press inside the selection and a release without a move collapse
    // it at the release point; a move of the drag distance starts a drag.
    QTest::mousePress(vp(), Qt::LeftButton, {}, At({3, 2}));
    EXPECT_EQ(edit.MouseState().Drag, diPending);
    EXPECT_TRUE(edit.SelAvail());
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, At({3, 2}));
    EXPECT_FALSE(edit.SelAvail());
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 2}));
    Select({2, 1}, {4, 3});
    QTest::mousePress(vp(), Qt::LeftButton, {}, At({3, 2}));
    QTest::mouseMove(vp(), At({3, 2}) + QPoint(QApplication::startDragDistance() - 1, 0));
    EXPECT_EQ(edit.DragsStarted, 0);
    QTest::mouseMove(vp(), At({3, 2}) + QPoint(QApplication::startDragDistance(), 0));
    EXPECT_EQ(edit.DragsStarted, 1);
    EXPECT_EQ(edit.BlockEnd(), (TPoint{4, 3}));
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, At({3, 2}));

    // Read-only: no drag, the move extends the selection and the release keeps it.
    edit.SetReadOnly(true);
    Select({2, 1}, {4, 3});
    QTest::mousePress(vp(), Qt::LeftButton, {}, At({3, 2}));
    QTest::mouseMove(vp(), At({6, 5}));
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, At({6, 5}));
    EXPECT_EQ(edit.DragsStarted, 1);
    EXPECT_EQ(edit.BlockBegin(), (TPoint{2, 1}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{6, 5}));
}

TEST_F(Mouse, GutterPressAndCursorShape)
{
    edit.SetLeftChar(5);
    QTest::mouseClick(vp(), Qt::LeftButton, {}, QPoint(2, At({1, 3}).y()));
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 3}));
    QTest::mouseMove(vp(), QPoint(2, 5));
    EXPECT_EQ(vp()->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(vp(), QPoint(edit.GutterWidth() + 5, 5));
    EXPECT_EQ(vp()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(Mouse, DoubleClickOnTheBlankAfterAWord)
{
    int doubles = 0;
    edit.OnDblClick = [&](TzeCustomEdit &) { ++doubles; };
    // "line7 text": the blank is column 6.
    // The sequence of a real double click: press, release, double click, release.
    QTest::mouseClick(vp(), Qt::LeftButton, {}, At({6, 7}));
    QTest::mouseDClick(vp(), Qt::LeftButton, {}, At({6, 7}));
    EXPECT_TRUE(edit.MouseState().DblClicked);
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, At({6, 7}));
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(edit.BlockBegin(), (TPoint{1, 7}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{6, 7}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{6, 7}));
    EXPECT_FALSE(edit.MouseState().DblClicked); // the release ended it
}

TEST_F(Mouse, RightClickWithAPopupMenu)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    edit.SetPopupMenu(&menu);
    Select({2, 1}, {4, 3});
    QTest::mouseClick(vp(), Qt::RightButton, {}, At({7, 8}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 3}));
    EXPECT_EQ(edit.BlockBegin(), (TPoint{2, 1}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{4, 3}));
    QContextMenuEvent event(QContextMenuEvent::Mouse, At({7, 8}), vp()->mapToGlobal(At({7, 8})));
    QCoreApplication::sendEvent(vp(), &event);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    // Without a menu a right click places the caret like any other.
    edit.SetPopupMenu(nullptr);
    QTest::mouseClick(vp(), Qt::RightButton, {}, At({7, 8}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{7, 8}));
    EXPECT_FALSE(edit.SelAvail());
}

TEST_F(Mouse, AutoScrollRatesPerPass)
{
    edit.SetTopLine(50);
    const int page = edit.LinesInWindow();
    ASSERT_GT(page, 3);
    const QTimer &timer = edit.MouseState().AutoScroll;
    QTest::mousePress(vp(), Qt::LeftButton, {}, At({3, 52}));
    const int x = At({3, 52}).x();
    // 5 pixels above: one line per pass, 100 ms apart; the first pass runs at once.
    QTest::mouseMove(vp(), QPoint(x, -5));
    EXPECT_EQ(edit.TopLine(), 49);
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 100);
    edit.AutoScrollTick();
    edit.AutoScrollTick();
    EXPECT_EQ(edit.TopLine(), 47);
    EXPECT_EQ(edit.BlockBegin(), (TPoint{3, 47}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{3, 52}));
    // 20 pixels above: a page per pass; a move alone adds no pass.
    QTest::mouseMove(vp(), QPoint(x, -20));
    EXPECT_EQ(edit.TopLine(), 47);
    edit.AutoScrollTick();
    EXPECT_EQ(edit.TopLine(), 47 - page);
    EXPECT_EQ(timer.interval(), 100);
    // 50 pixels above: a page per pass without a pause.
    QTest::mouseMove(vp(), QPoint(x, -50));
    edit.AutoScrollTick();
    EXPECT_EQ(edit.TopLine(), 47 - 2 * page);
    EXPECT_EQ(timer.interval(), 0);
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 47 - 2 * page}));
    // Below the window: the caret on the last whole row.
    QTest::mouseMove(vp(), QPoint(x, edit.ClientHeight() + 3));
    edit.AutoScrollTick();
    EXPECT_EQ(edit.TopLine(), 48 - 2 * page);
    EXPECT_EQ(edit.CaretY(), edit.TopLine() + page - 1);
    // Left of the text area: a column per pass, the caret at LeftChar.
    edit.SetLeftChar(20);
    QTest::mouseMove(vp(), QPoint(edit.GutterWidth() - 3, 40));
    edit.AutoScrollTick();
    EXPECT_EQ(edit.LeftChar(), 19);
    EXPECT_EQ(edit.CaretX(), 19);
    // Back inside, or the button up: the passes stop.
    QTest::mouseMove(vp(), QPoint(edit.GutterWidth() + 20, 20));
    EXPECT_FALSE(timer.isActive());
    QTest::mouseMove(vp(), QPoint(x, -5));
    EXPECT_TRUE(timer.isActive());
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, QPoint(x, -5));
    EXPECT_FALSE(timer.isActive());
    const int top = edit.TopLine();
    edit.AutoScrollTick();
    EXPECT_EQ(edit.TopLine(), top);
}

TEST_F(Mouse, DropsOfTheOwnSelection)
{
    // Lines 2..4 from column 3 to column 5, pressed on and dropped.
    const auto pressInBlock = [&] {
        Select({3, 2}, {5, 4});
        QTest::mousePress(vp(), Qt::LeftButton, {}, At({4, 3}));
        ASSERT_EQ(edit.MouseState().Drag, diPending);
    };
    pressInBlock();
    ASSERT_TRUE(edit.DragDropAt(&edit, At({9, 4}).x(), At({9, 4}).y(), false));
    EXPECT_EQ(edit.Lines()[1], "li4 tene2 text"); // at column 7 of line 2
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 4}));
    edit.Undo(); // the deletion and the insertion together
    EXPECT_EQ(LinesOf(edit.Lines()), start);

    pressInBlock();
    ASSERT_TRUE(edit.DragDropAt(&edit, At({1, 10}).x(), At({1, 10}).y(), false));
    EXPECT_EQ(edit.Lines()[7].substr(0, 6), "ne2 te"); // column 1 of line 8
    edit.Undo();
    EXPECT_EQ(LinesOf(edit.Lines()), start);

    // Ctrl copies: one ucDropInsert, one undo removes the copy.
    pressInBlock();
    ASSERT_TRUE(edit.DragDropAt(&edit, At({1, 10}).x(), At({1, 10}).y(), true));
    EXPECT_EQ(edit.Lines()[1], "line2 text");
    EXPECT_EQ(edit.Lines()[9], "ne2 text");
    EXPECT_EQ(edit.UndoList().Count(), 1);
    EXPECT_EQ(edit.UndoList().PeekKind(), ucDropInsert);
    edit.Undo();
    EXPECT_EQ(LinesOf(edit.Lines()), start);

    // Onto itself, ends included: only the caret moves.
    for (TPoint onto : {TPoint{3, 2}, TPoint{1, 3}, TPoint{5, 4}}) {
        pressInBlock();
        EXPECT_FALSE(edit.DragDropAt(&edit, At(onto).x(), At(onto).y(), false));
        EXPECT_EQ(edit.CaretXY(), onto);
        EXPECT_EQ(edit.BlockBegin(), (TPoint{3, 2}));
        EXPECT_EQ(edit.BlockEnd(), (TPoint{5, 4}));
    }
    EXPECT_EQ(LinesOf(edit.Lines()), start);
    EXPECT_FALSE(edit.CanUndo());
}

TEST_F(Mouse, DragOverAndDropsFromElsewhere)
{
    QObject stranger;
    std::vector<QObject *> dropped;
    edit.OnDragDrop = [&](TzeCustomEdit &, QObject *source, int, int) { dropped.push_back(source); };
    Select({3, 2}, {5, 4});
    QTest::mousePress(vp(), Qt::LeftButton, {}, At({4, 3}));
    // Refused unless OnDragOver accepts; the own drag always; the caret follows.
    EXPECT_FALSE(edit.DragOverAt(&stranger, At({2, 9}).x(), At({2, 9}).y(), dsDragMove));
    EXPECT_TRUE(edit.DragOverAt(&edit, At({2, 9}).x(), At({2, 9}).y(), dsDragMove));
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 9}));
    EXPECT_TRUE(edit.DragOverAt(&edit, 0, 0, dsDragLeave));
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 3}));
    edit.OnDragOver = [](TzeCustomEdit &, QObject *, int, int, TzeDragOverState, bool &accept) { accept = true; };
    EXPECT_TRUE(edit.DragOverAt(&stranger, At({2, 9}).x(), At({2, 9}).y(), dsDragEnter));

    // A drop from elsewhere only fires OnDragDrop.
    EXPECT_FALSE(edit.DragDropAt(&stranger, At({1, 10}).x(), At({1, 10}).y(), false));
    EXPECT_EQ(dropped, std::vector<QObject *>{&stranger});
    EXPECT_EQ(LinesOf(edit.Lines()), start);
    // A drop from another program is refused unless OnDragDrop takes it, so
    // that a moving source keeps its text.
    QMimeData mime;
    mime.setText(QStringLiteral("x"));
    const auto refused = [&] {
        QDragEnterEvent enter(At({1, 10}), Qt::MoveAction, &mime, Qt::NoButton, {});
        QCoreApplication::sendEvent(vp(), &enter);
        QDropEvent event(At({1, 10}), Qt::MoveAction, &mime, Qt::NoButton, {});
        QCoreApplication::sendEvent(vp(), &event);
        return !event.isAccepted();
    };
    EXPECT_FALSE(refused());
    EXPECT_EQ(dropped.size(), 2u);
    edit.OnDragDrop = nullptr;
    EXPECT_TRUE(refused());
    // Read-only: nothing at all, not even the event.
    edit.OnDragDrop = [&](TzeCustomEdit &, QObject *source, int, int) { dropped.push_back(source); };
    edit.SetReadOnly(true);
    EXPECT_FALSE(edit.DragDropAt(&edit, At({1, 10}).x(), At({1, 10}).y(), false));
    EXPECT_EQ(dropped.size(), 2u);
    EXPECT_EQ(LinesOf(edit.Lines()), start);
}

TEST_F(Mouse, AClickInAViewScrolledSidewaysPutsTheCaretUnderThePointer)
{
    // The old caret stands left of the view, on a line of another length:
    // the click neither scrolls nor misses the column, with or without
    // ScrollPastEOL.
    for (const bool pastEol : {true, false}) {
        std::string text;
        for (int i = 1; i <= 20; ++i)
            text += std::string(size_t(40 + i), 'x') + "\r\n";
        edit.SetText(text);
        edit.SetScrollPastEOL(pastEol);
        edit.SetCaretXY({1, 3});
        edit.SetLeftChar(7);
        ASSERT_EQ(edit.LeftChar(), 7);
        QTest::mouseClick(vp(), Qt::LeftButton, Qt::NoModifier, At({21, 5}));
        EXPECT_EQ(edit.CaretXY(), (TPoint{21, 5})) << pastEol;
        EXPECT_EQ(edit.LeftChar(), 7) << pastEol;
    }
}
