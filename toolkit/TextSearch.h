// TextSearch.h: finding a Windows-1252 text in a string list, forward or
// backward, with letter case and whole-word options, inside a range.
#ifndef QUENLO_TOOLKIT_TEXTSEARCH_H
#define QUENLO_TOOLKIT_TEXTSEARCH_H

#include <optional>
#include <string_view>

class TStringList;

// A place in the text: line index and byte column, both from 0.
struct TTextPlace {
    int Line = 0;
    int Column = 0;
    friend bool operator==(const TTextPlace &, const TTextPlace &) = default;
};

struct TSearchOptions {
    bool MatchCase = false; // otherwise Windows-1252 letters match either case
    bool WholeWord = false; // no letter, digit or '_' right before or after
};

// Lower case of a Windows-1252 byte (ASCII and the Latin letters).
unsigned char Win1252Lower(unsigned char byte) noexcept;
// Whether a Windows-1252 byte belongs to a word: letter, digit or '_'.
bool IsWordByte(unsigned char byte) noexcept;

// Matches lie within one line and within [begin, end). Forward: the first
// match starting at or after from. Backward: the last match ending at or
// before from. Nothing for an empty pattern. Returns the match's start.
std::optional<TTextPlace> FindText(const TStringList &lines, std::string_view pattern, const TSearchOptions &options,
                                   TTextPlace from, bool backward, TTextPlace begin, TTextPlace end);

#endif
