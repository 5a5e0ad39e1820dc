// LineStorage.h: compact storage of 8-bit lines, standard library only.
// TSplitVector (a gap buffer), TPartitioning (partition starts with a
// stepped update) and TLineStorage (lines without terminators, one integer
// slot each, in one byte buffer: no heap block per line).
#ifndef QUENLO_TOOLKIT_LINESTORAGE_H
#define QUENLO_TOOLKIT_LINESTORAGE_H

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <string>
#include <string_view>
#include <vector>

// A heap block of trivially copyable T that grows with realloc: a large
// block then usually grows in place or by remapping its pages, without
// copying them or making the new ones resident. Elements are never
// initialised: the gap of a split vector is never read.
template <typename T>
class TRawBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    TRawBuffer() noexcept = default;
    ~TRawBuffer() { std::free(m_data); }
    TRawBuffer(const TRawBuffer &) = delete;
    TRawBuffer &operator=(const TRawBuffer &) = delete;
    TRawBuffer(TRawBuffer &&other) noexcept { swap(other); }
    TRawBuffer &operator=(TRawBuffer &&other) noexcept
    {
        swap(other);
        return *this;
    }

    T &operator[](std::size_t i) noexcept { return m_data[i]; }
    const T &operator[](std::size_t i) const noexcept { return m_data[i]; }
    T *data() noexcept { return m_data; }
    const T *data() const noexcept { return m_data; }
    std::size_t size() const noexcept { return m_size; }
    void swap(TRawBuffer &other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
    }
    // Keeps the first min(n, size) elements; bad_alloc leaves the block as it was.
    void resize(std::size_t n)
    {
        if (n == 0) {
            std::free(m_data);
            m_data = nullptr;
            m_size = 0;
            return;
        }
        if (n > std::size_t(PTRDIFF_MAX) / sizeof(T))
            throw std::bad_alloc();
        void *grown = std::realloc(m_data, n * sizeof(T));
        if (!grown)
            throw std::bad_alloc();
        m_data = static_cast<T *>(grown);
        m_size = n;
    }

private:
    T *m_data = nullptr;
    std::size_t m_size = 0;
};

// A vector of trivially copyable T with a gap at part1Length, so that a run
// of inserts or deletes at one place moves nothing else. Positions are
// 0 .. Length(); the gap is invisible to callers.
template <typename T>
class TSplitVector {
public:
    explicit TSplitVector(std::ptrdiff_t growSize = 8) noexcept : m_growSize(growSize) {}

    std::ptrdiff_t Length() const noexcept { return m_lengthBody; }
    // Elements the buffer holds without growing, gap included.
    std::ptrdiff_t Capacity() const noexcept { return std::ptrdiff_t(m_body.size()); }
    std::ptrdiff_t GapPosition() const noexcept { return m_part1Length; }

    // The element at position; T{} outside 0 .. Length-1.
    T ValueAt(std::ptrdiff_t position) const noexcept
    {
        if (position < 0 || position >= m_lengthBody)
            return T{};
        return position < m_part1Length ? m_body[size_t(position)] : m_body[size_t(position + m_gapLength)];
    }
    void SetValueAt(std::ptrdiff_t position, T value) noexcept
    {
        assert(position >= 0 && position < m_lengthBody);
        if (position < m_part1Length)
            m_body[size_t(position)] = value;
        else
            m_body[size_t(position + m_gapLength)] = value;
    }

    // Moves the gap to position; moves only the elements between the old and
    // the new place.
    void GapTo(std::ptrdiff_t position) noexcept
    {
        assert(position >= 0 && position <= m_lengthBody);
        if (position == m_part1Length)
            return;
        T *data = m_body.data();
        if (m_gapLength > 0) {
            if (position < m_part1Length)
                std::copy_backward(data + position, data + m_part1Length, data + m_part1Length + m_gapLength);
            else
                std::copy(data + m_part1Length + m_gapLength, data + position + m_gapLength, data + m_part1Length);
        }
        m_part1Length = position;
    }

    // Makes the gap hold at least insertionLength elements. The growth step
    // doubles while it is below a sixth of the buffer, so a long run of
    // appends copies each element a bounded number of times.
    void RoomFor(std::ptrdiff_t insertionLength)
    {
        if (m_gapLength >= insertionLength)
            return;
        while (m_growSize < std::ptrdiff_t(m_body.size()) / 6)
            m_growSize *= 2;
        ReAllocate(std::ptrdiff_t(m_body.size()) + insertionLength + m_growSize);
    }

