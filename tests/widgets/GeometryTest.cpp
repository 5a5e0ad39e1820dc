// GeometryTest.cpp: the colour picker's layout, hit tests, keyboard moves,
// placement and comb arithmetic, without a display.
#include <gtest/gtest.h>

#include <set>

#include "widgets/ButtonLayout.h"
#include "widgets/ColorComb.h"
#include "widgets/ColorPopupLayout.h"

namespace {

TPopupOptions Options(bool hasDefault, bool hasCustom, bool system)
{
    TPopupOptions options;
    options.hasDefault = hasDefault;
    options.hasCustom = hasCustom;
    options.showSystemColors = system;
    options.textExtent = QSize(60, 13);
    return options;
}

} // namespace

TEST(PopupLayout, DefaultsWithoutTexts)
{
    const TPopupLayout layout = ComputePopupLayout(Options(false, false, false));
    EXPECT_EQ(layout.windowRect, QRect(0, 0, 164, 98));
    EXPECT_EQ(CellRect(layout, 0), Edges(10, 4, 28, 22));
    EXPECT_EQ(CellRect(layout, 39), Edges(136, 76, 154, 94));
    EXPECT_EQ(layout.combSize, 63);
    EXPECT_EQ(layout.combCellSize, 11);
    EXPECT_EQ(layout.combRect, Edges(10, 98, 136, 224));
    EXPECT_EQ(layout.greyCombRect, Edges(10, 220, 147, 246));
    EXPECT_EQ(layout.intensityRect, Edges(136, 109, 156, 213));

    TPopupOptions texts = Options(true, true, true);
    texts.textExtent = QSize(200, 13); // wider than the grid: the window grows
    const TPopupLayout wide = ComputePopupLayout(texts);
    EXPECT_EQ(wide.textSize, QSize(204, 23));
    EXPECT_EQ(wide.defaultTextRect, Edges(10, 4, 194, 27));
    EXPECT_EQ(CellRect(wide, 0).topLeft(), QPoint(10, 27));
    EXPECT_EQ(CellRect(wide, 40).topLeft(), QPoint(10, 27 + 90 + 6)); // 3M below the named grid
    EXPECT_EQ(wide.customTextRect, Edges(10, 201, 194, 224));
    EXPECT_EQ(wide.customPreviewRect, Edges(177, 206, 189, 218));
    EXPECT_EQ(wide.windowRect, Edges(0, 0, 204, 228));
    EXPECT_EQ(wide.CombWindowHeight(), 4 + 228 + 126 + 22);
}

// Every pixel of every layout hits the item whose drawn cell holds it, or none.
TEST(PopupLayout, HitTestIsTheInverseOfCellRect)
{
    for (int bits = 0; bits < 8; ++bits) {
        const TPopupLayout layout = ComputePopupLayout(Options(bits & 1, bits & 2, bits & 4));
        SCOPED_TRACE(bits);
        std::set<int> seen;
        for (int y = -2; y < layout.windowRect.height() + 2; ++y)
            for (int x = -2; x < layout.windowRect.width() + 2; ++x) {
                const QPoint p(x, y);
                int expected = kNoItem;
                for (int item = kDefaultItem; item < kColorCount; ++item)
                    if ((item >= 0 && item <= LastItem(layout)) || (item == kDefaultItem && (bits & 1)) ||
                        (item == kCustomItem && (bits & 2)))
                        if (CellRect(layout, item).contains(p))
                            expected = item;
                ASSERT_EQ(HitTest(layout, p), expected) << x << "," << y;
                seen.insert(expected);
            }
        // Every item and present button is reachable, nothing else.
        EXPECT_EQ(int(seen.size()), LastItem(layout) + 2 + (bits & 1) + (bits >> 1 & 1));
        for (int item = 0; item <= LastItem(layout); ++item) {
            const QRect r = CellRect(layout, item);
            const int row = item < kFirstSystemItem ? item / 8 : layout.rowCount + (item - kFirstSystemItem) / 8;
            EXPECT_EQ(ItemAt(layout, row, item % 8), item);
            EXPECT_TRUE(layout.windowRect.contains(r));
        }
    }
}

