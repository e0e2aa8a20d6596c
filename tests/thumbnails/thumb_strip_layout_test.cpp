#include <gtest/gtest.h>

#include "shell/thumb_strip_layout.h"

namespace fotello {
namespace {

TEST(LayOutStrip, ColumnsStripSizeAndScrollRange) {
    struct Case {
        StripLayoutInput in;
        int cols, stripWidth;
        std::int64_t stripHeight, scrollMax;
        bool enabled;
    };
    const Case cases[] = {
        // 520 wide, bar 17, cells 100 x 120, 7 pictures: 5 columns, 2 rows.
        {{520, 300, 17, 100, 120, 7}, 5, 500, 240, 0, false},
        // An exact fill gives 2 rows, not 3.
        {{520, 300, 17, 100, 120, 10}, 5, 500, 240, 0, false},
        {{520, 300, 17, 100, 120, 11}, 5, 500, 360, 60, true},
        // Strip exactly as tall as the viewport: Max 0, enabled; one pixel shorter: disabled.
        {{520, 240, 17, 100, 120, 10}, 5, 500, 240, 0, true},
        {{520, 241, 17, 100, 120, 10}, 5, 500, 240, 0, false},
        // Only cell 0 (an empty folder): one row high.
        {{520, 300, 17, 100, 120, 1}, 5, 500, 120, 0, false},
        // Exactly one column beside the bar.
        {{117, 50, 17, 100, 120, 3}, 1, 100, 360, 310, true},
        // Far past 16 bits: 10,000 cells in 4 columns.
        {{420, 300, 17, 100, 120, 10000}, 4, 400, 300000, 299700, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in.viewportWidth << "x" << c.in.viewportHeight
                                        << " n=" << c.in.cellCount);
        const StripLayout l = LayOutStrip(c.in);
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.cols, c.cols);
        EXPECT_EQ(l.stripWidth, c.stripWidth);
        EXPECT_EQ(l.stripHeight, c.stripHeight);
        EXPECT_EQ(l.scrollMax, c.scrollMax);
        EXPECT_EQ(l.scrollEnabled, c.enabled);
        EXPECT_EQ(l.scrollBarLeft, c.in.viewportWidth - c.in.scrollBarWidth);
        EXPECT_EQ(l.scrollBarHeight, c.in.viewportHeight);
        if (c.enabled) {
            EXPECT_EQ(l.smallChange, c.in.cellHeight);
            EXPECT_EQ(l.largeChange, c.in.viewportHeight);
        }
    }
}

TEST(LayOutStrip, NoColumnLeavesTheStripAlone) {
    // Narrower than the bar plus one cell; narrower than the bar; no cell width.
    for (const StripLayoutInput in :
         {StripLayoutInput{116, 300, 17, 100, 120, 5}, StripLayoutInput{10, 300, 17, 100, 120, 5},
          StripLayoutInput{520, 300, 17, 0, 120, 5}}) {
        const StripLayout l = LayOutStrip(in);
        EXPECT_FALSE(l.ok);
        // The scroll bar is still moved to the right edge.
        EXPECT_EQ(l.scrollBarLeft, in.viewportWidth - 17);
        EXPECT_EQ(l.scrollBarHeight, 300);
    }
}

TEST(PlaceCell, RowByRow) {
    EXPECT_EQ(PlaceCell(0, 5, 100, 120), (CellPlace{0, 0}));
    EXPECT_EQ(PlaceCell(4, 5, 100, 120), (CellPlace{400, 0}));
    EXPECT_EQ(PlaceCell(5, 5, 100, 120), (CellPlace{0, 120}));
    EXPECT_EQ(PlaceCell(6, 5, 100, 120), (CellPlace{100, 120}));
    EXPECT_EQ(PlaceCell(9999, 4, 100, 120), (CellPlace{300, 299880}));
    EXPECT_EQ(PlaceCell(3, 0, 100, 120), (CellPlace{0, 0}));
}

TEST(CellsInBand, OnlyTheRowsInView) {
    // 5 columns of 120-high rows, 23 cells (5 rows, the last one 3 cells).
    EXPECT_EQ(CellsInBand(0, 240, 5, 120, 23).first, 0);
    EXPECT_EQ(CellsInBand(0, 240, 5, 120, 23).last, 10);
    EXPECT_EQ(CellsInBand(0, 241, 5, 120, 23).last, 15); // a pixel of row 2
    EXPECT_EQ(CellsInBand(119, 2, 5, 120, 23).first, 0);
    EXPECT_EQ(CellsInBand(119, 2, 5, 120, 23).last, 10);
    EXPECT_EQ(CellsInBand(480, 500, 5, 120, 23).first, 20);
    EXPECT_EQ(CellsInBand(480, 500, 5, 120, 23).last, 23);
    EXPECT_EQ(CellsInBand(-50, 100, 5, 120, 23).first, 0); // strip moved below the top
    EXPECT_EQ(CellsInBand(-50, 100, 5, 120, 23).last, 5);
    const CellRange past = CellsInBand(1000, 100, 5, 120, 23);
    EXPECT_EQ(past.first, past.last);
    const CellRange above = CellsInBand(-200, 100, 5, 120, 23);
    EXPECT_EQ(above.first, above.last);
}

} // namespace
} // namespace fotello
