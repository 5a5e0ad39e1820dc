// StringListTest.cpp: the gap-buffer string list and the line-splitting rule.
#include <gtest/gtest.h>

#include <random>

#include "toolkit/Exception.h"
#include "toolkit/StringList.h"

namespace {

std::vector<std::string> Lines(const TStringList &list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.emplace_back(list[i]);
    return out;
}

using V = std::vector<std::string>;

} // namespace

TEST(SplitTextLines, BreaksAndNul)
{
    EXPECT_EQ(SplitTextLines(""), V{});
    EXPECT_EQ(SplitTextLines("a"), V{"a"});
    EXPECT_EQ(SplitTextLines("a\r\n"), V{"a"});
    EXPECT_EQ(SplitTextLines("a\r\n\r\n"), (V{"a", ""}));
    EXPECT_EQ(SplitTextLines("a\rb\nc\r\nd"), (V{"a", "b", "c", "d"}));
    // CR LF is one break, LF CR two.
    EXPECT_EQ(SplitTextLines("a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines(std::string_view("a\r\nb\0c\r\n", 8)), (V{"a", "b"}));
    EXPECT_EQ(SplitTextLines(std::string_view("\0x", 2)), V{});
}

TEST(StringList, InsertDeleteAcrossTheGap)
{
    TStringList list;
    for (int i = 0; i < 10; ++i)
        list.Add(std::to_string(i));
    list.Insert(3, "x");
    list.Insert(8, "y");
    list.Insert(0, "z");
    EXPECT_EQ(Lines(list), (V{"z", "0", "1", "2", "x", "3", "4", "5", "6", "y", "7", "8", "9"}));
    list.Delete(12);
    list.Delete(0);
    list.Delete(5);
    EXPECT_EQ(Lines(list), (V{"0", "1", "2", "x", "3", "5", "6", "y", "7", "8"}));
    list.Put(9, "last");
    EXPECT_EQ(list[9], "last");
    EXPECT_EQ(list.Text(), "0\r\n1\r\n2\r\nx\r\n3\r\n5\r\n6\r\ny\r\n7\r\nlast\r\n");
}

TEST(StringList, ObjectsTravelWithTheirLines)
{
    TStringList list;
    list.AddObject("a", 1);
    list.AddObject("b", 2);
    list.Insert(1, "new");
    EXPECT_EQ(list.GetObject(0), 1);
    EXPECT_EQ(list.GetObject(1), 0);
    EXPECT_EQ(list.GetObject(2), 2);
    TStringList copy;
    copy.Assign(list);
    EXPECT_EQ(copy.GetObject(2), 2);
    EXPECT_EQ(Lines(copy), Lines(list));
}

TEST(StringList, IndexErrors)
{
    TStringList list;
    EXPECT_THROW(list.Get(0), EListError);
    list.Add("a");
    EXPECT_THROW(list.Get(1), EListError);
    EXPECT_THROW(list.Get(-1), EListError);
    EXPECT_THROW(list.Insert(2, "x"), EListError);
    EXPECT_THROW(list.Delete(1), EListError);
    EXPECT_THROW(list.Put(1, "x"), EListError);
    EXPECT_NO_THROW(list.Insert(1, "end"));
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringList, UpdateBracketFiresOnce)
{
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TStringList &) { ++changes; };
    list.Add("a");
    EXPECT_EQ(changes, 1);
    list.SetText("x\r\ny\r\nz");
    EXPECT_EQ(changes, 2);
    {
        TUpdateGuard outer(list);
        TUpdateGuard inner(list);
        list.Add("b");
        list.Delete(0);
    }
    EXPECT_EQ(changes, 3);
    list.PutObject(0, 7); // the slot is not text
    EXPECT_EQ(changes, 3);
}

TEST(StringList, ManyInsertsAtOnePlaceKeepOrder)
{
    TStringList list;
    for (int i = 0; i < 1000; ++i)
        list.Add("base" + std::to_string(i));
    for (int i = 0; i < 5000; ++i)
        list.Insert(500 + i, "ins" + std::to_string(i));
    ASSERT_EQ(list.Count(), 6000);
    EXPECT_EQ(list[499], "base499");
    EXPECT_EQ(list[500], "ins0");
    EXPECT_EQ(list[5499], "ins4999");
    EXPECT_EQ(list[5500], "base500");
    for (int i = 0; i < 5000; ++i)
        list.Delete(500);
    EXPECT_EQ(list.Count(), 1000);
    EXPECT_EQ(list[500], "base500");
}

// The buffer is exactly full after 16 lines: the first delete at the front
// used to move every line onto itself, emptying them.
TEST(StringList, DeleteWhenTheBufferIsFullKeepsTheLines)
{
    TStringList list;
    for (int i = 1; i <= 16; ++i)
        list.Add("L" + std::to_string(i));
    list.Delete(0);
    EXPECT_EQ(list[0], "L2");
    EXPECT_EQ(list[14], "L16");
}

// Random inserts, deletes and writes against a plain vector.
TEST(StringList, RandomEditsMatchAVector)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        TStringList list;
        V model;
        for (int step = 0; step < 300; ++step) {
            const int count = int(model.size());
            const std::string line = std::to_string(round) + ":" + std::to_string(step);
            switch (rng() % 4) {
            case 0:
                list.Add(line);
                model.push_back(line);
                break;
            case 1: {
                const int at = int(rng() % unsigned(count + 1));
                list.Insert(at, line);
                model.insert(model.begin() + at, line);
                break;
            }
            case 2:
                if (count > 0) {
                    const int at = int(rng() % unsigned(count));
                    list.Delete(at);
                    model.erase(model.begin() + at);
                }
                break;
            default:
                if (count > 0) {
                    const int at = int(rng() % unsigned(count));
                    list.Put(at, line);
                    model[size_t(at)] = line;
                }
            }
            ASSERT_EQ(Lines(list), model) << "round " << round << " step " << step;
        }
    }
}
