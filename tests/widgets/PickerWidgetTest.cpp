// PickerWidgetTest.cpp: TColorPickerButton and TColorPopup as widgets: mouse
// and keyboard, the comb, hints, the action link, and pixels of grab() images
// (saved for a look).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QMouseEvent>
#include <QTest>

#include "toolkit/Bitmap.h"
#include "widgets/ColorPickerButton.h"

namespace {

void Mouse(QWidget &widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons = Qt::NoButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void Click(QWidget &widget, QPoint at)
{
    Mouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, at);
}

// A pixel at a logical position, whatever the scale factor.
QRgb Pixel(const QImage &image, int x, int y)
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixel(int(x * ratio), int(y * ratio)) & 0xFFFFFFu;
}

QRgb Rgb(TColor color)
{
    return ToQColor(color).rgb() & 0xFFFFFFu;
}

QPoint Centre(const QRect &rect)
{
    return rect.topLeft() + QPoint(rect.width() / 2, rect.height() / 2);
}

// A shown button whose events are counted.
struct Fixture {
    QWidget window;
    TColorPickerButton *button = new TColorPickerButton(&window);
    int changes = 0, clicks = 0, defaults = 0, dropChanges = 0;

    Fixture()
    {
        window.resize(300, 400);
        button->move(20, 20);
        button->OnChange = [this](TColorPickerButton &) { ++changes; };
        button->OnClick = [this](TColorPickerButton &) { ++clicks; };
        button->OnDefaultSelect = [this](TColorPickerButton &) { ++defaults; };
        button->OnDropChanged = [this](TColorPickerButton &) { ++dropChanges; };
        window.show();
    }
    TColorPopup &popup() { return button->Popup(); }
    void Open() { Click(*button, QPoint(40, 11)); }
};

QString ScaleSuffix()
{
    return qApp->devicePixelRatio() > 1 ? QStringLiteral("-200") : QStringLiteral("-100");
}

} // namespace

TEST(PickerButton, IndicatorArrowAndPopupPlace)
{
    Fixture f;
    EXPECT_EQ(f.button->size(), QSize(45, 22));
    f.button->SetSelectionColor(clRed);
    EXPECT_EQ(f.changes, 1);
    f.button->SetSelectionColor(clRed); // unchanged: nothing fires
    EXPECT_EQ(f.changes, 1);

    QImage image = f.button->grab().toImage();
    image.save(QStringLiteral("ColorPickerButton") + ScaleSuffix() + QStringLiteral(".png"));
    EXPECT_EQ(Pixel(image, 14, 11), Rgb(clRed));          // inside the indicator (4, 4) - (24, 18)
    EXPECT_EQ(Pixel(image, 4, 4), Rgb(clBtnShadow));      // its flat border
    EXPECT_EQ(Pixel(image, 3, 3), Rgb(clBtnFace));
    EXPECT_EQ(Pixel(image, 34, 11), Rgb(clBlack));        // the arrow's left point
    EXPECT_EQ(Pixel(image, 37, 13), Rgb(clBlack));
    EXPECT_EQ(Pixel(image, 34, 12), Rgb(clBtnFace));

    f.Open();
    ASSERT_TRUE(f.button->DroppedDown());
    EXPECT_TRUE(f.popup().isVisible());
    EXPECT_EQ(f.popup().SelectedIndex(), 16); // "Red"
    EXPECT_EQ(f.popup().geometry().topLeft(), f.button->mapToGlobal(QPoint(-1, 22)));
    EXPECT_EQ(f.popup().size(), QSize(164, 98));
    image = f.button->grab().toImage();
    EXPECT_EQ(Pixel(image, 14, 11), Rgb(clRed));          // no press offset on the indicator
    EXPECT_EQ(Pixel(image, 35, 12), Rgb(clBlack));        // the arrow pressed
    EXPECT_EQ(Pixel(image, 34, 11), Rgb(clBtnFace));
}

