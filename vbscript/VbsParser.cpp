// VbsParser.cpp: recursive-descent parser for VBScript at compile level, one
// function per grammar rule, plus the scope bookkeeping behind "Name redefined",
// 'exit' checks and class member rules. Nothing is built: the parser only
// accepts a text or reports its first error. Parser.
#include <array>
#include <unordered_map>
#include <utility>

#include "vbscript/VbsErrors.h"
#include "vbscript/VbsLexer.h"
#include "vbscript/VbsParser.h"

namespace vbs {

namespace {

// Upper to lower case for Windows-1252: ASCII, Agrave..Thorn (not the
// multiplication sign), S/Z caron, OE ligature and Y diaeresis.
constexpr std::array<unsigned char, 256> kFold = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7)
            table[c] = static_cast<unsigned char>(c + 32);
    table[0x8A] = 0x9A;
    table[0x8C] = 0x9C;
    table[0x8E] = 0x9E;
    table[0x9F] = 0xFF;
    return table;
}();

// Binding strength of the binary operators, loosest first; all associate to
// the left. Not and negation are prefix operators between these levels.
enum Precedence : int {
    pcNone = 0,
    pcImp,
    pcEqv,
    pcXor,
    pcOr,
    pcAnd,
    pcNot,        // prefix Not: its operand takes comparisons and tighter
    pcComparison, // = <> < > <= >= Is
    pcConcat,     // &
    pcAdditive,   // + -
    pcMod,
    pcIntDivide,  // backslash
    pcMultiplicative, // * /
    pcNegation,   // prefix - and +: its operand takes ^ only
    pcPower,      // ^
};

constexpr int BinaryPrecedence(TokenKind kind) noexcept
{
    switch (kind) {
    case tkImp: return pcImp;
    case tkEqv: return pcEqv;
    case tkXor: return pcXor;
    case tkOr: return pcOr;
    case tkAnd: return pcAnd;
    case tkEq: case tkNe: case tkLt: case tkGt: case tkLe: case tkGe: case tkIs: return pcComparison;
    case tkAmp: return pcConcat;
    case tkPlus: case tkMinus: return pcAdditive;
    case tkMod: return pcMod;
    case tkBackslash: return pcIntDivide;
    case tkStar: case tkSlash: return pcMultiplicative;
    case tkCaret: return pcPower;
    default: return pcNone;
    }
}

// Keywords that may still name a variable or procedure.
constexpr bool IsName(TokenKind kind) noexcept
{
    return kind == tkIdentifier || kind == tkDefault || kind == tkError || kind == tkExplicit ||
           kind == tkProperty || kind == tkStep;
}

// A Sub or Function defined again replaces the earlier one, as the engine
// does; every other pair of declarations of one name is refused.
constexpr bool MayRedefine(NameKind existing, NameKind kind) noexcept
{
    return existing == nkProcedure && kind == nkProcedure;
}

constexpr bool IsLiteral(TokenKind kind) noexcept
{
    return kind == tkInteger || kind == tkFloat || kind == tkString || kind == tkDate ||
           kind == tkTrue || kind == tkFalse || kind == tkNothing || kind == tkNull || kind == tkEmpty;
}

constexpr bool StartsTarget(TokenKind kind) noexcept
{
    return IsName(kind) || kind == tkMe || kind == tkDot;
}

constexpr bool StartsExpression(TokenKind kind) noexcept
{
    return StartsTarget(kind) || IsLiteral(kind) || kind == tkLParen || kind == tkNew ||
           kind == tkNot || kind == tkMinus || kind == tkPlus;
}

// Tokens that begin a statement, declarations included.
constexpr bool StartsStatement(TokenKind kind) noexcept
{
    switch (kind) {
    case tkDim: case tkReDim: case tkConst: case tkErase: case tkSet: case tkCall: case tkExit:
    case tkIf: case tkSelect: case tkFor: case tkDo: case tkWhile: case tkWith: case tkOn:
    case tkOption: case tkStop: case tkSub: case tkFunction: case tkClass: case tkPublic:
    case tkPrivate:
        return true;
    default:
        return StartsTarget(kind);
    }
}

constexpr bool IsProcedureKeyword(TokenKind kind) noexcept
{
    return kind == tkSub || kind == tkFunction || kind == tkProperty;
}

constexpr bool IsPropertyKind(TokenKind kind) noexcept
{
    return kind == tkGet || kind == tkLet || kind == tkSet;
}

constexpr std::string_view OpenerName(TokenKind kind) noexcept
{
    switch (kind) {
    case tkIf: return "If";
    case tkSelect: return "Select";
    case tkFor: return "For";
    case tkDo: return "Do";
    case tkWhile: return "While";
    case tkWith: return "With";
    case tkSub: return "Sub";
    case tkFunction: return "Function";
    case tkProperty: return "Property";
    case tkClass: return "Class";
    default: return "block";
    }
}

