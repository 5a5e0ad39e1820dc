// VbsLexer.h: the VBScript scanner. It turns 8-bit text into tokens one at a
// time and reports lexical errors where it meets them, as the engine does.
// TokenKind, Token, LexState, Lexer.
#ifndef QUENLO_VBSCRIPT_VBSLEXER_H
#define QUENLO_VBSCRIPT_VBSLEXER_H

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vbs {

// Longest identifier the engine takes, in bytes ("Identifier too long" beyond).
constexpr std::size_t kMaxIdentifierLength = 255;

enum TokenKind : std::uint8_t {
    tkEof,          // with the comment before it if any
    tkNewline,      // CR, LF or CR LF, with the comment before it if any
    tkColon,
    tkIdentifier,   // plain or [bracketed]
    tkInteger,      // decimal without fraction or exponent, &H.., &O.., &..
    tkFloat,
    tkString,
    tkDate,         // #...#
    tkLParen,
    tkRParen,
    tkComma,
    tkDot,
    tkPlus,
    tkMinus,
    tkStar,
    tkSlash,
    tkBackslash,
    tkCaret,
    tkAmp,          // also where letters follow: "a"&objB is "a" & objB
    tkEq,
    tkNe,
    tkLt,
    tkGt,
    tkLe,
    tkGe,
    // Keywords from here on, alphabetical; after '.' each is a member name.
    tkAnd,
    tkByRef,
    tkByVal,
    tkCall,
    tkCase,
    tkClass,
    tkConst,
    tkDefault,
    tkDim,
    tkDo,
    tkEach,
    tkElse,
    tkElseIf,
    tkEmpty,
    tkEnd,
    tkEqv,
    tkErase,
    tkError,
    tkExit,
    tkExplicit,
    tkFalse,
    tkFor,
    tkFunction,
    tkGet,
    tkGoTo,
    tkIf,
    tkImp,
    tkIn,
    tkIs,
    tkLet,
    tkLoop,
    tkMe,
    tkMod,
    tkNew,
    tkNext,
    tkNot,
    tkNothing,
    tkNull,
    tkOn,
    tkOption,
    tkOr,
    tkPreserve,
    tkPrivate,
    tkProperty,
    tkPublic,
    tkReDim,
    tkResume,
    tkSelect,
    tkSet,
    tkStep,
    tkStop,
    tkSub,
    tkThen,
    tkTo,
    tkTrue,
    tkUntil,
    tkWend,
    tkWhile,
    tkWith,
    tkXor,
};

constexpr bool IsKeyword(TokenKind kind) noexcept { return kind >= tkAnd; }

struct Token {
    TokenKind kind = tkEof;
    bool bracketed = false;    // a [name]: start and length include the brackets
    int line = 1;              // 1-based line of the first byte
    std::size_t start = 0;     // byte offset in the text
    std::size_t length = 0;
    std::size_t lineStart = 0; // byte offset of the first byte of that line
};

// All cursor state of the scanner; copying it saves a position to return to.
struct LexState {
    std::size_t current = 0;   // offset of the next byte not yet scanned
    int lineNumber = 1;        // 1-based line of current
    std::size_t lineStart = 0; // offset where that line starts
    Token token;               // the token last scanned
};

class Lexer {
public:
    explicit Lexer(std::string_view text) noexcept : m_text(text) {}

    std::string_view Text() const noexcept { return m_text; }
    const Token &Current() const noexcept { return m_state.token; }
    // Scans the next token into Current; throws CompileFailure on a lexical error.
    void Next();
    // The token after Current, scanned without moving.
    Token Peek();
    LexState Save() const noexcept { return m_state; }
    void Restore(const LexState &state) noexcept { m_state = state; }
    // A token's bytes; a bracketed name without its brackets.
    std::string_view Spelling(const Token &token) const noexcept;

private:
    void Emit(TokenKind kind, std::size_t start, std::size_t end, bool bracketed = false) noexcept;
    void EmitOperator(std::size_t at, char second1, TokenKind kind1, char second2, TokenKind kind2,
                      TokenKind single) noexcept;
    [[noreturn]] void Fail(int number, std::size_t offset) const;
    std::size_t LineEnd(std::size_t from) const noexcept;
    bool SkipContinuation(std::size_t underscore) noexcept;
    void ScanWord(std::size_t start);
    void ScanBracketed(std::size_t start);
    void ScanNumber(std::size_t start);
    void ScanAmpersand(std::size_t start);
    void ScanRadix(std::size_t start, std::size_t digits, unsigned base);
    void ScanString(std::size_t start);
    void ScanDate(std::size_t start);

    std::string_view m_text;
    LexState m_state;
};

// True for the text between the '#' of a date literal: a date, a time of day,
// or a date and a time (numeric parts with / - or ., month names, AM/PM).
bool IsDateText(std::string_view text) noexcept;

} // namespace vbs

#endif
