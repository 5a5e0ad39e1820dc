// TextCommandsTest.cpp: typing, deleting and line breaks, with their undo and redo.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string_view>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include "editor/zeCustomEdit.h"

namespace {

std::vector<std::string> Lines(const TzeCustomEdit &e)
{
    std::vector<std::string> out;
    for (int i = 0; i < e.LineCount(); ++i)
        out.emplace_back(e.Lines()[i]);
    return out;
}

std::vector<std::string> LinesOfDocument(const TzeDocument &doc)
{
    std::vector<std::string> out;
    for (int i = 0; i < doc.Lines().Count(); ++i)
        out.emplace_back(doc.Lines()[i]);
    return out;
}

using V = std::vector<std::string>;

struct Commands : ::testing::Test {
    void SetUp() override { edit.resize(400, 300); }
    void Run(TzeEditorCommand c, char ch = '\0') { edit.CommandProcessor(c, ch, nullptr); }
    void Type(const std::string &text)
    {
        for (char c : text)
            Run(ecChar, c);
    }
    TzeCustomEdit edit;
};

} // namespace

TEST_F(Commands, TypingPadsTrimsAndUndoes)
{
    edit.SetText("abc");
    edit.SetCaretXY({6, 1});
    Type("x");
    EXPECT_EQ(Lines(edit), V{"abc  x"});
    EXPECT_EQ(edit.CaretX(), 7);
    Type(" ");
    EXPECT_EQ(Lines(edit), V{"abc  x"}); // trailing blank trimmed
    EXPECT_EQ(edit.CaretX(), 8);
    edit.Undo();
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"abc"});
    EXPECT_EQ(edit.CaretXY(), (TPoint{6, 1}));
    edit.Redo();
    EXPECT_EQ(Lines(edit), V{"abc  x"});

    int done = 0;
    edit.OnCommandDone = [&](TzeCustomEdit &) { ++done; };
    const int before = edit.UndoList().Count();
    edit.SetMaxUndo(100);
    edit.SetCaretXY({1, 1});
    Run(ecChar, '\t');
    EXPECT_EQ(Lines(edit), V{"    abc  x"});
    EXPECT_EQ(done, 4);
    EXPECT_EQ(edit.UndoList().Count(), before + 4);
}

TEST_F(Commands, PasteOverASelectionUndoesInOneStep)
{
    edit.SetText("hello world");
    QGuiApplication::clipboard()->setText("there");
    edit.SetBlockBegin({7, 1});
    edit.SetBlockEnd({12, 1});
    Run(ecPaste);
    EXPECT_EQ(Lines(edit), V{"hello there"});
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"hello world"});
    edit.Redo();
    EXPECT_EQ(Lines(edit), V{"hello there"});
}

namespace {

std::vector<std::string> Trimmed(std::vector<std::string> v)
{
    for (auto &s : v)
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
    return v;
}

void Trace(const TzeCustomEdit &edit)
{
    for (const std::string &line : Lines(const_cast<TzeCustomEdit &>(edit)))
        std::printf("   [%s]\n", line.c_str());
}

} // namespace

// Steps of the random sessions beyond the editor's commands.
constexpr TzeEditorCommand kTypeBlockLine = ecUserFirst + 1;
constexpr TzeEditorCommand kCommentLines = ecUserFirst + 2;
constexpr TzeEditorCommand kUncommentLines = ecUserFirst + 3;

