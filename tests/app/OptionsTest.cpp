// OptionsTest.cpp: the options dialog's element list and controls, the main
// window's Options action with OK and Cancel, and settings edited by hand.
// Every settings access goes to the sandbox's temporary folder.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPaintEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include "toolkit/Registry.h"
#include "highlight/jaVBSSyn.h"
#include "widgets/ColorPickerButton.h"
#include "editor/zeCustomEdit.h"
#include "app/uMain.h"
#include "app/uOptions.h"
#include "tests/highlight/RegistrySandbox.h"
#include "FakeDialogs.h"

namespace {

const QStringList kElements = {"comment", "identifier", "number", "reserved word", "space", "string", "symbol"};

using TValues = std::tuple<TColor, TColor, int>; // foreground, background, style bits

TValues Values(const TzeHighLightAttributes &attribute)
{
    return {attribute.Foreground(), attribute.Background(), attribute.IntegerStyle()};
}

std::vector<TValues> AllValues(const TzeCustomHighLighter &highlighter)
{
    std::vector<TValues> values;
    for (int i = 0; i < highlighter.AttrCount(); ++i)
        values.push_back(Values(*highlighter.Attribute(i)));
    return values;
}

// What the controls show: the two colours and the style boxes as bits.
TValues Shown(const TfmOptions &d)
{
    const int style = (d.cbBold->isChecked() ? 1 : 0) | (d.cbItalic->isChecked() ? 2 : 0) |
                      (d.cbUnderline->isChecked() ? 4 : 0) | (d.cbStrikeout->isChecked() ? 8 : 0);
    return {d.ccbForeground->SelectionColor(), d.ccbBackground->SelectionColor(), style};
}

void Select(TfmOptions &d, const char *element)
{
    const int index = d.cbElements->findText(QString::fromLatin1(element));
    ASSERT_GE(index, 0) << element;
    d.cbElements->setCurrentIndex(index);
}

// Chooses a named colour in the button's palette, as a click on its cell does.
void ChooseInPalette(TColorPickerButton &button, TColor color)
{
    int item = 0;
    while (item < kNamedColorCount && kColorTable[size_t(item)].value != color)
        ++item;
    ASSERT_LT(item, kNamedColorCount);
    button.SetDroppedDown(true);
    ASSERT_TRUE(button.Popup().isVisible());
    button.Popup().SetSelected(item);
    button.Popup().CloseWithChoice();
    EXPECT_FALSE(button.DroppedDown());
}

QString SettingsFile()
{
    TBetterRegistry registry(HKEY_CURRENT_USER);
    EXPECT_TRUE(registry.OpenKey(TfmScript::kSettingsKey, true));
    return registry.StorageFileName();
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sets "name=raw" in the [section] of the settings file, as a text editor would.
void EditByHand(const QString &section, const QString &name, const QString &raw)
{
    const QString path = SettingsFile();
    QString text = QString::fromUtf8(ReadFile(path));
    const QRegularExpression line(QStringLiteral("(\\[%1\\][^\\[]*\\n%2=)[^\\n]*").arg(section, name));
    ASSERT_TRUE(line.match(text).hasMatch()) << text.toStdString();
    text.replace(line, QStringLiteral("\\1") + raw);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// Counts the paints of a widget that cover all of it.
class TWholePaints : public QObject {
public:
    explicit TWholePaints(QWidget *widget) : m_widget(widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint &&
            static_cast<QPaintEvent *>(event)->rect().contains(m_widget->rect()))
            ++count;
        return false;
    }

private:
    QWidget *m_widget;
};

class Options : public RegistrySandboxTest {
protected:
    TFakeDialogs dialogs;
};

} // namespace

TEST_F(Options, OpensOnCommentAndShowsEachElementsOwnValues)
{
    TfmOptions d(&dialogs);
    EXPECT_EQ(d.windowTitle(), "Options");
    EXPECT_EQ(d.pcOptions->tabText(0), "Editor");
    QStringList names;
    for (int i = 0; i < d.cbElements->count(); ++i)
        names << d.cbElements->itemText(i);
    EXPECT_EQ(names, kElements);
    for (TColorPickerButton *picker : {d.ccbForeground, d.ccbBackground}) {
        EXPECT_EQ(picker->PopupSpacing(), 8);
        EXPECT_FALSE(picker->ShowSystemColors());
        EXPECT_EQ(picker->size(), QSize(45, 22));
    }
    // Nothing stored: the defaults, comment italic, all in the window's colours.
    EXPECT_EQ(d.cbElements->currentText(), "comment");
    EXPECT_EQ(Shown(d), (TValues{clWindowText, clWindow, 2}));
    Select(d, "reserved word");
    EXPECT_EQ(Shown(d), (TValues{clWindowText, clWindow, 1}));

    // A colour chosen for "string" lives in the private highlighter only.
    const std::vector<TValues> before = AllValues(d.Highlighter());
    Select(d, "string");
    d.show();
    ChooseInPalette(*d.ccbForeground, clRed);
    EXPECT_EQ(Values(*d.Highlighter().StringAttri()), (TValues{clRed, clWindow, 0}));
    Select(d, "number");
    EXPECT_EQ(Shown(d), (TValues{clWindowText, clWindow, 0}));
    EXPECT_EQ(Values(*d.Highlighter().NumberAttri()), before[2]);
    Select(d, "string");
    EXPECT_EQ(Shown(d), (TValues{clRed, clWindow, 0}));
    d.cbStrikeout->setChecked(true);
    EXPECT_EQ(d.Highlighter().StringAttri()->IntegerStyle(), 8);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Options, SwitchingTheElementNeverChangesAnyElement)
{
    TfmOptions d(&dialogs);
    // Every element different in every field, system colours among them.
    const TColor colours[] = {clRed, clWindow, 0x123456, clWindowText, clBlack, clWhite, clBtnFace, clNavy};
    std::vector<TValues> expected;
    for (int i = 0; i < d.Highlighter().AttrCount(); ++i) {
        TzeHighLightAttributes values(d.Highlighter().Attribute(i)->Name());
        values.SetForeground(colours[i]);
        values.SetBackground(colours[(i + 3) % 8]);
        values.SetIntegerStyle((i * 5) % 16);
        d.Highlighter().Attribute(i)->Assign(values);
        expected.push_back(Values(values));
    }
    d.cbElementsChange(); // the controls show "comment" as it is now
    std::mt19937 random(16);
    for (int step = 0; step < 200; ++step) {
        const int index = int(random() % 7);
        d.cbElements->setCurrentIndex(index);
        ASSERT_EQ(Shown(d), expected[size_t(index)]) << "step " << step;
        ASSERT_EQ(AllValues(d.Highlighter()), expected) << "step " << step;
    }
}

TEST_F(Options, CancelChangesNothingAndOkStoresEveryElementAndRepaints)
{
    {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(std::string(TfmScript::kSettingsKey) + "\\comment", true));
        registry.WriteInteger("Foreground", clGreen); // only this is stored
    }
    TfmScript w({}, dialogs);
    QMenu *tools = nullptr;
    for (QAction *menu : w.menuBar()->actions())
        if (menu->text() == "&Tools")
            tools = menu->menu();
    ASSERT_TRUE(tools);
    ASSERT_EQ(tools->actions().size(), 3);
    EXPECT_TRUE(tools->actions()[1]->isSeparator());
    EXPECT_EQ(tools->actions()[2], w.acOptions);
    EXPECT_EQ(w.acOptions->text(), "Options");

    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    TWholePaints paints(w.Editor().viewport());
    const QByteArray stored = ReadFile(SettingsFile());
    const std::vector<TValues> shown = AllValues(w.Highlighter());
    EXPECT_EQ(std::get<0>(shown[0]), clGreen);

