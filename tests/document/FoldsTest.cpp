// FoldsTest.cpp: the blocks that fold, line by line and as regions of a
// script, and the tracker against a full match of every line after each edit.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "editor/zeFolds.h"

namespace {

// The model: every line's events matched from the top, as a full scan does.
std::vector<TzeFoldRange> FoldRanges(const std::vector<TzeLineFold> &lines)
{
    std::vector<TzeFoldRange> ranges;
    std::vector<std::pair<TzeBlockFamily, int>> open;
    int commentRun = 0;
    const int count = int(lines.size());
    for (int line = 1; line <= count + 1; ++line) {
        const bool comment = line <= count && lines[size_t(line - 1)].Comment;
        if (!comment && commentRun >= kMinCommentRun)
            ranges.push_back({line - commentRun, line - 1});
        commentRun = comment ? commentRun + 1 : 0;
        if (line > count)
            break;
        const TzeLineFold &fold = lines[size_t(line - 1)];
        for (int i = 0; i < fold.Count; ++i) {
            const TzeFoldEvent event = fold.Events[size_t(i)];
            if (event.Opens) {
                const bool procedure = event.Family == bfSub || event.Family == bfFunction ||
                                       event.Family == bfProperty;
                while (!open.empty() && (event.Family == bfClass || (procedure && open.back().first != bfClass)))
                    open.pop_back();
                open.emplace_back(event.Family, line);
                continue;
            }
            const auto match =
                std::find_if(open.rbegin(), open.rend(), [&event](const auto &o) { return o.first == event.Family; });
            if (match == open.rend())
                continue;
            if (line > match->second)
                ranges.push_back({match->second, line});
            open.erase(std::next(match).base(), open.end());
        }
    }
    std::sort(ranges.begin(), ranges.end(), [](const TzeFoldRange &a, const TzeFoldRange &b) {
        return a.First != b.First ? a.First < b.First : a.Last > b.Last;
    });
    return ranges;
}

// The events of a line as text: "+If" opens an If, "-For" closes a For.
std::string Events(std::string_view line)
{
    static const char *const names[] = {"If",   "Select", "For",      "Do",       "While",
                                        "With", "Sub",    "Function", "Property", "Class"};
    const TzeLineFold fold = FoldLine(line);
    std::string s = fold.Comment ? "'" : "";
    for (int i = 0; i < fold.Count; ++i)
        s += std::string(s.empty() ? "" : " ") + (fold.Events[size_t(i)].Opens ? "+" : "-") +
             names[fold.Events[size_t(i)].Family];
    return s;
}

} // namespace

TEST(Folds, OpenersAndClosersOfALine)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Sub Main()", "+Sub"},
        {"Private Function F(a)", "+Function"},
        {"Public Default Function G", "+Function"},
        {"\tPublic Property Get Name", "+Property"},
        {"Property Let Name(v)", "+Property"},
        {"Class TThing", "+Class"},
        {"If a Then", "+If"},
        {"If a Then ' why", "+If"},
        {"If a Then b = 1", ""},
        {"If a Then b = 1 Else c = 2: End If", ""},
        {"ElseIf b Then", ""},
        {"Else", ""},
        {"Case 1, 2", ""},
        {"For i = 1 To 10", "+For"},
        {"For Each x In y: Next", ""},
        {"Do While x < 3", "+Do"},
        {"Loop Until x", "-Do"},
        {"While x: x = x - 1", "+While"},
        {"Wend", "-While"},
        {"Select Case x", "+Select"},
        {"With obj", "+With"},
        {"End With: End Sub", "-With -Sub"},
        {"Next: End If", "-For -If"},
        {"Exit Do", ""},
        {"End", ""},
        {"x.Sub = 1: y = obj.End", ""},
        {"s = \"If a Then\" ' End Sub", ""},
        {"' a comment", "'"},
        {"Rem another", "'"},
        {"   ", ""},
        {"s = \"never closed", ""}, // the string runs to the line end
        {"Sub A: End Sub", ""},
        {"Rem\xC3\xA9 = 1: For i = 1 To 2", "+For"}, // a name, not Rem
    };
    for (const auto &[line, events] : cases)
        EXPECT_EQ(Events(line), events) << line;
}

