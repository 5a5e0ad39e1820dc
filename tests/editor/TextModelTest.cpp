// TextModelTest.cpp: whole text, caret, anchors and the selected-text operations.
#include <gtest/gtest.h>

#include <QScrollBar>

#include "EditorTestSupport.h"

namespace {

// Counts OnSelectionChange calls.
struct TSelectionSpy {
    explicit TSelectionSpy(TzeCustomEdit &edit)
    {
        edit.OnSelectionChange = [this](TzeCustomEdit &) { ++Calls; };
    }
    int Calls = 0;
};

} // namespace

TEST(TextModel, FreshEditorState)
{
    TzeCustomEdit edit;
    EXPECT_TRUE(edit.HandleAllocated());
    EXPECT_EQ(edit.LineCount(), 1);
    EXPECT_EQ(edit.Lines()[0], "");
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
    EXPECT_EQ(edit.BlockBegin(), (TPoint{1, 1}));
    EXPECT_FALSE(edit.SelAvail());
    EXPECT_EQ(edit.TopLine(), 1);
    EXPECT_EQ(edit.LeftChar(), 1);
    EXPECT_FALSE(edit.Modified());
    EXPECT_EQ(edit.MaxLeftChar(), 1024);
    EXPECT_TRUE(edit.ScrollPastEOL());
    EXPECT_TRUE(edit.Autoindent());
    EXPECT_EQ(edit.Text(), "\r\n");

    TzeCustomEdit designed(nullptr, true);
    EXPECT_TRUE(designed.Designing());
    EXPECT_EQ(designed.LineCount(), 0);
    EXPECT_EQ(designed.LineText(), "");
}

TEST(TextModel, LinesWriteCopiesAfterTheEmptyLineOfClear)
{
    TzeCustomEdit edit;
    TStringList source;
    source.AddObject("Sub Main", 5);
    source.AddObject("End Sub", 6);
    edit.SetLines(source);
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"", "Sub Main", "End Sub"}));
    // Without a highlighter the slots are the source's.
    EXPECT_EQ(edit.Lines().GetObject(1), 5);

    TTestEdit noWindow;
    noWindow.m_handleAllocated = false;
    noWindow.SetLines(source);
    EXPECT_EQ(LinesOf(noWindow.Lines()), (TLines{""}));
}

TEST(TextModel, TextWriteReplacesEverythingAndResetsCaretAndUndo)
{
    TzeCustomEdit edit;
    edit.SetText("a\r\nbb\r\nccc");
    edit.SetCaretXY(TPoint{3, 3});
    edit.SetSelText("q");
    edit.SetSelText("r");
    edit.Undo();
    ASSERT_TRUE(edit.CanUndo() && edit.CanRedo());
    edit.SetText("x\ny");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"x", "y"}));
    EXPECT_EQ(edit.Text(), "x\r\ny\r\n");
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
    EXPECT_FALSE(edit.CanUndo());
    EXPECT_FALSE(edit.CanRedo());
    EXPECT_FALSE(edit.Lines().Loading());

    edit.SetText("");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{""}));
}

TEST(TextModel, LoadingThroughTheListActsLikeATextWrite)
{
    const std::string path = WriteTempFile("zeTextModel-load.txt", "loaded\r\ntext");
    TzeCustomEdit edit;
    edit.SetText("a\r\nb\r\nc");
    edit.SetCaretXY(TPoint{2, 3});
    edit.SetSelText("q");
    ASSERT_TRUE(edit.CanUndo());
    edit.Document().LoadFromFile(path);
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"loaded", "text"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
    EXPECT_FALSE(edit.CanUndo());
}

TEST(TextModel, ReplacingLinesThroughTheListStartsAfresh)
{
    TzeCustomEdit edit;
    edit.SetText("1\r\n2\r\n3\r\n4\r\nEnd Sub");
    edit.SetCaretXY(TPoint{2, 5});
    edit.CommandProcessor(ecChar, 'x', nullptr);
    edit.Document().ClearLines();
    edit.Document().AddLine("only");
    // The records of the old text would rewrite the new one; the caret and
    // the anchors go where a whole new text puts them.
    EXPECT_FALSE(edit.CanUndo());
    EXPECT_FALSE(edit.CanRedo());
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
    EXPECT_EQ(edit.BlockBegin(), (TPoint{1, 1}));
    edit.CommandProcessor(ecUndo, '\0', nullptr);
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"", "only"}));
}

