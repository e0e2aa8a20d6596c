#include <gtest/gtest.h>

#include "view/magnifier_rules.h"

using namespace fotello;

TEST(MagnifierRules, TheCentreFollowsThePointerOnlyWhileTheSourceStaysOnTheScreen) {
    const Size screen{1280, 800};
    const Size pane{150, 98}; // value 50: 75 x 49, half sizes 37 and 24
    struct Case {
        Point cursor, before, centre;
    } cases[] = {
        {{500, 400}, {300, 300}, {500, 400}},
        {{0, 0}, {300, 300}, {300, 300}},    // top-left corner: both axes keep the centre
        {{36, 400}, {300, 300}, {300, 400}}, // 36 - 37 < 0
        {{37, 24}, {300, 300}, {37, 24}},    // exactly at the edge: still on the screen
        {{37, 23}, {300, 300}, {37, 300}},
        {{1242, 775}, {300, 300}, {1242, 775}}, // 1242 + 37 = 1279, 775 + 24 = 799
        {{1243, 776}, {300, 300}, {300, 300}},  // one more reaches the edge
        // A kept centre off the screen stops at the edge.
        {{0, 0}, {0, 0}, {37, 24}}, // the first tick in the corner
        {{1279, 799}, {0, 0}, {37, 24}},
        {{1279, 799}, {1279, 799}, {1242, 775}},
        {{5, 400}, {0, 0}, {37, 400}}, // only the axis that left
    };
    for (const Case& c : cases) {
        const MagnifierCapture m = MagnifierSource(c.cursor, screen, pane, 50, c.before);
        EXPECT_EQ(m.centre, c.centre) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(m.source, (Rect{c.centre.x - 37, c.centre.y - 24, 75, 49}))
            << c.cursor.x << "," << c.cursor.y;
    }
    // A screen narrower than the source: its middle.
    EXPECT_EQ(MagnifierSource({5, 5}, {60, 40}, pane, 100, {0, 0}).centre, (Point{30, 20}));
}

TEST(MagnifierRules, TheValueSetsTheSourceSize) {
    const Size screen{1280, 800};
    struct Case {
        Size pane;
        int value;
        Rect source;
    } cases[] = {
        {{150, 98}, 100, {425, 351, 150, 98}}, // the screen at its own size
        {{150, 98}, 25, {481, 388, 38, 24}},   // 37.5 -> 38, 24.5 -> 24
        {{73, 50}, 50, {482, 388, 36, 25}},    // 36.5 -> 36
        {{150, 98}, 0, {500, 400, 0, 0}},      // nothing to copy
    };
    for (const Case& c : cases)
        EXPECT_EQ(MagnifierSource({500, 400}, screen, c.pane, c.value, {0, 0}).source, c.source)
            << c.pane.width << " at " << c.value;
}
