// EditListTest.cpp: the document's line list on its own: hooks, update bracket, Loading.
#include <sstream>

#include <gtest/gtest.h>

#include "toolkit/Exception.h"
#include "DocumentTestSupport.h"

namespace {

// Records every hook call and list change as text, with the bracket depth seen.
struct THookLog {
    explicit THookLog(TzeEditList &list)
    {
        list.OnAdded = [this, &list](TzeEditList &l) {
            EXPECT_EQ(&l, &list);
            Calls.push_back("added " + std::to_string(l.Count()) + Depth(l));
        };
        list.OnInserted = [this, &list](int i) { Calls.push_back("inserted " + std::to_string(i) + Depth(list)); };
        list.OnDeleted = [this, &list](int i) { Calls.push_back("deleted " + std::to_string(i) + Depth(list)); };
        list.OnPut = [this, &list](int i) { Calls.push_back("put " + std::to_string(i) + Depth(list)); };
        list.OnTextSet = [this](TzeEditList &l) { Calls.push_back("textset " + std::to_string(l.Count()) + Depth(l)); };
        list.OnChange = [this](TStringList &l) { Calls.push_back("change " + std::to_string(l.Count())); };
    }
    static std::string Depth(const TzeEditList &l) { return l.UpdateCount() > 0 ? " (in bracket)" : " (outside)"; }
    std::vector<std::string> Calls;
};

using TCalls = std::vector<std::string>;

} // namespace

TEST(EditList, EachOperationCallsItsHookInsideOneBracket)
{
    TzeEditList list;
    THookLog log(list);
    EXPECT_EQ(list.Add("a"), 0);
    list.Add("b");
    list.Insert(1, "x");
    list.Put(2, "B");
    list.Delete(0);
    EXPECT_EQ(LinesOf(list), (TLines{"x", "B"}));
    EXPECT_EQ(log.Calls, (TCalls{"added 1 (in bracket)", "change 1", "added 2 (in bracket)", "change 2",
                                 "inserted 1 (in bracket)", "change 3", "put 2 (in bracket)", "change 3",
                                 "deleted 0 (in bracket)", "change 2"}));
}

TEST(EditList, OuterBracketGivesOneChange)
{
    TzeEditList list;
    THookLog log(list);
    {
        TUpdateGuard guard(list);
        list.Add("a");
        list.Add("b");
        list.Delete(0);
    }
    EXPECT_EQ(log.Calls, (TCalls{"added 1 (in bracket)", "added 2 (in bracket)", "deleted 0 (in bracket)",
                                 "change 1"}));
}

TEST(EditList, HooksAreOptional)
{
    TzeEditList list;
    list.Add("a");
    list.Insert(0, "b");
    list.Put(0, "c");
    list.Delete(1);
    list.SetText("x\r\ny");
    EXPECT_EQ(LinesOf(list), (TLines{"", "x", "y"}));
}

TEST(EditList, ClearLeavesOneEmptyLineThroughAdd)
{
    TzeEditList list;
    list.Add("a");
    list.Add("b");
    THookLog log(list);
    list.Clear();
    EXPECT_EQ(LinesOf(list), (TLines{""}));
    EXPECT_EQ(log.Calls, (TCalls{"added 1 (in bracket)", "change 1"}));

    // An empty list is filled the same way.
    TzeEditList empty;
    empty.Clear();
    EXPECT_EQ(LinesOf(empty), (TLines{""}));
}

TEST(EditList, ClearWhileLoadingLeavesNothing)
{
    TzeEditList list;
    list.Add("a");
    list.SetLoading(true);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.SetLoading(false);
    EXPECT_FALSE(list.Loading());
}

