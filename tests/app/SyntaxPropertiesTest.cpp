// SyntaxPropertiesTest.cpp: the syntax check's messages and the properties
// dialog's mapping, procedure list and icon rules.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "storage/uStorage.h"
#include "editor/zeCustomEdit.h"
#include "app/MSScriptControl_TLB.h"
#include "app/uMain.h"
#include "app/uProperties.h"
#include "FakeDialogs.h"

namespace {

// A 1x1 32-bit icon file.
std::vector<std::uint8_t> TinyIcon()
{
    std::vector<std::uint8_t> ico = {0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 32, 0, 48, 0, 0, 0, 22, 0, 0, 0};
    std::vector<std::uint8_t> dib = {40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0};
    dib.resize(40, 0);
    for (std::uint8_t b : {0x00, 0x00, 0xFF, 0xFF, 0, 0, 0, 0})
        dib.push_back(b);
    ico.insert(ico.end(), dib.begin(), dib.end());
    return ico;
}

// A size x size 32-bit icon: a red frame one pixel wide around blue.
std::vector<std::uint8_t> FramedIcon(int size)
{
    const auto le32 = [](std::vector<std::uint8_t> &v, std::uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v.push_back(std::uint8_t(x >> (8 * i)));
    };
    const std::uint32_t pixels = std::uint32_t(size * size * 4), mask = std::uint32_t(size * ((size + 31) / 32) * 4);
    std::vector<std::uint8_t> ico = {0, 0, 1, 0, 1, 0, std::uint8_t(size), std::uint8_t(size), 0, 0, 1, 0, 32, 0};
    le32(ico, 40 + pixels + mask);
    le32(ico, 22);
    for (std::uint32_t x : {40u, std::uint32_t(size), std::uint32_t(2 * size)})
        le32(ico, x);
    ico.insert(ico.end(), {1, 0, 32, 0});
    ico.resize(ico.size() + 24, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool frame = x == 0 || y == 0 || x == size - 1 || y == size - 1;
            ico.insert(ico.end(), {std::uint8_t(frame ? 0 : 0xFF), 0, std::uint8_t(frame ? 0xFF : 0), 0xFF});
        }
    }
    ico.resize(ico.size() + mask, 0);
    return ico;
}

void SetText(TfmScript &w, const char *text)
{
    w.Editor().SetText(text);
}

class Tools : public ::testing::Test {
protected:
    TFakeDialogs dialogs;
    QTemporaryDir dir;
};

} // namespace

TEST_F(Tools, SyntaxCheckReportsNoErrorsOrTheFirstErrorsLine)
{
    TfmScript w({}, dialogs);
    w.acSyntaxCheckExecute();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], "Syntax check completed with no errors");

    SetText(w, "Sub Main\r\n  x = 1\r\n  If x Then\r\n    y = 2\r\nEnd Sub\r\n");
    w.Editor().SetModified(false);
    w.acSyntaxCheckExecute();
    w.acSyntaxCheckExecute(); // a second check starts from a reset engine
    ASSERT_EQ(dialogs.messages.size(), 3);
    EXPECT_EQ(dialogs.messages[1], dialogs.messages[2]);
    EXPECT_TRUE(dialogs.messages[1].startsWith("An error occurred at line 5\r\n")) << dialogs.messages[1].toStdString();
    EXPECT_EQ(dialogs.messages[1].count("\r\n"), 1);
    EXPECT_EQ(dialogs.types[1], mtError);
    EXPECT_FALSE(w.Editor().Modified()); // the check changes nothing

    w.Editor().Document().ClearLines();
    w.Editor().Document().DeleteLine(0); // no line at all
    w.acSyntaxCheckExecute();
    EXPECT_EQ(dialogs.messages.last(), "Syntax check completed with no errors");
}

TEST_F(Tools, ScriptControlListsGlobalProceduresOnly)
{
    TScriptControl control;
    control.AddCode("Sub Main\r\nEnd Sub\r\nClass C\r\n Sub Hidden\r\n End Sub\r\nEnd Class\r\nFunction F(a, b)\r\nEnd Function\r\n");
    ASSERT_EQ(control.ProceduresCount(), 2);
    EXPECT_EQ(control.ProceduresItem(1).Name, "Main");
    EXPECT_EQ(control.ProceduresItem(2).Name, "F");
    EXPECT_EQ(control.ProceduresItem(2).NumArgs, 2);
    EXPECT_TRUE(control.ProceduresItem(2).HasReturnValue);
    EXPECT_THROW(control.ProceduresItem(3), EOleException);
    bool errorEvent = false;
    control.OnError = [&](TScriptControl &) { errorEvent = true; };
    EXPECT_THROW(control.AddCode("Dim main\r\n"), EOleException); // redefined: code accumulates
    EXPECT_TRUE(errorEvent);
    EXPECT_EQ(control.Error().Number, 1041);
    EXPECT_EQ(control.Error().Line, 1);
    // A procedure defined again is listed once, as and where it was defined last.
    EXPECT_NO_THROW(control.AddCode("Sub main(a)\r\nEnd Sub\r\n"));
    ASSERT_EQ(control.ProceduresCount(), 2);
    EXPECT_EQ(control.ProceduresItem(1).Name, "F");
    EXPECT_EQ(control.ProceduresItem(2).Name, "main");
    EXPECT_EQ(control.ProceduresItem(2).NumArgs, 1);
    control.Reset();
    EXPECT_NO_THROW(control.AddCode("Dim main\r\n"));
    control.SetLanguage("JScript");
    EXPECT_THROW(control.AddCode("x = 1"), EOleException);
}

