// LexerTest.cpp: the scanner alone: token kinds and positions, comments and
// continuation, keywords in any case, literals at their limits, date
// literals, and what every byte value is outside strings and comments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vbscript/VbsErrors.h"
#include "vbscript/VbsLexer.h"

namespace {

using vbs::TokenKind;

std::vector<vbs::Token> Scan(std::string_view text)
{
    vbs::Lexer lexer(text);
    std::vector<vbs::Token> tokens;
    do {
        lexer.Next();
        tokens.push_back(lexer.Current());
    } while (lexer.Current().kind != vbs::tkEof);
    return tokens;
}

std::vector<TokenKind> Kinds(std::string_view text)
{
    std::vector<TokenKind> kinds;
    for (const vbs::Token &token : Scan(text))
        kinds.push_back(token.kind);
    return kinds;
}

std::vector<std::string_view> Spellings(const vbs::Lexer &lexer, const std::vector<vbs::Token> &tokens)
{
    std::vector<std::string_view> spellings;
    for (const vbs::Token &token : tokens)
        spellings.push_back(lexer.Spelling(token));
    return spellings;
}

// The error number of scanning text to its end, 0 when it scans.
int ScanError(std::string_view text, int *column = nullptr)
{
    try {
        Scan(text);
    } catch (const vbs::CompileFailure &failure) {
        if (column)
            *column = failure.error.column;
        return failure.error.number;
    }
    return 0;
}

TEST(Lexer, OperatorsAndPunctuation)
{
    EXPECT_EQ(Kinds("( ) , . : + - * / \\ ^ & = <> < > <= >="),
              (std::vector<TokenKind>{vbs::tkLParen, vbs::tkRParen, vbs::tkComma, vbs::tkDot,
                                      vbs::tkColon, vbs::tkPlus, vbs::tkMinus, vbs::tkStar,
                                      vbs::tkSlash, vbs::tkBackslash, vbs::tkCaret, vbs::tkAmp,
                                      vbs::tkEq, vbs::tkNe, vbs::tkLt, vbs::tkGt, vbs::tkLe,
                                      vbs::tkGe, vbs::tkEof}));
    EXPECT_EQ(Kinds("=< => ><"),
              (std::vector<TokenKind>{vbs::tkLe, vbs::tkGe, vbs::tkNe, vbs::tkEof}));
    // a&b is a concatenation; &H, &O and & before a digit start numbers (see Numbers).
    EXPECT_EQ(Kinds("a&b"), (std::vector<TokenKind>{vbs::tkIdentifier, vbs::tkAmp,
                                                     vbs::tkIdentifier, vbs::tkEof}));
}

TEST(Lexer, LinesColumnsAndLineBreaks)
{
    const std::vector<vbs::Token> tokens = Scan("a\r\n bc\rd\n\te");
    ASSERT_EQ(tokens.size(), 8u);
    const int lines[] = {1, 1, 2, 2, 3, 3, 4, 4};
    const std::size_t columns[] = {0, 1, 1, 3, 0, 1, 1, 2};
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        EXPECT_EQ(tokens[i].line, lines[i]) << i;
        EXPECT_EQ(tokens[i].start - tokens[i].lineStart, columns[i]) << i;
    }
    EXPECT_EQ(tokens[1].kind, vbs::tkNewline);
    EXPECT_EQ(tokens[1].length, 2u);
}

TEST(Lexer, CommentsAndContinuation)
{
    EXPECT_EQ(Kinds("a ' b c\nd"), (std::vector<TokenKind>{vbs::tkIdentifier, vbs::tkNewline,
                                                           vbs::tkIdentifier, vbs::tkEof}));
    EXPECT_EQ(Kinds("REM x : y\nrem\nRem"), (std::vector<TokenKind>{vbs::tkNewline, vbs::tkNewline,
                                                                     vbs::tkEof}));
    // The line end starts where its comment does.
    const std::vector<vbs::Token> commented = Scan("a 'x\nb Rem y\nc ' z");
    ASSERT_EQ(commented.size(), 6u);
    EXPECT_EQ(commented[1].start, 2u);
    EXPECT_EQ(commented[3].start - commented[3].lineStart, 2u);
    EXPECT_EQ(commented[5].kind, vbs::tkEof);
    EXPECT_EQ(commented[5].start - commented[5].lineStart, 2u);
    EXPECT_EQ(Kinds("Remark"), (std::vector<TokenKind>{vbs::tkIdentifier, vbs::tkEof}));
    EXPECT_EQ(Kinds("a.Rem x"), (std::vector<TokenKind>{vbs::tkIdentifier, vbs::tkDot,
                                                        vbs::tkIdentifier, vbs::tkIdentifier,
                                                        vbs::tkEof}));
    // The continued token keeps its own physical line.
    const std::vector<vbs::Token> tokens = Scan("a _  \r\n  + _\nb");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[1].kind, vbs::tkPlus);
    EXPECT_EQ(tokens[1].line, 2);
    EXPECT_EQ(tokens[2].line, 3);
    EXPECT_EQ(Kinds("a_b"), (std::vector<TokenKind>{vbs::tkIdentifier, vbs::tkEof}));
    EXPECT_EQ(ScanError("a _ b"), vbs::enInvalidCharacter);
    EXPECT_EQ(ScanError("a _ ' comment\nb"), vbs::enInvalidCharacter);
    EXPECT_EQ(ScanError("_a"), vbs::enInvalidCharacter);
}