enum ProcedureKind : std::uint8_t { pkScript, pkSub, pkFunction, pkProperty };

// The code of one procedure, or the script's global code.
struct ProcedureScope {
    ProcedureKind kind = pkScript;
    int doDepth = 0;  // Do loops open around the current statement
    int forDepth = 0; // For and For Each loops open around it
    NameTable names;  // parameters, Dim and Const; unused for the global code
};

// The Get, Let and Set procedures of one class property.
struct PropertyInfo {
    bool hasGet = false;
    bool hasLet = false;
    bool hasSet = false;
    int getArgs = -1; // -1 until a Property Get is seen
    int putArgs = -1; // arguments of Let and Set, -1 until one is seen
};

struct ClassScope {
    NameTable members; // variables, constants, Subs and Functions
    std::unordered_map<std::string, PropertyInfo> properties;
    bool hasDefault = false;
};

// What a target (the left side of an assignment or a called name) ended with.
struct TargetInfo {
    Token first;
    bool bareMe = false;       // just "Me", without member or arguments
    bool endsWithArgs = false; // its last part is a parenthesised argument list
    int lastArgCount = 0;
    LexState beforeLastArgs;   // the scanner at that list's '('
};

class Parser {
public:
    Parser(std::string_view text, const NameTable &earlier, Declarations &added)
        : m_lex(text), m_earlier(earlier), m_added(added)
    {
        m_lex.Next();
    }

    void Script();

private:
    friend class LevelGuard;

    // Scanner access.
    const Token &Current() const noexcept { return m_lex.Current(); }
    TokenKind Kind() const noexcept { return m_lex.Current().kind; }
    void Next() { m_lex.Next(); }

    // The one way out of the parser.
    [[noreturn]] void Fail(int number, const Token &at, std::string note = {}) const
    {
        ReportError(number, m_lex.Text(), at.line, at.lineStart, at.start, std::move(note));
    }
    [[noreturn]] void Fail(int number) const { Fail(number, Current()); }
    // Consumes a token of kind, or fails with number.
    void Expect(TokenKind kind, int number)
    {
        if (Kind() != kind)
            Fail(number);
        Next();
    }
    // list -> item {',' item}
    template <class Item>
    void CommaList(Item item)
    {
        for (;;) {
            item();
            if (Kind() != tkComma)
                return;
            Next();
        }
    }
    std::string MatchNote(const Token &opener) const;

    // Statement ends and blocks.
    bool AtHeaderEnd() const noexcept;
    bool AtStatementEnd(bool inlined) const noexcept;
    void ExpectHeaderEnd() const;
    void ExpectStatementEnd(bool inlined) const;
    void SkipSeparators(bool inlined);
    bool EndsBlock(bool inlined);
    void StatementList(bool inlined);
    void Block(bool inlined);
    void ExpectEnd(const Token &opener, TokenKind closing, int number);

    // Statements.
    void Statement(bool inlined);
    void GlobalDeclaration();
    void VariableList();
    void ConstList();
    void ReDimStatement();
    void EraseStatement();
    void SetStatement();
    void CallStatement();
    void CallOrAssign(bool inlined);
    void ExitStatement();
    void IfStatement(bool inlined);
    void SelectStatement(bool inlined);
    void ForStatement(bool inlined);
    void DoStatement(bool inlined);
    void WhileStatement(bool inlined);
    void WithStatement(bool inlined);
    void HeaderAndBlock(bool inlined);
    void OnErrorStatement();
    void OptionStatement();

    // Procedures and classes.
    void ProcedureDeclaration(const Token *defaultToken);
    void PropertyDeclaration(const Token *defaultToken);
    int ParameterList(ProcedureScope &scope);
    void ProcedureBody(ProcedureScope &scope, const Token &opener, TokenKind closing, int number);
    void ClassDeclaration();
    bool Member();
    void ClaimDefault(const Token &defaultToken);

    // Expressions.
    TargetInfo Target();
    int ArgumentList();
    void CallArguments();
    void Expression(int minPrecedence = pcImp);
    void Operand();
    void Primary();
    Token ExpectName();
    void ExpectMember();

    // Names.
    void Declare(const Token &name);
    void DeclareIn(NameTable &names, const Token &name, NameKind kind = nkOther) const;
    void DeclareGlobal(const Token &name, NameKind kind);
    void DeclareMember(const Token &name, NameKind kind) const;
    void DeclareProperty(const Token &name, TokenKind kind, int argc) const;
    bool IsInitializeOrTerminate(const Token &name) const;

