// Every engine filter against its literal per-pixel version, on tiny and odd
// sizes and on pictures made to reach the clamps and ties, on one core and
// split across cores in one-row bands.

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "effects/filter_table.h"
#include "reference_filters.h"

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
        {31, 100},  {31, 150},  {31, 1},    {31, 0},      {31, -5},       {1, -8}, {6, -4},
        {7, -300},  {8, -77},   {14, -150}, {14, 200},    {15, 1},        {15, 0}, {15, -2},
        {16, 6},    {17, -100}, {17, 300},  {17, 100000}, {18, 0x808080}, {21, 0}, {21, -7},
        {30, -100}, {29, 300},  {4, -3},    {0, 0}};
    cases.insert(cases.end(), more.begin(), more.end());
    return cases;
}

std::vector<Picture> Pictures() {
    std::vector<Picture> pictures;
    std::uint64_t seed = 1;
    for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {3, 3}, {7, 4}, {1, 6}, {33, 17}})
        pictures.push_back(RandomPicture(w, h, ++seed));
    // Wider than a vector, flat areas and sharp steps: the clamps and Aqua's ties.
    Picture steps(71, 9);
    UniformRandom u(99);
    for (int y = 1; y <= steps.h; ++y)
        for (int x = 1; x <= steps.w; ++x) {
            const int v = (x / 7 + y / 3) % 2 == 0 ? 0 : 255;
            for (int c = 1; c <= 3; ++c)
                steps.at(c, x, y) = std::uint8_t(u.Next() < 0.2 ? u.Next() * 256 : v);
            steps.at(4, x, y) = std::uint8_t(x * 7);
        }
    pictures.push_back(steps);
    // Every channel sum 0..765 on each row, so every grey and every value.
    Picture sums(766, 3);
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 766; ++x) {
            const int s = (x - 1 + 97 * (y - 1)) % 766;
            sums.at(1, x, y) = std::uint8_t(std::min(s, 255));
            sums.at(2, x, y) = std::uint8_t(std::clamp(s - 255, 0, 255));
            sums.at(3, x, y) = std::uint8_t(std::max(s - 510, 0));
        }
    pictures.push_back(sums);
    return pictures;
}

// Bytes a filter must leave as they were: the fourth one, and the rows and
// columns its neighbourhood does not fit into. Checked apart from the
// reference so that a slip in the reference cannot hide them.
bool Kept(int number, int c, int x, int y, int w, int h) {
    if (c == 4)
        return true;
    if (number == 8 || number == 10) // the lower-right neighbour
        return x == w || y == h;
    const std::vector<int> threeByThree = {1, 3, 5, 6, 7, 9, 11, 13, 25, 26, 27};
    const int ring =
        number == 24 ? 2 : std::count(threeByThree.begin(), threeByThree.end(), number);
    return x <= ring || y <= ring || x > w - ring || y > h - ring;
}

void ExpectMatchesReference(FilterEngine& engine) {
    std::uint64_t seed = 1;
    for (const Picture& in : Pictures()) {
        for (const Case& c : AllCases()) {
            SCOPED_TRACE("filter " + std::to_string(c.number) + " p " +
                         std::to_string(c.parameter) + " size " + std::to_string(in.w) + "x" +
                         std::to_string(in.h));
            engine.random().Seed(++seed);
            UniformRandom reference(seed);
            const Picture got = RunEngine(engine, c.number, in, c.parameter);
            ASSERT_EQ(got.bytes, ReferenceFilter(c.number, in, c.parameter, reference).bytes);
            for (int y = 1; y <= in.h; ++y)
                for (int x = 1; x <= in.w; ++x)
                    for (int ch = 1; ch <= 4; ++ch)
                        if (Kept(c.number, ch, x, y, in.w, in.h)) {
                            ASSERT_EQ(got.at(ch, x, y), in.at(ch, x, y)) << x << "," << y;
                        }
        }
    }
}

TEST(FilterReference, MatchesLiteralArithmetic) {
    FilterEngine oneCore;
    oneCore.setThreadCount(1);
    ExpectMatchesReference(oneCore);
    FilterEngine split;
    split.setThreadCount(3);
    split.setBandPixels(1); // every row its own band
    ExpectMatchesReference(split);
    // Byte tables one at a time, on processors that could do 64.
    FilterEngine narrow;
    narrow.setWideLookups(false);
    ExpectMatchesReference(narrow);
}

TEST(FilterReference, LargePictureSplitAcrossCores) {
    // Over 8 MB: the engine's copy (19) is made by several threads too, and
    // the 3 x 3 filters work in bands of many rows.
    FilterEngine engine;
    engine.setThreadCount(3);
    const Picture in = RandomPicture(2100, 1100, 61);
    UniformRandom unused(1);
    for (int number : {7, 25, 19, 21, 28}) {
        const std::int32_t p = number == 7 ? 0xFFFFFF : (number >= 21 ? 15 : 10);
        EXPECT_EQ(RunEngine(engine, number, in, p).bytes,
                  ReferenceFilter(number, in, p, unused).bytes)
            << number;
    }
    // Contrast with many pixels pushed out, on every table path.
    for (bool wide : {false, true})
        for (std::int32_t p : {60, -180}) {
            engine.setWideLookups(wide);
            EXPECT_EQ(RunEngine(engine, 17, in, p).bytes, ReferenceFilter(17, in, p, unused).bytes);
        }
}

} // namespace
} // namespace fotello::testing
