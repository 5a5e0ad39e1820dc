// jaVBSSynTest.cpp: the VBScript scanner: token kinds, extents and positions,
// reserved words, every character code, and a sample scanned whole and by line.
#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "highlight/jaVBSSyn.h"

namespace {

struct TTok {
    int kind;
    int pos;
    std::string text;
    bool operator==(const TTok &) const = default;
};

void PrintTo(const TTok &t, std::ostream *os)
{
    *os << "{" << t.kind << ", " << t.pos << ", \"" << t.text << "\"}";
}

// Every token of line up to the end-of-line position, which is not listed.
std::vector<TTok> Scan(TjaVbsSyn &syn, const std::string &line, int lineIndex = 0)
{
    std::vector<TTok> tokens;
    syn.SetLine(line, lineIndex);
    // every token takes at least one character
    for (size_t guard = 0; !syn.GetEol() && guard <= line.size(); ++guard) {
        tokens.push_back({syn.GetTokenKind(), syn.GetTokenPos(), syn.GetToken()});
        syn.Next();
    }
    EXPECT_TRUE(syn.GetEol()) << "no end of line in '" << line << "'";
    return tokens;
}

std::vector<TTok> Scan(const std::string &line)
{
    TjaVbsSyn syn;
    return Scan(syn, line);
}

std::vector<int> Kinds(const std::string &line)
{
    std::vector<int> kinds;
    for (const TTok &t : Scan(line))
        kinds.push_back(t.kind);
    return kinds;
}

std::vector<std::string> Texts(const std::string &line)
{
    std::vector<std::string> texts;
    for (const TTok &t : Scan(line))
        texts.push_back(t.text);
    return texts;
}

const std::vector<std::string> kReservedWords = {
    "And",  "Call",  "Case",   "Class", "Const",  "Dim",    "Do",      "Each",     "Else",     "End",
    "Eqv",  "Erase", "Error",  "Exit",  "Explicit", "For",  "Function", "Get",     "If",       "Imp",
    "Is",   "Let",   "Loop",   "Mod",   "Next",   "Not",    "On",      "Option",   "Or",       "Private",
    "property", "Public", "Randomize", "ReDim", "Rem", "Select", "Set", "Sub",     "Then",     "Wend",
    "While", "Xor"};

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

bool IsReserved(const std::string &word)
{
    static const std::set<std::string> lowered = [] {
        std::set<std::string> s;
        for (const std::string &w : kReservedWords)
            s.insert(Lower(w));
        return s;
    }();
    return lowered.count(Lower(word)) != 0;
}

// The kind of a one-character line, from the character classes of the language.
int ExpectedKindOf(int c)
{
    if ((c >= '0' && c <= '9'))
        return tkNumber;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
        return tkIdentifier;
    if (c <= 32)
        return tkSpace;
    if (c == '\'')
        return tkComment;
    if (c == '"' || c == '#')
        return tkString;
    if (std::string("&()*+,-./:;<=>^{}").find(char(c)) != std::string::npos)
        return tkSymbol;
    return tkIdentifier;
}

} // namespace

TEST(VbsScanner, ReservedWordsIgnoreCase)
{
    const std::vector<int> expected = {tkKey, tkSpace, tkKey};
    EXPECT_EQ(Kinds("End If"), expected);
    EXPECT_EQ(Kinds("end if"), expected);
    EXPECT_EQ(Kinds("END IF"), expected);
    EXPECT_EQ(Scan("End If"), (std::vector<TTok>{{tkKey, 0, "End"}, {tkSpace, 3, " "}, {tkKey, 4, "If"}}));
}

