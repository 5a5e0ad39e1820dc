// CanvasTest.cpp: the highlighter applying attributes to a canvas only where
// they differ, TCanvas drawing through QPainter, and system colours resolved
// through the application palette.
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "highlight/jaVBSSyn.h"

namespace {

// Counts every assignment a highlighter makes.
class TRecordingCanvas : public TCanvas {
public:
    using TCanvas::TCanvas;
    void SetBrushColor(TColor color) override
    {
        ++brushSets;
        TCanvas::SetBrushColor(color);
    }
    void SetFontColor(TColor color) override
    {
        ++fontColorSets;
        TCanvas::SetFontColor(color);
    }
    void SetFontStyle(TFontStyles style) override
    {
        ++styleSets;
        TCanvas::SetFontStyle(style);
    }
    int brushSets = 0;
    int fontColorSets = 0;
    int styleSets = 0;
};

void ExpectCanvasShows(const TCanvas &canvas, const TzeHighLightAttributes &a)
{
    EXPECT_EQ(canvas.BrushColor(), a.Background()) << a.Name();
    EXPECT_EQ(canvas.FontColor(), a.Foreground()) << a.Name();
    EXPECT_EQ(canvas.FontStyle(), a.Style()) << a.Name();
}

// Pixels of rect within tolerance of color in each channel; antialiased
// glyphs need a tolerance.
int CountPixels(const QImage &image, const QRect &rect, QColor color, int tolerance = 0)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            n += std::abs(p.red() - color.red()) <= tolerance && std::abs(p.green() - color.green()) <= tolerance &&
                 std::abs(p.blue() - color.blue()) <= tolerance;
        }
    return n;
}

} // namespace

TEST(CanvasApplication, AssignsOnlyWhatDiffers)
{
    TjaVbsSyn syn;
    for (int i = 0; i < syn.AttrCount(); ++i) {
        syn.Attribute(i)->SetBackground(clWhite);
        syn.Attribute(i)->SetForeground(clBlack);
        syn.Attribute(i)->SetStyle(TFontStyles());
    }
    syn.KeyAttri()->SetForeground(clNavy);
    syn.KeyAttri()->SetStyle(fsBold);
    syn.StringAttri()->SetBackground(clYellow);

    TRecordingCanvas canvas;
    canvas.SetBrushColor(clWhite);
    canvas.SetFontColor(clBlack);
    canvas.SetFontStyle(TFontStyles());
    canvas.brushSets = canvas.fontColorSets = canvas.styleSets = 0;
    syn.SetCanvas(&canvas);

    // If(key) sp x sp Then(key): the key's colour and style go on for If, off
    // for the space and on again for Then; x matches the space already.
    const std::string line = "If x Then";
    syn.SetLine(line, 0);
    ExpectCanvasShows(canvas, *syn.KeyAttri());
    syn.Next();
    ExpectCanvasShows(canvas, *syn.SpaceAttri());
    syn.NextToEol();
    EXPECT_EQ(canvas.brushSets, 0);
    EXPECT_EQ(canvas.fontColorSets, 3);
    EXPECT_EQ(canvas.styleSets, 3);
    // the end of the line applies nothing: the last token's attribute stays
    ExpectCanvasShows(canvas, *syn.KeyAttri());

    canvas.brushSets = canvas.fontColorSets = canvas.styleSets = 0;
    const std::string strings = "\"a\"\"b\" x";
    syn.SetLine(strings, 1);
    ExpectCanvasShows(canvas, *syn.StringAttri());
    syn.NextToEol();
    // one brush change into the strings, one out; the second string changes nothing
    EXPECT_EQ(canvas.brushSets, 2);
    EXPECT_EQ(canvas.fontColorSets, 1);
    EXPECT_EQ(canvas.styleSets, 1);
}

TEST(CanvasApplication, EveryKindShowsItsAttribute)
{
    TjaVbsSyn syn;
    // colours distinct per attribute
    for (int i = 0; i < syn.AttrCount(); ++i) {
        syn.Attribute(i)->SetBackground(RGBToColor(i, 0, 0));
        syn.Attribute(i)->SetForeground(RGBToColor(0, i, 0));
        syn.Attribute(i)->SetIntegerStyle(i);
    }
    TRecordingCanvas canvas;
    syn.SetCanvas(&canvas);
    const std::string line = "Dim x ' c\"s\" 1 + [";
    syn.SetLine(line, 0);
    while (!syn.GetEol()) {
        const TzeHighLightAttributes *expected = nullptr;
        switch (syn.GetTokenKind()) {
        case tkComment: expected = syn.CommentAttri(); break;
        case tkIdentifier: expected = syn.IdentifierAttri(); break;
        case tkKey: expected = syn.KeyAttri(); break;
        case tkNumber: expected = syn.NumberAttri(); break;
        case tkSpace: expected = syn.SpaceAttri(); break;
        case tkString: expected = syn.StringAttri(); break;
        case tkSymbol: expected = syn.SymbolAttri(); break;
        }
        ASSERT_NE(expected, nullptr) << syn.GetTokenKind();
        ExpectCanvasShows(canvas, *expected);
        syn.Next();
    }

    // without a canvas nothing is applied
    syn.SetCanvas(nullptr);
    canvas.brushSets = canvas.fontColorSets = canvas.styleSets = 0;
    syn.SetLine(line, 0);
    syn.NextToEol();
    EXPECT_EQ(canvas.brushSets + canvas.fontColorSets + canvas.styleSets, 0);
}

