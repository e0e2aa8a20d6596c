// The engine's protocol: progress figures, the busy flag, unknown numbers,
// failed allocations, the copy it holds.

#include <algorithm>
#include <future>
#include <gtest/gtest.h>

#include "effects/filter_table.h"
#include "reference_filters.h"

namespace fotello::testing {
namespace {

// The figures every filter reports on a 100-row picture, by its family.
std::vector<int> ExpectedFigures(int n) {
    std::vector<int> f;
    auto rows = [&f](int first, int last, int scale, int offset) {
        for (int y = first; y <= last; ++y)
            f.push_back(y * scale / 100 + offset);
    };
    const auto in = [n](std::initializer_list<int> family) {
        return std::find(family.begin(), family.end(), n) != family.end();
    };
    if (in({1, 3, 5, 6, 7, 9, 11, 13, 25, 26, 27})) {
        rows(2, 99, 100, 0); // 3 x 3 neighbourhoods
    } else if (in({8, 10})) {
        rows(1, 99, 100, 0); // the lower-right neighbour
    } else if (n == 24) {
        rows(3, 98, 100, 0); // Aqua's 5 x 5
    } else if (in({17, 19})) {
        f.push_back(5); // after the mean
        rows(1, 100, 95, 5);
    } else if (in({21, 22, 23})) {
        f.push_back(10);
        rows(1, 100, 90, 10);
    } else if (n == 28) {
        rows(1, 100, 10, 0); // the smallest and largest values
        f.push_back(10);
        rows(1, 100, 90, 10);
    } else {
        rows(1, 100, 100, 0);
    }
    f.push_back(100);
    return f;
}

TEST(FilterProgress, EveryMenuFilterReportsItsRowsInOrder) {
    const Picture pic = RandomPicture(7, 100, 71);
    for (int threads : {1, 2}) {
        FilterEngine engine;
        engine.setThreadCount(threads);
        engine.setBandPixels(7 * 3); // bands of three rows
        for (const FilterMenuEntry& e : FilterTable()) {
            std::vector<int> figures;
            RunEngine(engine, e.number, pic, e.parameterFromUser ? 150 : e.parameter, nullptr,
                      &figures);
            EXPECT_EQ(figures, ExpectedFigures(e.number)) << e.menuItem << " on " << threads;
        }
    }
    // The shared figure ends at 100, also on pictures with no rows to work.
    FilterEngine engine;
    std::atomic<int> percent{-1};
    FilterProgress progress;
    progress.percent = &percent;
    Picture one = RandomPicture(1, 1, 4);
    EXPECT_EQ(engine.ApplyFilter(1, ViewOf(one), 2, progress), FilterStatus::Done);
    EXPECT_EQ(percent.exchange(-1), 100);
    EXPECT_EQ(engine.ApplyFilter(21, PixelView{}, 15, progress), FilterStatus::Done);
    EXPECT_EQ(percent.load(), 100);
}

TEST(FilterEngineRules, UnknownNumbersChangeNothing) {
    FilterEngine engine;
    const Picture in = RandomPicture(4, 4, 9);
    for (int n : {0, 32}) {
        FilterStatus status{};
        std::vector<int> figures;
        EXPECT_EQ(RunEngine(engine, n, in, 0, &status, &figures).bytes, in.bytes);
        EXPECT_EQ(status, FilterStatus::UnknownFilter);
        EXPECT_TRUE(figures.empty());
    }
}

TEST(FilterEngineRules, SecondCallWhileBusyIsRefused) {
    FilterEngine engine;
    Picture first = RandomPicture(5, 50, 10);
    Picture second = RandomPicture(5, 50, 11);
    const Picture secondBefore = second;
    const Picture expected = RunEngine(engine, 2, first, 0);
    // From inside the running filter (as an event served between rows would)
    // and from another thread.
    std::vector<FilterStatus> refused;
    FilterProgress progress;
    progress.onReport = [&](int) {
        refused.push_back(engine.ApplyFilter(12, ViewOf(second), 0, {}));
        refused.push_back(std::async(std::launch::async, [&] {
                              return engine.ApplyFilter(7, ViewOf(second), 0, {});
                          }).get());
    };
    EXPECT_FALSE(engine.busy());
    EXPECT_EQ(engine.ApplyFilter(2, ViewOf(first), 0, progress), FilterStatus::Done);
    EXPECT_EQ(first.bytes, expected.bytes);
    EXPECT_EQ(second.bytes, secondBefore.bytes);
    ASSERT_FALSE(refused.empty());
    for (FilterStatus s : refused)
        EXPECT_EQ(s, FilterStatus::Busy);
    EXPECT_FALSE(engine.busy());
    EXPECT_EQ(engine.ApplyFilter(7, ViewOf(second), 0, {}), FilterStatus::Done);
}

TEST(FilterEngineRules, CopyThatCannotBeAllocatedIsAnError) {
    FilterEngine engine;
    Picture tiny = RandomPicture(2, 2, 14);
    const Picture before = tiny;
    // A picture claiming 2^50 pixels: its copy cannot be had; nothing is touched.
    PixelView huge{tiny.bytes.data(), 1 << 30, 1 << 20};
    std::atomic<int> percent{-1};
    FilterProgress progress;
    progress.percent = &percent;
    EXPECT_EQ(engine.ApplyFilter(24, huge, 0, progress), FilterStatus::NoMemory);
    EXPECT_EQ(tiny.bytes, before.bytes);
    EXPECT_EQ(percent.load(), -1);
    EXPECT_FALSE(engine.busy());
}

TEST(FilterEngineRules, CopyIsKeptBetweenFiltersUntilReleased) {
    FilterEngine engine;
    Picture pic = RandomPicture(10, 10, 15);
    RunEngine(engine, 2, pic, 0);
    EXPECT_EQ(engine.heldBytes(), 0u); // point filters need no copy
    RunEngine(engine, 25, pic, 0);
    EXPECT_EQ(engine.heldBytes(), 0u); // 3 x 3 filters keep only a few rows as they were
    RunEngine(engine, 24, pic, 0);
    EXPECT_EQ(engine.heldBytes(), 400u);
    engine.ReleaseBuffers();
    EXPECT_EQ(engine.heldBytes(), 0u);
}

} // namespace
} // namespace fotello::testing
