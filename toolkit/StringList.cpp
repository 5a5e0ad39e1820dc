// StringList.cpp: gap-buffer string list with update bracket.
#include "toolkit/StringList.h"

#include <algorithm>
#include <cassert>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

#include "toolkit/Exception.h"

std::vector<std::string> SplitTextLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t p = 0;
    const size_t n = text.size();
    while (p < n && text[p] != '\0') {
        const size_t start = p;
        while (p < n && text[p] != '\0' && text[p] != '\r' && text[p] != '\n')
            ++p;
        lines.emplace_back(text.substr(start, p - start));
        if (p < n && text[p] == '\r')
            ++p;
        if (p < n && text[p] == '\n')
            ++p;
    }
    return lines;
}

TStringList::TStringList() : m_lines(std::make_unique<TLineStorage>()) {}
TStringList::~TStringList() = default;

void TStringList::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string_view TStringList::Get(int index) const
{
    CheckIndex(index, Count());
    return m_lines->Line(index);
}

std::intptr_t TStringList::GetObject(int index) const
{
    return StoredObject(index);
}

std::intptr_t TStringList::StoredObject(int index) const
{
    CheckIndex(index, Count());
    return m_lines->Slot(index);
}

void TStringList::PutObject(int index, std::intptr_t object)
{
    CheckIndex(index, Count());
    m_lines->SetSlot(index, object);
}

void TStringList::InsertItem(int index, std::string_view s, std::intptr_t object)
{
    if (index < 0 || index > Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    m_lines->Insert(index, s, object);
}

void TStringList::RemoveItem(int index)
{
    CheckIndex(index, Count());
    m_lines->Delete(index);
}

void TStringList::SetItem(int index, std::string_view s)
{
    CheckIndex(index, Count());
    m_lines->Put(index, s);
}

void TStringList::ClearItems()
{
    m_lines->Clear();
}

void TStringList::SetItems(std::string_view text)
{
    m_lines->SetText(text);
}

void TStringList::Changed()
{
    if (m_updateCount == 0 && OnChange)
        OnChange(*this);
}

void TStringList::EndUpdate()
{
    assert(m_updateCount > 0);
    if (m_updateCount > 0 && --m_updateCount == 0)
        Changed();
}

int TStringList::Add(std::string_view s)
{
    const int index = Count();
    InsertItem(index, s, 0);
    Changed();
    return index;
}

int TStringList::AddObject(std::string_view s, std::intptr_t object)
{
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStringList::Insert(int index, std::string_view s)
{
    InsertItem(index, s, 0);
    Changed();
}

void TStringList::Delete(int index)
{
    RemoveItem(index);
    Changed();
}

void TStringList::Put(int index, std::string_view s)
{
    SetItem(index, s);
    Changed();
}

void TStringList::Clear()
{
    if (Count() == 0)
        return;
    ClearItems();
    Changed();
}

std::string TStringList::Text() const
{
    return m_lines->Text();
}

void TStringList::SetText(std::string_view text)
{
    TUpdateGuard guard(*this);
    Clear();
    // What a subclass's Clear leaves (a placeholder line) stays in front.
    std::vector<std::pair<std::string, std::intptr_t>> kept;
    for (int i = 0; i < Count(); ++i)
        kept.emplace_back(std::string(Get(i)), StoredObject(i));
    // The text's lines in one pass, without an Add per line.
    SetItems(text);
    for (size_t i = 0; i < kept.size(); ++i)
        InsertItem(int(i), kept[i].first, kept[i].second);
    Changed();
}

void TStringList::Assign(const TStringList &source)
{
    if (&source == this)
        return;
    TUpdateGuard guard(*this);
    Clear();
    // Line by line into the storage, after what Clear left (a subclass's
    // placeholder); the slots as the source stores them.
    const int count = source.Count();
    for (int i = 0; i < count; ++i)
        m_lines->Add(source.Get(i), source.StoredObject(i));
    Changed();
}

void TStringList::Swap(TStringList &other)
{
    if (&other == this)
        return;
    TUpdateGuard guard(*this);
    TUpdateGuard otherGuard(other);
    std::swap(m_lines, other.m_lines);
    Changed();
    other.Changed();
}

void TStringList::LoadFromFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EStreamError("Cannot open file \"" + path + "\"");
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw EStreamError("Cannot read file \"" + path + "\"");
    SetText(data);
}
