// FirstDayTest.cpp: what a new user met on the first day: entries of other
// programs kept by Save as, Tab order, undo in the menus, the save point, the
// cut character after a sideways scroll, windows that fit the screen, the file
// dialogs' folder, mnemonics and the status panels.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "compoundfile/CompoundFile.h"
#include "storage/uStorage.h"
#include "editor/zeCustomEdit.h"
#include "app/ScreenFit.h"
#include "app/uFind.h"
#include "app/uGoToLine.h"
#include "app/uMain.h"
#include "app/uOptions.h"
#include "app/uProperties.h"
#include "tests/highlight/RegistrySandbox.h"
#include "FakeDialogs.h"

namespace {

// What an independent reader lists of a file, less the seven streams of a
// script (their sizes change with the text).
std::multiset<std::string> OlefileListingOfOtherEntries(const QString &path)
{
    const std::string command = "/usr/bin/python3 '" QUENLO_SOURCE_DIR "/tests/compoundfile/olefile_dump.py' '" +
                                path.toStdString() + "'";
    std::multiset<std::string> lines;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return lines;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        std::string line(buffer);
        const std::string name = line.substr(line.find('\t') + 1, line.find('\t', line.find('\t') + 1) - line.find('\t') - 1);
        static const std::set<std::string> seven = {"Name", "Menu", "ID", "Hint", "Main", "Script", "Icon"};
        if (!seven.count(name))
            lines.insert(line);
    }
    EXPECT_EQ(::pclose(pipe), 0) << "olefile refused " << path.toStdString();
    return lines;
}

// The focus chain of a shown dialog as Tab walks it, from its top-left stop.
std::vector<QWidget *> TabWalk(QDialog &dialog)
{
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    if (!QApplication::focusWidget() || QApplication::focusWidget()->window() != &dialog) {
        QWidget *w = dialog.nextInFocusChain();
        while (w != &dialog && !((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()))
            w = w->nextInFocusChain();
        w->setFocus();
    }
    std::vector<QWidget *> walk;
    for (int i = 0; i < 50; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus || (!walk.empty() && focus == walk.front()))
            break;
        walk.push_back(focus);
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    const auto place = [&dialog](QWidget *w) { return QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size()); };
    const auto first = std::min_element(walk.begin(), walk.end(), [&](QWidget *a, QWidget *b) {
        const QRect ra = place(a), rb = place(b);
        return std::pair(ra.top(), ra.left()) < std::pair(rb.top(), rb.left());
    });
    std::rotate(walk.begin(), first, walk.end());
    return walk;
}

// Reading order: each stop lies below the one before or in a column to its right.
void ExpectReadingOrder(QDialog &dialog, const char *name)
{
    const std::vector<QWidget *> walk = TabWalk(dialog);
    EXPECT_GE(walk.size(), 3u) << name;
    const auto place = [&dialog](QWidget *w) { return QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size()); };
    for (size_t i = 1; i < walk.size(); ++i) {
        const QRect a = place(walk[i - 1]), b = place(walk[i]);
        EXPECT_TRUE(b.top() > a.bottom() || b.left() > a.right() ||
                    (b.top() >= a.top() && b.left() >= a.left() && b != a))
            << name << ": Tab goes from " << walk[i - 1]->metaObject()->className() << " at (" << a.x() << ","
            << a.y() << ") to " << walk[i]->metaObject()->className() << " at (" << b.x() << "," << b.y() << ")";
    }
    dialog.hide();
}

class FirstDay : public RegistrySandboxTest {
protected:
    void SetUp() override
    {
        RegistrySandboxTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
    TFakeDialogs dialogs;
};

} // namespace

