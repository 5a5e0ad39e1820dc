// zeEditList.cpp: the editor's line list and how the editor keeps it current.
// TzeEditList brackets every change in one list update and reports it through
// its hooks; the TzeCustomEdit handlers of those hooks keep each line's
// highlighter range state and the scroll bars up to date.
#include <algorithm>
#include <cassert>
#include <istream>
#include <iterator>

#include "toolkit/Exception.h"
#include "editor/zeCustomEdit.h"

namespace {

// Sets the list's Loading flag for a scope; restores false also on failure.
class TLoadingGuard {
public:
    explicit TLoadingGuard(TzeEditList &list) noexcept : m_list(list) { m_list.SetLoading(true); }
    ~TLoadingGuard() { m_list.SetLoading(false); }
    TLoadingGuard(const TLoadingGuard &) = delete;
    TLoadingGuard &operator=(const TLoadingGuard &) = delete;

private:
    TzeEditList &m_list;
};

} // namespace

int TzeEditList::Add(std::string_view s)
{
    TUpdateGuard guard(*this);
    const int index = TStringList::Add(s);
    if (OnAdded)
        OnAdded(*this);
    return index;
}

void TzeEditList::Insert(int index, std::string_view s)
{
    TUpdateGuard guard(*this);
    TStringList::Insert(index, s);
    if (OnInserted)
        OnInserted(index);
}

void TzeEditList::Delete(int index)
{
    TUpdateGuard guard(*this);
    TStringList::Delete(index);
    if (OnDeleted)
        OnDeleted(index);
}

void TzeEditList::Put(int index, std::string_view s)
{
    TUpdateGuard guard(*this);
    TStringList::Put(index, s);
    if (OnPut)
        OnPut(index);
}

std::intptr_t TzeEditList::GetObject(int index) const
{
    CheckIndex(index, Count());
    if (OnNeedObject)
        OnNeedObject(index);
    return StoredObject(index);
}

void TzeEditList::Clear()
{
    TUpdateGuard guard(*this);
    TStringList::Clear();
    if (OnCleared)
        OnCleared(*this);
    if (!m_loading && Count() == 0)
        Add(std::string());
}

void TzeEditList::SetText(std::string_view text)
{
    TUpdateGuard guard(*this);
    TStringList::SetText(text);
    if (OnTextSet)
        OnTextSet(*this);
}

void TzeEditList::TakeLines(TStringList &source)
{
    TUpdateGuard guard(*this);
    {
        TLoadingGuard loading(*this);
        Clear();
    }
    Swap(source);
    source.Clear();
}

void TzeEditList::LoadFromFile(const std::string &path)
{
    TLoadingGuard loading(*this);
    TStringList::LoadFromFile(path);
}

