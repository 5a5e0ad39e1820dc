// zeHighlighterTest.cpp: attributes, change notification, the sorted attribute
// list, the editor list, and the attributes' registry load, save and import.
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Registry.h"
#include "highlight/jaVBSSyn.h"
#include "highlight/zeHighlighter.h"
#include "tests/highlight/RegistrySandbox.h"

namespace {

const std::string kQuenlo = "Software\\Tavrix\\Quenlo";

// Stands in for the editor: counts repaints, records its name in a shared
// order list and forgets a destroyed highlighter.
class TFakeEditor : public IzeHighlighterClient {
public:
    explicit TFakeEditor(std::vector<std::string> *order = nullptr, std::string name = {})
        : m_order(order), m_name(std::move(name)) {}
    void HighlighterChanged() override
    {
        ++repaints;
        if (m_order)
            m_order->push_back(m_name);
        if (detachOnRepaint)
            detachOnRepaint->Editors().RemoveEditor(this);
    }
    void HighlighterDestroyed(TzeCustomHighLighter *highlighter) override { destroyed.push_back(highlighter); }

    int repaints = 0;
    std::vector<TzeCustomHighLighter *> destroyed;
    TzeCustomHighLighter *detachOnRepaint = nullptr;

private:
    std::vector<std::string> *m_order;
    std::string m_name;
};

// A highlighter with no scanner, to reach the protected list operations.
class TListHighlighter : public TzeCustomHighLighter {
public:
    using TzeCustomHighLighter::AddAttribute;
    using TzeCustomHighLighter::SetAttributesOnChange;
    bool GetEol() const override { return true; }
    int GetRange() const override { return 0; }
    std::string GetToken() const override { return {}; }
    int GetTokenKind() const override { return 0; }
    int GetTokenPos() const override { return 0; }
    void Next() override {}
    void SetCanvas(TCanvas *) override {}
    void SetLine(std::string_view, int) override {}
    void SetRange(int) override {}
    void ResetRange() override {}
};

struct TAttrValues {
    TColor background;
    TColor foreground;
    int style;
    bool operator==(const TAttrValues &) const = default;
};

TAttrValues ValuesOf(const TzeHighLightAttributes &a)
{
    return {a.Background(), a.Foreground(), a.IntegerStyle()};
}

void SetValues(TzeHighLightAttributes &a, const TAttrValues &v)
{
    a.SetBackground(v.background);
    a.SetForeground(v.foreground);
    a.SetIntegerStyle(v.style);
}

// Distinct values per attribute index, system colours among them.
TAttrValues Pattern(int index, int seed)
{
    const TColor plain = RGBToColor(10 * index + seed, 255 - index, seed);
    return {index % 2 ? clBtnFace : plain, index % 3 ? plain + 1 : clHighlightText, (index + seed) % 16};
}

std::vector<TAttrValues> AllValues(const TzeCustomHighLighter &h)
{
    std::vector<TAttrValues> values;
    for (int i = 0; i < h.AttrCount(); ++i)
        values.push_back(ValuesOf(*h.Attribute(i)));
    return values;
}

void FillPattern(TzeCustomHighLighter &h, int seed)
{
    for (int i = 0; i < h.AttrCount(); ++i)
        SetValues(*h.Attribute(i), Pattern(i, seed));
}

} // namespace

TEST(HighLightAttributes, DefaultsAndSettersNotifyOnlyOnChange)
{
    TzeHighLightAttributes a("comment");
    EXPECT_EQ(a.Name(), "comment");
    EXPECT_EQ(a.Background(), TColor(0x80000005u));
    EXPECT_EQ(a.Foreground(), TColor(0x80000008u));
    EXPECT_TRUE(a.Style().Empty());

    std::vector<TzeHighLightAttributes *> senders;
    a.OnChange = [&](TzeHighLightAttributes *sender) { senders.push_back(sender); };
    a.SetBackground(clWindow);
    a.SetForeground(clWindowText);
    a.SetStyle(TFontStyles());
    EXPECT_TRUE(senders.empty());

    a.SetBackground(clYellow);
    a.SetForeground(clNavy);
    a.SetStyle(fsBold | fsUnderline);
    ASSERT_EQ(senders.size(), 3u);
    EXPECT_EQ(senders[0], &a);
    EXPECT_EQ(a.Background(), clYellow);
    EXPECT_EQ(a.Foreground(), clNavy);
    EXPECT_EQ(a.IntegerStyle(), 5);
}

