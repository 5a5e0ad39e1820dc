// StringList.cpp: gap-buffer string list with update bracket.
#include "toolkit/StringList.h"

#include <algorithm>
#include <fstream>
#include <iterator>

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

TStringList::TStringList() = default;
TStringList::~TStringList() = default;

void TStringList::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string &TStringList::Get(int index) const
{
    CheckIndex(index, Count());
    return At(index).text;
}

std::intptr_t TStringList::GetObject(int index) const
{
    CheckIndex(index, Count());
    return At(index).object;
}

void TStringList::PutObject(int index, std::intptr_t object)
{
    CheckIndex(index, Count());
    At(index).object = object;
}

void TStringList::GapTo(int position)
{
    // Without a gap there is nothing to move; moving anyway would move every
    // line onto itself, which empties it.
    if (position == m_gapStart || m_gapLength == 0) {
        m_gapStart = position;
        return;
    }
    auto base = m_items.begin();
    if (position < m_gapStart) {
        std::move_backward(base + position, base + m_gapStart, base + m_gapStart + m_gapLength);
    } else {
        std::move(base + m_gapStart + m_gapLength, base + position + m_gapLength, base + m_gapStart);
    }
    m_gapStart = position;
}

void TStringList::RoomFor(int lines)
{
    if (m_gapLength >= lines)
        return;
    const int count = Count();
    const int newGap = std::max(lines, count / 2 + 16);
    std::vector<TLine> grown(size_t(count + newGap));
    auto base = m_items.begin();
    std::move(base, base + m_gapStart, grown.begin());
    std::move(base + m_gapStart + m_gapLength, m_items.end(), grown.begin() + m_gapStart + newGap);
    m_items.swap(grown);
    m_gapLength = newGap;
}

void TStringList::InsertItem(int index, std::string s, std::intptr_t object)
{
    if (index < 0 || index > Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    GapTo(index);
    RoomFor(1);
    m_items[size_t(m_gapStart)] = TLine{std::move(s), object};
    ++m_gapStart;
    --m_gapLength;
}

void TStringList::RemoveItem(int index)
{
    CheckIndex(index, Count());
    GapTo(index);
    m_items[size_t(m_gapStart + m_gapLength)] = TLine{};
    ++m_gapLength;
}

void TStringList::SetItem(int index, std::string s)
{
    CheckIndex(index, Count());
    At(index).text = std::move(s);
}

void TStringList::ClearItems()
{
    m_items.clear();
    m_items.shrink_to_fit();
    m_gapStart = 0;
    m_gapLength = 0;
}

void TStringList::Changed()
{
    if (m_updateCount == 0 && OnChange)
        OnChange(*this);
}

void TStringList::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0)
        Changed();
}

int TStringList::Add(const std::string &s)
{
    const int index = Count();
    InsertItem(index, s, 0);
    Changed();
    return index;
}

int TStringList::AddObject(const std::string &s, std::intptr_t object)
{
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStringList::Insert(int index, const std::string &s)
{
    InsertItem(index, s, 0);
    Changed();
}

void TStringList::Delete(int index)
{
    RemoveItem(index);
    Changed();
}

void TStringList::Put(int index, const std::string &s)
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
    const int count = Count();
    size_t size = 0;
    for (int i = 0; i < count; ++i)
        size += At(i).text.size() + 2;
    std::string result;
    result.reserve(size);
    for (int i = 0; i < count; ++i) {
        result += At(i).text;
        result += "\r\n";
    }
    return result;
}

void TStringList::SetText(std::string_view text)
{
    TUpdateGuard guard(*this);
    Clear();
    for (std::string &line : SplitTextLines(text))
        Add(line);
}

void TStringList::Assign(const TStringList &source)
{
    if (&source == this)
        return;
    TUpdateGuard guard(*this);
    Clear();
    const int count = source.Count();
    for (int i = 0; i < count; ++i)
        AddObject(source.Get(i), source.GetObject(i));
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
