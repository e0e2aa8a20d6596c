// Mirrors, mosaic, dotted, fade and shake.

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "effects/picture_effects.h"
#include "effects/shake.h"
#include "reference_filters.h"

namespace fotello::testing {
namespace {

TEST(FlipPicture, MirrorsFromTheUntouchedCopy) {
    const Picture original = RandomPicture(5, 3, 21);
    Picture source = original;
    Picture target = RandomPicture(5, 3, 22);    // a filtered working picture
    for (bool vertical : {false, false, true}) { // twice: still the one mirror of the copy
        ASSERT_TRUE(FlipPicture(ViewOf(source), ViewOf(target), vertical));
        for (int y = 1; y <= 3; ++y)
            for (int x = 1; x <= 5; ++x)
                for (int c = 1; c <= 4; ++c)
                    ASSERT_EQ(target.at(c, x, y),
                              vertical ? original.at(c, x, 4 - y) : original.at(c, 6 - x, y));
    }
    EXPECT_EQ(source.bytes, original.bytes);
    Picture other(4, 3);
    EXPECT_FALSE(FlipPicture(ViewOf(source), ViewOf(other), true));
    EXPECT_FALSE(FlipPicture(ViewOf(source), ViewOf(source), true));
}

TEST(MosaicEffect, TilesTakeTheirFirstPixel) {
    const Picture in = RandomPicture(9, 6, 23);
    Picture out = in;
    MosaicEffect(ViewOf(out));
    for (int y = 1; y <= 6; ++y) {
        for (int x = 1; x <= 9; ++x) {
            const int fx = (x - 1) / 4 * 4 + 1;
            const int fy = (y - 1) / 4 * 4 + 1;
            for (int c = 1; c <= 3; ++c)
                ASSERT_EQ(out.at(c, x, y), in.at(c, fx, fy));
            ASSERT_EQ(out.at(4, x, y), in.at(4, x, y));
        }
    }
}

TEST(DottedEffect, ColoursComeFromNearbyPixelsInside) {
    Picture in(20, 20);
    for (int y = 1; y <= 20; ++y)
        for (int x = 1; x <= 20; ++x) {
            in.at(1, x, y) = std::uint8_t(x); // position coded in the colour
            in.at(2, x, y) = std::uint8_t(y);
            in.at(4, x, y) = 7;
        }
    UniformRandom random;
    Picture a = in, b = in;
    for (Picture* pic : {&a, &b}) { // the same seed, the same dots
        random.Seed(3);
        DottedEffect(ViewOf(*pic), random, false);
    }
    EXPECT_EQ(a.bytes, b.bytes);
    EXPECT_NE(a.bytes, in.bytes);
    // A chain of moves can carry a colour far, but never from outside the picture.
    for (std::size_t i = 0; i < a.bytes.size(); i += 4) {
        ASSERT_TRUE(a.bytes[i] >= 1 && a.bytes[i] <= 20) << i / 4;
        ASSERT_EQ(a.bytes[i + 3], 7);
    }
    Picture one = FlatPicture(1, 1, 1, 2, 3);
    DottedEffect(ViewOf(one), random); // clock seed: only offset 0 stays inside
    EXPECT_EQ(one.bytes, FlatPicture(1, 1, 1, 2, 3).bytes);
}

TEST(FadeEffect, MenuCallPutsGreenIntoRed) {
    const Picture in = RandomPicture(4, 3, 24);
    Picture source = in;
    Picture target = RandomPicture(4, 3, 25);
    FadeEffect(ViewOf(source), ViewOf(target), 1, true);
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 4; ++x)
            for (int c : {1, 2, 3})
                EXPECT_EQ(target.at(c, x, y), in.at(c == 3 ? 2 : c, x, y));
    Picture same = FlatPicture(3, 3, 10, 50, 50);
    FadeEffect(ViewOf(same), ViewOf(same), 2, false);
    EXPECT_EQ(same.bytes, FlatPicture(3, 3, 10, 10, 10).bytes);
}

TEST(ShakeEffect, CirclesInTheCopysColours) {
    Picture source = RandomPicture(6, 5, 26);
    Picture target = FlatPicture(6, 5, 0, 0, 0);
    // Radius 0 on a one-pixel grid: each sample point gets its own colour back.
    ASSERT_TRUE(ShakeEffect(ViewOf(source), ViewOf(target), 1, 1, 0));
    for (int y = 1; y <= 5; ++y)
        for (int x = 1; x <= 6; ++x) {
            // The walk starts at x = 1 (0-based), so the first column is never sampled.
            for (int c = 1; c <= 3; ++c)
                ASSERT_EQ(target.at(c, x, y), x == 1 ? 0 : source.at(c, x, y)) << x << "," << y;
        }
    // The walk's rows as the dialog shows them: "Linha y de (height + radius)".
    std::vector<long long> rows;
    Picture again = FlatPicture(6, 5, 0, 0, 0);
    ShakeEffect(ViewOf(source), ViewOf(again), 2, 2, 1, [&](long long y, long long last) {
        rows.push_back(y);
        EXPECT_EQ(last, 6);
    });
    EXPECT_EQ(rows, (std::vector<long long>{2, 4, 6, 8}));
    EXPECT_FALSE(ShakeEffect(ViewOf(source), ViewOf(target), 0, 1, 3));
    EXPECT_FALSE(ShakeEffect(ViewOf(source), ViewOf(target), 2, -1, 3));
}

TEST(ShakeEffect, CircleOutlineHasTheRadius) {
    Picture pic = FlatPicture(21, 21, 0, 0, 0);
    const std::uint8_t white[3] = {255, 255, 255};
    DrawCircle(ViewOf(pic), 10, 10, 7, white);
    int count = 0;
    for (int y = 1; y <= 21; ++y)
        for (int x = 1; x <= 21; ++x)
            if (pic.at(1, x, y) == 255) {
                ++count;
                const double d = std::hypot(x - 11, y - 11);
                EXPECT_NEAR(d, 7.0, 0.75);
            }
    EXPECT_GT(count, 30);
    DrawCircle(ViewOf(pic), 0, 0, 30, white); // clipped at the edges without harm
}

} // namespace
} // namespace fotello::testing
