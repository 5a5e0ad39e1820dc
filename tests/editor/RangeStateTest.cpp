// RangeStateTest.cpp: the per-line range states, computed when they are read
// and rescanned after a change only as far as states change.
#include <memory>

#include <gtest/gtest.h>

#include "highlight/jaVBSSyn.h"
#include "EditorTestSupport.h"

namespace {

using TRanges = std::vector<std::intptr_t>;
using TIndexes = std::vector<int>;

// An editor with the brace highlighter attached and a text set.
struct THighlightedEdit {
    explicit THighlightedEdit(std::string_view text)
    {
        Edit.SetHighLighter(&Highlighter);
        Edit.SetText(text);
        StoredRanges(Edit.Lines()); // every state read once
        Highlighter.ScannedLines.clear();
    }
    ~THighlightedEdit() { Edit.SetHighLighter(nullptr); }
    TBraceHighlighter Highlighter;
    TTestEdit Edit;
};

} // namespace

TEST(RangeStates, StatesAreScannedWhenReadAndOnlyOnce)
{
    TBraceHighlighter highlighter;
    TTestEdit edit;
    edit.SetHighLighter(&highlighter);
    edit.SetText("a\r\n{b\r\nc\r\n}d\r\ne");
    // Setting the text scans nothing; reading line 2's state scans the lines before it.
    EXPECT_TRUE(highlighter.ScannedLines.empty());
    EXPECT_EQ(edit.Lines().GetObject(2), 1);
    EXPECT_EQ(highlighter.ScannedLines, (TIndexes{0, 1}));
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 0, 1, 1, 0}));
    EXPECT_EQ(highlighter.ScannedLines, (TIndexes{0, 1, 2, 3}));
    edit.SetHighLighter(nullptr);
}

TEST(RangeStates, WithoutHighlighterSlotsStayAsGiven)
{
    TTestEdit edit;
    edit.SetText("{a\r\nb");
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 0}));
    edit.Document().PutRange(1, 42);
    edit.Document().PutLine(0, "x");
    EXPECT_EQ(edit.Lines().GetObject(1), 42);
}

TEST(RangeStates, PutRescansOnlyAsFarAsStatesChange)
{
    THighlightedEdit fixture("a\r\nb\r\nc\r\nd\r\ne\r\nf");
    TTestEdit &edit = fixture.Edit;
    // A change that keeps the end state: the line itself, then the stop.
    edit.Document().PutLine(2, "C");
    StoredRanges(edit.Lines());
    EXPECT_EQ(fixture.Highlighter.ScannedLines, (TIndexes{2}));

    // Opening a block: every later line changes state.
    fixture.Highlighter.ScannedLines.clear();
    edit.Document().PutLine(1, "{");
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 0, 1, 1, 1, 1}));
    // The last line is not scanned: no line after it needs its end state.
    EXPECT_EQ(fixture.Highlighter.ScannedLines, (TIndexes{1, 2, 3, 4}));

    // Closing it again two lines further: the lines after it change back.
    fixture.Highlighter.ScannedLines.clear();
    edit.Document().PutLine(3, "}");
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 0, 1, 1, 0, 0}));
    EXPECT_EQ(fixture.Highlighter.ScannedLines, (TIndexes{3, 4}));

    // Closing it one line earlier: only that line and the next need a scan.
    fixture.Highlighter.ScannedLines.clear();
    edit.Document().PutLine(2, "}");
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(fixture.Highlighter.ScannedLines, (TIndexes{2, 3}));

    // The last line: nothing after it to carry a state to.
    fixture.Highlighter.ScannedLines.clear();
    edit.Document().PutLine(5, "{");
    StoredRanges(edit.Lines());
    EXPECT_TRUE(fixture.Highlighter.ScannedLines.empty());
}

