// UndoListTest.cpp: the bounded undo list and the document's undo properties.
#include <optional>
#include <random>

#include <gtest/gtest.h>

#include "toolkit/Exception.h"
#include "DocumentTestSupport.h"

namespace {

void PushNumbered(TUndoList &list, int count)
{
    for (int i = 0; i < count; ++i)
        list.Push(ucInsert, TPoint{i + 1, 1}, TPoint{i + 2, 1}, std::to_string(i));
}

// Makes undo + redo recorded changes in doc, then undoes redo of them.
void RecordNumbered(TzeDocument &doc, int undo, int redo)
{
    for (int i = 0; i < undo + redo; ++i)
        doc.Replace(TPoint{1, 1}, TPoint{1, 1}, std::to_string(i % 10), ucInsert);
    TzeSelectionPoints at;
    for (int i = 0; i < redo; ++i)
        at = doc.Undo(at, false).Points;
}

std::vector<std::string> Texts(const TUndoList &list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.Count(); ++i)
        texts.push_back(list.Items(i).Text);
    return texts;
}

using TTexts = std::vector<std::string>;

} // namespace

TEST(UndoList, PushOrdersThePointsAndCopiesTheText)
{
    TUndoList list(nullptr);
    std::string text = "deleted";
    list.Push(ucDelete, TPoint{5, 3}, TPoint{9, 1}, text);
    text = "changed";
    list.Push(ucForwardDelete, TPoint{2, 4}, TPoint{7, 4}, "");
    list.Push(ucPaste, TPoint{8, 4}, TPoint{2, 4}, "");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0), Change(ucDelete, TPoint{9, 1}, TPoint{5, 3}, "deleted"));
    // Same line: ordered by column.
    EXPECT_EQ(list.Items(1), Change(ucForwardDelete, TPoint{2, 4}, TPoint{7, 4}, ""));
    EXPECT_EQ(list.Items(2), Change(ucPaste, TPoint{2, 4}, TPoint{8, 4}, ""));
    EXPECT_THROW(list.Items(3), EListError);
    EXPECT_THROW(list.Items(-1), EListError);
}

TEST(UndoList, PopTakesTheNewestAndLeavesOutputsAloneWhenEmpty)
{
    TUndoList list(nullptr);
    TPoint start{-7, -7}, end{-8, -8};
    std::string text = "untouched";
    EXPECT_EQ(list.PeekKind(), ucNone);
    EXPECT_EQ(list.Pop(start, end, text), ucNone);
    EXPECT_EQ(start, (TPoint{-7, -7}));
    EXPECT_EQ(end, (TPoint{-8, -8}));
    EXPECT_EQ(text, "untouched");

    list.Push(ucDelete, TPoint{1, 1}, TPoint{3, 1}, "ab");
    list.Push(ucLineBreak, TPoint{4, 2}, TPoint{4, 2}, "rest");
    EXPECT_EQ(list.PeekKind(), ucLineBreak);
    EXPECT_EQ(list.Pop(start, end, text), ucLineBreak);
    EXPECT_EQ(start, (TPoint{4, 2}));
    EXPECT_EQ(text, "rest");
    EXPECT_EQ(list.PeekKind(), ucDelete);
    EXPECT_EQ(list.Pop(start, end, text), ucDelete);
    EXPECT_EQ(end, (TPoint{3, 1}));
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(list.Count(), 0);
}

