// HelpTest.cpp: the Help menu's dialogs and the command line of quenlo.
#include <gtest/gtest.h>

#include <fstream>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "QuenloVersion.h"
#include "toolkit/VirtualKeys.h"
#include "editor/zeCustomEdit.h"
#include "app/CommandLine.h"
#include "app/uAbout.h"
#include "app/uMain.h"
#include "app/uShortcuts.h"
#include "FakeDialogs.h"

namespace {

struct TRow {
    QString keys, command, where;
};

// The rows of the dialog that Help > Keyboard shortcuts shows; saves its picture when shot is given.
std::vector<TRow> ShortcutRows(TfmScript &w, const char *shot = nullptr)
{
    std::vector<TRow> rows;
    w.RunHelpDialog = [&](QDialog &dialog) {
        auto &shortcuts = dynamic_cast<TfmShortcuts &>(dialog);
        for (int i = 0; i < shortcuts.lvShortcuts->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = shortcuts.lvShortcuts->topLevelItem(i);
            rows.push_back({item->text(TfmShortcuts::colKeys), item->text(TfmShortcuts::colCommand),
                            item->text(TfmShortcuts::colWhere)});
        }
        if (shot) {
            dialog.show();
            EXPECT_TRUE(dialog.grab().save(QString::fromUtf8(QUENLO_SOURCE_DIR "/build/") + QLatin1String(shot)));
        }
        return int(QDialog::Accepted);
    };
    w.acShortcuts->trigger();
    return rows;
}

} // namespace

// Every binding of the key table is a row whose keys read back as that key
// with those modifiers, and whose command names the bound command.
TEST(HelpShortcuts, EveryBindingOfTheKeyTableAndEveryWindowShortcutIsListed)
{
    TFakeDialogs dialogs;
    TfmScript w({}, dialogs);
    const QMenu *help = w.menuBar()->actions().last()->menu();
    ASSERT_EQ(help->title(), "&Help");
    EXPECT_EQ(help->actions().first(), w.acShortcuts);
    EXPECT_EQ(help->actions().last(), w.acAbout);
    EXPECT_EQ(w.acAbout->text(), "&About Quenlo");

    // One binding more than the default table: the list is read when it opens.
    TzeKeyStroke &added = w.Editor().Keystrokes().Add();
    added.SetKey(0x74); // F5
    added.SetShift(ssAlt);
    added.SetCommand(ecDeleteEOL);
    const std::vector<TRow> rows = ShortcutRows(w, "help-shortcuts.png");
    const TzeKeyStrokes &keys = w.Editor().Keystrokes();
    std::vector<TRow> editorRows;
    for (const TRow &row : rows)
        if (row.where == "Editor")
            editorRows.push_back(row);
    ASSERT_EQ(int(editorRows.size()), keys.Count());
    for (int i = 0; i < keys.Count(); ++i) {
        const TzeKeyStroke &binding = keys.Items(i);
        const TRow &row = editorRows[size_t(i)];
        SCOPED_TRACE(row.keys.toStdString() + " " + row.command.toStdString());
        const QKeySequence read = QKeySequence::fromString(row.keys, QKeySequence::NativeText);
        ASSERT_EQ(read.count(), 1);
        EXPECT_EQ(VirtualKeyFromQt(read[0].key()), binding.Key());
        EXPECT_EQ(ShiftStateFromQt(read[0].keyboardModifiers()), binding.Shift());
        EXPECT_EQ(row.command, CommandCaption(binding.Command()));
    }
    EXPECT_EQ(editorRows.back().command, "Delete to line end");
    EXPECT_EQ(CommandCaption(ecSelWordLeft), "Select word left");
    EXPECT_EQ(CommandCaption(ecGotoMarker0 + 3), "Go to bookmark 3");

    int windowShortcuts = 0;
    for (const QAction *action : w.actions())
        for (const QKeySequence &shortcut : action->shortcuts()) {
            ++windowShortcuts;
            const QString keysText = shortcut.toString(QKeySequence::NativeText);
            EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const TRow &row) {
                return row.keys == keysText && action->text().remove('&').startsWith(row.command);
            })) << keysText.toStdString();
        }
    EXPECT_EQ(int(rows.size()), windowShortcuts + keys.Count());
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const TRow &row) {
        return row.keys == "Ctrl+O" && row.command == "Open" && row.where == "File menu";
    }));
}