TEST_F(FirstDay, SaveAsWritesTheOtherEntriesOfTheFileTheDocumentCameFrom)
{
    cfb::CompoundFile file;
    file.Root().clsid[0] = 0x42;
    file.Root().CreateStream(u"Tavrix.Extra")->Write(0, "keep me", 7);
    cfb::Storage *sub = file.Root().CreateStorage(u"Resources");
    sub->clsid[3] = 7;
    sub->CreateStream(u"Bitmap")->Write(0, std::string(5000, 'b').data(), 5000);
    sub->CreateStorage(u"Nested")->CreateStream(u"Deep")->Write(0, "d", 1);
    file.Root().CreateStream(u"Script")->Write(0, "Sub Main\r\nEnd Sub\r\n", 19);
    file.Root().CreateStream(u"Icon");
    const QString original = dir.filePath("original.tvs");
    {
        const auto image = file.Serialize();
        QFile out(original);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(reinterpret_cast<const char *>(image.data()), qint64(image.size()));
    }

    TfmScript w({original}, dialogs);
    QTest::keyClicks(&w.Editor(), "x");
    // Save as twice: to a new file, then from that one to another.
    for (const char *name : {"copy.tvs", "copy of copy.tvs"}) {
        const QString copy = dir.filePath(QString::fromLatin1(name));
        dialogs.files.push_back(copy);
        w.acSaveAs->trigger();
        ASSERT_EQ(w.FileName(), copy);

        cfb::CompoundFile back;
        std::string reason;
        ASSERT_TRUE(back.Load(copy.toStdString(), reason)) << reason;
        for (const std::u16string own : {u"Name", u"Menu", u"ID", u"Hint", u"Main", u"Script", u"Icon"})
            back.Root().Remove(own);
        cfb::CompoundFile expected;
        ASSERT_TRUE(expected.Load(original.toStdString(), reason)) << reason;
        expected.Root().Remove(u"Script");
        expected.Root().Remove(u"Icon");
        EXPECT_TRUE(cfb::SameTree(back.Root(), expected.Root())) << name;
        EXPECT_EQ(OlefileListingOfOtherEntries(copy), OlefileListingOfOtherEntries(original)) << name;
    }
    // New forgets them: a new script has no entries of another file.
    dialogs.answers = {mrYes};
    w.acNewExecute();
    EXPECT_FALSE(w.Script().HasOtherEntries());
}

TEST_F(FirstDay, TabFollowsTheReadingOrderInEveryDialog)
{
    TfmScript w({}, dialogs);
    w.show();
    {
        TfmFind replace(QStringLiteral("old"), false, true, &w);
        ExpectReadingOrder(replace, "Replace");
        // Type the search, Tab, type the replacement: it lands in "Replace with".
        replace.show();
        replace.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&replace));
        replace.edFind->setFocus();
        QTest::keyClick(replace.edFind, Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "new");
        EXPECT_EQ(replace.edReplace->text(), "new");
        replace.hide();
    }
    TfmFind find(QStringLiteral("x"), true, false, &w);
    ExpectReadingOrder(find, "Find");
    TfmGoToLine goTo(10, 1, &w);
    ExpectReadingOrder(goTo, "Go to line");
    TfmProperties properties(w.Editor(), dialogs, &w);
    properties.LoadFromScript(w.Script());
    ExpectReadingOrder(properties, "Properties");
    TfmOptions options(&dialogs, &w);
    ExpectReadingOrder(options, "Options");
}

