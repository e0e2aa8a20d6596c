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
}

} // namespace
} // namespace fotello::testing