    // Sets the buffer to newSize elements (at least Length). The gap stays
    // where it is, so that growing in the middle of a long insertion moves
    // only the elements after the gap.
    void ReAllocate(std::ptrdiff_t newSize)
    {
        assert(newSize >= m_lengthBody);
        const std::ptrdiff_t oldSize = std::ptrdiff_t(m_body.size());
        const std::ptrdiff_t part2 = m_lengthBody - m_part1Length;
        if (newSize < oldSize) {
            T *data = m_body.data();
            std::copy(data + oldSize - part2, data + oldSize, data + newSize - part2);
            m_body.resize(size_t(newSize));
        } else if (newSize > oldSize) {
            m_body.resize(size_t(newSize));
            T *data = m_body.data();
            std::copy_backward(data + oldSize - part2, data + oldSize, data + newSize);
        }
        m_gapLength = newSize - m_lengthBody;
        Check();
    }

    void Insert(std::ptrdiff_t position, T value)
    {
        InsertValue(position, 1, value);
    }
    void InsertValue(std::ptrdiff_t position, std::ptrdiff_t count, T value)
    {
        assert(position >= 0 && position <= m_lengthBody && count >= 0);
        if (count == 0)
            return;
        GapTo(position);
        RoomFor(count);
        std::fill_n(m_body.data() + m_part1Length, count, value);
        Grow(count);
    }
    void InsertFromArray(std::ptrdiff_t position, const T *values, std::ptrdiff_t count)
    {
        assert(position >= 0 && position <= m_lengthBody && count >= 0);
        if (count == 0)
            return;
        GapTo(position);
        RoomFor(count);
        std::copy(values, values + count, m_body.data() + m_part1Length);
        Grow(count);
    }

    void Delete(std::ptrdiff_t position) noexcept { DeleteRange(position, 1); }
    void DeleteRange(std::ptrdiff_t position, std::ptrdiff_t count) noexcept
    {
        assert(position >= 0 && count >= 0 && position + count <= m_lengthBody);
        if (count == 0)
            return;
        if (position == 0 && count == m_lengthBody) {
            // Everything goes: no element needs moving.
            m_part1Length = 0;
            m_gapLength = std::ptrdiff_t(m_body.size());
            m_lengthBody = 0;
            return;
        }
        GapTo(position);
        m_gapLength += count;
        m_lengthBody -= count;
        Check();
    }
    // Empties the vector and frees its buffer.
    void DeleteAll() noexcept
    {
        TRawBuffer<T>().swap(m_body);
        m_part1Length = m_gapLength = m_lengthBody = 0;
        m_growSize = 8;
    }

    // Adds delta to the elements start .. end-1.
    void RangeAddDelta(std::ptrdiff_t start, std::ptrdiff_t end, T delta) noexcept
    {
        assert(start >= 0 && start <= end && end <= m_lengthBody);
        T *data = m_body.data();
        const std::ptrdiff_t split = std::clamp(m_part1Length, start, end);
        for (std::ptrdiff_t i = start; i < split; ++i)
            data[i] += delta;
        for (std::ptrdiff_t i = split + m_gapLength; i < end + m_gapLength; ++i)
            data[i] += delta;
    }

    // The elements position .. position+count-1 as one contiguous array: a
    // gap inside the range moves to its start, so only those elements move.
    // Valid until the next change.
    T *RangePointer(std::ptrdiff_t position, std::ptrdiff_t count) noexcept
    {
        assert(position >= 0 && count >= 0 && position + count <= m_lengthBody);
        if (position < m_part1Length && position + count > m_part1Length)
            GapTo(position);
        return m_body.data() + (position < m_part1Length ? position : position + m_gapLength);
    }
    // Copies count elements from position into buffer.
    void GetRange(T *buffer, std::ptrdiff_t position, std::ptrdiff_t count) const noexcept
    {
        assert(position >= 0 && count >= 0 && position + count <= m_lengthBody);
        const T *data = m_body.data();
        const std::ptrdiff_t part1 = std::clamp(m_part1Length - position, std::ptrdiff_t(0), count);
        std::copy(data + position, data + position + part1, buffer);
        std::copy(data + position + part1 + m_gapLength, data + position + count + m_gapLength, buffer + part1);
    }

    // invariant: m_lengthBody + m_gapLength == m_body.size(), and the gap
    // lies inside the buffer.
    void Check() const noexcept
    {
        assert(m_part1Length >= 0 && m_gapLength >= 0 && m_lengthBody >= 0);
        assert(m_part1Length <= m_lengthBody);
        assert(m_lengthBody + m_gapLength == std::ptrdiff_t(m_body.size()));
    }

private:
    void Grow(std::ptrdiff_t count) noexcept
    {
        m_lengthBody += count;
        m_part1Length += count;
        m_gapLength -= count;
        Check();
    }

