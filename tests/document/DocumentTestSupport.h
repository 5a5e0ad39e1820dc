// DocumentTestSupport.h: helpers of the document's tests, which run without
// a window: line and range-state snapshots, temporary files, undo records.
#ifndef QUENLO_TESTS_DOCUMENT_DOCUMENTTESTSUPPORT_H
#define QUENLO_TESTS_DOCUMENT_DOCUMENTTESTSUPPORT_H

#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/zeDocument.h"

// The lines of a list, for comparisons.
inline std::vector<std::string> LinesOf(const TStringList &list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.emplace_back(list[i]);
    return lines;
}

// A scanner whose range state crosses line ends: '{' opens a block, '}'
// closes it. It counts the lines it scans.
class TBraceScanner : public IzeRangeScanner {
public:
    std::intptr_t InitialRange() override { return 0; }
    std::intptr_t RangeAfter(std::string_view line, int, std::intptr_t state) override
    {
        ++Scanned;
        for (char c : line)
            state = c == '{' ? 1 : c == '}' ? 0 : state;
        return state;
    }
    int Scanned = 0;
};

// The range states that a scan of the whole text from its start gives.
inline std::vector<std::intptr_t> ExpectedRanges(const TStringList &list)
{
    std::vector<std::intptr_t> ranges;
    int range = 0;
    for (int i = 0; i < list.Count(); ++i) {
        ranges.push_back(range);
        for (char c : list[i]) {
            if (c == '{')
                range = 1;
            else if (c == '}')
                range = 0;
        }
    }
    return ranges;
}

inline std::vector<std::intptr_t> StoredRanges(const TStringList &list)
{
    std::vector<std::intptr_t> ranges;
    for (int i = 0; i < list.Count(); ++i)
        ranges.push_back(list.GetObject(i));
    return ranges;
}

using TLines = std::vector<std::string>;

// Writes bytes to a file of the test's temporary folder; returns its path.
inline std::string WriteTempFile(const std::string &name, const std::string &bytes)
{
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline TUndoChange Change(TUndoChangeKind kind, TPoint start, TPoint end, std::string text)
{
    return TUndoChange{std::move(text), kind, start, end, {}};
}

inline bool operator==(const TUndoChange &a, const TUndoChange &b)
{
    return a.Kind == b.Kind && a.StartPos == b.StartPos && a.EndPos == b.EndPos && a.Text == b.Text;
}

inline void PrintTo(TPoint p, std::ostream *os)
{
    *os << "(" << p.X << ", " << p.Y << ")";
}

inline void PrintTo(const TUndoChange &c, std::ostream *os)
{
    *os << "{kind " << int(c.Kind) << ", ";
    PrintTo(c.StartPos, os);
    *os << " .. ";
    PrintTo(c.EndPos, os);
    *os << ", \"" << c.Text << "\"}";
}

#endif
