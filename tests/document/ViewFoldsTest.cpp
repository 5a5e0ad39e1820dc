// ViewFoldsTest.cpp: folding in a view without a window, against a model.
// One view folds, a second view of a copy of the text never does; both get
// the same edits at the same points. After every step the texts and carets
// agree, the caret's line shows, the regions are a full scan's and the row
// map is the one the folded regions give.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "editor/zeView.h"

namespace {

const char *const kLines[] = {"Sub S",  "End Sub", "If a Then", "End If", "For i = 1 To 2", "Next", "' note",
                              "x = 1",  "",        "Do",        "Loop",   "  y = 2 ' c",    "Select Case v",
                              "Case 1", "End Select"};
const char *const kTyped[] = {"If b Then", "End If", "Sub T", "End Sub", "' r", "z", ":", "Next", "q\r\nEnd If\r\nw"};

struct THeadless {
    THeadless()
    {
        view.Metrics().CharsInWindow = 40;
        view.Metrics().LinesInWindow = 7;
        doc.AddLine(std::string());
    }
    TzeDocument doc;
    TzeView view{doc};
};

std::string RandomScript(std::mt19937 &random, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string(kLines[random() % std::size(kLines)]) + (i + 1 < count ? "\r\n" : "");
    return text;
}

std::set<int> FoldedFirsts(const TzeView &view)
{
    std::set<int> folded;
    for (const TzeFoldRange &r : view.Folds().Regions())
        if (view.Folds().IsFolded(r.First))
            folded.insert(r.First);
    return folded;
}

// The hidden lines the folded regions give, and the map's rows against them.
void ExpectRowsOfFolded(const TzeView &view, const std::string &where)
{
    const int count = view.Document().Lines().Count();
    std::vector<bool> hidden(size_t(count) + 2, false);
    for (const int first : FoldedFirsts(view)) {
        const TzeFoldRange *r = view.Folds().RegionAt(first);
        for (int line = r->First + 1; line <= r->Last; ++line)
            hidden[size_t(line)] = true;
    }
    int row = 0;
    for (int line = 1; line <= count; ++line) {
        ASSERT_EQ(view.IsHidden(line), hidden[size_t(line)]) << where << " line " << line;
        if (!hidden[size_t(line)]) {
            ++row;
            ASSERT_EQ(view.LineAtRow(row), line) << where << " row " << row;
        }
        ASSERT_EQ(view.RowOf(line), row) << where << " line " << line;
    }
    ASSERT_EQ(view.RowCount(), row) << where;
}

} // namespace

