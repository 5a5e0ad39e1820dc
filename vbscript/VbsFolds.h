// VbsFolds.h: what one line of VBScript does to the block structure, for
// folding by blocks. Read line by line, as the highlighter's range states
// are, so a change rescans only the lines it touched.
#ifndef QUENLO_VBSCRIPT_VBSFOLDS_H
#define QUENLO_VBSCRIPT_VBSFOLDS_H

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vbs {

enum FoldBlock : std::uint8_t { fbSub, fbFunction, fbProperty, fbClass, fbIf, fbFor, fbDo, fbWhile, fbSelect, fbWith };

struct FoldEvent {
    FoldBlock Block = fbSub;
    bool Opens = false; // else it closes a block of that kind
    friend bool operator==(const FoldEvent &, const FoldEvent &) = default;
};

// The openers (Sub, Function, Property Get/Let/Set, Class, a block If, For,
// Do, While, Select Case, With) and closers (End ..., Next, Loop, Wend) of a
// line in order, statements joined by ':' together; an opener closed on its
// own line counts for neither, an If with a statement after Then opens
// nothing. At most kMaxEvents are kept. Comment: the line holds a comment only.
struct LineFold {
    static constexpr int kMaxEvents = 4;
    std::array<FoldEvent, kMaxEvents> Events{};
    std::uint8_t Count = 0;
    bool Comment = false;
    friend bool operator==(const LineFold &, const LineFold &) = default;
};

// Never throws: from a lexical error on, the line counts for nothing more.
LineFold ScanFoldLine(std::string_view line) noexcept;

// A region that folds: lines First + 1 .. Last hide under First (1-based).
struct FoldRange {
    int First = 0;
    int Last = 0;
    friend bool operator==(const FoldRange &, const FoldRange &) = default;
};

// The regions of the lines scanned, ordered by First (an outer region before
// the inner ones of its line): every block whose closer matches its opener
// (a closer goes to the nearest open block of its kind; the blocks opened
// inside it and never closed fold nothing, a closer without an opener is
// passed over), and every run of kMinCommentRun or more comment lines.
constexpr int kMinCommentRun = 3;
std::vector<FoldRange> FoldRanges(std::span<const LineFold> lines);

} // namespace vbs

#endif