TEST(RangeStates, InsertedLineThatOpensABlockIsScannedItself)
{
    THighlightedEdit fixture("a\r\nb\r\nc\r\nd");
    TTestEdit &edit = fixture.Edit;
    edit.Document().InsertLine(1, "{");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"a", "{", "b", "c", "d"}));
    EXPECT_EQ(StoredRanges(edit.Lines()), ExpectedRanges(edit.Lines()));
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 0, 1, 1, 1}));

    edit.Document().InsertLine(0, "}");
    EXPECT_EQ(StoredRanges(edit.Lines()), ExpectedRanges(edit.Lines()));
    edit.Document().InsertLine(5, "}");
    EXPECT_EQ(StoredRanges(edit.Lines()), ExpectedRanges(edit.Lines()));
}

TEST(RangeStates, DeletingLinesRescansFromTheLineBefore)
{
    THighlightedEdit fixture("{\r\na\r\nb\r\n}\r\nc\r\nd");
    TTestEdit &edit = fixture.Edit;
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 1, 1, 1, 0, 0}));
    // Removing the opening line ends the block for the lines that follow.
    edit.Document().DeleteLine(0);
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 0, 0, 0, 0}));
    EXPECT_EQ(fixture.Highlighter.ScannedLines, (TIndexes{0, 1, 2}));

    edit.SetText("{\r\na\r\n}\r\nb");
    edit.Document().DeleteLine(2);
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 1, 1}));
    edit.Document().DeleteLine(2);
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 1}));
}

TEST(RangeStates, AssignedSlotsGiveWayToTheTextsStates)
{
    THighlightedEdit fixture("x");
    TTestEdit &edit = fixture.Edit;
    TStringList source;
    source.Add("{");
    source.Add("a");
    edit.SetLines(source);
    // The copy's own slots (0) say nothing of this highlighter's states.
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"", "{", "a"}));
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 0, 1}));
}

TEST(HighlighterLink, AttachDetachAndDestruction)
{
    auto highlighter = std::make_unique<TBraceHighlighter>();
    TzeCustomEdit edit;
    edit.SetHighLighter(highlighter.get());
    EXPECT_EQ(edit.HighLighter(), highlighter.get());
    ASSERT_EQ(highlighter->Editors().Count(), 1);
    EXPECT_EQ(highlighter->Editors().Items(0), &edit);
    edit.SetHighLighter(nullptr);
    EXPECT_EQ(highlighter->Editors().Count(), 0);

    // The highlighter going away clears the editor's reference.
    edit.SetHighLighter(highlighter.get());
    highlighter.reset();
    EXPECT_EQ(edit.HighLighter(), nullptr);
    edit.SetText("{\r\na");
    EXPECT_EQ(StoredRanges(edit.Lines()), (TRanges{0, 0}));
}

TEST(HighlighterLink, SwitchingKeepsTheOldListButDestructionLeavesBoth)
{
    TBraceHighlighter first;
    TBraceHighlighter second;
    {
        TzeCustomEdit edit;
        edit.SetHighLighter(&first);
        edit.SetHighLighter(&second);
        // Switching does not take the editor off the old highlighter's list.
        EXPECT_EQ(first.Editors().Count(), 1);
        EXPECT_EQ(second.Editors().Count(), 1);
    }
    // A destroyed editor is on neither list any more.
    EXPECT_EQ(first.Editors().Count(), 0);
    EXPECT_EQ(second.Editors().Count(), 0);
}

TEST(RangeStates, VbsHighlighterStartsEveryLineInItsResetState)
{
    // No VBScript construct crosses a line end: every line starts in the
    // state that ResetRange gives, also after edits.
    TjaVbsSyn highlighter;
    highlighter.ResetRange();
    const std::intptr_t start = highlighter.GetRange();
    TzeCustomEdit edit;
    edit.SetHighLighter(&highlighter);
    edit.SetText("Sub Main\r\n  s = \"open string\r\n  ' comment\r\nEnd Sub");
    edit.SetCaretXY(TPoint{3, 2});
    edit.SetSelTextPrimitive("x = 1 ' \"\r\nRem y\r\n");
    ASSERT_EQ(edit.LineCount(), 6);
    for (int i = 0; i < edit.LineCount(); ++i)
        EXPECT_EQ(edit.Lines().GetObject(i), start) << "line " << i;
    edit.SetHighLighter(nullptr);
}
