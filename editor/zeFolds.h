// zeFolds.h: the regions of VBScript text that fold: blocks from their
// opener to their closer (by zeSmartEdit's reading of a line's block
// keywords) and runs of comment lines, kept current line by line as the
// text changes.
#ifndef QUENLO_EDITOR_ZEFOLDS_H
#define QUENLO_EDITOR_ZEFOLDS_H

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "editor/zeSmartEdit.h"

// Lines First + 1 .. Last fold away under First (1-based, First < Last).
struct TzeFoldRange {
    int First = 0;
    int Last = 0;
    friend bool operator==(const TzeFoldRange &, const TzeFoldRange &) = default;
};

// Runs of this many comment lines or more fold.
inline constexpr int kMinCommentRun = 3;

struct TzeFoldEvent {
    TzeBlockFamily Family = bfIf;
    bool Opens = false; // else it closes a block of that family
    friend bool operator==(const TzeFoldEvent &, const TzeFoldEvent &) = default;
};

// The openers and closers of a line in order (middle parts left out); an
// opener closed on its own line counts for neither. At most kMaxEvents are
// kept. Comment: the line holds a comment only.
struct TzeLineFold {
    static constexpr int kMaxEvents = 4;
    std::array<TzeFoldEvent, kMaxEvents> Events{};
    std::uint8_t Count = 0;
    bool Comment = false;
    friend bool operator==(const TzeLineFold &, const TzeLineFold &) = default;
};
TzeLineFold FoldLine(std::string_view line);

// The regions of a text kept current as its lines change, as a full match of
// every line gives them: a change rescans its own lines and then goes on
// only as far as the open blocks at a line's start differ from what they were.
// A closer goes to the nearest open block of its family; the blocks opened
// inside it and never closed fold nothing, a closer without an opener is
// passed over. A procedure opens in a class or at the top, a class at the
// top: the blocks still open there are never closed. Ranges are ordered by
// First, the outer of two on one line first.
class TzeFoldTracker {
public:
    // The text's line (1-based), as long as a call runs.
    using LineText = std::function<std::string_view(int line)>;
    void Reset(int count, const LineText &line);
    // Lines first .. first + removed - 1 (1-based) gave way to inserted new
    // lines; line answers for the text as it is now.
    void Replace(int first, int removed, int inserted, const LineText &line);
    const std::vector<TzeFoldRange> &Ranges() const noexcept { return m_ranges; }
    int LineCount() const noexcept { return int(m_rows.size()) - 1; }
    // Lines the last call scanned, for the benchmark and the tests.
    int Scanned() const noexcept { return m_scanned; }
    // Whether the last call may have changed Ranges (false: it did not).
    bool Changed() const noexcept { return m_changed; }

private:
    // The blocks open at a line's start, as a stack shared between lines:
    // a node is an open block and the one it lies in; -1 is none.
    struct TNode {
        TzeBlockFamily Block;
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

    // A line's events packed (8 bytes a line: a paste moves little memory)
    // and the open blocks at its start; one more row for the text's end.
    struct TRow {
        std::uint32_t Fold = 0;
        int Start = -1;
    };
    static std::uint32_t Pack(const TzeLineFold &fold) noexcept;
    static constexpr bool IsComment(std::uint32_t fold) noexcept { return (fold & 8u) != 0; }
    std::vector<TRow> m_rows;
    std::vector<TNode> m_nodes;
    // The nodes of the last match of the whole text.
    std::size_t m_nodesMatched = 0;
    // The blocks' ranges, the comment runs', and both as Ranges gives them.
    std::vector<TzeFoldRange> m_blocks;
    std::vector<TzeFoldRange> m_comments;
    std::vector<TzeFoldRange> m_ranges;
    // Where Scan merges the blocks it found, swapped with m_blocks: both
    // keep their room from change to change.
    std::vector<TzeFoldRange> m_merged;
    int m_scanned = 0;
    bool m_changed = false;
};

#endif
