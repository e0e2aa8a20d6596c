// The decoders' shared memory budget: what fits is granted at once, what
// never fits is refused at once, the rest waits its turn in order.

#include <gtest/gtest.h>
#include <thread>

#include "platform/memory_budget.h"

namespace fotello {
namespace {

TEST(MemoryBudget, GrantsWhatFitsAndRefusesWhatNeverWill) {
    struct Case {
        std::int64_t held, asked;
        bool granted;
    } cases[] = {
        {0, 0, true},     {0, 1000, true},    {400, 600, true},
        {0, 1001, false}, {999, 1001, false}, {0, -1, false},
    };
    for (const Case& c : cases) {
        MemoryBudget budget(1000);
        MemoryBudget::Grant first = budget.reserve(c.held);
        ASSERT_TRUE(first);
        MemoryBudget::Grant second = budget.reserve(c.asked);
        EXPECT_EQ(bool(second), c.granted) << c.held << " + " << c.asked;
        EXPECT_EQ(budget.held(), c.held + (c.granted ? c.asked : 0));
    }
    MemoryBudget budget(1000);
    {
        MemoryBudget::Grant a = budget.reserve(700);
        MemoryBudget::Grant moved = std::move(a);
        EXPECT_EQ(budget.held(), 700);
    }
    EXPECT_EQ(budget.held(), 0);
}

TEST(MemoryBudget, WaitersAreServedInTurnWhenBytesComeBack) {
    MemoryBudget budget(1000);
    MemoryBudget::Grant big = budget.reserve(800);
    MemoryBudget::Grant grants[2];
    auto take = [&](int who, std::int64_t bytes) { grants[who] = budget.reserve(bytes); };
    // 600 waits for the 800 to go; 100 would fit now but queues behind it.
    std::thread first(take, 0, 600);
    while (budget.waiting() != 1) // no fixed sleeps: the other thread makes it true
        std::this_thread::yield();
    std::thread second(take, 1, 100);
    while (budget.waiting() != 2)
        std::this_thread::yield();
    EXPECT_EQ(budget.held(), 800);
    big.release();
    first.join();
    second.join();
    EXPECT_TRUE(grants[0] && grants[1]);
    EXPECT_EQ(budget.held(), 700);
    EXPECT_EQ(budget.waiting(), 0);
}

} // namespace
} // namespace fotello