void TzeEditList::LoadFromStream(std::istream &stream)
{
    TLoadingGuard loading(*this);
    std::string data((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (stream.bad())
        throw EStreamError("Cannot read stream");
    SetText(data);
}

// --- The editor's handlers of the list hooks

void TzeCustomEdit::EnsureRanges(int index) const
{
    const int count = m_lines->Count();
    if (!m_highlighter || index < m_rangesValid || count == 0)
        return;
    index = std::min(index, count - 1);
    assert(m_rangesValid <= m_rangesChained);
    int j = m_rangesValid;
    if (j == 0) {
        m_highlighter->ResetRange();
        m_lines->PutObject(0, m_highlighter->GetRange());
        j = 1;
    } else {
        m_highlighter->SetRange(int(m_lines->StoredObject(j - 1)));
    }
    while (j <= index) {
        m_highlighter->SetLine(m_lines->Get(j - 1), j - 1);
        m_highlighter->NextToEol();
        const std::intptr_t range = m_highlighter->GetRange();
        if (j < m_rangesChained && m_lines->StoredObject(j) == range) {
            // Up to the next break the states follow from texts still there.
            const auto next = std::upper_bound(m_rangesBreaks.begin(), m_rangesBreaks.end(), j);
            j = std::min(next == m_rangesBreaks.end() ? m_rangesChained : *next, count);
            m_rangesBreaks.erase(m_rangesBreaks.begin(), next);
            m_rangesValid = j;
            if (j <= index)
                m_highlighter->SetRange(int(m_lines->StoredObject(j - 1)));
            continue;
        }
        const bool changed = m_lines->StoredObject(j) != range;
        m_lines->PutObject(j, range);
        ++j;
        // The next line's stored state came from the value just replaced.
        if (changed && j >= m_rangesValid) {
            m_rangesValid = j;
            RangesBreakAt(j);
        }
    }
    m_rangesValid = std::max(m_rangesValid, j);
    m_rangesChained = std::max(m_rangesChained, m_rangesValid);
    const auto passed = std::lower_bound(m_rangesBreaks.begin(), m_rangesBreaks.end(), m_rangesValid);
    m_rangesBreaks.erase(m_rangesBreaks.begin(), passed);
}

void TzeCustomEdit::RangesReset() noexcept
{
    m_rangesValid = m_rangesChained = 0;
    m_rangesBreaks.clear();
}

void TzeCustomEdit::RangesTakenAsTheyAre() noexcept
{
    m_rangesValid = m_rangesChained = m_lines->Count();
    m_rangesBreaks.clear();
}

void TzeCustomEdit::RangesBreakAt(int k) const
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

void TzeCustomEdit::RangesLineChanged(int index)
{
    if (!m_highlighter)
        return;
    // The state of the line itself still holds; the next one is in doubt.
    m_rangesValid = std::min(m_rangesValid, index + 1);
    RangesBreakAt(index + 1);
}

void TzeCustomEdit::RangesLineInserted(int index)
{
    // Without a highlighter a new line's slot stays as given.
    if (!m_highlighter)
        return;
    m_lines->PutObject(index, kUnknownRange);
    for (int &k : m_rangesBreaks)
        k += k >= index ? 1 : 0;
    if (index < m_rangesChained)
        ++m_rangesChained;
    m_rangesValid = std::min(m_rangesValid, index);
    RangesBreakAt(index);
    RangesBreakAt(index + 1);
}

void TzeCustomEdit::RangesLineDeleted(int index)
{
    if (!m_highlighter)
        return;
    std::erase(m_rangesBreaks, index);
    for (int &k : m_rangesBreaks)
        k -= k > index ? 1 : 0;
    if (index < m_rangesChained)
        --m_rangesChained;
    m_rangesValid = std::min(m_rangesValid, index);
    m_rangesChained = std::max(m_rangesChained, m_rangesValid);
    RangesBreakAt(index);
}

void TzeCustomEdit::ListAdded(TzeEditList &list)
{
    RangesLineInserted(list.Count() - 1);
}

void TzeCustomEdit::LineCountChanged()
{
    // Inside an outer update bracket (a multi-line replacement) the bracket's
    // end updates the scroll bars once for the whole replacement.
    if (m_lines->UpdateCount() > 1)
        m_scrollBarsPending = true;
    else
        UpdateScrollBars(true);
}

void TzeCustomEdit::ListInserted(int index)
{
    RangesLineInserted(index);
    LineCountChanged();
}

void TzeCustomEdit::ListDeleted(int index)
{
    RangesLineDeleted(index);
    LineCountChanged();
}

void TzeCustomEdit::ListPut(int index)
{
    RangesLineChanged(index);
}

void TzeCustomEdit::ListTextSet(TzeEditList &list)
{
    RangesReset();
    if (list.Count() == 0)
        list.Add(std::string());
    SetCaretXY(TPoint{1, 1});
    SetLeftChar(1);
    SetTopLine(1);
    ClearUndo();
}

void TzeCustomEdit::ListCleared(TzeEditList &)
{
    RangesReset();
    ClearUndo();
    m_caretX = 0;
    m_caretY = 0;
    m_blockBegin = m_blockEnd = TPoint{1, 1};
    SetLeftChar(1);
    SetTopLine(1);
    UpdateCaret();
    DoOnSelectionChange();
}

void TzeCustomEdit::KeepCaretInText()
{
    // Commands move the caret on their own while they change lines; the
    // check waits for them to finish.
    if (m_paintLock > 0) {
        m_caretLinePending = true;
        return;
    }
    m_caretLinePending = false;
    if (m_caretY >= m_lines->Count() && m_lines->Count() > 0)
        SetCaretY(m_lines->Count());
}

void TzeCustomEdit::LinesChanged(TStringList &)
{
    if (!m_handleAllocated)
        return;
    KeepCaretInText();
    UpdateScrollBars(false);
    SetBlockBegin(CaretXY());
    InvalidateAll();
}
