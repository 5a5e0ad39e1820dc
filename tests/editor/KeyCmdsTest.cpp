// KeyCmdsTest.cpp: command codes, identifiers, shortcuts and the default bindings.
#include <gtest/gtest.h>

#include <set>

#include "editor/zeKeyCmds.h"

TEST(KeyCmds, CodesAndIdentifiers)
{
    for (TzeEditorCommand c = ecLeft; c <= ecGotoXY; ++c)
        EXPECT_TRUE(CommandToIdent(TzeEditorCommand(c + ecSelection)).has_value()) << c;
    EXPECT_EQ(ecSelLeft - ecLeft, 100);
    EXPECT_EQ(ecSelGotoXY, 117);
    EXPECT_EQ(ecGotoMarker9, 710);
    EXPECT_EQ(ecSetMarker0, 751);
    EXPECT_EQ(ecUserFirst, 1001);

    // 83 entries, in the fixed order, with unique values and names.
    EXPECT_EQ(CommandIdents.front().Name, "ecNone");
    EXPECT_EQ(CommandIdents[1].Name, "ecLeft");
    EXPECT_EQ(CommandIdents[17].Name, "ecGotoXY");
    EXPECT_EQ(CommandIdents[18].Name, "ecSelLeft");
    EXPECT_EQ(CommandIdents[35].Name, "ecSelectAll");
    EXPECT_EQ(CommandIdents[46].Name, "ecChar");
    EXPECT_EQ(CommandIdents[47].Name, "ecImeStr");
    EXPECT_EQ(CommandIdents[62].Name, "ecUserFirst");
    EXPECT_EQ(CommandIdents[63].Name, "ecGotoMarker0");
    EXPECT_EQ(CommandIdents.back().Name, "ecSetMarker9");
    std::set<int> values;
    std::set<std::string_view> names;
    for (const TIdentMapEntry &e : CommandIdents) {
        values.insert(e.Value);
        names.insert(e.Name);
        EXPECT_EQ(IdentToCommand(e.Name), e.Value);
        EXPECT_EQ(CommandToIdent(e.Value), e.Name);
    }
    EXPECT_EQ(values.size(), 83u);
    EXPECT_EQ(names.size(), 83u);

    EXPECT_EQ(IdentToCommand("ECSETMARKER3"), 754);
    EXPECT_EQ(IdentToCommand("ecsetmarker3"), 754);
    EXPECT_FALSE(IdentToCommand("ecSetMarker10").has_value());
    EXPECT_FALSE(CommandToIdent(1005).has_value()); // stored as the plain number
    EXPECT_FALSE(CommandToIdent(18).has_value());
}

TEST(KeyCmds, ShortCutPacking)
{
    EXPECT_EQ(ShortCut(37, ssCtrl | ssShift), 24613);
    std::uint16_t key = 0;
    TShiftState shift = 0;
    ShortCutToKey(40968, key, shift);
    EXPECT_EQ(key, 8);
    EXPECT_EQ(shift, ssShift | ssAlt);
    EXPECT_EQ(ShortCut(300, 0), 0); // keys above 255 have no shortcut
}

TEST(KeyCmds, DuplicateShortCutIsRejected)
{
    TzeKeyStrokes keys(nullptr);
    TzeKeyStroke &a = keys.Add();
    a.SetShortCut(16449);
    a.SetShortCut(16449); // its own shortcut again
    TzeKeyStroke &b = keys.Add();
    b.SetShortCut(38);
    try {
        b.SetShortCut(16449);
        ADD_FAILURE() << "duplicate accepted";
    } catch (const EzeKeyError &e) {
        EXPECT_STREQ(e.what(), "Shortcut already exists");
    }
    EXPECT_EQ(b.GetShortCut(), 38);
    b.SetShortCut(0);
    keys.Add().SetShortCut(0); // several bindings may have none
    EXPECT_EQ(keys.IndexOfShortCut(16449), 0);

    TzeKeyStrokes copy(nullptr);
    copy.Assign(keys);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Items(0).GetShortCut(), 16449);
    EXPECT_THROW(copy.Items(3), Exception);
}

TEST(KeyCmds, DefaultTable)
{
    TzeKeyStrokes keys(nullptr);
    keys.Add();
    keys.LoadDefaults();
    ASSERT_EQ(keys.Count(), 73);
    const std::uint16_t codes[] = {38, 8230, 16422, 40, 8232, 16424, 37, 8229, 16421, 24613, 39, 8231, 16423, 24615,
                                   34, 8226, 16418, 24610, 33, 8225, 16417, 24609, 36, 8228, 16420, 24612, 35, 8227,
                                   16419, 24611, 45, 16429, 8237, 46, 8238, 8, 16392, 32776, 40968, 13, 16449, 16451,
                                   24649, 16461, 16462, 16468, 24661, 16470, 16472, 16473, 24665, 16474, 24666};
    for (std::size_t i = 0; i < std::size(codes); ++i)
        EXPECT_EQ(keys.Items(int(i)).GetShortCut(), codes[i]) << "binding " << i + 1;
    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(keys.Items(53 + n).GetShortCut(), 16432 + n);
        EXPECT_EQ(keys.Items(53 + n).Command(), ecGotoMarker0 + n);
        EXPECT_EQ(keys.Items(63 + n).GetShortCut(), 24624 + n);
        EXPECT_EQ(keys.Items(63 + n).Command(), ecSetMarker0 + n);
    }
    EXPECT_EQ(keys.Items(37).Command(), ecUndo); // Alt+Backspace
    EXPECT_EQ(keys.Items(keys.IndexOfKey(37, ssCtrl | ssShift)).Command(), ecSelWordLeft);
    EXPECT_EQ(keys.IndexOfKey(37, ssCtrl | ssAlt), -1); // modifiers must match exactly
    EXPECT_EQ(keys.Items(keys.IndexOfKey('M', ssCtrl)).Command(), ecLineBreak);
}