    TRawBuffer<T> m_body;
    std::ptrdiff_t m_part1Length = 0;
    std::ptrdiff_t m_gapLength = 0;
    std::ptrdiff_t m_lengthBody = 0;
    std::ptrdiff_t m_growSize;
};

// Partition starts 0 = s(0) <= s(1) <= ... <= s(Partitions()); partition p
// is [s(p), s(p+1)). A change of length inside partition p would move every
// later start; instead the change is kept as a pending step: the stored
// values after m_stepPartition lack m_stepLength, which is added on reading
// and written into the values only as the step moves across them. A run of
// edits at one place therefore updates few starts.
template <typename T>
class TPartitioning {
public:
    explicit TPartitioning(std::ptrdiff_t growSize = 8) : m_body(growSize) { m_body.Insert(0, 0); }

    std::ptrdiff_t Partitions() const noexcept { return m_body.Length() - 1; }
    std::ptrdiff_t Capacity() const noexcept { return m_body.Capacity(); }

    // s(partition), partition in 0 .. Partitions().
    T PositionFromPartition(std::ptrdiff_t partition) const noexcept
    {
        assert(partition >= 0 && partition < m_body.Length());
        T position = m_body.ValueAt(partition);
        if (partition > m_stepPartition)
            position += m_stepLength;
        return position;
    }

    // Inserts the start position before partition (0 .. Partitions()): the
    // partition that held position splits there.
    void InsertPartition(std::ptrdiff_t partition, T position)
    {
        assert(partition >= 1 || position == 0);
        if (m_stepPartition < partition)
            ApplyStep(partition);
        m_body.Insert(partition, position);
        ++m_stepPartition;
        CheckStep();
    }
    // Room for count more starts, so that the next count insertions cannot fail.
    void RoomFor(std::ptrdiff_t count) { m_body.RoomFor(count); }
    // Appends a partition ending at end (at least the current total).
    void AppendPartition(T end)
    {
        assert(end >= PositionFromPartition(Partitions()));
        ApplyStep(Partitions());
        m_body.Insert(m_body.Length(), end);
        m_stepPartition = Partitions();
        CheckStep();
    }
    // Removes the starts partition .. partition+count-1 (partition >= 1),
    // joining those partitions to the one before.
    void RemovePartitions(std::ptrdiff_t partition, std::ptrdiff_t count) noexcept
    {
        assert(partition >= 1 && count >= 0 && partition + count <= m_body.Length());
        if (count == 0)
            return;
        const std::ptrdiff_t last = partition + count - 1;
        if (last > m_stepPartition)
            ApplyStep(last);
        m_stepPartition -= count;
        m_body.DeleteRange(partition, count);
        CheckStep();
    }

    // Partition grew by delta (shrank for delta < 0): every later start moves.
    void InsertText(std::ptrdiff_t partition, T delta) noexcept
    {
        assert(partition >= 0 && partition < m_body.Length());
        if (m_stepLength != 0) {
            if (partition >= m_stepPartition) {
                ApplyStep(partition);
                m_stepLength += delta;
            } else if (partition >= m_stepPartition - m_body.Length() / 10) {
                // Just before the step: moving the step back is cheaper.
                BackStep(partition);
                m_stepLength += delta;
            } else {
                ApplyStep(m_body.Length() - 1);
                m_stepPartition = partition;
                m_stepLength = delta;
            }
        } else {
            m_stepPartition = partition;
            m_stepLength = delta;
        }
        CheckStep();
    }

    void DeleteAll() noexcept
    {
        m_body.DeleteAll();
        m_stepPartition = 0;
        m_stepLength = 0;
        m_body.Insert(0, 0);
    }

