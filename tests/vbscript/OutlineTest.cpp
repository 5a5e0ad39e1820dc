// OutlineTest.cpp: BuildOutline and its lookups. The entries of a script with
// a class, a property pair and an unfinished Sub; partner keywords for carets
// on every block keyword; the extent of the error token; and, over the valid
// corpus, blocks that all close and global procedures that match the engine's
// list, also for every truncation of the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "vbscript/VbsEngine.h"
#include "vbscript/VbsOutline.h"
#include "vbscript/VbsParser.h"

namespace fs = std::filesystem;

namespace {

std::string Entries(const vbs::Outline &outline)
{
    std::string list;
    for (const vbs::OutlineEntry &e : outline.entries)
        list += (list.empty() ? "" : "; ") + (e.className.empty() ? "" : e.className + ".") + e.name + "@" +
                std::to_string(e.line) + "-" + std::to_string(e.endLine);
    return list;
}

const char kScript[] = "Option Explicit\r\n"              // 1
                       "Class Person\r\n"                 // 2
                       "  Private m_name\r\n"             // 3
                       "  Public Property Get Name()\r\n" // 4
                       "    Name = m_name\r\n"            // 5
                       "  End Property\r\n"               // 6
                       "  Public Property Let Name(v)\r\n" // 7
                       "    m_name = v\r\n"               // 8
                       "  End Property\r\n"               // 9
                       "End Class\r\n"                    // 10
                       "Function Twice(x)\r\n"            // 11
                       "  If x > 0 Then\r\n"              // 12
                       "    Twice = 2 * x\r\n"            // 13
                       "  ElseIf x = 0 Then Twice = 0\r\n" // 14 (ElseIf with a statement after Then)
                       "  Else\r\n"                       // 15
                       "    Twice = (x + (1))\r\n"        // 16
                       "  End If\r\n"                     // 17
                       "End Function\r\n"                 // 18
                       "Sub Main\r\n"                     // 19
                       "  If Twice(1) = 2 Then Main2 Else Main3\r\n" // 20: one line, no block
                       "  For i = 1 To 3\r\n"             // 21
                       "    Select Case i\r\n"            // 22
                       "      Case 1\r\n"                 // 23
                       "      Case Else: Exit For\r\n"    // 24
                       "    End Select\r\n"               // 25
                       "  Next\r\n";                      // 26, and Main is never closed

TEST(Outline, EntriesOfAClassAPropertyPairAndAnUnfinishedSub)
{
    const vbs::Outline outline = vbs::BuildOutline(kScript);
    EXPECT_EQ(Entries(outline),
              "Person@2-10; Person.Name@4-6; Person.Name@7-9; Twice@11-18; Main@19-0");
    EXPECT_EQ(outline.entries[1].kind, vbs::ekPropertyGet);
    EXPECT_EQ(outline.entries[2].kind, vbs::ekPropertyLet);
    EXPECT_EQ(outline.entries[1].nameColumn, 22);
    ASSERT_TRUE(outline.error.has_value());
    EXPECT_EQ(outline.error->error.description, "Expected 'End'");
    EXPECT_EQ(outline.error->error.line, 27);

    // Each line's entry: a member before its class, the class between its
    // members, an unfinished Sub to the end of the text.
    const int expected[] = {-1, -1, 0, 0, 1, 1, 1, 2, 2, 2, 0, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4};
    for (int line = 1; line <= 27; ++line)
        EXPECT_EQ(vbs::EntryAt(outline, line), expected[line]) << "line " << line;

    EXPECT_EQ(vbs::FindDefinition(outline, "TWICE"), 3);
    EXPECT_EQ(vbs::FindDefinition(outline, "person"), 0);
    EXPECT_EQ(vbs::FindDefinition(outline, "name"), 1);
    EXPECT_EQ(vbs::FindDefinition(outline, "m_name"), -1);
}

// A keyword as "line:column+length".
std::string Spans(const std::vector<vbs::BlockKeyword> &keywords)
{
    std::string list;
    for (const vbs::BlockKeyword &k : keywords)
        list += (list.empty() ? "" : " ") + std::to_string(k.line) + ":" + std::to_string(k.column) + "+" +
                std::to_string(k.length);
    return list;
}

TEST(Outline, EveryBlockKeywordFindsItsPartners)
{
    const vbs::Outline outline = vbs::BuildOutline(kScript);
    struct Case {
        int line, column;
        const char *partners;
    } cases[] = {
        {2, 0, "2:0+5 10:0+9"},                 // Class .. End Class
        {10, 9, "2:0+5 10:0+9"},                // right after "End Class"
        {4, 9, "4:9+8 6:2+12"},                 // Property Get
        {7, 11, "7:9+8 9:2+12"},                // Property Let
        {12, 3, "12:2+2 14:2+6 15:2+4 17:2+6"}, // If
        {14, 5, "12:2+2 14:2+6 15:2+4 17:2+6"}, // ElseIf
        {15, 6, "12:2+2 14:2+6 15:2+4 17:2+6"}, // Else, caret after it
        {17, 7, "12:2+2 14:2+6 15:2+4 17:2+6"}, // End If
        {11, 0, "11:0+8 18:0+12"},              // Function
        {19, 0, "19:0+3"},                      // Sub never closed
        {21, 2, "21:2+3 26:2+4"},               // For .. Next
        {22, 4, "22:4+11 23:6+4 24:6+9 25:4+10"}, // Select Case, Case, Case Else, End Select
        {24, 10, "22:4+11 23:6+4 24:6+9 25:4+10"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Spans(vbs::BlockKeywords(outline, vbs::KeywordAt(outline, c.line, c.column))), c.partners)
            << c.line << ":" << c.column;
    // The one-line If pairs nothing; a keyword after '.' is a member name.
    EXPECT_EQ(vbs::KeywordAt(outline, 20, 2), -1);
    EXPECT_EQ(vbs::KeywordAt(outline, 24, 20), -1); // Exit For
    EXPECT_EQ(vbs::KeywordAt(vbs::BuildOutline("x.End\r\nobj.Select 1\r\n"), 1, 3), -1);
}

TEST(Outline, TheErrorTokenHasItsLength)
{
    struct Case {
        const char *text;
        int line, column, length;
    } cases[] = {
        {"x = 1 +\r\n", 1, 7, 0},                 // at the line end
        {"Dim a, 1abc\r\n", 1, 7, 1},             // a number where a name belongs
        {"If x Then\r\n  y = 1\r\nEnd Sub\r\n", 3, 4, 3}, // Expected 'If': the word Sub
        {"s = \"open\r\n", 1, 4, 5},              // an open string to the line end
        {"Call Foo Bar\r\n", 1, 9, 3},
    };
    for (const Case &c : cases) {
        const vbs::Outline outline = vbs::BuildOutline(c.text);
        ASSERT_TRUE(outline.error.has_value()) << c.text;
        EXPECT_EQ(outline.error->error.line, c.line) << c.text;
        EXPECT_EQ(outline.error->error.column, c.column) << c.text;
        EXPECT_EQ(outline.error->length, c.length) << c.text;
    }
    EXPECT_FALSE(vbs::BuildOutline(kScript + std::string("End Sub\r\n")).error.has_value());
}

TEST(Outline, IdentifiersAndParentheses)
{
    const std::string line = "x = Foo(a, (b + 1)) & \"Foo(\" ' Foo(";
    EXPECT_EQ(vbs::IdentifierAt(line, 0)->length, 1);
    EXPECT_EQ(vbs::IdentifierAt(line, 5)->column, 4);
    EXPECT_EQ(vbs::IdentifierAt(line, 7)->column, 4); // right after Foo
    EXPECT_FALSE(vbs::IdentifierAt(line, 25).has_value()); // in the string
    EXPECT_FALSE(vbs::IdentifierAt(line, 33).has_value()); // in the comment
    EXPECT_FALSE(vbs::IdentifierAt("If a Then", 1).has_value()); // a keyword
    EXPECT_EQ(vbs::MatchParenthesis(line, 7), (std::pair{7, 18}));
    EXPECT_EQ(vbs::MatchParenthesis(line, 19), (std::pair{18, 7})); // the one before the caret
    EXPECT_EQ(vbs::MatchParenthesis(line, 11), (std::pair{11, 17}));
    EXPECT_FALSE(vbs::MatchParenthesis(line, 26).has_value()); // in the string
    EXPECT_FALSE(vbs::MatchParenthesis("f(a", 1).has_value());
}

std::string ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Over every valid script, whole and cut at each line: the global Sub and
// Function entries name the engine's procedures; a whole valid script closes
// every block, each block's keywords lie in order between its opener and
// closer, and a truncated text lists the entries that begin before the cut.
TEST(Outline, AgreesWithTheEngineOnTheCorpus)
{
    for (const auto &file : fs::directory_iterator(fs::path(QUENLO_TEST_DATA) / "vbscript" / "valid")) {
        const std::string text = ReadFile(file.path());
        const vbs::Outline whole = vbs::BuildOutline(text);
        vbs::Engine engine;
        ASSERT_TRUE(engine.AddCode(text)) << file.path();
        EXPECT_FALSE(whole.error.has_value()) << file.path();
        std::set<std::string> fromEngine, fromOutline;
        for (const vbs::Procedure &p : engine.Procedures())
            fromEngine.insert(vbs::FoldName(p.name));
        for (const vbs::OutlineEntry &e : whole.entries)
            if (e.className.empty() && (e.kind == vbs::ekSub || e.kind == vbs::ekFunction))
                fromOutline.insert(vbs::FoldName(e.name));
        EXPECT_EQ(fromOutline, fromEngine) << file.path();
        for (const vbs::Block &block : whole.blocks) {
            EXPECT_GT(block.closerLine, 0) << file.path() << " block at " << block.openerLine;
            int line = block.openerLine;
            for (int k = block.firstKeyword; k >= 0; k = whole.keywords[size_t(k)].next) {
                EXPECT_GE(whole.keywords[size_t(k)].line, line);
                line = whole.keywords[size_t(k)].line;
            }
            EXPECT_EQ(line, block.closerLine) << file.path();
        }
        for (std::size_t cut = text.find('\n'); cut != std::string::npos; cut = text.find('\n', cut + 1)) {
            const vbs::Outline part = vbs::BuildOutline(std::string_view(text).substr(0, cut + 1));
            std::size_t expected = 0;
            const int lines = int(std::count(text.begin(), text.begin() + long(cut) + 1, '\n'));
            while (expected < whole.entries.size() && whole.entries[expected].line <= lines)
                ++expected;
            ASSERT_EQ(part.entries.size(), expected) << file.path() << " cut after line " << lines;
            for (std::size_t i = 0; i < expected; ++i)
                EXPECT_EQ(part.entries[i].name, whole.entries[i].name);
        }
    }
}

} // namespace
