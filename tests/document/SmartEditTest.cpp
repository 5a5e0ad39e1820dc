// SmartEditTest.cpp: Return by VBScript's blocks (indentation, the closer a
// block lacks) and the comment commands, on a document and its view without
// a window, each undone in one step and redone exactly.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "editor/zeSmartEdit.h"
#include "editor/zeView.h"

namespace {

using V = std::vector<std::string>;

V LinesOf(const TzeDocument &doc)
{
    V out;
    for (int i = 0; i < doc.Lines().Count(); ++i)
        out.emplace_back(doc.Lines()[i]);
    return out;
}

// A text with '|' where the caret stands, as lines and a point; each '~'
// before it is a column past the line end.
struct TMarked {
    V Lines;
    TPoint Caret;
};

TMarked Parse(const std::string &marked)
{
    TMarked result;
    std::string line;
    int past = 0;
    for (const char c : marked + "\n") {
        if (c == '\n') {
            result.Lines.push_back(line);
            line.clear();
        } else if (c == '~') {
            ++past;
        } else if (c == '|') {
            result.Caret = TPoint{int(line.size()) + 1 + past, int(result.Lines.size()) + 1};
        } else {
            line += c;
        }
    }
    return result;
}

std::string Joined(const V &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

struct TEdit {
    TEdit(const TMarked &start, bool autoindent, bool blockEnds)
    {
        view.Metrics().CharsInWindow = 60;
        view.Metrics().LinesInWindow = 20;
        view.Options().Autoindent = autoindent;
        view.Options().BlockIndent = true;
        view.Options().InsertBlockEnds = blockEnds;
        doc.SetLoading(true);
        doc.SetText(Joined(start.Lines));
        doc.SetLoading(false);
        view.SetCaretXY(start.Caret);
    }
    TzeDocument doc;
    TzeView view{doc};
};

struct TReturnCase {
    const char *Name;
    const char *Before; // '|' marks the caret
    V After;
    TPoint Caret; // after Return
    bool Autoindent = true;
    bool BlockEnds = true;
    std::optional<TPoint> UndoCaret = std::nullopt; // where undo leaves the caret; else where it stood
};

} // namespace

TEST(SmartReturn, IndentsByBlocksAddsMissingClosersAndUndoesInOneStep)
{
    const TReturnCase cases[] = {
        {"Sub", "Sub Main|", {"Sub Main", "    ", "End Sub"}, {5, 2}},
        {"Function", "Function F(a)|", {"Function F(a)", "    ", "End Function"}, {5, 2}},
        {"Class", "Class C|", {"Class C", "    ", "End Class"}, {5, 2}},
        {"Property in a class",
         "Class C\n    Public Property Get P|\nEnd Class",
         {"Class C", "    Public Property Get P", "        ", "    End Property", "End Class"},
         {9, 3}},
        {"member before the next member",
         "Class C\n    Private Sub A|\n    Sub B\n    End Sub\nEnd Class",
         {"Class C", "    Private Sub A", "        ", "    End Sub", "    Sub B", "    End Sub", "End Class"},
         {9, 3}},
        {"If", "If x Then|", {"If x Then", "    ", "End If"}, {5, 2}},
        {"comment after Then", "If x Then ' why|", {"If x Then ' why", "    ", "End If"}, {5, 2}},
        {"one-line If", "If x Then y = 1|", {"If x Then y = 1", ""}, {1, 2}},
        {"For", "For i = 1 To 3|", {"For i = 1 To 3", "    ", "Next"}, {5, 2}},
        {"For Each", "  For Each x In y|", {"  For Each x In y", "      ", "  Next"}, {7, 2}},
        {"Do While", "Do While x|", {"Do While x", "    ", "Loop"}, {5, 2}},
        {"While", "While x|", {"While x", "    ", "Wend"}, {5, 2}},
        {"Select Case", "Select Case x|", {"Select Case x", "    ", "End Select"}, {5, 2}},
        {"With", "With o|", {"With o", "    ", "End With"}, {5, 2}},
        {"closer there", "Sub Main|\nEnd Sub", {"Sub Main", "    ", "End Sub"}, {5, 2}},
        {"nested, unclosed",
         "Sub Main\n    If x Then|\nEnd Sub",
         {"Sub Main", "    If x Then", "        ", "    End If", "End Sub"},
         {9, 3}},
        {"nested, closed",
         "Sub Main\n    If x Then|\n        y\n    End If\nEnd Sub",
         {"Sub Main", "    If x Then", "        ", "        y", "    End If", "End Sub"},
         {9, 3}},
        {"inner block closed, outer not",
         "If a Then|\n    If b Then\n    End If",
         {"If a Then", "    ", "End If", "    If b Then", "    End If"},
         {5, 2}},
        {"closer of the enclosing block",
         "For i = 1 To 2\n    Do|\nNext",
         {"For i = 1 To 2", "    Do", "        ", "    Loop", "Next"},
         {9, 3}},
        {"trailing blanks before the caret", "If x Then   |", {"If x Then", "    ", "End If"}, {5, 2}, true, true,
         TPoint{10, 1}},
        {"caret past the line end", "Sub Main~~~|", {"Sub Main", "    ", "End Sub"}, {5, 2}, true, true, TPoint{9, 1}},
        {"in the middle of the line", "If x Then| foo", {"If x Then", "    foo"}, {5, 2}},
        {"tabs kept", "\tIf x Then|", {"\tIf x Then", "\t    ", "\tEnd If"}, {6, 2}},
        {"End If to its opener",
         "Sub Main\n    If x Then\n        y\n        End If|\nEnd Sub",
         {"Sub Main", "    If x Then", "        y", "    End If", "    ", "End Sub"},
         {5, 5}},
        {"Else", "If x Then\n    a\n    Else|", {"If x Then", "    a", "Else", "    "}, {5, 4}},
        {"ElseIf", "If x Then\n    a\n    ElseIf y Then|\nEnd If",
         {"If x Then", "    a", "ElseIf y Then", "    ", "End If"}, {5, 4}},
        {"Else at its place", "If x Then\n    a\nElse|\nEnd If", {"If x Then", "    a", "Else", "    ", "End If"}, {5, 4}},
        {"Case", "Select Case x\n    Case 1|\nEnd Select", {"Select Case x", "Case 1", "    ", "End Select"}, {5, 3}},
        {"Next", "For i = 1 To 2\n    x\n    Next|", {"For i = 1 To 2", "    x", "Next", ""}, {1, 4}},
        {"Loop", "  Do\n    x\n    Loop Until y|", {"  Do", "    x", "  Loop Until y", "  "}, {3, 4}},
        {"Wend", "While c\n  x\n  Wend|", {"While c", "  x", "Wend", ""}, {1, 4}},
        {"End With", "With o\n    .x = 1\n    End With|", {"With o", "    .x = 1", "End With", ""}, {1, 4}},
        {"End Select", "Select Case x\nCase 1\n    y\n    End Select|",
         {"Select Case x", "Case 1", "    y", "End Select", ""}, {1, 5}},
        {"End Function", "Function F\n    x\n    End Function|", {"Function F", "    x", "End Function", ""}, {1, 4}},
        {"End Property", "Class C\n    Property Get P\n        x\n        End Property|\nEnd Class",
         {"Class C", "    Property Get P", "        x", "    End Property", "    ", "End Class"}, {5, 5}},
        {"End Class", "Class C\n    Dim a\n    End Class|", {"Class C", "    Dim a", "End Class", ""}, {1, 4}},
        {"End Sub past an unclosed If",
         "Sub S\n    If x Then\n        y\n    End Sub|",
         {"Sub S", "    If x Then", "        y", "End Sub", ""}, {1, 5}},
        // The same cells are the same level: a tab is not replaced by blanks.
        {"equal in cells", "\tIf x Then\n    End If|", {"\tIf x Then", "    End If", ""}, {5, 3}},
        {"comment line", "' If x Then|", {"' If x Then", ""}, {1, 2}},
        {"string", "MsgBox \"If x Then\"|", {"MsgBox \"If x Then\"", ""}, {1, 2}},
        {"block on one line", "For i = 1 To 3: s = s + i: Next|", {"For i = 1 To 3: s = s + i: Next", ""}, {1, 2}},
        {"Autoindent off", "  Sub Main|", {"  Sub Main", ""}, {1, 2}, false},
        {"Autoindent off, closer", "If x Then\n    End If|", {"If x Then", "    End If", ""}, {1, 3}, false},
        {"block ends off", "Sub Main|", {"Sub Main", "    "}, {5, 2}, true, false},
    };
    for (const TReturnCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const TMarked start = Parse(c.Before);
        TEdit edit(start, c.Autoindent, c.BlockEnds);
        ASSERT_TRUE(edit.view.Execute(ecLineBreak));
        EXPECT_EQ(LinesOf(edit.doc), c.After);
        EXPECT_EQ(edit.view.CaretXY(), c.Caret);
        // One step back: the text before and the caret where Return was pressed.
        edit.view.Undo();
        EXPECT_EQ(LinesOf(edit.doc), start.Lines);
        EXPECT_EQ(edit.view.CaretXY(), c.UndoCaret.value_or(start.Caret));
        EXPECT_EQ(edit.doc.UndoList().Count(), 0);
        edit.view.Redo();
        EXPECT_EQ(LinesOf(edit.doc), c.After);
        EXPECT_EQ(edit.view.CaretXY(), c.Caret);
    }
}

TEST(CommentLines, PutAndTakeTheMarkAtEachIndentationInOneStep)
{
    // Lines 2..4 selected from inside line 2 to column 1 of line 5, which
    // stays out; the blank line 3 gets no mark.
    const TMarked start = Parse("Sub S\n    a = 1\n\n\tIf b Then c\nEnd Sub");
    TEdit edit(start, true, true);
    edit.view.SetBlockBegin({7, 2});
    edit.view.SetBlockEnd({1, 5});
    edit.view.SetCaretXY({1, 5});
    const V commented{"Sub S", "    'a = 1", "", "\t'If b Then c", "End Sub"};
    ASSERT_TRUE(edit.view.CommentLines(true));
    EXPECT_EQ(LinesOf(edit.doc), commented);
    EXPECT_EQ(edit.view.BlockBegin(), (TPoint{8, 2}));
    EXPECT_EQ(edit.view.BlockEnd(), (TPoint{1, 5}));
    // A second comment mark, then both taken away one at a time.
    ASSERT_TRUE(edit.view.CommentLines(true));
    EXPECT_EQ(edit.doc.Lines()[1], "    ''a = 1");
    edit.view.CommentLines(false);
    edit.view.CommentLines(false);
    EXPECT_EQ(LinesOf(edit.doc), start.Lines);
    EXPECT_EQ(edit.view.BlockBegin(), (TPoint{7, 2}));
    // A line without a mark is left as it is by Uncomment.
    edit.view.SetCaretXY({1, 1});
    edit.view.CommentLines(false);
    EXPECT_EQ(LinesOf(edit.doc), start.Lines);

    // Each command is one undo step; redo gives its text back exactly.
    edit.view.SetBlockBegin({1, 1});
    edit.view.SetBlockEnd({3, 5});
    edit.view.CommentLines(true);
    const V all{"'Sub S", "    'a = 1", "", "\t'If b Then c", "'End Sub"};
    EXPECT_EQ(LinesOf(edit.doc), all);
    const int records = edit.doc.UndoList().Count();
    edit.view.Undo();
    EXPECT_EQ(LinesOf(edit.doc), start.Lines);
    edit.view.Redo();
    EXPECT_EQ(LinesOf(edit.doc), all);
    EXPECT_EQ(edit.doc.UndoList().Count(), records);

    edit.view.Options().ReadOnly = true;
    EXPECT_FALSE(edit.view.CommentLines(false));
    EXPECT_EQ(LinesOf(edit.doc), all);
}

TEST(CommentLines, ManyLinesAreOneStepWithinMaxUndoAndMarksKeepTheirLines)
{
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "x" + std::to_string(i) + "\n";
    TEdit edit(Parse(text + "end"), true, true);
    edit.doc.SetMaxUndo(10);
    TMark *mark = new TMark(edit.doc);
    mark->SetLine(20);
    edit.doc.PlaceBookmark(0, mark);
    const V before = LinesOf(edit.doc);
    edit.view.SetBlockBegin({1, 1});
    edit.view.SetBlockEnd({1, 31});
    ASSERT_TRUE(edit.view.CommentLines(true));
    EXPECT_EQ(edit.doc.Lines()[0], "'x0");
    EXPECT_EQ(edit.doc.Lines()[29], "'x29");
    EXPECT_EQ(edit.doc.Lines()[30], "end");
    EXPECT_EQ(mark->Line(), 20);
    edit.view.Undo();
    EXPECT_EQ(LinesOf(edit.doc), before);
    EXPECT_EQ(mark->Line(), 20);
    EXPECT_EQ(edit.doc.UndoList().Count(), 0);
    edit.view.Redo();
    EXPECT_EQ(edit.doc.Lines()[29], "'x29");
}