TEST_F(Tools, PropertiesMapFieldsBothWaysAndSelectMainIgnoringCase)
{
    TfmScript w({}, dialogs);
    SetText(w, "Sub Main\r\nEnd Sub\r\nSub Helper(a)\r\nEnd Sub\r\nSub Main\r\nEnd Sub\r\n"); // Main defined twice
    TScript &script = w.Script();
    script.SetName("Name");
    script.SetMenu("&Menu");
    script.SetHint("Hint");
    script.SetID("my id with spaces");
    script.SetMain("main");
    script.Icon().LoadFromBytes(TinyIcon());
    w.Editor().SetModified(false);

    w.RunPropertiesDialog = [&](TfmProperties &d) {
        EXPECT_EQ(d.cbProcedures->count(), 2);
        EXPECT_EQ(d.cbProcedures->itemText(0), "Helper");
        EXPECT_EQ(d.cbProcedures->currentText(), "Main");
        EXPECT_EQ(d.edScriptName->text(), "Name");
        EXPECT_EQ(d.edScriptMenu->text(), "&Menu");
        EXPECT_EQ(d.edScriptHint->text(), "Hint");
        EXPECT_EQ(d.edScriptID->text(), "my id with spaces");
        EXPECT_TRUE(d.PictureIsIcon());
        d.edScriptName->setText(QString::fromUtf8("Caf\u00e9"));
        d.grab().save(QString::fromUtf8(QUENLO_SOURCE_DIR "/build/properties.png"));
        return int(QDialog::Accepted);
    };
    w.acPropertiesExecute();
    EXPECT_EQ(script.Name(), "Caf\xE9");
    EXPECT_EQ(script.Main(), "Main"); // the list item's spelling
    EXPECT_EQ(script.ID(), "my id with spaces");
    EXPECT_EQ(script.Icon().Bytes(), TinyIcon());
    EXPECT_TRUE(w.Editor().Modified());
    w.UpdateActionStates();
    EXPECT_TRUE(w.acSave->isEnabled());
}

TEST_F(Tools, MissingMainStoresEmptyAndCancelChangesNothing)
{
    TfmScript w({}, dialogs);
    SetText(w, "x = 1\r\n"); // no procedures
    w.Script().SetMain("Gone");
    w.Script().SetName("Kept");
    w.Editor().SetModified(false);
    w.RunPropertiesDialog = [](TfmProperties &d) {
        EXPECT_EQ(d.cbProcedures->count(), 0);
        EXPECT_EQ(d.cbProcedures->currentIndex(), -1);
        d.edScriptName->setText("Changed");
        return int(QDialog::Rejected);
    };
    w.acPropertiesExecute();
    EXPECT_EQ(w.Script().Name(), "Kept");
    EXPECT_EQ(w.Script().Main(), "Gone");
    EXPECT_FALSE(w.Editor().Modified());

    w.RunPropertiesDialog = [](TfmProperties &) { return int(QDialog::Accepted); };
    w.acPropertiesExecute(); // OK without change
    EXPECT_EQ(w.Script().Main(), "");
    EXPECT_EQ(w.Script().Name(), "Kept");
    EXPECT_TRUE(w.Editor().Modified());
}

TEST_F(Tools, SyntaxErrorWhileFillingProceduresShowsNoDialog)
{
    TfmScript w({}, dialogs);
    SetText(w, "Sub Main\r\n  If Then\r\nEnd Sub\r\n");
    bool shown = false;
    w.RunPropertiesDialog = [&](TfmProperties &) { shown = true; return int(QDialog::Accepted); };
    EXPECT_THROW(w.acPropertiesExecute(), EOleException);
    EXPECT_FALSE(shown);
}