TEST(PickerButton, MainPartGroupsAndVeto)
{
    Fixture f;
    Click(*f.button, QPoint(10, 10));
    EXPECT_EQ(f.clicks, 1);
    EXPECT_FALSE(f.button->DroppedDown());
    EXPECT_EQ(f.button->State(), bsUp);
    Mouse(*f.button, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
    EXPECT_EQ(f.button->State(), bsDown);
    Mouse(*f.button, QEvent::MouseMove, QPoint(60, 10), Qt::LeftButton);
    EXPECT_EQ(f.button->State(), bsUp);
    Mouse(*f.button, QEvent::MouseButtonRelease, QPoint(60, 10));
    EXPECT_EQ(f.clicks, 1); // released outside

    bool allow = false;
    f.button->OnDropChanging = [&](TColorPickerButton &, bool &allowed) { allowed = allow; };
    f.Open();
    EXPECT_FALSE(f.button->DroppedDown());
    EXPECT_FALSE(f.popup().isVisible());
    EXPECT_EQ(f.dropChanges, 0);
    allow = true;
    f.Open();
    EXPECT_TRUE(f.button->DroppedDown());
    allow = false; // a veto keeps it open, Escape included
    QTest::keyClick(&f.popup(), Qt::Key_Escape);
    EXPECT_TRUE(f.button->DroppedDown());
    allow = true;
    QTest::keyClick(&f.popup(), Qt::Key_Escape);
    EXPECT_FALSE(f.button->DroppedDown());
    EXPECT_EQ(f.dropChanges, 2);

    auto *other = new TColorPickerButton(&f.window);
    f.button->SetDown(true); // no group: stays up
    EXPECT_FALSE(f.button->Down());
    f.button->SetGroupIndex(1);
    other->SetGroupIndex(1);
    f.button->SetDown(true);
    other->SetDown(true);
    EXPECT_FALSE(f.button->Down());
    EXPECT_TRUE(other->Down());
    other->SetDown(false); // only another button releases it
    EXPECT_TRUE(other->Down());
    Click(*f.button, QPoint(10, 10)); // a click in the group toggles it down
    EXPECT_TRUE(f.button->Down());
    EXPECT_FALSE(other->Down());
    EXPECT_EQ(f.button->State(), bsExclusive);
    int doubleClicks = 0;
    f.button->OnDblClick = [&](TColorPickerButton &) { ++doubleClicks; };
    Mouse(*f.button, QEvent::MouseButtonDblClick, QPoint(10, 10), Qt::LeftButton);
    EXPECT_EQ(doubleClicks, 1); // only while down
    other->OnDblClick = f.button->OnDblClick;
    Mouse(*other, QEvent::MouseButtonDblClick, QPoint(10, 10), Qt::LeftButton);
    EXPECT_EQ(doubleClicks, 1);
}

TEST(PickerPopup, MouseChoosesAndClosesOutside)
{
    Fixture f;
    f.Open();
    TColorPopup &popup = f.popup();
    const TPopupLayout &layout = popup.Layout();
    Mouse(popup, QEvent::MouseMove, Centre(CellRect(layout, 9)));
    EXPECT_EQ(popup.HoverIndex(), 9);
    Click(popup, Centre(CellRect(layout, 9)));
    EXPECT_FALSE(f.button->DroppedDown());
    EXPECT_EQ(f.button->SelectionColor(), TColor(0x0066FF)); // "Orange"
    EXPECT_EQ(f.changes, 1);

    f.Open();
    Click(popup, QPoint(3, 50)); // the margin: no item, stays open
    EXPECT_TRUE(f.button->DroppedDown());
    Mouse(popup, QEvent::MouseButtonPress, QPoint(-20, 50), Qt::LeftButton); // outside
    EXPECT_FALSE(f.button->DroppedDown());
    EXPECT_EQ(f.button->SelectionColor(), TColor(0x0066FF));
    EXPECT_EQ(f.defaults, 0);

    f.button->SetSelectionColor(RGBToColor(1, 2, 3)); // in no table
    f.Open();
    EXPECT_EQ(popup.SelectedIndex(), kNoItem);
    QTest::keyClick(&popup, Qt::Key_Escape);
    EXPECT_EQ(f.defaults, 0);

    f.button->SetDefaultText("&Default");
    f.Open();
    EXPECT_EQ(popup.Layout().windowRect.height(), 98 + popup.Layout().textSize.height() + 4);
    Click(popup, Centre(popup.Layout().defaultTextRect));
    EXPECT_EQ(f.defaults, 1);
    EXPECT_FALSE(f.button->DroppedDown());
}

TEST(PickerPopup, Keyboard)
{
    Fixture f;
    f.button->SetSelectionColor(clRed);
    f.button->SetDefaultText("&Default");
    f.button->SetShowSystemColors(true);
    f.button->setFocus();
    QTest::keyClick(f.button, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(f.button->DroppedDown());
    TColorPopup &popup = f.popup();
    QTest::keyClick(&popup, Qt::Key_Right); // from the selection "Red" (16)
    EXPECT_EQ(popup.HoverIndex(), 17);
    QTest::keyClick(&popup, Qt::Key_Down);
    QTest::keyClick(&popup, Qt::Key_Down);
    QTest::keyClick(&popup, Qt::Key_Down);
    EXPECT_EQ(popup.HoverIndex(), 41);
    QTest::keyClick(&popup, Qt::Key_Return);
    EXPECT_FALSE(f.button->DroppedDown());
    EXPECT_EQ(f.button->SelectionColor(), clBackground); // system entries keep their value

    QTest::keyClick(f.button, Qt::Key_F4);
    ASSERT_TRUE(f.button->DroppedDown());
    EXPECT_EQ(popup.SelectedIndex(), 41);
    QTest::keyClick(&popup, Qt::Key_Return); // the cursor stays on the selection
    EXPECT_EQ(f.button->SelectionColor(), clBackground);
    EXPECT_EQ(f.defaults, 0);

    QTest::keyClick(f.button, Qt::Key_Space);
    QTest::keyClick(&popup, Qt::Key_D, Qt::AltModifier);
    EXPECT_FALSE(f.button->DroppedDown());
    EXPECT_EQ(f.defaults, 1);
    EXPECT_EQ(f.changes, 2);
}

TEST(PickerPopup, CombDragIntensityAndHints)
{
    Fixture f;
    f.button->SetCustomText("&More colours...");
    f.button->SetShowHint(true);
    f.Open();
    TColorPopup &popup = f.popup();
    const TPopupLayout &layout = popup.Layout();
    const int plainHeight = popup.height();
    Click(popup, Centre(layout.customTextRect));
    EXPECT_TRUE(f.button->DroppedDown());
    EXPECT_EQ(popup.SelectedIndex(), kCustomItem);
    EXPECT_EQ(popup.height(), layout.CombWindowHeight());
    EXPECT_GT(popup.height(), plainHeight);

    const QPoint centre = layout.combRect.topLeft() + QPoint(63, 63);
    EXPECT_EQ(popup.HintAt(centre).text, "red: 255, green: 255, blue: 255");
    EXPECT_EQ(popup.HintAt(Centre(CellRect(layout, 16))).text, "Red");
    EXPECT_EQ(popup.HintAt(Centre(layout.intensityRect)).text, "Intensity: 100%");

    // Drag from the centre past the grey row to the red corner (cell 37).
    const TCombCell &red = popup.ColorCombs()[37];
    Mouse(popup, QEvent::MouseButtonPress, centre, Qt::LeftButton);
    EXPECT_EQ(popup.CombIndex(), 1);
    EXPECT_EQ(popup.TrackMode(), tmColorComb);
    Mouse(popup, QEvent::MouseMove, layout.greyCombRect.topLeft() + QPoint(124, 11), Qt::LeftButton);
    EXPECT_EQ(popup.CombIndex(), 0); // the grey row is not the comb's
    Mouse(popup, QEvent::MouseMove, centre + QPoint(red.X, red.Y), Qt::LeftButton);
    EXPECT_EQ(popup.CombIndex(), 38);
    const QImage comb = popup.grab().toImage();
    comb.save(QStringLiteral("ColorPopup-comb") + ScaleSuffix() + QStringLiteral(".png"));
    EXPECT_EQ(Pixel(comb, centre.x() + red.X, centre.y() + red.Y), Rgb(clRed));
    Mouse(popup, QEvent::MouseButtonRelease, centre + QPoint(red.X, red.Y));
    EXPECT_FALSE(f.button->DroppedDown());
    EXPECT_EQ(f.button->SelectionColor(), clRed); // the corner, found in the table too
    EXPECT_EQ(f.changes, 1);

    // Reopened with a grey of the row: the custom button and that cell.
    f.button->SetSelectionColor(RGBToColor(195, 195, 195));
    f.Open();
    EXPECT_EQ(popup.SelectedIndex(), kCustomItem);
    EXPECT_EQ(popup.CombIndex(), -4);
    EXPECT_EQ(popup.height(), layout.CombWindowHeight());

    // The intensity bar down to the bottom: the centre turns black.
    const QRect &bar = layout.intensityRect;
    Mouse(popup, QEvent::MouseButtonPress, Centre(bar), Qt::LeftButton);
    Mouse(popup, QEvent::MouseMove, QPoint(bar.x() + 2, BottomOf(bar) + 20), Qt::LeftButton);
    Mouse(popup, QEvent::MouseButtonRelease, QPoint(bar.x() + 2, BottomOf(bar) + 20));
    EXPECT_TRUE(f.button->DroppedDown()); // a drag on the bar leaves it open
    EXPECT_FLOAT_EQ(popup.Intensity(), 0.0f);
    EXPECT_EQ(popup.HintAt(Centre(bar)).text, "Intensity: 0%");
    ASSERT_EQ(popup.ColorCombs().size(), 127u);
    EXPECT_EQ(popup.ColorCombs()[0].Color, clBlack);
    EXPECT_EQ(popup.CombIndex(), -4); // kept

    // Released over a gap after a drag: closes without a change.
    const QPoint gap = layout.combRect.topLeft() + QPoint(2, 2);
    Mouse(popup, QEvent::MouseButtonPress, gap, Qt::LeftButton);
    EXPECT_EQ(popup.CombIndex(), 0);
    Mouse(popup, QEvent::MouseButtonRelease, gap);
    EXPECT_FALSE(f.button->DroppedDown());
    EXPECT_EQ(f.button->SelectionColor(), RGBToColor(195, 195, 195));
    EXPECT_EQ(f.changes, 2);
}

TEST(PickerPopup, SelectedCellPixels)
{
    Fixture f;
    f.button->SetSelectionColor(clRed);
    f.button->SetCustomText("Custom...");
    f.button->SetSelectionColor(RGBToColor(225, 225, 225)); // grey cell 1
    f.Open();
    TColorPopup &popup = f.popup();
    f.button->SetSelectionColor(clRed);
    const QImage image = popup.grab().toImage();
    image.save(QStringLiteral("ColorPopup") + ScaleSuffix() + QStringLiteral(".png"));
    const QRect red = CellRect(popup.Layout(), 16);
    EXPECT_EQ(Pixel(image, red.x(), red.y()), Rgb(clBtnShadow));        // sunken edge
    EXPECT_EQ(Pixel(image, red.x() + 2, red.y() + 2), Rgb(clBtnHighlight)); // selected: highlighted cell
    EXPECT_EQ(Pixel(image, red.x() + 3, red.y() + 3), Rgb(clGray));     // outline of the colour
    EXPECT_EQ(Pixel(image, red.x() + 9, red.y() + 9), Rgb(clRed));
    const QRect orange = CellRect(popup.Layout(), 9);
    EXPECT_EQ(Pixel(image, orange.x() + 2, orange.y() + 2), Rgb(clBtnFace));
    EXPECT_EQ(popup.height(), BottomOf(popup.Layout().windowRect)); // the comb is gone
}

TEST(PickerButton, FlatDisabledCaptionAndHints)
{
    Fixture f;
    f.button->SetFlat(true);
    f.button->SetTransparent(false);
    QImage image = f.button->grab().toImage();
    EXPECT_EQ(Pixel(image, 0, 0), Rgb(clBtnFace));     // not hot: no edges
    EXPECT_EQ(Pixel(image, 44, 21), Rgb(clBtnFace));
    EXPECT_EQ(Pixel(image, 3, 3), Rgb(clBtnShadow));   // indicator (3, 3) - (25, 19)
    EXPECT_EQ(Pixel(image, 34, 11), Rgb(clBlack));

    f.button->setEnabled(false);
    image = f.button->grab().toImage();
    EXPECT_EQ(f.button->State(), bsDisabled);
    EXPECT_EQ(Pixel(image, 37, 12), Rgb(clBtnShadow)); // the arrow greyed
    Click(*f.button, QPoint(40, 11));
    EXPECT_FALSE(f.button->DroppedDown());
    f.button->setEnabled(true);

    // With a caption the indicator is a bar under it.
    f.button->resize(80, 30);
    f.button->SetCaption("&Colour");
    f.button->SetIndicatorBorder(ibNone);
    f.button->SetSelectionColor(clBlue);
    image = f.button->grab().toImage();
    int firstBlueRow = -1;
    for (int y = 0; y < 30 && firstBlueRow < 0; ++y)
        for (int x = 0; x < 65; ++x)
            if (Pixel(image, x, y) == Rgb(clBlue))
                firstBlueRow = y;
    EXPECT_GT(firstBlueRow, 15);
    EXPECT_LT(firstBlueRow, 28);

    // Hints: names over colours, OnHint (then Hint) over the text buttons.
    f.button->SetDefaultText("Automatic");
    f.button->SetHint("Pick a colour");
    TColorPopup &popup = f.popup();
    const QPoint onDefault = Centre(popup.Layout().defaultTextRect);
    EXPECT_EQ(popup.HintAt(onDefault).text, "Pick a colour");
    f.button->OnHint = [](TColorPickerButton &, int cell, std::string &hint) {
        hint = cell == kDefaultItem ? "The editor's colour" : "";
    };
    EXPECT_EQ(popup.HintAt(onDefault).text, "The editor's colour");
    EXPECT_EQ(popup.HintAt(Centre(CellRect(popup.Layout(), 39))).text, "White");
    EXPECT_EQ(popup.HintAt(QPoint(2, 60)).text, "");
}

TEST(PickerButton, ActionLink)
{
    // The action's icon: a black square on a clear ground.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter(&pixmap).fillRect(4, 4, 8, 8, Qt::black);
    const QIcon icon(pixmap);
    QImage own(8, 8, QImage::Format_ARGB32);
    own.fill(ToQColor(clOlive));

    enum Change { kNone, kTexts, kShowAndEnable };
    struct Case {
        const char *name;
        bool ownValues;                    // caption, hint, glyph set; disabled and hidden
        bool actionEnabled, actionVisible; // when linked
        Change change;                     // of the action, after linking
        const char *caption, *hint;
        bool enabled, visible, iconGlyph;
    };
    const Case cases[] = {
        {"linking fills the defaults", false, false, false, kNone, "&Fore", "Foreground", false, false, true},
        {"linking keeps own values", true, true, true, kNone, "Own", "Mine", false, false, false},
        {"a change copies everything", true, true, true, kTexts, "&Back", "Background", true, true, true},
        {"showing and enabling the action", false, false, false, kShowAndEnable, "&Fore", "Foreground", true,
         true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        if (c.ownValues) {
            f.button->SetCaption("Own");
            f.button->SetHint("Mine");
            f.button->SetGlyph(own);
            f.button->setEnabled(false);
            f.button->hide();
        }
        QAction action(QStringLiteral("&Fore"));
        action.setToolTip(QStringLiteral("Foreground"));
        action.setIcon(icon);
        action.setEnabled(c.actionEnabled);
        action.setVisible(c.actionVisible);
        f.button->SetAction(&action);
        EXPECT_EQ(f.button->Action(), &action);
        if (c.change == kTexts) {
            action.setText(QStringLiteral("&Back"));
            action.setToolTip(QStringLiteral("Background"));
        } else if (c.change == kShowAndEnable) {
            action.setVisible(true);
            action.setEnabled(true);
        }
        EXPECT_EQ(f.button->Caption(), c.caption);
        EXPECT_EQ(f.button->Hint(), c.hint);
        EXPECT_EQ(f.button->isEnabled(), c.enabled);
        EXPECT_EQ(f.button->isVisible(), c.visible);
        const TBitmap &glyph = f.button->Glyph();
        EXPECT_EQ(glyph.Image().size(), c.iconGlyph ? QSize(16, 16) : QSize(8, 8));
        if (c.iconGlyph) { // the icon on fuchsia, fixed as its transparent colour
            EXPECT_EQ(glyph.TransparentMode(), tmFixed);
            EXPECT_EQ(glyph.TransparentColor(), clFuchsia);
            EXPECT_EQ(glyph.Image().pixel(0, 15) & 0xFFFFFFu, Rgb(clFuchsia));
            EXPECT_EQ(glyph.Image().pixel(8, 8) & 0xFFFFFFu, Rgb(clBlack));
        }
        f.button->SetAction(nullptr); // the button keeps what it took
        EXPECT_EQ(f.button->Caption(), c.caption);
    }

    // Clicks trigger the action unless OnClick is set; unlinking or
    // destroying the action ends that.
    Fixture f;
    f.button->OnClick = nullptr;
    auto *action = new QAction(QStringLiteral("&Fore"));
    int triggered = 0;
    QObject::connect(action, &QAction::triggered, [&] { ++triggered; });
    f.button->SetAction(action);
    Click(*f.button, QPoint(10, 10));
    EXPECT_EQ(triggered, 1);
    Click(*f.button, QPoint(40, 11)); // the strip opens the popup instead
    EXPECT_TRUE(f.button->DroppedDown());
    EXPECT_EQ(triggered, 1);
    f.button->SetDroppedDown(false);
    f.button->OnClick = [&](TColorPickerButton &) { ++f.clicks; };
    Click(*f.button, QPoint(10, 10));
    EXPECT_EQ(triggered, 1);
    EXPECT_EQ(f.clicks, 1);
    f.button->OnClick = nullptr;
    f.button->SetAction(nullptr);
    action->setText(QStringLiteral("&Back"));
    Click(*f.button, QPoint(10, 10));
    EXPECT_EQ(f.button->Caption(), "&Fore");
    EXPECT_EQ(triggered, 1);
    f.button->SetAction(action);
    delete action;
    EXPECT_EQ(f.button->Action(), nullptr);
    Click(*f.button, QPoint(10, 10));
    EXPECT_EQ(triggered, 1);

    // The look: the action's caption over the indicator, beside a glyph whose
    // fuchsia ground is fixed as transparent, so its blue bottom-left corner,
    // which the automatic mode would clear, stays.
    QImage ell(12, 12, QImage::Format_ARGB32);
    ell.fill(ToQColor(clFuchsia));
    for (int i = 0; i < 12; ++i) {
        ell.setPixelColor(0, i, ToQColor(clBlue));
        ell.setPixelColor(i, 11, ToQColor(clBlue));
    }
    TBitmap fixed(ell);
    fixed.SetTransparentColor(clFuchsia);
    QAction colour(QStringLiteral("&Text"));
    Fixture look;
    look.button->resize(90, 30);
    look.button->SetTransparent(false);
    look.button->SetSelectionColor(clRed);
    look.button->SetGlyph(fixed);
    look.button->SetAction(&colour);
    EXPECT_EQ(look.button->Caption(), "&Text");
    const QImage image = look.button->grab().toImage();
    image.save(QStringLiteral("ColorPickerButton-action") + ScaleSuffix() + QStringLiteral(".png"));
    int fuchsia = 0, blueColumn = -1;
    for (int x = 0; x < 90; ++x)
        for (int y = 0, run = 0; y < 30; ++y) {
            fuchsia += Pixel(image, x, y) == Rgb(clFuchsia);
            run = Pixel(image, x, y) == Rgb(clBlue) ? run + 1 : 0;
            if (run == 12 && blueColumn < 0)
                blueColumn = x;
        }
    EXPECT_EQ(fuchsia, 0);
    EXPECT_GE(blueColumn, 2); // in the main part
    EXPECT_LT(blueColumn, 90 - look.button->DropDownWidth());

    { // a button that goes first leaves its action nothing to call
        TColorPickerButton gone;
        gone.SetAction(&colour);
    }
    colour.setText(QStringLiteral("&Colour"));
}