TEST_F(FirstDay, UndoRedoSelectAllAndDeleteLineAreInTheMenusAndFollowTheEditor)
{
    TfmScript w({}, dialogs);
    const QList<QAction *> edit = w.menuBar()->actions().at(1)->menu()->actions();
    for (QAction *a : {w.acUndo, w.acRedo, w.acSelectAll, w.acDeleteLine})
        EXPECT_TRUE(edit.contains(a)) << a->text().toStdString();
    EXPECT_EQ(w.acUndo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(w.acRedo->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(w.acDeleteLine->text(), "Delete &line");
    EXPECT_EQ(w.acDeleteLine->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    const QList<QAction *> popup = w.Editor().PopupMenu()->actions();
    for (QAction *a : {w.acUndo, w.acRedo, w.acSelectAll, w.acCut, w.acCopy, w.acPaste})
        EXPECT_TRUE(popup.contains(a)) << a->text().toStdString();

    w.show();
    w.Editor().setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.UpdateActionStates();
    EXPECT_FALSE(w.acUndo->isEnabled());
    EXPECT_FALSE(w.acRedo->isEnabled());
    QTest::keyClicks(&w.Editor(), "ab");
    w.UpdateActionStates();
    EXPECT_TRUE(w.acUndo->isEnabled());
    w.acUndo->trigger();
    EXPECT_EQ(std::string(w.Editor().Lines()[1]), " a"); // typed at column 2
    w.UpdateActionStates();
    EXPECT_TRUE(w.acRedo->isEnabled());
    w.acRedo->trigger();
    EXPECT_EQ(std::string(w.Editor().Lines()[1]), " ab");
    w.acSelectAll->trigger();
    EXPECT_EQ(w.Editor().BlockBegin(), (TPoint{1, 1}));
    EXPECT_EQ(w.Editor().BlockEnd(), (TPoint{8, 3}));
    // The keys reach the same commands through the actions.
    QTest::keyClick(&w.Editor(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(w.Editor().LineCount(), 2);
    QTest::keyClick(&w.Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.Editor().LineCount(), 3);
}

TEST_F(FirstDay, UndoingBackToTheSavedTextClearsModified)
{
    TScript script;
    script.Lines().SetText("Sub Main\r\nEnd Sub");
    const QString path = dir.filePath("demo.tvs");
    ASSERT_TRUE(script.SaveToFile(path.toStdString()));
    TfmScript w({path}, dialogs);
    w.show();
    w.Editor().setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const auto key = [&w](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(&w.Editor(), k, m);
        w.UpdateActionStates();
    };
    QTest::keyClicks(&w.Editor(), "xy");
    w.UpdateActionStates();
    EXPECT_TRUE(w.Editor().Modified());
    EXPECT_EQ(w.StatusPanel(3).text(), "Modified");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(w.Editor().Modified());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(w.Editor().Modified());
    EXPECT_FALSE(w.acSave->isEnabled());
    EXPECT_EQ(w.StatusPanel(3).text(), "");
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(w.Editor().Modified());
    // A save moves the save point: undoing past it is a change again.
    w.acSave->trigger();
    EXPECT_FALSE(w.Editor().Modified());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(w.Editor().Modified());
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(w.Editor().Modified());
    // Back at the save point, New asks nothing.
    w.acNewExecute();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // The insert mode in its panel.
    EXPECT_EQ(w.StatusPanel(2).text(), "INS");
    key(Qt::Key_Insert);
    EXPECT_EQ(w.StatusPanel(2).text(), "OVR");
}

TEST_F(FirstDay, TheFirstVisibleCellIsWholeAfterASidewaysScrollAtEveryScale)
{
    // A long line scrolled sideways by one to twelve columns: between the
    // gutter and the first whole cell only the background shows, at 100 % and
    // 200 %, whichever character stands left of the view (some reach the
    // right edge of their cell).
    TzeCustomEdit editor;
    editor.resize(300, 120);
    std::string line;
    while (line.size() < 200)
        line += "bcdlmw_=#W";
    editor.Document().PutLine(0, line);
    for (int leftChar = 2; leftChar <= 13; ++leftChar) {
        editor.SetLeftChar(leftChar);
        const TzeViewMetrics m = editor.ViewMetrics();
        ASSERT_EQ(m.LeftChar, leftChar);
        for (const int scale : {1, 2}) {
            QImage image(editor.viewport()->size() * scale, QImage::Format_RGB32);
            image.setDevicePixelRatio(scale);
            image.fill(Qt::magenta);
            {
                QPainter painter(&image);
                editor.Paint(painter, editor.viewport()->rect());
            }
            const QRgb background = image.pixel((m.GutterWidth + kGutterGap + 200) * scale - 1, 100 * scale);
            for (int x = m.GutterWidth * scale; x < (m.GutterWidth + kGutterGap) * scale; ++x)
                for (int y = 0; y < m.LineHeight * scale; ++y)
                    ASSERT_EQ(image.pixel(x, y), background)
                        << "LeftChar " << leftChar << ", scale " << scale << ", at " << x << "," << y;
        }
    }
}

TEST(ScreenFit, WantedBoundsStayWhereTheyFitAndAreClampedElsewhere)
{
    const QRect screen(0, 0, 640, 450);
    struct Row {
        QRect wanted, fitted;
    } rows[] = {
        {{224, 119, 300, 200}, {224, 119, 300, 200}}, // fits: unchanged
        {{224, 119, 724, 525}, {0, 0, 640, 450}},     // the 200 % case
        {{500, 300, 300, 200}, {340, 250, 300, 200}}, // moved inside, not shrunk
        {{-50, -20, 100, 100}, {0, 0, 100, 100}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(FitToArea(row.wanted, screen), row.fitted);
    EXPECT_EQ(FitToArea(QRect(10, 20, 30, 40), QRect(100, 100, 640, 450)), QRect(100, 100, 30, 40));
}

TEST_F(FirstDay, TheWindowAndEveryDialogFitTheScreen)
{
    // Also run on a small screen at 200 % (1280 x 900 pixels), see CMakeLists.txt.
    TfmScript w({}, dialogs);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QRect available = w.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(w.frameGeometry())) << w.frameGeometry().width() << "x" << w.frameGeometry().height()
                                                       << " on " << available.width() << "x" << available.height();
    if (available.contains(QRect(224, 119, 724 + 40, 525 + 60))) {
        EXPECT_EQ(w.geometry(), QRect(224, 119, 724, 525)); // the described bounds where they fit
    }
    TfmProperties properties(w.Editor(), dialogs, &w);
    TfmOptions options(&dialogs, &w);
    TfmFind replace(QStringLiteral("x"), true, true, &w);
    TfmGoToLine goTo(1000, 1, &w);
    for (QDialog *dialog : std::initializer_list<QDialog *>{&properties, &options, &replace, &goTo}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        EXPECT_TRUE(available.contains(dialog->frameGeometry()))
            << dialog->windowTitle().toStdString() << " " << dialog->frameGeometry().width() << "x"
            << dialog->frameGeometry().height();
        dialog->hide();
    }
}

TEST_F(FirstDay, FileDialogsStartInAWritableFolderThenTheLastOneUsed)
{
    {
        TfmScript w({}, dialogs);
        w.acOpenExecute(); // cancelled
        ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
        EXPECT_TRUE(QFileInfo(dialogs.fileDialogs[0].initialDir).isWritable());
        const QString saved = dir.filePath("first.tvs");
        dialogs.files.push_back(saved);
        w.acSaveAsExecute();
        ASSERT_EQ(w.FileName(), saved);
        w.acExportTextExecute(); // cancelled, but it proposed a name
        EXPECT_EQ(dialogs.fileDialogs.back().initialDir, dir.path());
        EXPECT_EQ(dialogs.fileDialogs.back().fileName, "first.vbs");
    }
    // The next start remembers the folder.
    TfmScript again({}, dialogs);
    again.acOpenExecute();
    EXPECT_EQ(dialogs.fileDialogs.back().initialDir, dir.path());
}

TEST_F(FirstDay, EveryMenuHasUniqueMnemonics)
{
    TfmScript w({}, dialogs);
    std::vector<QMenu *> menus;
    for (QAction *top : w.menuBar()->actions())
        if (top->menu())
            menus.push_back(top->menu());
    menus.push_back(w.Editor().PopupMenu());
    std::map<QChar, QString> bar;
    for (QAction *top : w.menuBar()->actions()) {
        const qsizetype amp = top->text().indexOf('&');
        if (amp >= 0) {
            EXPECT_TRUE(bar.emplace(top->text().at(amp + 1).toLower(), top->text()).second) << top->text().toStdString();
        }
    }
    for (size_t i = 0; i < menus.size(); ++i) {
        std::map<QChar, QString> seen;
        for (QAction *a : menus[i]->actions()) {
            if (a->menu())
                menus.push_back(a->menu());
            const qsizetype amp = a->text().indexOf('&');
            if (a->isSeparator() || amp < 0 || amp + 1 >= a->text().size())
                continue;
            const QChar key = a->text().at(amp + 1).toLower();
            EXPECT_TRUE(seen.emplace(key, a->text()).second)
                << menus[i]->title().toStdString() << ": " << a->text().toStdString() << " and "
                << seen[key].toStdString();
        }
    }
    EXPECT_EQ(w.acExit->text(), "E&xit"); // the described captions keep theirs
}
