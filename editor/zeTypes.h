// zeTypes.h: small value types shared by the editor control and its users.
// TPoint is a text position; the enumerations are those of the editor's properties.
#ifndef QUENLO_EDITOR_ZETYPES_H
#define QUENLO_EDITOR_ZETYPES_H

#include <compare>
#include <cstdint>
#include <string>

// Number of bookmarks (slots 0 .. kBookmarkCount - 1), and of built-in bookmark glyphs.
inline constexpr int kBookmarkCount = 10;

// Removes the trailing characters of code 32 or lower, as every line that an
// edit rewrites loses its trailing blanks.
inline void TrimRight(std::string &s)
{
    std::size_t end = s.size();
    while (end > 0 && static_cast<unsigned char>(s[end - 1]) <= 32)
        --end;
    s.resize(end);
}

// The blanks an edit leaves at a line end go, as TrimRight does, except
// tab characters: those are the text's own, which no padding gives back.
inline void TrimPadding(std::string &s)
{
    std::size_t end = s.size();
    while (end > 0 && static_cast<unsigned char>(s[end - 1]) <= 32 && s[end - 1] != '\t')
        --end;
    s.resize(end);
}

// Stores value in field when it differs; true when it did. The property
// setters run their write effect only then.
template <class T>
bool StoreIfChanged(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

// Sets a flag for a scope and restores it on every path out.
class TFlagRestore {
public:
    TFlagRestore(bool &flag, bool value) noexcept : m_flag(flag), m_saved(flag) { m_flag = value; }
    ~TFlagRestore() { m_flag = m_saved; }
    TFlagRestore(const TFlagRestore &) = delete;
    TFlagRestore &operator=(const TFlagRestore &) = delete;

private:
    bool &m_flag;
    bool m_saved;
};

// A text position: X is the column, Y the line, both 1-based. Column N is the
// gap before character N; length + 1 is the end of the line. Points order by
// line first, then column.
struct TPoint {
    int X = 0;
    int Y = 0;

    friend constexpr bool operator==(TPoint a, TPoint b) noexcept = default;
    friend constexpr std::strong_ordering operator<=>(TPoint a, TPoint b) noexcept
    {
        if (const auto byLine = a.Y <=> b.Y; byLine != 0)
            return byLine;
        return a.X <=> b.X;
    }
};

constexpr TPoint MinPoint(TPoint a, TPoint b) noexcept { return b < a ? b : a; }
constexpr TPoint MaxPoint(TPoint a, TPoint b) noexcept { return a < b ? b : a; }

enum TCaretType : std::uint8_t { ctVerticalLine, ctHorizontalLine, ctHalfBlock, ctBlock };

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

enum TBorderStyle : std::uint8_t { bsNone, bsSingle };

// Passed to OnPrintStatus; nothing in the editor prints, so it never fires.
enum TzePrintStatus : std::uint8_t { psBegin, psNewPage, psEnd };

#endif