    w.RunOptionsDialog = [](TfmOptions &d) {
        Select(d, "string");
        d.ccbForeground->SetSelectionColor(clRed);
        d.cbBold->setChecked(true);
        return int(QDialog::Rejected);
    };
    w.acOptionsExecute();
    QTest::qWait(50);
    EXPECT_EQ(ReadFile(SettingsFile()), stored);
    EXPECT_EQ(AllValues(w.Highlighter()), shown);
    EXPECT_EQ(paints.count, 0);

    // Reopened: the stored colours again. OK without a change writes all seven.
    w.RunOptionsDialog = [](TfmOptions &d) {
        EXPECT_EQ(Shown(d), (TValues{clGreen, clWindow, 2}));
        return int(QDialog::Accepted);
    };
    w.acOptionsExecute();
    TjaVbsSyn reloaded;
    reloaded.CommentAttri()->SetForeground(clBlack);
    TBetterRegistry registry(HKEY_CURRENT_USER);
    for (const QString &name : kElements) {
        ASSERT_TRUE(registry.OpenKeyReadOnly(std::string("\\") + TfmScript::kSettingsKey + "\\" + name.toStdString()));
        EXPECT_TRUE(registry.ValueExists("Background") && registry.ValueExists("Foreground") &&
                    registry.ValueExists("Style")) << name.toStdString();
    }
    ASSERT_TRUE(reloaded.LoadFromRegistry(HKEY_CURRENT_USER, TfmScript::kSettingsKey));
    EXPECT_EQ(AllValues(reloaded), shown);

