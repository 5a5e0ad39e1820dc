// FoldsTest.cpp: the blocks that fold, line by line and as regions of a script.
#include <gtest/gtest.h>

#include <sstream>

#include "vbscript/VbsFolds.h"

using namespace vbs;

namespace {

// The events of a line as text: "+If" opens an If, "-For" closes a For.
std::string Events(std::string_view line)
{
    static const char *const names[] = {"Sub", "Function", "Property", "Class", "If",
                                        "For", "Do",       "While",    "Select", "With"};
    const LineFold fold = ScanFoldLine(line);
    std::string s = fold.Comment ? "'" : "";
    for (int i = 0; i < fold.Count; ++i)
        s += std::string(s.empty() ? "" : " ") + (fold.Events[size_t(i)].Opens ? "+" : "-") +
             names[fold.Events[size_t(i)].Block];
    return s;
}

} // namespace

TEST(Folds, OpenersAndClosersOfALine)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Sub Main()", "+Sub"},
        {"Private Function F(a)", "+Function"},
        {"Public Default Function G", "+Function"},
        {"\tPublic Property Get Name", "+Property"},
        {"Property Let Name(v)", "+Property"},
        {"Class TThing", "+Class"},
        {"If a Then", "+If"},
        {"If a Then ' why", "+If"},
        {"If a Then b = 1", ""},
        {"If a Then b = 1 Else c = 2: End If", ""},
        {"ElseIf b Then", ""},
        {"Else", ""},
        {"Case 1, 2", ""},
        {"For i = 1 To 10", "+For"},
        {"For Each x In y: Next", ""},
        {"Do While x < 3", "+Do"},
        {"Loop Until x", "-Do"},
        {"While x: x = x - 1", "+While"},
        {"Wend", "-While"},
        {"Select Case x", "+Select"},
        {"With obj", "+With"},
        {"End With: End Sub", "-With -Sub"},
        {"Next: End If", "-For -If"},
        {"Exit Do", ""},
        {"End", ""},
        {"x.Sub = 1: y = obj.End", ""},
        {"s = \"If a Then\" ' End Sub", ""},
        {"' a comment", "'"},
        {"Rem another", "'"},
        {"   ", ""},
        {"s = \"never closed", ""}, // a lexical error: nothing more
        {"Sub A: End Sub", ""},
    };
    for (const auto &[line, events] : cases)
        EXPECT_EQ(Events(line), events) << line;
}

TEST(Folds, RegionsMatchClosersToTheirOpeners)
{
    const char *script[] = {
        "' one",                // 1 comment run of three
        "' two",                // 2
        "' three",              // 3
        "Class C",              // 4
        "  Sub A()",            // 5
        "    If x Then",        // 6 never closed: folds nothing
        "    For i = 1 To 2",   // 7
        "    Next",             // 8
        "  End Sub",            // 9
        "  Loop",               // 10 a closer without opener: passed over
        "End Class",            // 11
        "' only two",           // 12
        "' comments",           // 13
        "Function F: x = 1",    // 14
        "End Function",         // 15
        "Sub Open()",           // 16 unfinished: nothing
    };
    std::vector<LineFold> lines;
    for (const char *line : script)
        lines.push_back(ScanFoldLine(line));
    const std::vector<FoldRange> expected = {{1, 3}, {4, 11}, {5, 9}, {7, 8}, {14, 15}};
    EXPECT_EQ(FoldRanges(lines), expected);
}
