// zeDocument.cpp: the editor's text without a window: the editing primitives,
// the marks and bookmarks, the undo lists' settings and the range states,
// which are computed only when read and kept current across changes.
#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

#include "editor/zeDocument.h"

namespace {

// The characters of s from 0-based position pos on, at most n of them; none
// where s is shorter.
std::string_view Part(std::string_view s, int pos, size_t n = std::string::npos)
{
    if (pos < 0 || size_t(pos) >= s.size())
        return {};
    return s.substr(size_t(pos), n);
}

// The lines that inserting value produces: value followed by CR LF, split at
// CR LF, lone CR and lone LF, ending at the first NUL. So a value ending with
// a line break gives a last empty line, and one starting with NUL gives none.
std::vector<std::string> SplitInsertedText(std::string_view value)
{
    std::vector<std::string> lines = SplitTextLines(value);
    const bool endsWithBreak = !value.empty() && (value.back() == '\r' || value.back() == '\n');
    if (endsWithBreak && std::memchr(value.data(), '\0', value.size()) == nullptr)
        lines.emplace_back();
    return lines;
}

// The line breaks in text, as the list splits it.
int LineBreaks(std::string_view text)
{
    int breaks = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++breaks;
    }
    return breaks;
}

} // namespace

TzeDocument::TzeDocument()
    : m_self(std::make_shared<TzeDocument *>(this))
{
    m_lines.OnAdded = [this](TzeEditList &list) {
        LineInserted(list.Count() - 1);
        Notify(ckLineAppended, list.Count() - 1, 1);
    };
    m_lines.OnInserted = [this](int index) {
        LineInserted(index);
        Notify(ckLineInserted, index, 1);
    };
    m_lines.OnDeleted = [this](int index) {
        LineDeleted(index);
        Notify(ckLineDeleted, index, -1);
    };
    m_lines.OnPut = [this](int index) {
        LineChanged(index);
        Notify(ckLineChanged, index, 0);
    };
    m_lines.OnCleared = [this](TzeEditList &) {
        // Nothing recorded for the old text means anything for the next.
        RangesReset();
        ClearUndo();
        Notify(ckCleared, 0, 0);
    };
    m_lines.OnTextSet = [this](TzeEditList &list) {
        RangesReset();
        if (list.Count() == 0)
            list.Add(std::string());
        ClearUndo();
        Notify(ckTextSet, 0, list.Count());
    };
    m_lines.OnNeedObject = [this](int index) { EnsureRanges(index); };
    m_lines.OnChange = [this](TStringList &) {
        if (OnLinesChanged)
            OnLinesChanged();
        if (std::exchange(m_changePending, false) && OnChange)
            OnChange();
    };
}

TzeDocument::~TzeDocument()
{
    m_lines.OnAdded = nullptr;
    m_lines.OnInserted = nullptr;
    m_lines.OnDeleted = nullptr;
    m_lines.OnPut = nullptr;
    m_lines.OnCleared = nullptr;
    m_lines.OnTextSet = nullptr;
    m_lines.OnNeedObject = nullptr;
    m_lines.OnChange = nullptr;
    m_marks.OnChange = nullptr;
    OnMarkRow = nullptr;
    for (std::unique_ptr<TMark> &mark : m_bookmarks)
        mark.reset();
}

void TzeDocument::Notify(TzeChangeKind kind, int first, int added)
{
    if (OnModified)
        OnModified(TzeDocChange{kind, first, added});
}

std::string_view TzeDocument::LineOrEmpty(int line) const
{
    if (line < 1 || line > m_lines.Count())
        return {};
    return m_lines.Get(line - 1);
}

// --- The door

TPoint TzeDocument::Replace(TPoint b, TPoint e, std::string_view text, TUndoChangeKind kind)
{
    TzeTextChange change;
    change.Begin = b;
    change.End = e;
    change.Text = text;
    change.Kind = kind;
    return Replace(change);
}