// A line with a ':' is read statement by statement; one without is read by
// its first words where they tell all. A ':' at the end adds no statement,
// so both readings of random keyword soup must give the same events.
TEST(Folds, QuickReadingOfALineAgreesWithTheReadingByStatements)
{
    const char *const words[] = {"If", "then", "ELSE", "ElseIf", "End", "Sub", "Function", "Property", "Get",
                                 "Let", "Set", "Class", "Select", "Case", "For", "Next", "Do", "Loop", "While",
                                 "Wend", "With", "Public", "Private", "Default", "Rem", "x", "Then_", "Endx",
                                 "Functions", "iff", "1then", "\xC3\xA9", "\"a:b\"", "\"q\"\"\"", "#1:2#",
                                 "[a b]", "[x", "#d", "'c", "'", "\"", "(", ")", ".", "=", "_", ","};
    const char *const gaps[] = {" ", " ", " ", "", "\t", "  "};
    std::mt19937 random(2026);
    const auto encode = [](const std::vector<TzeBlockEvent> &events) {
        std::string s;
        for (const TzeBlockEvent &e : events)
            s += std::to_string(e.Role) + ":" + std::to_string(e.Family) + (e.StartsLine ? "^ " : " ");
        return s;
    };
    for (int n = 0; n < 20000; ++n) {
        std::string line(random() % 3, ' ');
        for (int k = int(random() % 6); k > 0; --k)
            line += std::string(words[random() % std::size(words)]) + gaps[random() % std::size(gaps)];
        EXPECT_EQ(encode(BlockEvents(line)), encode(BlockEvents(line + ":"))) << line;
    }
}

TEST(Folds, RegionsMatchClosersToTheirOpeners)
{
    const char *script[] = {
        "' one",                // 1 comment run of three
        "' two",                // 2
        "' three",              // 3
        "Class C",              // 4
        "  Sub A()",            // 5
        "    If x Then",        // 6 never closed: folds nothing
        "    For i = 1 To 2",   // 7
        "    Next",             // 8
        "  End Sub",            // 9
        "  Loop",               // 10 a closer without opener: passed over
        "End Class",            // 11
        "' only two",           // 12
        "' comments",           // 13
        "Function F: x = 1",    // 14
        "End Function",         // 15
        "Sub Open()",           // 16 unfinished: nothing
        "Sub B()",              // 17 a procedure lies in no other: Open stays open
        "End Sub",              // 18
        "End Sub",              // 19 closes nothing
    };
    TzeFoldTracker tracker;
    tracker.Reset(int(std::size(script)), [&script](int line) { return std::string_view(script[line - 1]); });
    const std::vector<TzeFoldRange> expected = {{1, 3}, {4, 11}, {5, 9}, {7, 8}, {14, 15}, {17, 18}};
    EXPECT_EQ(tracker.Ranges(), expected);
}

TEST(Folds, TheTrackerKeepsTheRegionsOfEveryEditAsAFullScanFindsThem)
{
    const char *const vocabulary[] = {"Sub A()", "End Sub", "If x Then", "Else", "End If", "For i = 1 To 2",
                                      "Next", "Do", "Loop", "Class C", "End Class", "' note", "x = 1",
                                      "While y: y = 0", "Wend", "Function F: End Function"};
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&random](int n) { return int(random() % unsigned(n)); };
        std::vector<std::string> text;
        for (int i = pick(60); i > 0; --i)
            text.push_back(vocabulary[pick(16)]);
        const auto line = [&text](int l) { return std::string_view(text[size_t(l - 1)]); };
        TzeFoldTracker tracker;
        tracker.Reset(int(text.size()), line);
        for (int step = 0; step < 300; ++step) {
            const int first = 1 + pick(int(text.size()) + 1);
            const int removed = std::min(pick(4), int(text.size()) - first + 1);
            const int inserted = pick(4);
            text.erase(text.begin() + (first - 1), text.begin() + (first - 1 + removed));
            for (int i = 0; i < inserted; ++i)
                text.insert(text.begin() + (first - 1 + i), vocabulary[pick(16)]);
            tracker.Replace(first, removed, inserted, line);
            std::vector<TzeLineFold> lines;
            for (const std::string &l : text)
                lines.push_back(FoldLine(l));
            ASSERT_EQ(tracker.LineCount(), int(text.size()));
            if (tracker.Ranges() != FoldRanges(lines)) {
                std::string dump;
                for (size_t k = 0; k < text.size(); ++k)
                    dump += std::to_string(k + 1) + ": " + text[k] + "\n";
                FAIL() << "seed " << seed << " step " << step << " replace " << first << " -" << removed << " +"
                       << inserted << "\n" << dump << "tracker: " << tracker.Ranges().size();
            }
        }
    }
    // Typing inside a closed block rescans the line and no more.
    std::vector<std::string> text = {"Sub A()", "x = 1", "End Sub", "Sub B()", "End Sub"};
    const auto line = [&text](int l) { return std::string_view(text[size_t(l - 1)]); };
    TzeFoldTracker tracker;
    tracker.Reset(5, line);
    text[1] = "x = 12";
    tracker.Replace(2, 1, 1, line);
    EXPECT_EQ(tracker.Scanned(), 1);
    text[1] = "If x Then";
    tracker.Replace(2, 1, 1, line);
    // An If left open: on to the End Sub, which ends it with its Sub.
    EXPECT_EQ(tracker.Scanned(), 2);
    EXPECT_EQ(tracker.Ranges(), (std::vector<TzeFoldRange>{{1, 3}, {4, 5}}));
}
