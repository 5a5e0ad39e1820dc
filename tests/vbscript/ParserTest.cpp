// ParserTest.cpp: the grammar rule by rule on small texts: forms that compile,
// the first error of forms that do not (number and line), keywords as names
// and members, and the judgement calls where the engine's behaviour is a
// choice of ours (each marked in its group).
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "vbscript/VbsEngine.h"

using namespace std::string_view_literals;

namespace {

struct Case {
    std::string_view code;
    int number;      // 0: compiles
    int line;        // of the error
    int column = -1; // of the error, 0-based; -1: not checked
};

void ExpectCases(const std::vector<Case> &cases)
{
    for (const Case &c : cases) {
        vbs::Engine engine;
        const bool ok = engine.AddCode(c.code);
        if (c.number == 0) {
            EXPECT_TRUE(ok) << c.code << "\n -> " << engine.Error()->line << " "
                            << engine.Error()->number << " " << engine.Error()->description;
            continue;
        }
        ASSERT_FALSE(ok) << c.code;
        EXPECT_EQ(engine.Error()->number, c.number) << c.code << "\n -> " << engine.Error()->description;
        EXPECT_EQ(engine.Error()->line, c.line) << c.code;
        if (c.column >= 0) {
            EXPECT_EQ(engine.Error()->column, c.column) << c.code;
        }
    }
}

TEST(Parser, CallsAndAssignments)
{
    ExpectCases({
        {"f", 0, 0},
        {"f 1", 0, 0},
        {"f 1, 2", 0, 0},
        {"f ,2", 0, 0},
        {"f 1,", 0, 0},
        {"f()", 0, 0},
        {"f(1)", 0, 0},
        {"f (1), 2", 0, 0},
        {"f (1) + 2, 3", 0, 0},
        {"f -1", 0, 0},
        {"f (1)(2)", 0, 0},
        {"a.b.c 1", 0, 0},
        {"a(1).b 2", 0, 0},
        {"a(1, 2).b", 0, 0},
        {"a(1, 2) = 3", 0, 0},
        {"a.b(1, 2) = 3", 0, 0},
        {"Call f", 0, 0},
        {"Call f()", 0, 0},
        {"Call f(1, 2)", 0, 0},
        {"Call a.b(1).c(2, 3)", 0, 0},
        {"Set a = b", 0, 0},
        {"Set a.b(1) = New C", 0, 0},
        {"Set Me.x = Nothing", 0, 0},
        {"x = New [My Class]", 0, 0},
        {".x = 1", 0, 0},
        {".f .x, 2", 0, 0},
        {"Me.f 1", 0, 0},
        {"f(1, 2)", 1044, 1},
        {"a.b(1, 2)", 1044, 1},
        {"f(1, )", 1044, 1},
        {"f(1, 2), 3", 1006, 1},
        {"a(1).b(2) 3", 1025, 1},
        {"Call f 1", 1025, 1},
        {"Call 1", 1010, 1},
        {"Call (f)", 1010, 1},
        {"Set a", 1011, 1},
        {"Set 1 = a", 1010, 1},
        {"Set Me = a", 1037, 1},
        {"Me", 1037, 1},
        {"x = New", 1010, 1},
        {"x = New 1", 1010, 1},
        {"x = a.", 1010, 1},
        {"x = a.1", 1025, 1},
        {"x =", 1023, 1},
        {"x = )", 1023, 1},
        {"(x) = 1", 1024, 1},
        {"f 1 2", 1025, 1},
        {"f(1", 1006, 1},
        {"f(1,\n2)", 1023, 1},
        {"x = f(1)(2", 1006, 1},
    });
}

TEST(Parser, DeclarationsAndConstants)
{
    ExpectCases({
        {"Dim a, b(1), c(1, 2), d()", 0, 0},
        {"Dim a(&H10, &O7)", 0, 0},
        {"Public a, b(2) : Private c", 0, 0},
        {"Const a = 1, b = \"s\", c = #1/1/2000#, d = -1.5, e = True, f = Null, g = Empty", 0, 0},
        {"Const a = - - 1", 0, 0},
        {"Public Const a = 1\nPrivate Const b = 2", 0, 0},
        {"ReDim a(1), b(x, y + 1)", 0, 0},
        {"ReDim Preserve a(UBound(a) + 1)", 0, 0},
        {"Dim", 1010, 1},
        {"Dim a,", 1010, 1},
        {"Dim a(1.5)", 1026, 1},
        {"Dim a(-1)", 1026, 1},
        {"Dim a(1,)", 1026, 1},
        {"Dim a(1", 1006, 1},
        {"Dim a(1)(2)", 1025, 1},
        {"Dim a = 1", 1025, 1},
        {"Const", 1010, 1},
        {"Const a", 1011, 1},
        {"Const a =", 1045, 1},
        {"Const a = (1)", 1045, 1},
        {"Const a = 1 + 2", 1025, 1},
        {"ReDim", 1010, 1},
        {"ReDim a()", 1023, 1},
        {"ReDim a(1", 1006, 1},
        {"Erase", 1010, 1},
        {"Dim a\nConst A = 1", 1041, 2},
        {"Sub f\nEnd Sub\nDim F", 1041, 3},
        {"Function f(a)\nConst A = 1\nEnd Function", 1041, 2},
        {"Sub f(a)\nEnd Sub\nSub g(a)\nDim b, B\nEnd Sub", 1041, 4},
        {"If x Then\nDim a\nEnd If\nDim a", 1041, 4},
    });
}

TEST(Parser, IfForms)
{
    ExpectCases({
        {"If a Then b", 0, 0},
        {"If a Then b Else c", 0, 0},
        {"If a Then b : c Else d : e", 0, 0},
        {"If a Then If b Then c Else d", 0, 0},
        {"If a Then b Else If c Then d Else e", 0, 0},
        {"If a Then Else b", 0, 0},
        {"If a Then\nElseIf b Then\nElseIf c Then d\nElse e\nEnd If", 0, 0},
        {"If a Then 'comment\nEnd If", 0, 0},
        {"If a Then Rem comment\nEnd If", 0, 0},
        {"If a Then b = 1 : End If", 0, 0},
        {"If a Then For i = 1 To 2 : b : Next", 0, 0},
        {"If a Then Do : b : Loop Until c", 0, 0},
        {"If a Then\nb", 1014, 2},
        {"If a\nEnd If", 1017, 1},
        {"If a Then\nElseIf b\nEnd If", 1017, 2},
        {"If a Then\nElse\nElse\nEnd If", 1014, 3},
        {"If a Then\nEnd", 1012, 2},
        {"If a Then\nEnd Select", 1012, 2},
        {"If a Then b ElseIf c Then d", 1025, 1},
        {"If a Then\nb Else c\nEnd If", 1025, 2},
        {"If a Then If b Then\nEnd If", 1014, 1},
        {"If Then b", 1023, 1},
        {"If a Then )", 1024, 1},
        {"If a Then\nLoop\nEnd If", 1038, 2},
        {"If a Then Next", 1055, 1},
        {"Else", 1024, 1},
        {"ElseIf a Then", 1024, 1},
        {"End If", 1024, 1},
        {"End", 1024, 1},
    });
}

TEST(Parser, SelectForms)
{
    ExpectCases({
        {"Select Case a\nCase 1\nCase 2, 3\nCase Else\nEnd Select", 0, 0},
        {"Select Case a\nEnd Select", 0, 0},
        {"Select Case a\n\n' note\nCase 1: b\nEnd Select", 0, 0},
        {"select case a : case 1 : b : case else : c : end select", 0, 0},
        {"Select Case a\nCase Else\nCase 1\nEnd Select", 1014, 3},
        {"Select a", 1021, 1},
        {"Select Case a\nb\nEnd Select", 1021, 2},
        {"Select Case a\nCase 1\nEnd If", 1022, 3},
        {"Select Case a\nCase 1", 1014, 2},
        {"Select Case a\nCase\nEnd Select", 1023, 2},
        {"Select Case a\nCase 1 To 5\nEnd Select", 1025, 2},
        {"Select Case a\nCase Else b\nEnd Select", 0, 0},
        {"Select Case a\nCase Else 1\nEnd Select", 1025, 2},
        {"Select Case\nEnd Select", 1023, 1},
        {"Case 1", 1024, 1},
    });
}

TEST(Parser, LoopForms)
{
    ExpectCases({
        {"For i = 1 To 2\nNext", 0, 0},
        {"For i = a(1) To b.c Step -1 : Next", 0, 0},
        {"For Each x In y : Next", 0, 0},
        {"For Each x In Array(1, 2)\nExit For\nNext", 0, 0},
        {"Do\nLoop", 0, 0},
        {"Do While a\nLoop", 0, 0},
        {"Do Until a : Loop", 0, 0},
        {"Do : Loop While a", 0, 0},
        {"Do\nLoop Until a", 0, 0},
        {"Do\nExit Do\nLoop", 0, 0},
        {"Do\nFor i = 1 To 2\nExit Do\nNext\nLoop", 0, 0},
        {"While a\nWend", 0, 0},
        {"While a : b : Wend", 0, 0},
        {"With a\n.b = 1\nWith .c\nEnd With\nEnd With", 0, 0},
        {"For i = 1 To 2\nNext i", 1025, 2},
        {"For 1 = 1 To 2\nNext", 1010, 1},
        {"For Me = 1 To 2\nNext", 1040, 1},
        {"For a.b = 1 To 2\nNext", 1040, 1},
        {"For i = 1 To 2 Step\nNext", 1023, 1},
        {"For i = 1 To 2", 1020, 1},
        {"For i = 1 To 2\nLoop", 1038, 2},
        {"Do\nFor i = 1 To 2\nLoop", 1020, 3},
        {"For Each x\nNext", 1046, 1},
        {"For Each x In\nNext", 1023, 1},
        {"For i = 1 To 2 b\nNext", 1025, 1},
        {"Do While\nLoop", 1023, 1},
        {"Do 1\nLoop", 1028, 1},
        {"Do\nLoop 1", 1028, 2},
        {"Do\nLoop While", 1023, 2},
        {"Do\nNext", 1055, 2},
        {"Do\nWend", 1019, 2},
        {"Do\n", 1019, 2},
        {"While a", 1018, 1},
        {"While a\nEnd While", 1018, 2},
        {"While a\nLoop", 1038, 2},
        {"While\nWend", 1023, 1},
        {"Wend", 1024, 1},
        {"With a\nEnd If", 1029, 2},
        {"With a", 1014, 1},
        {"With\nEnd With", 1023, 1},
        {"Exit Do", 1039, 1},
        {"Exit For", 1039, 1},
        {"Exit Sub", 1039, 1},
        {"Exit", 1039, 1},
        {"Do\nExit While\nLoop", 1039, 2},
        {"Sub s\nDo\nLoop\nExit Do\nEnd Sub", 1039, 4},
        {"Do\nSub s\nExit Do\nEnd Sub\nLoop", 1019, 2},
    });
}

TEST(Parser, StatementsOfTheirOwn)
{
    ExpectCases({
        {"On Error Resume Next\nOn Error GoTo 0", 0, 0},
        {"ON ERROR RESUME NEXT", 0, 0},
        {"Option Explicit\nDim a", 0, 0},
        {"' comment\n\n:\nOption Explicit", 0, 0},
        {"Stop", 0, 0},
        {"Randomize\nRandomize 42\nExecute \"a = 1\"\nExecuteGlobal \"b = 2\"", 0, 0},
        {"On Error", 1002, 1},
        {"On Error Resume", 1002, 1},
        {"On Error GoTo 1", 1002, 1},
        {"On Error GoTo Handler", 1002, 1},
        {"On Error Exit", 1002, 1},
        {"On Foo", 1002, 1},
        {"Option", 1002, 1},
        {"Option Compare Text", 1002, 1},
        {"Option Explicit\nOption Explicit", 1024, 2},
        {"a = 1 : Option Explicit", 1024, 1},
        {"If a Then\nOption Explicit\nEnd If", 1024, 2},
        {"Sub s\nOption Explicit\nEnd Sub", 1024, 2},
        {"Stop 1", 1025, 1},
        {"GoTo x", 1024, 1},
        {"Resume Next", 1024, 1},
        {"1", 1024, 1},
        {")", 1024, 1},
        {"= 1", 1024, 1},
    });
}

TEST(Parser, Procedures)
{
    ExpectCases({
        {"Sub s\nEnd Sub", 0, 0},
        {"Sub s() : End Sub", 0, 0},
        {"Sub s(ByVal a, ByRef b, c())\nEnd Sub", 0, 0},
        {"Function f\nf = 1\nExit Function\nEnd Function", 0, 0},
        {"Public Sub s\nEnd Sub\nPrivate Function f()\nEnd Function", 0, 0},
        {"Sub s\nIf a Then Exit Sub\nEnd Sub", 0, 0},
        {"Sub s", 1014, 1},
        {"Sub s\nEnd", 1016, 2},
        {"Sub s\nEnd If", 1016, 2},
        {"Function f\nEnd Sub", 1015, 2},
        {"Sub s(a\nEnd Sub", 1006, 1},
        {"Sub s(a,)\nEnd Sub", 1010, 1},
        {"Sub s(ByVal)\nEnd Sub", 1010, 1},
        {"Sub s(Optional a)\nEnd Sub", 1006, 1},
        {"Sub s(a(1))\nEnd Sub", 1006, 1},
        {"Sub s x\nEnd Sub", 1025, 1},
        {"Sub\nEnd Sub", 1010, 1},
        {"Sub s\nSub t\nEnd Sub\nEnd Sub", 1014, 2},
        {"Sub s\nFunction f\nEnd Function\nEnd Sub", 1014, 2},
        {"Sub s\nClass c\nEnd Class\nEnd Sub", 1014, 2},
        {"Sub s\nPublic x\nEnd Sub", 1014, 2},
        {"If a Then\nSub s\nEnd Sub\nEnd If", 1014, 2},
        {"Sub s\nExit Function\nEnd Sub", 1039, 2},
        {"Sub s\nExit Property\nEnd Sub", 1039, 2},
        {"Function f\nExit Sub\nEnd Function", 1039, 2},
        {"Sub s(a, A)\nEnd Sub", 1041, 1},
        {"Class s\nEnd Class\nSub S\nEnd Sub", 1041, 3},
    });
}

TEST(Parser, Classes)
{
    ExpectCases({
        {"Class c\nEnd Class", 0, 0},
        {"Class c : End Class", 0, 0},
        {"Class c\nPublic a, b(2)\nPrivate d\nDim e\nEnd Class", 0, 0},
        {"Class c\nSub s\nEnd Sub\nPublic Function f(a)\nEnd Function\nPrivate Sub p\nEnd Sub\nEnd Class",
         0, 0},
        {"Class c\nPublic Default Function f\nEnd Function\nEnd Class", 0, 0},
        {"Class c\nPublic Default Sub s\nEnd Sub\nEnd Class", 0, 0},
        {"Class c\nPublic Default Property Get p(i)\nEnd Property\nEnd Class", 0, 0},
        {"Class c\nProperty Get p\nEnd Property\nProperty Let p(v)\nEnd Property\nProperty Set p(v)\nEnd "
         "Property\nEnd Class",
         0, 0},
        {"Class c\nProperty Let p(i, v)\nEnd Property\nProperty Get p(i)\nExit Property\nEnd Property\nEnd Class",
         0, 0},
        {"Class c\nSub Class_Initialize()\nEnd Sub\nSub Class_Terminate\nEnd Sub\nEnd Class", 0, 0},
        {"Class c\nFunction Class_Initialize(a)\nEnd Function\nEnd Class", 0, 0},
        {"Class c\nPublic Default\nEnd Class", 0, 0},
        {"Class c\nSub s\nMe.a = 1\nSet Me.b = Me\nx = Me\nEnd Sub\nEnd Class", 0, 0},
        {"Class a\nEnd Class\nClass b\nEnd Class", 0, 0},
        {"Class c", 1014, 1},
        {"Class c\nx = 1\nEnd Class", 1014, 2},
        {"Class c\nEnd Sub", 1047, 2},
        {"Class\nEnd Class", 1010, 1},
        {"Class c x\nEnd Class", 1025, 1},
        {"Class c\nClass d\nEnd Class\nEnd Class", 1014, 2},
        {"If a Then\nClass c\nEnd Class\nEnd If", 1014, 2},
        {"Class c\nProperty p\nEnd Property\nEnd Class", 1049, 2},
        {"Class c\nProperty Get\nEnd Property\nEnd Class", 1010, 2},
        {"Class c\nProperty Get p\nEnd Sub\nEnd Class", 1050, 3},
        {"Class c\nProperty Let p\nEnd Property\nEnd Class", 1054, 2},
        {"Class c\nProperty Set p()\nEnd Property\nEnd Class", 1054, 2},
        {"Class c\nProperty Get p(a)\nEnd Property\nProperty Set p(v)\nEnd Property\nEnd Class", 1051, 4},
        {"Class c\nProperty Let p(a, v)\nEnd Property\nProperty Get p\nEnd Property\nEnd Class", 1051, 4},
        {"Class c\nProperty Let p(a, v)\nEnd Property\nProperty Set p(v)\nEnd Property\nEnd Class", 1051, 4},
        {"Class c\nProperty Let p(v)\nEnd Property\nProperty Let p(v)\nEnd Property\nEnd Class", 1041, 4},
        {"Class c\nDim p\nProperty Get p\nEnd Property\nEnd Class", 1041, 3},
        {"Class c\nProperty Get p\nEnd Property\nSub P\nEnd Sub\nEnd Class", 1041, 4},
        {"Class c\nPublic a\nPrivate A\nEnd Class", 1041, 3},
        {"Class c\nSub Class_Terminate(a)\nEnd Sub\nEnd Class", 1053, 2},
        {"Class c\nPublic Default a\nEnd Class", 1056, 2},
        {"Class c\nPublic Default Dim a\nEnd Class", 1056, 2},
        {"Class c\nPrivate Default Sub s\nEnd Sub\nEnd Class", 1057, 2},
        {"Class c\nDefault Function f\nEnd Function\nEnd Class", 1057, 2},
        {"Class c\nPublic Default Property Set p(v)\nEnd Property\nEnd Class", 1058, 2},
        {"Class c\nPublic Default Sub a\nEnd Sub\nPublic Default Property Get b\nEnd Property\nEnd Class",
         1052, 4},
        {"Class c\nSub s\nMe = 1\nEnd Sub\nEnd Class", 1037, 3},
        {"Property Get p\nEnd Property", 1048, 1},
        {"Private Property Get p\nEnd Property", 1048, 1},
        {"Public Default Function f\nEnd Function", 1048, 1},
        {"Sub s\nProperty Get p\nEnd Property\nEnd Sub", 1014, 2},
    });
}

// A Sub or Function may be defined again at the same level, global or in a
// class, the later definition replacing the earlier; every other name that is
// declared twice stays "Name redefined", and so do Get, Let or Set twice.
TEST(Parser, ProceduresDefinedAgain)
{
    ExpectCases({
        {"Sub A\nEnd Sub\nsub a\nEnd Sub", 0, 0},
        {"Function f(x)\nEnd Function\nx = 1\nFunction F\nEnd Function\nFunction f(a, b)\nEnd Function", 0, 0},
        {"Sub A : End Sub\nPrivate Function a(x) : End Function\nPublic Sub A : End Sub", 0, 0},
        {"Class c\nSub s\nEnd Sub\nPublic Function S\nEnd Function\nEnd Class", 0, 0},
        {"Class c\nSub Class_Initialize\nEnd Sub\nSub Class_Initialize\nEnd Sub\nEnd Class", 0, 0},
        {"Dim a\nDim A", 1041, 2, 4},
        {"Const k = 1\nConst K = 2", 1041, 2, 6},
        {"Dim f\nSub F\nEnd Sub", 1041, 2, 4},
        {"Sub f\nEnd Sub\nConst F = 1", 1041, 3, 6},
        {"Function f\nEnd Function\nClass F\nEnd Class", 1041, 3, 6},
        {"Class F\nEnd Class\nFunction f\nEnd Function", 1041, 3, 9},
        {"Class c\nSub s\nEnd Sub\nDim S\nEnd Class", 1041, 4, 4},
        {"Class c\nPrivate S\nSub s\nEnd Sub\nEnd Class", 1041, 3, 4},
        {"Class c\nProperty Get p\nEnd Property\nFunction P\nEnd Function\nEnd Class", 1041, 4, 9},
        {"Class c\nPublic Default Sub s\nEnd Sub\nPublic Default Sub s\nEnd Sub\nEnd Class", 1052, 4, 7},
    });
}

// '&' starts a number only before a digit of its base (&H1F, &O17, &17);
// before other letters it is the operator and they start a name. An &H or &O
// that no name could continue stays an invalid number.
TEST(Parser, AmpersandBeforeLetters)
{
    ExpectCases({
        {"x = \"a\"&objB", 0, 0},
        {"p = \"\\\"&objSubFolder.Name", 0, 0},
        {"x = \"a\"&hostName & \"b\"&Host_1 & c&O8 & d&hg", 0, 0},
        {"Const a = &H1F, b = &O17, c = &17, d = &17&, e = -&0", 0, 0},
        {"Dim v(&17, &H1F, &o7)", 0, 0},
        {"x = &H", 1031, 1, 4},
        {"x = \"a\"&h", 1031, 1, 7},
        {"x = &O + 1", 1031, 1, 4},
        {"x = \"a\"&o.Name", 1031, 1, 7},
        {"x = &H100000000", 1031, 1, 4},
        {"x = &40000000000", 1031, 1, 4},
        {"x = &Hg", 1023, 1, 4},
        {"x = &O8", 1023, 1, 4},
        {"Dim v(&8)", 1026, 1, 6},
        // The first letter decides: &17 and &He are literals, so no operator joins them.
        {"x = \"a\"&17", 1025, 1, 7},
        {"x = \"a\"&hello", 1025, 1, 7},
    });
}

// Choices where the engine's behaviour was settled from knowledge of the
// language rather than measured; changing one must be deliberate.
TEST(Parser, JudgementCalls)
{
    ExpectCases({
        // Prefix Not and negation are taken wherever an operand may stand.
        {"x = 1 + Not 0", 0, 0},
        {"x = a * -b ^ -c", 0, 0},
        // Old comparison spellings.
        {"x = a =< b Or a => b Or a >< b", 0, 0},
        // Then followed by ':' opens the block form.
        {"If a Then : b\nc\nEnd If", 0, 0},
        {"If a Then : b", 1014, 1},
        // Rem after a statement is a comment like '.
        {"x = 1 Rem note", 0, 0},
        // Default, Error, Explicit, Property and Step still name variables.
        {"Step = 1 : Error = 2 : Explicit = 3 : Default = 4 : Property = 5", 0, 0},
        {"Dim Step, Error, Explicit, Default, Property", 0, 0},
        // Windows-1252 letters are letters, and their case is folded.
        {"caf\xE9 = 1 : Gr\xF6\xDF" "e = 2", 0, 0},
        {"Dim \xC4pfel, \xE4pfel", 1041, 1},
        // Several arrays in one Erase; Const inside a class.
        {"Erase a, b", 0, 0},
        {"Class c\nPrivate Const k = 1\nConst j = 2\nEnd Class", 0, 0},
        // The condition of a Do goes at one end only; Let is no statement.
        {"Do While a\nLoop While b", 1025, 2},
        {"Let x = 1", 1024, 1},
        // A NUL byte is an invalid character rather than the end of the text.
        {"x = 1 '\0"sv, 0, 0},
        {"x = 1\0"sv, 1032, 1},
        {"x = 1\n\x01", 1032, 2},
        // A continuation at the very end of the text is taken.
        {"x = 1 _", 0, 0},
        // Leading '.' outside With compiles (it fails only when run).
        {".x = 1", 0, 0},
    });
}

TEST(Parser, KeywordsAsMemberNames)
{
    const char *keywords[] = {
        "And", "ByRef", "ByVal", "Call", "Case", "Class", "Const", "Default", "Dim", "Do", "Each",
        "Else", "ElseIf", "Empty", "End", "Eqv", "Erase", "Error", "Exit", "Explicit", "False", "For",
        "Function", "Get", "GoTo", "If", "Imp", "In", "Is", "Let", "Loop", "Me", "Mod", "New", "Next",
        "Not", "Nothing", "Null", "On", "Option", "Or", "Preserve", "Private", "Property", "Public",
        "ReDim", "Rem", "Resume", "Select", "Set", "Step", "Stop", "Sub", "Then", "To", "True", "Until",
        "Wend", "While", "With", "Xor"};
    const std::string softKeywords = " Default Error Explicit Property Step ";
    for (const std::string keyword : keywords) {
        vbs::Engine engine;
        for (const std::string &code : {"x = obj." + keyword + " + 1", "obj." + keyword + " = 1",
                                        "obj." + keyword + " 1, 2", "Call obj.a." + keyword + "(1)"})
            EXPECT_TRUE(engine.AddCode(code)) << code << ": " << engine.Error()->description;
        const std::string declaration = "Dim " + keyword;
        const bool soft = softKeywords.find(" " + keyword + " ") != std::string::npos;
        EXPECT_EQ(engine.AddCode(declaration), soft) << declaration;
        if (!soft) {
            EXPECT_EQ(engine.Error()->number, 1010) << declaration;
        }
    }
}

} // namespace