TEST(TextModel, LineTextReadsAndWritesTheCaretLine)
{
    TzeCustomEdit edit;
    edit.SetText("one\r\ntwo");
    edit.SetCaretY(2);
    EXPECT_EQ(edit.LineText(), "two");
    edit.SetLineText("TWO");
    EXPECT_EQ(edit.Lines()[1], "TWO");
    while (edit.LineCount() > 0)
        edit.Document().DeleteLine(0);
    EXPECT_EQ(edit.LineText(), "");
    edit.SetLineText("none");
    EXPECT_EQ(edit.LineCount(), 0);
}

TEST(Caret, ColumnClampsWithScrollPastEOL)
{
    TzeCustomEdit edit;
    edit.SetText("abc");
    edit.SetCaretX(0);
    EXPECT_EQ(edit.CaretX(), 1);
    edit.SetCaretX(50);
    EXPECT_EQ(edit.CaretX(), 50);
    edit.SetCaretX(100000);
    EXPECT_EQ(edit.CaretX(), edit.MaxLeftChar() - edit.CharsInWindow());
}

TEST(Caret, ColumnClampsToTheLineEndWithoutScrollPastEOL)
{
    TzeCustomEdit edit;
    edit.SetText("abc\r\nlonger line");
    edit.SetCaretX(9);
    edit.SetScrollPastEOL(false);
    // Turning the option off clamps the caret at once.
    EXPECT_EQ(edit.CaretX(), 4);
    edit.SetCaretX(10);
    EXPECT_EQ(edit.CaretX(), 4);
    edit.SetCaretXY(TPoint{12, 2});
    EXPECT_EQ(edit.CaretXY(), (TPoint{12, 2}));
    // Moving to a shorter line pulls the column back to its end.
    edit.SetCaretY(1);
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 1}));
}

TEST(Caret, LineClampsToTheText)
{
    TzeCustomEdit edit;
    edit.SetText("a\r\nb\r\nc");
    edit.SetCaretY(10);
    EXPECT_EQ(edit.CaretY(), 3);
    edit.SetCaretY(-4);
    EXPECT_EQ(edit.CaretY(), 1);
    // An emptied list still keeps the caret on line 1.
    edit.SetCaretY(3);
    while (edit.LineCount() > 0)
        edit.Document().DeleteLine(0);
    edit.SetCaretY(3);
    EXPECT_EQ(edit.CaretY(), 1);
}

TEST(Caret, EveryWriteFiresSelectionChange)
{
    TzeCustomEdit edit;
    edit.SetText("abc\r\ndef");
    TSelectionSpy spy(edit);
    edit.SetCaretX(2);
    edit.SetCaretX(2);
    edit.SetCaretY(1);
    edit.SetCaretY(2);
    EXPECT_EQ(spy.Calls, 4);
    edit.SetCaretXY(TPoint{1, 1});
    EXPECT_EQ(spy.Calls, 6);
}

TEST(Anchors, BlockBeginCollapsesAndBlockEndExtends)
{
    TzeCustomEdit edit;
    edit.SetText("one\r\ntwo\r\nthree");
    edit.SetBlockBegin(TPoint{2, 1});
    edit.SetBlockEnd(TPoint{3, 3});
    EXPECT_TRUE(edit.SelAvail());
    EXPECT_EQ(edit.BlockBegin(), (TPoint{2, 1}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{3, 3}));
    // The begin anchor stays; the end anchor moves before it: reads stay ordered.
    edit.SetBlockEnd(TPoint{1, 1});
    EXPECT_EQ(edit.BlockBegin(), (TPoint{1, 1}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{2, 1}));
    edit.SetBlockBegin(TPoint{2, 2});
    EXPECT_FALSE(edit.SelAvail());
    EXPECT_EQ(edit.BlockEnd(), (TPoint{2, 2}));
    // Clamping: column 1 .. MaxLeftChar, line 1 .. line count.
    edit.SetBlockBegin(TPoint{0, 0});
    EXPECT_EQ(edit.BlockBegin(), (TPoint{1, 1}));
    edit.SetBlockEnd(TPoint{5000, 9});
    EXPECT_EQ(edit.BlockEnd(), (TPoint{1024, 3}));
}

