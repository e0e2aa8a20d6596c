#include <gtest/gtest.h>

#include "shell/layout_rules.h"

using namespace fotello;

// Shrunk by six fifths, height first, until it fits; a small picture is only centred.
TEST(FitPicture, ShrinksBySixFifthsUntilItFits) {
    const struct {
        Size picture, host, pane, size;
        Point position;
    } cases[] = {
        {{1500, 3000}, {5000, 2000}, {5000, 2000}, {868, 1736}, {2066, 132}}, // 3000, 2500, 2083
        {{1000, 100}, {500, 400}, {500, 400}, {482, 48}, {9, 176}}, // 1000, 833, 694, 579, 482
        {{40, 30}, {400, 300}, {401, 301}, {40, 30}, {180, 136}},   // 180.5, 135.5: halves to even
    };
    for (const auto& c : cases) {
        const Fit f = FitPicture(c.picture, c.host, c.pane);
        EXPECT_EQ(f.size, c.size) << c.picture.width << "x" << c.picture.height;
        EXPECT_EQ(f.position, c.position) << c.picture.width << "x" << c.picture.height;
    }
}

TEST(FitPicture, HugeAndDegenerateSizesEnd) {
    // Far past 16 bits.
    const Fit big = FitPicture({100000, 70000}, {800, 600}, {800, 600});
    EXPECT_LE(big.size.width, 800);
    EXPECT_LE(big.size.height, 600);
    // A collapsed pane cannot be met; the loop still ends.
    const Fit none = FitPicture({640, 480}, {0, 0}, {0, 0});
    EXPECT_LE(none.size.height, 2);
    EXPECT_LE(none.size.width, 2);
}

TEST(WindowLayout, StatusBarAndFolderPane) {
    // A status toolbar 420 twips (28 px) high: gaps of 60 twips (4 px).
    const StatusPlaces s = StatusBarPlaces(800, 28, 30, 200, 120);
    EXPECT_EQ(s.gap, 4);
    EXPECT_EQ(s.closeLeft, 800 - 30 - 4);
    EXPECT_EQ(s.progressLeft, s.closeLeft - 200 - 4);
    EXPECT_EQ(s.sizeLeft, s.closeLeft - 120 - 4);

    const FolderPane f = FolderPaneAfterSplit(3140);
    EXPECT_EQ(f.treeHeight, 1938);
    EXPECT_EQ(f.listHeight, 3140 - 1938 + 2) << "the list reaches the pane's bottom edge";
    EXPECT_EQ(FileListHeight(209, 129), 82);
    EXPECT_EQ(TwipsToPixels(1215), 81);
    EXPECT_EQ(ScaledHeight(30, 1.104), 27);
}

TEST(WindowLayout, CentredOrOrigin) {
    EXPECT_EQ(CentredOrOrigin({100, 50}, {300, 150}), (Point{100, 50}));
    EXPECT_EQ(CentredOrOrigin({300, 150}, {300, 150}), (Point{0, 0}));
    EXPECT_EQ(CentredOrOrigin({301, 10}, {300, 150}), (Point{0, 0}));
    EXPECT_EQ(CentredOrOrigin({10, 151}, {300, 150}), (Point{0, 0}));
}
