// The engine's protocol: progress figures, the busy flag, unknown numbers,
// failed allocations, the copy it holds.

#include <array>
#include <future>
#include <gtest/gtest.h>

#include "reference_filters.h"

namespace fotello::testing {
namespace {

TEST(FilterProgress, EachFamilyReportsItsRowsInOrder) {
    // One filter per family; rows {first, last, scale, offset} give y * scale / 100 + offset.
    const struct {
        int number, parameter;
        std::vector<std::array<int, 4>> rows;
    } families[] = {
        {25, 0, {{2, 99, 100, 0}}},                                  // 3 x 3 neighbourhoods
        {8, 0x787800, {{1, 99, 100, 0}}},                            // the lower-right neighbour
        {24, 0, {{3, 98, 100, 0}}},                                  // Aqua's 5 x 5
        {17, 10, {{0, 0, 0, 5}, {1, 100, 95, 5}}},                   // after the mean
        {21, 15, {{0, 0, 0, 10}, {1, 100, 90, 10}}},                 // error diffusion
        {28, 0, {{1, 100, 10, 0}, {0, 0, 0, 10}, {1, 100, 90, 10}}}, // smallest and largest first
        {2, 0, {{1, 100, 100, 0}}},
    };
    const Picture pic = RandomPicture(7, 100, 71);
    for (int threads : {1, 2}) {
        FilterEngine engine;
        engine.setThreadCount(threads);
        engine.setBandPixels(7 * 3); // bands of three rows
        for (const auto& family : families) {
            std::vector<int> figures, expected;
            for (const auto& [first, last, scale, offset] : family.rows)
                for (int y = first; y <= last; ++y)
                    expected.push_back(y * scale / 100 + offset);
            expected.push_back(100);
            RunEngine(engine, family.number, pic, family.parameter, nullptr, &figures);
            EXPECT_EQ(figures, expected) << family.number << " on " << threads;
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
