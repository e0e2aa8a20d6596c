#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "shell/thumb_area_average.h"

namespace fotello {
namespace {

std::uint32_t Rgb(int r, int g, int b) {
    return 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

std::vector<std::uint32_t> Resample(const std::vector<std::uint32_t>& src, int sw, int sh, int dw,
                                    int dh) {
    std::vector<std::uint32_t> dst(std::size_t(dw) * dh, 0x12345678u);
    AreaAverage({src.data(), sw, sh, sw}, {dst.data(), dw, dh, dw});
    return dst;
}

// Naive reference: each output pixel integrates the source over its area.
double Reference(const std::vector<std::uint32_t>& src, int sw, int sh, int dw, int dh, int x,
                 int y, int shift) {
    const double x0 = double(x) * sw / dw, x1 = double(x + 1) * sw / dw;
    const double y0 = double(y) * sh / dh, y1 = double(y + 1) * sh / dh;
    double sum = 0;
    for (int j = 0; j < sh; ++j)
        for (int i = 0; i < sw; ++i) {
            const double ox = std::max(0.0, std::min(x1, i + 1.0) - std::max(x0, double(i)));
            const double oy = std::max(0.0, std::min(y1, j + 1.0) - std::max(y0, double(j)));
            sum += ox * oy * ((src[std::size_t(j) * sw + i] >> shift) & 0xFF);
        }
    return sum / ((x1 - x0) * (y1 - y0));
}

TEST(AreaAverage, MatchesTheAreaIntegralOnAnySizes) {
    std::mt19937 rng(7);
    struct Size {
        int sw, sh, dw, dh;
    };
    for (const auto s : {Size{4, 4, 2, 2}, Size{7, 5, 3, 2}, Size{10, 3, 4, 3}, Size{5, 5, 5, 5},
                         Size{3, 2, 7, 5}, Size{13, 11, 1, 1}, Size{1, 9, 1, 4}}) {
        std::vector<std::uint32_t> src(std::size_t(s.sw) * s.sh);
        for (auto& p : src)
            p = Rgb(int(rng() % 256), int(rng() % 256), int(rng() % 256));
        const auto dst = Resample(src, s.sw, s.sh, s.dw, s.dh);
        for (int y = 0; y < s.dh; ++y)
            for (int x = 0; x < s.dw; ++x)
                for (int shift : {0, 8, 16}) {
                    SCOPED_TRACE(testing::Message() << s.sw << "x" << s.sh << " -> " << s.dw << "x"
                                                    << s.dh << " at " << x << "," << y);
                    const double want = Reference(src, s.sw, s.sh, s.dw, s.dh, x, y, shift);
                    const int got = int((dst[std::size_t(y) * s.dw + x] >> shift) & 0xFF);
                    EXPECT_LE(std::abs(got - want), 0.51);
                }
        for (auto p : dst)
            EXPECT_EQ(p >> 24, 0xFFu); // the fourth byte is opaque
    }
}

TEST(AreaAverage, KnownValues) {
    // 2 x 2 to 1 x 1 is the plain mean; 3 to 2 weighs the middle pixel by halves.
    EXPECT_EQ(
        Resample({Rgb(0, 0, 0), Rgb(100, 0, 0), Rgb(0, 200, 0), Rgb(0, 0, 40)}, 2, 2, 1, 1)[0],
        Rgb(25, 50, 10));
    const auto row = Resample({Rgb(0, 0, 0), Rgb(90, 90, 90), Rgb(180, 180, 180)}, 3, 1, 2, 1);
    EXPECT_EQ(row[0], Rgb(30, 30, 30));    // (1 * 0 + 0.5 * 90) / 1.5
    EXPECT_EQ(row[1], Rgb(150, 150, 150)); // (0.5 * 90 + 180) / 1.5
    // A flat picture stays exactly flat, white included.
    const std::vector<std::uint32_t> white(500 * 375, Rgb(255, 255, 255));
    for (auto p : Resample(white, 500, 375, 78, 58))
        ASSERT_EQ(p, Rgb(255, 255, 255));
}

TEST(AreaAverage, HonoursStridesAndLeavesEmptyAlone) {
    // A 2 x 2 picture inside rows of 3; the third column must not leak in.
    const std::vector<std::uint32_t> src = {Rgb(10, 10, 10), Rgb(30, 30, 30), Rgb(255, 0, 0),
                                            Rgb(50, 50, 50), Rgb(70, 70, 70), Rgb(255, 0, 0)};
    std::vector<std::uint32_t> dst(4, 0);
    AreaAverage({src.data(), 2, 2, 3}, {dst.data(), 1, 1, 2});
    EXPECT_EQ(dst[0], Rgb(40, 40, 40));
    EXPECT_EQ(dst[1], 0u); // outside the output row
    AreaAverage({src.data(), 0, 2, 3}, {dst.data(), 1, 1, 2});
    AreaAverage({src.data(), 2, 2, 3}, {dst.data(), 0, 1, 2});
    EXPECT_EQ(dst[0], Rgb(40, 40, 40));
}

} // namespace
} // namespace fotello
