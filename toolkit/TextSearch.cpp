// TextSearch.cpp: a line-by-line scan; case-sensitive lines go through the
// library's find, the others through a folded first-byte scan.
#include "toolkit/TextSearch.h"

#include <algorithm>
#include <array>
#include <string>

#include "toolkit/StringList.h"

namespace {

constexpr std::array<unsigned char, 256> MakeLowerTable()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        t[size_t(c)] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7)
            t[size_t(c)] = static_cast<unsigned char>(c + 32);
    t[0x8A] = 0x9A;
    t[0x8C] = 0x9C;
    t[0x8E] = 0x9E;
    t[0x9F] = 0xFF;
    return t;
}

constexpr std::array<unsigned char, 256> kLower = MakeLowerTable();

class TMatcher {
public:
    TMatcher(std::string_view pattern, const TSearchOptions &options) : m_options(options)
    {
        m_pattern.assign(pattern);
        if (!options.MatchCase)
            for (char &c : m_pattern)
                c = char(kLower[static_cast<unsigned char>(c)]);
    }

    // The first match in line starting in [from, limit - size].
    std::size_t First(std::string_view line, std::size_t from, std::size_t limit) const
    {
        const std::size_t size = m_pattern.size();
        while (from + size <= limit) {
            const std::size_t at = Candidate(line.substr(0, limit), from);
            if (at == std::string_view::npos)
                return at;
            if (!m_options.WholeWord || IsWhole(line, at))
                return at;
            from = at + 1;
        }
        return std::string_view::npos;
    }

private:
    std::size_t Candidate(std::string_view line, std::size_t from) const
    {
        if (m_options.MatchCase)
            return line.find(m_pattern, from);
        const unsigned char first = static_cast<unsigned char>(m_pattern[0]);
        const std::size_t last = line.size() - m_pattern.size();
        for (std::size_t i = from; i <= last; ++i) {
            if (kLower[static_cast<unsigned char>(line[i])] != first)
                continue;
            std::size_t k = 1;
            while (k < m_pattern.size() &&
                   kLower[static_cast<unsigned char>(line[i + k])] == static_cast<unsigned char>(m_pattern[k]))
                ++k;
            if (k == m_pattern.size())
                return i;
        }
        return std::string_view::npos;
    }

    bool IsWhole(std::string_view line, std::size_t at) const
    {
        const std::size_t after = at + m_pattern.size();
        return (at == 0 || !IsWordByte(static_cast<unsigned char>(line[at - 1]))) &&
               (after >= line.size() || !IsWordByte(static_cast<unsigned char>(line[after])));
    }

    std::string m_pattern;
    TSearchOptions m_options;
};

} // namespace

unsigned char Win1252Lower(unsigned char byte) noexcept
{
    return kLower[byte];
}

bool IsWordByte(unsigned char b) noexcept
{
    if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_')
        return true;
    if (b >= 0xC0)
        return b != 0xD7 && b != 0xF7;
    return b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F || b == 0xAA ||
           b == 0xB5 || b == 0xBA;
}

std::optional<TTextPlace> FindText(const TStringList &lines, std::string_view pattern, const TSearchOptions &options,
                                   TTextPlace from, bool backward, TTextPlace begin, TTextPlace end)
{
    if (pattern.empty())
        return std::nullopt;
    const TMatcher matcher(pattern, options);
    const int lastLine = std::min(end.Line, lines.Count() - 1);
    // The columns of line y that the range and from leave open.
    const auto window = [&](int y, std::string_view line) {
        std::size_t low = y == begin.Line ? std::size_t(std::max(begin.Column, 0)) : 0;
        std::size_t high = y == end.Line ? std::min(line.size(), std::size_t(std::max(end.Column, 0))) : line.size();
        if (y == from.Line) {
            const std::size_t at = std::size_t(std::max(from.Column, 0));
            if (backward)
                high = std::min(high, at);
            else
                low = std::max(low, at);
        }
        return std::pair{low, high};
    };
    if (!backward) {
        for (int y = std::max({from.Line, begin.Line, 0}); y <= lastLine; ++y) {
            const std::string_view line = lines[y];
            const auto [low, high] = window(y, line);
            const std::size_t at = matcher.First(line, low, high);
            if (at != std::string_view::npos)
                return TTextPlace{y, int(at)};
        }
        return std::nullopt;
    }
    for (int y = std::min(from.Line, lastLine); y >= std::max(begin.Line, 0); --y) {
        const std::string_view line = lines[y];
        const auto [low, high] = window(y, line);
        std::size_t found = std::string_view::npos;
        for (std::size_t at = matcher.First(line, low, high); at != std::string_view::npos;
             at = matcher.First(line, at + 1, high))
            found = at;
        if (found != std::string_view::npos)
            return TTextPlace{y, int(found)};
    }
    return std::nullopt;
}