    Lexer m_lex;
    const NameTable &m_earlier;
    Declarations &m_added;
    ProcedureScope m_script;             // the global code
    ProcedureScope *m_procedure = &m_script; // the code being parsed
    ClassScope *m_class = nullptr;       // the class being parsed, if any
    bool m_topLevel = true;              // in the outermost statement list
    bool m_seenStatement = false;        // a statement came before: no Option Explicit
    int m_depth = 0;                     // recursion depth, bounded by kMaxDepth
};

// Counts one level of recursion for the lifetime of a parse function's frame.
class LevelGuard {
public:
    explicit LevelGuard(Parser &parser) : m_parser(parser)
    {
        if (++m_parser.m_depth > kMaxDepth)
            m_parser.Fail(enOutOfStackSpace, m_parser.Current(),
                          "nested deeper than " + std::to_string(kMaxDepth) + " levels");
    }
    ~LevelGuard() { --m_parser.m_depth; }
    LevelGuard(const LevelGuard &) = delete;
    LevelGuard &operator=(const LevelGuard &) = delete;

private:
    Parser &m_parser;
};

std::string Parser::MatchNote(const Token &opener) const
{
    return "to match '" + std::string(OpenerName(opener.kind)) + "' at line " +
           std::to_string(opener.line);
}

// ---------------------------------------------------------------------------
// Statement ends and blocks

// A statement ends at a line break, a ':' or the end of the text; inside a
// one-line If also at its Else and at End.
bool Parser::AtHeaderEnd() const noexcept
{
    return Kind() == tkNewline || Kind() == tkColon || Kind() == tkEof;
}

bool Parser::AtStatementEnd(bool inlined) const noexcept
{
    return AtHeaderEnd() || (inlined && (Kind() == tkElse || Kind() == tkEnd));
}

void Parser::ExpectHeaderEnd() const
{
    if (!AtHeaderEnd())
        Fail(enExpectedEndOfStatement);
}

void Parser::ExpectStatementEnd(bool inlined) const
{
    if (!AtStatementEnd(inlined))
        Fail(enExpectedEndOfStatement);
}

// Empty statements: ':' and, outside a one-line If, line breaks.
void Parser::SkipSeparators(bool inlined)
{
    while (Kind() == tkColon || (Kind() == tkNewline && !inlined))
        Next();
}

// Tokens that close the current statement list. Declarations are statements
// of the outermost list only; anywhere else they end the block around them.
bool Parser::EndsBlock(bool inlined)
{
    switch (Kind()) {
    case tkEnd:
    case tkLoop:
    case tkNext:
    case tkWend:
    case tkElse:
    case tkElseIf:
    case tkCase:
    case tkEof:
        return true;
    case tkNewline:
        return inlined;
    case tkSub:
    case tkFunction:
    case tkClass:
    case tkPublic:
    case tkPrivate:
        return !m_topLevel;
    case tkProperty:
        return !m_topLevel && IsPropertyKind(m_lex.Peek().kind);
    default:
        return false;
    }
}

// block -> {statement EOS}      (inlined: the rest of one line, ':' between)
void Parser::StatementList(bool inlined)
{
    for (;;) {
        SkipSeparators(inlined);
        if (EndsBlock(inlined))
            break;
        Statement(inlined);
        ExpectStatementEnd(inlined);
    }
    if (Kind() == tkLoop && m_procedure->doDepth == 0)
        Fail(enLoopWithoutDo);
    if (Kind() == tkNext && m_procedure->forDepth == 0)
        Fail(enUnexpectedNext);
}

void Parser::Block(bool inlined)
{
    const LevelGuard level(*this);
    const bool outer = m_topLevel;
    m_topLevel = false;
    StatementList(inlined);
    m_topLevel = outer;
}

// script -> block EOF
void Parser::Script()
{
    StatementList(false);
    if (Kind() != tkEof)
        Fail(enExpectedStatement);
}

// closing -> END keyword; a missing End or a wrong keyword names the opener.
void Parser::ExpectEnd(const Token &opener, TokenKind closing, int number)
{
    if (Kind() != tkEnd)
        Fail(enExpectedEnd, Current(), MatchNote(opener));
    Next();
    if (Kind() != closing)
        Fail(number, Current(), MatchNote(opener));
    Next();
}

// ---------------------------------------------------------------------------
// Statements

