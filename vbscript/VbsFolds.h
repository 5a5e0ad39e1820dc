// VbsFolds.h: what one line of VBScript does to the block structure, for
// folding by blocks. Read line by line, as the highlighter's range states
// are, so a change rescans only the lines it touched.
#ifndef QUENLO_VBSCRIPT_VBSFOLDS_H
#define QUENLO_VBSCRIPT_VBSFOLDS_H

#include <array>
#include <cstdint>
#include <functional>
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

// The regions of a text kept current as its lines change, as FoldRanges
// gives them: a change rescans its own lines and then goes on only as far
// as the open blocks at a line's start differ from what they were.
class FoldTracker {
public:
    // The text's line (1-based), as long as a call runs.
    using LineText = std::function<std::string_view(int line)>;
    void Reset(int count, const LineText &line);
    // Lines first .. first + removed - 1 (1-based) gave way to inserted new
    // lines; line answers for the text as it is now.
    void Replace(int first, int removed, int inserted, const LineText &line);
    const std::vector<FoldRange> &Ranges() const noexcept { return m_ranges; }
    int LineCount() const noexcept { return int(m_lines.size()); }
    // Lines the last call scanned, for the benchmark and the tests.
    int Scanned() const noexcept { return m_scanned; }

private:
    // The blocks open at a line's start, as a stack shared between lines:
    // a node is an open block and the one it lies in; -1 is none.
    struct TNode {
        FoldBlock Block;
        int Line;
        int Parent;
    };
    // Matches lines from `from` (0-based) on with the blocks open there,
    // until the open blocks at a line's start (at or after `until`) are
    // what they were, or the text ends; the ranges closed on those lines
    // replace the ones found there before.
    void Scan(int from, int until);
    // Everything matched again from the lines' events.
    void Rescan();
    // The comment runs of lines from .. until - 1 (0-based), which border
    // on no comment line outside, replace those found there before.
    void FindCommentRuns(int from, int until);
    void MergeRanges();

    std::vector<LineFold> m_lines;
    // m_start[i]: the open blocks at the start of line i (0-based), one
    // more entry for the text's end.
    std::vector<int> m_start;
    std::vector<TNode> m_nodes;
    // The blocks' ranges, the comment runs', and both as Ranges gives them.
    std::vector<FoldRange> m_blocks;
    std::vector<FoldRange> m_comments;
    std::vector<FoldRange> m_ranges;
    int m_scanned = 0;
};

} // namespace vbs

#endif
