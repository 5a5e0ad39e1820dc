// VbsLexer.cpp: the scanner proper: whitespace, comments (' and Rem), line
// continuation, names and keywords, numbers, strings and date literals; and
// the date-literal check.
#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cstring>
#include <string_view>
#include <vector>

#include "vbscript/VbsErrors.h"
#include "vbscript/VbsLexer.h"

namespace vbs {

namespace {

// Letters of Windows-1252: ASCII ones and those that map to Unicode letters.
constexpr std::array<bool, 256> kLetter = [] {
    std::array<bool, 256> table{};
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = table[c + 32] = true;
    for (int c : {0x83, 0x8A, 0x8C, 0x8E, 0x9A, 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA})
        table[c] = true;
    for (int c = 0xC0; c <= 0xFF; ++c)
        table[c] = c != 0xD7 && c != 0xF7;
    return table;
}();

constexpr bool IsLetter(unsigned char c) noexcept { return kLetter[c]; }
constexpr bool IsDigit(unsigned char c) noexcept { return c >= '0' && c <= '9'; }
constexpr bool IsWordChar(unsigned char c) noexcept { return kLetter[c] || IsDigit(c) || c == '_'; }
constexpr bool IsHexDigit(unsigned char c) noexcept
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
constexpr bool IsOctalDigit(unsigned char c) noexcept { return c >= '0' && c <= '7'; }
constexpr bool IsLineBreak(char c) noexcept { return c == '\r' || c == '\n'; }
constexpr char LowerAscii(char c) noexcept { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

// Tokens of one character that no other token starts with; tkEof for none.
constexpr std::array<TokenKind, 256> kSymbol = [] {
    std::array<TokenKind, 256> table{};
    table[':'] = tkColon;
    table[','] = tkComma;
    table['('] = tkLParen;
    table[')'] = tkRParen;
    table['+'] = tkPlus;
    table['-'] = tkMinus;
    table['*'] = tkStar;
    table['/'] = tkSlash;
    table['\\'] = tkBackslash;
    table['^'] = tkCaret;
    return table;
}();

// Scanned like a keyword but never a token: the rest of its line is a comment.
constexpr TokenKind tkRem = TokenKind(0xFF);

struct Keyword {
    std::string_view name; // lower case
    TokenKind kind;
};

constexpr Keyword kKeywords[] = {
    {"and", tkAnd}, {"byref", tkByRef}, {"byval", tkByVal}, {"call", tkCall},
    {"case", tkCase}, {"class", tkClass}, {"const", tkConst}, {"default", tkDefault},
    {"dim", tkDim}, {"do", tkDo}, {"each", tkEach}, {"else", tkElse},
    {"elseif", tkElseIf}, {"empty", tkEmpty}, {"end", tkEnd}, {"eqv", tkEqv},
    {"erase", tkErase}, {"error", tkError}, {"exit", tkExit}, {"explicit", tkExplicit},
    {"false", tkFalse}, {"for", tkFor}, {"function", tkFunction}, {"get", tkGet},
    {"goto", tkGoTo}, {"if", tkIf}, {"imp", tkImp}, {"in", tkIn},
    {"is", tkIs}, {"let", tkLet}, {"loop", tkLoop}, {"me", tkMe},
    {"mod", tkMod}, {"new", tkNew}, {"next", tkNext}, {"not", tkNot},
    {"nothing", tkNothing}, {"null", tkNull}, {"on", tkOn}, {"option", tkOption},
    {"or", tkOr}, {"preserve", tkPreserve}, {"private", tkPrivate}, {"property", tkProperty},
    {"public", tkPublic}, {"redim", tkReDim}, {"rem", tkRem}, {"resume", tkResume},
    {"select", tkSelect}, {"set", tkSet}, {"step", tkStep}, {"stop", tkStop},
    {"sub", tkSub}, {"then", tkThen}, {"to", tkTo}, {"true", tkTrue},
    {"until", tkUntil}, {"wend", tkWend}, {"while", tkWhile}, {"with", tkWith},
    {"xor", tkXor},
};

constexpr std::size_t kLongestKeyword = 8;
constexpr std::size_t kKeywordSlots = 256;

constexpr std::size_t KeywordHash(char first, char last, std::size_t length) noexcept
{
    return (std::size_t(LowerAscii(first)) * 7 + std::size_t(LowerAscii(last)) * 3 + length * 11) %
           kKeywordSlots;
}

// Open addressing by first letter, last letter and length; 0 marks a free slot.
struct KeywordTable {
    std::array<std::uint8_t, kKeywordSlots> slot{}; // index into kKeywords plus 1
    KeywordTable() noexcept
    {
        for (std::size_t i = 0; i < std::size(kKeywords); ++i) {
            const std::string_view name = kKeywords[i].name;
            std::size_t h = KeywordHash(name.front(), name.back(), name.size());
            while (slot[h] != 0)
                h = (h + 1) % kKeywordSlots;
            slot[h] = std::uint8_t(i + 1);
        }
    }
};

TokenKind LookupKeyword(std::string_view word) noexcept
{
    static const KeywordTable table;
    if (word.size() < 2 || word.size() > kLongestKeyword)
        return tkIdentifier;
    for (std::size_t h = KeywordHash(word.front(), word.back(), word.size());
         table.slot[h] != 0; h = (h + 1) % kKeywordSlots) {
        const Keyword &keyword = kKeywords[table.slot[h] - 1];
        if (keyword.name.size() != word.size())
            continue;
        std::size_t i = 0;
        while (i < word.size() && LowerAscii(word[i]) == keyword.name[i])
            ++i;
        if (i == word.size())
            return keyword.kind;
    }
    return tkIdentifier;
}

} // namespace

void Lexer::Emit(TokenKind kind, std::size_t start, std::size_t end, bool bracketed) noexcept
{
    Token &token = m_state.token;
    token.kind = kind;
    token.bracketed = bracketed;
    token.line = m_state.lineNumber;
    token.start = start;
    token.length = end - start;
    token.lineStart = m_state.lineStart;
    m_state.current = end;
}

// first alone, or first followed by second1 or second2 as one token.
void Lexer::EmitOperator(std::size_t at, char second1, TokenKind kind1, char second2, TokenKind kind2,
                         TokenKind single) noexcept
{
    const char next = at + 1 < m_text.size() ? m_text[at + 1] : '\0';
    if (next == second1)
        Emit(kind1, at, at + 2);
    else if (next == second2)
        Emit(kind2, at, at + 2);
    else
        Emit(single, at, at + 1);
}

void Lexer::Fail(int number, std::size_t offset) const
{
    ReportError(number, m_text, m_state.lineNumber, m_state.lineStart, offset);
}

std::size_t Lexer::LineEnd(std::size_t from) const noexcept
{
    while (from < m_text.size() && !IsLineBreak(m_text[from]))
        ++from;
    return from;
}

std::string_view Lexer::Spelling(const Token &token) const noexcept
{
    if (token.bracketed)
        return m_text.substr(token.start + 1, token.length - 2);
    return m_text.substr(token.start, token.length);
}

Token Lexer::Peek()
{
    const LexState saved = m_state;
    Next();
    const Token next = m_state.token;
    m_state = saved;
    return next;
}

void Lexer::Next()
{
    const std::size_t size = m_text.size();
    // A comment belongs to the line end after it: that token starts with it.
    std::size_t comment = std::string_view::npos;
    for (;;) {
        const std::size_t i = m_state.current;
        if (i >= size) {
            Emit(tkEof, std::min(comment, size), size);
            return;
        }
        const unsigned char c = static_cast<unsigned char>(m_text[i]);
        switch (c) {
        case ' ':
        case '\t':
            ++m_state.current;
            continue;
        case '\r':
        case '\n': {
            const std::size_t end = c == '\r' && i + 1 < size && m_text[i + 1] == '\n' ? i + 2 : i + 1;
            Emit(tkNewline, std::min(comment, i), end);
            ++m_state.lineNumber;
            m_state.lineStart = end;
            return;
        }
        case '\'':
            comment = i;
            m_state.current = LineEnd(i);
            continue;
        case '_':
            if (!SkipContinuation(i))
                Fail(enInvalidCharacter, i);
            continue;
        case '"':
            ScanString(i);
            return;
        case '#':
            ScanDate(i);
            return;
        case '[':
            ScanBracketed(i);
            return;
        case '&':
            ScanAmpersand(i);
            return;
        case '.':
            if (i + 1 < size && IsDigit(static_cast<unsigned char>(m_text[i + 1])))
                ScanNumber(i);
            else
                Emit(tkDot, i, i + 1);
            return;
        // The engine also takes the old spellings =< => and ><.
        case '=':
            EmitOperator(i, '<', tkLe, '>', tkGe, tkEq);
            return;
        case '<':
            EmitOperator(i, '=', tkLe, '>', tkNe, tkLt);
            return;
        case '>':
            EmitOperator(i, '=', tkGe, '<', tkNe, tkGt);
            return;
        default:
            if (IsDigit(c)) {
                ScanNumber(i);
                return;
            }
            if (kSymbol[c] != tkEof) {
                Emit(kSymbol[c], i, i + 1);
                return;
            }
            if (!IsLetter(c))
                Fail(enInvalidCharacter, i);
            ScanWord(i);
            if (m_state.token.kind != tkRem)
                return;
            comment = i;
            m_state.current = LineEnd(m_state.current);
            continue;
        }
    }
}

// " _" continues a statement on the next line: only blanks may follow the
// underscore on its line. The end of the text counts as a line end.
bool Lexer::SkipContinuation(std::size_t underscore) noexcept
{
    std::size_t j = underscore + 1;
    while (j < m_text.size() && (m_text[j] == ' ' || m_text[j] == '\t'))
        ++j;
    if (j == m_text.size()) {
        m_state.current = j;
        return true;
    }
    if (!IsLineBreak(m_text[j]))
        return false;
    j += m_text[j] == '\r' && j + 1 < m_text.size() && m_text[j + 1] == '\n' ? 2 : 1;
    m_state.current = j;
    ++m_state.lineNumber;
    m_state.lineStart = j;
    return true;
}

// A name or keyword; "Rem" comes back as tkRem unless it follows a '.'.
void Lexer::ScanWord(std::size_t start)
{
    std::size_t end = start + 1;
    while (end < m_text.size() && IsWordChar(static_cast<unsigned char>(m_text[end])))
        ++end;
    if (end - start > kMaxIdentifierLength)
        Fail(enIdentifierTooLong, start);
    TokenKind kind = LookupKeyword(m_text.substr(start, end - start));
    if (kind == tkRem && m_state.token.kind == tkDot)
        kind = tkIdentifier;
    Emit(kind, start, end);
}

// [any text but ']' on one line]: a name that may hold blanks and symbols.
void Lexer::ScanBracketed(std::size_t start)
{
    std::size_t end = start + 1;
    while (end < m_text.size() && m_text[end] != ']' && !IsLineBreak(m_text[end]))
        ++end;
    if (end == m_text.size() || m_text[end] != ']')
        Fail(enExpectedRBracket, end);
    if (end - start - 1 > kMaxIdentifierLength)
        Fail(enIdentifierTooLong, start);
    Emit(tkIdentifier, start, end + 1, true);
}

// digits [. digits] [E [+|-] digits], or . digits [exponent]. An E without
// digits after it ends the number. A value beyond Double is "Invalid number".
void Lexer::ScanNumber(std::size_t start)
{
    const std::size_t size = m_text.size();
    auto digitAt = [&](std::size_t at) {
        return at < size && IsDigit(static_cast<unsigned char>(m_text[at]));
    };
    std::size_t end = start;
    while (digitAt(end))
        ++end;
    const std::size_t integerDigits = end - start;
    bool isFloat = false;
    if (end < size && m_text[end] == '.') {
        isFloat = true;
        ++end;
        while (digitAt(end))
            ++end;
    }
    long exponent = 0;
    bool hasExponent = false;
    if (end < size && LowerAscii(m_text[end]) == 'e') {
        std::size_t at = end + 1;
        const bool negative = at < size && m_text[at] == '-';
        if (at < size && (m_text[at] == '+' || m_text[at] == '-'))
            ++at;
        if (digitAt(at)) {
            hasExponent = isFloat = true;
            while (digitAt(at)) {
                if (exponent < 100000)
                    exponent = exponent * 10 + (m_text[at] - '0');
                ++at;
            }
            if (negative)
                exponent = -exponent;
            end = at;
        }
    }
    if (hasExponent || end - start > 300) {
        double value = 0;
        const auto result = std::from_chars(m_text.data() + start, m_text.data() + end, value);
        std::size_t significant = 0; // integer digits without leading zeros
        for (std::size_t k = start; k < start + integerDigits; ++k)
            if (significant > 0 || m_text[k] != '0')
                ++significant;
        if (result.ec == std::errc::result_out_of_range && long(significant) + exponent > 0)
            Fail(enInvalidNumber, start);
    }
    Emit(isFloat ? tkFloat : tkInteger, start, end);
}

// '&' starts a number only where a digit of its base follows the prefix:
// &H1F, &O17 and &17 (octal). Otherwise it is the concatenation operator and
// the letters after it start a name: "a"&hostName, "\"&objFolder.Name. An &H
// or &O that no letter, digit or '_' follows is an invalid number.
void Lexer::ScanAmpersand(std::size_t start)
{
    const auto byteAt = [this](std::size_t at) -> unsigned char {
        return at < m_text.size() ? static_cast<unsigned char>(m_text[at]) : '\0';
    };
    const unsigned char prefix = byteAt(start + 1);
    if (IsOctalDigit(prefix)) {
        ScanRadix(start, start + 1, 8);
        return;
    }
    const char letter = LowerAscii(char(prefix));
    if (letter == 'h' || letter == 'o') {
        const unsigned char first = byteAt(start + 2);
        if (letter == 'h' ? IsHexDigit(first) : IsOctalDigit(first)) {
            ScanRadix(start, start + 2, letter == 'h' ? 16 : 8);
            return;
        }
        if (!IsWordChar(first))
            Fail(enInvalidNumber, start);
    }
    Emit(tkAmp, start, start + 1);
}

// The digits of base (8 or 16) from digits on, at least one, at most 32 bits,
// optionally followed by '&'.
void Lexer::ScanRadix(std::size_t start, std::size_t digits, unsigned base)
{
    std::size_t end = digits;
    std::uint64_t value = 0;
    while (end < m_text.size()) {
        const unsigned char c = static_cast<unsigned char>(m_text[end]);
        if (base == 16 ? !IsHexDigit(c) : !IsOctalDigit(c))
            break;
        const unsigned digit = IsDigit(c) ? c - '0' : unsigned(LowerAscii(char(c)) - 'a' + 10);
        value = value * base + digit;
        if (value > 0xFFFFFFFFu)
            Fail(enInvalidNumber, start);
        ++end;
    }
    assert(end > digits);
    if (end < m_text.size() && m_text[end] == '&')
        ++end;
    Emit(tkInteger, start, end);
}

// "..." on one line; "" inside stands for one quote.
void Lexer::ScanString(std::size_t start)
{
    std::size_t end = start + 1;
    for (;;) {
        while (end < m_text.size() && m_text[end] != '"' && !IsLineBreak(m_text[end]))
            ++end;
        if (end == m_text.size() || m_text[end] != '"')
            Fail(enUnterminatedString, start);
        if (end + 1 < m_text.size() && m_text[end + 1] == '"') {
            end += 2;
            continue;
        }
        Emit(tkString, start, end + 1);
        return;
    }
}

// #date# on one line; a '#' that starts no valid date is an invalid character.
void Lexer::ScanDate(std::size_t start)
{
    std::size_t end = start + 1;
    while (end < m_text.size() && m_text[end] != '#' && !IsLineBreak(m_text[end]))
        ++end;
    if (end == m_text.size() || m_text[end] != '#' ||
        !IsDateText(m_text.substr(start + 1, end - start - 1)))
        Fail(enInvalidCharacter, start);
    Emit(tkDate, start, end + 1);
}

namespace {

// One piece of a date literal.
struct DatePart {
    enum Kind : std::uint8_t { dpNumber, dpMonth, dpMeridiem, dpDateSeparator, dpColon, dpComma } kind;
    long value = 0; // number, or month 1..12
};

constexpr std::string_view kMonths[] = {"january", "february", "march", "april", "may", "june",
                                        "july", "august", "september", "october", "november",
                                        "december"};

bool SplitDate(std::string_view text, std::vector<DatePart> &parts)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (IsDigit(c)) {
            long value = 0;
            std::size_t digits = 0;
            // More than four digits fail below; the value stops growing before it could overflow.
            for (; i < text.size() && IsDigit(static_cast<unsigned char>(text[i])); ++i, ++digits)
                if (digits < 5)
                    value = value * 10 + (text[i] - '0');
            if (digits > 4)
                return false;
            parts.push_back({DatePart::dpNumber, value});
        } else if (c < 0x80 && IsLetter(c)) {
            std::string word;
            for (; i < text.size() && static_cast<unsigned char>(text[i]) < 0x80 &&
                   IsLetter(static_cast<unsigned char>(text[i])); ++i)
                word += LowerAscii(text[i]);
            if (word == "am" || word == "pm" || word == "a" || word == "p") {
                parts.push_back({DatePart::dpMeridiem, 0});
                continue;
            }
            long month = 0;
            for (long m = 0; m < 12; ++m)
                if (word.size() >= 3 && kMonths[m].substr(0, word.size()) == word)
                    month = m + 1;
            if (month == 0)
                return false;
            parts.push_back({DatePart::dpMonth, month});
        } else if (c == '/' || c == '-' || c == '.') {
            parts.push_back({DatePart::dpDateSeparator, 0});
            ++i;
        } else if (c == ':') {
            parts.push_back({DatePart::dpColon, 0});
            ++i;
        } else if (c == ',') {
            parts.push_back({DatePart::dpComma, 0});
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

bool PlausibleDay(long day) noexcept { return day >= 1 && day <= 31; }
bool PlausibleMonth(long month) noexcept { return month >= 1 && month <= 12; }

// Numeric dates in month/day/year, day/month/year or year/month/day order;
// two numbers are month/day, day/month or month/year.
bool PlausibleNumericDate(const std::vector<long> &n) noexcept
{
    if (n.size() == 3)
        return (PlausibleMonth(n[0]) && PlausibleDay(n[1])) ||
               (PlausibleDay(n[0]) && PlausibleMonth(n[1])) ||
               (n[0] >= 100 && PlausibleMonth(n[1]) && PlausibleDay(n[2]));
    if (n.size() == 2)
        return (PlausibleMonth(n[0]) && (PlausibleDay(n[1]) || n[1] >= 100)) ||
               (PlausibleDay(n[0]) && PlausibleMonth(n[1])) ||
               (n[0] >= 100 && PlausibleMonth(n[1]));
    return false;
}

} // namespace

bool IsDateText(std::string_view text) noexcept
{
    std::vector<DatePart> parts;
    if (!SplitDate(text, parts) || parts.empty())
        return false;
    std::size_t i = 0;
    auto is = [&](DatePart::Kind kind) { return i < parts.size() && parts[i].kind == kind; };
    auto startsTime = [&] {
        return is(DatePart::dpNumber) && i + 1 < parts.size() &&
               (parts[i + 1].kind == DatePart::dpColon || parts[i + 1].kind == DatePart::dpMeridiem);
    };
    bool any = false;
    if (!startsTime()) {
        // Date: numbers and at most one month name, separated by / - . , or blanks.
        std::vector<long> numbers;
        long month = 0;
        bool separated = true; // no separator yet, or one just seen
        while (i < parts.size() && !startsTime()) {
            const bool separator = is(DatePart::dpDateSeparator) || is(DatePart::dpComma);
            if (separator && separated)
                return false;
            separated = separator;
            if (is(DatePart::dpNumber)) {
                numbers.push_back(parts[i].value);
            } else if (is(DatePart::dpMonth)) {
                if (month != 0)
                    return false;
                month = parts[i].value;
            } else if (!separator) {
                return false;
            }
            ++i;
        }
        if (separated)
            return false;
        if (month != 0) {
            if (numbers.empty() || numbers.size() > 2)
                return false;
            if (numbers.size() == 2 && !PlausibleDay(numbers[0]) && !PlausibleDay(numbers[1]))
                return false;
        } else if (!PlausibleNumericDate(numbers)) {
            return false;
        }
        any = true;
    }
    if (i < parts.size()) {
        // Time: h[:m[:s]] [AM|PM], or h AM|PM.
        if (!is(DatePart::dpNumber))
            return false;
        long fields[3] = {parts[i].value, 0, 0};
        ++i;
        int count = 1;
        while (count < 3 && is(DatePart::dpColon)) {
            ++i;
            if (!is(DatePart::dpNumber))
                return false;
            fields[count++] = parts[i++].value;
        }
        const bool meridiem = is(DatePart::dpMeridiem);
        if (meridiem)
            ++i;
        if (count == 1 && !meridiem)
            return false;
        if (fields[0] > (meridiem ? 12 : 23) || fields[1] > 59 || fields[2] > 59)
            return false;
        any = true;
    }
    return any && i == parts.size();
}

} // namespace vbs
