// SettingsTest.cpp: the main window's highlighter colours come from the
// settings at start; a broken value is reported and the window still opens;
// the recent files are kept there. Every settings access goes to the
// sandbox's temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "toolkit/Registry.h"
#include "storage/uStorage.h"
#include "highlight/jaVBSSyn.h"
#include "editor/zeCustomEdit.h"
#include "app/uMain.h"
#include "tests/highlight/RegistrySandbox.h"
#include "FakeDialogs.h"

namespace {

class MainWindowSettings : public RegistrySandboxTest {};

} // namespace

TEST_F(MainWindowSettings, HighlighterColoursAreLoadedAtStart)
{
    {
        TjaVbsSyn stored;
        stored.CommentAttri()->SetForeground(0x00008000);
        stored.KeyAttri()->SetIntegerStyle(5);
        ASSERT_TRUE(stored.SaveToRegistry(HKEY_CURRENT_USER, TfmScript::kSettingsKey));
    }
    TFakeDialogs dialogs;
    TfmScript w({}, dialogs);
    EXPECT_EQ(w.Editor().HighLighter(), static_cast<TzeCustomHighLighter *>(&w.Highlighter()));
    EXPECT_EQ(w.Highlighter().CommentAttri()->Foreground(), 0x00008000);
    EXPECT_EQ(w.Highlighter().KeyAttri()->IntegerStyle(), 5);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainWindowSettings, AWrongTypedValueIsShownAndTheWindowStillOpens)
{
    {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(std::string(TfmScript::kSettingsKey) + "\\comment", true));
        registry.WriteString("Background", "blue");
    }
    TFakeDialogs dialogs;
    TfmScript w({}, dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("Background")) << dialogs.messages[0].toStdString();
    EXPECT_EQ(dialogs.types[0], mtError);
    EXPECT_EQ(w.Editor().LineCount(), 3); // the new script is there
}

TEST_F(MainWindowSettings, RecentFilesKeepTheLastEightAndDropAMissingOne)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 10; ++i) {
        TScript script;
        script.Lines().SetText("' script " + std::to_string(i));
        paths << dir.filePath(QStringLiteral("s%1.tvs").arg(i));
        ASSERT_TRUE(script.SaveToFile(paths.last().toStdString()));
    }
    TFakeDialogs dialogs;
    {
        TfmScript w({}, dialogs);
        EXPECT_TRUE(w.RecentFiles().isEmpty());
        EXPECT_FALSE(w.mnRecent->isEnabled());
        for (int i = 0; i < 9; ++i)
            ASSERT_TRUE(w.OpenFile(paths[i]));
        ASSERT_TRUE(w.OpenFile(paths[3])); // again: to the front, once
        EXPECT_EQ(w.RecentFiles(), (QStringList{paths[3], paths[8], paths[7], paths[6], paths[5], paths[4], paths[2],
                                                paths[1]}));
        ASSERT_EQ(w.mnRecent->actions().size(), 8);
        EXPECT_EQ(w.mnRecent->actions()[1]->text(), "&2 " + QDir::toNativeSeparators(paths[8]));
        dialogs.files.push_back(paths[9]);
        dialogs.answers.push_back(mrYes); // s9.tvs already exists: replace it
        w.acSaveAsExecute(); // a save names the file too
        dialogs.messages.clear();
        EXPECT_EQ(w.RecentFiles().first(), paths[9]);
        EXPECT_EQ(w.RecentFiles().size(), 8);
    }
    TfmScript w({}, dialogs); // the list comes back from the settings
    ASSERT_EQ(w.RecentFiles(), (QStringList{paths[9], paths[3], paths[8], paths[7], paths[6], paths[5], paths[4],
                                            paths[2]}));
    {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKeyReadOnly(TfmScript::kRecentKey));
        EXPECT_EQ(registry.ReadString("File2"), paths[3].toStdString());
    }

    // From the menu, with the data-loss question first.
    w.Editor().SetSelText("x");
    dialogs.answers.push_back(mrNo);
    w.mnRecent->actions()[2]->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(w.FileName().isEmpty());
    dialogs.answers.push_back(mrYes);
    w.mnRecent->actions()[2]->trigger();
    EXPECT_EQ(w.FileName(), paths[8]);
    EXPECT_EQ(w.Editor().Lines().Text(), "' script 8\r\n");
    EXPECT_EQ(w.RecentFiles().first(), paths[8]);

    // A file gone: a message, off the list (in the settings too), nothing opened.
    ASSERT_TRUE(QFile::remove(paths[6]));
    const int gone = int(w.RecentFiles().indexOf(paths[6]));
    dialogs.messages.clear();
    w.OpenRecentFile(gone);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0],
              "\"" + QDir::toNativeSeparators(paths[6]) + "\" no longer exists and was removed from the recent files.");
    EXPECT_EQ(w.FileName(), paths[8]);
    EXPECT_EQ(w.RecentFiles().size(), 7);
    EXPECT_FALSE(w.RecentFiles().contains(paths[6]));
    TfmScript again({}, dialogs);
    EXPECT_EQ(again.RecentFiles(), w.RecentFiles());
    EXPECT_EQ(again.mnRecent->actions().size(), 7);
}

TEST_F(MainWindowSettings, LineNumbersAreOffUntilTurnedOnAndThenRemembered)
{
    TFakeDialogs dialogs;
    int narrow = 0;
    {
        TfmScript w({}, dialogs);
        EXPECT_FALSE(w.acLineNumbers->isChecked());
        EXPECT_FALSE(w.Editor().Gutter().ShowLineNumbers());
        narrow = w.Editor().GutterWidth();
        w.acLineNumbers->trigger();
        EXPECT_TRUE(w.Editor().Gutter().ShowLineNumbers());
    }
    TfmScript again({}, dialogs);
    EXPECT_TRUE(again.acLineNumbers->isChecked());
    EXPECT_TRUE(again.Editor().Gutter().ShowLineNumbers());
    EXPECT_NE(again.Editor().GutterWidth(), narrow);
    again.acLineNumbers->trigger();
    TfmScript third({}, dialogs);
    EXPECT_FALSE(third.Editor().Gutter().ShowLineNumbers());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
