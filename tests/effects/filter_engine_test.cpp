// The engine's protocol: progress figures, the busy flag, unknown numbers,
// failed allocations, the menu table.

#include <future>
#include <gtest/gtest.h>
#include <thread>

#include "effects/filter_table.h"
#include "engine_support.h"

namespace fotello::testing {
namespace {

std::vector<int> Figures(FilterEngine& engine, int number, std::int32_t p) {
    std::vector<int> figures;
    RunEngine(engine, number, RandomPicture(7, 100, 1), p, nullptr, &figures);
    return figures;
}

std::vector<int> Range(int first, int last, int scale, int offset) {
    std::vector<int> v;
    for (int y = first; y <= last; ++y)
        v.push_back(y * scale / 100 + offset);
    return v;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> v;
    for (const auto& p : parts)
        v.insert(v.end(), p.begin(), p.end());
    return v;
}

TEST(FilterProgress, FiguresForAHundredRowPicture) {
    for (int threads : {1, 2}) {
        FilterEngine engine;
        engine.setThreadCount(threads);
        engine.setBandPixels(7 * 3); // bands of three rows
        SCOPED_TRACE(threads);
        // Point filters: every row, then 100 once more.
        EXPECT_EQ(Figures(engine, 2, 0), Join({Range(1, 100, 100, 0), {100}}));
        EXPECT_EQ(Figures(engine, 29, 50), Join({Range(1, 100, 100, 0), {100}}));
        // 3 x 3 filters: rows 2 to 99.
        EXPECT_EQ(Figures(engine, 7, 0xFFFFFF), Join({Range(2, 99, 100, 0), {100}}));
        EXPECT_EQ(Figures(engine, 1, 2), Join({Range(2, 99, 100, 0), {100}}));
        // Lower-right filters: rows 1 to 99; Aqua rows 3 to 98.
        EXPECT_EQ(Figures(engine, 8, 0), Join({Range(1, 99, 100, 0), {100}}));
        EXPECT_EQ(Figures(engine, 24, 0), Join({Range(3, 98, 100, 0), {100}}));
        // First passes.
        EXPECT_EQ(Figures(engine, 17, 10), Join({{5}, Range(1, 100, 95, 5), {100}}));
        EXPECT_EQ(Figures(engine, 19, 0), Join({{5}, Range(1, 100, 95, 5), {100}}));
        EXPECT_EQ(Figures(engine, 21, 15), Join({{10}, Range(1, 100, 90, 10), {100}}));
        EXPECT_EQ(Figures(engine, 28, 0),
                  Join({Range(1, 100, 10, 0), {10}, Range(1, 100, 90, 10), {100}}));
    }
}

TEST(FilterProgress, AtomicEndsAtHundredAndTinyPicturesStillFinish) {
    FilterEngine engine;
    std::atomic<int> percent{-1};
    FilterProgress progress;
    progress.percent = &percent;
    Picture pic = RandomPicture(1, 1, 4);
    EXPECT_EQ(engine.ApplyFilter(1, ViewOf(pic), 2, progress), FilterStatus::Done);
    EXPECT_EQ(percent.load(), 100);
    percent = -1;
    EXPECT_EQ(engine.ApplyFilter(21, PixelView{}, 15, progress), FilterStatus::Done);
    EXPECT_EQ(percent.load(), 100);
}

TEST(FilterEngineRules, UnknownNumbersChangeNothing) {
    FilterEngine engine;
    const Picture in = RandomPicture(4, 4, 9);
    for (int n : {0, 32, -5, 1000}) {
        FilterStatus status{};
        std::vector<int> figures;
        EXPECT_EQ(RunEngine(engine, n, in, 0, &status, &figures).bytes, in.bytes);
        EXPECT_EQ(status, FilterStatus::UnknownFilter);
        EXPECT_TRUE(figures.empty());
    }
}

TEST(FilterEngineRules, SecondCallWhileBusyReturnsAtOnce) {
    FilterEngine engine;
    Picture first = RandomPicture(5, 50, 10);
    Picture second = RandomPicture(5, 50, 11);
    const Picture secondBefore = second;
    const Picture expected = RunEngine(engine, 2, first, 0);
    // From inside the running filter (as an event served between rows would).
    std::vector<FilterStatus> inner;
    FilterProgress progress;
    progress.onReport = [&](int) {
        inner.push_back(engine.ApplyFilter(12, ViewOf(second), 0, {}));
    };
    EXPECT_TRUE(!engine.busy());
    EXPECT_EQ(engine.ApplyFilter(2, ViewOf(first), 0, progress), FilterStatus::Done);
    EXPECT_EQ(first.bytes, expected.bytes);
    EXPECT_EQ(second.bytes, secondBefore.bytes);
    ASSERT_FALSE(inner.empty());
    for (FilterStatus s : inner)
        EXPECT_EQ(s, FilterStatus::Busy);
    EXPECT_FALSE(engine.busy());
}

TEST(FilterEngineRules, SecondCallFromAnotherThreadIsRefused) {
    FilterEngine engine;
    Picture first = RandomPicture(5, 20, 12);
    Picture second = RandomPicture(5, 20, 13);
    const Picture secondBefore = second;
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    FilterProgress progress;
    bool once = false;
    progress.onReport = [&](int) {
        if (!once) {
            once = true;
            started.set_value();
            released.wait();
        }
    };
    std::thread runner([&] { engine.ApplyFilter(3, ViewOf(first), 0, progress); });
    started.get_future().wait();
    EXPECT_EQ(engine.ApplyFilter(7, ViewOf(second), 0, {}), FilterStatus::Busy);
    release.set_value();
    runner.join();
    EXPECT_EQ(second.bytes, secondBefore.bytes);
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
    EXPECT_FALSE(FilterReadsCopy(2));
    EXPECT_FALSE(FilterReadsCopy(1)); // in place: reads what it has already written
    EXPECT_FALSE(FilterReadsCopy(25));
    EXPECT_TRUE(FilterReadsCopy(24));
    EXPECT_TRUE(FilterReadsCopy(19));
    EXPECT_FALSE(FilterReadsCopy(32));
    RunEngine(engine, 25, pic, 0);
    EXPECT_EQ(engine.heldBytes(), 0u); // 3 x 3 filters keep only a few rows as they were
    RunEngine(engine, 24, pic, 0);
    EXPECT_EQ(engine.heldBytes(), 400u);
    engine.ReleaseBuffers();
    EXPECT_EQ(engine.heldBytes(), 0u);
}

TEST(FilterTable, MenuRows) {
    const auto table = FilterTable();
    EXPECT_EQ(table.size(), 40u);
    const FilterMenuEntry* contour = FindFilterEntry("mnuContour");
    ASSERT_NE(contour, nullptr);
    EXPECT_EQ(contour->caption, "&Contour");
    EXPECT_EQ(contour->number, 7);
    EXPECT_EQ(contour->parameter, 0xFFFFFF);
    const FilterMenuEntry* emboss = FindFilterEntry("mnuEmboss");
    ASSERT_NE(emboss, nullptr);
    EXPECT_EQ(emboss->parameter, 0x787800); // red 0, green 120, blue 120
    EXPECT_EQ(FindFilterEntry("mnuDark")->parameter, -10);
    EXPECT_EQ(FindFilterEntry("mnuBW1")->caption, "B&&W (High Contrast)");
    EXPECT_EQ(FindFilterEntry("mnuBW1")->parameter, 0xB4B4B4);
    EXPECT_TRUE(FindFilterEntry("mnuGamma")->parameterFromUser);
    EXPECT_EQ(FindFilterEntry("mnuRGB5")->caption, "RGB -> GRB");
    EXPECT_EQ(FindFilterEntry("mnuRGB5")->parameter, 5);
    EXPECT_EQ(FindFilterEntry("mnuNothing"), nullptr);
    for (const FilterMenuEntry& e : table) {
        EXPECT_GE(e.number, 1);
        EXPECT_LE(e.number, 31);
    }
}

} // namespace
} // namespace fotello::testing
