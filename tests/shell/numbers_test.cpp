#include <clocale>
#include <gtest/gtest.h>

#include "shell/numbers.h"

using namespace fotello;

TEST(Numbers, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundToInt16(32767.4), 32767);
    EXPECT_FALSE(RoundToInt16(32767.5)) << "32768 does not fit";
    EXPECT_FALSE(RoundToInt32(4e9));
    EXPECT_EQ(RoundToInt32(-2147483648.0), INT32_MIN);
}

TEST(Numbers, LeadingNumberOfText) {
    EXPECT_EQ(NumericValue("abc"), 0);
    EXPECT_EQ(NumericValue("120 x 100"), 120);
    EXPECT_EQ(NumericValue("-3.25abc"), -3.25);
    EXPECT_EQ(NumericValue("1e3x"), 1000);
    EXPECT_EQ(NumericValue("7e"), 7) << "an exponent without digits is not part of the number";
    EXPECT_EQ(NumericValue("."), 0);
    EXPECT_EQ(NumericValue("1e999"), 0) << "overflow gives no number";
}

TEST(Numbers, TextIgnoresTheUsersLocale) {
    // Qt applications take LC_NUMERIC from the environment; pt_BR writes "2,5".
    const char* had = std::setlocale(LC_NUMERIC, "pt_BR.UTF-8");
    EXPECT_EQ(NumericValue("2.5"), 2.5);
    EXPECT_EQ(NumberToText(2.5), "2.5");
    if (had)
        std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(NumberToText(8421504), "8421504");
    EXPECT_EQ(NumberToText(0.1), "0.1");
}
