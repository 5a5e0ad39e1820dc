// WordPosTest.cpp: NextWordPos and PrevWordPos, with and without a highlighter.
#include <gtest/gtest.h>

#include "EditorTestSupport.h"

namespace {

TPoint NextFrom(TzeCustomEdit &edit, TPoint caret)
{
    edit.SetCaretXY(caret);
    return edit.NextWordPos();
}

TPoint PrevFrom(TzeCustomEdit &edit, TPoint caret)
{
    edit.SetCaretXY(caret);
    return edit.PrevWordPos();
}

} // namespace

TEST(NextWordPos, WithinTheCaretLine)
{
    TzeCustomEdit edit;
    edit.SetText("foo bar baz\r\nnext");
    // On a word: past it, then to the next word.
    EXPECT_EQ(NextFrom(edit, TPoint{1, 1}), (TPoint{5, 1}));
    EXPECT_EQ(NextFrom(edit, TPoint{2, 1}), (TPoint{5, 1}));
    // On a blank: to the next word.
    EXPECT_EQ(NextFrom(edit, TPoint{4, 1}), (TPoint{5, 1}));
    // In the last word with characters after the caret: the line end.
    EXPECT_EQ(NextFrom(edit, TPoint{9, 1}), (TPoint{12, 1}));
}

TEST(NextWordPos, JustBeforeTheLastCharacterGoesToTheNextLine)
{
    TzeCustomEdit edit;
    edit.SetText("foo bar\r\n  baz\r\n   \r\n\r\nend");
    EXPECT_EQ(NextFrom(edit, TPoint{7, 1}), (TPoint{3, 2}));
    EXPECT_EQ(NextFrom(edit, TPoint{30, 1}), (TPoint{3, 2}));
    // A blank or empty next line: its column 1.
    EXPECT_EQ(NextFrom(edit, TPoint{6, 2}), (TPoint{1, 3}));
    EXPECT_EQ(NextFrom(edit, TPoint{4, 3}), (TPoint{1, 4}));
    // A caret line with no word after the caret: its end.
    EXPECT_EQ(NextFrom(edit, TPoint{1, 3}), (TPoint{4, 3}));
    // On the last line the caret stays.
    EXPECT_EQ(NextFrom(edit, TPoint{3, 5}), (TPoint{3, 5}));
    EXPECT_EQ(NextFrom(edit, TPoint{9, 5}), (TPoint{9, 5}));
}

TEST(NextWordPos, WithoutHighlighterEveryNonBlankIsAWordCharacter)
{
    TzeCustomEdit edit;
    edit.SetText("a.b(c) d");
    EXPECT_EQ(NextFrom(edit, TPoint{1, 1}), (TPoint{8, 1}));
    edit.SetText("a.b(c)x");
    EXPECT_EQ(NextFrom(edit, TPoint{1, 1}), (TPoint{8, 1}));
    EXPECT_TRUE(edit.IdentChars().test(size_t('(')));
    EXPECT_FALSE(edit.IdentChars().test(size_t(' ')));
    EXPECT_TRUE(edit.IdentChars().test(0xE9));
}

TEST(NextWordPos, HighlighterIdentCharsSplitWords)
{
    TBraceHighlighter highlighter;
    TzeCustomEdit edit;
    edit.SetHighLighter(&highlighter);
    edit.SetText("a.b(c) d");
    EXPECT_EQ(NextFrom(edit, TPoint{1, 1}), (TPoint{3, 1}));
    EXPECT_EQ(NextFrom(edit, TPoint{3, 1}), (TPoint{5, 1}));
    EXPECT_EQ(NextFrom(edit, TPoint{5, 1}), (TPoint{8, 1}));
    EXPECT_EQ(PrevFrom(edit, TPoint{7, 1}), (TPoint{5, 1}));
    EXPECT_EQ(PrevFrom(edit, TPoint{4, 1}), (TPoint{3, 1}));
    edit.SetHighLighter(nullptr);
}

TEST(PrevWordPos, WithinTheCaretLine)
{
    TzeCustomEdit edit;
    edit.SetText("foo bar");
    EXPECT_EQ(PrevFrom(edit, TPoint{8, 1}), (TPoint{5, 1}));
    EXPECT_EQ(PrevFrom(edit, TPoint{7, 1}), (TPoint{5, 1}));
    EXPECT_EQ(PrevFrom(edit, TPoint{5, 1}), (TPoint{1, 1}));
    // Beyond the line end it counts from the end.
    EXPECT_EQ(PrevFrom(edit, TPoint{40, 1}), (TPoint{5, 1}));
}

TEST(PrevWordPos, AtTheLineStartOrInLeadingBlanks)
{
    TzeCustomEdit edit;
    edit.SetText("   first\r\n  second");
    EXPECT_EQ(PrevFrom(edit, TPoint{1, 1}), (TPoint{1, 1}));
    EXPECT_EQ(PrevFrom(edit, TPoint{3, 1}), (TPoint{1, 1}));
    // On a later line: the end of the previous line.
    EXPECT_EQ(PrevFrom(edit, TPoint{1, 2}), (TPoint{9, 1}));
    EXPECT_EQ(PrevFrom(edit, TPoint{3, 2}), (TPoint{9, 1}));
    EXPECT_EQ(PrevFrom(edit, TPoint{4, 2}), (TPoint{3, 2}));
}