TEST(HighLightAttributes, IntegerStyleBits)
{
    TzeHighLightAttributes a("x");
    int notifications = 0;
    a.OnChange = [&](TzeHighLightAttributes *) { ++notifications; };

    a.SetIntegerStyle(15);
    EXPECT_TRUE(a.Style().Contains(fsBold));
    EXPECT_TRUE(a.Style().Contains(fsItalic));
    EXPECT_TRUE(a.Style().Contains(fsUnderline));
    EXPECT_TRUE(a.Style().Contains(fsStrikeOut));
    EXPECT_EQ(a.IntegerStyle(), 15);
    // bold, then each addition on its own
    EXPECT_EQ(notifications, 4);

    notifications = 0;
    a.SetIntegerStyle(0);
    EXPECT_TRUE(a.Style().Empty());
    EXPECT_EQ(notifications, 1);

    notifications = 0;
    a.SetIntegerStyle(6);
    EXPECT_EQ(a.Style(), fsItalic | fsUnderline);
    EXPECT_EQ(notifications, 2);

    a.SetIntegerStyle(0x13);
    EXPECT_EQ(a.IntegerStyle(), 3);
}

TEST(HighLightAttributes, AssignCopiesEverythingWithoutNotifying)
{
    TzeHighLightAttributes source("string");
    source.SetBackground(clAqua);
    source.SetForeground(clBtnShadow);
    source.SetIntegerStyle(9);
    TzeHighLightAttributes target("symbol");
    int notifications = 0;
    target.OnChange = [&](TzeHighLightAttributes *) { ++notifications; };
    target.Assign(source);
    EXPECT_EQ(notifications, 0);
    EXPECT_EQ(ValuesOf(target), ValuesOf(source));
    EXPECT_EQ(target.Name(), "string");
}

TEST(EditorList, AddRemoveAndRepaintInListOrder)
{
    std::vector<std::string> order;
    TFakeEditor first(&order, "first"), second(&order, "second");
    TzeEditorList list;
    list.AddEditor(&first);
    list.AddEditor(&second);
    list.AddEditor(&first);
    list.AddEditor(nullptr);
    EXPECT_EQ(list.Count(), 2);
    list.InvalidateAll();
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second"}));

    list.RemoveEditor(&first);
    list.RemoveEditor(&first);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0), &second);
}

TEST(EditorList, AttributeChangesRepaintAttachedEditorsButAssignDoesNot)
{
    TFakeEditor editor, other, detached;
    TjaVbsSyn syn;
    syn.Editors().AddEditor(&editor);
    syn.Editors().AddEditor(&other);
    // an editor that leaves during the repaint does not upset the others
    other.detachOnRepaint = &syn;

    syn.KeyAttri()->SetForeground(clRed);
    EXPECT_EQ(editor.repaints, 1);
    EXPECT_EQ(other.repaints, 1);
    EXPECT_EQ(syn.Editors().Count(), 1);
    EXPECT_EQ(detached.repaints, 0);

    // setting the same value again repaints nothing
    syn.KeyAttri()->SetForeground(clRed);
    EXPECT_EQ(editor.repaints, 1);

    // every attribute of the list is wired
    for (int i = 0; i < syn.AttrCount(); ++i)
        syn.Attribute(i)->SetBackground(clSilver);
    EXPECT_EQ(editor.repaints, 1 + syn.AttrCount());

    // Assign between two attributes changes colours without a repaint
    syn.StringAttri()->SetForeground(clGreen);
    const int before = editor.repaints;
    syn.SymbolAttri()->Assign(*syn.StringAttri());
    EXPECT_EQ(editor.repaints, before);
    EXPECT_EQ(syn.SymbolAttri()->Foreground(), clGreen);
}

