// ButtonGlyphTest.cpp: glyph strips, per-state images and the shared cache.
#include <gtest/gtest.h>

#include <QImage>

#include "widgets/ButtonGlyph.h"

namespace {

QRgb Rgb(TColor color)
{
    return ToQColor(color).rgb();
}

} // namespace

TEST(ButtonGlyph, StatesEmbossAndSharedCache)
{
    // Two 8 x 8 images on olive (the bottom-left pixel: transparent): a black
    // square in the first, white and grey pixels in the second.
    QImage strip(16, 8, QImage::Format_ARGB32);
    strip.fill(Rgb(clOlive));
    for (int y = 2; y < 4; ++y)
        for (int x = 2; x < 4; ++x)
            strip.setPixel(x, y, Rgb(clBlack));
    strip.setPixel(10, 2, Rgb(clGray));
    strip.setPixel(11, 2, Rgb(clWhite));
    {
        TButtonGlyph two, one;
        int changes = 0;
        two.OnChange = [&] { ++changes; };
        two.SetGlyph(strip);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(two.NumGlyphs(), 2);
        EXPECT_EQ(two.ImageSize(), QSize(8, 8));
        EXPECT_EQ(two.TransparentColor(), clOlive);

        const QImage up = two.StateImage(bsUp);
        EXPECT_EQ(qAlpha(up.pixel(0, 0)), 0);
        EXPECT_EQ(up.pixel(2, 2), Rgb(clBlack));
        EXPECT_EQ(two.StateImage(bsDown), up); // no own down image
        const QImage disabled = two.StateImage(bsDisabled); // its own, recoloured
        EXPECT_EQ(disabled.pixel(2, 2), Rgb(clBtnShadow));
        EXPECT_EQ(disabled.pixel(3, 2), Rgb(clBtnHighlight));
        EXPECT_EQ(disabled.pixel(0, 0), Rgb(clBtnFace));

        one.SetGlyph(strip.copy(0, 0, 8, 8));
        EXPECT_EQ(one.NumGlyphs(), 1);
        const QImage embossed = one.StateImage(bsDisabled);
        EXPECT_EQ(embossed.pixel(2, 2), Rgb(clBtnShadow));
        EXPECT_EQ(embossed.pixel(3, 3), Rgb(clBtnShadow));
        EXPECT_EQ(embossed.pixel(4, 4), Rgb(clBtnHighlight)); // the shape, one pixel down-right
        EXPECT_EQ(embossed.pixel(0, 0), Rgb(clBtnFace));

        ASSERT_NE(TButtonGlyph::Cache(), nullptr);
        EXPECT_EQ(TButtonGlyph::Cache()->ListCount(), 1); // one list per size, shared
        two.Invalidate();
        EXPECT_EQ(TButtonGlyph::Cache()->ListCount(), 1);
        EXPECT_EQ(one.StateImage(bsDisabled), embossed);
        one.Invalidate();
        EXPECT_EQ(TButtonGlyph::Cache()->ListCount(), 0);
        EXPECT_EQ(two.StateImage(bsExclusive), up); // beyond NumGlyphs: image 0, rebuilt
    }
    EXPECT_EQ(TButtonGlyph::Cache(), nullptr); // gone with the last glyph
}
