// MarksTest.cpp: marks, the mark list, and marks following multi-line edits.
#include <memory>

#include <gtest/gtest.h>

#include "toolkit/Exception.h"
#include "EditorTestSupport.h"

namespace {

// An editor with lines "1" .. "n" and marks on the given lines, owned here.
struct TMarkedEdit {
    TMarkedEdit(int lineCount, std::vector<int> markLines)
    {
        std::string text;
        for (int i = 1; i <= lineCount; ++i)
            text += std::to_string(i) + "\r\n";
        Edit.SetText(text);
        for (int line : markLines) {
            auto mark = std::make_unique<TMark>(&Edit);
            mark->SetLine(line);
            mark->SetVisible(true);
            Edit.Marks().Add(mark.get());
            Marks.push_back(std::move(mark));
        }
    }
    std::vector<int> MarkLines() const
    {
        std::vector<int> lines;
        for (const auto &mark : Marks)
            lines.push_back(mark->Line());
        return lines;
    }
    TzeCustomEdit Edit;
    std::vector<std::unique_ptr<TMark>> Marks;
};

using TLineNumbers = std::vector<int>;

} // namespace

TEST(Marks, NewMarkIsBlankApartFromItsOwner)
{
    TzeCustomEdit edit;
    TMark mark(&edit);
    EXPECT_EQ(mark.Line(), 0);
    EXPECT_EQ(mark.Column(), 0);
    EXPECT_EQ(mark.ImageIndex(), 0);
    EXPECT_FALSE(mark.Visible());
    EXPECT_FALSE(mark.InternalImage());
    EXPECT_EQ(mark.BookmarkNumber(), 0);
    EXPECT_TRUE(mark.IsBookmark());
    mark.SetBookmarkNumber(-1);
    EXPECT_FALSE(mark.IsBookmark());
    mark.SetColumn(4);
    mark.SetImageIndex(3);
    mark.SetInternalImage(true);
    EXPECT_EQ(mark.Column(), 4);
    EXPECT_EQ(mark.ImageIndex(), 3);
    EXPECT_TRUE(mark.InternalImage());
}

TEST(Marks, EditAnswersTheOwnerOnlyWhileItsListHoldsTheMark)
{
    TzeCustomEdit edit;
    TMark mark(&edit);
    // Not in the list yet: no owner to repaint, until it is listed.
    EXPECT_EQ(mark.Edit(), nullptr);
    edit.Marks().Add(&mark);
    EXPECT_EQ(mark.Edit(), &edit);
    edit.Marks().Remove(&mark);
    EXPECT_EQ(mark.Edit(), nullptr);

    TMark listed(&edit);
    edit.Marks().Add(&listed);
    EXPECT_EQ(listed.Edit(), &edit);
    edit.Marks().Remove(&listed);
    EXPECT_EQ(listed.Edit(), nullptr);
}

TEST(Marks, OwnerGoingAwayClearsTheReference)
{
    TMark mark(nullptr);
    {
        TzeCustomEdit edit;
        TMark owned(&edit);
        edit.Marks().Add(&owned);
        EXPECT_EQ(owned.Edit(), &edit);
        edit.Marks().Remove(&owned);
    }
    auto edit = std::make_unique<TzeCustomEdit>();
    auto owned = std::make_unique<TMark>(edit.get());
    edit->Marks().Add(owned.get());
    edit.reset();
    EXPECT_EQ(owned->Edit(), nullptr);
    owned->SetLine(3);
    owned->SetVisible(true);
    EXPECT_EQ(owned->Line(), 3);
}

TEST(MarkList, AddRemoveAndItems)
{
    TzeCustomEdit edit;
    TMarkList &marks = edit.Marks();
    EXPECT_EQ(marks.Owner(), &edit);
    EXPECT_EQ(edit.UndoList().Owner(), &edit);
    int changes = 0;
    marks.OnChange = [&](TMarkList &list) {
        EXPECT_EQ(&list, &marks);
        ++changes;
    };
    TMark a(&edit), b(&edit);
    EXPECT_EQ(marks.Add(&a), 0);
    EXPECT_EQ(marks.Add(&b), 1);
    EXPECT_EQ(marks.Add(nullptr), -1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(marks.Count(), 2);
    EXPECT_EQ(marks.Items(1), &b);
    EXPECT_EQ(marks.IndexOf(&a), 0);
    EXPECT_THROW(marks.Items(2), EListError);
    marks.Remove(&a);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(marks.Items(0), &b);
    EXPECT_EQ(marks.IndexOf(&a), -1);
    marks.Remove(&b);
    EXPECT_EQ(marks.Count(), 0);
}

TEST(MarksFollowEdits, DeletingLinesTwoToFive)
{
    // Marks on 1, 2, 3, 4, 5, 7; the selection runs from (2, 2) to (1, 5).
    TMarkedEdit fixture(8, {1, 2, 3, 4, 5, 7});
    TzeCustomEdit &edit = fixture.Edit;
    Select(edit, TPoint{2, 2}, TPoint{1, 5});
    edit.SetSelTextPrimitive("");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"1", "25", "6", "7", "8"}));
    // Lines strictly inside go to the first line; from the last line on, up by three.
    EXPECT_EQ(fixture.MarkLines(), (TLineNumbers{1, 2, 2, 2, 2, 4}));
}

TEST(MarksFollowEdits, InsertingLinesMovesMarksFromTheCaretLineDown)
{
    TMarkedEdit fixture(5, {1, 2, 3, 5});
    TzeCustomEdit &edit = fixture.Edit;
    edit.SetCaretXY(TPoint{2, 3});
    edit.SetSelTextPrimitive("a\r\nb\r\nc");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"1", "2", "3a", "b", "c", "4", "5"}));
    EXPECT_EQ(fixture.MarkLines(), (TLineNumbers{1, 2, 5, 7}));
}

TEST(MarksFollowEdits, ReplacingASelectionWithLinesDoesBoth)
{
    TMarkedEdit fixture(6, {3, 4, 6});
    TzeCustomEdit &edit = fixture.Edit;
    // Remove lines 2..4 joined (one line less: 3 -> 2, 4 -> 2, 6 -> 4), then insert
    // two breaks at (1, 2): marks from line 2 on move down by two.
    Select(edit, TPoint{1, 2}, TPoint{1, 4});
    edit.SetSelTextPrimitive("x\r\ny\r\n");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"1", "x", "y", "4", "5", "6"}));
    EXPECT_EQ(fixture.MarkLines(), (TLineNumbers{4, 4, 6}));
}

TEST(MarksFollowEdits, OneLineChangesMoveNoMark)
{
    TMarkedEdit fixture(3, {1, 2, 3});
    TzeCustomEdit &edit = fixture.Edit;
    edit.SetCaretXY(TPoint{1, 2});
    edit.SetSelTextPrimitive("abc");
    Select(edit, TPoint{1, 2}, TPoint{3, 2});
    edit.SetSelTextPrimitive("");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"1", "c2", "3"}));
    EXPECT_EQ(fixture.MarkLines(), (TLineNumbers{1, 2, 3}));
}

TEST(MarksFollowEdits, MarkListChangeRepaintsOnlyThroughItsCallback)
{
    // The editor's own callback is set; a replaced one is called instead.
    TzeCustomEdit edit;
    EXPECT_TRUE(bool(edit.Marks().OnChange));
    int calls = 0;
    edit.Marks().OnChange = [&calls](TMarkList &) { ++calls; };
    TMark mark(&edit);
    edit.Marks().Add(&mark);
    edit.Marks().Remove(&mark);
    EXPECT_EQ(calls, 2);
}