TPoint TzeDocument::Replace(const TzeTextChange &change)
{
    const TPoint b = MinPoint(change.Begin, change.End);
    const TPoint e = MaxPoint(change.Begin, change.End);
    const bool recorded = change.Kind != ucNone && !m_undoList.Locked();
    std::string removed;
    std::vector<TMarkLine> marks;
    if (recorded) {
        removed = TextBetween(b, e);
        // Where the marks stand before the change, for an undo that puts
        // back the lines a deletion joins.
        TUndoChange probe;
        probe.Kind = change.Kind;
        probe.StartPos = change.RecordStart.value_or(b);
        probe.Text = removed;
        marks = MarksToRestore(m_undoList, probe);
    }
    TPoint end = b;
    {
        TUpdateGuard update(m_lines);
        if (b != e)
            DeleteText(b, e);
        if (!change.Text.empty())
            end = InsertText(b, change.Text);
        if (change.Trim && end.Y >= 1 && end.Y <= m_lines.Count()) {
            std::string line(m_lines.Get(end.Y - 1));
            const size_t length = line.size();
            TrimPadding(line);
            if (line.size() != length)
                m_lines.Put(end.Y - 1, line);
        }
        if (recorded) {
            const TPoint start = change.RecordStart.value_or(b);
            const TPoint stop = change.RecordEnd.value_or(IsInsertion(change.Kind) ? end : e);
            Record(change.Kind, start, stop, removed, std::move(marks));
        }
    }
    return end;
}

void TzeDocument::Record(TUndoChangeKind kind, TPoint p1, TPoint p2, const std::string &text,
                         std::vector<TMarkLine> marks)
{
    m_undoList.Push(kind, p1, p2, text, std::move(marks));
}

void TzeDocument::ChangeRecorded()
{
    // Those who hear of the change see the text as it ends, after the
    // bracket the change runs in.
    if (m_lines.UpdateCount() > 0)
        m_changePending = true;
    else if (OnChange)
        OnChange();
}

void TzeDocument::ForgetMark(const TMark *mark) noexcept
{
    m_undoList.ForgetMark(mark);
    m_redoList.ForgetMark(mark);
}

namespace {

// Leading characters of code 32 or lower, when the editor indents automatically.
int Indentation(std::string_view s, bool autoindent)
{
    if (!autoindent)
        return 0;
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    return int(std::find_if_not(s.begin(), s.end(), blank) - s.begin());
}

std::string Trimmed(std::string s)
{
    TrimRight(s);
    return s;
}

} // namespace

TPoint TzeDocument::BreakLine(TPoint p, bool autoindent, bool moveCaret)
{
    TUpdateGuard update(m_lines);
    // A point past the last line breaks an empty line at the end.
    if (m_lines.Count() == 0)
        m_lines.Add(std::string());
    p.Y = std::clamp(p.Y, 1, m_lines.Count());
    p.X = std::max(p.X, 1);
    const std::string s(m_lines.Get(p.Y - 1));
    const int length = int(s.size());
    const int index = p.Y - 1;
    TPoint caret = p;
    if (length > 0 && p.X <= length) {
        const int n = Indentation(s, autoindent);
        if (p.X > 1 && p.X - 1 > n) {
            const std::string tail = s.substr(size_t(p.X - 1));
            const std::string first = Trimmed(s.substr(0, size_t(p.X - 1)));
            m_lines.Put(index, first);
            // The blanks that trimming takes are recorded before the tail,
            // so that undo puts back tab characters as they were.
            Record(ucLineBreak, p, p, s.substr(first.size()), {});
            m_lines.Insert(index + 1, s.substr(0, size_t(n)) + tail);
            caret = TPoint{n + 1, p.Y + 1};
        } else {
            m_lines.Put(index, std::string());
            m_lines.Insert(index + 1, s);
            Record(ucLineBreak, p, p, s, {});
            caret = TPoint{p.X, p.Y + 1};
        }
    } else {
        std::string_view model;
        if (length > 0) {
            if (p.Y >= 2)
                model = s;
        } else {
            // An empty line takes the indentation of the nearest line above with text.
            for (int line = p.Y; line >= 1; --line) {
                const std::string_view text = m_lines.Get(line - 1);
                if (!text.empty()) {
                    model = text;
                    break;
                }
            }
        }
        const int n = Indentation(model, autoindent);
        // Blanks typed past the end of the new line are spaces: an indentation
        // that holds a tab character is put on the line as it is, else the
        // caret alone goes past the end of the empty line.
        std::string indent(model.substr(0, size_t(n)));
        if (indent.find('\t') == std::string::npos)
            indent.clear();
        Record(ucLineBreak, p, p, std::string(), {});
        // On an empty line the new one goes above, and the caret's line below.
        if (length > 0) {
            m_lines.Insert(index + 1, indent);
        } else {
            m_lines.Insert(index, std::string());
            if (!indent.empty())
                m_lines.Put(index + 1, indent);
        }
        caret = TPoint{n + 1, p.Y + 1};
    }
    if (!moveCaret)
        caret = p;
    MoveMarksFrom(caret.Y, 1);
    return caret;
}