// statement -> declaration | DIM varlist | redimstat | CONST constlist | erasestat
//            | setstat | callstat | exitstat | ifstat | selectstat | forstat
//            | dostat | whilestat | withstat | onerrorstat | optionstat | STOP
//            | callorassign
void Parser::Statement(bool inlined)
{
    if (Kind() != tkOption)
        m_seenStatement = true;
    switch (Kind()) {
    case tkDim:
        Next();
        VariableList();
        return;
    case tkReDim: ReDimStatement(); return;
    case tkConst:
        Next();
        ConstList();
        return;
    case tkErase: EraseStatement(); return;
    case tkSet: SetStatement(); return;
    case tkCall: CallStatement(); return;
    case tkExit: ExitStatement(); return;
    case tkIf: IfStatement(inlined); return;
    case tkSelect: SelectStatement(inlined); return;
    case tkFor: ForStatement(inlined); return;
    case tkDo: DoStatement(inlined); return;
    case tkWhile: WhileStatement(inlined); return;
    case tkWith: WithStatement(inlined); return;
    case tkOn: OnErrorStatement(); return;
    case tkOption: OptionStatement(); return;
    case tkStop: Next(); return;
    case tkSub:
    case tkFunction:
    case tkClass:
    case tkPublic:
    case tkPrivate:
        GlobalDeclaration();
        return;
    case tkProperty:
        if (IsPropertyKind(m_lex.Peek().kind))
            Fail(enMustBeInClass);
        CallOrAssign(inlined);
        return;
    default:
        if (!StartsTarget(Kind()))
            Fail(enExpectedStatement);
        CallOrAssign(inlined);
        return;
    }
}

// declaration -> [PUBLIC | PRIVATE] procdecl | (PUBLIC | PRIVATE) (CONST constlist | varlist)
//              | classdecl
void Parser::GlobalDeclaration()
{
    if (Kind() == tkClass) {
        ClassDeclaration();
        return;
    }
    if (Kind() == tkPublic || Kind() == tkPrivate) {
        Next();
        if (Kind() == tkProperty || (Kind() == tkDefault && IsProcedureKeyword(m_lex.Peek().kind)))
            Fail(enMustBeInClass);
        if (Kind() == tkConst) {
            Next();
            ConstList();
            return;
        }
        if (Kind() != tkSub && Kind() != tkFunction) {
            VariableList();
            return;
        }
    }
    ProcedureDeclaration(nullptr);
}

// varlist -> vardecl {',' vardecl}
// vardecl -> name ['(' [INTEGER {',' INTEGER}] ')']
void Parser::VariableList()
{
    CommaList([this] {
        Declare(ExpectName());
        if (Kind() != tkLParen)
            return;
        Next();
        if (Kind() != tkRParen)
            CommaList([this] { Expect(tkInteger, enExpectedIntegerConstant); });
        Expect(tkRParen, enExpectedRParen);
    });
}

// constlist -> constdef {',' constdef}
// constdef -> name '=' {'-' | '+'} literal
void Parser::ConstList()
{
    CommaList([this] {
        Declare(ExpectName());
        Expect(tkEq, enExpectedEquals);
        while (Kind() == tkMinus || Kind() == tkPlus)
            Next();
        if (!IsLiteral(Kind()))
            Fail(enExpectedLiteral);
        Next();
    });
}

// redimstat -> REDIM [PRESERVE] redimvar {',' redimvar}
// redimvar -> name '(' expr {',' expr} ')'
void Parser::ReDimStatement()
{
    Next();
    if (Kind() == tkPreserve)
        Next();
    CommaList([this] {
        ExpectName();
        Expect(tkLParen, enExpectedLParen);
        CommaList([this] { Expression(); });
        Expect(tkRParen, enExpectedRParen);
    });
}

// erasestat -> ERASE name {',' name}
void Parser::EraseStatement()
{
    Next();
    CommaList([this] { ExpectName(); });
}

// setstat -> SET target '=' expr
void Parser::SetStatement()
{
    Next();
    if (!StartsTarget(Kind()))
        Fail(enExpectedIdentifier);
    const TargetInfo target = Target();
    if (target.bareMe)
        Fail(enInvalidMe, target.first);
    Expect(tkEq, enExpectedEquals);
    Expression();
}

// callstat -> CALL target
void Parser::CallStatement()
{
    Next();
    if (!StartsTarget(Kind()))
        Fail(enExpectedIdentifier);
    Target();
}

// callorassign -> target '=' expr | target [callargs]
// "f(a, b)" as a statement is refused: a call without Call takes its
// arguments bare. "f (a), b" passes (a) as the first of two arguments and
// "f (a) & b" the one argument (a) & b, so a target ending in '(' ... ')' that
// is followed by more gives its list back.
void Parser::CallOrAssign(bool inlined)
{
    const TargetInfo target = Target();
    if (Kind() == tkEq) {
        if (target.bareMe)
            Fail(enInvalidMe, target.first);
        Next();
        Expression();
        return;
    }
    if (AtStatementEnd(inlined)) {
        if (target.bareMe)
            Fail(enInvalidMe, target.first);
        if (target.endsWithArgs && target.lastArgCount > 1)
            Fail(enParenthesesOnSubCall);
        return;
    }
    const bool continuesArgument =
        target.endsWithArgs && target.lastArgCount == 1 && BinaryPrecedence(Kind()) != pcNone;
    if (!StartsExpression(Kind()) && Kind() != tkComma && !continuesArgument)
        return;
    if (target.endsWithArgs)
        m_lex.Restore(target.beforeLastArgs);
    CallArguments();
}

