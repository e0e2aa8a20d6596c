#include <gtest/gtest.h>

#include "view/zoom_rules.h"

using namespace fotello;

TEST(ZoomRules, PlacementAtTheExactFitAndOnePixelBeyond) {
    struct Case {
        Size picture, pane;
        ZoomPlace want;
    } cases[] = {
        {{400, 300}, {400, 300}, {{0, 0}, 0}}, // exactly as large: centred at 0, 0
        {{401, 300}, {400, 300}, {{0, 0}, 4}}, // one pixel wider
        {{400, 301}, {400, 300}, {{0, 0}, 4}}, // one pixel taller
        {{100, 50}, {400, 300}, {{150, 125}, 0}},
        {{101, 51}, {400, 300}, {{150, 124}, 0}}, // 149.5 -> 150, 124.5 -> 124
        {{10, 10}, {0, 0}, {{0, 0}, 4}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceZoomed(c.picture, c.pane), c.want)
            << c.picture.width << "x" << c.picture.height << " in " << c.pane.width << "x"
            << c.pane.height;
}

TEST(ZoomRules, StepsInThenOutGiveTheSizeBack) {
    const SizeF sizes[] = {{40, 30}, {1600, 1200}, {1, 1}, {7, 3333}, {123.5f, 77.25f}};
    for (SizeF s : sizes) {
        SizeF z = s;
        for (int i = 0; i < 5; ++i)
            z = ZoomStep(z, kZoomFactor);
        for (int i = 0; i < 5; ++i)
            z = ZoomStep(z, 1 / kZoomFactor);
        EXPECT_NEAR(z.width, s.width, s.width * 1e-5) << s.width;
        EXPECT_NEAR(z.height, s.height, s.height * 1e-5) << s.height;
        EXPECT_EQ(Rounded(z), Rounded(s));
    }
}

TEST(ZoomRules, SizesStayWithinWhatTheWindowSystemAccepts) {
    // Growing stops at the largest side, proportions kept.
    SizeF z{6000, 4000};
    for (int i = 0; i < 40; ++i)
        z = ZoomStep(z, kZoomFactor);
    EXPECT_FLOAT_EQ(z.width, kMaxZoomSide);
    EXPECT_NEAR(z.height, kMaxZoomSide * 4000 / 6000, 1);
    // The step that would cross the bound lands on it.
    const SizeF nearBound = ZoomStep({30000, 100}, kZoomFactor);
    EXPECT_FLOAT_EQ(nearBound.width, kMaxZoomSide);
    EXPECT_NEAR(nearBound.height, 100 * kMaxZoomSide / 30000, 1e-3);
    // Shrinking stops at one pixel on the short side.
    z = {40, 2};
    for (int i = 0; i < 10; ++i)
        z = ZoomStep(z, 1 / kZoomFactor);
    EXPECT_EQ(Rounded(z), (Size{20, 1}));
    // Nothing to zoom stays nothing.
    EXPECT_EQ(ZoomStep({0, 0}, kZoomFactor), (SizeF{0, 0}));
}

TEST(ZoomRules, RatiosOfTheNaturalSize) {
    struct Case {
        int n;
        Size want;
    } cases[] = {{1, {600, 400}},  {2, {1200, 800}}, {7, {4200, 2800}},
                 {-2, {300, 200}}, {-7, {86, 57}},   {0, {600, 400}}};
    for (const Case& c : cases)
        EXPECT_EQ(Rounded(RatioSize({600, 400}, c.n)), c.want) << c.n;
    // 7 : 1 of a large photo is cut to the bound.
    EXPECT_EQ(Rounded(RatioSize({6000, 4000}, 7)).width, 32767);
}
