// VbsFolds.cpp: block openers and closers of one line (see VbsFolds.h).
#include "vbscript/VbsFolds.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "vbscript/VbsErrors.h"
#include "vbscript/VbsLexer.h"

namespace vbs {

namespace {

// Ordered by first line, the outer of two on one line first.
bool RangeBefore(const FoldRange &a, const FoldRange &b) noexcept
{
    return a.First != b.First ? a.First < b.First : a.Last > b.Last;
}

bool EndsStatement(TokenKind kind) noexcept
{
    return kind == tkEof || kind == tkNewline || kind == tkColon;
}

// The tokens of line up to its end, or up to a lexical error.
std::vector<TokenKind> LineTokens(std::string_view line, bool &commentOnly)
{
    std::vector<TokenKind> kinds;
    Lexer lexer(line);
    commentOnly = false;
    try {
        for (lexer.Next(); lexer.Current().kind != tkEof && lexer.Current().kind != tkNewline; lexer.Next())
            kinds.push_back(lexer.Current().kind);
        // A comment belongs to the line end that follows it.
        commentOnly = kinds.empty() && lexer.Current().length > 0;
    } catch (const CompileFailure &) {
    }
    kinds.push_back(tkEof);
    return kinds;
}

} // namespace

LineFold ScanFoldLine(std::string_view line) noexcept
{
    LineFold fold;
    std::vector<TokenKind> t;
    try {
        t = LineTokens(line, fold.Comment);
    } catch (...) {
        return fold;
    }
    const auto open = [&fold](FoldBlock block) {
        if (fold.Count < LineFold::kMaxEvents)
            fold.Events[fold.Count++] = FoldEvent{block, true};
    };
    // A closer of the line's own last opener takes it back (Sub A: End Sub).
    const auto close = [&fold](FoldBlock block) {
        if (fold.Count > 0 && fold.Events[fold.Count - 1] == FoldEvent{block, true})
            --fold.Count;
        else if (fold.Count < LineFold::kMaxEvents)
            fold.Events[fold.Count++] = FoldEvent{block, false};
    };
    for (size_t i = 0; t[i] != tkEof;) {
        // One statement from i.
        size_t k = i;
        while (t[k] == tkPublic || t[k] == tkPrivate || t[k] == tkDefault)
            ++k;
        const TokenKind first = t[k];
        const TokenKind second = t[k] == tkEof ? tkEof : t[k + 1];
        switch (first) {
        case tkSub:
            open(fbSub);
            break;
        case tkFunction:
            open(fbFunction);
            break;
        case tkClass:
            open(fbClass);
            break;
        case tkWith:
            open(fbWith);
            break;
        case tkDo:
            open(fbDo);
            break;
        case tkWhile:
            open(fbWhile);
            break;
        case tkFor:
            open(fbFor);
            break;
        case tkSelect:
            if (second == tkCase)
                open(fbSelect);
            break;
        case tkProperty:
            if (second == tkGet || second == tkLet || second == tkSet)
                open(fbProperty);
            break;
        case tkIf: {
            size_t then = k;
            while (!EndsStatement(t[then]) && t[then] != tkThen)
                ++then;
            if (t[then] != tkThen)
                break;
            // Block If: nothing after Then but the line end (or a comment);
            // a one-line If runs to the line end, statements and all.
            if (t[then + 1] == tkEof) {
                open(fbIf);
            } else {
                while (t[k] != tkEof)
                    ++k;
                i = k;
                continue;
            }
            break;
        }
        case tkEnd:
            switch (second) {
            case tkSub: close(fbSub); break;
            case tkFunction: close(fbFunction); break;
            case tkProperty: close(fbProperty); break;
            case tkClass: close(fbClass); break;
            case tkIf: close(fbIf); break;
            case tkSelect: close(fbSelect); break;
            case tkWith: close(fbWith); break;
            default: break;
            }
            break;
        case tkNext:
            close(fbFor);
            break;
        case tkLoop:
            close(fbDo);
            break;
        case tkWend:
            close(fbWhile);
            break;
        default:
            break;
        }
        while (!EndsStatement(t[k]))
            ++k;
        i = t[k] == tkEof ? k : k + 1;
    }
    return fold;
}

std::vector<FoldRange> FoldRanges(std::span<const LineFold> lines)
{
    std::vector<FoldRange> ranges;
    struct TOpen {
        FoldBlock Block;
        int Line;
    };
    std::vector<TOpen> open;
    int commentRun = 0;
    const int count = int(lines.size());
    for (int line = 1; line <= count + 1; ++line) {
        const bool comment = line <= count && lines[size_t(line - 1)].Comment;
        if (!comment && commentRun >= kMinCommentRun)
            ranges.push_back(FoldRange{line - commentRun, line - 1});
        commentRun = comment ? commentRun + 1 : 0;
        if (line > count)
            break;
        const LineFold &fold = lines[size_t(line - 1)];
        for (int i = 0; i < fold.Count; ++i) {
            const FoldEvent event = fold.Events[size_t(i)];
            if (event.Opens) {
                open.push_back(TOpen{event.Block, line});
                continue;
            }
            const auto match = std::find_if(open.rbegin(), open.rend(),
                                            [&event](const TOpen &o) { return o.Block == event.Block; });
            if (match == open.rend())
                continue;
            if (line > match->Line)
                ranges.push_back(FoldRange{match->Line, line});
            open.erase(std::next(match).base(), open.end());
        }
    }
    std::sort(ranges.begin(), ranges.end(), RangeBefore);
    return ranges;
}

void FoldTracker::Reset(int count, const LineText &line)
{
    m_lines.assign(size_t(std::max(count, 0)), LineFold{});
    for (int i = 0; i < count; ++i)
        m_lines[size_t(i)] = ScanFoldLine(line(i + 1));
    Rescan();
}

void FoldTracker::Rescan()
{
    m_start.assign(m_lines.size() + 1, -1);
    m_nodes.clear();
    m_blocks.clear();
    m_scanned = 0;
    Scan(0, int(m_lines.size()));
    m_comments.clear();
    FindCommentRuns(0, int(m_lines.size()));
    MergeRanges();
}

void FoldTracker::FindCommentRuns(int from, int until)
{
    std::erase_if(m_comments, [from, until](const FoldRange &r) { return r.Last > from && r.First <= until; });
    std::vector<FoldRange> found;
    for (int i = from; i < until;) {
        int end = i;
        while (end < until && m_lines[size_t(end)].Comment)
            ++end;
        if (end - i >= kMinCommentRun)
            found.push_back(FoldRange{i + 1, end});
        i = std::max(end, i + 1);
    }
    const auto where = std::lower_bound(m_comments.begin(), m_comments.end(), FoldRange{from + 1, 0}, RangeBefore);
    m_comments.insert(where, found.begin(), found.end());
}

void FoldTracker::MergeRanges()
{
    m_ranges.clear();
    m_ranges.reserve(m_blocks.size() + m_comments.size());
    std::merge(m_blocks.begin(), m_blocks.end(), m_comments.begin(), m_comments.end(), std::back_inserter(m_ranges),
               RangeBefore);
}

void FoldTracker::Replace(int first, int removed, int inserted, const LineText &line)
{
    const int count = int(m_lines.size());
    const int at = std::clamp(first - 1, 0, count);
    removed = std::clamp(removed, 0, count - at);
    inserted = std::max(inserted, 0);
    const int delta = inserted - removed;
    // 0-based: the first line after the change, before it.
    const int oldEnd = at + removed;
    // Ranges that end in the changed lines are found again by the scan; the
    // line numbers after the change move with their text.
    std::erase_if(m_blocks, [at, oldEnd](const FoldRange &r) { return r.Last > at && r.Last <= oldEnd; });
    if (delta != 0) {
        for (FoldRange &r : m_blocks) {
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
        std::vector<int> start;
        start.reserve(size_t(count + delta + 1));
        start.insert(start.end(), m_start.begin(), m_start.begin() + at + 1);
        if (inserted > 0) {
            start.insert(start.end(), size_t(inserted - 1), -2);
            start.push_back(m_start[size_t(oldEnd)]);
        }
        start.insert(start.end(), m_start.begin() + oldEnd + 1, m_start.end());
        m_start = std::move(start);
        m_lines.erase(m_lines.begin() + at, m_lines.begin() + oldEnd);
        m_lines.insert(m_lines.begin() + at, size_t(inserted), LineFold{});
    }
    for (int i = 0; i < inserted; ++i)
        m_lines[size_t(at + i)] = ScanFoldLine(line(at + i + 1));
    // Nodes that no line's start refers to any more pile up; now and then
    // the whole text is matched again from the lines' events.
    if (m_nodes.size() > 4 * m_lines.size() + 4096) {
        Rescan();
        return;
    }
    m_scanned = 0;
    Scan(at, at + inserted);
    // The comment runs: those of the changed lines and the runs that touch
    // them are found again; the rest move with their lines.
    std::erase_if(m_comments, [at, oldEnd](const FoldRange &r) { return r.Last > at && r.First <= oldEnd; });
    if (delta != 0)
        for (FoldRange &r : m_comments)
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

void FoldTracker::Scan(int from, int until)
{
    const int count = int(m_lines.size());
    std::vector<FoldRange> found;
    int open = m_start[size_t(from)];
    int i = from;
    for (; i < count; ++i) {
        ++m_scanned;
        const LineFold &fold = m_lines[size_t(i)];
        for (int e = 0; e < fold.Count; ++e) {
            const FoldEvent event = fold.Events[size_t(e)];
            if (event.Opens) {
                m_nodes.push_back(TNode{event.Block, i + 1, open});
                open = int(m_nodes.size()) - 1;
                continue;
            }
            // The nearest open block of the closer's kind; the blocks opened
            // inside it and never closed end with it.
            int match = open;
            while (match >= 0 && m_nodes[size_t(match)].Block != event.Block)
                match = m_nodes[size_t(match)].Parent;
            if (match < 0)
                continue;
            if (i + 1 > m_nodes[size_t(match)].Line)
                found.push_back(FoldRange{m_nodes[size_t(match)].Line, i + 1});
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
    std::erase_if(m_blocks, [from, last](const FoldRange &r) { return r.Last > from && r.Last <= last; });
    if (found.empty())
        return;
    std::sort(found.begin(), found.end(), RangeBefore);
    std::vector<FoldRange> merged;
    merged.reserve(m_blocks.size() + found.size());
    std::merge(m_blocks.begin(), m_blocks.end(), found.begin(), found.end(), std::back_inserter(merged), RangeBefore);
    m_blocks = std::move(merged);
}

} // namespace vbs
