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

TEST_F(Commands, OverwriteAndTypingOverASelection)
{
    edit.SetText("abc");
    Run(ecToggleMode);
    EXPECT_FALSE(edit.InsertMode());
    edit.SetCaretXY({2, 1});
    Type("X");
    EXPECT_EQ(Lines(edit), V{"aXc"});
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"abc"});
    edit.SetBlockBegin({1, 1});
    edit.SetBlockEnd({3, 1});
    Type("Z");
    EXPECT_EQ(Lines(edit), V{"Zc"}); // overwrite replaces a selection like insert does
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"c"});
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"abc"});
}

TEST_F(Commands, BackspaceUnindentsAndJoins)
{
    edit.SetText("top\r\n    a\r\n    b\r\n  c\r\n    d\r\n");
    edit.SetCaretXY({5, 5});
    Run(ecDeleteLastChar);
    EXPECT_EQ(edit.Lines()[4], "  d"); // to the level of line 4
    edit.SetCaretXY({5, 2});
    Run(ecDeleteLastChar);
    EXPECT_EQ(edit.Lines()[1], "a");
    edit.Undo();
    EXPECT_EQ(edit.Lines()[1], "    a");

    edit.SetText("one\r\ntwo\r\nthree\r\n4\r\n5\r\n6\r\nseven");
    TMark m3(&edit), m7(&edit);
    m3.SetLine(3);
    m7.SetLine(7);
    edit.Marks().Add(&m3);
    edit.Marks().Add(&m7);
    edit.SetCaretXY({1, 3});
    Run(ecDeleteLastChar);
    EXPECT_EQ(edit.Lines()[1], "twothree");
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 2}));
    EXPECT_EQ(m3.Line(), 2);
    EXPECT_EQ(m7.Line(), 6);
    edit.Undo();
    EXPECT_EQ(edit.Lines()[1], "two");
    EXPECT_EQ(edit.Lines()[2], "three");
    edit.Marks().Remove(&m3);
    edit.Marks().Remove(&m7);
}

TEST_F(Commands, EnterSplitsWithIndentAndUndoRejoins)
{
    edit.SetText("x\r\n    abcd efg");
    edit.SetCaretXY({10, 2});
    Run(ecLineBreak);
    EXPECT_EQ(Lines(edit), (V{"x", "    abcd", "    efg"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 3}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), (V{"x", "    abcd efg"}));
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"x", "    abcd", "    efg"}));

    edit.SetText("    ab\r\n    cd");
    edit.SetCaretXY({7, 1});
    Run(ecLineBreak);
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 2})); // no indentation after line 1
    edit.SetCaretXY({7, 3});
    Run(ecLineBreak);
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 4}));
    EXPECT_EQ(edit.Lines()[3], "");
    edit.SetCaretXY({3, 1});
    Run(ecInsertLine);
    EXPECT_EQ(edit.CaretXY(), (TPoint{3, 1}));
    EXPECT_EQ(edit.Lines()[0], "");
}

TEST_F(Commands, DeleteCommandsAndReadOnly)
{
    edit.SetText("a\r\nb\r\nlast");
    edit.SetCaretXY({3, 3});
    Run(ecDeleteLine);
    EXPECT_EQ(Lines(edit), (V{"a", "b"}));
    EXPECT_EQ(edit.CaretY(), 2);
    edit.Undo(); // the last line comes back after line 2, in order
    EXPECT_EQ(Lines(edit), (V{"a", "b", "last"}));
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"a", "b"}));

    edit.SetText("only");
    Run(ecDeleteLine);
    EXPECT_EQ(Lines(edit), V{""});

    edit.SetText("abc\r\ndef");
    edit.SetCaretXY({6, 1});
    Run(ecDeleteEOL);
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 1}));
    edit.SetCaretXY({4, 1});
    Run(ecDeleteChar); // joins the next line
    EXPECT_EQ(Lines(edit), V{"abcdef"});
    edit.Undo();
    EXPECT_EQ(Lines(edit), (V{"abc", "def"}));

    edit.SetReadOnly(true);
    edit.SetCaretXY({2, 1});
    Run(ecDeleteLastChar);
    Type("z");
    EXPECT_EQ(Lines(edit), (V{"abc", "def"}));
    Run(ecDeleteEOL); // does not look at read-only
    EXPECT_EQ(edit.Lines()[0], "a");
    edit.Undo(); // neither does undo
    EXPECT_EQ(edit.Lines()[0], "abc");
}

