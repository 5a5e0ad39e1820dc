// ViewCommandsTest.cpp: typing, deleting and line breaks, with their undo and
// redo, run on a document and its view without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/zeView.h"

namespace {

// A document with one view, with the members the commands' tests use.
struct THeadlessEdit {
    THeadlessEdit()
    {
        // The grid of a 400 x 300 editor.
        view.Metrics().CharsInWindow = 45;
        view.Metrics().LinesInWindow = 20;
        doc.AddLine(std::string());
    }
    void SetText(std::string_view text)
    {
        doc.SetLoading(true);
        doc.SetText(text);
        doc.SetLoading(false);
    }
    const TzeEditList &Lines() const { return doc.Lines(); }
    TMarkList &Marks() { return doc.Marks(); }
    TPoint CaretXY() const { return view.CaretXY(); }
    int CaretX() const { return view.CaretX(); }
    int CaretY() const { return view.CaretY(); }
    void SetCaretXY(TPoint p) { view.SetCaretXY(p); }
    void SetBlockBegin(TPoint p) { view.SetBlockBegin(p); }
    void SetBlockEnd(TPoint p) { view.SetBlockEnd(p); }
    void SetReadOnly(bool value) { view.Options().ReadOnly = value; }
    bool ReadOnly() const { return view.Options().ReadOnly; }
    bool InsertMode() const { return view.Options().InsertMode; }
    void SetAutoindent(bool value) { view.Options().Autoindent = value; }
    void SetScrollPastEOL(bool value)
    {
        view.Options().ScrollPastEOL = value;
        if (!value)
            view.SetCaretX(view.CaretX());
    }
    bool CanUndo() const { return doc.UndoList().Count() > 0; }
    void Undo() { view.Undo(); }
    void Redo() { view.Redo(); }

    TzeDocument doc;
    TzeView view{doc};
};

std::vector<std::string> Lines(const THeadlessEdit &e)
{
    std::vector<std::string> out;
    for (int i = 0; i < e.Lines().Count(); ++i)
        out.emplace_back(e.Lines()[i]);
    return out;
}

using V = std::vector<std::string>;

struct Commands : ::testing::Test {
    void Run(TzeEditorCommand c, char ch = '\0') { edit.view.Execute(c, ch); }
    void Type(const std::string &text)
    {
        for (char c : text)
            Run(ecChar, c);
    }
    THeadlessEdit edit;
};

} // namespace

TEST_F(Commands, OverwriteAndTypingOverASelection)
{
    edit.SetText("abc");
    Run(ecToggleMode);
    EXPECT_FALSE(edit.InsertMode());
    edit.SetCaretXY({2, 1});
    Type("X");
    EXPECT_EQ(Lines(edit), V{"aXc"});
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"abc"});
    edit.SetBlockBegin({1, 1});
    edit.SetBlockEnd({3, 1});
    Type("Z");
    EXPECT_EQ(Lines(edit), V{"Zc"}); // overwrite replaces a selection like insert does
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"c"});
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"abc"});
}

TEST_F(Commands, BackspaceUnindentsAndJoins)
{
    edit.SetText("top\r\n    a\r\n    b\r\n  c\r\n    d\r\n");
    edit.SetCaretXY({5, 5});
    Run(ecDeleteLastChar);
    EXPECT_EQ(edit.Lines()[4], "  d"); // to the level of line 4
    edit.SetCaretXY({5, 2});
    Run(ecDeleteLastChar);
    EXPECT_EQ(edit.Lines()[1], "a");
    edit.Undo();
    EXPECT_EQ(edit.Lines()[1], "    a");

    edit.SetText("one\r\ntwo\r\nthree\r\n4\r\n5\r\n6\r\nseven");
    TMark m3(edit.doc), m7(edit.doc);
    m3.SetLine(3);
    m7.SetLine(7);
    edit.Marks().Add(&m3);
    edit.Marks().Add(&m7);
    edit.SetCaretXY({1, 3});
    Run(ecDeleteLastChar);
    EXPECT_EQ(edit.Lines()[1], "twothree");
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 2}));
    EXPECT_EQ(m3.Line(), 2);
    EXPECT_EQ(m7.Line(), 6);
    edit.Undo();
    EXPECT_EQ(edit.Lines()[1], "two");
    EXPECT_EQ(edit.Lines()[2], "three");
    edit.Marks().Remove(&m3);
    edit.Marks().Remove(&m7);
}

TEST_F(Commands, EnterSplitsWithIndentAndUndoRejoins)
{
    edit.SetText("x\r\n    abcd efg");
    edit.SetCaretXY({10, 2});
    Run(ecLineBreak);
    EXPECT_EQ(Lines(edit), (V{"x", "    abcd", "    efg"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 3}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), (V{"x", "    abcd efg"}));
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"x", "    abcd", "    efg"}));

    edit.SetText("    ab\r\n    cd");
    edit.SetCaretXY({7, 1});
    Run(ecLineBreak);
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 2})); // no indentation after line 1
    edit.SetCaretXY({7, 3});
    Run(ecLineBreak);
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 4}));
    EXPECT_EQ(edit.Lines()[3], "");
    edit.SetCaretXY({3, 1});
    Run(ecInsertLine);
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 1}));
    EXPECT_EQ(edit.Lines()[0], "");
}