// exitstat -> EXIT (DO | FOR | SUB | FUNCTION | PROPERTY), inside that construct
void Parser::ExitStatement()
{
    const Token exit = Current();
    Next();
    bool valid = false;
    switch (Kind()) {
    case tkDo: valid = m_procedure->doDepth > 0; break;
    case tkFor: valid = m_procedure->forDepth > 0; break;
    case tkSub: valid = m_procedure->kind == pkSub; break;
    case tkFunction: valid = m_procedure->kind == pkFunction; break;
    case tkProperty: valid = m_procedure->kind == pkProperty; break;
    default: break;
    }
    if (!valid)
        Fail(enInvalidExit, exit);
    Next();
}

// ifstat -> IF expr THEN EOS block {ELSEIF expr THEN block} [ELSE block] END IF
//         | IF expr THEN inline [ELSE inline] [END IF]
// Then followed by a line break, ':' or a comment opens the block form.
void Parser::IfStatement(bool inlined)
{
    const Token opener = Current();
    Next();
    Expression();
    Expect(tkThen, enExpectedThen);
    if (!AtHeaderEnd()) {
        Block(true);
        if (Kind() == tkElse) {
            Next();
            Block(true);
        }
        if (Kind() == tkEnd && m_lex.Peek().kind == tkIf) {
            Next();
            Next();
        }
        return;
    }
    Block(inlined);
    while (Kind() == tkElseIf) {
        Next();
        Expression();
        Expect(tkThen, enExpectedThen);
        Block(inlined);
    }
    if (Kind() == tkElse) {
        Next();
        Block(inlined);
    }
    ExpectEnd(opener, tkIf, enExpectedIf);
}

// selectstat -> SELECT CASE expr EOS {CASE expr {',' expr} [EOS] block}
//               [CASE ELSE [EOS] block] END SELECT
// A clause's first statement may follow it on its line without ':'.
void Parser::SelectStatement(bool inlined)
{
    const Token opener = Current();
    Next();
    Expect(tkCase, enExpectedCase);
    Expression();
    ExpectHeaderEnd();
    SkipSeparators(inlined);
    if (Kind() != tkCase && Kind() != tkEnd)
        Fail(enExpectedCase);
    bool sawElse = false;
    while (Kind() == tkCase && !sawElse) {
        Next();
        if (Kind() == tkElse) {
            sawElse = true;
            Next();
        } else {
            CommaList([this] { Expression(); });
        }
        if (!AtHeaderEnd() && !StartsStatement(Kind()))
            Fail(enExpectedEndOfStatement);
        Block(inlined);
    }
    ExpectEnd(opener, tkSelect, enExpectedSelect);
}

// forstat -> FOR name '=' expr TO expr [STEP expr] EOS block NEXT
//          | FOR EACH name IN expr EOS block NEXT
void Parser::ForStatement(bool inlined)
{
    const Token opener = Current();
    Next();
    const bool each = Kind() == tkEach;
    if (each)
        Next();
    if (Kind() == tkMe)
        Fail(enInvalidForVariable);
    ExpectName();
    if (Kind() == tkLParen || Kind() == tkDot)
        Fail(enInvalidForVariable);
    if (each) {
        Expect(tkIn, enExpectedIn);
        Expression();
    } else {
        Expect(tkEq, enExpectedEquals);
        Expression();
        Expect(tkTo, enExpectedTo);
        Expression();
        if (Kind() == tkStep) {
            Next();
            Expression();
        }
    }
    ExpectHeaderEnd();
    ++m_procedure->forDepth;
    Block(inlined);
    --m_procedure->forDepth;
    if (Kind() != tkNext)
        Fail(enExpectedNext, Current(), MatchNote(opener));
    Next();
}

// dostat -> DO [(WHILE | UNTIL) expr] EOS block LOOP [(WHILE | UNTIL) expr]
// The condition goes at one end only.
void Parser::DoStatement(bool inlined)
{
    const Token opener = Current();
    Next();
    const bool condition = Kind() == tkWhile || Kind() == tkUntil;
    if (condition) {
        Next();
        Expression();
        ExpectHeaderEnd();
    } else if (!AtHeaderEnd()) {
        Fail(enExpectedWhileUntilOrEnd);
    }
    ++m_procedure->doDepth;
    Block(inlined);
    --m_procedure->doDepth;
    if (Kind() != tkLoop)
        Fail(enExpectedLoop, Current(), MatchNote(opener));
    Next();
    if (condition)
        return;
    if (Kind() == tkWhile || Kind() == tkUntil) {
        Next();
        Expression();
    } else if (!AtStatementEnd(inlined)) {
        Fail(enExpectedWhileUntilOrEnd);
    }
}