TEST(PopupLayout, KeyboardMoves)
{
    const TPopupLayout plain = ComputePopupLayout(Options(false, false, false));
    const TPopupLayout both = ComputePopupLayout(Options(true, true, false));
    const TPopupLayout defaultOnly = ComputePopupLayout(Options(true, false, false));
    const TPopupLayout customSystem = ComputePopupLayout(Options(false, true, true));
    struct Row {
        const TPopupLayout *layout;
        int from;
        TPopupMove move;
        int to;
    } const rows[] = {
        {&plain, 9, pmLeft, 8},          {&plain, 8, pmLeft, 7},  {&plain, 0, pmLeft, 39},
        {&both, 0, pmLeft, kDefaultItem}, {&both, kDefaultItem, pmLeft, kCustomItem},
        {&both, kCustomItem, pmLeft, 39}, {&customSystem, 0, pmLeft, kCustomItem},
        {&plain, 12, pmUp, 4},           {&plain, 4, pmUp, 39},   {&both, 4, pmUp, kDefaultItem},
        {&customSystem, 44, pmUp, 36},   {&customSystem, kCustomItem, pmUp, 64},
        {&plain, 7, pmRight, 8},         {&plain, 39, pmRight, 0}, {&defaultOnly, 39, pmRight, kDefaultItem},
        {&both, 39, pmRight, kCustomItem}, {&both, kCustomItem, pmRight, kDefaultItem},
        {&both, kDefaultItem, pmRight, 0}, {&customSystem, 39, pmRight, 40}, {&customSystem, 64, pmRight, kCustomItem},
        {&plain, 3, pmDown, 11},         {&plain, 35, pmDown, 0}, {&both, 35, pmDown, kCustomItem},
        {&both, kCustomItem, pmDown, kDefaultItem}, {&both, kDefaultItem, pmDown, 0},
        {&customSystem, 35, pmDown, 43}, {&customSystem, 57, pmDown, kCustomItem}, {&customSystem, 56, pmDown, 64},
        {&plain, kNoItem, pmDown, 0},    {&plain, kNoItem, pmLeft, 39},
    };
    for (const Row &row : rows)
        EXPECT_EQ(MoveItem(*row.layout, row.from, row.move), row.to) << row.from << " move " << row.move;
}

TEST(PopupLayout, PlacementBelowAboveAndInside)
{
    const QRect screen(0, 0, 800, 600);
    const QSize popup(164, 98);
    EXPECT_EQ(PlacePopup(QRect(100, 100, 45, 22), popup, screen), QPoint(99, 122));
    EXPECT_EQ(PlacePopup(QRect(100, 550, 45, 22), popup, screen), QPoint(99, 452)); // above
    EXPECT_EQ(PlacePopup(QRect(780, 100, 45, 22), popup, screen), QPoint(636, 122)); // pulled left
    EXPECT_EQ(PlacePopup(QRect(0, 100, 45, 22), popup, screen), QPoint(0, 122));     // not off the left
    EXPECT_EQ(PlacePopup(QRect(900, 100, 45, 22), popup, QRect(800, 0, 800, 600)), QPoint(899, 122));
}

TEST(ColorComb, CellsCornersAndGreyRow)
{
    const TCombArray cells = BuildColorCombs(63, 7, TColorFractions{});
    ASSERT_EQ(cells.size(), 127u);
    EXPECT_EQ(cells[0].Color, clWhite);
    const TColor corners[6] = {clFuchsia, clRed, clYellow, clLime, clAqua, clBlue};
    const QPoint cornerAt[6] = {{55, 0}, {27, 47}, {-27, 47}, {-55, 0}, {-27, -47}, {27, -47}};
    for (int i = 0; i < 6; ++i) {
        const TCombCell &corner = cells[size_t(1 + 21 * i + 15)]; // first cell of the outer ring
        EXPECT_EQ(corner.Color, corners[i]) << i;
        EXPECT_EQ(QPoint(corner.X, corner.Y), cornerAt[i]) << i;
    }
    std::set<std::pair<int, int>> places;
    for (size_t j = 0; j < cells.size(); ++j) {
        places.insert({cells[j].X, cells[j].Y});
        EXPECT_EQ(ColorCombAt(cells, 11, QPoint(cells[j].X, cells[j].Y)), int(j));
    }
    EXPECT_EQ(places.size(), cells.size());
    EXPECT_EQ(ColorCombAt(cells, 11, QPoint(200, 0)), -1);

    // At zero intensity the centre is black and the corners keep their colour.
    const TCombArray dark = BuildColorCombs(63, 7, TColorFractions{0, 0, 0});
    EXPECT_EQ(dark[0].Color, clBlack);
    EXPECT_EQ(dark[16].Color, clFuchsia);
    EXPECT_EQ(BuildColorCombs(63, 0, TColorFractions{}).size(), 1u);

    const TCombArray grey = BuildGreyCombs(11);
    ASSERT_EQ(grey.size(), 17u);
    EXPECT_EQ(QPoint(grey[0].X, grey[0].Y), QPoint(11, 11));
    EXPECT_EQ(QPoint(grey[1].X, grey[1].Y), QPoint(33, 6));
    EXPECT_EQ(QPoint(grey[2].X, grey[2].Y), QPoint(38, 14));
    EXPECT_EQ(grey[3].Color, RGBToColor(195, 195, 195));
    EXPECT_EQ(QPoint(grey[16].X, grey[16].Y), QPoint(124, 11));
    EXPECT_EQ(grey[16].Color, clBlack);
    EXPECT_EQ(GreyCombAt(grey, 11, QPoint(124 + 10, 11)), 16); // the big end cells reach r
    EXPECT_EQ(GreyCombAt(grey, 11, QPoint(33, 6 + 5)), 1);
    EXPECT_EQ(GreyCombAt(grey, 11, QPoint(33, 6 + 6)), -1);
}

