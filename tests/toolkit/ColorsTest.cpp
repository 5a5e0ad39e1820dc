// ColorsTest.cpp: colour values, their Qt form, the classic system colours
// used without a GUI application, and the font-style set.
#include <gtest/gtest.h>

#include <QColor>
#include <QGuiApplication>

#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"

TEST(Colors, PlainColoursAreBlueGreenRed)
{
    EXPECT_EQ(clRed, RGBToColor(255, 0, 0));
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(QColorToColor(QColor(1, 2, 3, 4)), TColor(0x030201));
    EXPECT_EQ(ColorToRGB(clTeal), clTeal);
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
}

TEST(Colors, SystemColourForm)
{
    EXPECT_EQ(clWindow, TColor(0x80000005u));
    EXPECT_EQ(clWindowText, TColor(0x80000008u));
    EXPECT_EQ(clBtnFace, TColor(0x8000000Fu));
    EXPECT_EQ(clBtnShadow, TColor(0x80000010u));
    EXPECT_EQ(clBtnHighlight, TColor(0x80000014u));
    EXPECT_TRUE(IsSystemColor(clHighlight));
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_FALSE(IsSystemColor(clDefault));
}

TEST(Colors, ClassicSchemeWithoutAGuiApplication)
{
    ASSERT_EQ(qGuiApp, nullptr);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(clBtnFace), clSilver);
    EXPECT_EQ(ColorToRGB(clBtnShadow), clGray);
    EXPECT_EQ(ColorToRGB(clHighlight), clNavy);
    EXPECT_EQ(ColorToRGB(clHighlightText), clWhite);
    EXPECT_EQ(ColorToRGB(TColor(0x80000019u)), clBlack); // no such index
    EXPECT_EQ(ColorToRGB(TColor(0x800000C8u)), clBlack);
    EXPECT_EQ(ToQColor(clWindow), QColor(Qt::white));
}

TEST(FontStyles, SetOperations)
{
    TFontStyles styles;
    EXPECT_TRUE(styles.Empty());
    styles |= fsItalic;
    styles |= fsStrikeOut;
    EXPECT_EQ(styles.Bits(), 10u);
    EXPECT_TRUE(styles.Contains(fsItalic));
    EXPECT_FALSE(styles.Contains(fsBold));
    EXPECT_EQ(styles - fsItalic, TFontStyles(fsStrikeOut));
    EXPECT_EQ(fsBold | fsUnderline, TFontStyles::FromBits(5));
    EXPECT_EQ(TFontStyles::FromBits(0xFF).Bits(), 15u);
    EXPECT_NE(TFontStyles(fsBold), TFontStyles(fsItalic));
}
