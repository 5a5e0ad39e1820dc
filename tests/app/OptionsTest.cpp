// OptionsTest.cpp: the options dialog's element list and controls, the main
// window's Options action with OK and Cancel, and settings edited by hand.
// Every settings access goes to the sandbox's temporary folder.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
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

using TValues = std::tuple<TColor, TColor, int>; // foreground, background, style bits

TValues Values(const TzeHighLightAttributes &a) { return {a.Foreground(), a.Background(), a.IntegerStyle()}; }

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
    const int style = d.cbBold->isChecked() | d.cbItalic->isChecked() << 1 | d.cbUnderline->isChecked() << 2 |
                      d.cbStrikeout->isChecked() << 3;
    return {d.ccbForeground->SelectionColor(), d.ccbBackground->SelectionColor(), style};
}

void Select(TfmOptions &d, const char *element)
{
    d.cbElements->setCurrentIndex(d.cbElements->findText(QString::fromLatin1(element)));
    ASSERT_EQ(d.cbElements->currentText(), element);
}

// Chooses a named colour in the button's palette, as a click on its cell does.
void ChooseInPalette(TColorPickerButton &button, TColor color)
{
    int item = 0;
    while (item < kNamedColorCount && kColorTable[size_t(item)].value != color)
        ++item;
    button.SetDroppedDown(true);
    ASSERT_TRUE(button.Popup().isVisible());
    button.Popup().SetSelected(item);
    button.Popup().CloseWithChoice();
}

QString SettingsFile()
{
    TBetterRegistry registry(HKEY_CURRENT_USER);
    EXPECT_TRUE(registry.OpenKey(TfmScript::kSettingsKey, true));
    return registry.StorageFileName();
}