// whilestat -> WHILE expr EOS block WEND
void Parser::WhileStatement(bool inlined)
{
    const Token opener = Current();
    HeaderAndBlock(inlined);
    if (Kind() != tkWend)
        Fail(enExpectedWend, Current(), MatchNote(opener));
    Next();
}

// withstat -> WITH expr EOS block END WITH
void Parser::WithStatement(bool inlined)
{
    const Token opener = Current();
    HeaderAndBlock(inlined);
    ExpectEnd(opener, tkWith, enExpectedWith);
}

// The keyword, its expression and the block it opens.
void Parser::HeaderAndBlock(bool inlined)
{
    Next();
    Expression();
    ExpectHeaderEnd();
    Block(inlined);
}

// onerrorstat -> ON ERROR (RESUME NEXT | GOTO 0); there are no labels to go to.
void Parser::OnErrorStatement()
{
    Next();
    Expect(tkError, enSyntaxError);
    if (Kind() == tkResume) {
        Next();
        Expect(tkNext, enSyntaxError);
        return;
    }
    Expect(tkGoTo, enSyntaxError);
    const std::string_view target = m_lex.Spelling(Current());
    if (Kind() != tkInteger || target.find_first_not_of('0') != std::string_view::npos)
        Fail(enSyntaxError);
    Next();
}

// optionstat -> OPTION EXPLICIT, before every other statement of the text
void Parser::OptionStatement()
{
    if (m_seenStatement)
        Fail(enExpectedStatement);
    m_seenStatement = true;
    Next();
    Expect(tkExplicit, enSyntaxError);
}

// ---------------------------------------------------------------------------
// Procedures and classes

// procdecl -> (SUB | FUNCTION) name [paramlist] EOS block END (SUB | FUNCTION)
// A global one is listed at each definition; Engine keeps the last.
void Parser::ProcedureDeclaration(const Token *defaultToken)
{
    const Token opener = Current();
    const bool isFunction = opener.kind == tkFunction;
    if (defaultToken)
        ClaimDefault(*defaultToken);
    Next();
    const Token name = ExpectName();
    if (m_class)
        DeclareMember(name, nkProcedure);
    else
        DeclareGlobal(name, nkProcedure);
    ProcedureScope scope;
    scope.kind = isFunction ? pkFunction : pkSub;
    const int argc = Kind() == tkLParen ? ParameterList(scope) : 0;
    if (m_class && !isFunction && argc > 0 && IsInitializeOrTerminate(name))
        Fail(enInitTerminateArgs);
    if (!m_class)
        m_added.procedures.push_back({std::string(m_lex.Spelling(name)), argc, isFunction});
    ProcedureBody(scope, opener, opener.kind, isFunction ? enExpectedFunction : enExpectedSub);
}

// propdecl -> PROPERTY (GET | LET | SET) name [paramlist] EOS block END PROPERTY
void Parser::PropertyDeclaration(const Token *defaultToken)
{
    const Token opener = Current();
    Next();
    const TokenKind kind = Kind();
    if (!IsPropertyKind(kind))
        Fail(enExpectedPropertyKind);
    if (defaultToken) {
        if (kind != tkGet)
            Fail(enDefaultOnlyOnGet);
        ClaimDefault(*defaultToken);
    }
    Next();
    const Token name = ExpectName();
    ProcedureScope scope;
    scope.kind = pkProperty;
    const int argc = Kind() == tkLParen ? ParameterList(scope) : 0;
    if (kind != tkGet && argc == 0)
        Fail(enPropertyNeedsArgument);
    DeclareProperty(name, kind, argc);
    ProcedureBody(scope, opener, tkProperty, enExpectedProperty);
}

// paramlist -> '(' [param {',' param}] ')'
// param -> [BYVAL | BYREF] name ['(' ')']
int Parser::ParameterList(ProcedureScope &scope)
{
    Next();
    if (Kind() == tkRParen) {
        Next();
        return 0;
    }
    int count = 0;
    for (;;) {
        if (Kind() == tkByVal || Kind() == tkByRef)
            Next();
        DeclareIn(scope.names, ExpectName());
        ++count;
        if (Kind() == tkLParen) {
            Next();
            Expect(tkRParen, enExpectedRParen);
        }
        if (Kind() != tkComma)
            break;
        Next();
    }
    Expect(tkRParen, enExpectedRParen);
    return count;
}