// Thousands of random commands and drops of the selection (300 seeds x 800
// each way; a failure names its seed, and QUENLO_SEED, QUENLO_STEPS and
// QUENLO_TRACE replay and print it; QUENLO_SEEDS runs more seeds); after every
// one the caret and anchors lie in the text and a typed character stands
// before the caret. The text and the lines of three marks after each command
// are kept by the undo list's length then; whenever an undo brings the list
// back to a length, both must be what they were then (a redo: the text) (trailing blanks aside,
// which typing trims by design). At the end everything is undone, down to the
// start text, and redone, up to the text before the undos. With undoAndRedo,
// Undo and Redo are among the random commands too, so that redos also land
// on texts changed since. Half the seeds break lines by VBScript's blocks:
// block keywords are typed key by key before a Return, and lines are
// commented and uncommented, each one step. The whole text is sometimes replaced through the
// list, as New and Open do, and one seed in four has a MaxLeftChar of 12, so
// that lines are longer than it.
static void RunRandomSessions(unsigned count, bool undoAndRedo)
{
    const char *only = std::getenv("QUENLO_SEED");
    const bool trace = std::getenv("QUENLO_TRACE") != nullptr;
    for (unsigned seed = 1; seed <= count; ++seed) {
        if (only && unsigned(std::atoi(only)) != seed)
            continue;
        std::mt19937 rng(seed);
        TzeCustomEdit edit;
        edit.resize(300, 200);
        edit.SetMaxUndo(1000000);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        // One seed in four each: no autoindent, no scrolling past the line end.
        edit.SetAutoindent(pick(4) != 0);
        edit.SetScrollPastEOL(pick(4) != 0);
        edit.SetTabIndent(1 + pick(4));
        if (pick(4) == 0)
            edit.SetMaxLeftChar(12);
        // Every other seed: Return by VBScript's blocks, with or without the closers.
        edit.SetBlockIndent(pick(2) == 0);
        edit.SetInsertBlockEnds(pick(3) != 0);
        std::string start;
        const int lines = 1 + pick(6);
        for (int i = 0; i < lines; ++i) {
            std::string line(std::size_t(pick(3)) * 2, ' ');
            for (int j = pick(10); j > 0; --j)
                line += "ab cd.ef"[pick(8)];
            start += line + "\r\n";
        }
        edit.SetText(start);
        std::vector<std::unique_ptr<TMark>> marks;
        for (int m = 0; m < 3; ++m) {
            marks.push_back(std::make_unique<TMark>(&edit));
            marks.back()->SetLine(1 + pick(lines));
            edit.Marks().Add(marks.back().get());
        }
        auto markLines = [&marks] {
            std::vector<int> result;
            for (const auto &mark : marks)
                result.push_back(mark->Line());
            return result;
        };
        // The text and the marks after each command, by the undo list's length then.
        struct TSnapshot {
            int Step;
            std::vector<std::string> Text;
            std::vector<int> Marks;
        };
        std::map<int, TSnapshot> snapshots;
        snapshots[0] = {-1, Trimmed(Lines(edit)), markLines()};
        auto checkSnapshot = [&](const char *what) {
            const auto snapshot = snapshots.find(edit.UndoList().Count());
            if (snapshot != snapshots.end()) {
                ASSERT_EQ(Trimmed(Lines(edit)), snapshot->second.Text)
                    << "seed " << seed << ": " << what << " to the text after step " << snapshot->second.Step;
                // Undo puts every mark back; redo is not held to that.
                if (std::string_view(what) == "undo back") {
                    ASSERT_EQ(markLines(), snapshot->second.Marks)
                        << "seed " << seed << ": " << what << " to the marks after step " << snapshot->second.Step;
                }
            }
        };
        std::vector<TzeEditorCommand> commands = {
            ecChar,         ecChar,        ecChar,        ecDeleteLastChar, ecDeleteChar,      ecDeleteWord,
            ecDeleteLastWord, ecDeleteBOL, ecDeleteEOL,   ecDeleteLine,     ecLineBreak,       ecInsertLine,
            ecPaste,        ecCut,         ecToggleMode,  ecLeft,           ecRight,           ecUp,
            ecDown,         ecSelLeft,     ecSelRight,    ecSelUp,          ecSelDown,         ecWordRight,
            ecSelWordLeft,  ecLineEnd,     ecSelLineStart, ecEditorTop,     ecSelEditorBottom, ecSelectAll,
            ecSelPageDown,  ecPageUp,      ecSelWordRight, ecSelLineEnd,    ecLineStart,
            ecNone,         // a drop of the selection, moved or copied
            ecClearAll,     // the whole text replaced through the list
            kTypeBlockLine, kTypeBlockLine, kCommentLines, kUncommentLines};
        if (undoAndRedo)
            commands.insert(commands.end(), {ecUndo, ecUndo, ecUndo, ecRedo, ecRedo, ecRedo});
        const int steps = std::getenv("QUENLO_STEPS") ? std::atoi(std::getenv("QUENLO_STEPS")) : 800;
        for (int i = 0; i < steps; ++i) {
            const TzeEditorCommand c = commands[std::size_t(pick(int(commands.size())))];
            char ch = "ab \t.x"[pick(6)];
            if (c == ecPaste)
                QGuiApplication::clipboard()->setText(
                    QString::fromLatin1(std::array{"pa\r\nste", "p", "  in\r\n", "\r\n\r\nx y", "\t\tin\r\n\t"}[pick(5)]));
            if (trace)
                std::printf("%d: cmd %d ch %d caret %d,%d undo %d marks %d %d %d\n", i, c, ch, edit.CaretX(),
                            edit.CaretY(), edit.UndoList().Count(), marks[0]->Line(), marks[1]->Line(),
                            marks[2]->Line());
            const int before = edit.UndoList().Count();
            const bool plainTyping = c == ecChar && ch > ' ' && edit.InsertMode() && !edit.SelAvail();
            if (c == ecClearAll) {
                TzeDocument &list = edit.Document();
                list.ClearLines();
                list.DeleteLine(0);
                for (int j = pick(4); j >= 0; --j)
                    list.AddLine(std::string(std::size_t(pick(20)), "ab \t"[pick(4)]) + "z");
                ASSERT_FALSE(edit.CanUndo() || edit.CanRedo()) << "seed " << seed << " step " << i;
                snapshots.clear();
            } else if (c == kTypeBlockLine) {
                // A block keyword typed, key by key, then Return.
                const char *line = std::array{"If a Then", "End If", "Else", "Sub s", "End Sub", "For i = 1 To 2",
                                              "Next", "Do", "Loop", "Select Case a", "Case 1", "Class k",
                                              "With b", "If a Then b", "' x"}[pick(15)];
                for (const char *k = line; *k; ++k)
                    ASSERT_NO_THROW(edit.CommandProcessor(ecChar, *k, nullptr)) << "seed " << seed << " step " << i;
                ASSERT_NO_THROW(edit.CommandProcessor(ecLineBreak, '\r', nullptr)) << "seed " << seed << " step " << i;
            } else if (c == kCommentLines || c == kUncommentLines) {
                ASSERT_NO_THROW(edit.CommentLines(c == kCommentLines)) << "seed " << seed << " step " << i;
            } else if (c == ecNone) {
                const TPoint drop{1 + pick(12), 1 + pick(edit.LineCount())};
                ASSERT_NO_THROW(edit.DropSelection(drop, edit.BlockBegin(), edit.BlockEnd(), pick(3) == 0))
                    << "seed " << seed << " step " << i;
            } else {
                ASSERT_NO_THROW(edit.CommandProcessor(c, ch, nullptr)) << "seed " << seed << " step " << i;
            }
            if (trace)
                Trace(edit);
            ASSERT_GE(edit.LineCount(), 1) << "seed " << seed;
            ASSERT_GE(edit.CaretY(), 1) << "seed " << seed;
            ASSERT_LE(edit.CaretY(), edit.LineCount()) << "seed " << seed << " step " << i;
            ASSERT_GE(edit.CaretX(), 1);
            ASSERT_LE(edit.BlockEnd().Y, edit.LineCount()) << "seed " << seed << " step " << i;
            ASSERT_GE(edit.BlockBegin().X, 1);
            if (plainTyping) {
                const std::string line(edit.Lines()[edit.CaretY() - 1]);
                ASSERT_GE(edit.CaretX(), 2) << "seed " << seed << " step " << i;
                ASSERT_EQ(line.substr(std::size_t(edit.CaretX() - 2), 1), std::string(1, ch))
                    << "seed " << seed << " step " << i;
            }
            const int now = edit.UndoList().Count();
            if (now < before)
                checkSnapshot("undo back");
            if (::testing::Test::HasFatalFailure())
                return;
            snapshots.erase(snapshots.upper_bound(now), snapshots.end());
            snapshots[now] = {i, Trimmed(Lines(edit)), markLines()};
        }
        const std::vector<std::string> after = Lines(edit);
        const int recorded = edit.UndoList().Count();
        while (edit.CanUndo()) {
            if (trace) {
                const TUndoChange &u = edit.UndoList().Items(edit.UndoList().Count() - 1);
                std::printf("undo kind %d %d,%d-%d,%d [%s]\n", u.Kind, u.StartPos.X, u.StartPos.Y, u.EndPos.X,
                            u.EndPos.Y, u.Text.c_str());
            }
            ASSERT_NO_THROW(edit.Undo()) << "seed " << seed;
            if (trace)
                Trace(edit);
            checkSnapshot("undo back");
            if (::testing::Test::HasFatalFailure())
                return;
        }
        // Redos beyond these are older ones, left on the list by design.
        while (edit.CanRedo() && edit.UndoList().Count() < recorded) {
            ASSERT_NO_THROW(edit.Redo()) << "seed " << seed;
            checkSnapshot("redo up");
            if (::testing::Test::HasFatalFailure())
                return;
        }
        EXPECT_EQ(Trimmed(Lines(edit)), Trimmed(after)) << "seed " << seed;
    }
}

