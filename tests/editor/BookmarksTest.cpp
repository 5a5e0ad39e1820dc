// BookmarksTest.cpp: the ten bookmarks and the marker commands.
#include <gtest/gtest.h>

#include <QTest>

#include "editor/zeCustomEdit.h"

namespace {

struct Bookmarks : ::testing::Test {
    void SetUp() override
    {
        edit.resize(300, 200);
        std::string text;
        for (int i = 1; i <= 30; ++i)
            text.append("line ").append(std::to_string(i)).append("\r\n");
        edit.SetText(text);
    }
    void Marker(TzeEditorCommand c, int line)
    {
        edit.SetCaretXY({3, line});
        edit.CommandProcessor(c, '\0', nullptr);
    }
    TzeCustomEdit edit;
};

} // namespace

TEST_F(Bookmarks, SetMoveRemoveAndOneBookmarkPerLine)
{
    Marker(ecSetMarker0 + 3, 10);
    ASSERT_NE(edit.Bookmarks(3), nullptr);
    EXPECT_EQ(edit.Bookmarks(3)->Line(), 10);
    EXPECT_EQ(edit.Marks().Count(), 1);
    EXPECT_EQ(edit.Bookmarks(3)->Edit(), &edit); // listed, so it repaints its row
    Marker(ecSetMarker0 + 3, 20); // moves it
    EXPECT_EQ(edit.Bookmarks(3)->Line(), 20);
    EXPECT_EQ(edit.Marks().Count(), 1);
    Marker(ecSetMarker0 + 3, 20); // again on its own line: removed
    EXPECT_EQ(edit.Bookmarks(3), nullptr);
    EXPECT_EQ(edit.Marks().Count(), 0);

    Marker(ecSetMarker0 + 3, 20);
    Marker(ecSetMarker0 + 5, 20); // marker 5 takes the line from marker 3
    EXPECT_EQ(edit.Bookmarks(3), nullptr);
    ASSERT_NE(edit.Bookmarks(5), nullptr);
    EXPECT_TRUE(edit.Bookmarks(5)->IsBookmark());
    EXPECT_EQ(edit.Marks().Count(), 1);

    edit.SetBookmark(10, 1, 1);  // no slot 10
    edit.SetBookmark(1, 1, 99);  // past the text
    EXPECT_EQ(edit.Marks().Count(), 1);
}

TEST_F(Bookmarks, GotoFollowsEditsAndIgnoresVanishedLines)
{
    Marker(ecSetMarker0 + 2, 25);
    edit.SetCaretXY({1, 1});
    edit.CommandProcessor(ecGotoMarker0 + 2, '\0', nullptr);
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 25}));

    // Deleting lines 2..5 moves the mark up with its text.
    edit.SetBlockBegin({1, 2});
    edit.SetBlockEnd({1, 6});
    edit.SetSelText("");
    EXPECT_EQ(edit.Bookmarks(2)->Line(), 21);
    EXPECT_EQ(edit.Lines()[20], "line 25");

    edit.SetText("short");
    edit.SetCaretXY({1, 1});
    edit.GotoBookmark(2); // line 21 no longer exists
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
}

TEST_F(Bookmarks, MarksFollowBreaksJoinsAndTheirUndo)
{
    Marker(ecSetMarker0 + 1, 10);
    Marker(ecSetMarker0 + 2, 5);
    edit.SetCaretXY({3, 5});
    edit.CommandProcessor(ecLineBreak, '\r', nullptr);
    EXPECT_EQ(edit.Bookmarks(1)->Line(), 11);
    edit.Undo();
    EXPECT_EQ(edit.Bookmarks(1)->Line(), 10);
    EXPECT_EQ(edit.Bookmarks(2)->Line(), 5);
    EXPECT_EQ(edit.Lines()[9], "line 10");
    edit.Redo();
    EXPECT_EQ(edit.Bookmarks(1)->Line(), 11);
    EXPECT_EQ(edit.Lines()[10], "line 10");

    // A Backspace at a line start joins, and the marks below move up.
    edit.SetCaretXY({1, 8});
    edit.CommandProcessor(ecDeleteLastChar, '\0', nullptr);
    EXPECT_EQ(edit.Bookmarks(1)->Line(), 10);
    EXPECT_EQ(edit.Lines()[9], "line 10");
}

TEST_F(Bookmarks, KeysPlaceEventAndEnableKeys)
{
    int placed = 0;
    edit.OnPlaceBookmark = [&](TMark *&mark) {
        ++placed;
        if (mark->BookmarkNumber() == 9)
            mark = nullptr; // cancelled
    };
    edit.SetCaretXY({1, 4});
    QTest::keyClick(&edit, Qt::Key_1, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(edit.Bookmarks(1), nullptr);
    EXPECT_EQ(placed, 1);
    Marker(ecSetMarker9, 7);
    EXPECT_EQ(edit.Bookmarks(9), nullptr);
    EXPECT_EQ(placed, 2);
    edit.SetCaretXY({1, 1});
    QTest::keyClick(&edit, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(edit.CaretY(), 4);

    edit.BookMarkOptions().SetEnableKeys(false);
    Marker(ecSetMarker0 + 4, 8);
    EXPECT_EQ(edit.Bookmarks(4), nullptr);
    edit.SetCaretXY({1, 1});
    edit.CommandProcessor(ecGotoMarker0 + 1, '\0', nullptr);
    EXPECT_EQ(edit.CaretY(), 1);
}