TEST(Lexer, KeywordsIgnoreCase)
{
    for (const char *spelling : {"ElseIf", "ELSEIF", "elseif", "eLsEiF"})
        EXPECT_EQ(Kinds(spelling).front(), vbs::tkElseIf) << spelling;
    EXPECT_EQ(Kinds("Function").front(), vbs::tkFunction);
    EXPECT_EQ(Kinds("Functions").front(), vbs::tkIdentifier);
    EXPECT_EQ(Kinds("EndIf").front(), vbs::tkIdentifier);
    EXPECT_EQ(Kinds("Randomize Execute ExecuteGlobal").front(), vbs::tkIdentifier);
}

TEST(Lexer, IdentifierLengthLimit)
{
    EXPECT_EQ(ScanError(std::string(255, 'a')), 0);
    EXPECT_EQ(ScanError(std::string(256, 'a')), vbs::enIdentifierTooLong);
    EXPECT_EQ(ScanError("[" + std::string(255, ' ') + "]"), 0);
    EXPECT_EQ(ScanError("[" + std::string(256, ' ') + "]"), vbs::enIdentifierTooLong);
}

TEST(Lexer, BracketedNames)
{
    const std::string_view text = "[a b!] []";
    const std::vector<vbs::Token> tokens = Scan(text);
    EXPECT_EQ(tokens[0].kind, vbs::tkIdentifier);
    EXPECT_TRUE(tokens[0].bracketed);
    EXPECT_EQ(Spellings(vbs::Lexer(text), tokens), (std::vector<std::string_view>{"a b!", "", ""}));
    int column = 0;
    EXPECT_EQ(ScanError("x [open\n]", &column), vbs::enExpectedRBracket);
    EXPECT_EQ(column, 7);
}

TEST(Lexer, Numbers)
{
    for (const char *integer : {"0", "123", "&H0", "&HFFFFFFFF", "&hdead", "&H0000000000FF",
                                "&H8000&", "&O0", "&O37777777777", "&o7&", "&0", "&17", "&37777777777&",
                                "99999999999999999999999"})
        EXPECT_EQ(Kinds(integer), (std::vector<TokenKind>{vbs::tkInteger, vbs::tkEof})) << integer;
    for (const char *real : {"1.5", ".5", "1.", "1e3", "1E+3", "1.5e-3", "1.7976931348623157E+308",
                             "1e-400", "0.000000000000000000001"})
        EXPECT_EQ(Kinds(real), (std::vector<TokenKind>{vbs::tkFloat, vbs::tkEof})) << real;
    for (const char *invalid : {"&H", "&h ", "&H&", "&H100000000", "&O", "&o.", "&O40000000000",
                                "&40000000000", "1e400", "1.8E308"})
        EXPECT_EQ(ScanError(invalid), vbs::enInvalidNumber) << invalid;
    // Without a digit of its base after the prefix, '&' is the operator and a name follows.
    for (const char *joined : {"&Hg", "&O8", "&objB", "&hostName", "&h_1", "&o\xE9"})
        EXPECT_EQ(Kinds(joined), (std::vector<TokenKind>{vbs::tkAmp, vbs::tkIdentifier, vbs::tkEof})) << joined;
    EXPECT_EQ(Kinds("&8"), (std::vector<TokenKind>{vbs::tkAmp, vbs::tkInteger, vbs::tkEof}));
    // A number ends where its characters end.
    EXPECT_EQ(Kinds("1e"), (std::vector<TokenKind>{vbs::tkInteger, vbs::tkIdentifier, vbs::tkEof}));
    EXPECT_EQ(Kinds("12abc"), (std::vector<TokenKind>{vbs::tkInteger, vbs::tkIdentifier, vbs::tkEof}));
    EXPECT_EQ(Kinds("1.2.3"), (std::vector<TokenKind>{vbs::tkFloat, vbs::tkFloat, vbs::tkEof}));
    EXPECT_EQ(Kinds("&HFFG"), (std::vector<TokenKind>{vbs::tkInteger, vbs::tkIdentifier, vbs::tkEof}));
}

