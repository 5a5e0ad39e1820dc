// FoldMapTest.cpp: the row map of folded regions against a model that marks
// every hidden line, through random folds, unfolds, reveals and line changes.
#include <gtest/gtest.h>

#include <random>

#include "editor/zeFoldMap.h"

namespace {

// Random nested regions over count lines: each region holds the ones
// started inside it.
std::vector<TzeFoldRange> RandomRegions(std::mt19937 &random, int count)
{
    std::vector<TzeFoldRange> regions;
    std::vector<int> open;
    for (int line = 1; line <= count; ++line) {
        const unsigned r = random() % 6;
        if (r == 0 || (r == 1 && line == 1)) {
            open.push_back(line);
        } else if (r == 1 && !open.empty()) {
            if (line > open.back())
                regions.push_back({open.back(), line});
            open.pop_back();
        }
    }
    std::sort(regions.begin(), regions.end(), [](const TzeFoldRange &a, const TzeFoldRange &b) {
        return a.First != b.First ? a.First < b.First : a.Last > b.Last;
    });
    // One region per first line, as the blocks of one line give the outer one first.
    regions.erase(std::unique(regions.begin(), regions.end(),
                              [](const TzeFoldRange &a, const TzeFoldRange &b) { return a.First == b.First; }),
                  regions.end());
    return regions;
}

} // namespace

TEST(FoldMap, RowsAndLinesAgreeWithAModelOfHiddenLines)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        const int count = 1 + int(random() % 120);
        TzeFoldMap map;
        map.SetRegions(RandomRegions(random, count));
        std::vector<int> folded; // the model's folded first lines
        for (int step = 0; step < 200; ++step) {
            const int line = 1 + int(random() % unsigned(count));
            switch (random() % 7) {
            case 0:
            case 1:
                if (map.Fold(line))
                    folded.push_back(line);
                break;
            case 2:
                if (map.Unfold(line))
                    std::erase(folded, line);
                break;
            case 3:
                map.Reveal(line);
                std::erase_if(folded, [&](int first) {
                    const TzeFoldRange *r = map.RegionAt(first);
                    return r && r->First < line && line <= r->Last;
                });
                ASSERT_FALSE(map.IsHidden(line)) << "seed " << seed;
                break;
            case 4:
                if (random() % 8 == 0) {
                    map.FoldAll();
                    folded.clear();
                    for (const TzeFoldRange &r : map.Regions())
                        folded.push_back(r.First);
                }
                break;
            case 5:
                if (random() % 8 == 0) {
                    map.UnfoldAll();
                    folded.clear();
                }
                break;
            default: {
                // A new scan: regions that are gone unfold, the rest keep their state.
                map.SetRegions(RandomRegions(random, count));
                std::erase_if(folded, [&](int first) { return map.RegionAt(first) == nullptr; });
                break;
            }
            }
            std::vector<bool> hidden(size_t(count) + 2, false);
            for (const int first : folded) {
                ASSERT_TRUE(map.IsFolded(first));
                for (int l = first + 1; l <= map.RegionAt(first)->Last; ++l)
                    hidden[size_t(l)] = true;
            }
            int row = 0;
            for (int l = 1; l <= count; ++l) {
                ASSERT_EQ(map.IsHidden(l), hidden[size_t(l)]) << "seed " << seed << " line " << l;
                if (!hidden[size_t(l)]) {
                    ++row;
                    ASSERT_EQ(map.LineOfRow(row), l) << "seed " << seed << " row " << row;
                }
                ASSERT_EQ(map.RowOfLine(l), std::max(row, 1)) << "seed " << seed << " line " << l;
                ASSERT_FALSE(map.IsHidden(map.VisibleFrom(l, -1)));
            }
            ASSERT_EQ(map.RowCount(count), row) << "seed " << seed;
            // Past the last row: one line per row.
            ASSERT_EQ(map.LineOfRow(row + 2), count + 2);
        }
    }
}

TEST(FoldMap, FoldedFirstLinesMoveWithInsertedAndDeletedLines)
{
    TzeFoldMap map;
    map.SetRegions({{2, 4}, {6, 9}});
    map.Fold(2);
    map.Fold(6);
    map.LinesReplaced(5, 0, 2); // before the second region
    map.SetRegions({{2, 4}, {8, 11}});
    EXPECT_TRUE(map.IsFolded(2));
    EXPECT_TRUE(map.IsFolded(8));
    map.LinesReplaced(2, 1, 0); // the first region's first line goes: it unfolds
    map.SetRegions({{7, 10}});
    EXPECT_FALSE(map.IsFolded(2));
    EXPECT_TRUE(map.IsFolded(7));
    EXPECT_EQ(map.LineOfRow(8), 11);
    const TzeFoldRange *inner = map.InnermostAround(9);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(*inner, (TzeFoldRange{7, 10}));
}
