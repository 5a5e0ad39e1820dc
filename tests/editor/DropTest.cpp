// DropTest.cpp: dropping the editor's own selection, moved or copied, and
// undoing and redoing the drop in one step.
#include <gtest/gtest.h>

#include "EditorTestSupport.h"

namespace {

std::vector<std::string> Lines(const TzeCustomEdit &e) { return LinesOf(e.Lines()); }

using V = std::vector<std::string>;

// Lines 2..4.
V Middle(const TzeCustomEdit &e)
{
    const V all = Lines(e);
    return V(all.begin() + 1, all.begin() + 4);
}

struct Drop : ::testing::Test {
    void SetUp() override
    {
        edit.resize(400, 300);
        std::string text;
        for (int i = 1; i <= 12; ++i)
            text += "line" + std::to_string(i) + " text\r\n";
        edit.SetText(text);
        start = Lines(edit);
    }
    bool DropAt(TPoint from, TPoint to, TPoint drop, bool copy)
    {
        edit.SetBlockBegin(from);
        edit.SetBlockEnd(to);
        edit.SetCaretXY(to);
        return edit.DropSelection(drop, from, to, copy);
    }
    TzeCustomEdit edit;
    V start;
};

} // namespace

TEST_F(Drop, MoveAfterTheBlockOnItsLastLine)
{
    // Lines 2..4 from column 3 to column 5, dropped at column 9 of line 4:
    // the rest of line 4 moves up, so the text goes in at column 7 of line 2.
    // Removed: "ne2 text", "line3 text", "line"; what is left is "li4 text".
    ASSERT_TRUE(DropAt({3, 2}, {5, 4}, {9, 4}, false));
    const V moved = {"li4 tene2 text", "line3 text", "linext"};
    EXPECT_EQ(Middle(edit), moved);
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 4}));
    EXPECT_EQ(edit.LineCount(), 12);
    EXPECT_FALSE(edit.SelAvail());
    EXPECT_EQ(edit.UndoList().Count(), 2);
    EXPECT_EQ(edit.UndoList().PeekKind(), ucDropInsert);

    edit.Undo(); // both changes at once
    EXPECT_EQ(Lines(edit), start);
    EXPECT_FALSE(edit.CanUndo());
    edit.Redo();
    EXPECT_EQ(Middle(edit), moved);
    EXPECT_FALSE(edit.CanRedo());
    edit.Undo();
    EXPECT_EQ(Lines(edit), start);
}

TEST_F(Drop, MoveBelowTheBlockAndAbove)
{
    ASSERT_TRUE(DropAt({3, 2}, {5, 4}, {1, 10}, false));
    // Two lines fewer above the drop: it lands at column 1 of line 8.
    EXPECT_EQ(Lines(edit)[7].substr(0, 6), "ne2 te");
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 10}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), start);

    // Before the block nothing shifts.
    ASSERT_TRUE(DropAt({1, 5}, {6, 5}, {3, 1}, false));
    EXPECT_EQ(Lines(edit)[0], "liline5ne1 text");
    EXPECT_EQ(Lines(edit)[4], " text");
    edit.Undo();
    EXPECT_EQ(Lines(edit), start);
}

TEST_F(Drop, CopyKeepsTheTextAndUndoesAlone)
{
    ASSERT_TRUE(DropAt({1, 3}, {6, 3}, {11, 1}, true));
    EXPECT_EQ(Lines(edit)[0], "line1 textline3");
    EXPECT_EQ(Lines(edit)[2], "line3 text");
    EXPECT_EQ(edit.UndoList().Count(), 1);
    edit.Undo();
    EXPECT_EQ(Lines(edit), start);
    EXPECT_FALSE(edit.CanUndo());
}

TEST_F(Drop, OntoItselfReadOnlyOrPastTheLineEnd)
{
    // Onto the dragged text, its ends included: nothing changes.
    EXPECT_FALSE(DropAt({3, 2}, {5, 4}, {3, 2}, false));
    EXPECT_FALSE(DropAt({3, 2}, {5, 4}, {5, 4}, false));
    EXPECT_FALSE(DropAt({3, 2}, {5, 4}, {1, 3}, false));
    EXPECT_EQ(Lines(edit), start);
    EXPECT_FALSE(edit.CanUndo());
    edit.SetReadOnly(true);
    EXPECT_FALSE(DropAt({1, 1}, {3, 1}, {1, 5}, false));
    EXPECT_EQ(Lines(edit), start);
    edit.SetReadOnly(false);

    // Past a line end even without ScrollPastEOL: padded, and undone whole.
    edit.SetScrollPastEOL(false);
    ASSERT_TRUE(DropAt({1, 1}, {6, 1}, {15, 6}, false));
    EXPECT_EQ(Lines(edit)[5], "line6 text    line1");
    edit.Undo();
    EXPECT_EQ(Lines(edit), start);
}