TEST(EditList, SetTextKeepsTheEmptyFirstLineOfClearAndReportsOnceAllLinesAreIn)
{
    TzeEditList list;
    THookLog log(list);
    list.SetText("one\r\ntwo\nthree");
    // The base text setter clears through Clear, which leaves its empty line;
    // the text's lines come in one pass, reported once all are in.
    EXPECT_EQ(LinesOf(list), (TLines{"", "one", "two", "three"}));
    EXPECT_EQ(log.Calls, (TCalls{"added 1 (in bracket)", "textset 4 (in bracket)", "change 4"}));

    log.Calls.clear();
    list.SetLoading(true);
    list.SetText("a\rb");
    list.SetLoading(false);
    EXPECT_EQ(LinesOf(list), (TLines{"a", "b"}));
    EXPECT_EQ(log.Calls.back(), "change 2");
    EXPECT_EQ(log.Calls[log.Calls.size() - 2], "textset 2 (in bracket)");
}

TEST(EditList, AssignCopiesSlotsOverWhatAddComputed)
{
    TStringList source;
    source.AddObject("a", 7);
    source.AddObject("b", 9);
    TzeEditList list;
    list.OnAdded = [](TzeEditList &l) { l.PutObject(l.Count() - 1, 100); };
    list.Assign(source);
    EXPECT_EQ(LinesOf(list), (TLines{"", "a", "b"}));
    EXPECT_EQ(StoredRanges(list), (std::vector<std::intptr_t>{100, 7, 9}));
}

TEST(EditList, LoadFromFileSetsLoadingAndResetsItOnFailure)
{
    const std::string path = WriteTempFile("zeEditList-load.txt", "first\r\nsecond\r\n");
    TzeEditList list;
    list.Add("old");
    bool loadingSeen = false;
    list.OnTextSet = [&loadingSeen](TzeEditList &l) { loadingSeen = l.Loading(); };
    list.LoadFromFile(path);
    EXPECT_TRUE(loadingSeen);
    EXPECT_FALSE(list.Loading());
    EXPECT_EQ(LinesOf(list), (TLines{"first", "second"}));

    EXPECT_THROW(list.LoadFromFile(path + ".missing"), EStreamError);
    EXPECT_FALSE(list.Loading());
    EXPECT_EQ(LinesOf(list), (TLines{"first", "second"}));

    std::istringstream stream("x\ny\n");
    list.LoadFromStream(stream);
    EXPECT_FALSE(list.Loading());
    EXPECT_EQ(LinesOf(list), (TLines{"x", "y"}));
}

TEST(EditList, LoadingAnEmptyFileLeavesNoLine)
{
    const std::string path = WriteTempFile("zeEditList-empty.txt", "");
    TzeEditList list;
    list.Add("old");
    list.LoadFromFile(path);
    EXPECT_EQ(list.Count(), 0);
}

TEST(EditList, IndexErrorsComeFromTheBaseList)
{
    TzeEditList list;
    int hooks = 0;
    list.OnDeleted = [&hooks](int) { ++hooks; };
    list.OnPut = [&hooks](int) { ++hooks; };
    list.OnInserted = [&hooks](int) { ++hooks; };
    list.Add("a");
    EXPECT_THROW(list.Delete(1), EListError);
    EXPECT_THROW(list.Put(-1, "x"), EListError);
    EXPECT_THROW(list.Insert(3, "x"), EListError);
    EXPECT_EQ(hooks, 0);
    // A failed operation leaves no bracket open.
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(EditList, ManyInsertsAtOnePlaceKeepOrder)
{
    TzeEditList list;
    for (int i = 0; i < 10; ++i)
        list.Add("tail" + std::to_string(i));
    for (int i = 0; i < 1000; ++i)
        list.Insert(5 + i, std::to_string(i) + "n");
    ASSERT_EQ(list.Count(), 1010);
    EXPECT_EQ(list[4], "tail4");
    EXPECT_EQ(list[5], "0n");
    EXPECT_EQ(list[1004], "999n");
    EXPECT_EQ(list[1005], "tail5");
    for (int i = 0; i < 1000; ++i)
        list.Delete(5);
    EXPECT_EQ(list.Count(), 10);
    EXPECT_EQ(list[5], "tail5");
}