TEST(VbsScanner, WordsOfAnotherLengthAreIdentifiers)
{
    for (const char *word : {"Ends", "Endx", "Do2", "En", "If_", "_If", "Ifs", "Propertyx", "EndIf"})
        EXPECT_EQ(Scan(word), (std::vector<TTok>{{tkIdentifier, 0, word}})) << word;
    for (const char *word : {"To", "Step", "Until", "ElseIf", "Nothing", "True", "False", "Empty", "Null",
                             "MsgBox", "WScript", "Print", "_", "x"})
        EXPECT_EQ(Kinds(word), (std::vector<int>{tkIdentifier})) << word;
    // letters of high hash sum beyond the table
    EXPECT_EQ(Kinds("zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz"), (std::vector<int>{tkIdentifier}));
}

TEST(VbsScanner, EveryReservedWordInAnyCase)
{
    ASSERT_EQ(kReservedWords.size(), 42u);
    for (const std::string &word : kReservedWords) {
        std::string alternating = word;
        for (size_t i = 0; i < alternating.size(); ++i)
            alternating[i] = char(i % 2 ? std::toupper(alternating[i]) : std::tolower(alternating[i]));
        for (const std::string &form : {word, Lower(word), Upper(word), alternating}) {
            EXPECT_EQ(Scan(form), (std::vector<TTok>{{tkKey, 0, form}})) << form;
            EXPECT_EQ(Kinds(" " + form + "("), (std::vector<int>{tkSpace, tkKey, tkSymbol})) << form;
        }
    }
}

TEST(VbsScanner, NoOtherWordOfUpToThreeLettersIsReserved)
{
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyz_";
    TjaVbsSyn syn;
    int reserved = 0;
    std::string word;
    std::string line;
    for (size_t length = 1; length <= 3; ++length) {
        std::vector<size_t> digits(length, 0);
        for (;;) {
            word.assign(length, ' ');
            for (size_t i = 0; i < length; ++i)
                word[i] = alphabet[digits[i]];
            line = word;
            syn.SetLine(line, 0);
            const int kind = syn.GetTokenKind();
            ASSERT_EQ(kind, IsReserved(word) ? tkKey : tkIdentifier) << word;
            reserved += kind == tkKey;
            size_t i = 0;
            while (i < length && ++digits[i] == alphabet.size())
                digits[i++] = 0;
            if (i == length)
                break;
        }
    }
    // Do If Is On Or; And Dim End Eqv For Get Imp Let Mod Not Rem Set Sub Xor
    EXPECT_EQ(reserved, 19);
}

TEST(VbsScanner, WordsWithAReservedWordsHashAndLengthAreIdentifiers)
{
    // Same letters in another order, and one letter up with another down:
    // these reach the keyword comparison with the right length and hash.
    TjaVbsSyn syn;
    int compared = 0;
    for (const std::string &keyword : kReservedWords) {
        std::vector<std::string> variants;
        std::string reversed(keyword.rbegin(), keyword.rend());
        variants.push_back(reversed);
        for (size_t r = 1; r < keyword.size(); ++r)
            variants.push_back(keyword.substr(r) + keyword.substr(0, r));
        const std::string lower = Lower(keyword);
        for (size_t i = 0; i < lower.size(); ++i)
            for (size_t j = 0; j < lower.size(); ++j) {
                if (i == j || lower[i] == 'z' || lower[j] == 'a')
                    continue;
                std::string v = lower;
                ++v[i];
                --v[j];
                variants.push_back(v);
            }
        for (const std::string &v : variants) {
            syn.SetLine(v, 0);
            ASSERT_EQ(syn.GetToken(), v);
            EXPECT_EQ(syn.GetTokenKind(), IsReserved(v) ? tkKey : tkIdentifier) << v << " from " << keyword;
            ++compared;
        }
    }
    EXPECT_GT(compared, 500);
}

TEST(VbsScanner, RemIsOnlyAReservedWord)
{
    EXPECT_EQ(Kinds("Rem note here x"),
              (std::vector<int>{tkKey, tkSpace, tkIdentifier, tkSpace, tkIdentifier, tkSpace, tkIdentifier}));
    EXPECT_EQ(Kinds("x ' Rem"), (std::vector<int>{tkIdentifier, tkSpace, tkComment}));
}