TEST(ViewFolds, FoldsEditsAndMovesAgreeWithAViewThatNeverFolds)
{
    const TzeEditorCommand moves[] = {ecUp,     ecDown,        ecPageUp,    ecPageDown, ecWordLeft, ecWordRight,
                                      ecLineEnd, ecEditorBottom, ecEditorTop, ecSelDown, ecSelUp,    ecSelPageDown};
    const TzeEditorCommand edits[] = {ecLineBreak,     ecDeleteLastChar, ecDeleteChar, ecDeleteWord,
                                      ecDeleteLastWord, ecDeleteLine,     ecUndo,       ecRedo};
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        THeadless a, b;
        const std::string script = RandomScript(random, 30 + int(random() % 50));
        a.doc.SetText(script);
        b.doc.SetText(script);
        a.view.SetFolding(true);
        std::set<int> model = FoldedFirsts(a.view);
        for (int step = 0; step < 400; ++step) {
            const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
            const int count = a.doc.Lines().Count();
            const int line = 1 + int(random() % unsigned(count));
            const unsigned kind = random() % 10;
            if (kind < 3) {
                // A fold command, on the folding view and the model alike.
                const TzeFoldRange *region = a.view.Folds().RegionAt(line);
                switch (random() % 6) {
                case 0:
                    a.view.Fold(line);
                    if (region)
                        model.insert(line);
                    break;
                case 1:
                    a.view.Unfold(line);
                    model.erase(line);
                    break;
                case 2:
                    if (random() % 4 == 0) {
                        a.view.FoldAll();
                        for (const TzeFoldRange &r : a.view.Folds().Regions())
                            model.insert(r.First);
                    } else {
                        a.view.UnfoldAll();
                        model.clear();
                    }
                    break;
                case 3: {
                    // The innermost unfolded region around the caret, found naively.
                    const int caret = a.view.CaretY();
                    const TzeFoldRange *inner = nullptr;
                    for (const TzeFoldRange &r : a.view.Folds().Regions())
                        if (r.First <= caret && caret <= r.Last && !model.count(r.First) &&
                            (!inner || r.Last - r.First < inner->Last - inner->First))
                            inner = &r;
                    if (inner)
                        model.insert(inner->First);
                    a.view.FoldAround(caret);
                    break;
                }
                default:
                    a.view.RevealLine(line);
                    for (const TzeFoldRange &r : a.view.Folds().Regions())
                        if (r.First < line && line <= r.Last)
                            model.erase(r.First);
                    break;
                }
                ASSERT_EQ(FoldedFirsts(a.view), model) << where;
                // A caret the fold hid went to the line hiding it: the
                // other view follows.
                b.view.SetCaretXY(a.view.CaretXY());
                b.view.SetAnchors(a.view.BlockBeginAnchor(), a.view.BlockEndAnchor());
            } else if (kind < 5) {
                const TzeEditorCommand move = moves[random() % std::size(moves)];
                a.view.Execute(move);
                b.view.SetCaretXY(a.view.CaretXY());
                b.view.SetAnchors(a.view.BlockBeginAnchor(), a.view.BlockEndAnchor());
                ASSERT_EQ(FoldedFirsts(a.view), model) << where << ": move " << move << " folded or unfolded";
            } else {
                // The same edit at the same point of both texts. A delete key
                // that would change a hidden line unfolds it instead: then
                // the text is as it was, and the key is given again.
                const std::set<int> before = FoldedFirsts(a.view);
                const int linesBefore = count;
                const std::string textBefore = a.doc.Lines().Text();
                const auto run = [&](TzeView &view, int edit) {
                    if (edit < int(std::size(edits)))
                        view.Execute(edits[edit]);
                    else if (edit == int(std::size(edits)))
                        view.ReplaceSelection(kTyped[random() % std::size(kTyped)], ucDelete, ucInsert);
                    else if (edit == int(std::size(edits)) + 1) {
                        // As a replace does: from the caret to a point on any
                        // line, folded or not, and the same text pasted over it.
                        view.SetAnchors(view.CaretXY(), TPoint{1, line});
                        view.ReplaceSelection(view.SelText(), ucDelete, ucInsert);
                    }
                    else
                        for (const char c : std::string(kTyped[edit % std::size(kTyped)]))
                            view.Execute(ecChar, c);
                };
                const int edit = int(random() % (std::size(edits) + 4));
                std::mt19937 same = random;
                run(a.view, edit);
                const bool deleteKey = edit >= 1 && edit <= 4;
                if (deleteKey && a.doc.Lines().Text() == textBefore && FoldedFirsts(a.view) != before) {
                    random = same;
                    run(a.view, edit);
                }
                random = same;
                run(b.view, edit);
                ASSERT_EQ(a.doc.Lines().Text(), b.doc.Lines().Text()) << where << " edit " << edit;
                ASSERT_EQ(a.view.CaretXY(), b.view.CaretXY()) << where << " edit " << edit;
                ASSERT_EQ(a.doc.UndoList().Count(), b.doc.UndoList().Count()) << where << " edit " << edit;
                // Edits never fold anything; with the lines where they were,
                // what stays folded was folded.
                const std::set<int> after = FoldedFirsts(a.view);
                if (a.doc.Lines().Count() == linesBefore) {
                    for (const int first : after)
                        ASSERT_TRUE(before.count(first)) << where << " folded " << first;
                }
                model = after;
            }
            ASSERT_FALSE(a.view.IsHidden(a.view.CaretY())) << where;
            TzeFoldTracker full;
            const TzeEditList &lines = a.doc.Lines();
            full.Reset(lines.Count(), [&lines](int l) { return lines.Get(l - 1); });
            ASSERT_EQ(a.view.Folds().Regions(), full.Ranges()) << where;
            ExpectRowsOfFolded(a.view, where);
        }
    }
}
