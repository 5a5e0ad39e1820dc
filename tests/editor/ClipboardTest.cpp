// ClipboardTest.cpp: copy, cut and paste through the clipboard, with their undo records.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "EditorTestSupport.h"

namespace {

QClipboard &Clipboard()
{
    return *QGuiApplication::clipboard();
}

} // namespace

TEST(Clipboard, CopyPutsTheSelectionAsUnicodeText)
{
    TzeCustomEdit edit;
    edit.SetText("caf\xE9 \x80 one\r\ntwo");
    Clipboard().setText(QStringLiteral("before"));
    // Nothing selected: the clipboard keeps its text.
    edit.CopyToClipboard();
    EXPECT_EQ(Clipboard().text(), QStringLiteral("before"));

    Select(edit, TPoint{1, 1}, TPoint{3, 2});
    edit.CopyToClipboard();
#ifdef Q_OS_WIN
    EXPECT_EQ(Clipboard().text(), QString::fromUtf8("caf\u00e9 \u20ac one\r\ntw"));
#else
    // The platform's line ends, for the programs that paste it.
    EXPECT_EQ(Clipboard().text(), QString::fromUtf8("caf\u00e9 \u20ac one\ntw"));
#endif
    EXPECT_EQ(edit.UndoList().Count(), 0);
    EXPECT_FALSE(edit.Modified());
}

TEST(Clipboard, CutRecordsOneDeleteAndRemovesTheText)
{
    TzeCustomEdit edit;
    edit.SetText("keep cut keep");
    Select(edit, TPoint{6, 1}, TPoint{10, 1});
    edit.CutToClipboard();
    EXPECT_EQ(Clipboard().text(), QStringLiteral("cut "));
    EXPECT_EQ(edit.Lines()[0], "keep keep");
    ASSERT_EQ(edit.UndoList().Count(), 1);
    EXPECT_EQ(edit.UndoList().Items(0), Change(ucDelete, TPoint{6, 1}, TPoint{10, 1}, "cut "));
    EXPECT_FALSE(edit.UndoList().Locked());
    EXPECT_EQ(edit.CaretXY(), (TPoint{6, 1}));

    // Without a selection nothing happens.
    Clipboard().setText(QStringLiteral("other"));
    edit.CutToClipboard();
    EXPECT_EQ(Clipboard().text(), QStringLiteral("other"));
    EXPECT_EQ(edit.UndoList().Count(), 1);
}

TEST(Clipboard, PasteInsertsConvertedTextAndRecordsIt)
{
    TzeCustomEdit edit;
    edit.SetText("ab");
    // The caret moves on its own; the anchors stay collapsed at (1, 1). The
    // record still starts where the text went in.
    edit.SetCaretX(2);
    ASSERT_EQ(edit.BlockBegin(), (TPoint{1, 1}));
    // Characters Windows-1252 cannot hold are dropped; LF breaks lines.
    Clipboard().setText(QString::fromUtf8("x\u20ac\u4e00\ny"));
    edit.PasteFromClipboard();
    EXPECT_EQ(LinesOf(edit.Lines()), (TLines{"ax\x80", "yb"}));
    EXPECT_EQ(edit.CaretXY(), (TPoint{2, 2}));
    ASSERT_EQ(edit.UndoList().Count(), 1);
    EXPECT_EQ(edit.UndoList().Items(0), Change(ucPaste, TPoint{2, 1}, TPoint{2, 2}, ""));
    EXPECT_TRUE(edit.Modified());
}

TEST(Clipboard, PasteOverASelectionRecordsPasteDeleteFirst)
{
    TzeCustomEdit edit;
    edit.SetText("one two three");
    Select(edit, TPoint{9, 1}, TPoint{5, 1});
    Clipboard().setText(QStringLiteral("2"));
    edit.PasteFromClipboard();
    EXPECT_EQ(edit.Lines()[0], "one 2three");
    ASSERT_EQ(edit.UndoList().Count(), 2);
    EXPECT_EQ(edit.UndoList().Items(0), Change(ucPasteDelete, TPoint{5, 1}, TPoint{9, 1}, "two "));
    EXPECT_EQ(edit.UndoList().Items(1), Change(ucPaste, TPoint{5, 1}, TPoint{6, 1}, ""));
}

TEST(Clipboard, PasteWithoutTextDoesNothing)
{
    TzeCustomEdit edit;
    edit.SetText("abc");
    edit.SelectAll();
    Clipboard().clear();
    edit.PasteFromClipboard();
    auto *image = new QMimeData;
    image->setData(QStringLiteral("application/octet-stream"), QByteArray("\x01\x02", 2));
    Clipboard().setMimeData(image);
    edit.PasteFromClipboard();
    // Only characters that cannot be held: nothing to insert either.
    Clipboard().setText(QString::fromUtf8("\u4e00\u4e01"));
    edit.PasteFromClipboard();
    EXPECT_EQ(edit.Lines()[0], "abc");
    EXPECT_TRUE(edit.SelAvail());
    EXPECT_EQ(edit.UndoList().Count(), 0);
    EXPECT_FALSE(edit.Modified());
}

TEST(Clipboard, CopyThenPasteRoundTripsEveryByte)
{
    std::string bytes;
    for (int c = 32; c < 256; ++c)
        bytes += char(c);
    TzeCustomEdit edit;
    edit.SetText(bytes + "\r\nsecond");
    edit.SelectAll();
    edit.CopyToClipboard();
    TzeCustomEdit other;
    other.PasteFromClipboard();
    EXPECT_EQ(LinesOf(other.Lines()), (TLines{bytes, "second"}));
}
