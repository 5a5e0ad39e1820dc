// zeFoldMap.h: the view's map from display rows to document lines when
// regions of lines are folded. The regions come from the language as plain
// data; the map keeps which of them are folded, by their first line, and
// answers in O(log n) which line a row shows and which row shows a line.
#ifndef QUENLO_EDITOR_ZEFOLDMAP_H
#define QUENLO_EDITOR_ZEFOLDMAP_H

#include <vector>

#include "editor/zeFolds.h"

class TzeFoldMap {
public:
    // The regions as they stand now, ordered by First (outer first on one
    // line). A folded region that is gone (its closer deleted) unfolds; one
    // whose first line remains stays folded with its new end.
    void SetRegions(const std::vector<TzeFoldRange> &regions);
    const std::vector<TzeFoldRange> &Regions() const noexcept { return m_regions; }

    // Lines first .. first + removed - 1 gave way to inserted lines: folded
    // first lines after them move with their text; one among them stays
    // where a line still stands at its place in the change (typing on it),
    // else it unfolds.
    void LinesReplaced(int first, int removed, int inserted);

    // The region that starts on line, if any (the outermost).
    const TzeFoldRange *RegionAt(int line) const noexcept;
    // The innermost region holding line (First <= line <= Last); with
    // unfolded, the innermost of those not folded.
    const TzeFoldRange *InnermostAround(int line, bool unfolded = false) const noexcept;
    bool IsFolded(int first) const noexcept;
    // Each answers whether anything changed.
    bool Fold(int first);
    bool Unfold(int first);
    bool FoldAll();
    bool UnfoldAll();
    // Unfolds every folded region that hides line.
    bool Reveal(int line);

    bool AnyFolded() const noexcept { return !m_folded.empty(); }
    bool IsHidden(int line) const noexcept;
    // Rows are 1-based. A hidden line shows in the row of the line that hides it.
    int RowOfLine(int line) const noexcept;
    // The line shown in row (past the last row: lines past the end, one per row).
    int LineOfRow(int row) const noexcept;
    // The rows that lineCount lines take.
    int RowCount(int lineCount) const noexcept { return lineCount - HiddenBefore(lineCount + 1); }
    // The nearest visible line at or after (step 1) or before (step -1) line.
    int VisibleFrom(int line, int step) const noexcept;

    // How a line stands in the regions, as the gutter's fold column shows it.
    struct TLineMark {
        bool Starts = false;    // a region starts here
        bool Folded = false;    // ... and it is folded
        bool Inside = false;    // a region that started above holds the line
        bool Ends = false;      // a region ends here
        bool Continues = false; // a region that started above goes on below it
    };
    TLineMark MarkOf(int line) const noexcept;

private:
    void Rebuild();
    // Hidden lines before line.
    int HiddenBefore(int line) const noexcept;

    std::vector<TzeFoldRange> m_regions;
    // The largest Last of regions 0 .. i, and whether a region ends on a line.
    std::vector<int> m_maxLast;
    std::vector<bool> m_ends;
    // First lines of the folded regions, ascending.
    std::vector<int> m_folded;
    // The hidden lines as disjoint ascending ranges, and the hidden lines
    // before each range.
    std::vector<TzeFoldRange> m_hidden;
    std::vector<int> m_hiddenBefore;
};

#endif
