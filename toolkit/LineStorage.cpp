// LineStorage.cpp: the compact line storage.
// Splitting text at line breaks with memchr, and the line operations of
// TLineStorage over its byte buffer, line starts and slots.
#include "toolkit/LineStorage.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::size_t kMaxText = std::size_t(std::numeric_limits<std::int32_t>::max());

// The text before its first NUL.
std::string_view UpToNul(std::string_view text) noexcept
{
    // An empty view may have no data at all, which memchr must not get.
    if (text.empty())
        return text;
    if (const void *nul = std::memchr(text.data(), '\0', text.size()))
        return text.substr(0, std::size_t(static_cast<const char *>(nul) - text.data()));
    return text;
}

// Calls onLine(piece, true) for every piece of text that a line break (CR LF,
// lone CR, lone LF) ends, then onLine(rest, false) for what follows the last
// break, possibly empty. text holds no NUL.
template <typename F>
void ForEachPiece(std::string_view text, F &&onLine)
{
    const char *data = text.data();
    const std::size_t n = text.size();
    std::size_t p = 0;
    while (p < n) {
        const void *lf = std::memchr(data + p, '\n', n - p);
        const std::size_t segmentEnd = lf ? std::size_t(static_cast<const char *>(lf) - data) : n;
        // The segment up to the LF may hold CRs: each ends a line, and one
        // right before the LF forms CR LF with it.
        for (;;) {
            const void *cr = std::memchr(data + p, '\r', segmentEnd - p);
            if (!cr) {
                if (!lf) {
                    onLine(text.substr(p), false);
                    return;
                }
                onLine(text.substr(p, segmentEnd - p), true);
                p = segmentEnd + 1;
                break;
            }
            const std::size_t lineEnd = std::size_t(static_cast<const char *>(cr) - data);
            onLine(text.substr(p, lineEnd - p), true);
            p = lineEnd + 1;
            if (p == segmentEnd) {
                p += lf ? 1 : 0;
                break;
            }
        }
    }
    onLine(std::string_view(), false);
}

} // namespace

TLineStorage::TLineStorage() = default;

void TLineStorage::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw std::out_of_range("line index out of range (" + std::to_string(index) + ")");
}

void TLineStorage::CheckPosition(TPosition p) const
{
    CheckIndex(p.Line, Count());
    if (p.Column < 0 || p.Column > LineLength(p.Line))
        throw std::out_of_range("column out of range (" + std::to_string(p.Column) + ")");
}

void TLineStorage::CheckRoom(std::size_t added) const
{
    if (added > kMaxText - TextLength() || Count() == std::numeric_limits<int>::max())
        throw std::length_error("text longer than 2 GB");
}

std::string_view TLineStorage::Line(int index) const
{
    CheckIndex(index, Count());
    const TPos start = Start(index);
    const TPos length = Start(index + 1) - start;
    return std::string_view(m_text.RangePointer(start, length), std::size_t(length));
}

std::string TLineStorage::LineCopy(int index) const
{
    return std::string(Line(index));
}

int TLineStorage::LineLength(int index) const
{
    CheckIndex(index, Count());
    return Start(index + 1) - Start(index);
}

std::intptr_t TLineStorage::Slot(int index) const
{
    CheckIndex(index, Count());
    return m_slots.ValueAt(index);
}

void TLineStorage::SetSlot(int index, std::intptr_t value)
{
    CheckIndex(index, Count());
    m_slots.SetValueAt(index, value);
}

void TLineStorage::Reserve(int lines, std::size_t bytes)
{
    CheckRoom(bytes);
    m_text.RoomFor(std::ptrdiff_t(bytes));
    m_starts.RoomFor(lines);
    m_slots.RoomFor(lines);
}

void TLineStorage::Insert(int index, std::string_view line, std::intptr_t slot)
{
    CheckIndex(index, Count() + 1);
    CheckRoom(line.size());
    // Room first: the changes below then cannot fail halfway.
    m_text.RoomFor(std::ptrdiff_t(line.size()));
    m_starts.RoomFor(1);
    m_slots.RoomFor(1);
    const TPos start = Start(index);
    m_text.InsertFromArray(start, line.data(), std::ptrdiff_t(line.size()));
    m_starts.InsertPartition(index, start);
    m_starts.InsertText(index, TPos(line.size()));
    m_slots.Insert(index, slot);
}

int TLineStorage::Add(std::string_view line, std::intptr_t slot)
{
    const int index = Count();
    Insert(index, line, slot);
    return index;
}

void TLineStorage::Delete(int index)
{
    CheckIndex(index, Count());
    const TPos start = Start(index);
    const TPos length = Start(index + 1) - start;
    m_text.DeleteRange(start, length);
    m_starts.InsertText(index, -length);
    m_starts.RemovePartitions(index + 1, 1);
    m_slots.Delete(index);
}

