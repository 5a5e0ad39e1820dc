// BuiltinsTest.cpp: the table of VBScript's own names against the checker
// and the scanner, and the declared names that the outline gathers for
// completion.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "vbscript/VbsBuiltins.h"
#include "vbscript/VbsEngine.h"
#include "vbscript/VbsLexer.h"
#include "vbscript/VbsOutline.h"
#include "vbscript/VbsParser.h"

namespace {

// Checks text as the engine does after a Reset; the error's description if any.
std::string Check(const std::string &text)
{
    vbs::Engine engine;
    engine.Reset();
    return engine.AddCode(text) ? std::string() : engine.Error()->description;
}

} // namespace

TEST(Builtins, TheCheckerTakesEveryFunctionCalledWithEachCountOfArgumentsItsListAllows)
{
    for (const vbs::BuiltinFunction &function : vbs::BuiltinFunctions()) {
        const vbs::ArgumentRange range = vbs::Arguments(function);
        ASSERT_GE(range.min, 0) << function.name;
        const int last = range.max < 0 ? range.min + 3 : range.max;
        ASSERT_GE(last, range.min) << function.name;
        for (int count = range.min; count <= last; ++count) {
            std::string arguments;
            for (int i = 0; i < count; ++i)
                arguments += (i ? ", " : "") + std::string("a") + std::to_string(i);
            const std::string call = std::string(function.name) + "(" + arguments + ")";
            // As a value, as a call statement, and as a statement without
            // parentheses, each the way VBScript writes it.
            const std::string text = "Dim a0, a1, a2, a3, a4, a5, a6, x\r\nx = " + call + "\r\nCall " + call +
                                     "\r\n" + std::string(function.name) + " " + arguments + "\r\n";
            EXPECT_EQ(Check(text), "") << text;
        }
        if (range.min == 0)
            EXPECT_EQ(Check("Dim x\r\nx = " + std::string(function.name) + "\r\n"), "") << function.name;
    }
}

TEST(Builtins, ConstantsAreNamesAndKeywordsAreTheScannersEach)
{
    for (const std::string_view constant : vbs::BuiltinConstants())
        EXPECT_EQ(Check("Dim x\r\nx = " + std::string(constant) + "\r\n"), "") << constant;
    // Every spelling scans as a keyword, each a different one, and together
    // they are all of the scanner's: the keyword kinds plus Rem.
    std::set<int> kinds;
    for (const std::string_view keyword : vbs::KeywordSpellings()) {
        vbs::Lexer lexer(keyword);
        lexer.Next();
        const vbs::TokenKind kind = lexer.Current().kind;
        // Rem starts a comment: the line ends with it.
        EXPECT_TRUE(vbs::IsKeyword(kind) || (keyword == "Rem" && kind == vbs::tkEof)) << keyword;
        kinds.insert(int(kind));
    }
    EXPECT_EQ(kinds.size(), vbs::KeywordSpellings().size());
    EXPECT_EQ(int(kinds.size()), int(vbs::tkXor) - int(vbs::tkAnd) + 2);
    for (const std::span<const std::string_view> table : {vbs::BuiltinConstants(), vbs::KeywordSpellings()}) {
        std::set<std::string> names;
        for (const std::string_view name : table)
            EXPECT_TRUE(names.insert(vbs::FoldName(name)).second) << name << " twice";
    }
    for (const vbs::BuiltinFunction &function : vbs::BuiltinFunctions())
        EXPECT_EQ(vbs::FindBuiltin(vbs::FoldName(function.name)), &function);
    EXPECT_EQ(vbs::FindBuiltin("NoSuchFunction"), nullptr);
}

