// zeFolds.cpp: fold regions of VBScript lines (see zeFolds.h).
#include "editor/zeFolds.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr bool IsProcedureOrClass(TzeBlockFamily f) noexcept
{
    return f == bfSub || f == bfFunction || f == bfProperty || f == bfClass;
}

// An object rather than a function, for the sorts and merges to inline it.
constexpr struct {
    bool operator()(const TzeFoldRange &a, const TzeFoldRange &b) const noexcept
    {
        return a.First != b.First ? a.First < b.First : a.Last > b.Last;
    }
} RangeBefore;

} // namespace

// A line's events in 24 bits: the count in bits 0-2, the comment in bit 3,
// then five bits an event (the family, and whether it opens, above it).
std::uint32_t TzeFoldTracker::Pack(const TzeLineFold &fold) noexcept
{
    std::uint32_t packed = std::uint32_t(fold.Count) | (fold.Comment ? 8u : 0u);
    for (int e = 0; e < fold.Count; ++e) {
        const TzeFoldEvent event = fold.Events[size_t(e)];
        packed |= (std::uint32_t(event.Family) | (event.Opens ? 16u : 0u)) << (4 + 5 * e);
    }
    return packed;
}

TzeLineFold FoldLine(std::string_view line)
{
    TzeLineFold fold;
    // Read without its leading blanks, once for both questions.
    const std::string_view text = line.substr(LeadingBlanks(line).size());
    fold.Comment = IsCommentLine(text);
    if (fold.Comment)
        return fold; // and holds no keyword
    thread_local std::vector<TzeBlockEvent> events;
    BlockEvents(text, events);
    for (const TzeBlockEvent &e : events) {
        if (e.Role == brMiddle)
            continue;
        // A closer of the line's own last opener takes it back (Sub A: End Sub).
        const TzeFoldEvent opener{e.Family, true};
        if (e.Role == brClose && fold.Count > 0 && fold.Events[fold.Count - 1u] == opener)
            --fold.Count;
        else if (fold.Count < TzeLineFold::kMaxEvents)
            fold.Events[fold.Count++] = TzeFoldEvent{e.Family, e.Role == brOpen};
    }
    return fold;
}

void TzeFoldTracker::Reset(int count, const LineText &line)
{
    m_changed = true;
    // Room to grow by half: the first big paste moves the lines after it
    // in place instead of copying all of them into fresh memory.
    const size_t lines = size_t(std::max(count, 0));
    m_rows.reserve(lines + lines / 2 + 64);
    m_rows.assign(lines + 1, TRow{});
    for (int i = 0; i < count; ++i)
        m_rows[size_t(i)].Fold = Pack(FoldLine(line(i + 1)));
    Rescan();
}

void TzeFoldTracker::Rescan()
{
    for (TRow &row : m_rows)
        row.Start = -1;
    m_nodes.clear();
    m_blocks.clear();
    m_scanned = 0;
    Scan(0, LineCount());
    m_nodesMatched = m_nodes.size();
    m_comments.clear();
    FindCommentRuns(0, LineCount());
    MergeRanges();
}

void TzeFoldTracker::FindCommentRuns(int from, int until)
{
    std::erase_if(m_comments, [from, until](const TzeFoldRange &r) { return r.Last > from && r.First <= until; });
    std::vector<TzeFoldRange> found;
    for (int i = from; i < until;) {
        int end = i;
        while (end < until && IsComment(m_rows[size_t(end)].Fold))
            ++end;
        if (end - i >= kMinCommentRun)
            found.push_back(TzeFoldRange{i + 1, end});
        i = std::max(end, i + 1);
    }
    const auto where = std::lower_bound(m_comments.begin(), m_comments.end(), TzeFoldRange{from + 1, 0}, RangeBefore);
    m_comments.insert(where, found.begin(), found.end());
}

void TzeFoldTracker::MergeRanges()
{
    m_ranges.clear();
    m_ranges.reserve(m_blocks.size() + m_comments.size());
    std::merge(m_blocks.begin(), m_blocks.end(), m_comments.begin(), m_comments.end(), std::back_inserter(m_ranges),
               RangeBefore);
}