TEST(SelText, ReadsOneLineAndSeveralLinesInEitherDirection)
{
    TzeCustomEdit edit;
    edit.SetText("first line\r\nmiddle\r\nlast line");
    EXPECT_EQ(edit.SelText(), "");
    Select(edit, TPoint{7, 1}, TPoint{5, 3});
    const std::string forwards = edit.SelText();
    EXPECT_EQ(forwards, "line\r\nmiddle\r\nlast");
    Select(edit, TPoint{5, 3}, TPoint{7, 1});
    EXPECT_EQ(edit.SelText(), forwards);

    // One line; a part beyond the end of the line gives fewer characters or none.
    Select(edit, TPoint{3, 2}, TPoint{20, 2});
    EXPECT_EQ(edit.SelText(), "ddle");
    Select(edit, TPoint{10, 2}, TPoint{20, 2});
    EXPECT_EQ(edit.SelText(), "");
    // Ending at column 1 of a line gives a break but none of that line.
    Select(edit, TPoint{20, 1}, TPoint{1, 2});
    EXPECT_EQ(edit.SelText(), "\r\n");
}

TEST(SetSelTextPrimitive, TwoLinesIntoAnEmptyLineWhateverScrollPastEOL)
{
    for (bool pastEol : {true, false}) {
        TzeCustomEdit edit;
        edit.SetScrollPastEOL(pastEol);
        edit.SetSelTextPrimitive("a\r\nbcdef");
        EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"a", "bcdef"})) << pastEol;
        EXPECT_EQ(edit.CaretXY(), (TPoint{6, 2})) << pastEol;
        EXPECT_FALSE(edit.SelAvail());
    }
}

TEST(SetSelTextPrimitive, InsertingPastTheEndPadsWithSpaces)
{
    TzeCustomEdit edit;
    edit.SetText("abc");
    edit.SetCaretX(8);
    edit.SetSelTextPrimitive("X");
    EXPECT_EQ(edit.Lines()[0], "abc    X");
    EXPECT_EQ(edit.CaretX(), 9);

    edit.SetCaretX(12);
    edit.SetSelTextPrimitive("1\r\n2");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"abc    X   1", "2"}));
}

TEST(SetSelTextPrimitive, SplitsTheCaretLineAroundInsertedLines)
{
    TzeCustomEdit edit;
    edit.SetText("head|tail");
    edit.SetCaretX(6);
    edit.SetSelTextPrimitive("A\rB\nC");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"head|A", "B", "Ctail"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 3}));

    // A text ending in a break leaves the rest on a line of its own.
    edit.SetText("head|tail");
    edit.SetCaretX(6);
    edit.SetSelTextPrimitive("A\r\n");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"head|A", "tail"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 2}));
}

TEST(SetSelTextPrimitive, TextEndsAtTheFirstNul)
{
    TzeCustomEdit edit;
    edit.SetText("xy");
    edit.SetCaretX(2);
    edit.SetSelTextPrimitive(std::string("ab\0cd\r\n", 7));
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"xaby"}));
    edit.SetSelTextPrimitive(std::string("\0z", 2));
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"xaby"}));
    EXPECT_EQ(edit.CaretX(), 4);
}

TEST(SetSelTextPrimitive, EmptyTextWithoutSelectionChangesNothing)
{
    TzeCustomEdit edit;
    edit.SetText("keep  ");
    edit.SetCaretX(3);
    edit.SetSelTextPrimitive("");
    EXPECT_EQ(edit.Lines()[0], "keep  ");
    EXPECT_EQ(edit.CaretX(), 3);
}