TEST_F(Tools, OnlyAnIconFileReachesTheDocument)
{
    ASSERT_TRUE(dir.isValid());
    const QString ico = dir.filePath("a.ico");
    {
        QFile f(ico);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const auto bytes = TinyIcon();
        f.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
    }
    const QString png = dir.filePath("b.png");
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(png));
    const QString broken = dir.filePath("c.ico");
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not an icon");
    }

    TfmScript w({}, dialogs);
    TfmProperties d(w.Editor(), dialogs);
    d.LoadFromScript(w.Script());
    dialogs.files = {ico};
    d.btnLoadClick();
    EXPECT_TRUE(d.PictureIsIcon());
    EXPECT_EQ(dialogs.fileDialogs.back().title, "Open icon file");
    EXPECT_EQ(dialogs.fileDialogs.back().filter, "Icon files (*.ico)|*.ico|All files (*.*)|*.*");

    dialogs.files = {broken};
    EXPECT_THROW(d.btnLoadClick(), EInvalidGraphic);
    EXPECT_TRUE(d.PictureIsIcon()); // the previous picture stays
    TScript withIcon;
    d.SaveToScript(withIcon);
    EXPECT_EQ(withIcon.Icon().Bytes(), TinyIcon());

    dialogs.files = {png};
    d.btnLoadClick();
    EXPECT_FALSE(d.PictureIsIcon());
    EXPECT_FALSE(d.Picture().isNull()); // shown
    TScript withPicture;
    withPicture.Icon().LoadFromBytes(TinyIcon());
    d.SaveToScript(withPicture);
    EXPECT_TRUE(withPicture.Icon().Empty());
}

TEST_F(Tools, PropertiesShowAWholeFramedIcon)
{
    TfmScript w({}, dialogs);
    w.Script().Icon().LoadFromBytes(FramedIcon(32));
    w.Script().SetName("Icon shown whole");
    TfmProperties d(w.Editor(), dialogs);
    d.LoadFromScript(w.Script());
    d.show();
    QCoreApplication::processEvents();
    // Every pixel of the icon, frame included, at its own size: a red row at
    // the top and bottom, a red column left and right, blue inside.
    const QImage shot = d.grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const QRect inImage = d.Image1->contentsRect();
    ASSERT_GE(inImage.width(), 32);
    ASSERT_GE(inImage.height(), 32);
    const QPoint origin = d.Image1->mapTo(&d, inImage.topLeft()) +
                          QPoint((inImage.width() - 32) / 2, (inImage.height() - 32) / 2);
    const auto at = [&](int x, int y) { return QColor(shot.pixel(int((origin.x() + x + 0.5) * ratio), int((origin.y() + y + 0.5) * ratio))); };
    for (int i = 0; i < 32; i += 31) {
        for (int j = 1; j < 31; j += 5) {
            EXPECT_EQ(at(i, j).red(), 255) << i << "," << j;
            EXPECT_EQ(at(j, i).red(), 255) << j << "," << i;
        }
    }
    EXPECT_EQ(at(16, 16), QColor(Qt::blue));
    // The sunken frame around it shows below the icon too.
    EXPECT_NE(at(16, 32), at(16, 31));
    EXPECT_NE(at(16, 32), QColor(Qt::blue));
    const QString out = QString::fromUtf8(QUENLO_SOURCE_DIR "/build/properties-icon.png");
    EXPECT_TRUE(shot.save(out));
}

TEST_F(Tools, PropertiesRefuseOkForCharactersAScriptCannotHold)
{
    TfmScript w({}, dialogs);
    TfmProperties d(w.Editor(), dialogs);
    d.LoadFromScript(w.Script());
    d.edScriptName->setText(QStringLiteral("Caf\u00e9"));
    d.edScriptHint->setText(QString::fromUtf8("Shows \u03b1 and more"));
    d.btnOK->click();
    EXPECT_EQ(d.result(), QDialog::Rejected); // still open
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], QString::fromUtf8("The Hint contains '\u03b1', which cannot be stored in a script file."));
    d.edScriptHint->setText(QStringLiteral("Shows a"));
    d.btnOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    d.SaveToScript(w.Script());
    EXPECT_EQ(w.Script().Name(), "Caf\xe9");
}

TEST_F(Tools, SyntaxCheckTakesTheCaretToTheErrorAndScrollsThere)
{
    TfmScript w({}, dialogs);
    w.resize(600, 300);
    w.show();
    QCoreApplication::processEvents();
    std::string text = "Sub Main\r\n";
    for (int i = 0; i < 300; ++i)
        text += "  x = 1\r\n";
    text += "  y = 1 2\r\nEnd Sub\r\n"; // line 302: the 2 is not expected
    SetText(w, text.c_str());
    w.Editor().SetBlockBegin({1, 1});
    w.Editor().SetBlockEnd({3, 2});
    ASSERT_LT(w.Editor().TopLine() + w.Editor().LinesInWindow(), 302);
    w.acSyntaxCheckExecute();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("An error occurred at line 302\r\n")) << dialogs.messages[0].toStdString();
    // The engine's column counts from 0: the caret stands on the character named.
    EXPECT_EQ(w.Editor().CaretXY(), (TPoint{9, 302}));
    EXPECT_FALSE(w.Editor().SelAvail());
    EXPECT_LE(w.Editor().TopLine(), 302);
    EXPECT_LT(302, w.Editor().TopLine() + w.Editor().LinesInWindow());
    EXPECT_EQ(w.StatusPanel(0).text(), "(9,302)");
}
