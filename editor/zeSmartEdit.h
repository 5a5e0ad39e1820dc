// zeSmartEdit.h: what Return and the comment commands do to VBScript lines,
// as pure functions over the lines: the block keywords a line holds, the
// indentation a new line gets, the closer a block still lacks.
// TzeBlockEvent, TzeLineSource, TzeReturnPlan, BlockEvents, PlanReturn.
// Nothing here depends on Qt or on a window.
#ifndef QUENLO_EDITOR_ZESMARTEDIT_H
#define QUENLO_EDITOR_ZESMARTEDIT_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The blocks of VBScript that indentation follows.
enum TzeBlockFamily : std::uint8_t {
    bfIf,
    bfSelect,
    bfFor,
    bfDo,
    bfWhile,
    bfWith,
    bfSub,
    bfFunction,
    bfProperty,
    bfClass
};

// brMiddle is ElseIf, Else, Case and Case Else: the end of one part of a
// block and the start of the next.
enum TzeBlockRole : std::uint8_t { brOpen, brMiddle, brClose };

struct TzeBlockEvent {
    TzeBlockRole Role = brOpen;
    TzeBlockFamily Family = bfIf;
    // The keyword starts the line's first statement.
    bool StartsLine = false;
};

// The block keywords of one line in their order: each statement (statements
// are parted by ':') counts by its first words. A one-line If (a statement
// after Then) holds none, nor does anything after it on its line; comments
// and strings hold none.
std::vector<TzeBlockEvent> BlockEvents(std::string_view line);
// The same into events, whose room is kept from line to line.
void BlockEvents(std::string_view line, std::vector<TzeBlockEvent> &events);

// The text that closes a block of family: "End If", "Next", "Loop", ...
std::string_view CloserText(TzeBlockFamily family) noexcept;

// Display cells of a line's leading blanks: a tab goes on to the next
// multiple of tabIndent, any other character of code 32 or lower is one cell.
int IndentCells(std::string_view line, int tabIndent) noexcept;
// The leading characters of code 32 or lower.
std::string_view LeadingBlanks(std::string_view line) noexcept;

// The lines of a text, 1-based; a line outside 1 .. Count is empty.
struct TzeLineSource {
    int Count = 0;
    std::function<std::string_view(int line)> Line;
};

// The line (1-based) that opens the block that a closer or middle part of
// family on line `line` belongs to, by a walk upwards that pairs closers
// with openers; 0 when there is none (a procedure or class header of
// another family ends the walk: a block does not reach out of it).
int OpenerLine(const TzeLineSource &lines, int line, TzeBlockFamily family);
// Whether the block that the last event of `line` opens is closed below,
// pairing openers and closers downwards as the parser does: a closer closes
// the nearest open block of its family; a closer of a family that is not
// open, a procedure or class header (but a member inside a class), or the
// end of the text leaves it unclosed.
bool BlockClosed(const TzeLineSource &lines, int line, TzeBlockFamily family);

// What Return at column x (1-based) of line y does when the block rules
// apply: the caret line gets new leading blanks (Reindent, when its first
// keyword is a closer or middle part whose opener is indented otherwise),
// the new line starts with Indent, and Closer (with its own indentation) is
// inserted as the line after it when the block it opens lacks one.
struct TzeReturnPlan {
    std::optional<std::string> Reindent;
    std::string Indent;
    std::string Closer;
};
// None when the caret stands in the leading blanks, or when the line before
// the caret neither opens a block nor starts with a closer or middle part:
// the plain line break applies then.
std::optional<TzeReturnPlan> PlanReturn(const TzeLineSource &lines, int y, int x, int tabIndent,
                                        bool insertBlockEnds);

// The column (1-based) where a comment mark goes on line: after its leading
// blanks; none for a blank line.
std::optional<int> CommentColumn(std::string_view line) noexcept;
// The column (1-based) of the comment mark that starts the text of line;
// none when the line does not start with one.
std::optional<int> CommentMarkColumn(std::string_view line) noexcept;
// Whether line holds a comment only: ' or the word Rem after its leading
// blanks (a word as BlockEvents reads words).
bool IsCommentLine(std::string_view line) noexcept;

#endif