TEST(HelpShortcuts, SearchKeepsTheRowsHoldingEveryWord)
{
    TzeKeyStrokes keys(nullptr);
    keys.LoadDefaults();
    TfmShortcuts dialog(keys, {});
    const int all = dialog.VisibleCount();
    EXPECT_EQ(all, keys.Count());
    dialog.edSearch->setText(" WORD  ctrl+shift ");
    EXPECT_EQ(dialog.VisibleCount(), 2); // select word left and right
    for (int i = 0; i < dialog.lvShortcuts->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = dialog.lvShortcuts->topLevelItem(i);
        if (!row->isHidden()) {
            EXPECT_TRUE(row->text(0).startsWith("Ctrl+Shift+") && row->text(1).startsWith("Select word"));
        }
    }
    dialog.edSearch->setText("bookmark");
    EXPECT_EQ(dialog.VisibleCount(), 20);
    dialog.edSearch->clear();
    EXPECT_EQ(dialog.VisibleCount(), all);
}

TEST(HelpAbout, ShowsTheVersionsAndTheLicence)
{
    TFakeDialogs dialogs;
    TfmScript w({}, dialogs);
    QString text;
    w.RunHelpDialog = [&](QDialog &dialog) {
        auto &about = dynamic_cast<TfmAbout &>(dialog);
        text = about.lbText->text();
        EXPECT_FALSE(about.lbIcon->pixmap().isNull());
        dialog.show();
        EXPECT_TRUE(dialog.grab().save(QString::fromUtf8(QUENLO_SOURCE_DIR "/build/help-about.png")));
        return int(QDialog::Accepted);
    };
    w.acAbout->trigger();
    EXPECT_NE(text.indexOf(QStringLiteral("Quenlo %1").arg(kQuenloVersion)), -1) << text.toStdString();
    EXPECT_NE(text.indexOf(QStringLiteral("Qt %1").arg(qVersion())), -1);
    EXPECT_NE(text.indexOf(QStringLiteral("%1 licence").arg(kQuenloLicense)), -1);
    // The built-in sizes stand in for the theme's icon.
    EXPECT_GE(ApplicationIcon().availableSizes().size(), 8);
    EXPECT_TRUE(ApplicationIcon().name().isEmpty());
    EXPECT_FALSE(w.windowIcon().isNull());

    // An icon theme that has it wins.
    QTemporaryDir themes;
    const QString id = QLatin1String(kQuenloAppId);
    ASSERT_TRUE(QDir(themes.path()).mkpath("hicolor/48x48/apps"));
    ASSERT_TRUE(QFile::copy(":/icons/48x48/apps/" + id + ".png", themes.filePath("hicolor/48x48/apps/" + id + ".png")));
    QFile index(themes.filePath("hicolor/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n[48x48/apps]\nSize=48\n");
    index.close();
    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName("hicolor");
    EXPECT_EQ(ApplicationIcon().name(), id);
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(themeName);
}

TEST(CommandLine, HelpAndVersionWinAndOneFileAtMost)
{
    struct Case {
        QStringList arguments;
        TCommandAction action;
        QString file;
    };
    const Case cases[] = {
        {{}, caRun, {}},
        {{"demo.tvs"}, caRun, "demo.tvs"},
        {{"--", "-odd.vbs"}, caRun, "-odd.vbs"},
        {{"--version"}, caVersion, {}},
        {{"-platform", "offscreen", "-v"}, caVersion, {}}, // before Qt took its options
        {{"--version", "--help"}, caHelp, {}},
        {{"a.tvs", "-h", "b.tvs"}, caHelp, {}},
        {{"--", "--help"}, caRun, "--help"},
        {{"--bogus"}, caBadUsage, {}},
        {{"a.tvs", "b.tvs"}, caBadUsage, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const TCommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.file, c.file);
        EXPECT_EQ(parsed.error.isEmpty(), c.action != caBadUsage);
    }
    EXPECT_EQ(VersionText(), QStringLiteral("quenlo %1\n").arg(kQuenloVersion));
    EXPECT_TRUE(CommandLineHelp().startsWith("usage: quenlo [FILE]\n"));
}

// A .vbs named on the command line opens as File > Open opens one.
TEST(CommandLine, PlainScriptArgumentOpensAsANewScript)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plain.vbs");
    std::ofstream(path.toStdString(), std::ios::binary) << "Sub A\r\nEnd Sub\r\n";
    TFakeDialogs dialogs;
    TfmScript w({path}, dialogs);
    EXPECT_EQ(w.windowTitle(), "Tavrix Script Editor - new script from plain.vbs");
    EXPECT_EQ(w.Editor().LineCount(), 2);
    EXPECT_TRUE(w.FileName().isEmpty());
    EXPECT_TRUE(w.Editor().Modified());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
