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
        // No column: narrower than the bar plus one cell, than the bar, no cell width.
        {{116, 300, 17, 100, 120, 5}, 0, 0, 0, 0, false},
        {{10, 300, 17, 100, 120, 5}, 0, 0, 0, 0, false},
        {{520, 300, 17, 0, 120, 5}, 0, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in.viewportWidth << "x" << c.in.viewportHeight
                                        << " n=" << c.in.cellCount);
        const StripLayout l = LayOutStrip(c.in);
        // The scroll bar is moved to the right edge even when no column fits.
        EXPECT_EQ(l.scrollBarLeft, c.in.viewportWidth - c.in.scrollBarWidth);
        EXPECT_EQ(l.scrollBarHeight, c.in.viewportHeight);
        EXPECT_EQ(l.ok, c.cols > 0);
        if (!l.ok)
            continue;
        EXPECT_EQ(l.cols, c.cols);
        EXPECT_EQ(l.stripWidth, c.stripWidth);
        EXPECT_EQ(l.stripHeight, c.stripHeight);
        EXPECT_EQ(l.scrollMax, c.scrollMax);
        EXPECT_EQ(l.scrollEnabled, c.enabled);
        if (c.enabled) {
            EXPECT_EQ(l.smallChange, c.in.cellHeight);
            EXPECT_EQ(l.largeChange, c.in.viewportHeight);
        }
    }
}

TEST(PlaceCellAndBand, RowByRow) {
    EXPECT_EQ(PlaceCell(4, 5, 100, 120), (CellPlace{400, 0}));
    EXPECT_EQ(PlaceCell(6, 5, 100, 120), (CellPlace{100, 120}));
    EXPECT_EQ(PlaceCell(3, 0, 100, 120), (CellPlace{0, 0})); // no columns: no division
    // 5 columns of 120-high rows, 23 cells (5 rows, the last one 3 cells).
    struct Case {
        std::int64_t top, height;
        int first, last;
    } const bands[] = {
        {0, 240, 0, 10},   {0, 241, 0, 15},    // a pixel of row 2
        {119, 2, 0, 10},   {480, 500, 20, 23}, // the short last row
        {-50, 100, 0, 5},                      // strip moved below the top
        {1000, 100, 0, 0}, {-200, 100, 0, 0},  // nothing in view
    };
    for (const auto& b : bands) {
        const CellRange r = CellsInBand(b.top, b.height, 5, 120, 23);
        EXPECT_EQ(r.last - r.first, b.last - b.first) << b.top << "+" << b.height;
        if (b.last > b.first) {
            EXPECT_EQ(r.first, b.first) << b.top << "+" << b.height;
        }
    }
}

} // namespace
} // namespace fotello
