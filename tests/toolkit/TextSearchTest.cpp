// TextSearchTest.cpp: FindText against a plain scan of every place, over
// random texts, patterns, options, ranges and starting places.
#include <gtest/gtest.h>

#include <random>

#include "toolkit/StringList.h"
#include "toolkit/TextSearch.h"

namespace {

// The reference: every start in order, tested one by one.
std::optional<TTextPlace> Naive(const TStringList &lines, const std::string &pattern, const TSearchOptions &o,
                                TTextPlace from, bool backward, TTextPlace begin, TTextPlace end)
{
    const auto less = [](TTextPlace a, TTextPlace b) { return a.Line != b.Line ? a.Line < b.Line : a.Column < b.Column; };
    std::optional<TTextPlace> found;
    for (int y = 0; y < lines.Count(); ++y) {
        const std::string line(lines[y]);
        for (std::size_t x = 0; x + pattern.size() <= line.size(); ++x) {
            bool same = true;
            for (std::size_t k = 0; k < pattern.size() && same; ++k)
                same = o.MatchCase ? line[x + k] == pattern[k]
                                   : Win1252Lower(static_cast<unsigned char>(line[x + k])) ==
                                         Win1252Lower(static_cast<unsigned char>(pattern[k]));
            const std::size_t after = x + pattern.size();
            if (same && o.WholeWord)
                same = (x == 0 || !IsWordByte(static_cast<unsigned char>(line[x - 1]))) &&
                       (after == line.size() || !IsWordByte(static_cast<unsigned char>(line[after])));
            const TTextPlace start{y, int(x)}, stop{y, int(after)};
            if (!same || less(start, begin) || less(end, stop))
                continue;
            if (!backward && !less(start, from))
                return start;
            if (backward && !less(from, stop))
                found = start;
        }
    }
    return backward ? found : std::nullopt;
}

} // namespace

TEST(TextSearch, AgreesWithAPlainScan)
{
    std::mt19937 random(18);
    const std::string alphabet = "aAb_ \xE9\xC9\x8A\x9A.";
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    int hits = 0;
    for (int round = 0; round < 5000; ++round) {
        TStringList lines;
        const int count = 1 + pick(6);
        for (int i = 0; i < count; ++i) {
            std::string line;
            for (int k = pick(12); k > 0; --k)
                line += alphabet[size_t(pick(int(alphabet.size())))];
            lines.Add(line);
        }
        std::string pattern;
        for (int k = 1 + pick(3); k > 0; --k)
            pattern += alphabet[size_t(pick(int(alphabet.size())))];
        const TSearchOptions options{pick(2) == 0, pick(2) == 0};
        const auto place = [&] { return TTextPlace{pick(count + 1) - (pick(8) == 0), pick(14)}; };
        TTextPlace begin = place(), end = place();
        if (pick(2) == 0) {
            begin = {0, 0};
            end = {count - 1, 99};
        }
        const TTextPlace from = place();
        const bool backward = pick(2) == 0;
        const auto expected = Naive(lines, pattern, options, from, backward, begin, end);
        const auto got = FindText(lines, pattern, options, from, backward, begin, end);
        ASSERT_EQ(got.has_value(), expected.has_value()) << "round " << round;
        if (got) {
            ASSERT_EQ(*got, *expected) << "round " << round;
            ++hits;
        }
    }
    EXPECT_GT(hits, 300); // the random cases find something often enough to matter
    TStringList one;
    one.Add("Dim x");
    EXPECT_FALSE(FindText(one, "", {}, {0, 0}, false, {0, 0}, {0, 5}).has_value());
}
