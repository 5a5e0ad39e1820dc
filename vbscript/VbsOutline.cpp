// VbsOutline.cpp: BuildOutline runs the checker for the first error and a
// structure scan over the scanner's tokens; the lookups answer from the result.
// StructureScan.
#include <algorithm>
#include <utility>

#include "vbscript/VbsErrors.h"
#include "vbscript/VbsLexer.h"
#include "vbscript/VbsOutline.h"
#include "vbscript/VbsParser.h"

namespace vbs {

namespace {

// Keywords that may still name a procedure (as the parser takes them).
constexpr bool IsNameToken(TokenKind kind) noexcept
{
    return kind == tkIdentifier || kind == tkDefault || kind == tkError || kind == tkExplicit ||
           kind == tkProperty || kind == tkStep;
}

constexpr bool EndsStatement(TokenKind kind) noexcept
{
    return kind == tkNewline || kind == tkColon || kind == tkEof;
}

constexpr bool IsProcedureBlock(BlockKind kind) noexcept
{
    return kind == bkSub || kind == bkFunction || kind == bkProperty;
}

// The block that "End keyword" closes.
constexpr std::optional<BlockKind> EndedKind(TokenKind keyword) noexcept
{
    switch (keyword) {
    case tkIf: return bkIf;
    case tkSelect: return bkSelect;
    case tkWith: return bkWith;
    case tkSub: return bkSub;
    case tkFunction: return bkFunction;
    case tkProperty: return bkProperty;
    case tkClass: return bkClass;
    default: return std::nullopt;
    }
}

// Reads the structure statement by statement: only the first tokens of a
// statement matter, the rest is skipped. A lexical error skips the rest of
// its line; a closer without its opener is ignored; an opener never closed
// keeps closerLine 0; a procedure or class header closes what is still open
// inside the enclosing class (or everything, for a class or a global one).
class StructureScan {
public:
    StructureScan(std::string_view text, Outline &outline) : m_text(text), m_lex(text), m_outline(outline) {}

    void Run()
    {
        bool atStart = true;
        while (Advance()) {
            const Token token = m_lex.Current();
            if (EndsStatement(token.kind)) {
                atStart = true;
                continue;
            }
            if (!atStart)
                continue;
            atStart = Statement(token);
        }
    }

private:
    // The next token, past any lexical error; false at the end of the text.
    bool Advance()
    {
        try {
            m_lex.Next();
        } catch (const CompileFailure &) {
            SkipLine();
        }
        return m_lex.Current().kind != tkEof;
    }

    // Goes on at the start of the line after the scanner's position, as if
    // a line break had been read.
    void SkipLine()
    {
        LexState state = m_lex.Save();
        std::size_t at = state.current;
        while (at < m_text.size() && m_text[at] != '\r' && m_text[at] != '\n')
            ++at;
        if (at < m_text.size())
            at += m_text[at] == '\r' && at + 1 < m_text.size() && m_text[at + 1] == '\n' ? 2 : 1;
        state.current = at;
        state.lineNumber += 1;
        state.lineStart = at;
        state.token = Token{tkNewline, false, state.lineNumber - 1, at, 0, at};
        m_lex.Restore(state);
    }

    // The token after the current one, or tkEof after a lexical error.
    Token Peek()
    {
        try {
            return m_lex.Peek();
        } catch (const CompileFailure &) {
            return Token{};
        }
    }