TEST(Lexer, Strings)
{
    const std::string_view text = "\"a \"\"b\"\" c\" \"\"";
    const std::vector<vbs::Token> tokens = Scan(text);
    EXPECT_EQ(tokens[0].kind, vbs::tkString);
    EXPECT_EQ(Spellings(vbs::Lexer(text), tokens),
              (std::vector<std::string_view>{"\"a \"\"b\"\" c\"", "\"\"", ""}));
    int column = 0;
    EXPECT_EQ(ScanError("x = \"abc", &column), vbs::enUnterminatedString);
    EXPECT_EQ(column, 4);
    EXPECT_EQ(ScanError("\"abc\ndef\""), vbs::enUnterminatedString);
    EXPECT_EQ(ScanError("\"ab\"\""), vbs::enUnterminatedString);
    EXPECT_EQ(ScanError(std::string("\"\0\x01\x7F\x80\xFF\"", 7)), 0);
}

TEST(Lexer, DateLiterals)
{
    for (const char *date : {"1/31/2004", "31/1/2004", "2004-01-31", "2004/1/31", "1-31-2004",
                             "January 31, 2004", "31 Jan 2004", "Jan 2004", "dec 25", "1/31",
                             "12:30", "12:30:15", "12:30 PM", "6 pm", "0:00", "23:59:59",
                             "1/31/2004 10:00:00 AM", " 1/1/2000 ", "May 1 2000 13:00"})
        EXPECT_TRUE(vbs::IsDateText(date)) << date;
    for (const char *notDate : {"", " ", "not a date", "13/13/2000", "1/32/2000", "0/0/0", "1/2/3/4",
                                "25:00", "12:60", "13:00 PM", "12:30 XM", "12:", "1/1/2000 12",
                                "Jan Feb 1", "12345/1/1", "1//2", "Ju 1", "1/1 ;"})
        EXPECT_FALSE(vbs::IsDateText(notDate)) << notDate;
    EXPECT_EQ(Kinds("#1/1/2000#"), (std::vector<TokenKind>{vbs::tkDate, vbs::tkEof}));
    int column = 0;
    EXPECT_EQ(ScanError("d = #1/1/2000", &column), vbs::enInvalidCharacter);
    EXPECT_EQ(column, 4);
    EXPECT_EQ(ScanError("d = #1/1/2000\n#"), vbs::enInvalidCharacter);
}

// Outside strings and comments a byte is a letter (a name), a digit, one of
// the symbols of the language, a blank or a line break; anything else is an
// invalid character where it stands.
TEST(Lexer, EveryByteValue)
{
    const std::string letters1252 = "\x83\x8A\x8C\x8E\x9A\x9C\x9E\x9F\xAA\xB5\xBA";
    const std::string symbols = "()[],.:+-*/\\^&=<>'\"#_ \t\r\n";
    for (int value = 0; value < 256; ++value) {
        const char c = char(value);
        const std::string text = std::string("x ") + c;
        const bool isLetter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                              (value >= 0xC0 && value != 0xD7 && value != 0xF7) ||
                              letters1252.find(c) != std::string::npos;
        const bool isDigit = c >= '0' && c <= '9';
        const bool isSymbol = symbols.find(c) != std::string::npos && value != 0;
        int column = -1;
        const int error = ScanError(text, &column);
        if (isLetter) {
            EXPECT_EQ(error, 0) << value;
            EXPECT_EQ(Kinds(text)[1], vbs::tkIdentifier) << value;
        } else if (!isDigit && !isSymbol) {
            EXPECT_EQ(error, vbs::enInvalidCharacter) << value;
            EXPECT_EQ(column, 2) << value;
        }
        // In a string or a comment any byte but a line break is text.
        if (c != '\r' && c != '\n' && c != '"') {
            EXPECT_EQ(ScanError(std::string("\"") + c + "\""), 0) << value;
            EXPECT_EQ(Kinds(std::string("' ") + c), (std::vector<TokenKind>{vbs::tkEof})) << value;
        }
    }
}

TEST(Lexer, PeekSaveAndRestore)
{
    vbs::Lexer lexer("a b c");
    lexer.Next();
    const vbs::LexState saved = lexer.Save();
    EXPECT_EQ(lexer.Spelling(lexer.Peek()), "b");
    EXPECT_EQ(lexer.Spelling(lexer.Current()), "a");
    lexer.Next();
    lexer.Next();
    EXPECT_EQ(lexer.Spelling(lexer.Current()), "c");
    lexer.Restore(saved);
    EXPECT_EQ(lexer.Spelling(lexer.Current()), "a");
    lexer.Next();
    EXPECT_EQ(lexer.Spelling(lexer.Current()), "b");
}

} // namespace
