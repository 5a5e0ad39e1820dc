// zeUndo.cpp: the bounded lists of undo and redo changes.
// TUndoList records TUndoChange values and tells its document that the text changed.
#include <new>
#include <utility>
#include <vector>

#include "toolkit/Exception.h"
#include "editor/zeDocument.h"

void TUndoList::Push(TUndoChangeKind kind, TPoint p1, TPoint p2, const std::string &text)
{
    if (m_locked)
        return;
    TUndoChange change{text, kind, MinPoint(p1, p2), MaxPoint(p1, p2), {}};
    if (m_document)
        change.Marks = m_document->MarksToRestore(*this, change);
    Append(std::move(change));
}

void TUndoList::Push(TUndoChangeKind kind, TPoint p1, TPoint p2, const std::string &text, std::vector<TMarkLine> marks)
{
    if (!m_locked)
        Append(TUndoChange{text, kind, MinPoint(p1, p2), MaxPoint(p1, p2), std::move(marks)});
}

void TUndoList::Append(TUndoChange change)
{
    if (Count() >= m_limit && !m_items.empty())
        m_items.pop_front();
    bool kept = true;
    try {
        m_items.push_back(std::move(change));
    } catch (const std::bad_alloc &) {
        kept = false;
    }
    if (m_document) {
        m_document->Recorded(*this, kept ? &m_items.back() : nullptr);
        if (!kept)
            return;
        m_document->ChangeRecorded();
    }
}

TUndoChangeKind TUndoList::Pop(TPoint &startPos, TPoint &endPos, std::string &text)
{
    if (m_items.empty())
        return ucNone;
    TUndoChange &change = m_items.back();
    startPos = change.StartPos;
    endPos = change.EndPos;
    text = std::move(change.Text);
    const TUndoChangeKind kind = change.Kind;
    m_items.pop_back();
    return kind;
}

TUndoChangeKind TUndoList::PeekKind() const noexcept
{
    return m_items.empty() ? ucNone : m_items.back().Kind;
}

void TUndoList::RemoveAt(int index)
{
    if (index >= 0 && index < Count())
        m_items.erase(m_items.begin() + index);
}

void TUndoList::Clear() noexcept
{
    while (!m_items.empty())
        m_items.pop_back();
}

void TUndoList::ForgetMark(const TMark *mark) noexcept
{
    for (TUndoChange &change : m_items)
        std::erase_if(change.Marks, [mark](const TMarkLine &m) { return m.Mark == mark; });
}

void TUndoList::SetLimit(int value)
{
    while (!m_items.empty() && Count() > value)
        m_items.pop_front();
    m_limit = value;
}

const TUndoChange &TUndoList::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return m_items[size_t(index)];
}