TEST(SetSelTextPrimitive, DeletingStripsTrailingBlanks)
{
    TzeCustomEdit edit;
    edit.SetText("a b  ");
    Select(edit, TPoint{3, 1}, TPoint{4, 1});
    edit.SetSelTextPrimitive("");
    EXPECT_EQ(edit.Lines()[0], "a");
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 1}));

    // Joining lines strips the joined line too; control characters count as
    // blanks, but a tab character is the text's own and stays.
    edit.SetText("one \t\r\nxx \x01\r\ntwo\t c");
    Select(edit, TPoint{4, 1}, TPoint{1, 2});
    edit.SetSelTextPrimitive("");
    Select(edit, TPoint{5, 2}, TPoint{7, 2});
    edit.SetSelTextPrimitive("");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"onexx", "two\t"}));
}

TEST(SetSelTextPrimitive, ReplacingAMultiLineSelection)
{
    TzeCustomEdit edit;
    edit.SetText("alpha\r\nbeta\r\ngamma\r\ndelta");
    Select(edit, TPoint{4, 2}, TPoint{3, 4});
    edit.SetSelTextPrimitive("X\r\nY");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"alpha", "betX", "Ylta"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 3}));
    EXPECT_FALSE(edit.SelAvail());
    // A selection begin past the end of its line joins at its column, padded
    // with blanks, so that the undo puts the text back where it was.
    edit.SetText("alpha\r\nbetX\r\nYlta");
    Select(edit, TPoint{9, 1}, TPoint{2, 2});
    edit.SetSelText("");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"alpha   etX", "Ylta"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{9, 1}));
    edit.Undo(); // the empty insertion
    edit.Undo(); // the deletion
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"alpha   ", "betX", "Ylta"}));
}

TEST(SetSelTextPrimitive, RunsAsOneListUpdate)
{
    TzeCustomEdit edit;
    edit.SetText("1\r\n2\r\n3\r\n4");
    int changes = 0;
    auto linesChanged = edit.Document().OnLinesChanged;
    edit.Document().OnLinesChanged = [&] {
        ++changes;
        linesChanged();
    };
    Select(edit, TPoint{1, 2}, TPoint{1, 4});
    edit.SetSelTextPrimitive("a\r\nb\r\nc\r\nd");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit.PaintLock(), 0);
}

TEST(SetSelTextPrimitive, CaretPastTheEndInsertsIntoTheLastLine)
{
    TzeCustomEdit edit;
    edit.SetText("1\r\n2\r\n3");
    edit.SetCaretXY(TPoint{2, 3});
    edit.Document().DeleteLine(2);
    edit.Document().DeleteLine(1);
    // The caret never stays below the last line.
    ASSERT_EQ(edit.CaretXY(), (TPoint{2, 1}));
    edit.SetSelTextPrimitive("x");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"1x"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 1}));

    // An emptied list gets its line back.
    edit.Document().DeleteLine(0);
    edit.SetSelTextPrimitive("y\r\nz");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"  y", "z"}));
}

TEST(SelTextWrite, RecordsDeleteThenInsert)
{
    TzeCustomEdit edit;
    edit.SetText("hello world");
    Select(edit, TPoint{7, 1}, TPoint{12, 1});
    edit.SetSelText("there\r\nfriend");
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"hello there", "friend"}));
    const TUndoList &undo = edit.UndoList();
    ASSERT_EQ(undo.Count(), 2);
    EXPECT_EQ(undo.Items(0), Change(ucDelete, TPoint{7, 1}, TPoint{12, 1}, "world"));
    EXPECT_EQ(undo.Items(1), Change(ucInsert, TPoint{7, 1}, TPoint{7, 2}, ""));
    EXPECT_TRUE(edit.Modified());

    // Without a selection only the insertion is recorded.
    edit.SetSelText("!");
    ASSERT_EQ(undo.Count(), 3);
    EXPECT_EQ(undo.Items(2), Change(ucInsert, TPoint{7, 2}, TPoint{8, 2}, ""));
}