void TzeDocument::DeleteWholeLine(int line, TPoint caret)
{
    const int count = m_lines.Count();
    if (count == 0)
        return;
    line = std::clamp(line, 1, count);
    TUpdateGuard update(m_lines);
    // The only line stays as an empty line, so its undo gives back the text
    // without a line break (else undo would add a line).
    const std::string text(m_lines.Get(line - 1));
    m_undoList.Push(ucForwardDelete, TPoint{1, line}, caret, count <= 1 ? text : text + "\r\n");
    // The marks below move up with their lines, so that the undo, which
    // puts the line back, finds them where it moves them from.
    m_lines.Delete(line - 1);
    if (count > 1)
        MoveMarksFrom(line + 1, -1);
    if (m_lines.Count() == 0)
        m_lines.Add(std::string());
}

// --- Editing primitives

void TzeDocument::DeleteText(TPoint b, TPoint e)
{
    const int count = m_lines.Count();
    // Points older than a change made inside an open list update may lie
    // past the end: there is nothing of them to delete.
    if (b.Y < 1 || b.Y > count)
        return;
    TUpdateGuard update(m_lines);
    e.Y = std::min(e.Y, count);
    if (b.Y == e.Y) {
        std::string line(m_lines.Get(b.Y - 1));
        if (size_t(b.X - 1) < line.size())
            line.erase(size_t(b.X - 1), size_t(std::max(0, e.X - b.X)));
        TrimPadding(line);
        m_lines.Put(b.Y - 1, line);
        return;
    }
    const std::string_view firstLine = m_lines.Get(b.Y - 1);
    // A range that starts past the end of its line joins the rest at its
    // start column, padded with blanks (as Delete at a line end does): the
    // joined text keeps its column, so an undo re-inserts at the right place
    // even where trimming took blanks that earlier changes counted on.
    std::string joined(firstLine.substr(0, std::min(firstLine.size(), size_t(b.X - 1))));
    joined.resize(size_t(b.X - 1), ' ');
    joined.append(Part(m_lines.Get(e.Y - 1), e.X - 1));
    const int removed = e.Y - b.Y;
    for (int i = 0; i < m_marks.Count(); ++i) {
        TMark *mark = m_marks.Items(i);
        if (mark->Line() >= e.Y)
            mark->SetLine(mark->Line() - removed);
        else if (mark->Line() > b.Y)
            mark->SetLine(b.Y);
    }
    for (int i = 0; i < removed; ++i)
        m_lines.Delete(b.Y - 1);
    TrimPadding(joined);
    m_lines.Put(b.Y - 1, joined);
}

TPoint TzeDocument::InsertText(TPoint p, std::string_view value)
{
    std::vector<std::string> parts = SplitInsertedText(value);
    if (parts.empty())
        return p;
    TUpdateGuard update(m_lines);
    if (m_lines.Count() == 0)
        m_lines.Add(std::string());
    p.Y = std::clamp(p.Y, 1, m_lines.Count());
    p.X = std::max(p.X, 1);
    const size_t column = size_t(p.X - 1);
    std::string line(m_lines.Get(p.Y - 1));
    if (line.size() < column)
        line.append(column - line.size(), ' ');
    if (parts.size() == 1) {
        line.insert(column, parts.front());
        m_lines.Put(p.Y - 1, line);
        return TPoint{p.X + int(parts.front().size()), p.Y};
    }
    size_t bytes = line.size();
    for (const std::string &part : parts)
        bytes += part.size();
    m_lines.Reserve(int(parts.size()) - 1, bytes);
    std::string rest = line.substr(column);
    line.resize(column);
    line += parts.front();
    m_lines.Put(p.Y - 1, line);
    const int added = int(parts.size()) - 1;
    int index = p.Y - 1;
    for (size_t i = 1; i + 1 < parts.size(); ++i)
        m_lines.Insert(++index, parts[i]);
    MoveMarksFrom(p.Y, added);
    std::string &lastPart = parts.back();
    const int lastLength = int(lastPart.size());
    lastPart += rest;
    m_lines.Insert(++index, lastPart);
    return TPoint{lastLength + 1, index + 1};
}

std::string TzeDocument::TextBetween(TPoint b, TPoint e) const
{
    if (b.Y == e.Y)
        return std::string(Part(LineOrEmpty(b.Y), b.X - 1, size_t(std::max(0, e.X - b.X))));
    const std::string_view first = Part(LineOrEmpty(b.Y), b.X - 1);
    const std::string_view last = Part(LineOrEmpty(e.Y), 0, size_t(std::max(0, e.X - 1)));
    size_t size = first.size() + 2 + last.size();
    for (int y = b.Y + 1; y < e.Y; ++y)
        size += LineOrEmpty(y).size() + 2;
    std::string result;
    result.reserve(size);
    result.append(first).append("\r\n");
    for (int y = b.Y + 1; y < e.Y; ++y)
        result.append(LineOrEmpty(y)).append("\r\n");
    result.append(last);
    return result;
}

