// EngineTest.cpp: Engine as the script control drives it: Reset, several
// AddCode calls that accumulate, the procedures list, the error object, and
// hostile text (deep nesting, huge lines, control bytes, byte soup).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "vbscript/VbsEngine.h"
#include "vbscript/VbsParser.h"

namespace {

std::string Repeat(const std::string &piece, std::size_t count)
{
    std::string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

TEST(Engine, ErrorObject)
{
    vbs::Engine engine;
    ASSERT_FALSE(engine.AddCode("Sub Main\r\n\tIf x Then\r\n\t\ty = 1 2\r\n\tEnd If\r\nEnd Sub\r\n"));
    const vbs::CompileError &error = *engine.Error();
    EXPECT_EQ(error.number, 1025);
    EXPECT_EQ(error.description, "Expected end of statement");
    EXPECT_EQ(error.line, 3);
    EXPECT_EQ(error.column, 8);
    EXPECT_EQ(error.text, "\t\ty = 1 2");
    EXPECT_EQ(error.source, "VBScript compilation error");
    EXPECT_TRUE(error.note.empty());

    // An error at a commented line end points at the comment.
    ASSERT_FALSE(engine.AddCode("x = 1\ny =   ' nothing to assign\n"));
    EXPECT_EQ(engine.Error()->number, 1023);
    EXPECT_EQ(engine.Error()->line, 2);
    EXPECT_EQ(engine.Error()->column, 6);

    // A block left open names its opener.
    ASSERT_FALSE(engine.AddCode("x = 1\n  For i = 1 To 2\n    If i Then\n    Next"));
    EXPECT_EQ(engine.Error()->number, 1014);
    EXPECT_EQ(engine.Error()->line, 4);
    EXPECT_EQ(engine.Error()->note, "to match 'If' at line 3");
    ASSERT_FALSE(engine.AddCode("Sub s\n  Do\nEnd Sub"));
    EXPECT_EQ(engine.Error()->note, "to match 'Do' at line 2");

    // The error of the last AddCode only.
    EXPECT_TRUE(engine.AddCode("x = 1"));
    EXPECT_FALSE(engine.Error().has_value());
}

TEST(Engine, EmptyAndBlankTexts)
{
    vbs::Engine engine;
    for (const char *text : {"", "\r\n", "\n\n\n", "   ", ":", "' only a comment", "Rem"})
        EXPECT_TRUE(engine.AddCode(text)) << text;
    EXPECT_TRUE(engine.Procedures().empty());
}

TEST(Engine, ProceduresInDefinitionOrder)
{
    vbs::Engine engine;
    ASSERT_TRUE(engine.AddCode("Function Zeta(a, b)\nEnd Function\nClass C\nSub Member\nEnd Sub\n"
                               "Function Other(x)\nEnd Function\nEnd Class\nPrivate Sub alpha()\n"
                               "End Sub\nDim v\nPublic Sub Main\nEnd Sub"));
    ASSERT_EQ(engine.Procedures().size(), 3u);
    EXPECT_EQ(engine.Procedures()[0].name, "Zeta");
    EXPECT_EQ(engine.Procedures()[0].numArgs, 2);
    EXPECT_TRUE(engine.Procedures()[0].hasReturnValue);
    EXPECT_EQ(engine.Procedures()[1].name, "alpha");
    EXPECT_EQ(engine.Procedures()[1].numArgs, 0);
    EXPECT_FALSE(engine.Procedures()[1].hasReturnValue);
    EXPECT_EQ(engine.Procedures()[2].name, "Main");
}

TEST(Engine, AddCodeAccumulatesUntilReset)
{
    vbs::Engine engine;
    ASSERT_TRUE(engine.AddCode("Sub One\nEnd Sub\nDim shared"));
    ASSERT_TRUE(engine.AddCode("Option Explicit\nFunction Two(a)\nEnd Function"));
    ASSERT_EQ(engine.Procedures().size(), 2u);
    EXPECT_EQ(engine.Procedures()[1].name, "Two");

    // A name of an earlier text is taken, in any case; lines count per text.
    // A procedure defined again replaces it and moves to its new place.
    EXPECT_FALSE(engine.AddCode("x = 1\nDim one"));
    EXPECT_EQ(engine.Error()->number, 1041);
    EXPECT_EQ(engine.Error()->line, 2);
    EXPECT_FALSE(engine.AddCode("Dim Shared"));
    EXPECT_EQ(engine.Error()->number, 1041);
    ASSERT_TRUE(engine.AddCode("Function ONE(a, b)\nEnd Function"));
    ASSERT_EQ(engine.Procedures().size(), 2u);
    EXPECT_EQ(engine.Procedures()[0].name, "Two");
    EXPECT_EQ(engine.Procedures()[1].name, "ONE");
    EXPECT_EQ(engine.Procedures()[1].numArgs, 2);
    EXPECT_TRUE(engine.Procedures()[1].hasReturnValue);

    // A text that fails adds nothing, not even what came before its error.
    EXPECT_FALSE(engine.AddCode("Sub Three\nEnd Sub\nDim four\nx = "));
    EXPECT_EQ(engine.Procedures().size(), 2u);
    EXPECT_TRUE(engine.AddCode("Sub Three\nEnd Sub\nDim four"));
    EXPECT_EQ(engine.Procedures().size(), 3u);

    engine.Reset();
    EXPECT_TRUE(engine.Procedures().empty());
    EXPECT_FALSE(engine.Error().has_value());
    EXPECT_TRUE(engine.AddCode("Sub One\nEnd Sub\nDim shared"));
    EXPECT_EQ(engine.Procedures().size(), 1u);
}

TEST(Engine, ResetClearsTheError)
{
    vbs::Engine engine;
    EXPECT_FALSE(engine.AddCode("x = ("));
    engine.Reset();
    EXPECT_FALSE(engine.Error().has_value());
}

// Nesting far beyond any script ends in a clean error, not a stack overflow.
TEST(Engine, DeepNestingIsBounded)
{
    const std::size_t deep = 100000;
    const std::string texts[] = {
        "x = " + Repeat("(", deep) + "1" + Repeat(")", deep),
        "If a Then\n" + Repeat("If a Then\n", deep) + Repeat("End If\n", deep + 1),
        "x = " + Repeat("Not ", deep) + "a",
        "x = " + Repeat("-", deep) + "a",
        "x = " + Repeat("f(", deep) + Repeat(")", deep),
        "x = 1" + Repeat(" + Not 1", deep),
        Repeat("If a Then ", deep) + "b",
        Repeat("Do\n", deep) + Repeat("Loop\n", deep),
        "Sub s\n" + Repeat("With a\n", deep) + Repeat("End With\n", deep) + "End Sub",
    };
    for (const std::string &text : texts) {
        vbs::Engine engine;
        EXPECT_FALSE(engine.AddCode(text));
        ASSERT_TRUE(engine.Error().has_value());
        EXPECT_EQ(engine.Error()->number, 28);
        EXPECT_EQ(engine.Error()->description, "Out of stack space");
        EXPECT_FALSE(engine.Error()->note.empty());
    }
    // Nesting well inside the limit compiles.
    vbs::Engine engine;
    EXPECT_TRUE(engine.AddCode("x = " + Repeat("(", 100) + "1" + Repeat(")", 100)));
    EXPECT_TRUE(engine.AddCode(Repeat("If a Then\n", 100) + Repeat("End If\n", 100)));
}

// Long chains that are not nesting go through loops, not recursion.
TEST(Engine, LongFlatChainsCompile)
{
    vbs::Engine engine;
    EXPECT_TRUE(engine.AddCode("x = 1" + Repeat(" + 1", 200000)));
    EXPECT_TRUE(engine.AddCode("x = a" + Repeat(".b(1)", 100000)));
    EXPECT_TRUE(engine.AddCode("If a Then\n" + Repeat("ElseIf b Then\n", 100000) + "End If"));
    EXPECT_TRUE(engine.AddCode("f 1" + Repeat(", 1", 100000)));
    EXPECT_TRUE(engine.AddCode(Repeat("x = 1 : ", 500000)));
    EXPECT_TRUE(engine.AddCode("x = 1" + Repeat(" _\n + 1", 100000)));
}

TEST(Engine, TenMegabyteLines)
{
    const std::size_t size = 10u << 20;
    vbs::Engine engine;
    EXPECT_TRUE(engine.AddCode("s = \"" + std::string(size, 'x') + "\""));
    EXPECT_TRUE(engine.AddCode("' " + std::string(size, '\xFF')));
    EXPECT_FALSE(engine.AddCode("s = \"" + std::string(size, 'x')));
    EXPECT_EQ(engine.Error()->number, 1033);
    EXPECT_EQ(engine.Error()->text.size(), size + 5);
    EXPECT_FALSE(engine.AddCode(std::string(size, 'a')));
    EXPECT_EQ(engine.Error()->number, 1030);
    EXPECT_FALSE(engine.AddCode("x = " + std::string(size, '9') + "e999"));
    EXPECT_EQ(engine.Error()->number, 1031);
    EXPECT_FALSE(engine.AddCode("x = " + std::string(size, '9')));
    EXPECT_EQ(engine.Error()->number, 1031);
    EXPECT_TRUE(engine.AddCode("x = 0." + std::string(size, '0') + "1"));
}

TEST(Engine, ControlAndHighBytes)
{
    vbs::Engine engine;
    for (int value = 0; value < 32; ++value) {
        if (value == '\t' || value == '\n' || value == '\r')
            continue;
        const std::string text = std::string("x = 1\ny = ") + char(value) + "2";
        EXPECT_FALSE(engine.AddCode(text)) << value;
        EXPECT_EQ(engine.Error()->number, 1032) << value;
        EXPECT_EQ(engine.Error()->line, 2) << value;
        EXPECT_EQ(engine.Error()->column, 4) << value;
        EXPECT_TRUE(engine.AddCode(std::string("s = \"") + char(value) + "\" ' " + char(value)))
            << value;
    }
    std::string all;
    for (int value = 0x80; value < 0x100; ++value)
        all += char(value);
    EXPECT_TRUE(engine.AddCode("s = \"" + all + "\" ' " + all));
}

// Random byte soup and random token soup: never a crash, always a result,
// every error inside the text, and the same result every time.
TEST(Engine, SoupGivesCleanResults)
{
    const std::string pieces[] = {"If ", "Then", "Else", "End ", "Sub ", "Function ", "Class ",
                                  "For ", "Next", "Do ", "Loop", "(", ")", ",", ".", ":", "\n",
                                  "x", " = ", "1", "\"s\"", "Property ", "Get ", "Let ", "Public ",
                                  "Default ", "Select ", "Case ", "With ", "Dim ", "_\n", "Me",
                                  "#1/1/2000#", "&H1", "'c", "Not ", "-", "Is ", "New ", "Exit "};
    std::mt19937 random(12345);
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        const int length = int(random() % 60);
        for (int i = 0; i < length; ++i) {
            if (round % 2 == 0)
                text += pieces[random() % std::size(pieces)];
            else
                text += char(random() % 256);
        }
        vbs::Engine engine;
        const bool ok = engine.AddCode(text);
        vbs::Engine again;
        EXPECT_EQ(again.AddCode(text), ok);
        if (ok)
            continue;
        const vbs::CompileError &error = *engine.Error();
        EXPECT_FALSE(error.description.empty()) << error.number;
        EXPECT_GE(error.line, 1);
        EXPECT_GE(error.column, 0);
        EXPECT_LE(std::size_t(error.column), error.text.size());
        EXPECT_EQ(error.number, again.Error()->number);
        EXPECT_EQ(error.line, again.Error()->line);
        EXPECT_EQ(error.column, again.Error()->column);
    }
}

TEST(Engine, FoldName)
{
    EXPECT_EQ(vbs::FoldName("MixedCase_1"), "mixedcase_1");
    EXPECT_EQ(vbs::FoldName("\xC0\xD6\xD7\xD8\xDE\x8A\x8C\x8E\x9F"), "\xE0\xF6\xD7\xF8\xFE\x9A\x9C\x9E\xFF");
    EXPECT_EQ(vbs::FoldName("\xDF\xFF"), "\xDF\xFF");
}

} // namespace

// A fuzz finding, kept as its input: a date part of many digits overflowed
// while it was read (the checked build's sanitizer reported it); it is an
// invalid date on its line.
TEST(Engine, FuzzFindingDateOfManyDigits)
{
    std::ifstream in(std::string(QUENLO_TEST_DATA) + "/vbscript/fuzz/date_digits_overflow.vbs", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(text.size(), 304u);
    vbs::Engine engine;
    ASSERT_FALSE(engine.AddCode(text));
    EXPECT_EQ(engine.Error()->line, 3);
}