TEST(EditorList, DestroyedHighlighterTellsItsEditors)
{
    TFakeEditor editor;
    TzeCustomHighLighter *address = nullptr;
    {
        TjaVbsSyn syn;
        address = &syn;
        syn.Editors().AddEditor(&editor);
    }
    ASSERT_EQ(editor.destroyed.size(), 1u);
    EXPECT_EQ(editor.destroyed[0], address);
}

TEST(CustomHighLighter, AttributeListIsSortedWithoutDuplicates)
{
    TListHighlighter h;
    TzeHighLightAttributes *b = h.AddAttribute(std::make_unique<TzeHighLightAttributes>("beta"));
    TzeHighLightAttributes *a = h.AddAttribute(std::make_unique<TzeHighLightAttributes>("Alpha"));
    TzeHighLightAttributes *c = h.AddAttribute(std::make_unique<TzeHighLightAttributes>("gamma"));
    EXPECT_EQ(h.AddAttribute(std::make_unique<TzeHighLightAttributes>("alpha")), nullptr);
    EXPECT_EQ(h.AddAttribute(std::make_unique<TzeHighLightAttributes>("BETA")), nullptr);
    EXPECT_EQ(h.AddAttribute(nullptr), nullptr);
    ASSERT_EQ(h.AttrCount(), 3);
    EXPECT_EQ(h.Attribute(0), a);
    EXPECT_EQ(h.Attribute(1), b);
    EXPECT_EQ(h.Attribute(2), c);
    EXPECT_EQ(h.Attribute(-1), nullptr);
    EXPECT_EQ(h.Attribute(3), nullptr);

    int changes = 0;
    h.SetAttributesOnChange([&](TzeHighLightAttributes *) { ++changes; });
    a->SetBackground(clRed);
    c->SetStyle(fsBold);
    EXPECT_EQ(changes, 2);
}

TEST(CustomHighLighter, BaseDefaults)
{
    TListHighlighter h;
    EXPECT_EQ(h.GetLanguageName(), "");
    EXPECT_EQ(h.GetCapabilities(), hcRegistry);
    EXPECT_EQ(h.DefaultFilter(), "");
    h.SetDefaultFilter("Text (*.txt)|*.TXT");
    EXPECT_EQ(h.DefaultFilter(), "Text (*.txt)|*.TXT");
    const TzeIdentChars chars = h.GetIdentChars();
    EXPECT_EQ(chars.count(), 223u);
    EXPECT_FALSE(chars[32]);
    EXPECT_TRUE(chars[33]);
    EXPECT_TRUE(chars[255]);
}

class HighlighterRegistryTest : public RegistrySandboxTest {};

TEST_F(HighlighterRegistryTest, SaveThenLoadRestoresEveryAttribute)
{
    TjaVbsSyn saved;
    FillPattern(saved, 1);
    saved.CommentAttri()->SetForeground(clWindowText);
    ASSERT_TRUE(saved.SaveToRegistry(HKEY_CURRENT_USER, kQuenlo));

    TFakeEditor editor;
    TjaVbsSyn loaded;
    FillPattern(loaded, 7);
    loaded.Editors().AddEditor(&editor);
    ASSERT_TRUE(loaded.LoadFromRegistry(HKEY_CURRENT_USER, kQuenlo));
    EXPECT_EQ(AllValues(loaded), AllValues(saved));
    EXPECT_GT(editor.repaints, 0);

    // one subkey per attribute with three integer values, system colours as their bit pattern
    TBetterRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(kQuenlo + "\\comment"));
    EXPECT_EQ(registry.ReadInteger("Foreground"), std::int32_t(0x80000008u));
    EXPECT_EQ(registry.ReadInteger("Background"), saved.CommentAttri()->Background());
    EXPECT_EQ(registry.ReadInteger("Style"), saved.CommentAttri()->IntegerStyle());
    for (const char *name : {"identifier", "number", "reserved word", "space", "string", "symbol"})
        EXPECT_TRUE(registry.KeyExists("\\" + kQuenlo + "\\" + name)) << name;
}

