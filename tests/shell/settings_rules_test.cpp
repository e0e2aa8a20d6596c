#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/settings_rules.h"

using namespace fotello;
using ::testing::ElementsAre;

static std::vector<std::string> Texts(const ThumbFields& f) {
    return {f.text1, f.text2, f.text3};
}

TEST(ParseThumbSize, FieldsByPositionAroundTheX) {
    struct Case {
        const char* text;
        const char* t1; // "old1" when the first field is left alone
        const char* t2;
        const char* t3; // "old3" when the third field is left alone
    } const cases[] = {
        {" 80 x 96 - 64 x 64", " 80 ", " 96 ", " 64"},
        {"120 x 100 - 80 x 80", "120 ", " 100", " 80"},
        {"120 x 120 - 100 x 100", "120 ", " 120", "100"},
        {"grande", "old1", "gran", "nde"},  // no "x": the second field takes the start
        {"", "old1", "", "old3"},           // empty: only the second field empties
        {"9x", "old1", "", "old3"},         // too short for the first and the third
        {"ção x 12", "ção ", " 12", " 12"}, // positions count characters, not bytes
        {"abcx 12", "old1", " 12", " 12"},  // "x" at 4: p - 4 is 0, no first field
        {"abcdx 12", "abcd", " 12", " 12"}, // "x" at 5: the first field starts at 1
        {"abc", "old1", "abc", "abc"},      // three characters: the third field is all of them
        {"ab", "old1", "ab", "old3"},
        {"100 x 100 - 0 x 0", "100 ", " 100", "x 0"},
    };
    for (const Case& c : cases) {
        const ThumbFields f = ParseThumbSize(c.text, {"old1", "old2", "old3"});
        EXPECT_THAT(Texts(f), ElementsAre(c.t1, c.t2, c.t3)) << c.text;
    }
}

TEST(ParseThumbSize, UnusableGeometryFallsBackToTheDefault) {
    const ThumbFields def = ParseThumbSize(kDefaultThumbGeometry, {});
    EXPECT_EQ(UsableThumbFields(ParseThumbSize("100 x 0 - 8 x 8", {})).text2, def.text2);
    // A picture box of 0: every field becomes the default's, not only the third.
    EXPECT_EQ(Texts(UsableThumbFields(ParseThumbSize("100 x 100 - 0 x 0", {}))), Texts(def));
    // First field of 0 ("abcx" leaves it empty).
    EXPECT_EQ(UsableThumbFields(ParseThumbSize("abcx 12", {})).text3, def.text3);
    const ThumbFields good = ParseThumbSize("120 x 120 - 100 x 100", {});
    EXPECT_EQ(UsableThumbFields(good).text3, "100");
}

TEST(SettingsRules, ThumbGeometryFromTheFields) {
    struct Case {
        ThumbFields fields;
        ThumbGeometry geometry;
    };
    const ThumbGeometry def{100, 100, 80};
    const Case cases[] = {
        {{" 80 ", " 96 ", " 64"}, {80, 96, 64}},
        {{"120 ", " 120", "100"}, {120, 120, 100}},
        {{"99.5", "100.5", "1"}, {100, 100, 1}}, // halves to even
        {{"100 ", " 100", "0.4"}, def},          // rounds to no size
        {{"100 ", "", " 80"}, def},
        {{"100 ", "1e12", " 80"}, def}, // past 32 bits
        {{"abcx", " 12", "x 12"}, def},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ThumbGeometryOf(c.fields), c.geometry)
            << c.fields.text1 << "|" << c.fields.text2 << "|" << c.fields.text3;
    EXPECT_EQ(SettingsValues{}.thumbs, def) << "before any settings are read";
}

TEST(SettingsRules, BackgroundAndMagnifier) {
    EXPECT_EQ(WindowBackColorValue(""), 0);
    EXPECT_EQ(WindowBackColorValue("254.5"), 254) << "halves to even";
    EXPECT_EQ(WindowBackColorValue("255.5"), 256);
    EXPECT_FALSE(WindowBackColorValue("1e20")) << "overflow leaves the colour as it was";
    EXPECT_TRUE(IsBgrColour(0xFFFFFF));
    EXPECT_FALSE(IsBgrColour(0x1000000));
    EXPECT_FALSE(IsBgrColour(-1));

    EXPECT_TRUE(MagnifierOn("Sim"));
    EXPECT_FALSE(MagnifierOn("sim"));
    EXPECT_FALSE(MagnifierOn("Sim "));
}