// --- Undo settings

void TzeDocument::SetMaxUndo(int value)
{
    if (value < 0)
        return;
    m_undoList.SetLimit(value);
    m_redoList.SetLimit(value);
}

void TzeDocument::LockUndo() noexcept
{
    m_undoList.Lock();
    m_redoList.Lock();
}

void TzeDocument::UnlockUndo() noexcept
{
    m_undoList.Unlock();
    m_redoList.Unlock();
}

void TzeDocument::SetModified(bool value) noexcept
{
    if (value) {
        m_saveReachable = false;
    } else {
        m_savedState = m_state;
        m_saveReachable = true;
    }
}

std::uint64_t TzeDocument::ReplayTarget() noexcept
{
    const std::uint64_t target = m_state == m_replay.From ? m_replay.To : ++m_lastState;
    m_replay.Active = false;
    return target;
}

void TzeDocument::BeginUndoGroup() noexcept
{
    if (m_groupDepth++ == 0)
        m_group = ++m_lastGroup;
}

void TzeDocument::EndUndoGroup() noexcept
{
    assert(m_groupDepth > 0);
    if (m_groupDepth > 0)
        --m_groupDepth;
}

void TzeDocument::Recorded(const TUndoList &list, TUndoChange *change) noexcept
{
    const bool replay = m_replay.Active;
    const std::uint64_t group = replay ? m_replay.Group : m_groupDepth > 0 ? m_group : ++m_lastGroup;
    const std::uint64_t next = replay ? ReplayTarget() : ++m_lastState;
    if (change) {
        change->Group = group;
        const bool redo = &list == &m_redoList;
        change->StateBefore = redo ? next : m_state;
        change->StateAfter = redo ? m_state : next;
    }
    m_state = next;
}

void TzeDocument::FinishReplay() noexcept
{
    if (m_replay.Active)
        m_state = ReplayTarget();
}

void TzeDocument::ClearUndo() noexcept
{
    m_undoList.Clear();
    m_redoList.Clear();
}

std::vector<TMarkLine> TzeDocument::MarksToRestore(const TUndoList &list, const TUndoChange &change) const
{
    // Only undo is held to it: undo takes changes back in the order they
    // were made, while a redo may land on a text changed since, where lines
    // recorded then would misplace the marks.
    if (&list != &m_undoList || !IsDeletion(change.Kind) || m_marks.Count() == 0)
        return {};
    const int breaks = LineBreaks(change.Text);
    if (breaks == 0)
        return {};
    return MarkLines(change.StartPos.Y, change.StartPos.Y + breaks);
}

// --- Marks

void TzeDocument::PlaceBookmark(int n, TMark *mark)
{
    std::unique_ptr<TMark> owned(mark);
    if (!IsBookmarkSlot(n) || !owned)
        return;
    // A line carries at most one bookmark.
    for (int i = 0; i < kBookmarkCount; ++i)
        if (m_bookmarks[size_t(i)] && m_bookmarks[size_t(i)]->Line() == mark->Line())
            ClearBookmark(i);
    ClearBookmark(n);
    m_bookmarks[size_t(n)] = std::move(owned);
    m_marks.Add(mark);
}

void TzeDocument::ClearBookmark(int n)
{
    if (!IsBookmarkSlot(n) || !m_bookmarks[size_t(n)])
        return;
    m_marks.Remove(m_bookmarks[size_t(n)].get());
    m_bookmarks[size_t(n)].reset();
}

void TzeDocument::MoveMarksFrom(int from, int delta)
{
    for (int i = 0; i < m_marks.Count(); ++i) {
        TMark *mark = m_marks.Items(i);
        if (mark->Line() >= from)
            mark->SetLine(mark->Line() + delta);
    }
}

std::vector<TMarkLine> TzeDocument::MarkLines(int first, int last) const
{
    std::vector<TMarkLine> lines;
    for (int i = 0; i < m_marks.Count(); ++i) {
        TMark *mark = m_marks.Items(i);
        if (mark->Line() >= first && mark->Line() <= last)
            lines.push_back(TMarkLine{mark, mark->Line()});
    }
    return lines;
}