TEST(Builtins, ParameterListsReadWithTheirOptionalParts)
{
    const vbs::BuiltinFunction *instr = vbs::FindBuiltin("instr");
    ASSERT_NE(instr, nullptr);
    EXPECT_EQ(vbs::Signature(*instr), "InStr([start, ]string1, string2[, compare])");
    const auto spans = vbs::ParameterSpans(instr->parameters);
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_TRUE(spans[0].optional);
    EXPECT_FALSE(spans[1].optional);
    EXPECT_EQ(instr->parameters.substr(size_t(spans[2].offset), size_t(spans[2].length)), "string2");
    EXPECT_TRUE(spans[3].optional);
    const vbs::ArgumentRange mid = vbs::Arguments(*vbs::FindBuiltin("Mid"));
    EXPECT_EQ(mid.min, 2);
    EXPECT_EQ(mid.max, 3);
    EXPECT_EQ(vbs::Arguments(*vbs::FindBuiltin("Array")).max, -1);
}

TEST(OutlineNames, DeclarationsAndParametersWithTheirScopes)
{
    const vbs::Outline outline = vbs::BuildOutline("Option Explicit\r\n"                      // 1
                                                   "Dim gCount, gList(3)\r\n"                 // 2
                                                   "Const kMax = 10, kMin = 1\r\n"            // 3
                                                   "Class Basket\r\n"                         // 4
                                                   "  Private m_items\r\n"                    // 5
                                                   "  Public Sub Add(ByVal item, ByRef n())\r\n" // 6
                                                   "    Dim i : ReDim Preserve m_items(n)\r\n" // 7
                                                   "  End Sub\r\n"                            // 8
                                                   "End Class\r\n"                            // 9
                                                   "Function Total(a, b)\r\n"                 // 10
                                                   "  Private Const kRate = 2\r\n"            // 11
                                                   "End Function\r\n");                       // 12
    std::string names;
    for (const vbs::DeclaredName &n : outline.names)
        names += n.name + ":" + std::to_string(n.kind) + "@" + std::to_string(n.line) + "/" +
                 std::to_string(n.entry) + " ";
    // Entries: 0 Basket, 1 Add, 2 Total.
    EXPECT_EQ(names, "gCount:0@2/-1 gList:0@2/-1 kMax:1@3/-1 kMin:1@3/-1 m_items:0@5/0 item:2@6/1 n:2@6/1 "
                     "i:0@7/1 m_items:0@7/1 a:2@10/2 b:2@10/2 kRate:1@11/2 ");
    ASSERT_EQ(outline.entries.size(), 3u);
    EXPECT_EQ(outline.entries[1].parameters, (std::vector<std::string>{"item", "n"}));
    EXPECT_EQ(outline.entries[2].parameters, (std::vector<std::string>{"a", "b"}));
}

TEST(CallAt, TheNameCalledAndTheArgumentAtTheCaret)
{
    struct TCase {
        const char *line; // '|' is the caret
        const char *name; // empty: no call
        int argument;
    };
    const TCase cases[] = {
        {"x = Mid(|", "Mid", 0},
        {"x = Mid(s, |", "Mid", 1},
        {"x = Mid(s, Len(t|", "Len", 0},
        {"x = Mid(s, Len(t), |", "Mid", 2},
        {"x = Mid(\"a, b\", |", "Mid", 1},
        {"x = Mid(s, 1)|", "", 0},
        {"x = Mid|(", "", 0},
        {"MsgBox |", "MsgBox", 0},
        {"MsgBox \"Hi\", |", "MsgBox", 1},
        {"MsgBox| \"Hi\"", "", 0},
        {"x = 1: Foo a, |", "Foo", 1},
        {"x = \"Mid(|", "", 0},
        {"' Mid(|", "", 0},
        {"x.Add(a, |", "Add", 1},
        {"Call Foo(a, b, |)", "Foo", 2},
    };
    for (const TCase &c : cases) {
        std::string line = c.line;
        const int caret = int(line.find('|'));
        line.erase(size_t(caret), 1);
        const auto call = vbs::CallAt(line, caret);
        if (*c.name == '\0') {
            EXPECT_FALSE(call.has_value()) << c.line;
            continue;
        }
        ASSERT_TRUE(call.has_value()) << c.line;
        EXPECT_EQ(line.substr(size_t(call->name.column), size_t(call->name.length)), c.name) << c.line;
        EXPECT_EQ(call->argument, c.argument) << c.line;
    }
}
