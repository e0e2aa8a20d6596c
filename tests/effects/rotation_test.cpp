// Rotation: angle text, sizing, the routine against its plain form.

#include <cmath>
#include <gtest/gtest.h>

#include "effects/rotation.h"
#include "reference_filters.h"

namespace fotello::testing {
namespace {

// The routine written plainly: one thread, rows in order, the formula as is.
Picture ReferenceRotate(const Picture& src, Picture dst, double a) {
    auto round = [](double v) { return (long long)std::nearbyint(v); };
    const long long csx = round(src.w / 2.0), csy = round(src.h / 2.0);
    const long long cdx = round(dst.w / 2.0), cdy = round(dst.h / 2.0);
    const long long R = round(std::min(dst.w, dst.h) / 2.0 - 1);
    auto point = [&](long long x, long long y) -> const std::uint8_t* {
        if (x < 0 || y < 0 || x >= src.w || y >= src.h)
            return nullptr;
        return &src.bytes[(y * src.w + x) * 4];
    };
    auto set = [&](long long x, long long y, const std::uint8_t* c) {
        if (c && x >= 0 && y >= 0 && x < dst.w && y < dst.h)
            for (int k = 0; k < 3; ++k)
                dst.bytes[(y * dst.w + x) * 4 + k] = c[k];
    };
    for (long long Y = 0; Y <= R; ++Y)
        for (long long X = 0; X <= R; ++X) {
            const double t = Y == 0 ? kRotationPi / 2 : std::atan(double(X) / double(Y));
            const double rho = std::nearbyint(std::sqrt(double(X * X + Y * Y)));
            const long long u = round(rho * std::cos(t + a)), v = round(rho * std::sin(t + a));
            const auto *c0 = point(csx + u, csy + v), *c1 = point(csx - u, csy - v),
                       *c2 = point(csx + v, csy - u), *c3 = point(csx - v, csy + u);
            set(cdx + Y, cdy + X, c0);
            set(cdx - Y, cdy - X, c1);
            set(cdx + X, cdy - Y, c2);
            set(cdx - X, cdy + Y, c3);
        }
    return dst;
}

Picture FromBuffer(PixelBuffer& b) {
    Picture p(b.width(), b.height());
    std::copy(b.bits(), b.bits() + p.bytes.size(), p.bytes.begin());
    return p;
}

TEST(RotationAngle, TextAndSizing) {
    EXPECT_EQ(ParseRotationAngle("0"), 0);
    EXPECT_EQ(ParseRotationAngle("360"), 360);
    EXPECT_EQ(ParseRotationAngle("090"), 90);
    EXPECT_FALSE(ParseRotationAngle("361"));
    EXPECT_FALSE(ParseRotationAngle(""));
    EXPECT_FALSE(ParseRotationAngle("-5"));
    EXPECT_EQ(RotateShapeFor("90"), RotateShape::SquareOfWidth);
    EXPECT_EQ(RotateShapeFor("180"), RotateShape::HalfTurn);
    EXPECT_EQ(RotateShapeFor("090"), RotateShape::SquareOfDiagonal);
}

// The large picture takes the fast trigonometry.
TEST(RotatePicture, MatchesPlainRoutineAtManyAnglesAndSizes) {
    for (auto [w, h] : {std::pair{31, 17}, {1, 1}, {2, 5}, {700, 450}}) {
        Picture src = RandomPicture(w, h, 32 + w);
        for (int deg : {0, 33, 90, 200, 270, 271, 360}) {
            for (bool cw : {false, true}) {
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " angle " +
                             std::to_string(deg) + (cw ? " cw" : " ccw"));
                const std::string text = std::to_string(deg);
                // Background blue 0x33, green 0x66, red 0x99 where nothing lands.
                auto out = RotatePicture(ViewOf(src), text, cw, 0x00336699, 2);
                ASSERT_TRUE(out);
                const int side = RotateShapeFor(text) == RotateShape::SquareOfWidth
                                     ? w
                                     : int(std::nearbyint(std::sqrt(double(w * w + h * h))));
                ASSERT_EQ(out->width(), side);
                ASSERT_EQ(out->height(), side);
                Picture blank = FlatPicture(side, side, 0x33, 0x66, 0x99);
                EXPECT_EQ(FromBuffer(*out).bytes,
                          ReferenceRotate(src, blank, RotationRadians(deg, cw)).bytes);
            }
        }
    }
}

TEST(RotatePicture, HalfTurnTurnsTheWholePicture) {
    Picture src = RandomPicture(7, 4, 35);
    auto out = RotatePicture(ViewOf(src), "180", true, 0);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->width(), 7);
    ASSERT_EQ(out->height(), 4);
    const Picture got = FromBuffer(*out);
    for (int y = 1; y <= 4; ++y)
        for (int x = 1; x <= 7; ++x)
            for (int c = 1; c <= 4; ++c)
                EXPECT_EQ(got.at(c, x, y), src.at(c, 8 - x, 5 - y));
    EXPECT_FALSE(RotatePicture(ViewOf(src), "400", false, 0));
}

TEST(RotatePicture, StopsWhenNoLongerRunning) {
    Picture src = RandomPicture(400, 400, 36);
    std::atomic<bool> running{false};
    auto out = RotatePicture(ViewOf(src), "45", false, 0x00FFFFFF, 1, &running);
    ASSERT_TRUE(out);
    const Picture got = FromBuffer(*out);
    // Only the axis points and the first row of the rest were drawn: most stays background.
    std::size_t background = 0;
    for (std::size_t i = 0; i < got.bytes.size(); i += 4)
        background += got.bytes[i] == 255 && got.bytes[i + 1] == 255 && got.bytes[i + 2] == 255;
    EXPECT_GT(background, got.bytes.size() / 4 * 8 / 10);
}

} // namespace
} // namespace fotello::testing
