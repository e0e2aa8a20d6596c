#include <climits>
#include <gtest/gtest.h>

#include "view/slide_sequence.h"

using namespace fotello;
using namespace std::chrono_literals;

TEST(SlideRules, IntervalByTheLeadingNumber) {
    struct Case {
        const char* text;
        std::chrono::milliseconds want;
    } cases[] = {
        {"1.5", 1500ms}, {" 2 segundos", 2000ms}, {"-3", 0ms},
        {"abc", 0ms},    {".25", 250ms},          {"1e9", std::chrono::milliseconds(INT_MAX)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SlideWait(SlideIntervalSeconds(c.text)), c.want) << c.text;
}

TEST(SlideRules, CounterAndJoinedPaths) {
    EXPECT_EQ(SlideCounter(2, 12), "3 de 12");
    EXPECT_EQ(JoinFolderFile("/", "a.jpg"), "/a.jpg") << "a volume root gets no second separator";
    EXPECT_EQ(JoinFolderFile("/media/fotos/", "a.jpg"), "/media/fotos/a.jpg");
    EXPECT_EQ(JoinFolderFile("/media/fotos", "a.jpg"), "/media/fotos/a.jpg");
}

TEST(SlideSequence, PassesWrapAroundAndTicksWaitForThePass) {
    SlideSequence s;
    const auto t0 = SlideClock::time_point{} + 1000h;
    EXPECT_FALSE(s.tick(3, "1")) << "no show, no pass";
    s.start();
    ASSERT_EQ(s.tick(3, "1"), 0);
    EXPECT_FALSE(s.tick(3, "1")) << "a tick during a pass is not a new pass";
    EXPECT_EQ(s.shown(t0), 1000ms);
    EXPECT_FALSE(s.wake(t0 + 999ms)) << "woken early";
    EXPECT_EQ(s.remaining(t0 + 999ms), 1ms);
    EXPECT_EQ(s.wake(t0 + 1000ms), 1);
    s.shown(t0 + 1000ms);
    EXPECT_EQ(s.wake(t0 + 2000ms), 2);
    s.shown(t0 + 2000ms);
    EXPECT_FALSE(s.wake(t0 + 3000ms)) << "the pass ends after the last picture";
    EXPECT_EQ(s.phase(), SlideSequence::Phase::BetweenPasses);
    // The next tick starts from the first picture, reading the interval again.
    ASSERT_EQ(s.tick(2, "0"), 0);
    EXPECT_EQ(s.shown(t0 + 4000ms), 0ms);
    EXPECT_EQ(s.wake(t0 + 4000ms), 1);
}

TEST(SlideSequence, AnEmptyListPassesAtOnceAndKeepsTicking) {
    SlideSequence s;
    s.start();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(s.tick(0, "1"));
        EXPECT_EQ(s.phase(), SlideSequence::Phase::BetweenPasses);
    }
    EXPECT_FALSE(s.stop(0)) << "nothing to leave loaded";
}

TEST(SlideSequence, StopDuringAWaitLeavesTheLastPicture) {
    SlideSequence s;
    const auto t0 = SlideClock::time_point{};
    s.start();
    s.tick(12, "5");
    s.shown(t0);
    ASSERT_EQ(s.wake(t0 + 5s), 1);
    s.shown(t0 + 5s);
    EXPECT_EQ(s.stop(12), 11);
    EXPECT_EQ(s.phase(), SlideSequence::Phase::Idle);
    EXPECT_FALSE(s.wake(t0 + 10s)) << "the wait of picture 2 ends nothing";
    EXPECT_FALSE(s.tick(12, "5"));
}

TEST(SlideSequence, TheWaitIsElapsedTimeOnASteadyClock) {
    // The sequence knows no wall clock: a show across midnight, or a clock
    // set back, cannot stretch or cut a wait.
    static_assert(SlideClock::is_steady);
    SlideSequence s;
    s.start();
    s.tick(2, "2");
    const auto late = SlideClock::time_point::max() - 1h;
    s.shown(late);
    EXPECT_EQ(s.remaining(late + 500ms), 1500ms);
    EXPECT_EQ(s.wake(late + 2s), 1);
}