    // Handles the statement that starts with token; true when another
    // statement may start right after what it consumed (Else, Case Else).
    bool Statement(const Token &token)
    {
        switch (token.kind) {
        case tkPublic:
        case tkPrivate: {
            Token next = Peek();
            while (next.kind == tkDefault || next.kind == tkPublic || next.kind == tkPrivate) {
                Advance();
                next = Peek();
            }
            if (next.kind == tkSub || next.kind == tkFunction || next.kind == tkProperty) {
                Advance();
                const Token keyword = m_lex.Current(); // Current changes as the header is read
                return Statement(keyword);
            }
            if (next.kind == tkConst)
                Advance();
            return Declare(next.kind == tkConst ? dkConstant : dkVariable);
        }
        case tkDim:
        case tkReDim:
            return Declare(dkVariable);
        case tkConst:
            return Declare(dkConstant);
        case tkSub:
        case tkFunction:
            Procedure(token, token.kind == tkSub ? bkSub : bkFunction, token.kind == tkSub ? ekSub : ekFunction);
            return false;
        case tkProperty: {
            const Token kind = Peek();
            if (kind.kind != tkGet && kind.kind != tkLet && kind.kind != tkSet)
                return false; // a variable named Property
            Advance();
            Procedure(token, bkProperty,
                      kind.kind == tkGet ? ekPropertyGet : kind.kind == tkLet ? ekPropertyLet : ekPropertySet);
            return false;
        }
        case tkClass:
            ClassHeader(token);
            return false;
        case tkIf:
            return IfHeader(token);
        case tkElseIf:
            Middle(bkIf, token, token);
            return false;
        case tkElse:
            Middle(bkIf, token, token);
            return true;
        case tkSelect: {
            Token last = token;
            if (Peek().kind == tkCase) {
                Advance();
                last = m_lex.Current();
            }
            Open(bkSelect, token, last);
            return false;
        }
        case tkCase: {
            const bool caseElse = Peek().kind == tkElse;
            Token last = token;
            if (caseElse) {
                Advance();
                last = m_lex.Current();
            }
            Middle(bkSelect, token, last);
            return caseElse;
        }
        case tkFor: Open(bkFor, token, token); return false;
        case tkNext: Close(bkFor, token, token); return false;
        case tkDo: Open(bkDo, token, token); return false;
        case tkLoop: Close(bkDo, token, token); return false;
        case tkWhile: Open(bkWhile, token, token); return false;
        case tkWend: Close(bkWhile, token, token); return false;
        case tkWith: Open(bkWith, token, token); return false;
        case tkEnd: {
            const Token keyword = Peek();
            if (const auto kind = EndedKind(keyword.kind)) {
                Advance();
                Close(*kind, token, keyword);
            }
            return false;
        }
        default:
            return false;
        }
    }

    // IF expr THEN EOS opens a block; IF expr THEN statement is one line,
    // skipped whole with its Else and End If.
    bool IfHeader(const Token &token)
    {
        while (Advance()) {
            const TokenKind kind = m_lex.Current().kind;
            if (kind == tkNewline)
                return true; // no Then: nothing to pair
            if (kind != tkThen)
                continue;
            const TokenKind after = Peek().kind;
            if (after == tkNewline || after == tkColon || after == tkEof) {
                Open(bkIf, token, token);
                return false;
            }
            while (Advance() && m_lex.Current().kind != tkNewline) {
            }
            return true;
        }
        return false;
    }

    // procdecl: a global procedure or a member of the class still open.
    void Procedure(const Token &keyword, BlockKind kind, EntryKind entryKind)
    {
        const int inClass = OpenClass();
        PopWhile([inClass](int depth) { return depth > inClass; });
        const Token name = Peek();
        const int block = Open(kind, keyword, keyword);
        if (!IsNameToken(name.kind))
            return;
        Advance();
        OutlineEntry entry;
        entry.kind = entryKind;
        entry.name = std::string(m_lex.Spelling(name));
        if (inClass >= 0)
            entry.className = m_outline.entries[size_t(m_entryOfBlock[size_t(m_stack[size_t(inClass)])])].name;
        entry.line = name.line;
        entry.nameColumn = int(name.start - name.lineStart);
        std::vector<Token> parameters = ParameterList();
        for (const Token &parameter : parameters)
            entry.parameters.emplace_back(m_lex.Spelling(parameter));
        AddEntry(block, std::move(entry));
        for (const Token &parameter : parameters)
            AddName(parameter, dkParameter, int(m_outline.entries.size()) - 1);
    }

    // arglist -> '(' [[ByVal | ByRef] name ['(' ')'] {',' ...}] ')': the
    // names, read up to the closing parenthesis or the statement's end
    // (which is left for Run).
    std::vector<Token> ParameterList()
    {
        std::vector<Token> names;
        if (Peek().kind != tkLParen)
            return names;
        Advance();
        TokenKind previous = tkLParen;
        int depth = 1;
        for (Token next = Peek(); !EndsStatement(next.kind) && depth > 0; next = Peek()) {
            Advance();
            depth += next.kind == tkLParen ? 1 : next.kind == tkRParen ? -1 : 0;
            const bool starts = previous == tkComma || previous == tkByVal || previous == tkByRef ||
                                (previous == tkLParen && depth == 1);
            if (next.kind == tkIdentifier && starts)
                names.push_back(next);
            previous = next.kind;
        }
        return names;
    }

