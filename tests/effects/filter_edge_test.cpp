// Filters worked out by hand rather than against the reference: single pixels,
// flat pictures, pure black and white, the contrast spill, noise limits, and
// the inputs that must leave a picture sound.

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

#include "reference_filters.h"

namespace fotello::testing {
namespace {

Picture OnePixel(int b, int g, int r) {
    return FlatPicture(1, 1, b, g, r, 0x5A);
}

TEST(FilterCases, GreyAndBrightness) {
    FilterEngine engine;
    EXPECT_EQ(RunEngine(engine, 12, OnePixel(10, 20, 31), 0).bytes, OnePixel(20, 20, 20).bytes);
    // 240 x 1.1 = 264 -> 255; 5 x 1.1 = 5.5 -> 6 and 15 x 1.1 = 16.5 -> 16 (half to even).
    EXPECT_EQ(RunEngine(engine, 14, OnePixel(240, 5, 15), 10).bytes, OnePixel(255, 6, 16).bytes);
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

TEST(FilterCases, UnsoundInputsLeaveThePictureSound) {
    FilterEngine engine;
    Picture pic = RandomPicture(5, 4, 8);
    for (std::size_t i = 0; i < pic.bytes.size(); i += 4)
        pic.bytes[i] = 77; // one blue throughout: stretching it would divide by zero
    const Picture stretched = RunEngine(engine, 28, pic, 0);
    for (std::size_t i = 0; i < pic.bytes.size(); i += 4)
        EXPECT_EQ(stretched.bytes[i], 77);
    EXPECT_NE(stretched.bytes, pic.bytes); // the other channels still stretch
    EXPECT_EQ(RunEngine(engine, 31, pic, -40).bytes, pic.bytes);
}

TEST(FilterCases, ContrastMeanDoesNotOverflowOnLargeWhitePicture) {
    // 2,920 x 2,920 white pixels: a 32-bit grey sum wraps and "Contrast -"
    // would turn white into grey.
    FilterEngine engine;
    Picture white = FlatPicture(2920, 2920, 255, 255, 255);
    EXPECT_EQ(RunEngine(engine, 17, white, -10).bytes, white.bytes);
}

TEST(FilterCases, DitherOnGrey128FollowsMatrix) {
    FilterEngine engine;
    const Picture out = RunEngine(engine, 20, FlatPicture(8, 4, 128, 128, 128), 0);
    const int m[4][4] = {{1, 13, 4, 16}, {9, 5, 12, 8}, {3, 15, 2, 14}, {11, 7, 10, 6}};
    for (int y = 1; y <= 4; ++y)
        for (int x = 1; x <= 8; ++x) // level 384 \ 3 \ 16 + 1 = 9: cells 1..9 white
            EXPECT_EQ(out.at(2, x, y), m[y - 1][(x - 1) % 4] <= 9 ? 255 : 0) << x << "," << y;
}

TEST(FilterCases, PixelizeFourByFourWithThree) {
    Picture in(4, 4);
    for (int y = 1; y <= 4; ++y)
        for (int x = 1; x <= 4; ++x) {
            in.at(1, x, y) = std::uint8_t(x * 10 + y);
            in.at(2, x, y) = std::uint8_t(y * 30);
            in.at(3, x, y) = std::uint8_t(x == 4 ? 200 : 1);
        }
    FilterEngine engine;
    const Picture out = RunEngine(engine, 15, in, 3);
    // 3 x 3 block: blue (11+12+13+21+...+33) \ 9 = 22; green 60; red 1.
    EXPECT_EQ(out.at(1, 3, 3), 22);
    // Right strip (column 4, rows 1..3): blue (41+42+43) \ 3 = 42, red 200.
    EXPECT_EQ(out.at(1, 4, 2), 42);
    EXPECT_EQ(out.at(3, 4, 3), 200);
    // Bottom strip (row 4, columns 1..3): blue (14+24+34) \ 3 = 24.
    EXPECT_EQ(out.at(1, 2, 4), 24);
    // The single corner pixel keeps its own colour.
    EXPECT_EQ(out.at(1, 4, 4), 44);
}

TEST(FilterEdges, ContrastSpillsHalfTheExcess) {
    // Mean (100 + 100 + 250) \ 3 = 150; with p = 50 red goes to 300 and blue
    // and green to 75; red's excess (300 - 255) \ 2 = 22 goes to each of them.
    FilterEngine engine;
    EXPECT_EQ(RunEngine(engine, 17, FlatPicture(1, 1, 100, 100, 250), 50).bytes,
              FlatPicture(1, 1, 97, 97, 255).bytes);
    // Below zero half the shortfall, toward zero, is taken from the others:
    // mean 110, f = 1.5: blue 20 -> -25, green 150 -> 170, red 160 -> 185;
    // -25 \ 2 = -12 to green and red.
    EXPECT_EQ(RunEngine(engine, 17, FlatPicture(1, 1, 20, 150, 160), 50).bytes,
              FlatPicture(1, 1, 0, 158, 173).bytes);
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
    // One channel over its threshold is enough: pure red turns white.
    EXPECT_EQ(RunEngine(engine, 18, FlatPicture(1, 1, 0, 0, 255), 0xB4B4B4).bytes,
              FlatPicture(1, 1, 255, 255, 255).bytes);
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
