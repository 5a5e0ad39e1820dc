// NothingLostTest.cpp: text that once went missing, driven by keys as a user
// types them: lines longer than MaxLeftChar, bookmarks through a deleted and
// restored line, and characters that a script file cannot hold.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include "editor/zeCustomEdit.h"

namespace {

void TypeUnicode(TzeCustomEdit &edit, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(&edit, &press);
}

} // namespace

// Lines of 1,500 and 100,000 characters against the default MaxLeftChar of 1024.
TEST(NothingLost, LinesLongerThanMaxLeftCharStayWhole)
{
    for (const int length : {1500, 100000}) {
        SCOPED_TRACE(length);
        TzeCustomEdit edit;
        edit.resize(300, 200);
        const std::string longLine = std::string(std::size_t(length - 1), 'a') + "z";
        edit.SetText(longLine + "\r\nnext");
        ASSERT_EQ(edit.MaxLeftChar(), 1024);

        // End reaches the line end, and typing there keeps the characters together.
        QTest::keyClick(&edit, Qt::Key_End);
        EXPECT_EQ(edit.CaretX(), length + 1);
        QTest::keyClicks(&edit, QStringLiteral("b c"));
        EXPECT_EQ(edit.Lines()[0], longLine + "b c");
        EXPECT_EQ(edit.CaretX(), length + 4);

        // Without ScrollPastEOL the same.
        edit.SetScrollPastEOL(false);
        QTest::keyClicks(&edit, QStringLiteral("de"));
        EXPECT_EQ(edit.Lines()[0], longLine + "b cde");

        // Select All selects all; Copy and Cut take whole lines.
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        EXPECT_EQ(copied.size(), qsizetype(length + 5 + 1 + 4));
        EXPECT_TRUE(copied.endsWith(QStringLiteral("cde\nnext")) || copied.endsWith(QStringLiteral("cde\r\nnext")));
        QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(edit.Text(), "\r\n");
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit.Lines()[0], longLine + "b cde");
        EXPECT_EQ(edit.Lines()[1], "next");

        // A point inside the text is reachable by the caret and the anchors.
        edit.SetCaretXY({length, 1});
        EXPECT_EQ(edit.CaretX(), length);
        QTest::keyClick(&edit, Qt::Key_End, Qt::ShiftModifier);
        EXPECT_EQ(edit.SelText(), "zb cde");
    }
}

// Ctrl+Y deletes the caret line; Ctrl+Z must put every bookmark back on its line.
TEST(NothingLost, BookmarksComeBackWithTheDeletedLine)
{
    TzeCustomEdit edit;
    edit.resize(300, 200);
    std::string text;
    for (int i = 1; i <= 12; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    edit.SetText(text);
    const auto setMarker = [&edit](int n, int line) {
        edit.SetCaretXY({1, line});
        QTest::keyClick(&edit, Qt::Key(Qt::Key_0 + n), Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_NE(edit.Bookmarks(n), nullptr);
    };
    setMarker(1, 4);
    setMarker(2, 5);
    setMarker(3, 9);
    // Above a bookmark, on one, and the last line.
    for (const int line : {3, 5, 4, 12}) {
        SCOPED_TRACE(line);
        edit.SetCaretXY({2, line});
        QTest::keyClick(&edit, Qt::Key_Y, Qt::ControlModifier);
        ASSERT_EQ(edit.LineCount(), 11);
        QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(edit.Text(), text);
        EXPECT_EQ(edit.Bookmarks(1)->Line(), 4);
        EXPECT_EQ(edit.Bookmarks(2)->Line(), 5);
        EXPECT_EQ(edit.Bookmarks(3)->Line(), 9);
    }
}

TEST(NothingLost, UnstorableCharactersAreReportedNotDropped)
{
    TzeCustomEdit edit;
    edit.resize(300, 200);
    edit.SetText("ab");
    edit.SetCaretXY({2, 1});
    QStringList reported;
    std::vector<bool> typed;
    edit.OnUnstorableText = [&](TzeCustomEdit &, const QStringList &characters, bool byTyping) {
        reported << characters;
        typed.push_back(byTyping);
    };
    TypeUnicode(edit, QString::fromUtf8("\u03b1"));
    EXPECT_EQ(edit.Lines()[0], "ab");
    EXPECT_EQ(reported, QStringList{QString::fromUtf8("\u03b1")});
    EXPECT_FALSE(edit.CanUndo());

    // A paste inserts what can be stored and names the rest, an emoji as one character.
    reported.clear();
    QGuiApplication::clipboard()->setText(QString::fromUtf8("x\u2192y\U0001F600\r\nz\u00e9"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), "axy\r\nz\xe9" "b\r\n");
    EXPECT_EQ(reported, (QStringList{QString::fromUtf8("\u2192"), QString::fromUtf8("\U0001F600")}));
    EXPECT_EQ(typed, (std::vector<bool>{true, false}));
}