TEST_F(HighlighterRegistryTest, DeletedSubkeyStopsLoadingAtThatAttribute)
{
    TjaVbsSyn saved;
    FillPattern(saved, 2);
    ASSERT_TRUE(saved.SaveToRegistry(HKEY_CURRENT_USER, kQuenlo));
    TRegistry registry;
    ASSERT_TRUE(registry.DeleteKey(kQuenlo + "\\number"));

    TjaVbsSyn loaded;
    FillPattern(loaded, 9);
    const std::vector<TAttrValues> before = AllValues(loaded);
    EXPECT_FALSE(loaded.LoadFromRegistry(HKEY_CURRENT_USER, kQuenlo));
    const std::vector<TAttrValues> after = AllValues(loaded);
    const std::vector<TAttrValues> stored = AllValues(saved);
    // comment and identifier come from the registry, number onwards keep theirs
    EXPECT_EQ(after[0], stored[0]);
    EXPECT_EQ(after[1], stored[1]);
    for (size_t i = 2; i < after.size(); ++i)
        EXPECT_EQ(after[i], before[i]) << loaded.Attribute(int(i))->Name();
}

TEST_F(HighlighterRegistryTest, MissingKeyOrValuesLeaveAttributesAlone)
{
    TjaVbsSyn syn;
    FillPattern(syn, 3);
    const std::vector<TAttrValues> before = AllValues(syn);
    EXPECT_FALSE(syn.LoadFromRegistry(HKEY_CURRENT_USER, kQuenlo));
    EXPECT_EQ(AllValues(syn), before);

    ASSERT_TRUE(syn.SaveToRegistry(HKEY_CURRENT_USER, kQuenlo));
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\string", false));
    ASSERT_TRUE(registry.DeleteValue("Foreground"));
    registry.WriteInteger("Background", clLime);
    registry.CloseKey();

    syn.StringAttri()->SetForeground(clPurple);
    EXPECT_TRUE(syn.LoadFromRegistry(HKEY_CURRENT_USER, kQuenlo));
    EXPECT_EQ(syn.StringAttri()->Foreground(), clPurple);
    EXPECT_EQ(syn.StringAttri()->Background(), clLime);
}

TEST_F(HighlighterRegistryTest, WrongTypedValueRaisesNamingIt)
{
    TjaVbsSyn syn;
    ASSERT_TRUE(syn.SaveToRegistry(HKEY_CURRENT_USER, kQuenlo));
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kQuenlo + "\\space", false));
    registry.WriteString("Background", "white");
    registry.CloseKey();
    try {
        syn.LoadFromRegistry(HKEY_CURRENT_USER, kQuenlo);
        FAIL() << "no error raised";
    } catch (const ERegistryException &e) {
        EXPECT_EQ(e.Message(), "Invalid data type for 'Background'");
    }
}

TEST_F(HighlighterRegistryTest, AttributeLoadAndSaveRestoreTheCurrentKey)
{
    TzeHighLightAttributes a("number");
    TBetterRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kQuenlo, true));
    ASSERT_TRUE(a.SaveToRegistry(registry));
    EXPECT_EQ(registry.CurrentPath(), kQuenlo);
    ASSERT_TRUE(a.LoadFromRegistry(registry));
    EXPECT_EQ(registry.CurrentPath(), kQuenlo);
    TzeHighLightAttributes missing("absent");
    EXPECT_FALSE(missing.LoadFromRegistry(registry));
    EXPECT_EQ(registry.CurrentPath(), kQuenlo);
}