    // Full check (linear): s(0) == 0 and the starts never decrease.
    void Check() const noexcept
    {
        CheckStep();
        assert(PositionFromPartition(0) == 0);
        for (std::ptrdiff_t p = 1; p <= Partitions(); ++p)
            assert(PositionFromPartition(p - 1) <= PositionFromPartition(p));
    }

private:
    // Writes the step into the values up to partitionUpTo.
    void ApplyStep(std::ptrdiff_t partitionUpTo) noexcept
    {
        if (m_stepLength != 0)
            m_body.RangeAddDelta(m_stepPartition + 1, partitionUpTo + 1, m_stepLength);
        m_stepPartition = partitionUpTo;
        if (m_stepPartition >= m_body.Length() - 1) {
            m_stepPartition = m_body.Length() - 1;
            m_stepLength = 0;
        }
    }
    // Takes the step out of the values after partitionDownTo.
    void BackStep(std::ptrdiff_t partitionDownTo) noexcept
    {
        if (m_stepLength != 0)
            m_body.RangeAddDelta(partitionDownTo + 1, m_stepPartition + 1, T(-m_stepLength));
        m_stepPartition = partitionDownTo;
    }
    // invariant: the step lies on a stored start; s(0) is stored exactly.
    void CheckStep() const noexcept
    {
        assert(m_stepPartition >= 0 && m_stepPartition < m_body.Length());
        m_body.Check();
    }

    TSplitVector<T> m_body;
    std::ptrdiff_t m_stepPartition = 0;
    T m_stepLength = 0;
};

// The lines of a text, each without its line break, with one integer slot
// per line (the highlighter's range state at the line's start). The bytes of
// all lines lie in one gap buffer; line i is [start(i), start(i+1)) of it.
// Lines may hold any byte, CR, LF and NUL included. Indexes are 0-based; an
// index or column outside the documented range raises std::out_of_range. The
// text is limited to 2^31 - 1 bytes (std::length_error beyond).
class TLineStorage {
public:
    TLineStorage();
    TLineStorage(const TLineStorage &) = delete;
    TLineStorage &operator=(const TLineStorage &) = delete;

    int Count() const noexcept { return int(m_starts.Partitions()); }
    // Bytes of all lines, without line breaks.
    std::size_t TextLength() const noexcept { return std::size_t(m_text.Length()); }

    // Line index (0 .. Count-1). The view stays valid until the next change;
    // reading another line never moves this one's bytes. Not thread-safe:
    // reading may move the buffer's gap out of the line.
    std::string_view Line(int index) const;
    std::string LineCopy(int index) const;
    int LineLength(int index) const;
    // Outside 0 .. Count-1: out_of_range.
    std::intptr_t Slot(int index) const;
    void SetSlot(int index, std::intptr_t value);

    // Room for lines more lines of bytes more bytes in all, so that inserting
    // them one by one grows each buffer at most once.
    void Reserve(int lines, std::size_t bytes);
    // Inserts a line before index (0 .. Count) with the given slot.
    void Insert(int index, std::string_view line, std::intptr_t slot = 0);
    // Appends; returns the new line's index.
    int Add(std::string_view line, std::intptr_t slot = 0);
    void Delete(int index);
    // Replaces the text of line index; its slot stays.
    void Put(int index, std::string_view line);
    // Removes every line and frees the buffers.
    void Clear() noexcept;

    // Replaces everything with the lines of text in one pass: a line ends at
    // CR LF, a lone CR or a lone LF; a NUL ends the text; a last line without
    // a break is a line; a final break adds no empty line; empty text gives
    // no line. Every slot is 0.
    void SetText(std::string_view text);
    // Every line followed by CR LF.
    std::string Text() const;

    // Inserts text at column (0 .. LineLength) of line (0 .. Count-1): text
    // up to its first NUL, where CR LF, a lone CR and a lone LF each break the
    // line. The broken line keeps its slot, the lines made get slot 0.
    // Returns the point after the inserted text as {line, column}.
    struct TPosition {
        int Line = 0;
        int Column = 0;
        bool operator==(const TPosition &) const = default;
    };
    TPosition InsertText(TPosition at, std::string_view text);
    // Removes the text from `from` up to, not including, `to` (from <= to,
    // both inside the text), joining their lines; the first line keeps its
    // slot. Returns the removed text with CR LF between lines.
    std::string DeleteText(TPosition from, TPosition to);

    // Bytes held beyond the text itself: free room of the byte buffer, the
    // line starts and the slots (capacity, not only used elements).
    std::size_t MemoryBeyondText() const noexcept;

    // Asserts every invariant (linear in the line count; for tests).
    void Check() const noexcept;

private:
    using TPos = std::int32_t;
    TPos Start(int index) const noexcept { return m_starts.PositionFromPartition(index); }
    void CheckIndex(int index, int count) const;
    void CheckPosition(TPosition p) const;
    void CheckRoom(std::size_t added) const;

    // mutable: reading a line may move the gap, which changes no content.
    mutable TSplitVector<char> m_text;
    TPartitioning<TPos> m_starts;
    TSplitVector<std::intptr_t> m_slots;
};

#endif
