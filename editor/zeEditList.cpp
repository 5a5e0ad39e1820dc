// zeEditList.cpp: the editor's line list and how the editor keeps it current.
// TzeEditList brackets every change in one list update and reports it through
// its hooks; the TzeCustomEdit handlers of those hooks keep each line's
// highlighter range state and the scroll bars up to date.
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

int TzeEditList::Add(const std::string &s)
{
    TUpdateGuard guard(*this);
    const int index = TStringList::Add(s);
    if (OnAdded)
        OnAdded(*this);
    return index;
}

void TzeEditList::Insert(int index, const std::string &s)
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

void TzeEditList::Put(int index, const std::string &s)
{
    TUpdateGuard guard(*this);
    TStringList::Put(index, s);
    if (OnPut)
        OnPut(index);
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

void TzeCustomEdit::ListAdded(TzeEditList &list)
{
    if (!m_highlighter)
        return;
    const int count = list.Count();
    if (count < 2) {
        m_highlighter->ResetRange();
        list.PutObject(0, m_highlighter->GetRange());
        return;
    }
    const int previous = count - 2;
    m_highlighter->SetRange(int(list.GetObject(previous)));
    m_highlighter->SetLine(list.Get(previous), previous);
    m_highlighter->NextToEol();
    list.PutObject(previous + 1, m_highlighter->GetRange());
}

void TzeCustomEdit::LineCountChanged(int index, bool inserted)
{
    RescanAfterInsertOrDelete(index, inserted);
    // Inside an outer update bracket (a multi-line replacement) the bracket's
    // end updates the scroll bars once for the whole replacement.
    if (m_lines->UpdateCount() > 1)
        m_scrollBarsPending = true;
    else
        UpdateScrollBars(true);
}

void TzeCustomEdit::RescanAfterInsertOrDelete(int index, bool inserted)
{
    const int count = m_lines->Count();
    if (!m_highlighter || count == 0)
        return;
    if (index <= 0) {
        m_highlighter->ResetRange();
        m_lines->PutObject(0, m_highlighter->GetRange());
        if (count > 1)
            ScanFrom(0);
        return;
    }
    m_highlighter->SetRange(int(m_lines->GetObject(index - 1)));
    if (!inserted || index >= count) {
        ScanFrom(index - 1);
        return;
    }
    // An inserted line comes with slot 0, which says nothing about its real
    // start state: store that state and scan the new line itself, so that
    // the stop rule cannot end the rescan before the new text was seen.
    m_highlighter->SetLine(m_lines->Get(index - 1), index - 1);
    m_highlighter->NextToEol();
    m_lines->PutObject(index, m_highlighter->GetRange());
    ScanFrom(index);
}

void TzeCustomEdit::ListInserted(int index)
{
    LineCountChanged(index, true);
}

void TzeCustomEdit::ListDeleted(int index)
{
    LineCountChanged(index, false);
}

void TzeCustomEdit::ListPut(int index)
{
    if (!m_highlighter)
        return;
    m_highlighter->SetRange(int(m_lines->GetObject(index)));
    ScanFrom(index);
}

void TzeCustomEdit::ScanFrom(int index)
{
    const int count = m_lines->Count();
    if (!m_highlighter || index < 0 || index >= count - 1)
        return;
    m_highlighter->SetLine(m_lines->Get(index), index);
    m_highlighter->NextToEol();
    for (int j = index + 1; j < count; ++j) {
        const std::intptr_t range = m_highlighter->GetRange();
        if (m_lines->GetObject(j) == range)
            break;
        m_lines->PutObject(j, range);
        m_highlighter->SetLine(m_lines->Get(j), j);
        m_highlighter->NextToEol();
    }
}

void TzeCustomEdit::ListTextSet(TzeEditList &list)
{
    if (list.Count() == 0)
        list.Add(std::string());
    SetCaretXY(TPoint{1, 1});
    SetLeftChar(1);
    SetTopLine(1);
    ClearUndo();
}

void TzeCustomEdit::ListCleared(TzeEditList &)
{
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
