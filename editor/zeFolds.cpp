// zeFolds.cpp: fold regions of VBScript lines (see zeFolds.h).
#include "editor/zeFolds.h"

#include <algorithm>
#include <cctype>
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

// A comment from the line's first character on (text starts after the
// leading blanks): ' or the word Rem.
bool IsCommentText(std::string_view text) noexcept
{
    if (!text.empty() && text.front() == '\'')
        return true;
    // ASCII letters only: (c | 0x20) is 'r' for 'r' and 'R' alone.
    const auto lower = [&text](size_t i) { return char(text[i] | 0x20); };
    if (text.size() < 3 || lower(0) != 'r' || lower(1) != 'e' || lower(2) != 'm')
        return false;
    // Rem must end there as a word, as the keyword reader reads words.
    const auto next = static_cast<unsigned char>(text.size() > 3 ? text[3] : ' ');
    return !(std::isalnum(next) || next == '_' || next >= 0xC0);
}

} // namespace

TzeLineFold FoldLine(std::string_view line)
{
    TzeLineFold fold;
    const std::string_view text = line.substr(LeadingBlanks(line).size());
    fold.Comment = IsCommentText(text);
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
    m_lines.assign(size_t(std::max(count, 0)), TzeLineFold{});
    for (int i = 0; i < count; ++i)
        m_lines[size_t(i)] = FoldLine(line(i + 1));
    Rescan();
}

void TzeFoldTracker::Rescan()
{
    m_start.assign(m_lines.size() + 1, -1);
    m_nodes.clear();
    m_blocks.clear();
    m_scanned = 0;
    Scan(0, int(m_lines.size()));
    m_nodesMatched = m_nodes.size();
    m_comments.clear();
    FindCommentRuns(0, int(m_lines.size()));
    MergeRanges();
}

void TzeFoldTracker::FindCommentRuns(int from, int until)
{
    std::erase_if(m_comments, [from, until](const TzeFoldRange &r) { return r.Last > from && r.First <= until; });
    std::vector<TzeFoldRange> found;
    for (int i = from; i < until;) {
        int end = i;
        while (end < until && m_lines[size_t(end)].Comment)
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
    const int count = int(m_lines.size());
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
            const TzeLineFold fold = FoldLine(line(at + i + 1));
            same = same && fold == m_lines[size_t(at + i)];
            m_lines[size_t(at + i)] = fold;
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
    // The open blocks at each line's start: kept up to the changed lines,
    // unknown inside them, and after them what they were, for the scan to
    // compare against.
    if (delta == 0) {
        if (inserted > 1)
            std::fill(m_start.begin() + at + 1, m_start.begin() + at + inserted, -2);
    } else {
        // In place, one move of the entries after the change: the starts of
        // the changed lines after the first become unknown; the first line
        // after the change keeps the start it had.
        const auto after = m_start.begin() + at + 1;
        if (inserted == 0) {
            m_start.erase(after, after + removed);
        } else if (removed == 0) {
            const int kept = m_start[size_t(at)];
            m_start.insert(after, size_t(inserted), -2);
            m_start[size_t(at + inserted)] = kept;
        } else {
            if (delta > 0)
                m_start.insert(after, size_t(delta), -2);
            else
                m_start.erase(after, after - delta);
            std::fill(m_start.begin() + at + 1, m_start.begin() + at + inserted, -2);
        }
        if (delta > 0)
            m_lines.insert(m_lines.begin() + at, size_t(delta), TzeLineFold{});
        else
            m_lines.erase(m_lines.begin() + at, m_lines.begin() + at - delta);
        for (int i = 0; i < inserted; ++i)
            m_lines[size_t(at + i)] = FoldLine(line(at + i + 1));
    }
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
    while (from > 0 && m_lines[size_t(from - 1)].Comment)
        --from;
    int until = at + inserted;
    while (until < int(m_lines.size()) && m_lines[size_t(until)].Comment)
        ++until;
    FindCommentRuns(from, until);
    MergeRanges();
}

void TzeFoldTracker::Scan(int from, int until)
{
    const int count = int(m_lines.size());
    std::vector<TzeFoldRange> found;
    int open = m_start[size_t(from)];
    int i = from;
    for (; i < count; ++i) {
        ++m_scanned;
        const TzeLineFold &fold = m_lines[size_t(i)];
        for (int e = 0; e < fold.Count; ++e) {
            const TzeFoldEvent event = fold.Events[size_t(e)];
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
        const int before = m_start[size_t(i + 1)];
        m_start[size_t(i + 1)] = open;
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
    std::vector<TzeFoldRange> merged;
    merged.reserve(m_blocks.size() + found.size());
    std::merge(m_blocks.begin(), m_blocks.end(), found.begin(), found.end(), std::back_inserter(merged), RangeBefore);
    m_blocks = std::move(merged);
}

