#include <gtest/gtest.h>
#include <string>

#include "shell/thumb_geometry.h"

namespace fotello {
namespace {

struct PlaceCase {
    int side, sw, sh;
    ThumbPlacement want;
};

TEST(PlaceThumb, SmallPicturesKeepTheirSizeLargeOnesFillTheFrame) {
    const PlaceCase cases[] = {
        {64, 40, 30, {12, 17, 40, 30}},    // fits: own size, centred
        {64, 640, 480, {1, 9, 62, 46}},    // 46.5 rounds to the even 46
        {64, 62, 62, {1, 1, 62, 62}},      // exactly inside the frame: not scaled
        {64, 63, 10, {1, 27, 62, 10}},     // one pixel too wide: 10 * 62/63 = 9.84 -> 10
        {64, 480, 640, {9, 1, 46, 62}},    // portrait: the height fills
        {64, 100, 100, {1, 1, 62, 62}},    // square: the height's ratio
        {80, 4000, 3000, {1, 11, 78, 58}}, // 58.5 -> 58, y = floor(22 / 2)
        {64, 41, 30, {11, 17, 41, 30}},    // odd gap: floor((64 - 41) / 2)
        {64, 1, 1, {31, 31, 1, 1}},
        {64, 8000, 1, {1, 32, 62, 0}}, // thinner than a pixel: only the frame
        {100, 98, 98, {1, 1, 98, 98}},
        {0, 40, 30, {0, 0, 0, 0}}, // no box: nothing drawn, no negative sizes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.side << ": " << c.sw << "x" << c.sh);
        EXPECT_EQ(PlaceThumb(c.side, c.sw, c.sh), c.want);
    }
}

// Every character 7 pixels wide, so widths are easy to follow.
int SevenEach(std::string_view s) {
    int chars = 0;
    for (unsigned char ch : s)
        chars += (ch & 0xC0) != 0x80;
    return chars * 7;
}

TEST(ShortenCaption, CutsAtTheEndAndAddsDots) {
    // Cell 100 wide: limit 85 (12 characters); with "..." (21) the limit is 64 (9 chars).
    EXPECT_EQ(ShortenCaption("short.jpg", 100, SevenEach), "short.jpg");
    EXPECT_EQ(ShortenCaption("abcdefgh.jpg", 100, SevenEach), "abcdefgh.jpg"); // 84 <= 85
    EXPECT_EQ(ShortenCaption("abcdefghi.jpg", 100, SevenEach), "abcdefghi...");
    EXPECT_EQ(ShortenCaption("a very long picture name.jpg", 120, SevenEach),
              "a very long ..."); // 12 characters kept, the blank too
}

TEST(ShortenCaption, RemovesWholeCharacters) {
    // "ção" characters are two bytes each; a cut never splits one.
    const std::string name = "Ação ção ção ção.jpg";
    const std::string got = ShortenCaption(name, 100, SevenEach);
    EXPECT_EQ(got, "Ação ção ...");
}

TEST(ShortenCaption, NarrowCellEndsWithOnlyDots) {
    // Limit below zero: every character goes, and the loop still ends.
    EXPECT_EQ(ShortenCaption("name.jpg", 10, SevenEach), "...");
    EXPECT_EQ(ShortenCaption("name.jpg", 0, SevenEach), "...");
    EXPECT_EQ(ShortenCaption("", 0, SevenEach), "..."); // width 0 is over -15
}

TEST(Progress, PercentInSinglePrecisionHalvesToEven) {
    EXPECT_EQ(ProgressPercent(0, 3), 33);
    EXPECT_EQ(ProgressPercent(1, 3), 67);
    EXPECT_EQ(ProgressPercent(2, 3), 100);
    EXPECT_EQ(ProgressPercent(0, 1), 100);
    EXPECT_EQ(ProgressPercent(0, 8), 12);  // 12.5 -> 12
    EXPECT_EQ(ProgressPercent(2, 8), 38);  // 37.5 -> 38
    EXPECT_EQ(ProgressPercent(0, 200), 0); // 0.5 -> 0
    EXPECT_EQ(ProgressPercent(0, 400), 0);
    EXPECT_EQ(ProgressPercent(994, 1000), 100); // 99.5 -> 100 before the end
    EXPECT_EQ(ProgressPercent(0, 0), 0);
}

TEST(Progress, BarAndTextFigures) {
    EXPECT_EQ(ProgressFillWidth(42, 200), 84);
    EXPECT_EQ(ProgressFillWidth(100, 213), 213);
    EXPECT_EQ(ProgressFillWidth(50, 75), 38); // 37.5 -> 38
    EXPECT_EQ(ProgressFillWidth(50, 73), 36); // 36.5 -> 36
    EXPECT_EQ(ProgressFillWidth(0, 200), 0);
    EXPECT_EQ(CentredTextTop(20, 15), 2); // 2.5 -> 2
    EXPECT_EQ(CentredTextTop(21, 15), 3);
    EXPECT_EQ(CentredTextTop(10, 15), -2); // -2.5 -> -2
    EXPECT_EQ(OpeningStatusText(42), "Abrindo:  42 %");
    EXPECT_EQ(OpeningStatusText(100), "Abrindo:  100 %");
    EXPECT_EQ(OpeningStatusText(0), "Abrindo:  0 %");
}

} // namespace
} // namespace fotello
