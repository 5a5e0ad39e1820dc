// SettingsTest.cpp: the main window's highlighter colours come from the
// settings at start; a broken value is reported and the window still opens.
// Every settings access goes to the sandbox's temporary folder.
#include <gtest/gtest.h>

#include "toolkit/Registry.h"
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
