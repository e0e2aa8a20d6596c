// Filters worked out by hand rather than against the reference: the channel
// captions, flat pictures, pure black and white, noise limits.

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

#include "reference_filters.h"

namespace fotello::testing {
namespace {

Picture OnePixel(int b, int g, int r) {
    return FlatPicture(1, 1, b, g, r, 0x5A);
}

TEST(FilterCases, ChannelExchangeFollowsCaptions) {
    // B 1, G 2, R 3; "RGB -> BRG" puts the old blue in red, the old red in green, ...
    const struct {
        int parameter, b, g, r;
    } rows[] = {{1, 2, 3, 1}, {2, 3, 1, 2}, {3, 2, 1, 3}, {4, 3, 2, 1},
                {5, 1, 3, 2}, {0, 1, 2, 3}, {6, 1, 2, 3}}; // outside 1..5 nothing changes
    FilterEngine engine;
    for (const auto& row : rows) {
        EXPECT_EQ(RunEngine(engine, 16, OnePixel(1, 2, 3), row.parameter).bytes,
                  OnePixel(row.b, row.g, row.r).bytes)
            << row.parameter;
    }
}

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

TEST(FilterEdges, NoiseOnBlackStaysWithinZeroToFiftyOne) {
    FilterEngine engine;
    engine.random().Seed(5);
    const Picture out = RunEngine(engine, 29, FlatPicture(64, 64, 0, 0, 0), 50);
    int lo = 255, hi = 0;
    for (std::size_t i = 0; i < out.bytes.size(); i += 4)
        for (int c = 0; c < 3; ++c) {
            lo = std::min<int>(lo, out.bytes[i + c]);
            hi = std::max<int>(hi, out.bytes[i + c]);
        }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 51);
}

} // namespace
} // namespace fotello::testing
