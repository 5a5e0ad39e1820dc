// zeMarks.cpp: gutter marks and the editor's mark list.
// TMark repaints its gutter row when it moves or changes look; TMarkList
// reports additions and removals through OnChange.
#include <algorithm>

#include "toolkit/Exception.h"
#include "editor/zeCustomEdit.h"

TMark::TMark(TzeCustomEdit *owner) : m_edit(owner) {}

TMark::~TMark() = default;

TzeCustomEdit *TMark::Edit()
{
    // Not listed yet (a new bookmark before it is added) or no longer: no
    // owner to repaint, but the owner is kept for when it is listed.
    if (m_edit && m_edit->Marks().IndexOf(this) >= 0)
        return m_edit;
    return nullptr;
}

void TMark::InvalidateRow()
{
    if (TzeCustomEdit *edit = Edit())
        edit->InvalidateGutterLines(m_line, m_line);
}

void TMark::SetLine(int value)
{
    if (m_visible && Edit()) {
        if (m_line > 0)
            InvalidateRow();
        m_line = value;
        InvalidateRow();
    } else {
        m_line = value;
    }
}

void TMark::SetColumn(int value)
{
    m_column = value;
}

void TMark::SetImageIndex(int value)
{
    m_imageIndex = value;
    if (m_visible)
        InvalidateRow();
}

void TMark::SetVisible(bool value)
{
    if (m_visible == value)
        return;
    m_visible = value;
    InvalidateRow();
}

void TMark::SetInternalImage(bool value)
{
    m_internalImage = value;
    if (m_visible)
        InvalidateRow();
}

void TMarkList::Changed()
{
    if (OnChange)
        OnChange(*this);
}

int TMarkList::Add(TMark *mark)
{
    if (!mark)
        return -1;
    m_items.push_back(mark);
    Changed();
    return Count() - 1;
}

void TMarkList::Remove(TMark *mark)
{
    auto it = std::find(m_items.begin(), m_items.end(), mark);
    if (it != m_items.end())
        m_items.erase(it);
    // A record must not hold on to a mark that may be freed next.
    if (m_owner) {
        m_owner->UndoList().ForgetMark(mark);
        m_owner->RedoList().ForgetMark(mark);
    }
    Changed();
}

TMark *TMarkList::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return m_items[size_t(index)];
}

int TMarkList::IndexOf(const TMark *mark) const noexcept
{
    auto it = std::find(m_items.begin(), m_items.end(), mark);
    return it == m_items.end() ? -1 : int(it - m_items.begin());
}