static unsigned SeedCount()
{
    return std::getenv("QUENLO_SEEDS") ? unsigned(std::atoi(std::getenv("QUENLO_SEEDS"))) : 300;
}

TEST(CommandsProperty, RandomCommandsUndoAndRedoCompletely)
{
    RunRandomSessions(SeedCount(), false);
}

TEST(CommandsProperty, RandomCommandsWithUndoAndRedoAmongThem)
{
    RunRandomSessions(SeedCount(), true);
}

TEST(KeyboardTyping, KeysTypeAndUndoAsAUserWould)
{
    TzeCustomEdit edit;
    edit.resize(300, 200);
    edit.SetText("Sub Main\r\nEnd Sub");
    edit.SetCaretXY({9, 1});
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, QStringLiteral("MsgBox \"caf"));
    for (const char16_t ch : {u'\u00e9', u' ', u'\u0416', u'"'}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(ch)));
        QApplication::sendEvent(&edit, &press);
    }
    EXPECT_EQ(edit.Lines()[1], "MsgBox \"caf\xE9 \""); // a character 1252 cannot hold is not typed
    QTest::keyClick(&edit, Qt::Key_Backspace, Qt::AltModifier); // undo
    EXPECT_EQ(edit.Lines()[1], "MsgBox \"caf\xE9"); // the blank before it is trimmed
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // redo
    EXPECT_EQ(edit.Lines()[1], "MsgBox \"caf\xE9 \"");
    QTest::keyClick(&edit, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(edit.SelText(), "MsgBox \"caf\xE9 \"");
}