void Parser::ProcedureBody(ProcedureScope &scope, const Token &opener, TokenKind closing, int number)
{
    ExpectHeaderEnd();
    ProcedureScope *outer = m_procedure;
    m_procedure = &scope;
    Block(false);
    m_procedure = outer;
    ExpectEnd(opener, closing, number);
}

// classdecl -> CLASS name EOS {member EOS} END CLASS
void Parser::ClassDeclaration()
{
    const Token opener = Current();
    Next();
    DeclareGlobal(ExpectName(), nkOther);
    ExpectHeaderEnd();
    ClassScope scope;
    m_class = &scope;
    for (;;) {
        SkipSeparators(false);
        if (!Member())
            break;
        ExpectStatementEnd(false);
    }
    m_class = nullptr;
    ExpectEnd(opener, tkClass, enExpectedClass);
}

// member -> [PUBLIC [DEFAULT] | PRIVATE] (procdecl | propdecl)
//         | (PUBLIC | PRIVATE | DIM) varlist | [PUBLIC | PRIVATE] CONST constlist
// False, consuming nothing, at a token that starts no member.
bool Parser::Member()
{
    switch (Kind()) {
    case tkPublic:
    case tkPrivate: {
        const bool isPublic = Kind() == tkPublic;
        Next();
        if (Kind() == tkDefault) {
            const TokenKind after = m_lex.Peek().kind;
            if (IsProcedureKeyword(after)) {
                if (!isPublic)
                    Fail(enDefaultNeedsPublic);
                const Token defaultToken = Current();
                Next();
                if (Kind() == tkProperty)
                    PropertyDeclaration(&defaultToken);
                else
                    ProcedureDeclaration(&defaultToken);
                return true;
            }
            if (IsName(after) || after == tkDim || after == tkConst)
                Fail(isPublic ? enDefaultOnlyOnProcedure : enDefaultNeedsPublic);
        }
        if (Kind() == tkSub || Kind() == tkFunction)
            ProcedureDeclaration(nullptr);
        else if (Kind() == tkProperty)
            PropertyDeclaration(nullptr);
        else if (Kind() == tkConst) {
            Next();
            ConstList();
        } else
            VariableList();
        return true;
    }
    case tkDim:
        Next();
        VariableList();
        return true;
    case tkConst:
        Next();
        ConstList();
        return true;
    case tkSub:
    case tkFunction:
        ProcedureDeclaration(nullptr);
        return true;
    case tkProperty:
        PropertyDeclaration(nullptr);
        return true;
    case tkDefault:
        if (IsProcedureKeyword(m_lex.Peek().kind))
            Fail(enDefaultNeedsPublic);
        return false;
    default:
        return false;
    }
}

void Parser::ClaimDefault(const Token &defaultToken)
{
    if (m_class->hasDefault)
        Fail(enMultipleDefaults, defaultToken);
    m_class->hasDefault = true;
}

// ---------------------------------------------------------------------------
// Expressions

// target -> (name | ME | '.' member) {'.' member | arglist}
// A leading '.' names a member of the object of the enclosing With.
TargetInfo Parser::Target()
{
    TargetInfo info;
    info.first = Current();
    bool hasSuffix = false;
    if (Kind() == tkDot) {
        Next();
        ExpectMember();
        hasSuffix = true;
    } else {
        Next();
    }
    for (;;) {
        if (Kind() == tkDot) {
            Next();
            ExpectMember();
            info.endsWithArgs = false;
        } else if (Kind() == tkLParen) {
            info.beforeLastArgs = m_lex.Save();
            info.lastArgCount = ArgumentList();
            info.endsWithArgs = true;
        } else {
            break;
        }
        hasSuffix = true;
    }
    info.bareMe = info.first.kind == tkMe && !hasSuffix;
    return info;
}

// arglist -> '(' [[expr] {',' [expr]}] ')'     (an argument may be left out)
int Parser::ArgumentList()
{
    Next();
    if (Kind() == tkRParen) {
        Next();
        return 0;
    }
    int count = 0;
    for (;;) {
        if (Kind() != tkComma && Kind() != tkRParen)
            Expression();
        ++count;
        if (Kind() != tkComma)
            break;
        Next();
    }
    Expect(tkRParen, enExpectedRParen);
    return count;
}

// callargs -> [expr] {',' [expr]}
void Parser::CallArguments()
{
    for (;;) {
        if (Kind() != tkComma)
            Expression();
        if (Kind() != tkComma)
            return;
        Next();
        if (!StartsExpression(Kind()) && Kind() != tkComma)
            return;
    }
}