TEST(VbsScanner, NumbersTakeFullStopsAndE)
{
    EXPECT_EQ(Scan("x = 1.5E3 'note"), (std::vector<TTok>{{tkIdentifier, 0, "x"},
                                                          {tkSpace, 1, " "},
                                                          {tkSymbol, 2, "="},
                                                          {tkSpace, 3, " "},
                                                          {tkNumber, 4, "1.5E3"},
                                                          {tkSpace, 9, " "},
                                                          {tkComment, 10, "'note"}}));
    EXPECT_EQ(Scan("1e-5"), (std::vector<TTok>{{tkNumber, 0, "1e"}, {tkSymbol, 2, "-"}, {tkNumber, 3, "5"}}));
    EXPECT_EQ(Scan("&H1F"), (std::vector<TTok>{{tkSymbol, 0, "&"}, {tkIdentifier, 1, "H1F"}}));
    EXPECT_EQ(Texts("1.2.3eE4x"), (std::vector<std::string>{"1.2.3eE4", "x"}));
    EXPECT_EQ(Texts(".5"), (std::vector<std::string>{".", "5"}));
    EXPECT_EQ(Kinds("12_"), (std::vector<int>{tkNumber, tkIdentifier}));
}

TEST(VbsScanner, TwoCharacterOperators)
{
    for (const char *op : {"<>", "<=", ">="})
        EXPECT_EQ(Scan(std::string("a ") + op + " b"),
                  (std::vector<TTok>{{tkIdentifier, 0, "a"}, {tkSpace, 1, " "}, {tkSymbol, 2, op},
                                     {tkSpace, 4, " "}, {tkIdentifier, 5, "b"}}))
            << op;
    EXPECT_EQ(Texts("a => b"), (std::vector<std::string>{"a", " ", "=", ">", " ", "b"}));
    EXPECT_EQ(Texts("<<>>=<"), (std::vector<std::string>{"<", "<>", ">=", "<"}));
    EXPECT_EQ(Texts("><"), (std::vector<std::string>{">", "<"}));
}

TEST(VbsScanner, SpaceRuns)
{
    EXPECT_EQ(Scan("\t   x"), (std::vector<TTok>{{tkSpace, 0, "\t   "}, {tkIdentifier, 4, "x"}}));
    EXPECT_EQ(Texts(std::string("\x01\x0B\x0C\x1F ") + "a"), (std::vector<std::string>{"\x01\x0B\x0C\x1F ", "a"}));
    // line breaks are space tokens of their own
    EXPECT_EQ(Texts(" \r\n \n\r\r\n"), (std::vector<std::string>{" ", "\r\n", " ", "\n", "\r", "\r\n"}));
    EXPECT_EQ(Kinds("\r\n"), (std::vector<int>{tkSpace}));
}

TEST(VbsScanner, StringRule)
{
    EXPECT_EQ(Scan("\"\"\"x\""), (std::vector<TTok>{{tkString, 0, "\"\"\"x\""}}));
    EXPECT_EQ(Scan("s = \"abc"), (std::vector<TTok>{{tkIdentifier, 0, "s"}, {tkSpace, 1, " "}, {tkSymbol, 2, "="},
                                                  {tkSpace, 3, " "}, {tkString, 4, "\"abc"}}));
    // a doubled quote later on ends the token
    EXPECT_EQ(Scan("\"a\"\"b\""), (std::vector<TTok>{{tkString, 0, "\"a\""}, {tkString, 3, "\"b\""}}));
    EXPECT_EQ(Texts("\"\"x"), (std::vector<std::string>{"\"\"", "x"}));
    EXPECT_EQ(Texts("\"\"\""), (std::vector<std::string>{"\"\"\""}));
    EXPECT_EQ(Texts("\""), (std::vector<std::string>{"\""}));
    EXPECT_EQ(Texts("\"it's # here\" 'c"), (std::vector<std::string>{"\"it's # here\"", " ", "'c"}));
    // an unterminated string stops at a line break and takes it
    EXPECT_EQ(Texts("\"ab\r\nx"), (std::vector<std::string>{"\"ab\r", "\n", "x"}));
}