TEST(UndoList, LimitKeepsTheNewest)
{
    // Limit 10, twelve changes: the last ten remain.
    TUndoList list(nullptr);
    EXPECT_EQ(list.Limit(), 10);
    PushNumbered(list, 12);
    EXPECT_EQ(Texts(list), (TTexts{"2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));

    // Limit 3 with eight changes leaves the three newest.
    TUndoList small(nullptr);
    PushNumbered(small, 8);
    small.SetLimit(3);
    EXPECT_EQ(small.Limit(), 3);
    EXPECT_EQ(Texts(small), (TTexts{"5", "6", "7"}));
}

TEST(UndoList, LimitZeroStillKeepsTheNewestChange)
{
    TUndoList list(nullptr);
    list.SetLimit(0);
    PushNumbered(list, 3);
    EXPECT_EQ(Texts(list), (TTexts{"2"}));
}

TEST(UndoList, PushRemovesOnlyOneRecordWhenFull)
{
    // At the limit a push drops exactly the oldest record.
    TUndoList list(nullptr);
    PushNumbered(list, 4);
    list.SetLimit(4);
    list.Push(ucInsert, TPoint{1, 1}, TPoint{1, 1}, "new");
    EXPECT_EQ(Texts(list), (TTexts{"1", "2", "3", "new"}));
}

TEST(UndoList, LockedRecordsNothing)
{
    TUndoList list(nullptr);
    list.Lock();
    EXPECT_TRUE(list.Locked());
    PushNumbered(list, 2);
    EXPECT_EQ(list.Count(), 0);
    list.Unlock();
    PushNumbered(list, 1);
    EXPECT_EQ(list.Count(), 1);
}

TEST(UndoList, RemoveAtIgnoresBadIndexesAndClearEmpties)
{
    TUndoList list(nullptr);
    PushNumbered(list, 4);
    list.RemoveAt(4);
    list.RemoveAt(-1);
    EXPECT_EQ(list.Count(), 4);
    list.RemoveAt(1);
    EXPECT_EQ(Texts(list), (TTexts{"0", "2", "3"}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.PeekKind(), ucNone);
}

TEST(UndoList, EveryRecordedChangeSetsModifiedAndFiresOnChange)
{
    TzeDocument doc;
    int changes = 0;
    doc.OnChange = [&] {
        ++changes;
        EXPECT_TRUE(doc.Modified());
    };
    EXPECT_FALSE(doc.Modified());
    doc.Replace(TPoint{1, 1}, TPoint{1, 1}, "x", ucInsert);
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(doc.UndoList().Owner(), nullptr);

    // An undo records its inverse for redo.
    doc.SetModified(false);
    doc.Undo(TzeSelectionPoints{}, false);
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(changes, 2);

    // Not while recording is locked, and not for changes made line by line.
    doc.SetModified(false);
    doc.LockUndo();
    doc.Replace(TPoint{1, 1}, TPoint{1, 1}, "x", ucInsert);
    doc.UnlockUndo();
    doc.AddLine("direct");
    doc.PutLine(0, "also direct");
    doc.Replace(TPoint{1, 1}, TPoint{1, 1}, "primitive", ucNone);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(changes, 2);
}

TEST(UndoList, DocumentMaxUndoLockAndClear)
{
    TzeDocument doc;
    EXPECT_EQ(doc.MaxUndo(), 10);
    RecordNumbered(doc, 6, 4); // within the 10 records kept

    doc.SetMaxUndo(3);
    EXPECT_EQ(doc.MaxUndo(), 3);
    EXPECT_EQ(doc.UndoList().Count(), 3);
    EXPECT_EQ(doc.RedoList().Limit(), 3);
    EXPECT_EQ(doc.RedoList().Count(), 3);
    doc.SetMaxUndo(-1);
    EXPECT_EQ(doc.MaxUndo(), 3);
    EXPECT_EQ(doc.RedoList().Limit(), 3);

    doc.LockUndo();
    EXPECT_TRUE(doc.UndoList().Locked());
    EXPECT_TRUE(doc.RedoList().Locked());
    doc.UnlockUndo();
    EXPECT_FALSE(doc.UndoList().Locked());
    EXPECT_FALSE(doc.RedoList().Locked());

    doc.ClearUndo();
    EXPECT_EQ(doc.UndoList().Count(), 0);
    EXPECT_EQ(doc.RedoList().Count(), 0);
    // Replacing the whole text empties both lists: their records belong to the old text.
    RecordNumbered(doc, 2, 2);
    doc.SetText("new");
    EXPECT_EQ(doc.UndoList().Count() + doc.RedoList().Count(), 0);
}

TEST(UndoList, DocumentUndoesAndRedoesEveryRecordedEditExactly)
{
    // Random replacements recorded as the editor records them (the deleted
    // selection, then the insertion); undoing them all gives the first text
    // back and redoing them all the last, each with the caret where the
    // step's text starts or ends, and undo and redo alternate freely.
    TzeDocument doc;
    doc.SetMaxUndo(100000);
    doc.SetText("one\r\ntwo\r\nthree");
    std::mt19937 random(99);
    const char pieces[] = {'a', 'b', '\n', 'c'};
    const auto point = [&] {
        const int y = int(random() % unsigned(doc.Lines().Count())) + 1;
        return TPoint{int(random() % (doc.Lines()[y - 1].size() + 1)) + 1, y};
    };
    std::vector<TLines> texts{LinesOf(doc.Lines())};
    for (int round = 0; round < 300; ++round) {
        TPoint b = point(), e = point();
        if (e < b)
            std::swap(b, e);
        if (b != e) {
            doc.Replace(b, e, "", ucDelete);
        }
        std::string text;
        for (int i = int(random() % 6); i > 0; --i)
            text += pieces[random() % sizeof pieces];
        doc.Replace(b, b, text, ucInsert);
        texts.push_back(LinesOf(doc.Lines()));
    }
    const int records = doc.UndoList().Count();
    TzeSelectionPoints at;
    for (int i = 0; i < records; ++i) {
        const TzeUndoStep step = doc.Undo(at, false);
        ASSERT_NE(step.Kind, ucNone);
        at = step.Points;
        // Alternating now and then proves that a redo lands where its undo left.
        if (i % 7 == 3) {
            at = doc.Redo(at, false).Points;
            at = doc.Undo(at, false).Points;
        }
    }
    EXPECT_EQ(doc.Undo(at, false).Kind, ucNone);
    EXPECT_EQ(LinesOf(doc.Lines()), texts.front());
    for (int i = 0; i < records; ++i)
        at = doc.Redo(at, false).Points;
    EXPECT_EQ(doc.Redo(at, false).Kind, ucNone);
    EXPECT_EQ(LinesOf(doc.Lines()), texts.back());
    EXPECT_EQ(doc.UndoList().Count(), records);
}

TEST(UndoList, UndoingOrRedoingBackToTheSavePointClearsModified)
{
    // Random edits, undos, redos, saves and outside changes (a confirmed
    // properties dialog) within MaxUndo 10, against a model that counts the
    // undo steps back to the save point (negative: redo steps forward; none
    // once an edit was made away from it in the redo direction, or after an
    // outside change). Modified is clear exactly at the save point, and then
    // the text is the saved one.
    TzeDocument doc;
    doc.SetText("one\r\ntwo\r\nthree");
    std::mt19937 random(2026);
    const auto point = [&] {
        const int y = int(random() % unsigned(doc.Lines().Count())) + 1;
        return TPoint{int(random() % (doc.Lines()[y - 1].size() + 1)) + 1, y};
    };
    std::optional<int> toSavePoint = 0;
    TLines saved = LinesOf(doc.Lines());
    TzeSelectionPoints at;
    for (int step = 0; step < 4000; ++step) {
        const unsigned action = random() % 10;
        if (action < 4) {
            TPoint b = point(), e = point();
            if (e < b)
                std::swap(b, e);
            int records = 1;
            if (b != e) {
                doc.Replace(b, e, "", ucDelete);
                ++records;
            }
            doc.Replace(b, b, random() % 2 ? "x" : "y\n", ucInsert);
            if (toSavePoint && *toSavePoint >= 0)
                *toSavePoint += records;
            else
                toSavePoint.reset();
        } else if (action < 7) {
            if (doc.Undo(at, false).Kind != ucNone && toSavePoint)
                --*toSavePoint;
        } else if (action < 9) {
            if (doc.Redo(at, false).Kind != ucNone && toSavePoint)
                ++*toSavePoint;
        } else if (random() % 4 == 0) {
            doc.SetModified(true);
            toSavePoint.reset();
        } else {
            doc.SetModified(false);
            toSavePoint = 0;
            saved = LinesOf(doc.Lines());
        }
        ASSERT_EQ(doc.Modified(), toSavePoint != 0) << "step " << step;
        if (!doc.Modified())
            ASSERT_EQ(LinesOf(doc.Lines()), saved) << "step " << step;
    }
}

TEST(UndoList, AGroupIsOneStepOfUndoAndRedoAndGroupsNest)
{
    // A command's records in a group (nested guards make one group) come back
    // as one step whatever their kinds; records outside a group each alone,
    // even a paste-delete and paste pair.
    TzeDocument doc;
    doc.Replace({1, 1}, {1, 1}, "abc", ucNone);
    const auto replace = [&doc](TPoint b, TPoint e, const std::string &text, TUndoChangeKind del, TUndoChangeKind ins) {
        doc.Replace(b, e, "", del);
        doc.Replace(b, b, text, ins);
    };
    {
        const TzeUndoGroup outer(doc);
        replace({1, 1}, {2, 1}, "X", ucDelete, ucInsert);
        const TzeUndoGroup inner(doc);
        replace({3, 1}, {4, 1}, "Y\nZ", ucDelete, ucInsert);
    }
    replace({1, 2}, {2, 2}, "W", ucPasteDelete, ucPaste);
    const TLines grouped{"XbY", "Z"}, last{"XbY", "W"};
    ASSERT_EQ(LinesOf(doc.Lines()), last);
    TzeSelectionPoints at;
    const auto step = [&](bool undo) {
        TzeUndoStep s;
        do
            s = undo ? doc.Undo(at, false) : doc.Redo(at, false);
        while (s.Again);
        at = s.Points;
    };
    step(true); // the paste alone
    EXPECT_EQ(LinesOf(doc.Lines()), (TLines{"XbY", ""}));
    step(true); // its deletion alone
    EXPECT_EQ(LinesOf(doc.Lines()), grouped);
    step(true); // the whole group
    EXPECT_EQ(LinesOf(doc.Lines()), TLines{"abc"});
    EXPECT_EQ(doc.UndoList().Count(), 0);
    step(false);
    EXPECT_EQ(LinesOf(doc.Lines()), grouped);
    step(false);
    step(false);
    EXPECT_EQ(LinesOf(doc.Lines()), last);
    EXPECT_EQ(doc.RedoList().Count(), 0);
}

TEST(UndoList, ReplacementsInNestedGroupsUndoAndRedoStepByStep)
{
    // Random replacements of every recorded kind through the document's one
    // entry point, some alone and some in groups nested up to three deep.
    // Each undo step gives back the text as it stood before its group (or
    // record), each redo step the text after it, and the marks, which the
    // changes moved, stand on their first lines once all is undone.
    TzeDocument doc;
    doc.SetMaxUndo(100000);
    doc.SetText("one\r\ntwo\r\nthree\r\nfour");
    std::vector<TMark *> marks;
    for (int n = 0; n < 3; ++n) {
        marks.push_back(new TMark(doc));
        marks.back()->SetLine(n + 2);
        doc.PlaceBookmark(n, marks.back());
    }
    std::mt19937 random(7);
    const TUndoChangeKind kinds[] = {ucInsert, ucPaste, ucDropInsert, ucForwardDelete, ucDelete, ucPasteDelete,
                                     ucDropDelete};
    const char pieces[] = {'a', 'b', '\n', 'c'};
    const auto point = [&] {
        const int y = int(random() % unsigned(doc.Lines().Count())) + 1;
        return TPoint{int(random() % (doc.Lines()[y - 1].size() + 1)) + 1, y};
    };
    const auto replace = [&] {
        TPoint b = point(), e = point();
        if (e < b)
            std::swap(b, e);
        const TUndoChangeKind kind = kinds[random() % std::size(kinds)];
        std::string text;
        // A deletion kind records what went; it takes no text.
        for (int i = IsDeletion(kind) ? 0 : int(random() % 6); i > 0; --i)
            text += pieces[random() % sizeof pieces];
        doc.Replace(b, e, text, kind);
    };
    std::vector<TLines> steps{LinesOf(doc.Lines())};
    for (int round = 0; round < 400; ++round) {
        if (random() % 3 == 0) {
            const TzeUndoGroup outer(doc);
            for (int i = int(random() % 3); i >= 0; --i) {
                replace();
                const TzeUndoGroup inner(doc);
                if (random() % 2)
                    replace();
                if (random() % 2) {
                    const TzeUndoGroup innermost(doc);
                    replace();
                }
            }
        } else {
            replace();
        }
        steps.push_back(LinesOf(doc.Lines()));
    }
    TzeSelectionPoints at;
    const auto step = [&](bool undo) {
        TzeUndoStep s;
        do
            s = undo ? doc.Undo(at, false) : doc.Redo(at, false);
        while (s.Again);
        at = s.Points;
        return s.Kind;
    };
    for (size_t i = steps.size() - 1; i > 0; --i) {
        ASSERT_NE(step(true), ucNone) << "undo to step " << i - 1;
        ASSERT_EQ(LinesOf(doc.Lines()), steps[i - 1]) << "undo to step " << i - 1;
    }
    EXPECT_EQ(step(true), ucNone);
    for (size_t m = 0; m < marks.size(); ++m)
        EXPECT_EQ(marks[m]->Line(), int(m) + 2) << "mark " << m;
    for (size_t i = 1; i < steps.size(); ++i) {
        ASSERT_NE(step(false), ucNone) << "redo to step " << i;
        ASSERT_EQ(LinesOf(doc.Lines()), steps[i]) << "redo to step " << i;
    }
    EXPECT_EQ(step(false), ucNone);
}