    // Dim, ReDim [Preserve], Const, Public and Private declarations: the
    // names that start the statement or follow a comma outside parentheses.
    // Reads the statement's end too (true: a statement may start next).
    bool Declare(DeclaredKind kind)
    {
        const int entry = InnermostEntry();
        bool starts = true;
        int depth = 0;
        while (Advance()) {
            const Token next = m_lex.Current();
            if (EndsStatement(next.kind))
                return true;
            if (next.kind == tkPreserve)
                continue;
            if (next.kind == tkIdentifier && starts && depth == 0)
                AddName(next, kind, entry);
            depth += next.kind == tkLParen ? 1 : next.kind == tkRParen ? -1 : 0;
            starts = next.kind == tkComma && depth == 0;
        }
        return true; // the end of the text
    }

    void AddName(const Token &token, DeclaredKind kind, int entry)
    {
        m_outline.names.push_back(DeclaredName{std::string(m_lex.Spelling(token)), kind, token.line, entry});
    }

    // The entry of the innermost open procedure or class; -1 at the top.
    int InnermostEntry() const
    {
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it)
            if (m_entryOfBlock[size_t(*it)] >= 0)
                return m_entryOfBlock[size_t(*it)];
        return -1;
    }

    void ClassHeader(const Token &keyword)
    {
        PopWhile([](int) { return true; });
        const Token name = Peek();
        const int block = Open(bkClass, keyword, keyword);
        OutlineEntry entry;
        entry.kind = ekClass;
        if (name.kind == tkIdentifier) {
            Advance();
            entry.name = std::string(m_lex.Spelling(name));
            entry.nameColumn = int(name.start - name.lineStart);
        }
        entry.line = keyword.line;
        // A class without a name still holds its members.
        AddEntry(block, std::move(entry));
    }

    void AddEntry(int block, OutlineEntry entry)
    {
        m_entryOfBlock[size_t(block)] = int(m_outline.entries.size());
        m_outline.entries.push_back(std::move(entry));
    }

    // The stack depth of the open class, -1 when none is open.
    int OpenClass() const
    {
        for (int depth = int(m_stack.size()) - 1; depth >= 0; --depth)
            if (m_outline.blocks[size_t(m_stack[size_t(depth)])].kind == bkClass)
                return depth;
        return -1;
    }

    template <class Predicate>
    void PopWhile(Predicate pop)
    {
        while (!m_stack.empty() && pop(int(m_stack.size()) - 1))
            m_stack.pop_back();
    }

    int Open(BlockKind kind, const Token &first, const Token &last)
    {
        const int index = int(m_outline.blocks.size());
        Block block;
        block.kind = kind;
        block.openerLine = first.line;
        block.parent = m_stack.empty() ? -1 : m_stack.back();
        block.firstKeyword = int(m_outline.keywords.size());
        m_outline.blocks.push_back(block);
        m_lastKeyword.push_back(-1);
        m_entryOfBlock.push_back(-1);
        m_stack.push_back(index);
        AddKeyword(index, first, last);
        return index;
    }

    // ElseIf, Else or Case of the innermost block, when it is of kind.
    void Middle(BlockKind kind, const Token &first, const Token &last)
    {
        if (!m_stack.empty() && m_outline.blocks[size_t(m_stack.back())].kind == kind)
            AddKeyword(m_stack.back(), first, last);
    }

    // Closes the nearest open block of kind and leaves the ones inside it
    // unclosed; a procedure's closer does not reach beyond its procedure.
    void Close(BlockKind kind, const Token &first, const Token &last)
    {
        for (int depth = int(m_stack.size()) - 1; depth >= 0; --depth) {
            const int index = m_stack[size_t(depth)];
            Block &block = m_outline.blocks[size_t(index)];
            if (block.kind == kind) {
                block.closerLine = last.line;
                AddKeyword(index, first, last);
                if (m_entryOfBlock[size_t(index)] >= 0)
                    m_outline.entries[size_t(m_entryOfBlock[size_t(index)])].endLine = last.line;
                m_stack.resize(size_t(depth));
                return;
            }
            if (IsProcedureBlock(block.kind) || block.kind == bkClass)
                return;
        }
    }