TEST(SelTextWrite, RecordStartsAtTheCaretMovedOnItsOwn)
{
    TzeCustomEdit edit;
    edit.SetText("abc\r\ndef");
    edit.SetCaretXY(TPoint{2, 2});
    ASSERT_EQ(edit.BlockBegin(), (TPoint{1, 1}));
    edit.SetSelText("XY");
    EXPECT_EQ(edit.Lines()[1], "dXYef");
    ASSERT_EQ(edit.UndoList().Count(), 1);
    EXPECT_EQ(edit.UndoList().Items(0), Change(ucInsert, TPoint{2, 2}, TPoint{4, 2}, ""));
}

TEST(SelTextWrite, LockedUndoRecordsNothing)
{
    TzeCustomEdit edit;
    edit.SetText("abc");
    edit.SelectAll();
    edit.LockUndo();
    edit.SetSelText("x");
    edit.UnlockUndo();
    EXPECT_EQ(edit.Lines()[0], "x");
    EXPECT_EQ(edit.UndoList().Count(), 0);
    EXPECT_FALSE(edit.Modified());
}

TEST(SelectAllAndClearAll, SelectAllEndsAtTheLastLineEnd)
{
    TzeCustomEdit edit;
    edit.SetText("one\r\ntwo\r\nlast");
    TSelectionSpy spy(edit);
    edit.SelectAll();
    EXPECT_EQ(edit.BlockBegin(), (TPoint{1, 1}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{5, 3}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 3}));
    EXPECT_GT(spy.Calls, 0);
    EXPECT_EQ(edit.SelText(), "one\r\ntwo\r\nlast");
}

TEST(SelectAllAndClearAll, ClearAllLeavesOneEmptyLineAndEmptiesUndo)
{
    TzeCustomEdit edit;
    edit.SetText("one\r\ntwo");
    edit.SetSelText("x");
    edit.SelectAll();
    edit.ClearAll();
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{""}));
    EXPECT_FALSE(edit.SelAvail());
    EXPECT_EQ(edit.UndoList().Count(), 0);
}

TEST(LeftSpaces, CountsLeadingBlanksOnlyWithAutoindent)
{
    TzeCustomEdit edit;
    EXPECT_EQ(edit.LeftSpaces("   x  "), 3);
    EXPECT_EQ(edit.LeftSpaces("\t \x01y"), 3);
    EXPECT_EQ(edit.LeftSpaces("    "), 4);
    EXPECT_EQ(edit.LeftSpaces(""), 0);
    EXPECT_EQ(edit.LeftSpaces("\xA0z"), 0);
    edit.SetAutoindent(false);
    EXPECT_EQ(edit.LeftSpaces("   x"), 0);
}

TEST(PaintLock, DefersScrollBarsUntilTheLastRelease)
{
    TzeCustomEdit edit;
    edit.resize(300, 200);
    edit.show();
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line\r\n";
    edit.SetText(text);
    {
        TPaintLockGuard outer(edit);
        {
            TPaintLockGuard inner(edit);
            edit.SetTopLine(40);
            EXPECT_EQ(edit.TopLine(), 40);
        }
        EXPECT_EQ(edit.PaintLock(), 1);
        // Still locked: the bar shows the old position.
        EXPECT_EQ(edit.verticalScrollBar()->value(), 1);
    }
    EXPECT_EQ(edit.PaintLock(), 0);
    EXPECT_EQ(edit.verticalScrollBar()->value(), 40);
}

TEST(Caret, PlacedByATextChangeFiresSelectionChange)
{
    TzeCustomEdit edit;
    edit.SetText("abc\r\ndef\r\nghi");
    edit.SetBlockBegin({3, 1});
    edit.SetBlockEnd({2, 3});
    edit.SetCaretXY({2, 3});
    TSelectionSpy spy(edit);
    edit.CutToClipboard(); // the caret goes back to the selection's start
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 1}));
    EXPECT_GE(spy.Calls, 1);

    spy.Calls = 0;
    edit.SetSelTextPrimitive("x\r\ny"); // a multi-line insertion moves it down
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 2}));
    EXPECT_GE(spy.Calls, 1);

    spy.Calls = 0;
    edit.SetSelTextPrimitive(std::string()); // nothing selected, nothing moves
    EXPECT_EQ(spy.Calls, 0);
}