QByteArray ReadSettingsFile()
{
    QFile file(SettingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sets "name=raw" in [section] of the settings file, as a text editor would.
void EditByHand(const char *section, const char *name, const char *raw)
{
    QString text = QString::fromUtf8(ReadSettingsFile());
    const QRegularExpression line(QStringLiteral("(\\[%1\\][^\\[]*\\n%2=)[^\\n]*").arg(section, name));
    ASSERT_TRUE(line.match(text).hasMatch()) << text.toStdString();
    text.replace(line, QStringLiteral("\\1") + QString::fromLatin1(raw));
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// Counts the paints of a widget that cover all of it.
class TWholePaints : public QObject {
public:
    explicit TWholePaints(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint &&
            static_cast<QPaintEvent *>(event)->rect().contains(static_cast<QWidget *>(watched)->rect()))
            ++count;
        return false;
    }
};

class Options : public RegistrySandboxTest {
protected:
    TFakeDialogs dialogs;
};

} // namespace

TEST_F(Options, OpensOnCommentAndSwitchingNeverChangesAnElement)
{
    TfmOptions d(&dialogs);
    EXPECT_EQ(d.windowTitle(), "Options");
    const char *const names[] = {"comment", "identifier", "number", "reserved word", "space", "string", "symbol"};
    ASSERT_EQ(d.cbElements->count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(d.cbElements->itemText(i), names[i]);
    for (TColorPickerButton *picker : {d.ccbForeground, d.ccbBackground})
        EXPECT_TRUE(picker->PopupSpacing() == 8 && !picker->ShowSystemColors() && picker->size() == QSize(45, 22));
    // Nothing stored: the defaults, comment italic, all in the window's colours.
    EXPECT_EQ(d.cbElements->currentText(), "comment");
    EXPECT_EQ(Shown(d), (TValues{clWindowText, clWindow, 2}));
    Select(d, "reserved word");
    EXPECT_EQ(Shown(d), (TValues{clWindowText, clWindow, 1}));

    // A colour chosen for "string" lives in the private highlighter; "number" keeps its own.
    Select(d, "string");
    d.show();
    ChooseInPalette(*d.ccbForeground, clRed);
    Select(d, "number");
    EXPECT_EQ(Shown(d), (TValues{clWindowText, clWindow, 0}));
    Select(d, "string");
    EXPECT_EQ(Shown(d), (TValues{clRed, clWindow, 0}));
    EXPECT_EQ(AllValues(d.Highlighter())[5], (TValues{clRed, clWindow, 0}));
    EXPECT_EQ(AllValues(d.Highlighter())[2], (TValues{clWindowText, clWindow, 0}));

    // Every element different in every field, system colours among them; any walk keeps them.
    const TColor colours[] = {clRed, clWindow, 0x123456, clWindowText, clBlack, clWhite, clBtnFace, clNavy};
    std::vector<TValues> expected;
    for (int i = 0; i < 7; ++i) {
        TzeHighLightAttributes values(names[i]);
        values.SetForeground(colours[i]);
        values.SetBackground(colours[(i + 3) % 8]);
        values.SetIntegerStyle((i * 5) % 16);
        d.Highlighter().Attribute(i)->Assign(values);
        expected.push_back(Values(values));
    }
    d.cbElementsChange(); // the controls show "string" as it is now
    std::mt19937 random(16);
    for (int step = 0; step < 200; ++step) {
        const int index = int(random() % 7);
        d.cbElements->setCurrentIndex(index);
        ASSERT_EQ(Shown(d), expected[size_t(index)]) << "step " << step;
        ASSERT_EQ(AllValues(d.Highlighter()), expected) << "step " << step;
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Options, CancelChangesNothingAndOkStoresEveryElementAndRepaints)
{
    {
        TBetterRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(std::string(TfmScript::kSettingsKey) + "\\comment", true));
        registry.WriteInteger("Foreground", clGreen); // only this is stored
    }
    TfmScript w({}, dialogs);
    QList<QAction *> tools;
    for (QObject *menu : w.acOptions->associatedObjects())
        if (qobject_cast<QMenu *>(menu))
            tools = qobject_cast<QMenu *>(menu)->actions();
    ASSERT_EQ(tools.size(), 3);
    EXPECT_TRUE(tools[0] == w.acSyntaxCheck && tools[1]->isSeparator() && tools[2] == w.acOptions && w.acOptions->text() == "Options");
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    TWholePaints paints(w.Editor().viewport());
    const QByteArray stored = ReadSettingsFile();
    const std::vector<TValues> shown = AllValues(w.Highlighter());
    EXPECT_EQ(std::get<0>(shown[0]), clGreen);

    const auto change = [](int result) {
        return [result](TfmOptions &d) {
            Select(d, "string");
            d.ccbForeground->SetSelectionColor(clRed);
            d.ccbBackground->SetSelectionColor(clYellow);
            d.cbBold->setChecked(true);
            return result;
        };
    };
    w.RunOptionsDialog = change(QDialog::Rejected);
    w.acOptionsExecute();
    QTest::qWait(50);
    EXPECT_EQ(ReadSettingsFile(), stored);
    EXPECT_EQ(AllValues(w.Highlighter()), shown);
    EXPECT_EQ(paints.count, 0);

    // Reopened: the stored colours again. OK without a change writes all seven subkeys.
    w.RunOptionsDialog = [](TfmOptions &d) {
        EXPECT_EQ(Shown(d), (TValues{clGreen, clWindow, 2}));
        return int(QDialog::Accepted);
    };
    w.acOptionsExecute();
    TBetterRegistry registry(HKEY_CURRENT_USER);
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(registry.OpenKeyReadOnly("\\" + std::string(TfmScript::kSettingsKey) + "\\" +
                                             w.Highlighter().Attribute(i)->Name()));
        EXPECT_EQ((TValues{registry.ReadInteger("Foreground"), registry.ReadInteger("Background"),
                           registry.ReadInteger("Style")}),
                  shown[size_t(i)]);
    }

    // OK with changes: stored, in the window's highlighter, and the editor repainted whole.
    w.Editor().SetText("MsgBox \"a string\"");
    QTest::qWait(20);
    paints.count = 0;
    w.RunOptionsDialog = change(QDialog::Accepted);
    w.acOptionsExecute();
    EXPECT_EQ(Values(*w.Highlighter().StringAttri()), (TValues{clRed, clYellow, 1}));
    EXPECT_EQ(w.Highlighter().StringAttri()->Name(), "string");
    TjaVbsSyn reloaded;
    ASSERT_TRUE(reloaded.LoadFromRegistry(HKEY_CURRENT_USER, TfmScript::kSettingsKey));
    EXPECT_EQ(AllValues(reloaded), AllValues(w.Highlighter()));
    for (int i = 0; i < 50 && paints.count == 0; ++i)
        QTest::qWait(10);
    EXPECT_GE(paints.count, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    // The string shows in its new colours: red on yellow.
    const QImage shown2 = w.Editor().viewport()->grab().toImage();
    int yellow = 0, red = 0;
    for (int y = 0; y < shown2.height(); ++y) {
        for (int x = 0; x < shown2.width(); ++x) {
            const QColor c = shown2.pixelColor(x, y);
            yellow += c == QColor(255, 255, 0);
            red += c == QColor(255, 0, 0);
        }
    }
    EXPECT_GT(yellow, 100);
    EXPECT_GT(red, 5);

    // Settings that cannot be written: the user is told, the editor still gets the colours.
    const QString sandbox = TRegistry::StorageOverride();
    QFile blocker(RegistrySandboxDir() + QStringLiteral("/not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    TRegistry::SetStorageOverride(blocker.fileName() + QStringLiteral("/override"));
    w.RunOptionsDialog = [](TfmOptions &d) {
        d.ccbBackground->SetSelectionColor(clAqua); // of "comment"
        return int(QDialog::Accepted);
    };
    w.acOptionsExecute();
    TRegistry::SetStorageOverride(sandbox);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("Failed to set data")) << dialogs.messages[0].toStdString();
    EXPECT_EQ(w.Highlighter().CommentAttri()->Background(), clAqua);
}

TEST_F(Options, SettingsBrokenByHandAreReportedAndNeverCrash)
{
    struct Case {
        const char *name, *raw;
        bool wrongType;
    };
    const Case cases[] = {
        {"Foreground", "blue", true},
        {"Background", "dword:12345", true}, // too few digits
        {"Style", "dword:1, 2", true},       // read back as a list
        {"Foreground", "dword:7FFFFFFF", false}, // neither plain nor system colour
        {"Background", "dword:800000FF", false}, // no such system colour
        {"Style", "dword:FFFFFFFF", false},      // every style bit
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.raw);
        {
            TjaVbsSyn stored; // every element green on yellow
            for (int i = 0; i < stored.AttrCount(); ++i) {
                stored.Attribute(i)->SetForeground(clGreen);
                stored.Attribute(i)->SetBackground(clYellow);
            }
            ASSERT_TRUE(stored.SaveToRegistry(HKEY_CURRENT_USER, TfmScript::kSettingsKey));
        }
        EditByHand("number", c.name, c.raw);
        dialogs.messages.clear();
        TfmScript w({}, dialogs);
        const std::vector<TValues> atStart = AllValues(w.Highlighter());
        ASSERT_EQ(dialogs.messages.size(), c.wrongType ? 1 : 0);
        if (c.wrongType) {
            EXPECT_TRUE(dialogs.messages[0].contains(QString::fromLatin1(c.name))) << dialogs.messages[0].toStdString();
            // Read in the order Background, Foreground, Style: the stored values
            // before the broken one, the defaults from there on.
            const std::string name = c.name;
            EXPECT_EQ(atStart[1], (TValues{clGreen, clYellow, 0}));
            EXPECT_EQ(atStart[2], (TValues{name == "Style" ? clGreen : clWindowText,
                                           name == "Background" ? clWindow : clYellow, 0}));
            EXPECT_EQ(atStart[3], (TValues{clWindowText, clWindow, 1}));
        }
        w.RunOptionsDialog = [&](TfmOptions &d) {
            EXPECT_EQ(dialogs.messages.size(), c.wrongType ? 2 : 0); // reported once more
            EXPECT_EQ(AllValues(d.Highlighter()), atStart);
            d.show();
            for (int i = 6; i >= 0; --i) {
                d.cbElements->setCurrentIndex(i);
                d.grab();
            }
            d.ccbBackground->SetDroppedDown(true); // the stored background of "number"
            d.ccbBackground->Popup().grab();
            d.ccbBackground->SetDroppedDown(false);
            EXPECT_EQ(AllValues(d.Highlighter()), atStart);
            return int(QDialog::Accepted);
        };
        w.acOptionsExecute();
        TjaVbsSyn reloaded; // OK wrote sound values over the broken one
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
    // The popup is a window of its own: both on one picture, as on screen, the popup below its button.
    const QPoint offset = popup.mapToGlobal(QPoint()) - d.mapToGlobal(QPoint());
    EXPECT_GE(offset.y(), d.ccbBackground->mapTo(&d, QPoint(0, d.ccbBackground->height())).y());
    const QPixmap dialog = d.grab();
    const qreal ratio = dialog.devicePixelRatio();
    QImage image(QRect(QPoint(), d.size()).united(QRect(offset, popup.size())).size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::darkGray);
    QPainter(&image).drawPixmap(QPoint(), dialog);
    QPainter(&image).drawPixmap(offset, popup.grab());
    const QString out = QString::fromUtf8(QUENLO_SOURCE_DIR "/build/options") + (ratio > 1 ? "-200" : "-100");
    EXPECT_TRUE(image.save(out + ".png"));
    // On a display of its own (xvfb-run with QT_QPA_PLATFORM=xcb), the screen as well.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        QTest::qWait(200);
        EXPECT_TRUE(d.screen()->grabWindow(0).save(out + "-screen.png"));
    }
}