// expr -> operand {binop operand}, binary operators by Precedence
void Parser::Expression(int minPrecedence)
{
    const LevelGuard level(*this);
    Operand();
    for (;;) {
        const int precedence = BinaryPrecedence(Kind());
        if (precedence == pcNone || precedence < minPrecedence)
            return;
        Next();
        Expression(precedence + 1);
    }
}

// operand -> NOT expr<pcComparison> | ('-' | '+') expr<pcPower> | primary
void Parser::Operand()
{
    switch (Kind()) {
    case tkNot:
        Next();
        Expression(pcComparison);
        return;
    case tkMinus:
    case tkPlus:
        Next();
        Expression(pcPower);
        return;
    default:
        Primary();
        return;
    }
}

// primary -> literal | '(' expr ')' {arglist} | NEW name | target
// "(New Formatter)(args)": what the parentheses give may be called or indexed.
void Parser::Primary()
{
    if (IsLiteral(Kind())) {
        Next();
        return;
    }
    switch (Kind()) {
    case tkLParen:
        Next();
        Expression();
        Expect(tkRParen, enExpectedRParen);
        while (Kind() == tkLParen)
            ArgumentList();
        return;
    case tkNew:
        Next();
        ExpectName();
        return;
    default:
        if (!StartsTarget(Kind()))
            Fail(enExpectedExpression);
        Target();
        return;
    }
}

Token Parser::ExpectName()
{
    if (!IsName(Kind()))
        Fail(enExpectedIdentifier);
    const Token name = Current();
    Next();
    return name;
}

// After '.', keywords name members too (obj.End, range.Select).
void Parser::ExpectMember()
{
    if (Kind() != tkIdentifier && !IsKeyword(Kind()))
        Fail(enExpectedIdentifier);
    Next();
}

// ---------------------------------------------------------------------------
// Names

// Dim and Const declare in the procedure, else in the class, else globally.
void Parser::Declare(const Token &name)
{
    if (m_procedure->kind != pkScript)
        DeclareIn(m_procedure->names, name);
    else if (m_class)
        DeclareMember(name, nkOther);
    else
        DeclareGlobal(name, nkOther);
}

// A name already in names is "Name redefined" unless both are procedures.
void Parser::DeclareIn(NameTable &names, const Token &name, NameKind kind) const
{
    const auto [entry, added] = names.emplace(FoldName(m_lex.Spelling(name)), kind);
    if (!added && !MayRedefine(entry->second, kind))
        Fail(enNameRedefined, name);
}

// The names of the texts added before count as this text's own.
void Parser::DeclareGlobal(const Token &name, NameKind kind)
{
    const auto earlier = m_earlier.find(FoldName(m_lex.Spelling(name)));
    if (earlier != m_earlier.end() && !MayRedefine(earlier->second, kind))
        Fail(enNameRedefined, name);
    DeclareIn(m_added.names, name, kind);
}

// A property's name is taken by its Get, Let and Set only.
void Parser::DeclareMember(const Token &name, NameKind kind) const
{
    if (m_class->properties.count(FoldName(m_lex.Spelling(name))) != 0)
        Fail(enNameRedefined, name);
    DeclareIn(m_class->members, name, kind);
}

// Get, Let and Set of one name may live side by side, each once, and Let and
// Set take one argument more than Get.
void Parser::DeclareProperty(const Token &name, TokenKind kind, int argc) const
{
    std::string folded = FoldName(m_lex.Spelling(name));
    if (m_class->members.count(folded) != 0)
        Fail(enNameRedefined, name);
    PropertyInfo &info = m_class->properties[std::move(folded)];
    bool &seen = kind == tkGet ? info.hasGet : kind == tkLet ? info.hasLet : info.hasSet;
    if (seen)
        Fail(enNameRedefined, name);
    seen = true;
    if (kind == tkGet) {
        if (info.putArgs >= 0 && info.putArgs != argc + 1)
            Fail(enInconsistentPropertyArgs);
        info.getArgs = argc;
    } else {
        if ((info.getArgs >= 0 && argc != info.getArgs + 1) || (info.putArgs >= 0 && argc != info.putArgs))
            Fail(enInconsistentPropertyArgs);
        info.putArgs = argc;
    }
}

bool Parser::IsInitializeOrTerminate(const Token &name) const
{
    const std::string folded = FoldName(m_lex.Spelling(name));
    return folded == "class_initialize" || folded == "class_terminate";
}

} // namespace

std::string FoldName(std::string_view name)
{
    std::string folded(name);
    for (char &c : folded)
        c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
    return folded;
}

void Compile(std::string_view text, const NameTable &earlier, Declarations &added)
{
    Parser parser(text, earlier, added);
    parser.Script();
}

} // namespace vbs