TEST_F(HighlighterRegistryTest, SaveFailsWhenTheKeyCannotBeOpened)
{
    TjaVbsSyn syn;
    EXPECT_FALSE(syn.SaveToRegistry(HKEY_CURRENT_USER, "Environment\\Quenlo"));
}

TEST_F(HighlighterRegistryTest, ImportOldLayout)
{
    const std::string key = "Software\\Other\\Editor\\Highlight";
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(key, true));
    registry.WriteString("Comment", "x,y,BIU,0,1,9,3");
    registry.WriteString("Key", "x,y,B,1,0,2,12");
    registry.WriteString("Short", "x,y,I,1,1");
    registry.WriteString("Range", "x,y,,0,1,16,0");
    registry.WriteString("Text", "x,y,,0,0,a,0");
    registry.WriteInteger("Typed", 1);
    registry.CloseKey();

    TzeHighLightAttributes a("comment");
    ASSERT_TRUE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Comment", true));
    EXPECT_EQ(ValuesOf(a), (TAttrValues{clWindow, clRed, 7}));
    ASSERT_TRUE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Key", true));
    EXPECT_EQ(ValuesOf(a), (TAttrValues{clBlue, clWindowText, 1}));
    // missing fields are not needed when both defaults are set
    ASSERT_TRUE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Short", true));
    EXPECT_EQ(ValuesOf(a), (TAttrValues{clWindow, clWindowText, 2}));

    SetValues(a, {clTeal, clOlive, 4});
    EXPECT_FALSE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Range", true)); // colour number 16
    EXPECT_FALSE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Text", true));  // not a number
    EXPECT_FALSE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Typed", true)); // not a string
    EXPECT_FALSE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Missing", true));
    EXPECT_FALSE(a.ImportFromRegistry(HKEY_CURRENT_USER, key + "\\Nowhere", "Comment", true));
    EXPECT_EQ(ValuesOf(a), (TAttrValues{clTeal, clOlive, 4}));
}

TEST_F(HighlighterRegistryTest, ImportNewLayout)
{
    const std::string key = "Software\\Other\\Editor\\Colors";
    const auto write = [&](const std::string &name, int fg, int bg, const char *bold, const char *defFg,
                           const char *defBg) {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(key + "\\" + name, true));
        registry.WriteInteger("Foreground Color", fg);
        registry.WriteInteger("Background Color", bg);
        registry.WriteString("Bold", bold);
        registry.WriteString("Italic", "0");
        registry.WriteString("Underline", "True");
        registry.WriteString("Default Foreground", defFg);
        registry.WriteString("Default Background", defBg);
    };
    write("Comment", 2, 14, "FaLsE", "0", "False");
    write("Key", 20, 99, "1", "yes", "-1");
    write("Range", 16, 0, "0", "0", "1");

    TzeHighLightAttributes a("comment");
    ASSERT_TRUE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Comment", false));
    EXPECT_EQ(ValuesOf(a), (TAttrValues{clAqua, clGreen, 4}));
    // defaults win over out-of-range numbers, which are then not read
    ASSERT_TRUE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Key", false));
    EXPECT_EQ(ValuesOf(a), (TAttrValues{clWindow, clWindowText, 5}));

    SetValues(a, {clMaroon, clGray, 8});
    EXPECT_FALSE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Range", false));
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(key + "\\Comment", false));
    ASSERT_TRUE(registry.DeleteValue("Italic"));
    registry.CloseKey();
    EXPECT_FALSE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Comment", false));
    EXPECT_FALSE(a.ImportFromRegistry(HKEY_CURRENT_USER, key, "Missing", false));
    EXPECT_EQ(ValuesOf(a), (TAttrValues{clMaroon, clGray, 8}));
}