    void AddKeyword(int block, const Token &first, const Token &last)
    {
        BlockKeyword keyword;
        keyword.line = first.line;
        keyword.column = int(first.start - first.lineStart);
        keyword.length = int(first.line == last.line ? last.start + last.length - first.start : first.length);
        keyword.block = block;
        const int index = int(m_outline.keywords.size());
        m_outline.keywords.push_back(keyword);
        if (m_lastKeyword[size_t(block)] >= 0)
            m_outline.keywords[size_t(m_lastKeyword[size_t(block)])].next = index;
        m_lastKeyword[size_t(block)] = index;
    }

    std::string_view m_text;
    Lexer m_lex;
    Outline &m_outline;
    std::vector<int> m_stack;       // the open blocks, outermost first
    std::vector<int> m_lastKeyword; // per block: its last keyword so far
    std::vector<int> m_entryOfBlock; // per block: its entry, -1 for none
};

// Bytes of the token at column of line: 0 at the line end, the rest of the
// line for a string left open, 1 for a character that starts no token.
int TokenLength(const CompileError &error)
{
    if (error.column < 0 || size_t(error.column) >= error.text.size())
        return 0;
    const std::string_view rest = std::string_view(error.text).substr(size_t(error.column));
    Lexer lexer(rest);
    try {
        lexer.Next();
    } catch (const CompileFailure &failure) {
        return failure.error.number == enUnterminatedString ? int(rest.size()) : 1;
    }
    const Token &token = lexer.Current();
    if (token.kind == tkNewline || token.kind == tkEof)
        return token.start == 0 && token.length > 0 ? int(token.length) : 0; // a comment: underline it
    return int(std::min(token.start + token.length, rest.size()));
}

// Scans line; each token is handed to visit with the one before it until
// visit answers false or a lexical error ends the scan.
template <class Visit>
void ScanLine(std::string_view line, Visit visit)
{
    Lexer lexer(line);
    TokenKind previous = tkNewline;
    try {
        for (lexer.Next(); lexer.Current().kind != tkEof && lexer.Current().kind != tkNewline; lexer.Next()) {
            if (!visit(lexer.Current(), previous))
                return;
            previous = lexer.Current().kind;
        }
    } catch (const CompileFailure &) {
    }
}

} // namespace

Outline BuildOutline(std::string_view text)
{
    Outline outline;
    NameTable none;
    Declarations added;
    try {
        Compile(text, none, added);
    } catch (CompileFailure &failure) {
        OutlineError error{std::move(failure.error), 0};
        error.length = TokenLength(error.error);
        outline.error = std::move(error);
    }
    StructureScan(text, outline).Run();
    return outline;
}

int KeywordAt(const Outline &outline, int line, int column)
{
    const auto &keywords = outline.keywords;
    auto it = std::lower_bound(keywords.begin(), keywords.end(), line,
                               [](const BlockKeyword &k, int l) { return k.line < l; });
    for (; it != keywords.end() && it->line == line; ++it)
        if (column >= it->column && column <= it->column + it->length)
            return int(it - keywords.begin());
    return -1;
}

std::vector<BlockKeyword> BlockKeywords(const Outline &outline, int keyword)
{
    std::vector<BlockKeyword> result;
    if (keyword < 0 || size_t(keyword) >= outline.keywords.size())
        return result;
    const Block &block = outline.blocks[size_t(outline.keywords[size_t(keyword)].block)];
    for (int k = block.firstKeyword; k >= 0; k = outline.keywords[size_t(k)].next)
        result.push_back(outline.keywords[size_t(k)]);
    return result;
}

int EntryAt(const Outline &outline, int line)
{
    int found = -1;
    const auto &entries = outline.entries;
    for (size_t i = 0; i < entries.size() && entries[i].line <= line; ++i) {
        int end = entries[i].endLine;
        if (end == 0) {
            // Never closed: up to the next entry that is not its member.
            end = INT32_MAX;
            for (size_t j = i + 1; j < entries.size(); ++j)
                if (entries[i].kind != ekClass || entries[j].className.empty()) {
                    end = entries[j].line - 1;
                    break;
                }
        }
        if (line <= end)
            found = int(i); // a later entry that holds line lies inside the earlier one
    }
    return found;
}

int FindDefinition(const Outline &outline, std::string_view name)
{
    const std::string folded = FoldName(name);
    int member = -1;
    for (size_t i = 0; i < outline.entries.size(); ++i) {
        const OutlineEntry &entry = outline.entries[i];
        if (FoldName(entry.name) != folded)
            continue;
        if (entry.className.empty())
            return int(i);
        if (member < 0)
            member = int(i);
    }
    return member;
}