TEST(KeyboardTyping, TabMovesTheFocusUnlessWantTabs)
{
    QWidget form;
    auto *edit = new TzeCustomEdit(&form);
    auto *next = new TzeCustomEdit(&form);
    form.show();
    edit->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(edit->hasFocus());
    std::string events;
    edit->OnExit = [&events](TzeCustomEdit &) { events += "exit "; };
    edit->OnKeyUp = [&events](TzeCustomEdit &, std::uint16_t &key, TShiftState) {
        events += "up " + std::to_string(key) + " ";
    };
    next->OnEnter = [&events](TzeCustomEdit &) { events += "enter next "; };
    edit->SetText("x");
    edit->SetCaretXY({1, 1});
    QTest::keyPress(edit, Qt::Key_Tab);
    EXPECT_EQ(edit->Lines()[0], "x");
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(events, "exit enter next ");
    QTest::keyRelease(edit, Qt::Key_A);
    EXPECT_EQ(events, "exit enter next up 65 ");

    edit->setFocus();
    QApplication::processEvents();
    edit->SetWantTabs(true);
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(edit->Lines()[0], "    x"); // TabIndent blanks
    EXPECT_TRUE(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(edit->Lines()[0], "        x");
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(edit->Lines()[0], "        x");
    EXPECT_TRUE(edit->hasFocus());
}

TEST(CommandsProperty, TheViewWithoutAWindowRunsTheKeyCommandsAsTheControlDoes)
{
    // The same random stream of the table's commands (moves, selections,
    // scrolls, typing with tabs, deletes, breaks, undo and redo, the modes)
    // on the control and on a document with a view of the same grid and
    // options: after each command both have the same text, caret, anchors,
    // view position and undo lists.
    for (const bool pastEol : {true, false}) {
        TzeCustomEdit edit;
        edit.resize(400, 300);
        edit.SetScrollPastEOL(pastEol);
        edit.SetMaxUndo(1000);
        const std::string text = "Sub Main\r\n    x = 1\r\n\r\n  If a Then b\r\nEnd Sub";
        edit.SetText(text);
        TzeDocument doc;
        TzeView view(doc);
        view.Metrics() = edit.ViewMetrics();
        view.Options().ScrollPastEOL = pastEol;
        doc.SetMaxUndo(1000);
        doc.SetLoading(true);
        doc.SetText(text);
        doc.SetLoading(false);
        const TzeEditorCommand commands[] = {
            ecLeft, ecRight, ecUp, ecDown, ecWordLeft, ecWordRight, ecLineStart, ecLineEnd, ecPageUp, ecPageDown,
            ecPageTop, ecPageBottom, ecEditorTop, ecEditorBottom, ecSelLeft, ecSelRight, ecSelUp, ecSelDown,
            ecSelWordRight, ecSelLineEnd, ecSelEditorBottom, ecScrollUp, ecScrollDown, ecScrollLeft, ecScrollRight,
            ecChar, ecChar, ecChar, ecChar, ecChar, ecDeleteLastChar, ecDeleteChar, ecDeleteWord, ecDeleteLastWord,
            ecDeleteBOL, ecDeleteEOL, ecDeleteLine, ecLineBreak, ecLineBreak, ecInsertLine, ecUndo, ecUndo, ecRedo,
            ecToggleMode, ecSelectAll};
        std::mt19937 random(pastEol ? 11 : 12);
        for (int step = 0; step < 3000; ++step) {
            const TzeEditorCommand c = commands[random() % std::size(commands)];
            const char ch = "ab \t=("[random() % 6];
            edit.CommandProcessor(c, ch, nullptr);
            view.Execute(c, ch);
            const std::string at = "step " + std::to_string(step) + " command " + std::to_string(c);
            ASSERT_EQ(Lines(edit), LinesOfDocument(doc)) << at;
            ASSERT_EQ(edit.CaretXY(), view.CaretXY()) << at;
            ASSERT_EQ(edit.BlockBegin(), view.BlockBegin()) << at;
            ASSERT_EQ(edit.BlockEnd(), view.BlockEnd()) << at;
            ASSERT_EQ(edit.TopLine(), view.TopLine()) << at;
            ASSERT_EQ(edit.LeftChar(), view.LeftChar()) << at;
            ASSERT_EQ(edit.UndoList().Count(), doc.UndoList().Count()) << at;
            ASSERT_EQ(edit.RedoList().Count(), doc.RedoList().Count()) << at;
            ASSERT_EQ(edit.Modified(), doc.Modified()) << at;
        }
    }
}
