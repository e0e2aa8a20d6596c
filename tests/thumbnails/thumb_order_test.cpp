#include <gtest/gtest.h>
#include <string>

#include "shell/thumb_order.h"

namespace fotello {
namespace {

TEST(ThumbOrder, ResultsLeaveInListOrderWithinTheWindow) {
    ThumbOrder<std::string> order;
    order.reset(5, 3);
    for (int i : {0, 1, 2})
        EXPECT_EQ(order.issue(), i);
    EXPECT_FALSE(order.canIssue()); // three out: the window is full
    EXPECT_TRUE(order.put(2, "c"));
    EXPECT_TRUE(order.put(1, "b"));
    EXPECT_FALSE(order.takeNext()); // entry 0 is still out
    EXPECT_FALSE(order.canIssue()); // waiting results count against the window
    EXPECT_TRUE(order.put(0, "a"));
    for (const char* want : {"a", "b", "c"})
        EXPECT_EQ(order.takeNext().value().second, want);
    EXPECT_FALSE(order.takeNext());
    EXPECT_EQ(order.released(), 3);
    EXPECT_EQ(order.issue(), 3);
    EXPECT_EQ(order.issue(), 4);
    EXPECT_FALSE(order.canIssue()); // all handed out
    EXPECT_TRUE(order.put(4, "e"));
    EXPECT_TRUE(order.put(3, "d"));
    EXPECT_EQ(order.takeNext()->first, 3);
    EXPECT_FALSE(order.done());
    EXPECT_EQ(order.takeNext()->first, 4);
    EXPECT_TRUE(order.done());
}

TEST(ThumbOrder, StrayResultsAreRefused) {
    ThumbOrder<int> order;
    order.reset(4, 2);
    order.issue();
    EXPECT_FALSE(order.put(1, 10)); // never handed out
    EXPECT_TRUE(order.put(0, 1));
    EXPECT_FALSE(order.put(0, 2)); // twice
    EXPECT_EQ(order.takeNext()->second, 1);
    EXPECT_FALSE(order.put(0, 3)); // already gone
    EXPECT_FALSE(order.put(-1, 3));
    order.reset(0, 2);
    EXPECT_TRUE(order.done());
    EXPECT_FALSE(order.canIssue());
}

} // namespace
} // namespace fotello