TEST(VbsScanner, DateRule)
{
    EXPECT_EQ(Scan("#1/1/2000#"), (std::vector<TTok>{{tkString, 0, "#1/1/2000#"}}));
    EXPECT_EQ(Texts("d = #1/1/2000# + 1"),
              (std::vector<std::string>{"d", " ", "=", " ", "#1/1/2000#", " ", "+", " ", "1"}));
    EXPECT_EQ(Texts("#12:00"), (std::vector<std::string>{"#12:00"}));
    // no opening skip: ## is an empty date
    EXPECT_EQ(Texts("###"), (std::vector<std::string>{"##", "#"}));
    EXPECT_EQ(Texts("#\"x\"#"), (std::vector<std::string>{"#\"x\"#"}));
}

TEST(VbsScanner, CommentsRunToTheLineEnd)
{
    EXPECT_EQ(Scan("' \"not a string\" If"), (std::vector<TTok>{{tkComment, 0, "' \"not a string\" If"}}));
    EXPECT_EQ(Texts("x'a\r\ny"), (std::vector<std::string>{"x", "'a", "\r\n", "y"}));
}

TEST(VbsScanner, OddCodesAreOneCharacterIdentifiers)
{
    EXPECT_EQ(Scan("["), (std::vector<TTok>{{tkIdentifier, 0, "["}}));
    EXPECT_EQ(Scan("\xC8"), (std::vector<TTok>{{tkIdentifier, 0, "\xC8"}}));
    EXPECT_EQ(Scan("[[a]"),
              (std::vector<TTok>{{tkIdentifier, 0, "["}, {tkIdentifier, 1, "["}, {tkIdentifier, 2, "a"},
                                 {tkIdentifier, 3, "]"}}));
    EXPECT_EQ(Texts("caf\xE9"), (std::vector<std::string>{"caf", "\xE9"}));
}

TEST(VbsScanner, EveryCharacterCodeHasItsKind)
{
    for (int c = 1; c < 256; ++c) {
        const std::string line(1, char(c));
        EXPECT_EQ(Scan(line), (std::vector<TTok>{{ExpectedKindOf(c), 0, line}})) << "code " << c;
    }
}

TEST(VbsScanner, EmptyLineAndTheEndOfLinePosition)
{
    TjaVbsSyn syn;
    EXPECT_TRUE(syn.GetEol()); // before any line
    const std::string empty;
    syn.SetLine(empty, 4);
    EXPECT_TRUE(syn.GetEol());
    EXPECT_EQ(syn.GetTokenKind(), tkNull);
    EXPECT_EQ(syn.GetTokenPos(), 0);
    EXPECT_EQ(syn.GetToken(), "");

    const std::string line = "If x";
    syn.SetLine(line, 0);
    syn.NextToEol();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(syn.GetTokenKind(), tkNull);
        EXPECT_EQ(syn.GetTokenPos(), 4);
        EXPECT_EQ(syn.GetToken(), "");
        syn.Next();
    }
}

TEST(VbsScanner, RangeIsCarriedNotChanged)
{
    TjaVbsSyn syn;
    EXPECT_EQ(syn.GetRange(), 1);
    syn.SetRange(0x1FE);
    EXPECT_EQ(syn.GetRange(), 0xFE);
    const std::string line = "\"open 'x #";
    syn.SetLine(line, 0);
    syn.NextToEol();
    EXPECT_EQ(syn.GetRange(), 0xFE);
    syn.ResetRange();
    EXPECT_EQ(syn.GetRange(), 1);
    syn.SetLine(line, 0);
    syn.NextToEol();
    EXPECT_EQ(syn.GetRange(), 1);
}

