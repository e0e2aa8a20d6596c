// Filters worked out by hand rather than against the reference: a large flat
// picture, pure black and white.

#include <gtest/gtest.h>
#include <vector>

#include "reference_filters.h"

namespace fotello::testing {
namespace {

TEST(FilterCases, ContrastMeanDoesNotOverflowOnLargeWhitePicture) {
    // 2,920 x 2,920 white pixels: a 32-bit grey sum wraps and "Contrast -"
    // would turn white into grey.
    FilterEngine engine;
    Picture white = FlatPicture(2920, 2920, 255, 255, 255);
    EXPECT_EQ(RunEngine(engine, 17, white, -10).bytes, white.bytes);
}

// All black too: the mean is 0, and a threshold of 0 is black, not white.
TEST(FilterEdges, BlackAndWhiteKeepPureBlackAndWhite) {
    FilterEngine engine;
    for (int v : {0, 255}) {
        const Picture pic = FlatPicture(13, 9, v, v, v);
        for (auto [n, p] :
             {std::pair{18, 0xB4B4B4}, {19, 0}, {20, 0}, {21, 15}, {22, 15}, {23, 15}}) {
            if (n == 20 && v == 0)
                continue; // the dither's lowest level is 1, which matches the cells holding 1
            EXPECT_EQ(RunEngine(engine, n, pic, p).bytes, pic.bytes) << n << " on " << v;
        }
    }
    // Black under the dither: level 0 \ 16 + 1 = 1 is not below a cell of 1,
    // so one pixel in sixteen (columns 1 and 5 of rows 1 and 5 here) is white.
    const Picture dithered = RunEngine(engine, 20, FlatPicture(8, 8, 0, 0, 0), 0);
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x)
            EXPECT_EQ(dithered.at(2, x, y), (x - 1) % 4 == 0 && (y - 1) % 4 == 0 ? 255 : 0);
}

} // namespace
} // namespace fotello::testing
