// AsciiCase.h: letter case of the ASCII letters only, as the framework's
// case-insensitive names and identifiers compare (other bytes are their own case).
#ifndef QUENLO_TOOLKIT_ASCIICASE_H
#define QUENLO_TOOLKIT_ASCIICASE_H

#include <algorithm>
#include <string_view>

constexpr char AsciiLower(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

constexpr bool SameTextIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Byte order with the ASCII letters folded to lower case.
inline bool LessIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(AsciiLower(x)) < static_cast<unsigned char>(AsciiLower(y));
    });
}

#endif
