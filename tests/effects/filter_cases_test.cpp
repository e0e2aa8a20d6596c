// Worked cases of the filters, checked by hand rather than against the
// reference, and the inputs that must leave a picture sound.

#include <gtest/gtest.h>

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
    } rows[] = {{1, 2, 3, 1}, {2, 3, 1, 2}, {3, 2, 1, 3}, {4, 3, 2, 1}, {5, 1, 3, 2},
                {0, 1, 2, 3}, {6, 1, 2, 3}, {9, 1, 2, 3}}; // outside 1..5 nothing changes
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
    EXPECT_EQ(RunEngine(engine, 31, pic, 0).bytes, pic.bytes);
    EXPECT_EQ(RunEngine(engine, 31, pic, -40).bytes, pic.bytes);
    // All black: the mean is 0, and a t of 0 is black, not white.
    const Picture black = FlatPicture(7, 5, 0, 0, 0);
    for (int n : {19, 21, 22, 23})
        EXPECT_EQ(RunEngine(engine, n, black, 15).bytes, black.bytes) << n;
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
    EXPECT_EQ(out.at(1, 1, 1), 22);
    EXPECT_EQ(out.at(1, 3, 3), 22);
    EXPECT_EQ(out.at(2, 2, 2), 60);
    // Right strip (column 4, rows 1..3): blue (41+42+43) \ 3 = 42, red 200.
    EXPECT_EQ(out.at(1, 4, 2), 42);
    EXPECT_EQ(out.at(3, 4, 3), 200);
    // Bottom strip (row 4, columns 1..3): blue (14+24+34) \ 3 = 24.
    EXPECT_EQ(out.at(1, 2, 4), 24);
    // The single corner pixel keeps its own colour.
    EXPECT_EQ(out.at(1, 4, 4), 44);
}

} // namespace
} // namespace fotello::testing
