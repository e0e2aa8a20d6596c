// Every engine filter against its literal per-pixel version, on tiny and odd
// sizes, on one core and split across cores in one-row bands.

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "effects/filter_table.h"
#include "engine_support.h"

namespace fotello::testing {
namespace {

struct Case {
    int number;
    std::int32_t parameter;
};

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const FilterMenuEntry& e : FilterTable()) {
        if (!e.parameterFromUser) {
            cases.push_back({e.number, e.parameter});
        }
    }
    // Gamma as typed, and parameters no menu uses (general paths, guards).
    const std::vector<Case> more = {
        {31, 100},     {31, 150}, {31, 50},       {31, 1},          {31, 0},    {31, -5},
        {1, 5},        {1, -8},   {1, -30},       {6, 3},           {6, -1},    {6, -4},
        {7, 0x123456}, {7, -300}, {8, -77},       {10, 0x00FF00FF}, {9, 0},     {11, 0x7F7F7F},
        {14, -150},    {14, 200}, {14, 0},        {15, 1},          {15, 4},    {15, 0},
        {15, -2},      {16, 0},   {16, 6},        {17, 50},         {17, -100}, {17, 300},
        {17, -250},    {18, 0},   {18, 0x808080}, {21, 1},          {21, 0},    {21, -7},
        {22, 7},       {23, 40},  {30, 200},      {30, -100},       {29, 0},    {29, 300},
        {4, 5},        {4, 0},    {4, -3},        {0, 0},           {32, 0},    {-1, 0}};
    cases.insert(cases.end(), more.begin(), more.end());
    return cases;
}

const std::vector<std::pair<int, int>> kSizes = {{1, 1}, {2, 2}, {3, 3}, {5, 5},   {7, 4},
                                                 {4, 9}, {6, 1}, {1, 6}, {13, 11}, {33, 17}};

void ExpectMatchesReference(FilterEngine& engine, const std::string& label) {
    std::uint64_t seed = 1;
    for (const Case& c : AllCases()) {
        for (const auto& [w, h] : kSizes) {
            SCOPED_TRACE(label + " filter " + std::to_string(c.number) + " p " +
                         std::to_string(c.parameter) + " size " + std::to_string(w) + "x" +
                         std::to_string(h));
            const Picture in = RandomPicture(w, h, ++seed);
            engine.random().Seed(seed);
            UniformRandom reference(seed);
            const Picture expected = ReferenceFilter(c.number, in, c.parameter, reference);
            const Picture got = RunEngine(engine, c.number, in, c.parameter);
            ASSERT_EQ(got.bytes, expected.bytes);
        }
    }
}

TEST(FilterReference, MatchesLiteralArithmeticOnOneCore) {
    FilterEngine engine;
    engine.setThreadCount(1);
    ExpectMatchesReference(engine, "one core");
}

TEST(FilterReference, MatchesLiteralArithmeticSplitAcrossCores) {
    FilterEngine engine;
    engine.setThreadCount(3);
    engine.setBandPixels(1); // every row its own band
    ExpectMatchesReference(engine, "split");
}

TEST(FilterReference, MatchesOnPicturesWiderThanAVectorWithFlatAreas) {
    // Flat areas and sharp steps drive the clamps and the tie rules of Aqua.
    FilterEngine engine;
    Picture in(71, 9);
    UniformRandom u(99);
    for (int y = 1; y <= in.h; ++y) {
        for (int x = 1; x <= in.w; ++x) {
            const int v = (x / 7 + y / 3) % 2 == 0 ? 0 : 255;
            for (int c = 1; c <= 3; ++c) {
                in.at(c, x, y) = std::uint8_t(u.Next() < 0.2 ? u.Next() * 256 : v);
            }
            in.at(4, x, y) = std::uint8_t(x * 7);
        }
    }
    for (const Case& c : AllCases()) {
        SCOPED_TRACE("filter " + std::to_string(c.number) + " p " + std::to_string(c.parameter));
        engine.random().Seed(5);
        UniformRandom reference(5);
        EXPECT_EQ(RunEngine(engine, c.number, in, c.parameter).bytes,
                  ReferenceFilter(c.number, in, c.parameter, reference).bytes);
    }
}

TEST(FilterReference, LargePictureSplitAcrossCores) {
    // Over 8 MB: the engine's copy (19) is made by several threads too, and
    // the 3 x 3 filters work in bands of many rows.
    FilterEngine engine;
    engine.setThreadCount(3);
    const Picture in = RandomPicture(2100, 1100, 61);
    UniformRandom unused(1);
    for (int number : {7, 25, 19, 17, 21, 22, 23}) {
        const std::int32_t p = number == 7 ? 0xFFFFFF : (number >= 21 ? 15 : 10);
        EXPECT_EQ(RunEngine(engine, number, in, p).bytes,
                  ReferenceFilter(number, in, p, unused).bytes)
            << number;
    }
}

TEST(FilterReference, UnusedByteAndOuterRingAreKept) {
    FilterEngine engine;
    const Picture in = RandomPicture(9, 7, 4242);
    const std::vector<int> threeByThree = {1, 3, 5, 6, 7, 9, 11, 13, 24, 25, 26, 27};
    for (int number = 1; number <= 31; ++number) {
        SCOPED_TRACE("filter " + std::to_string(number));
        const Picture out = RunEngine(engine, number, in, number == 31 ? 150 : 10);
        for (int y = 1; y <= in.h; ++y) {
            for (int x = 1; x <= in.w; ++x) {
                ASSERT_EQ(out.at(4, x, y), in.at(4, x, y));
            }
        }
        if (std::find(threeByThree.begin(), threeByThree.end(), number) == threeByThree.end()) {
            continue;
        }
        const int ring = number == 24 ? 2 : 1;
        for (int y = 1; y <= in.h; ++y) {
            for (int x = 1; x <= in.w; ++x) {
                const bool inside = x > ring && y > ring && x <= in.w - ring && y <= in.h - ring;
                if (!inside) {
                    for (int c = 1; c <= 3; ++c) {
                        ASSERT_EQ(out.at(c, x, y), in.at(c, x, y)) << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(FilterReference, InPlaceFiltersSeeChangedNeighboursCopyFiltersDoNot) {
    FilterEngine engine;
    const Picture in = RandomPicture(8, 8, 77);
    // Blur reading its neighbours from the copy would give another picture.
    Picture fromCopy = in;
    for (int y = 2; y <= 7; ++y) {
        for (int x = 2; x <= 7; ++x) {
            for (int c = 1; c <= 3; ++c) {
                int s = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        s += (dx || dy) ? in.at(c, x + dx, y + dy) : 0;
                    }
                }
                fromCopy.at(c, x, y) = std::uint8_t(s / 8);
            }
        }
    }
    const Picture blurred = RunEngine(engine, 3, in, 0);
    EXPECT_NE(blurred.bytes, fromCopy.bytes);
    EXPECT_EQ(blurred.at(1, 2, 2), fromCopy.at(1, 2, 2)); // first pixel: no neighbour changed yet
    // Dilate reads only the copy: a bright pixel spreads one step, not along the row.
    Picture dot = FlatPicture(7, 3, 0, 0, 0);
    dot.at(1, 2, 2) = 200;
    const Picture dilated = RunEngine(engine, 25, dot, 0);
    EXPECT_EQ(dilated.at(1, 3, 2), 200);
    EXPECT_EQ(dilated.at(1, 4, 2), 0);
}

} // namespace
} // namespace fotello::testing