void TzeFoldTracker::Replace(int first, int removed, int inserted, const LineText &line)
{
    const int count = LineCount();
    const int at = std::clamp(first - 1, 0, count);
    removed = std::clamp(removed, 0, count - at);
    inserted = std::max(inserted, 0);
    const int delta = inserted - removed;
    // 0-based: the first line after the change, before it.
    const int oldEnd = at + removed;
    // Lines retyped without a block keyword or a comment coming or going
    // (most keystrokes) change no region.
    if (delta == 0) {
        bool same = true;
        for (int i = 0; i < inserted; ++i) {
            const std::uint32_t fold = Pack(FoldLine(line(at + i + 1)));
            same = same && fold == m_rows[size_t(at + i)].Fold;
            m_rows[size_t(at + i)].Fold = fold;
        }
        if (same) {
            m_scanned = inserted;
            m_changed = false;
            return;
        }
    }
    m_changed = true;
    // Ranges that end in the changed lines are found again by the scan; the
    // line numbers after the change move with their text.
    std::erase_if(m_blocks, [at, oldEnd](const TzeFoldRange &r) { return r.Last > at && r.Last <= oldEnd; });
    if (delta != 0) {
        for (TzeFoldRange &r : m_blocks) {
            if (r.First > oldEnd)
                r.First += delta;
            if (r.Last > oldEnd)
                r.Last += delta;
        }
        for (TNode &node : m_nodes)
            if (node.Line > oldEnd)
                node.Line += delta;
    }
    // The rows, in place with one move of those after the change: the
    // first changed line keeps the open blocks at its start, the others'
    // become unknown; the first line after the change keeps its row, with
    // the open blocks it had for the scan to compare against.
    const int kept = m_rows[size_t(at)].Start;
    if (delta > 0)
        m_rows.insert(m_rows.begin() + at, size_t(delta), TRow{});
    else if (delta < 0)
        m_rows.erase(m_rows.begin() + at, m_rows.begin() + at - delta);
    m_rows[size_t(at)].Start = kept;
    for (int i = 1; i < inserted; ++i)
        m_rows[size_t(at + i)].Start = -2;
    if (delta != 0)
        for (int i = 0; i < inserted; ++i)
            m_rows[size_t(at + i)].Fold = Pack(FoldLine(line(at + i + 1)));
    // Nodes that no line's start refers to any more pile up (and each change
    // that moves lines walks them all); when they outnumber the live ones,
    // the whole text is matched again from the lines' events.
    if (m_nodes.size() > 2 * m_nodesMatched + 4096) {
        Rescan();
        return;
    }
    m_scanned = 0;
    Scan(at, at + inserted);
    // The comment runs: those of the changed lines and the runs that touch
    // them are found again; the rest move with their lines.
    std::erase_if(m_comments, [at, oldEnd](const TzeFoldRange &r) { return r.Last > at && r.First <= oldEnd; });
    if (delta != 0)
        for (TzeFoldRange &r : m_comments)
            if (r.First > oldEnd) {
                r.First += delta;
                r.Last += delta;
            }
    int from = at;
    while (from > 0 && IsComment(m_rows[size_t(from - 1)].Fold))
        --from;
    int until = at + inserted;
    while (until < LineCount() && IsComment(m_rows[size_t(until)].Fold))
        ++until;
    FindCommentRuns(from, until);
    MergeRanges();
}

void TzeFoldTracker::Scan(int from, int until)
{
    const int count = LineCount();
    std::vector<TzeFoldRange> found;
    int open = m_rows[size_t(from)].Start;
    int i = from;
    for (; i < count; ++i) {
        ++m_scanned;
        const std::uint32_t fold = m_rows[size_t(i)].Fold;
        for (std::uint32_t e = 0, events = fold & 7u; e < events; ++e) {
            const std::uint32_t packed = fold >> (4 + 5 * e);
            const TzeFoldEvent event{TzeBlockFamily(packed & 15u), (packed & 16u) != 0};
            if (event.Opens) {
                // A procedure lies in a class or in nothing, a class in
                // nothing: what is still open there stays unclosed. So an
                // edit that leaves a block open is matched on only as far as
                // the next procedure.
                if (IsProcedureOrClass(event.Family))
                    while (open >= 0 && !(event.Family != bfClass && m_nodes[size_t(open)].Block == bfClass))
                        open = m_nodes[size_t(open)].Parent;
                m_nodes.push_back(TNode{event.Family, i + 1, open});
                open = int(m_nodes.size()) - 1;
                continue;
            }
            // The nearest open block of the closer's kind; the blocks opened
            // inside it and never closed end with it.
            int match = open;
            while (match >= 0 && m_nodes[size_t(match)].Block != event.Family)
                match = m_nodes[size_t(match)].Parent;
            if (match < 0)
                continue;
            if (i + 1 > m_nodes[size_t(match)].Line)
                found.push_back(TzeFoldRange{m_nodes[size_t(match)].Line, i + 1});
            open = m_nodes[size_t(match)].Parent;
        }
        const int before = m_rows[size_t(i + 1)].Start;
        m_rows[size_t(i + 1)].Start = open;
        // Past the changed lines, the same open blocks as before: the rest
        // of the text matches as it did.
        if (i + 1 >= until && before == open) {
            ++i;
            break;
        }
    }
    // The scanned lines' ranges replace those the last scan found there.
    const int last = i; // 1-based, the last line scanned
    std::erase_if(m_blocks, [from, last](const TzeFoldRange &r) { return r.Last > from && r.Last <= last; });
    if (found.empty())
        return;
    std::sort(found.begin(), found.end(), RangeBefore);
    m_merged.clear();
    m_merged.reserve(m_blocks.size() + found.size());
    std::merge(m_blocks.begin(), m_blocks.end(), found.begin(), found.end(), std::back_inserter(m_merged),
               RangeBefore);
    m_blocks.swap(m_merged);
}

