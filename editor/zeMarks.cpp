// zeMarks.cpp: gutter marks and the document's mark list.
// A visible TMark asks its document to show its row again when it moves or
// changes look; TMarkList reports additions and removals through OnChange.
#include <algorithm>

#include "toolkit/Exception.h"
#include "editor/zeDocument.h"

TMark::TMark(TzeDocument &document) : m_document(document.m_self) {}

TMark::~TMark() = default;

TzeDocument *TMark::Document() const noexcept
{
    // Not listed yet (a new bookmark before it is added) or no longer: no
    // document to tell, but the link is kept for when it is listed.
    const std::shared_ptr<TzeDocument *> document = m_document.lock();
    if (document && (*document)->Marks().IndexOf(this) >= 0)
        return *document;
    return nullptr;
}

void TMark::InvalidateRow()
{
    if (TzeDocument *document = Document(); document && document->OnMarkRow)
        document->OnMarkRow(m_line);
}

void TMark::SetLine(int value)
{
    if (m_visible && Document()) {
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
    if (m_document) {
        m_document->ForgetMark(mark);
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
