#include <gtest/gtest.h>
#include <string>

#include "shell/thumb_geometry.h"

namespace fotello {
namespace {

TEST(PlaceThumb, SmallPicturesKeepTheirSizeLargeOnesFillTheFrame) {
    struct Case {
        int side, sw, sh;
        ThumbPlacement want;
    } const cases[] = {
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
        {0, 40, 30, {0, 0, 0, 0}},     // no box: nothing drawn, no negative sizes
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceThumb(c.side, c.sw, c.sh), c.want) << c.side << ": " << c.sw << "x" << c.sh;
}

TEST(ShortenCaption, CutsWholeCharactersAtTheEndAndAddsDots) {
    // Every character 7 pixels wide. Cell 100: limit 85 (12 characters); with
    // "..." (21) the limit is 64 (9 characters).
    const auto sevenEach = [](std::string_view s) {
        int chars = 0;
        for (unsigned char ch : s)
            chars += (ch & 0xC0) != 0x80;
        return chars * 7;
    };
    struct Case {
        const char* name;
        int cell;
        const char* want;
    } const cases[] = {
        {"short.jpg", 100, "short.jpg"},
        {"abcdefgh.jpg", 99, "abcdefgh.jpg"}, // 84 pixels: fits a limit of 84, not of 83
        {"abcdefgh.jpg", 98, "abcdefgh..."},
        {"abcdefghijklm.jpg", 99, "abcdefghi..."}, // beside "...": 63 for 9 characters
        {"abcdefghijklm.jpg", 98, "abcdefgh..."},
        {"abcdefghi.jpg", 100, "abcdefghi..."},
        {"a very long picture name.jpg", 120, "a very long ..."}, // the blank is kept
        {"Ação ção ção ção.jpg", 100, "Ação ção ..."},            // two-byte characters never split
        {"name.jpg", 10, "..."}, // limit below zero: the loop still ends
        {"", 0, "..."},          // width 0 is over -15
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortenCaption(c.name, c.cell, sevenEach), c.want) << c.name;
    // Widths by the byte: the limit of 10 bytes falls inside the "ã".
    const auto sevenPerByte = [](std::string_view s) { return int(s.size()) * 7; };
    EXPECT_EQ(ShortenCaption("Ação ção.jpg", 106, sevenPerByte), "Ação ç...");
}

TEST(Progress, FiguresInSinglePrecisionHalvesToEven) {
    struct Case {
        int i, count, want;
    } const percents[] = {{0, 3, 33}, {1, 3, 67},  {2, 3, 100},      {0, 1, 100}, {0, 8, 12},
                          {2, 8, 38}, {0, 200, 0}, {994, 1000, 100}, {0, 0, 0}};
    for (const auto& c : percents)
        EXPECT_EQ(ProgressPercent(c.i, c.count), c.want) << c.i << "/" << c.count;
    EXPECT_EQ(ProgressFillWidth(42, 200), 84);
    EXPECT_EQ(ProgressFillWidth(50, 75), 38); // 37.5 -> 38
    EXPECT_EQ(ProgressFillWidth(50, 73), 36); // 36.5 -> 36
    EXPECT_EQ(CentredTextTop(20, 15), 2);     // 2.5 -> 2
    EXPECT_EQ(CentredTextTop(21, 15), 3);
    EXPECT_EQ(CentredTextTop(10, 15), -2); // -2.5 -> -2
}

} // namespace
} // namespace fotello