void TzeDocument::RestoreMarks(const std::vector<TMarkLine> &marks)
{
    for (const TMarkLine &m : marks) {
        if (m_marks.IndexOf(m.Mark) >= 0)
            m.Mark->SetLine(m.Line);
    }
}

// --- Range states

int TzeDocument::EnsureRanges(int index) const
{
    const int count = m_lines.Count();
    if (!m_scanner || index < m_rangesValid || count == 0)
        return -1;
    index = std::min(index, count - 1);
    assert(m_rangesValid <= m_rangesChained);
    int changedTo = -1;
    int j = m_rangesValid;
    if (j == 0) {
        const std::intptr_t initial = m_scanner->InitialRange();
        if (m_lines.StoredObject(0) != initial)
            changedTo = 0;
        StoreRange(0, initial);
        j = 1;
    }
    while (j <= index) {
        const std::intptr_t range = m_scanner->RangeAfter(m_lines.Get(j - 1), j - 1, m_lines.StoredObject(j - 1));
        if (j < m_rangesChained && m_lines.StoredObject(j) == range) {
            // Up to the next break the states follow from texts still there.
            const auto next = std::upper_bound(m_rangesBreaks.begin(), m_rangesBreaks.end(), j);
            j = std::min(next == m_rangesBreaks.end() ? m_rangesChained : *next, count);
            m_rangesBreaks.erase(m_rangesBreaks.begin(), next);
            m_rangesValid = j;
            continue;
        }
        const bool changed = m_lines.StoredObject(j) != range;
        StoreRange(j, range);
        if (changed)
            changedTo = j;
        ++j;
        // The next line's stored state came from the value just replaced.
        if (changed && j >= m_rangesValid) {
            m_rangesValid = j;
            BreakRangesAt(j);
        }
    }
    m_rangesValid = std::max(m_rangesValid, j);
    m_rangesChained = std::max(m_rangesChained, m_rangesValid);
    const auto passed = std::lower_bound(m_rangesBreaks.begin(), m_rangesBreaks.end(), m_rangesValid);
    m_rangesBreaks.erase(m_rangesBreaks.begin(), passed);
    return changedTo;
}

void TzeDocument::StoreRange(int index, std::intptr_t range) const
{
    // The states are a cache of what the text implies; reading fills it.
    const_cast<TzeEditList &>(m_lines).PutObject(index, range);
}

void TzeDocument::RangesReset() noexcept
{
    m_rangesValid = m_rangesChained = 0;
    m_rangesBreaks.clear();
}

void TzeDocument::RangesTakenAsTheyAre() noexcept
{
    m_rangesValid = m_rangesChained = m_lines.Count();
    m_rangesBreaks.clear();
}

void TzeDocument::BreakRangesAt(int k) const
{
    if (k < m_rangesValid || k >= m_rangesChained)
        return;
    const auto at = std::lower_bound(m_rangesBreaks.begin(), m_rangesBreaks.end(), k);
    if (at == m_rangesBreaks.end() || *at != k)
        m_rangesBreaks.insert(at, k);
    // Many scattered edits: the chain ends at a break instead of growing the list.
    constexpr std::size_t kMaxBreaks = 256;
    if (m_rangesBreaks.size() > kMaxBreaks) {
        m_rangesChained = m_rangesBreaks[kMaxBreaks / 2];
        m_rangesBreaks.resize(kMaxBreaks / 2);
    }
}

void TzeDocument::LineChanged(int index)
{
    if (!m_scanner)
        return;
    // The state of the line itself still holds; the next one is in doubt.
    m_rangesValid = std::min(m_rangesValid, index + 1);
    BreakRangesAt(index + 1);
}

void TzeDocument::LineInserted(int index)
{
    // Without a scanner a new line's slot stays as given.
    if (!m_scanner)
        return;
    m_lines.PutObject(index, kUnknownRange);
    for (int &k : m_rangesBreaks)
        k += k >= index ? 1 : 0;
    if (index < m_rangesChained)
        ++m_rangesChained;
    m_rangesValid = std::min(m_rangesValid, index);
    BreakRangesAt(index);
    BreakRangesAt(index + 1);
}

void TzeDocument::LineDeleted(int index)
{
    if (!m_scanner)
        return;
    std::erase(m_rangesBreaks, index);
    for (int &k : m_rangesBreaks)
        k -= k > index ? 1 : 0;
    if (index < m_rangesChained)
        --m_rangesChained;
    m_rangesValid = std::min(m_rangesValid, index);
    m_rangesChained = std::max(m_rangesChained, m_rangesValid);
    BreakRangesAt(index);
}