TEST_F(Commands, DeleteCommandsAndReadOnly)
{
    edit.SetText("a\r\nb\r\nlast");
    edit.SetCaretXY({3, 3});
    Run(ecDeleteLine);
    EXPECT_EQ(Lines(edit), (V{"a", "b"}));
    EXPECT_EQ(edit.CaretY(), 2);
    edit.Undo(); // the last line comes back after line 2, in order
    EXPECT_EQ(Lines(edit), (V{"a", "b", "last"}));
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"a", "b"}));

    edit.SetText("only");
    Run(ecDeleteLine);
    EXPECT_EQ(Lines(edit), V{""});

    edit.SetText("abc\r\ndef");
    edit.SetCaretXY({6, 1});
    Run(ecDeleteEOL);
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 1}));
    edit.SetCaretXY({4, 1});
    Run(ecDeleteChar); // joins the next line
    EXPECT_EQ(Lines(edit), V{"abcdef"});
    edit.Undo();
    EXPECT_EQ(Lines(edit), (V{"abc", "def"}));

    edit.SetReadOnly(true);
    edit.SetCaretXY({2, 1});
    Run(ecDeleteLastChar);
    Type("z");
    EXPECT_EQ(Lines(edit), (V{"abc", "def"}));
    Run(ecDeleteEOL); // does not look at read-only
    EXPECT_EQ(edit.Lines()[0], "a");
    edit.Undo(); // neither does undo
    EXPECT_EQ(edit.Lines()[0], "abc");
}

// Blanks that trimming took are given back by undo, whatever the settings.
TEST_F(Commands, UndoRestoresTrimmedBlanks)
{
    // Without ScrollPastEOL the word's start lies past the trimmed line end.
    edit.SetScrollPastEOL(false);
    edit.SetText("x\r\n  in");
    edit.SetCaretXY({5, 2});
    Run(ecDeleteLastWord);
    EXPECT_EQ(Lines(edit), (V{"x", ""}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), (V{"x", "  in"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 2}));
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"x", ""}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 2})); // clamped again
    edit.SetScrollPastEOL(true);

    // A break between two blanks: the first part loses its trailing blank.
    edit.SetText("abc  def");
    edit.SetCaretXY({5, 1});
    Run(ecLineBreak);
    EXPECT_EQ(Lines(edit), (V{"abc", " def"}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"abc  def"});

    // Without Autoindent a break in the leading blanks splits the line there.
    edit.SetAutoindent(false);
    edit.SetText(" in");
    edit.SetCaretXY({2, 1});
    Run(ecInsertLine);
    EXPECT_EQ(Lines(edit), (V{"", "in"}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{" in"});
    // With it, the whole line moves down.
    edit.SetAutoindent(true);
    edit.SetText("   in");
    edit.SetCaretXY({3, 1});
    Run(ecLineBreak);
    EXPECT_EQ(Lines(edit), (V{"", "   in"}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"   in"});
}

TEST_F(Commands, UndoAndRedoApplyWhereTheChangeWasRecorded)
{
    // An overwrite past the line end records an empty range: its undo gives
    // the character back at the range, not at the caret.
    edit.SetText("abn");
    Run(ecOverwriteMode);
    edit.SetCaretXY({3, 1});
    Type(" ");
    EXPECT_EQ(Lines(edit), V{"ab"});
    edit.Undo();
    edit.Redo();
    Run(ecLineStart);
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"abn"});
    Run(ecInsertMode);

    // A Backspace past the line end deleted nothing: its redo adds no blanks.
    edit.SetText("abc");
    edit.SetCaretXY({8, 1});
    Run(ecDeleteLastChar);
    edit.Undo();
    edit.Redo();
    EXPECT_EQ(Lines(edit), V{"abc"});

    // A redo of a break breaks at its place and leaves a selection alone.
    edit.SetText("abcdef\r\nxyz");
    edit.SetCaretXY({4, 1});
    Run(ecLineBreak);
    edit.Undo();
    edit.SetBlockBegin({1, 2});
    edit.SetBlockEnd({3, 2});
    edit.SetCaretXY({3, 2});
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"abc", "def", "xyz"}));

    // A redo whose place newer edits took away goes in at the clamped place,
    // and its undo takes out just that.
    edit.SetText("abc\r\ndef\r\nghi");
    edit.SetCaretXY({4, 3});
    Type("x");
    edit.Undo();
    Run(ecSelectAll);
    Run(ecDeleteChar);
    EXPECT_EQ(Lines(edit), V{""});
    edit.Redo();
    EXPECT_EQ(Lines(edit), V{"   x"});
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{""});
    edit.Undo();
    EXPECT_EQ(Lines(edit), (V{"abc", "def", "ghi"}));
}

TEST_F(Commands, ReadOnlyHoldsBackNoRedo)
{
    edit.SetText("abcdef");
    edit.SetCaretXY({4, 1});
    Run(ecLineBreak);
    edit.Undo();
    edit.SetReadOnly(true);
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"abc", "def"}));
    EXPECT_TRUE(edit.ReadOnly());
    EXPECT_TRUE(edit.CanUndo());
    Type("x");
    EXPECT_EQ(Lines(edit), (V{"abc", "def"}));
}

TEST_F(Commands, TypingAfterClearAllStartsTheText)
{
    edit.SetText("one\r\ntwo\r\nthree");
    edit.SetCaretXY({3, 3});
    Run(ecClearAll);
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
    Type("x");
    EXPECT_EQ(Lines(edit), V{"x"});
}