std::optional<LineSpan> IdentifierAt(std::string_view line, int column)
{
    std::optional<LineSpan> found;
    ScanLine(line, [&](const Token &token, TokenKind previous) {
        const int start = int(token.start);
        if (start > column)
            return false;
        const bool name = token.kind == tkIdentifier || (previous == tkDot && IsKeyword(token.kind));
        if (name && column <= start + int(token.length)) {
            found = LineSpan{start, int(token.length)};
            // A caret between two tokens belongs to the one it starts.
            return start + int(token.length) == column;
        }
        return true;
    });
    return found;
}

std::optional<std::pair<int, int>> MatchParenthesis(std::string_view line, int column)
{
    struct Paren {
        int column;
        bool open;
    };
    std::vector<Paren> parens;
    ScanLine(line, [&](const Token &token, TokenKind) {
        if (token.kind == tkLParen || token.kind == tkRParen)
            parens.push_back({int(token.start), token.kind == tkLParen});
        return true;
    });
    // The parenthesis after the caret, else the one before it.
    auto at = std::find_if(parens.begin(), parens.end(), [column](const Paren &p) { return p.column == column; });
    if (at == parens.end())
        at = std::find_if(parens.begin(), parens.end(), [column](const Paren &p) { return p.column == column - 1; });
    if (at == parens.end())
        return std::nullopt;
    int depth = 0;
    if (at->open) {
        for (auto it = at; it != parens.end(); ++it) {
            depth += it->open ? 1 : -1;
            if (depth == 0)
                return std::pair{at->column, it->column};
        }
    } else {
        for (auto it = std::make_reverse_iterator(at + 1); it != parens.rend(); ++it) {
            depth += it->open ? -1 : 1;
            if (depth == 0)
                return std::pair{at->column, it->column};
        }
    }
    return std::nullopt;
}

std::optional<CallSite> CallAt(std::string_view line, int column)
{
    // The open parentheses before the caret, each with the name before it
    // (if any) and its commas so far.
    struct Open {
        std::optional<LineSpan> name;
        int commas = 0;
    };
    std::vector<Open> open;
    std::optional<LineSpan> statementName; // the statement's first token, a name
    bool statementCall = false;            // that name followed by a blank and more
    int statementCommas = 0;
    int tokens = 0; // of the statement
    std::optional<LineSpan> previousName;
    Lexer lexer(line);
    try {
        for (lexer.Next();; lexer.Next()) {
            const Token &token = lexer.Current();
            const int start = int(token.start);
            if (token.kind == tkEof || token.kind == tkNewline) {
                if (token.length > 0 && start < column)
                    return std::nullopt; // in the comment
                break;
            }
            if (start >= column)
                break;
            if (token.kind == tkString && column < start + int(token.length))
                return std::nullopt; // in the string
            const std::optional<LineSpan> before = std::exchange(previousName, std::nullopt);
            if (token.kind == tkColon) {
                open.clear();
                statementName.reset();
                statementCall = false;
                statementCommas = tokens = 0;
                continue;
            }
            if (token.kind == tkIdentifier)
                previousName = LineSpan{start, int(token.length)};
            if (token.kind == tkLParen)
                open.push_back(Open{before, 0});
            else if (token.kind == tkRParen && !open.empty())
                open.pop_back();
            else if (token.kind == tkComma)
                ++(open.empty() ? statementCommas : open.back().commas);
            if (tokens == 0 && token.kind == tkIdentifier)
                statementName = previousName;
            else if (tokens == 1 && statementName && token.kind != tkLParen && token.kind != tkEq &&
                     token.kind != tkDot && start > statementName->column + statementName->length)
                statementCall = true;
            ++tokens;
        }
    } catch (const CompileFailure &) {
        // A string still being typed: the call around it is the one so far.
    }
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (it->name)
            return CallSite{*it->name, it->commas, true};
    if (statementName && open.empty()) {
        // "MsgBox |": the blank after the name typed, nothing else yet.
        const bool blankTyped = tokens == 1 && column > statementName->column + statementName->length;
        if (statementCall || blankTyped)
            return CallSite{*statementName, statementCommas, false};
    }
    return std::nullopt;
}

} // namespace vbs