TEST(VbsScanner, RandomLinesAreTiledByTokensAndKeepTheirRange)
{
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> code(1, 255), length(0, 80);
    TjaVbsSyn syn;
    for (int n = 0; n < 3000; ++n) {
        std::string line(size_t(length(random)), ' ');
        for (char &c : line)
            c = char(code(random));
        std::string joined;
        int next = 0;
        for (const TTok &t : Scan(syn, line)) {
            ASSERT_EQ(t.pos, next) << n;
            ASSERT_FALSE(t.text.empty()) << n;
            ASSERT_NE(t.kind, tkNull);
            ASSERT_NE(t.kind, tkUnknown);
            joined += t.text;
            next += int(t.text.size());
        }
        ASSERT_EQ(joined, line) << n;
        ASSERT_EQ(syn.GetTokenPos(), int(line.size()));
        // The range a scan ends in is the one the editor takes without scanning.
        const int start = code(random) * (n % 3 - 1);
        int range = start;
        ASSERT_TRUE(syn.RangeAfterAnyLine(range));
        syn.SetRange(start);
        syn.SetLine(line, 0);
        syn.NextToEol();
        ASSERT_EQ(syn.GetRange(), range) << n;
    }
}

TEST(VbsScanner, HighlighterFacts)
{
    TjaVbsSyn syn;
    EXPECT_EQ(syn.GetLanguageName(), "MS VBScript");
    EXPECT_EQ(syn.GetCapabilities(), hcImportSettings | hcRegistry);
    EXPECT_EQ(syn.DefaultFilter(), "VBScript files (*.vbs)|*.VBS");
    const TzeIdentChars chars = syn.GetIdentChars();
    EXPECT_EQ(chars.count(), 63u);
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(chars[size_t(c)], std::isalnum(c) != 0 || c == '_') << c;

    const std::vector<std::string> names = {"comment", "identifier", "number", "reserved word",
                                            "space",   "string",     "symbol"};
    ASSERT_EQ(syn.AttrCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(syn.Attribute(i)->Name(), names[size_t(i)]);
        EXPECT_EQ(syn.Attribute(i)->Background(), clWindow);
        EXPECT_EQ(syn.Attribute(i)->Foreground(), clWindowText);
    }
    EXPECT_EQ(syn.Attribute(0), syn.CommentAttri());
    EXPECT_EQ(syn.Attribute(1), syn.IdentifierAttri());
    EXPECT_EQ(syn.Attribute(2), syn.NumberAttri());
    EXPECT_EQ(syn.Attribute(3), syn.KeyAttri());
    EXPECT_EQ(syn.Attribute(4), syn.SpaceAttri());
    EXPECT_EQ(syn.Attribute(5), syn.StringAttri());
    EXPECT_EQ(syn.Attribute(6), syn.SymbolAttri());
    EXPECT_EQ(syn.CommentAttri()->Style(), TFontStyles(fsItalic));
    EXPECT_EQ(syn.KeyAttri()->Style(), TFontStyles(fsBold));
    for (TzeHighLightAttributes *a : {syn.IdentifierAttri(), syn.NumberAttri(), syn.SpaceAttri(),
                                      syn.StringAttri(), syn.SymbolAttri()})
        EXPECT_TRUE(a->Style().Empty()) << a->Name();
}

namespace {

const std::vector<std::string> kSample = {
    "Option Explicit",
    "' Greets the user",
    "Dim msg, n",
    "msg = \"Hello, \"\"world\"\"\"",
    "If n >= 10 Then MsgBox msg & #1/2/2003#",
    "",
    "Private Function Twice(ByVal x)",
    "\tTwice = x * 2.5e1 ' scaled",
    "End Function",
};

} // namespace

