// Worked cases of the filters: known numbers, uniform pictures, black and white.

#include <algorithm>
#include <gtest/gtest.h>

#include "effects/filters.h"
#include "engine_support.h"

namespace fotello::testing {
namespace {

Picture OnePixel(int b, int g, int r) {
    return FlatPicture(1, 1, b, g, r, 0x5A);
}

TEST(ToneFilters, WorkedNumbers) {
    FilterEngine engine;
    const Picture grey = RunEngine(engine, 12, OnePixel(10, 20, 31), 0);
    EXPECT_EQ(grey.at(1, 1, 1), 20);
    EXPECT_EQ(grey.at(2, 1, 1), 20);
    EXPECT_EQ(grey.at(3, 1, 1), 20);
    EXPECT_EQ(grey.at(4, 1, 1), 0x5A);

    // 240 x 1.1 = 264 -> 255; 5 x 1.1 = 5.5 -> 6 (half to even); 15 x 1.1 = 16.5 -> 16.
    const Picture bright = RunEngine(engine, 14, OnePixel(240, 5, 15), 10);
    EXPECT_EQ(bright.at(1, 1, 1), 255);
    EXPECT_EQ(bright.at(2, 1, 1), 6);
    EXPECT_EQ(bright.at(3, 1, 1), 16);
    // 25 x 0.9 = 22.5 -> 22.
    EXPECT_EQ(RunEngine(engine, 14, OnePixel(25, 0, 0), -10).at(1, 1, 1), 22);

    const Picture in = RandomPicture(6, 5, 3);
    EXPECT_EQ(RunEngine(engine, 2, RunEngine(engine, 2, in, 0), 0).bytes, in.bytes);
    EXPECT_EQ(RunEngine(engine, 31, in, 100).bytes, in.bytes);
    const Picture flatGrey = FlatPicture(3, 2, 77, 77, 77);
    EXPECT_EQ(RunEngine(engine, 30, flatGrey, 15).bytes, flatGrey.bytes);
    EXPECT_EQ(RunEngine(engine, 30, flatGrey, -20).bytes, flatGrey.bytes);
}

TEST(ToneFilters, GreyOfEverySum) {
    // Every channel sum 0..765 once: the grey is the sum \ 3.
    FilterEngine engine;
    Picture in(766, 1);
    for (int s = 0; s <= 765; ++s) {
        in.at(1, s + 1, 1) = std::uint8_t(std::min(s, 255));
        in.at(2, s + 1, 1) = std::uint8_t(std::min(std::max(s - 255, 0), 255));
        in.at(3, s + 1, 1) = std::uint8_t(std::max(s - 510, 0));
    }
    const Picture out = RunEngine(engine, 12, in, 0);
    for (int s = 0; s <= 765; ++s) {
        ASSERT_EQ(out.at(1, s + 1, 1), s / 3) << s;
    }
}

TEST(ToneFilters, ChannelExchangeFollowsCaptions) {
    FilterEngine engine;
    // B 1, G 2, R 3. "RGB -> BRG": new red = old blue, new green = old red, new blue = old green.
    const Picture p = RunEngine(engine, 16, OnePixel(1, 2, 3), 1);
    EXPECT_EQ(p.at(3, 1, 1), 1);
    EXPECT_EQ(p.at(2, 1, 1), 3);
    EXPECT_EQ(p.at(1, 1, 1), 2);
    const Picture bgr = RunEngine(engine, 16, OnePixel(1, 2, 3), 4);
    EXPECT_EQ(bgr.at(1, 1, 1), 3);
    EXPECT_EQ(bgr.at(3, 1, 1), 1);
    // Outside 1..5 nothing changes.
    EXPECT_EQ(RunEngine(engine, 16, OnePixel(1, 2, 3), 9).bytes, OnePixel(1, 2, 3).bytes);
}

TEST(ToneFilters, ContrastSpillKeepsHue) {
    long long a = 100, b = 100, c = 300;
    filters::SpillIntoRange(a, b, c);
    EXPECT_EQ(c, 255);
    EXPECT_EQ(a, 122); // (300 - 255) \ 2 = 22 goes to each of the others
    EXPECT_EQ(b, 122);
    long long d = -9, e = 10, f = 250;
    filters::SpillIntoRange(d, e, f); // -9 \ 2 = -4 to each
    EXPECT_EQ(d, 0);
    EXPECT_EQ(e, 6);
    EXPECT_EQ(f, 246);
    long long g = 400, h = -300, i = 255000000000LL; // absurd values still end in range
    filters::SpillIntoRange(g, h, i);
    EXPECT_TRUE(g >= 0 && g <= 255 && h >= 0 && h <= 255 && i >= 0 && i <= 255);
}

TEST(ToneFilters, FlatChannelAndBadGammaKeepValues) {
    FilterEngine engine;
    Picture pic = RandomPicture(5, 4, 8);
    for (int y = 1; y <= 4; ++y) {
        for (int x = 1; x <= 5; ++x) {
            pic.at(1, x, y) = 0; // no blue at all
        }
    }
    const Picture stretched = RunEngine(engine, 28, pic, 0);
    for (int y = 1; y <= 4; ++y) {
        for (int x = 1; x <= 5; ++x) {
            EXPECT_EQ(stretched.at(1, x, y), 0);
        }
    }
    EXPECT_EQ(RunEngine(engine, 31, pic, 0).bytes, pic.bytes);
    EXPECT_EQ(RunEngine(engine, 31, pic, -40).bytes, pic.bytes);
    // Proposed answer "1": g = 0.01, almost everything goes black.
    EXPECT_EQ(RunEngine(engine, 31, FlatPicture(1, 1, 200, 200, 200), 1).at(1, 1, 1), 0);
}

TEST(ToneFilters, ContrastMeanDoesNotOverflowOnLargeWhitePicture) {
    // 2,920 x 2,920 white pixels: a 32-bit grey sum wraps and "Contrast -"
    // would turn white into grey.
    FilterEngine engine;
    Picture white = FlatPicture(2920, 2920, 255, 255, 255);
    const Picture out = RunEngine(engine, 17, white, -10);
    EXPECT_EQ(out.bytes, white.bytes);
}

TEST(NeighbourhoodFilters, UniformPictures) {
    FilterEngine engine;
    const Picture flat = FlatPicture(6, 6, 90, 140, 200);
    for (int n : {1, 3, 5, 6, 24, 25, 26}) {
        EXPECT_EQ(RunEngine(engine, n, flat, n == 1 ? 2 : 0).bytes, flat.bytes) << n;
    }
    const Picture inverse = RunEngine(engine, 27, flat, 0);
    const Picture contour = RunEngine(engine, 7, flat, 0xFFFFFF);
    const Picture relief = RunEngine(engine, 13, flat, 0);
    for (int y = 2; y <= 5; ++y) {
        for (int x = 2; x <= 5; ++x) {
            for (int c = 1; c <= 3; ++c) {
                EXPECT_EQ(inverse.at(c, x, y), 0);
                EXPECT_EQ(contour.at(c, x, y), 255);
                EXPECT_EQ(relief.at(c, x, y), flat.at(c, x, y) / 2 + 50);
            }
        }
    }
    // Emboss and engrave leave the last row and column alone.
    const Picture in = RandomPicture(5, 4, 12);
    for (int n : {8, 10}) {
        const Picture out = RunEngine(engine, n, in, 0x787800);
        for (int c = 1; c <= 4; ++c) {
            for (int x = 1; x <= 5; ++x)
                EXPECT_EQ(out.at(c, x, 4), in.at(c, x, 4));
            for (int y = 1; y <= 4; ++y)
                EXPECT_EQ(out.at(c, 5, y), in.at(c, 5, y));
        }
    }
}

TEST(BlackAndWhite, DitherOnGrey128FollowsMatrix) {
    FilterEngine engine;
    const Picture out = RunEngine(engine, 20, FlatPicture(8, 4, 128, 128, 128), 0);
    const int m[4][4] = {{1, 13, 4, 16}, {9, 5, 12, 8}, {3, 15, 2, 14}, {11, 7, 10, 6}};
    for (int y = 1; y <= 4; ++y) {
        for (int x = 1; x <= 8; ++x) {
            // level 384 \ 3 \ 16 + 1 = 9: cells 1..9 white, 10..16 black
            EXPECT_EQ(out.at(2, x, y), m[y - 1][(x - 1) % 4] <= 9 ? 255 : 0);
        }
    }
}

TEST(BlackAndWhite, WhiteStaysWhiteBlackStaysBlack) {
    FilterEngine engine;
    const Picture white = FlatPicture(7, 5, 255, 255, 255);
    const Picture black = FlatPicture(7, 5, 0, 0, 0);
    for (int n = 18; n <= 23; ++n) {
        const std::int32_t p = n == 18 ? 0xB4B4B4 : 15;
        EXPECT_EQ(RunEngine(engine, n, white, p).bytes, white.bytes) << n;
        if (n != 20) {
            // 19, 21, 22, 23: the mean of black is 0, and a t of 0 is black.
            EXPECT_EQ(RunEngine(engine, n, black, p).bytes, black.bytes) << n;
        }
    }
    // The dither's darkest level is 1, which is not below the matrix's 1:
    // black keeps one white dot in sixteen, where the matrix holds 1.
    const Picture dithered = RunEngine(engine, 20, black, 0);
    for (int y = 1; y <= 5; ++y)
        for (int x = 1; x <= 7; ++x)
            EXPECT_EQ(dithered.at(1, x, y), (x - 1) % 4 == 0 && (y - 1) % 4 == 0 ? 255 : 0);
    // One channel over its threshold is enough.
    EXPECT_EQ(RunEngine(engine, 18, OnePixel(0, 0, 255), 0xB4B4B4).at(1, 1, 1), 255);
    EXPECT_EQ(RunEngine(engine, 18, OnePixel(179, 179, 179), 0xB4B4B4).at(1, 1, 1), 0);
}

TEST(RandomAndBlock, NoiseStaysInItsBand) {
    FilterEngine engine;
    const Picture out = RunEngine(engine, 29, FlatPicture(40, 40, 0, 0, 0), 50);
    int highest = 0;
    for (std::size_t i = 0; i < out.bytes.size(); ++i) {
        if (i % 4 != 3) {
            EXPECT_LE(out.bytes[i], 51);
            highest = std::max<int>(highest, out.bytes[i]);
        }
    }
    EXPECT_GT(highest, 40);
}

TEST(RandomAndBlock, PixelizeFourByFourWithThree) {
    FilterEngine engine;
    Picture in(4, 4);
    for (int y = 1; y <= 4; ++y) {
        for (int x = 1; x <= 4; ++x) {
            in.at(1, x, y) = std::uint8_t(x * 10 + y);
            in.at(2, x, y) = std::uint8_t(y * 30);
            in.at(3, x, y) = std::uint8_t(x == 4 ? 200 : 1);
        }
    }
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

TEST(RandomAndBlock, DiffuseNeverReadsOutside) {
    FilterEngine engine;
    // A 1-pixel-wide picture: every horizontal offset leaves it and is dropped.
    Picture column(1, 30);
    for (int y = 1; y <= 30; ++y)
        column.at(1, 1, y) = std::uint8_t(y);
    const Picture out = RunEngine(engine, 4, column, 12);
    for (int y = 1; y <= 30; ++y) {
        EXPECT_GE(out.at(1, 1, y), 1);
        EXPECT_LE(out.at(1, 1, y), 30);
    }
}

} // namespace
} // namespace fotello::testing
