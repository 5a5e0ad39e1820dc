// SyntaxPropertiesTest.cpp: the syntax check's messages and the properties
// dialog's mapping, procedure list and icon rules.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
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

    w.Editor().Lines().Clear();
    w.Editor().Lines().Delete(0); // no line at all
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
    EXPECT_THROW(control.AddCode("Sub Main\r\nEnd Sub\r\n"), EOleException); // redefined: code accumulates
    EXPECT_TRUE(errorEvent);
    EXPECT_EQ(control.Error().Number, 1041);
    EXPECT_EQ(control.Error().Line, 1);
    control.Reset();
    EXPECT_NO_THROW(control.AddCode("Sub Main\r\nEnd Sub\r\n"));
    control.SetLanguage("JScript");
    EXPECT_THROW(control.AddCode("x = 1"), EOleException);
}

TEST_F(Tools, PropertiesMapFieldsBothWaysAndSelectMainIgnoringCase)
{
    TfmScript w({}, dialogs);
    SetText(w, "Sub Helper(a)\r\nEnd Sub\r\nSub Main\r\nEnd Sub\r\n");
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