// Blanks that trimming took are given back by undo, whatever the settings.
TEST_F(Commands, UndoRestoresTrimmedBlanks)
{
    // Without ScrollPastEOL the word's start lies past the trimmed line end.
    edit.SetScrollPastEOL(false);
    edit.SetText("x\r\n  in");
    edit.SetCaretXY({5, 2});
    Run(ecDeleteLastWord);
    EXPECT_EQ(Lines(edit), (V{"x", ""}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), (V{"x", "  in"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 2}));
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"x", ""}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 2})); // clamped again
    edit.SetScrollPastEOL(true);

    // A break between two blanks: the first part loses its trailing blank.
    edit.SetText("abc  def");
    edit.SetCaretXY({5, 1});
    Run(ecLineBreak);
    EXPECT_EQ(Lines(edit), (V{"abc", " def"}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"abc  def"});

    // Without Autoindent a break in the leading blanks splits the line there.
    edit.SetAutoindent(false);
    edit.SetText(" in");
    edit.SetCaretXY({2, 1});
    Run(ecInsertLine);
    EXPECT_EQ(Lines(edit), (V{"", "in"}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{" in"});
    // With it, the whole line moves down.
    edit.SetAutoindent(true);
    edit.SetText("   in");
    edit.SetCaretXY({3, 1});
    Run(ecLineBreak);
    EXPECT_EQ(Lines(edit), (V{"", "   in"}));
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"   in"});
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

TEST_F(Commands, UndoAndRedoApplyWhereTheChangeWasRecorded)
{
    // An overwrite past the line end records an empty range: its undo gives
    // the character back at the range, not at the caret.
    edit.SetText("abn");
    Run(ecOverwriteMode);
    edit.SetCaretXY({3, 1});
    Type(" ");
    EXPECT_EQ(Lines(edit), V{"ab"});
    edit.Undo();
    edit.Redo();
    Run(ecLineStart);
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{"abn"});
    Run(ecInsertMode);

    // A Backspace past the line end deleted nothing: its redo adds no blanks.
    edit.SetText("abc");
    edit.SetCaretXY({8, 1});
    Run(ecDeleteLastChar);
    edit.Undo();
    edit.Redo();
    EXPECT_EQ(Lines(edit), V{"abc"});

    // A redo of a break breaks at its place and leaves a selection alone.
    edit.SetText("abcdef\r\nxyz");
    edit.SetCaretXY({4, 1});
    Run(ecLineBreak);
    edit.Undo();
    edit.SetBlockBegin({1, 2});
    edit.SetBlockEnd({3, 2});
    edit.SetCaretXY({3, 2});
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"abc", "def", "xyz"}));

    // A redo whose place newer edits took away goes in at the clamped place,
    // and its undo takes out just that.
    edit.SetText("abc\r\ndef\r\nghi");
    edit.SetCaretXY({4, 3});
    Type("x");
    edit.Undo();
    Run(ecSelectAll);
    Run(ecDeleteChar);
    EXPECT_EQ(Lines(edit), V{""});
    edit.Redo();
    EXPECT_EQ(Lines(edit), V{"   x"});
    edit.Undo();
    EXPECT_EQ(Lines(edit), V{""});
    edit.Undo();
    EXPECT_EQ(Lines(edit), (V{"abc", "def", "ghi"}));
}

TEST_F(Commands, ReadOnlyHoldsBackNoRedo)
{
    edit.SetText("abcdef");
    edit.SetCaretXY({4, 1});
    Run(ecLineBreak);
    edit.Undo();
    edit.SetReadOnly(true);
    edit.Redo();
    EXPECT_EQ(Lines(edit), (V{"abc", "def"}));
    EXPECT_TRUE(edit.ReadOnly());
    EXPECT_TRUE(edit.CanUndo());
    Type("x");
    EXPECT_EQ(Lines(edit), (V{"abc", "def"}));
}

TEST_F(Commands, TypingAfterClearAllStartsTheText)
{
    edit.SetText("one\r\ntwo\r\nthree");
    edit.SetCaretXY({3, 3});
    Run(ecClearAll);
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
    Type("x");
    EXPECT_EQ(Lines(edit), V{"x"});
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
// on texts changed since. The whole text is sometimes replaced through the
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
            ecClearAll};    // the whole text replaced through the list
        if (undoAndRedo)
            commands.insert(commands.end(), {ecUndo, ecUndo, ecUndo, ecRedo, ecRedo, ecRedo});
        const int steps = std::getenv("QUENLO_STEPS") ? std::atoi(std::getenv("QUENLO_STEPS")) : 800;
        for (int i = 0; i < steps; ++i) {
            const TzeEditorCommand c = commands[std::size_t(pick(int(commands.size())))];
            char ch = "ab \t.x"[pick(6)];
            if (c == ecPaste)
                QGuiApplication::clipboard()->setText(
                    QString::fromLatin1(std::array{"pa\r\nste", "p", "  in\r\n", "\r\n\r\nx y"}[pick(4)]));
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
                    list.AddLine(std::string(std::size_t(pick(20)), "ab "[pick(3)]) + "z");
                ASSERT_FALSE(edit.CanUndo() || edit.CanRedo()) << "seed " << seed << " step " << i;
                snapshots.clear();
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
