// The sheet's arithmetic.
#include <gtest/gtest.h>

#include "print/print_layout.h"

namespace fotello {
namespace {

TEST(PrintLayout, PaperSizes) {
    const std::pair<std::int32_t, std::optional<PaperMm>> cases[] = {
        {kPaperCustom, PaperMm{100, 150}},
        {kPaperA5, PaperMm{148, 210}},
        {4, std::nullopt},
    };
    for (const auto& [code, size] : cases)
        EXPECT_EQ(PaperSizeMm(code, 100, 150), size) << code;
}

TEST(PrintLayout, CustomPaperSidesTaken) {
    const std::pair<double, bool> cases[] = {{0.4, false},  {1, true},      {1200, true},
                                             {1201, false}, {40000, false}, {1e300, false}};
    for (const auto& [mm, taken] : cases)
        EXPECT_EQ(PaperSideAccepted(mm), taken) << mm;
}

TEST(PrintLayout, MarginsFromTheDevice) {
    struct Case {
        double physW, physH, offX, offY, printW, printH;
        PrinterMargins margins;
    } cases[] = {
        {2240, 3173, 0, 0, 2240, 3173, {0, 0, 0, 0}},
        {2240, 3173, 50, 60, 2100, 3000, {50, 60, 90, 113}},
        // Halves to even, each figure on its own.
        {100, 100, 10.5, 11.5, 79, 77, {10, 12, 10, 12}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MarginsFromDevice(c.physW, c.physH, c.offX, c.offY, c.printW, c.printH),
                  c.margins);
}

TEST(PrintLayout, PositionsOnTheSheet) {
    struct Case {
        int align, sheetW, sheetH, picW, picH, x, y;
    } cases[] = {
        {0, 100, 80, 30, 20, 0, 0},
        {1, 100, 80, 30, 20, 35, 0},
        {3, 100, 80, 30, 20, 0, 30},
        {4, 100, 80, 30, 20, 35, 30},
        {8, 100, 80, 30, 20, 70, 60},
        {9, 100, 80, 30, 20, 0, 0},
        // Odd differences: the half is rounded down.
        {4, 101, 81, 30, 20, 35, 30},
        // Larger than the sheet: negative, rounded down (not toward zero).
        {4, 100, 80, 151, 121, -26, -21},
        {8, 100, 80, 151, 121, -51, -41},
    };
    for (const Case& c : cases) {
        const SheetRect r = PicturePlace(c.align, c.sheetW, c.sheetH, c.picW, c.picH);
        EXPECT_EQ(r, (SheetRect{c.x, c.y, c.picW, c.picH})) << "align " << c.align;
    }
}

TEST(PrintLayout, Sheets) {
    // Sheet size, then where the picture, its border and the sheet on the page go.
    const struct {
        const char* what;
        SheetRequest request;
        SheetLayout want;
    } cases[] = {
        // A5 is 148 x 210 mm before the margins: 559.4 x 793.7 screen pixels.
        {"A5, no margins",
         {{148, 210}, {}, 59, 94, 4, false},
         {559, 794, {250, 350, 59, 94}, {250, 350, 59, 94}, {0, 0, 2236, 3176}}},
        // The margins are printer pixels, a quarter of a screen pixel each.
        {"A5 less margins",
         {{148, 210}, {100, 40, 60, 80}, 59, 94, 0, false},
         {519, 764, {0, 0, 59, 94}, {0, 0, 59, 94}, {100, 40, 2076, 3056}}},
        {"larger than the sheet",
         {{148, 210}, {}, 1000, 1000, 4, false},
         {559, 794, {-221, -103, 1000, 1000}, {-221, -103, 1000, 1000}, {0, 0, 2236, 3176}}},
        // Stretched: the border stays where the picture would sit at its own size.
        {"stretch",
         {{210, 297}, {}, 100, 50, 8, true},
         {794, 1123, {0, 0, 794, 1123}, {694, 1073, 100, 50}, {0, 0, 3176, 4492}}},
        {"margins wider than the paper",
         {{10, 10}, {200, 200, 200, 200}, 5, 5, 0, false},
         {0, 0, {0, 0, 5, 5}, {0, 0, 5, 5}, {200, 200, 0, 0}}},
        {"paper beyond the largest",
         {{32767, 32767}, {}, 5, 5, 0, false},
         {4535, 4535, {0, 0, 5, 5}, {0, 0, 5, 5}, {0, 0, 18140, 18140}}},
    };
    for (const auto& c : cases) {
        const SheetLayout l = LayoutSheet(c.request);
        EXPECT_EQ(std::pair(l.width, l.height), std::pair(c.want.width, c.want.height)) << c.what;
        EXPECT_EQ(l.picture, c.want.picture) << c.what;
        EXPECT_EQ(l.border, c.want.border) << c.what;
        EXPECT_EQ(l.printed, c.want.printed) << c.what;
    }
}

} // namespace
} // namespace fotello