TEST(VbsScanner, SampleScript)
{
    TjaVbsSyn syn;
    std::vector<std::vector<TTok>> lines;
    for (size_t i = 0; i < kSample.size(); ++i)
        lines.push_back(Scan(syn, kSample[i], int(i)));
    EXPECT_EQ(lines[0], (std::vector<TTok>{{tkKey, 0, "Option"}, {tkSpace, 6, " "}, {tkKey, 7, "Explicit"}}));
    EXPECT_EQ(lines[1], (std::vector<TTok>{{tkComment, 0, "' Greets the user"}}));
    EXPECT_EQ(lines[2], (std::vector<TTok>{{tkKey, 0, "Dim"}, {tkSpace, 3, " "}, {tkIdentifier, 4, "msg"},
                                           {tkSymbol, 7, ","}, {tkSpace, 8, " "}, {tkIdentifier, 9, "n"}}));
    EXPECT_EQ(lines[3], (std::vector<TTok>{{tkIdentifier, 0, "msg"},
                                           {tkSpace, 3, " "},
                                           {tkSymbol, 4, "="},
                                           {tkSpace, 5, " "},
                                           {tkString, 6, "\"Hello, \""},
                                           {tkString, 15, "\"world\""},
                                           {tkString, 22, "\"\""}}));
    EXPECT_EQ(lines[4], (std::vector<TTok>{{tkKey, 0, "If"},
                                           {tkSpace, 2, " "},
                                           {tkIdentifier, 3, "n"},
                                           {tkSpace, 4, " "},
                                           {tkSymbol, 5, ">="},
                                           {tkSpace, 7, " "},
                                           {tkNumber, 8, "10"},
                                           {tkSpace, 10, " "},
                                           {tkKey, 11, "Then"},
                                           {tkSpace, 15, " "},
                                           {tkIdentifier, 16, "MsgBox"},
                                           {tkSpace, 22, " "},
                                           {tkIdentifier, 23, "msg"},
                                           {tkSpace, 26, " "},
                                           {tkSymbol, 27, "&"},
                                           {tkSpace, 28, " "},
                                           {tkString, 29, "#1/2/2003#"}}));
    EXPECT_TRUE(lines[5].empty());
    EXPECT_EQ(lines[6], (std::vector<TTok>{{tkKey, 0, "Private"},
                                           {tkSpace, 7, " "},
                                           {tkKey, 8, "Function"},
                                           {tkSpace, 16, " "},
                                           {tkIdentifier, 17, "Twice"},
                                           {tkSymbol, 22, "("},
                                           {tkIdentifier, 23, "ByVal"},
                                           {tkSpace, 28, " "},
                                           {tkIdentifier, 29, "x"},
                                           {tkSymbol, 30, ")"}}));
    EXPECT_EQ(lines[7], (std::vector<TTok>{{tkSpace, 0, "\t"},
                                           {tkIdentifier, 1, "Twice"},
                                           {tkSpace, 6, " "},
                                           {tkSymbol, 7, "="},
                                           {tkSpace, 8, " "},
                                           {tkIdentifier, 9, "x"},
                                           {tkSpace, 10, " "},
                                           {tkSymbol, 11, "*"},
                                           {tkSpace, 12, " "},
                                           {tkNumber, 13, "2.5e1"},
                                           {tkSpace, 18, " "},
                                           {tkComment, 19, "' scaled"}}));
    EXPECT_EQ(lines[8], (std::vector<TTok>{{tkKey, 0, "End"}, {tkSpace, 3, " "}, {tkKey, 4, "Function"}}));
}

TEST(VbsScanner, WholeTextScansLikeLineByLine)
{
    // Line by line as the line list does it: each line starts in the range the
    // previous one left.
    TjaVbsSyn syn;
    syn.ResetRange();
    std::vector<TTok> perLine;
    std::vector<int> lineStarts;
    int offset = 0;
    for (size_t i = 0; i < kSample.size(); ++i) {
        const int range = syn.GetRange();
        syn.SetRange(range);
        for (TTok t : Scan(syn, kSample[i], int(i))) {
            t.pos += offset;
            perLine.push_back(t);
        }
        offset += int(kSample[i].size()) + 2;
    }

    std::string whole;
    for (const std::string &line : kSample)
        whole += line + "\r\n";
    std::vector<TTok> wholeTokens;
    for (const TTok &t : Scan(syn, whole))
        if (t.text != "\r\n")
            wholeTokens.push_back(t);
    EXPECT_EQ(wholeTokens, perLine);
}