void TLineStorage::Put(int index, std::string_view line)
{
    CheckIndex(index, Count());
    const TPos start = Start(index);
    const TPos length = Start(index + 1) - start;
    if (line.size() > std::size_t(length))
        CheckRoom(line.size() - std::size_t(length));
    m_text.RoomFor(std::ptrdiff_t(line.size()));
    m_text.DeleteRange(start, length);
    m_text.InsertFromArray(start, line.data(), std::ptrdiff_t(line.size()));
    m_starts.InsertText(index, TPos(line.size()) - length);
}

void TLineStorage::Clear() noexcept
{
    m_text.DeleteAll();
    m_starts.DeleteAll();
    m_slots.DeleteAll();
}

void TLineStorage::SetText(std::string_view text)
{
    text = UpToNul(text);
    if (text.size() > kMaxText)
        throw std::length_error("text longer than 2 GB");
    // Built aside and swapped in, so a failure leaves the old text.
    TSplitVector<char> bytes;
    TPartitioning<TPos> starts;
    // The text without its breaks fits in text.size() bytes; the rest stays gap.
    bytes.ReAllocate(std::ptrdiff_t(text.size()));
    ForEachPiece(text, [&](std::string_view line, bool lineBreak) {
        if (!lineBreak && line.empty())
            return;
        bytes.InsertFromArray(bytes.Length(), line.data(), std::ptrdiff_t(line.size()));
        starts.AppendPartition(TPos(bytes.Length()));
    });
    TSplitVector<std::intptr_t> slots;
    slots.InsertValue(0, starts.Partitions(), 0);
    std::swap(m_text, bytes);
    std::swap(m_starts, starts);
    std::swap(m_slots, slots);
}

std::string TLineStorage::Text() const
{
    const int count = Count();
    std::string result;
    result.reserve(TextLength() + 2 * std::size_t(count));
    for (int i = 0; i < count; ++i) {
        result += Line(i);
        result += "\r\n";
    }
    return result;
}

TLineStorage::TPosition TLineStorage::InsertText(TPosition at, std::string_view text)
{
    CheckPosition(at);
    text = UpToNul(text);
    // Counted first, so that room for everything is made before any change.
    std::size_t bytes = 0;
    std::ptrdiff_t breaks = 0;
    ForEachPiece(text, [&](std::string_view line, bool lineBreak) {
        bytes += line.size();
        breaks += lineBreak ? 1 : 0;
    });
    CheckRoom(bytes);
    if (breaks > std::numeric_limits<int>::max() - Count())
        throw std::length_error("too many lines");
    m_text.RoomFor(std::ptrdiff_t(bytes));
    m_starts.RoomFor(breaks);
    m_slots.RoomFor(breaks);

    TPosition end = at;
    TPos position = Start(at.Line) + at.Column;
    ForEachPiece(text, [&](std::string_view line, bool lineBreak) {
        m_text.InsertFromArray(position, line.data(), std::ptrdiff_t(line.size()));
        m_starts.InsertText(end.Line, TPos(line.size()));
        position += TPos(line.size());
        end.Column += int(line.size());
        if (lineBreak) {
            ++end.Line;
            end.Column = 0;
            m_starts.InsertPartition(end.Line, position);
            m_slots.Insert(end.Line, 0);
        }
    });
    return end;
}

std::string TLineStorage::DeleteText(TPosition from, TPosition to)
{
    CheckPosition(from);
    CheckPosition(to);
    const TPos first = Start(from.Line) + from.Column;
    const TPos last = Start(to.Line) + to.Column;
    if (last < first || to.Line < from.Line)
        throw std::out_of_range("deletion ends before it starts");
    std::string removed;
    removed.reserve(std::size_t(last - first) + 2 * std::size_t(to.Line - from.Line));
    for (int line = from.Line; line <= to.Line; ++line) {
        const std::string_view text = Line(line);
        const std::size_t begin = line == from.Line ? std::size_t(from.Column) : 0;
        const std::size_t end = line == to.Line ? std::size_t(to.Column) : text.size();
        removed.append(text.substr(begin, end - begin));
        if (line != to.Line)
            removed += "\r\n";
    }
    const int joined = to.Line - from.Line;
    m_starts.RemovePartitions(from.Line + 1, joined);
    m_slots.DeleteRange(from.Line + 1, joined);
    m_starts.InsertText(from.Line, first - last);
    m_text.DeleteRange(first, last - first);
    return removed;
}

std::size_t TLineStorage::MemoryBeyondText() const noexcept
{
    return std::size_t(m_text.Capacity() - m_text.Length()) + std::size_t(m_starts.Capacity()) * sizeof(TPos) +
           std::size_t(m_slots.Capacity()) * sizeof(std::intptr_t);
}

void TLineStorage::Check() const noexcept
{
    m_text.Check();
    m_slots.Check();
    m_starts.Check();
    assert(m_slots.Length() == m_starts.Partitions());
    assert(Start(Count()) == m_text.Length());
}
