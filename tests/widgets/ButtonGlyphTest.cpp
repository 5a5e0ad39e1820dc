// ButtonGlyphTest.cpp: glyph strips, per-state images and the shared cache.
#include <gtest/gtest.h>

#include <QImage>

#include "toolkit/Bitmap.h"
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

TEST(ButtonGlyph, TransparentColourAutoOrFixed)
{
    // One 8 x 8 image: olive ground (the bottom-left pixel), a fuchsia square,
    // a black square and a pixel in the button face colour.
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Rgb(clOlive));
    for (int i = 0; i < 2; ++i) {
        image.setPixel(1 + i, 1, Rgb(clFuchsia));
        image.setPixel(1 + i, 2, Rgb(clFuchsia));
        image.setPixel(4 + i, 4, Rgb(clBlack));
        image.setPixel(4 + i, 5, Rgb(clBlack));
    }
    image.setPixel(6, 1, Rgb(clBtnFace));
    struct Case {
        const char *name;
        void (*setup)(TBitmap &);
        TTransparentMode mode;
        TColor transparent;
        bool olive, fuchsia, face; // clear in the up image
        bool fuchsiaEmbossed;      // part of the disabled look's shape
    };
    const Case cases[] = {
        {"plain image", [](TBitmap &) {}, tmAuto, clOlive, true, false, false, true},
        {"fixed fuchsia", [](TBitmap &b) { b.SetTransparentColor(clFuchsia); }, tmFixed, clFuchsia, false, true,
         false, false},
        {"fixed system colour", [](TBitmap &b) { b.SetTransparentColor(clBtnFace); }, tmFixed, clBtnFace, false,
         false, true, true},
        {"fixed none", [](TBitmap &b) { b.SetTransparentColor(clNone); }, tmFixed, clNone, false, false, false,
         true},
        {"default colour: back to auto",
         [](TBitmap &b) {
             b.SetTransparentColor(clFuchsia);
             b.SetTransparentColor(clDefault);
         },
         tmAuto, clOlive, true, false, false, true},
        {"fixed mode keeps the bottom-left colour", [](TBitmap &b) { b.SetTransparentMode(tmFixed); }, tmFixed,
         clOlive, true, false, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bitmap(image);
        c.setup(bitmap);
        EXPECT_EQ(bitmap.TransparentMode(), c.mode);
        TButtonGlyph glyph;
        glyph.SetGlyph(bitmap);
        EXPECT_EQ(glyph.TransparentColor(), c.transparent);
        EXPECT_EQ(glyph.Glyph(), bitmap);
        const QImage up = glyph.StateImage(bsUp);
        EXPECT_EQ(qAlpha(up.pixel(0, 7)) == 0, c.olive);
        EXPECT_EQ(qAlpha(up.pixel(1, 1)) == 0, c.fuchsia);
        EXPECT_EQ(qAlpha(up.pixel(6, 1)) == 0, c.face);
        EXPECT_EQ(up.pixel(4, 4), Rgb(clBlack)); // ink stays
        const QImage disabled = glyph.StateImage(bsDisabled);
        EXPECT_EQ(disabled.pixel(1, 1) == Rgb(clBtnShadow), c.fuchsiaEmbossed);
        EXPECT_EQ(disabled.pixel(4, 4), Rgb(clBtnShadow));
    }
}
