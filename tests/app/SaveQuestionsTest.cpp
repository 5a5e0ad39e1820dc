// SaveQuestionsTest.cpp: Save as and Export text never replace a file unasked.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "storage/uStorage.h"
#include "editor/zeCustomEdit.h"
#include "app/uMain.h"
#include "FakeDialogs.h"

namespace {

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Each row: the action, and whether the user answers Yes to the question.
struct TOverwriteCase {
    bool exportText;
    bool replace;
};

class OverwriteQuestion : public ::testing::TestWithParam<TOverwriteCase> {};

TEST_P(OverwriteQuestion, NoIsTheDefaultAndKeepsTheFileByteForByte)
{
    const TOverwriteCase c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString victim = dir.filePath(c.exportText ? "other.vbs" : "other.tvs");
    if (c.exportText) {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("another script's bytes");
    } else {
        TScript other;
        other.Lines().SetText("another script");
        ASSERT_TRUE(other.SaveToFile(victim.toStdString())) << other.LastError();
    }
    const QByteArray before = Bytes(victim);
    TFakeDialogs dialogs;
    TfmScript w({}, dialogs);
    w.Editor().SetSelText("changed ");
    dialogs.files.push_back(victim);
    if (!c.replace)
        dialogs.files.push_back(std::nullopt); // No goes back to the dialog, which is cancelled
    dialogs.answers.push_back(c.replace ? mrYes : mrNo);
    if (c.exportText)
        w.acExportTextExecute();
    else
        w.acSaveAsExecute();

    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QFileInfo(victim).fileName() + " already exists. Replace it?");
    EXPECT_EQ(dialogs.lastButtons, mbYes | mbNo);
    EXPECT_EQ(dialogs.lastDefault, mbNo);
    EXPECT_EQ(dialogs.fileDialogs.size(), c.replace ? 1u : 2u);
    if (!c.replace) {
        EXPECT_EQ(Bytes(victim), before);
        EXPECT_TRUE(w.FileName().isEmpty());
        EXPECT_TRUE(w.Editor().Modified());
        return;
    }
    EXPECT_NE(Bytes(victim), before);
    if (c.exportText) {
        EXPECT_EQ(Bytes(victim), QByteArray::fromStdString(w.Editor().Text()));
    } else {
        EXPECT_EQ(w.FileName(), victim);
        TScript back;
        ASSERT_TRUE(back.LoadFromFile(victim.toStdString())) << back.LastError();
        EXPECT_EQ(back.Lines().Text(), w.Editor().Text());
    }
}

INSTANTIATE_TEST_SUITE_P(SaveAsAndExport, OverwriteQuestion,
                         ::testing::Values(TOverwriteCase{false, false}, TOverwriteCase{false, true},
                                           TOverwriteCase{true, false}, TOverwriteCase{true, true}));

TEST(OverwriteQuestion, ANewFileNameAsksNothing)
{
    QTemporaryDir dir;
    TFakeDialogs dialogs;
    TfmScript w({}, dialogs);
    dialogs.files.push_back(dir.filePath("fresh.tvs"));
    w.acSaveAsExecute();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(w.FileName(), dir.filePath("fresh.tvs"));
}