TEST(ColorComb, HexagonAndIntensity)
{
    const auto hex = HexagonPoints(100, 50, 11);
    const QPoint expected[6] = {{100, 56}, {105, 53}, {105, 47}, {100, 44}, {95, 47}, {95, 53}};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(hex[size_t(k)], expected[k]) << k;

    const QRect bar = Edges(136, 109, 156, 213); // 104 rows
    EXPECT_FLOAT_EQ(IntensityAt(109, bar), 1.0f);
    EXPECT_FLOAT_EQ(IntensityAt(161, bar), 0.5f);
    EXPECT_FLOAT_EQ(IntensityAt(300, bar), 0.0f);
    EXPECT_FLOAT_EQ(IntensityAt(0, bar), 1.0f);
    EXPECT_EQ(IntensityMarkerY(1.0f, bar), 109);
    EXPECT_EQ(IntensityMarkerY(0.0f, bar), 212);
    EXPECT_EQ(IntensityMarkerY(0.5f, bar), 109 + 52); // 51.5 rounds to even
    EXPECT_EQ(IntensityBarGrey(0, 103), 255);
    EXPECT_EQ(IntensityBarGrey(103, 103), 0);
    EXPECT_EQ(IntensityBarGrey(1, 2), 128); // 127.5 rounds to even
    EXPECT_EQ(Nearest(2.5L), 2);
    EXPECT_EQ(Nearest(-1.5L), -2);
}

TEST(ButtonLayout, ArrowIndicatorAndGlyph)
{
    EXPECT_EQ(ArrowPoint(45, 22, 15, false), QPoint(34, 11));
    EXPECT_EQ(ArrowPoint(45, 22, 15, true), QPoint(35, 12));

    struct Row {
        QSize glyph, caption;
        TButtonLayout layout;
        int margin, spacing;
        bool rtl;
        QPoint glyphPos;
        QRect text, indicator;
    } const rows[] = {
        // Interior of a normal 45 x 22 button: (2, 2) - (43, 20).
        {{}, {}, blGlyphLeft, -1, 4, false, {15, 11}, {15, 11, 0, 0}, Edges(4, 4, 24, 18)},
        {{8, 8}, {}, blGlyphLeft, -1, 4, false, {11, 7}, {19, 11, 0, 0}, Edges(23, 7, 24, 15)},
        {{8, 8}, {}, blGlyphLeft, -1, 4, true, {11, 7}, {11, 11, 0, 0}, Edges(4, 7, 7, 15)},
        {{8, 8}, {}, blGlyphTop, 1, 4, false, {11, 3}, {15, 11, 0, 0}, Edges(4, 15, 24, 18)},
        {{8, 8}, {}, blGlyphBottom, 1, 4, false, {11, 11}, {15, 11, 0, 0}, Edges(4, 4, 24, 7)},
        {{}, {10, 8}, blGlyphLeft, -1, 4, false, {10, 11}, {10, 7, 10, 8}, Edges(10, 15, 20, 18)},
        {{4, 4}, {10, 8}, blGlyphLeft, -1, -1, false, {6, 9}, {14, 7, 10, 8}, Edges(14, 15, 24, 18)},
        {{4, 4}, {10, 8}, blGlyphRight, 2, 3, false, {22, 9}, {9, 7, 10, 8}, Edges(9, 15, 19, 18)},
    };
    for (const Row &row : rows) {
        TGlyphLayoutInput in;
        in.client = Edges(2, 2, 43, 20);
        in.glyph = row.glyph;
        in.caption = row.caption;
        in.layout = row.layout;
        in.margin = row.margin;
        in.spacing = row.spacing;
        in.rightToLeft = row.rtl;
        const TGlyphLayoutResult result = LayoutGlyph(in);
        SCOPED_TRACE(row.layout);
        EXPECT_EQ(result.glyphPos, row.glyphPos);
        EXPECT_EQ(result.textBounds, row.text);
        EXPECT_EQ(result.indicator, row.indicator);
    }
    // The press offset moves everything by (1, 1).
    TGlyphLayoutInput pressed;
    pressed.client = Edges(2, 2, 43, 20);
    pressed.offset = QPoint(1, 1);
    EXPECT_EQ(LayoutGlyph(pressed).indicator, Edges(5, 5, 25, 19));
}
