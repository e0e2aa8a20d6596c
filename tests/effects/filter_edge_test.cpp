// Behaviours of whole filter families worked out by hand: flat pictures, pure
// black and white, the contrast spill, noise limits.

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

#include "effects/filter_table.h"
#include "reference_filters.h"

namespace fotello::testing {
namespace {

constexpr int kB = 40, kG = 130, kR = 201;

// Inner pixels (outside the one-pixel ring) all hold b, g, r; the ring keeps the input.
void ExpectInner(const Picture& out, int b, int g, int r) {
    for (int y = 1; y <= out.h; ++y)
        for (int x = 1; x <= out.w; ++x) {
            const bool ring = x == 1 || y == 1 || x == out.w || y == out.h;
            ASSERT_EQ(out.at(1, x, y), ring ? kB : b) << x << "," << y;
            ASSERT_EQ(out.at(2, x, y), ring ? kG : g) << x << "," << y;
            ASSERT_EQ(out.at(3, x, y), ring ? kR : r) << x << "," << y;
        }
}

TEST(FilterEdges, FlatPictureUnderNeighbourhoodFilters) {
    FilterEngine engine;
    const Picture flat = FlatPicture(9, 7, kB, kG, kR);
    for (auto [n, p] : {std::pair{3, 0}, {5, 0}, {1, 2}, {1, 0}, {6, 0}, {25, 0}, {26, 0}, {24, 0}})
        EXPECT_EQ(RunEngine(engine, n, flat, p).bytes, flat.bytes) << n;
    ExpectInner(RunEngine(engine, 27, flat, 0), 0, 0, 0);
    ExpectInner(RunEngine(engine, 7, flat, 0xFFFFFF), 255, 255, 255);
    ExpectInner(RunEngine(engine, 13, flat, 0), kB / 2 + 50, kG / 2 + 50, kR / 2 + 50);
}

TEST(FilterEdges, PointFiltersThatChangeNothing) {
    FilterEngine engine;
    const Picture in = RandomPicture(11, 6, 70);
    EXPECT_EQ(RunEngine(engine, 2, RunEngine(engine, 2, in, 0), 0).bytes, in.bytes);
    EXPECT_EQ(RunEngine(engine, 31, in, 100).bytes, in.bytes);
    Picture grey = in;
    for (std::size_t i = 0; i < grey.bytes.size(); i += 4)
        grey.bytes[i + 1] = grey.bytes[i + 2] = grey.bytes[i];
    for (int p : {15, -20, 250})
        EXPECT_EQ(RunEngine(engine, 30, grey, p).bytes, grey.bytes) << p;
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
    EXPECT_EQ(RunEngine(engine, 18, FlatPicture(1, 1, 179, 179, 179), 0xB4B4B4).bytes,
              FlatPicture(1, 1, 0, 0, 0).bytes);
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

namespace fotello::testing {
namespace {

// The figures every filter reports on a 100-row picture, by its family.
std::vector<int> ExpectedFigures(int number) {
    std::vector<int> f;
    auto rows = [&f](int first, int last, int scale, int offset) {
        for (int y = first; y <= last; ++y)
            f.push_back(y * scale / 100 + offset);
    };
    switch (number) {
    case 1:
    case 3:
    case 5:
    case 6:
    case 7:
    case 9:
    case 11:
    case 13:
    case 25:
    case 26:
    case 27:
        rows(2, 99, 100, 0);
        break;
    case 8:
    case 10:
        rows(1, 99, 100, 0);
        break;
    case 24:
        rows(3, 98, 100, 0);
        break;
    case 17:
    case 19:
        f.push_back(5);
        rows(1, 100, 95, 5);
        break;
    case 21:
    case 22:
    case 23:
        f.push_back(10);
        rows(1, 100, 90, 10);
        break;
    case 28:
        rows(1, 100, 10, 0);
        f.push_back(10);
        rows(1, 100, 90, 10);
        break;
    default:
        rows(1, 100, 100, 0);
    }
    f.push_back(100);
    return f;
}

TEST(FilterEdges, EveryMenuFilterReportsItsRows) {
    FilterEngine engine;
    const Picture pic = RandomPicture(6, 100, 71);
    for (const FilterMenuEntry& e : FilterTable()) {
        std::vector<int> figures;
        RunEngine(engine, e.number, pic, e.parameterFromUser ? 150 : e.parameter, nullptr,
                  &figures);
        EXPECT_EQ(figures, ExpectedFigures(e.number)) << e.menuItem;
    }
}

} // namespace
} // namespace fotello::testing
