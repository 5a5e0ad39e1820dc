// zeEditList.cpp: the editor's line list.
// TzeEditList brackets every change in one list update and reports it through
// its hooks, which its document handles.
#include <istream>
#include <iterator>

#include "toolkit/Exception.h"
#include "editor/zeDocument.h"

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
