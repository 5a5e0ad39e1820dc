// VbsOutline.h: what an editor shows of a script's structure, from one call:
// the first compile error with the extent of its token, the blocks with their
// keywords (If .. ElseIf .. End If and the like), and the classes and
// procedures with their lines. The structure is read by a scan that goes on
// past errors, so unfinished code still has an outline.
// Outline, Block, BlockKeyword, OutlineEntry, BuildOutline and the lookups.
#ifndef QUENLO_VBSCRIPT_VBSOUTLINE_H
#define QUENLO_VBSCRIPT_VBSOUTLINE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vbscript/VbsEngine.h"

namespace vbs {

// Lines are 1-based; columns are 0-based byte offsets in their line, as in
// CompileError.

enum BlockKind : std::uint8_t { bkIf, bkSelect, bkFor, bkDo, bkWhile, bkWith, bkSub, bkFunction, bkProperty, bkClass };

// One keyword of a block: its opener ("If", "Select Case"), a middle part
// ("ElseIf", "Else", "Case", "Case Else") or its closer ("End If", "Next").
// A keyword of two words spans both when they stand on one line.
struct BlockKeyword {
    int line = 0;
    int column = 0;
    int length = 0;
    int block = 0; // index into Outline::blocks
    int next = -1; // the block's next keyword, -1 after its last
};

struct Block {
    BlockKind kind = bkIf;
    int openerLine = 0;
    int closerLine = 0;   // 0: never closed
    int parent = -1;      // the enclosing block, -1 at the top
    int firstKeyword = 0; // index into Outline::keywords
};

enum EntryKind : std::uint8_t { ekClass, ekSub, ekFunction, ekPropertyGet, ekPropertyLet, ekPropertySet };

// A class, or a procedure (global or a class member).
struct OutlineEntry {
    EntryKind kind = ekSub;
    std::string name;      // as spelt in the header
    std::string className; // the class of a member; empty for a global one
    int line = 0;          // the header's line
    int nameColumn = 0;    // where the name stands in that line
    int endLine = 0;       // the line of its End; 0 when it is never closed
    std::vector<std::string> parameters; // a procedure's, as spelt, in order
};

enum DeclaredKind : std::uint8_t { dkVariable, dkConstant, dkParameter };

// A name declared by Dim, ReDim, Const, Public or Private, or a parameter.
struct DeclaredName {
    std::string name; // as spelt
    DeclaredKind kind = dkVariable;
    int line = 0;
    int entry = -1; // the procedure or class (index into entries) it belongs to; -1 global
};

// The first error and the token it points at.
struct OutlineError {
    CompileError error;
    // Bytes of the token at error.column; 0 at a line end.
    int length = 0;
};

struct Outline {
    std::optional<OutlineError> error;
    std::vector<Block> blocks;          // in the order their openers appear
    std::vector<BlockKeyword> keywords; // in source order
    std::vector<OutlineEntry> entries;  // classes and procedures in source order
    std::vector<DeclaredName> names;    // in source order
};

// Checks text as Engine::AddCode does after a Reset (never running it) and
// scans its structure.
Outline BuildOutline(std::string_view text);

// The block keyword covering the 0-based column of line, a caret standing
// right after its last character included; -1 when none.
int KeywordAt(const Outline &outline, int line, int column);
// Every keyword of the block that keyword belongs to, in source order.
std::vector<BlockKeyword> BlockKeywords(const Outline &outline, int keyword);

// The entry whose lines hold line: the innermost (a member before its class);
// an entry never closed reaches to the next entry's line. -1 outside all.
int EntryAt(const Outline &outline, int line);
// The definition of name (letter case ignored): a global procedure or a class
// first, then a class member, each the first in source order; -1 when none.
int FindDefinition(const Outline &outline, std::string_view name);

// A span of one line.
struct LineSpan {
    int column = 0;
    int length = 0;
};

// The identifier at column of one line of code (a caret right after it
// included), not a keyword, not in a string or comment.
std::optional<LineSpan> IdentifierAt(std::string_view line, int column);
// With the caret at column on a parenthesis of line (the one after it, else
// the one before), that parenthesis and its partner on the same line, strings
// and comments skipped; nothing when it has no partner there.
std::optional<std::pair<int, int>> MatchParenthesis(std::string_view line, int column);

// The call that the caret at column of line stands in: the name called and
// the 0-based argument the caret is in (commas counted outside nested
// parentheses and strings). Either the innermost open parenthesis after a
// name ("Mid(a, |"), or a statement that starts with a name and a blank
// ("MsgBox a, |"); nothing in a comment or a closed string, after the
// call's closing parenthesis, or before its parenthesis or blank. A string
// left open before the caret is an argument being typed.
struct CallSite {
    LineSpan name;
    int argument = 0;
    bool parenthesized = false;
};
std::optional<CallSite> CallAt(std::string_view line, int column);

} // namespace vbs

#endif
