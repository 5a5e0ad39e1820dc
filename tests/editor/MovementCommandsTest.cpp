// MovementCommandsTest.cpp: the command processor's entry sequence and the
// caret movement, selection and scroll commands, driven as keys would.
#include <gtest/gtest.h>

#include <QTest>

#include "editor/zeCustomEdit.h"

namespace {

struct Editor : ::testing::Test {
    void SetUp() override
    {
        edit.resize(400, 330);
        edit.SetText("line 1\r\nline 2\r\nline 3\r\nline 4\r\nline 5\r\n");
    }
    void Run(TzeEditorCommand c, void *data = nullptr) { edit.CommandProcessor(c, '\0', data); }
    TzeCustomEdit edit;
};

} // namespace

TEST_F(Editor, LeftAndRightFollowScrollPastEOL)
{
    edit.SetCaretXY({1, 5});
    Run(ecLeft);
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 5}));
    edit.SetScrollPastEOL(false);
    Run(ecLeft);
    EXPECT_EQ(edit.CaretXY(), (TPoint{7, 4}));

    edit.SetText("abc\r\nxyz");
    edit.SetScrollPastEOL(true);
    edit.SetCaretXY({4, 1});
    Run(ecRight);
    EXPECT_EQ(edit.CaretXY(), (TPoint{5, 1}));
    edit.SetScrollPastEOL(false);
    edit.SetCaretXY({4, 1});
    Run(ecRight);
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 2}));
    edit.SetCaretXY({4, 2});
    Run(ecRight);
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 2})); // nowhere on the last line
}

TEST_F(Editor, SelectingVariantsKeepTheAnchor)
{
    edit.SetCaretXY({2, 1});
    for (int i = 0; i < 3; ++i)
        Run(ecSelRight);
    EXPECT_EQ(edit.BlockBegin(), (TPoint{2, 1}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{5, 1}));
    EXPECT_EQ(edit.SelText(), "ine");
    Run(ecLeft);
    EXPECT_FALSE(edit.SelAvail());
    EXPECT_EQ(edit.CaretX(), 4);

    edit.SetCaretXY({3, 2});
    Run(ecSelDown);
    Run(ecSelDown);
    EXPECT_EQ(edit.BlockBegin(), (TPoint{3, 2}));
    EXPECT_EQ(edit.BlockEnd(), (TPoint{3, 4}));
    Run(ecSelLineEnd);
    EXPECT_EQ(edit.SelText(), "ne 2\r\nline 3\r\nline 4");
}

TEST_F(Editor, WordsPagesAndEnds)
{
    edit.SetText("abc  def\r\n   \r\nxyz");
    edit.SetCaretXY({2, 1});
    Run(ecWordRight);
    EXPECT_EQ(edit.CaretX(), 6);
    Run(ecWordRight);
    EXPECT_EQ(edit.CaretX(), 9);
    edit.SetCaretXY({8, 1});
    Run(ecWordRight);
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 2})); // a blank next line
    edit.SetCaretXY({6, 1});
    Run(ecWordLeft);
    EXPECT_EQ(edit.CaretX(), 1);
    edit.SetCaretXY({1, 3});
    Run(ecWordLeft);
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 2}));

    Run(ecEditorBottom);
    EXPECT_EQ(edit.CaretXY(), (TPoint{4, 3}));
    Run(ecSelEditorTop);
    EXPECT_EQ(edit.SelText(), "abc  def\r\n   \r\nxyz");

    std::string many;
    for (int i = 0; i < 100; ++i)
        many.append("l").append(std::to_string(i)).append("\r\n");
    edit.SetText(many);
    const int page = edit.LinesInWindow();
    ASSERT_GT(page, 2);
    Run(ecPageDown);
    EXPECT_EQ(edit.CaretY(), 1 + page);
    edit.SetHalfpageScroll(true);
    Run(ecPageDown);
    EXPECT_EQ(edit.CaretY(), 1 + page + page / 2);
    Run(ecPageTop);
    EXPECT_EQ(edit.CaretY(), edit.TopLine());

    // An empty list counts as one empty line.
    while (edit.LineCount() > 0)
        edit.Document().DeleteLine(0);
    EXPECT_NO_THROW(Run(ecEditorBottom));
    EXPECT_EQ(edit.CaretXY(), (TPoint{1, 1}));
}

TEST_F(Editor, GotoXYAndTheEntrySequence)
{
    int done = 0;
    edit.OnCommandDone = [&](TzeCustomEdit &) { ++done; };
    edit.SetCaretXY({2, 2});
    Run(ecGotoXY); // no point: ends early
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 2}));
    EXPECT_EQ(done, 0);
    TPoint target{7, 3};
    Run(ecGotoXY, &target);
    EXPECT_EQ(edit.CaretXY(), (TPoint{7, 3}));
    EXPECT_EQ(done, 1);

    std::vector<int> seen;
    edit.OnProcessCommand = [&](TzeEditorCommand &c, char &, void *) {
        seen.push_back(c);
        if (c == ecDown)
            c = ecNone;
    };
    int user = 0;
    edit.OnProcessUserCommand = [&](TzeEditorCommand &c, char &, void *) { user = c; };
    Run(ecDown);
    EXPECT_EQ(edit.CaretY(), 3); // cancelled
    Run(1005);
    EXPECT_EQ(user, 1005);
    EXPECT_EQ(seen, (std::vector<int>{ecDown})); // user commands go to the other event
    EXPECT_EQ(done, 1);
    EXPECT_EQ(edit.PaintLock(), 0);

    edit.SetReadOnly(true);
    Run(ecUp);
    EXPECT_EQ(edit.CaretY(), 2); // movements work while read-only
}

TEST_F(Editor, ScrollCommandsDragTheCaretOnlyAsFarAsNeeded)
{
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "l\r\n";
    edit.SetText(many);
    edit.SetCaretXY({1, 1});
    Run(ecScrollDown);
    EXPECT_EQ(edit.TopLine(), 2);
    EXPECT_EQ(edit.CaretY(), 2);
    edit.SetBlockBegin({1, 2});
    edit.SetBlockEnd({1, 3});
    Run(ecScrollUp);
    EXPECT_EQ(edit.TopLine(), 1);
    EXPECT_EQ(edit.CaretY(), 2);
    EXPECT_TRUE(edit.SelAvail()); // scrolling never touches the selection
}

TEST_F(Editor, KeysReachTheirBindings)
{
    edit.SetCaretXY({1, 1});
    QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(edit.SelText(), "li");
    QTest::keyClick(&edit, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(edit.CaretXY(), (TPoint{7, 5}));
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(edit.SelAvail());
    void *data = nullptr;
    EXPECT_EQ(edit.TranslateKeyCode(37, ssCtrl | ssShift, data), ecSelWordLeft);
    EXPECT_EQ(edit.TranslateKeyCode(37, ssCtrl | ssAlt, data), ecNone);
    edit.SetKeystrokes(nullptr);
    EXPECT_EQ(edit.TranslateKeyCode(37, 0, data), ecNone);
    edit.ResetKeystrokes();
    EXPECT_EQ(edit.Keystrokes().Count(), 73);
}