    // OK with changes: stored, in the window's highlighter, and the editor repainted whole.
    paints.count = 0;
    w.RunOptionsDialog = [](TfmOptions &d) {
        Select(d, "string");
        d.ccbForeground->SetSelectionColor(clRed);
        d.ccbBackground->SetSelectionColor(clYellow);
        d.cbBold->setChecked(true);
        return int(QDialog::Accepted);
    };
    w.acOptionsExecute();
    EXPECT_EQ(Values(*w.Highlighter().StringAttri()), (TValues{clRed, clYellow, 1}));
    EXPECT_EQ(w.Highlighter().StringAttri()->Name(), "string");
    ASSERT_TRUE(reloaded.LoadFromRegistry(HKEY_CURRENT_USER, TfmScript::kSettingsKey));
    EXPECT_EQ(AllValues(reloaded), AllValues(w.Highlighter()));
    for (int i = 0; i < 50 && paints.count == 0; ++i)
        QTest::qWait(10);
    EXPECT_GE(paints.count, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();

    // Settings that cannot be written: the user is told, the editor still gets the colours.
    const QString sandbox = TRegistry::StorageOverride();
    QFile blocker(RegistrySandboxDir() + QStringLiteral("/not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TRegistry::SetStorageOverride(blocker.fileName() + QStringLiteral("/override"));
    w.RunOptionsDialog = [](TfmOptions &d) {
        d.ccbBackground->SetSelectionColor(clAqua); // "comment"
        return int(QDialog::Accepted);
    };
    w.acOptionsExecute();
    TRegistry::SetStorageOverride(sandbox);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("Failed to set data")) << dialogs.messages[0].toStdString();
    EXPECT_EQ(dialogs.types[0], mtError);
    EXPECT_EQ(w.Highlighter().CommentAttri()->Background(), clAqua);
}

TEST_F(Options, SettingsBrokenByHandAreReportedAndNeverCrash)
{
    struct Case {
        const char *section, *name, *raw;
        bool wrongType;
    };
    const Case cases[] = {
        {"number", "Foreground", "blue", true},
        {"number", "Background", "dword:12345", true},      // too few digits
        {"number", "Style", "dword:1, 2", true},            // read back as a list
        {"number", "Foreground", "", true},
        {"number", "Foreground", "dword:7FFFFFFF", false},  // neither plain nor system colour
        {"number", "Background", "dword:800000FF", false},  // no such system colour
        {"number", "Foreground", "dword:1FFFFFFF", false},  // the palette's "no colour"
        {"number", "Style", "dword:FFFFFFFF", false},       // every style bit
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.name + "=" + c.raw);
        {
            TjaVbsSyn stored; // every element green on a yellow ground
            for (int i = 0; i < stored.AttrCount(); ++i) {
                stored.Attribute(i)->SetForeground(clGreen);
                stored.Attribute(i)->SetBackground(clYellow);
            }
            ASSERT_TRUE(stored.SaveToRegistry(HKEY_CURRENT_USER, TfmScript::kSettingsKey));
        }
        EditByHand(QString::fromLatin1(c.section), QString::fromLatin1(c.name), QString::fromLatin1(c.raw));
        dialogs.messages.clear();
        dialogs.types.clear();
        TfmScript w({}, dialogs);
        const TjaVbsSyn defaults;
        const std::vector<TValues> atStart = AllValues(w.Highlighter());
        if (c.wrongType) {
            ASSERT_EQ(dialogs.messages.size(), 1);
            EXPECT_EQ(dialogs.types[0], mtError);
            EXPECT_TRUE(dialogs.messages[0].contains(QString::fromLatin1(c.name))) << dialogs.messages[0].toStdString();
            // Loaded before the broken value: the stored colours; from there on the defaults.
            EXPECT_EQ(atStart[0], (TValues{clGreen, clYellow, 2}));
            EXPECT_EQ(atStart[1], (TValues{clGreen, clYellow, 0}));
            const std::string name = c.name; // read in the order Background, Foreground, Style
            EXPECT_EQ(atStart[2], (TValues{name == "Style" ? clGreen : clWindowText,
                                           name == "Background" ? clWindow : clYellow, 0}));
            for (int i = 3; i < 7; ++i)
                EXPECT_EQ(atStart[size_t(i)], Values(*defaults.Attribute(i))) << i;
        } else {
            EXPECT_TRUE(dialogs.messages.isEmpty());
        }

        w.show();
        w.RunOptionsDialog = [&](TfmOptions &d) {
            // The dialog reports the broken value once more, and shows what the window shows.
            EXPECT_EQ(dialogs.messages.size(), c.wrongType ? 2 : 0);
            EXPECT_EQ(AllValues(d.Highlighter()), atStart);
            d.show();
            for (int i = d.cbElements->count() - 1; i >= 0; --i) {
                d.cbElements->setCurrentIndex(i);
                d.grab();
            }
            // A stored colour that no palette cell shows, with the palette open.
            Select(d, c.section);
            const std::string name = c.name;
            if (!c.wrongType && name != "Style") {
                TColorPickerButton *picker = name == "Foreground" ? d.ccbForeground : d.ccbBackground;
                picker->SetDroppedDown(true);
                picker->Popup().grab();
                picker->SetDroppedDown(false);
            }
            EXPECT_EQ(AllValues(d.Highlighter()), atStart);
            return int(QDialog::Accepted);
        };
        w.acOptionsExecute();
        w.Editor().grab();
        // OK wrote sound values over the broken one.
        TjaVbsSyn reloaded;
        EXPECT_TRUE(reloaded.LoadFromRegistry(HKEY_CURRENT_USER, TfmScript::kSettingsKey));
        EXPECT_EQ(AllValues(reloaded), atStart);
    }
}

TEST_F(Options, ScreenshotWithThePaletteOpen)
{
    TfmOptions d(&dialogs);
    Select(d, "string");
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    ChooseInPalette(*d.ccbForeground, clRed);
    d.ccbBackground->SetDroppedDown(true);
    TColorPopup &popup = d.ccbBackground->Popup();
    ASSERT_TRUE(popup.isVisible());
    // The popup is a window of its own: put both on one picture, where they are on screen.
    const QPixmap dialog = d.grab();
    const QPixmap palette = popup.grab();
    const QPoint offset = popup.mapToGlobal(QPoint()) - d.mapToGlobal(QPoint());
    const QRect whole = QRect(QPoint(), d.size()).united(QRect(offset, popup.size()));
    const qreal ratio = dialog.devicePixelRatio();
    QImage image(whole.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::darkGray);
    {
        QPainter painter(&image);
        painter.drawPixmap(-whole.topLeft(), dialog);
        painter.drawPixmap(offset - whole.topLeft(), palette);
    }
    // Below the background button, not over it.
    EXPECT_GE(offset.y(), d.ccbBackground->mapTo(&d, QPoint(0, d.ccbBackground->height())).y());
    const QString out = QString::fromUtf8(QUENLO_SOURCE_DIR "/build/options") +
                        (ratio > 1 ? QStringLiteral("-200") : QStringLiteral("-100"));
    EXPECT_TRUE(image.save(out + QStringLiteral(".png")));
    // On a real display (xvfb-run with QT_QPA_PLATFORM=xcb), also the screen itself.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        QTest::qWait(200);
        EXPECT_TRUE(d.screen()->grabWindow(0).save(out + QStringLiteral("-screen.png")));
    }
    d.ccbBackground->SetDroppedDown(false);
}
