// zeFoldMap.cpp: folded regions and the row map (see zeFoldMap.h).
#include "editor/zeFoldMap.h"

#include <algorithm>

namespace {

const auto kByFirst = [](const TzeFoldRange &r, int line) { return r.First < line; };

} // namespace

void TzeFoldMap::SetRegions(const std::vector<TzeFoldRange> &regions)
{
    // Copied into the room the regions had: no fresh memory as the text
    // changes.
    m_regions = regions;
    m_maxLast.resize(m_regions.size());
    int maxLast = 0;
    for (size_t i = 0; i < m_regions.size(); ++i) {
        maxLast = std::max(maxLast, m_regions[i].Last);
        m_maxLast[i] = maxLast;
    }
    m_ends.assign(size_t(maxLast) + 1, false);
    for (const TzeFoldRange &r : m_regions)
        m_ends[size_t(r.Last)] = true;
    std::erase_if(m_folded, [this](int first) { return RegionAt(first) == nullptr; });
    Rebuild();
}

const TzeFoldRange *TzeFoldMap::RegionAt(int line) const noexcept
{
    const auto it = std::lower_bound(m_regions.begin(), m_regions.end(), line, kByFirst);
    return it != m_regions.end() && it->First == line ? &*it : nullptr;
}

const TzeFoldRange *TzeFoldMap::InnermostAround(int line, bool unfolded) const noexcept
{
    // Regions nest: of those holding line, the innermost starts last (and
    // of two on one line, the inner comes second).
    auto it = std::upper_bound(m_regions.begin(), m_regions.end(), line,
                               [](int l, const TzeFoldRange &r) { return l < r.First; });
    while (it != m_regions.begin()) {
        --it;
        // No region this early reaches line.
        if (m_maxLast[size_t(it - m_regions.begin())] < line)
            break;
        if (it->Last >= line && !(unfolded && IsFolded(it->First)))
            return &*it;
    }
    return nullptr;
}

bool TzeFoldMap::IsFolded(int first) const noexcept
{
    return std::binary_search(m_folded.begin(), m_folded.end(), first);
}

bool TzeFoldMap::Fold(int first)
{
    if (!RegionAt(first) || IsFolded(first))
        return false;
    m_folded.insert(std::lower_bound(m_folded.begin(), m_folded.end(), first), first);
    Rebuild();
    return true;
}

bool TzeFoldMap::Unfold(int first)
{
    const auto it = std::lower_bound(m_folded.begin(), m_folded.end(), first);
    if (it == m_folded.end() || *it != first)
        return false;
    m_folded.erase(it);
    Rebuild();
    return true;
}

bool TzeFoldMap::FoldAll()
{
    std::vector<int> all;
    all.reserve(m_regions.size());
    for (const TzeFoldRange &r : m_regions)
        if (all.empty() || all.back() != r.First)
            all.push_back(r.First);
    if (all == m_folded)
        return false;
    m_folded = std::move(all);
    Rebuild();
    return true;
}

bool TzeFoldMap::UnfoldAll()
{
    if (m_folded.empty())
        return false;
    m_folded.clear();
    Rebuild();
    return true;
}

bool TzeFoldMap::Reveal(int line)
{
    bool changed = false;
    // Outer folds first would leave inner ones hiding line: take every folded
    // region around it.
    std::erase_if(m_folded, [&](int first) {
        const TzeFoldRange *r = RegionAt(first);
        const bool hides = r && r->First < line && line <= r->Last;
        changed = changed || hides;
        return hides;
    });
    if (changed)
        Rebuild();
    return changed;
}

void TzeFoldMap::LinesReplaced(int first, int removed, int inserted)
{
    const int end = first + removed;
    std::erase_if(m_folded, [&](int f) { return f >= first && f < end && f - first >= inserted; });
    for (int &f : m_folded)
        if (f >= end)
            f += inserted - removed;
}

TzeFoldMap::TLineMark TzeFoldMap::MarkOf(int line) const noexcept
{
    TLineMark mark;
    const auto it = std::lower_bound(m_regions.begin(), m_regions.end(), line, kByFirst);
    const size_t before = size_t(it - m_regions.begin());
    mark.Starts = it != m_regions.end() && it->First == line;
    mark.Folded = mark.Starts && IsFolded(line);
    const int reach = before > 0 ? m_maxLast[before - 1] : 0;
    mark.Inside = reach >= line;
    mark.Continues = reach > line;
    mark.Ends = line >= 0 && size_t(line) < m_ends.size() && m_ends[size_t(line)];
    return mark;
}

void TzeFoldMap::Rebuild()
{
    m_hidden.clear();
    m_hiddenBefore.clear();
    // Folded first lines ascend, and so do the regions they start: a range
    // that begins inside the last one merges with it.
    for (const int first : m_folded) {
        const TzeFoldRange *r = RegionAt(first);
        if (!r)
            continue;
        const TzeFoldRange hidden{r->First + 1, r->Last};
        if (!m_hidden.empty() && hidden.First <= m_hidden.back().Last + 1)
            m_hidden.back().Last = std::max(m_hidden.back().Last, hidden.Last);
        else
            m_hidden.push_back(hidden);
    }
    int before = 0;
    for (const TzeFoldRange &h : m_hidden) {
        m_hiddenBefore.push_back(before);
        before += h.Last - h.First + 1;
    }
}

int TzeFoldMap::HiddenBefore(int line) const noexcept
{
    // The last hidden range that starts before line.
    const auto it = std::lower_bound(m_hidden.begin(), m_hidden.end(), line, kByFirst);
    if (it == m_hidden.begin())
        return 0;
    const size_t i = size_t(it - m_hidden.begin()) - 1;
    const TzeFoldRange &h = m_hidden[i];
    return m_hiddenBefore[i] + std::min(h.Last, line - 1) - h.First + 1;
}

bool TzeFoldMap::IsHidden(int line) const noexcept
{
    const auto it = std::upper_bound(m_hidden.begin(), m_hidden.end(), line,
                                     [](int l, const TzeFoldRange &h) { return l < h.First; });
    return it != m_hidden.begin() && std::prev(it)->Last >= line;
}

int TzeFoldMap::RowOfLine(int line) const noexcept
{
    return VisibleFrom(line, -1) - HiddenBefore(VisibleFrom(line, -1));
}

int TzeFoldMap::LineOfRow(int row) const noexcept
{
    // The first hidden range after which the row lies: each range before it
    // pushes the line down by its size.
    int lo = 0;
    int hi = int(m_hidden.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        // Rows shown before range mid: its first line less the hidden ones before it, less one.
        if (m_hidden[size_t(mid)].First - 1 - m_hiddenBefore[size_t(mid)] < row)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == 0)
        return row;
    const size_t i = size_t(lo - 1);
    return row + m_hiddenBefore[i] + (m_hidden[i].Last - m_hidden[i].First + 1);
}

int TzeFoldMap::VisibleFrom(int line, int step) const noexcept
{
    const auto it = std::upper_bound(m_hidden.begin(), m_hidden.end(), line,
                                     [](int l, const TzeFoldRange &h) { return l < h.First; });
    if (it == m_hidden.begin() || std::prev(it)->Last < line)
        return line;
    const TzeFoldRange &h = *std::prev(it);
    return step < 0 ? h.First - 1 : h.Last + 1;
}