TEST(CanvasApplication, PaintsTokensThroughQPainter)
{
    constexpr int kCell = 12;
    QImage image(kCell * 12, 24, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    TCanvas canvas(&painter);
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(16);
    canvas.SetFont(font);

    TjaVbsSyn syn;
    syn.KeyAttri()->SetBackground(clYellow);
    syn.KeyAttri()->SetForeground(clRed);
    syn.SpaceAttri()->SetBackground(clBlue);
    syn.IdentifierAttri()->SetBackground(clLime);
    syn.IdentifierAttri()->SetForeground(clBlack);
    syn.SetCanvas(&canvas);
    std::array<int, 64> advances;
    advances.fill(kCell);

    // as the painter does it: each token at its column, opaque in its cells
    const std::string line = "If  ab";
    syn.SetLine(line, 0);
    while (!syn.GetEol()) {
        const std::string token = syn.GetToken();
        const int x = syn.GetTokenPos() * kCell;
        canvas.TextRect(QRect(x, 0, int(token.size()) * kCell, 24), x, 2, token, advances);
        syn.Next();
    }
    painter.end();

    const auto countIn = [&](int firstCell, int cells, QColor color, int tolerance = 0) {
        return CountPixels(image, QRect(firstCell * kCell, 0, cells * kCell, 24), color, tolerance);
    };
    const int keyArea = 2 * kCell * 24;
    // "If": yellow cells with red glyphs
    EXPECT_GT(countIn(0, 2, Qt::yellow), keyArea / 2);
    EXPECT_GT(countIn(0, 2, Qt::red, 80), 10);
    // the two spaces: all blue
    EXPECT_EQ(countIn(2, 2, Qt::blue), 2 * kCell * 24);
    // "ab": green with black glyphs, nothing drawn past the line
    EXPECT_GT(countIn(4, 2, Qt::green), keyArea / 2);
    EXPECT_GT(countIn(4, 2, Qt::black, 80), 10);
    EXPECT_EQ(countIn(6, 6, Qt::black), 6 * kCell * 24);
}

TEST(CanvasApplication, TextBeyondTheAdvanceTableIsNotDrawn)
{
    QImage image(120, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TCanvas canvas(&painter);
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(14);
    canvas.SetFont(font);
    canvas.SetFontColor(clBlack);
    const std::array<int, 2> advances = {10, 10};
    canvas.TextRect(QRect(0, 0, 120, 20), 0, 2, "MMMMMMMM", advances, false);
    painter.end();
    const QRect within(0, 0, 22, 20), beyond(22, 0, 98, 20);
    EXPECT_LT(CountPixels(image, within, Qt::white), within.width() * within.height() - 10);
    EXPECT_EQ(CountPixels(image, beyond, Qt::white), beyond.width() * beyond.height());
}

TEST(Colors, SystemColoursFollowThePalette)
{
    ASSERT_NE(qGuiApp, nullptr);
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(ColorToRGB(clWindow), QColorToColor(palette.color(QPalette::Active, QPalette::Base)));
    EXPECT_EQ(ColorToRGB(clWindowText), QColorToColor(palette.color(QPalette::Active, QPalette::Text)));
    EXPECT_EQ(ColorToRGB(clHighlight), QColorToColor(palette.color(QPalette::Active, QPalette::Highlight)));
    EXPECT_EQ(ColorToRGB(clHighlightText),
              QColorToColor(palette.color(QPalette::Active, QPalette::HighlightedText)));
    EXPECT_EQ(ColorToRGB(clBtnFace), QColorToColor(palette.color(QPalette::Active, QPalette::Button)));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), QColorToColor(palette.color(QPalette::Active, QPalette::Light)));
    EXPECT_EQ(ColorToRGB(clBtnShadow), QColorToColor(palette.color(QPalette::Active, QPalette::Dark)));
    EXPECT_EQ(ToQColor(clWindow), palette.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(ColorToRGB(TColor(0x800000FFu)), clBlack);
    EXPECT_EQ(ColorToRGB(clSilver), clSilver);
}
