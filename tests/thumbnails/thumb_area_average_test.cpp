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

// Both pictures sit in rows one pixel wider than they are: a red source
// column that must not leak in, and a destination column that must stay as it was.
const std::uint32_t kPad = Rgb(255, 0, 0), kUntouched = 0x12345678u;

std::vector<std::uint32_t> Resample(const std::vector<std::uint32_t>& src, int sw, int sh, int dw,
                                    int dh) {
    std::vector<std::uint32_t> padded(std::size_t(sw + 1) * sh, kPad);
    for (int y = 0; y < sh; ++y)
        std::copy_n(&src[std::size_t(y) * sw], sw, &padded[std::size_t(y) * (sw + 1)]);
    std::vector<std::uint32_t> dst(std::size_t(dw + 1) * dh, kUntouched);
    AreaAverage({padded.data(), sw, sh, sw + 1}, {dst.data(), dw, dh, dw + 1});
    std::vector<std::uint32_t> out;
    for (int y = 0; y < dh; ++y) {
        EXPECT_EQ(dst[std::size_t(y) * (dw + 1) + dw], kUntouched) << "row " << y;
        out.insert(out.end(), &dst[std::size_t(y) * (dw + 1)],
                   &dst[std::size_t(y) * (dw + 1) + dw]);
    }
    return out;
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

TEST(AreaAverage, MatchesTheAreaIntegralOnAnySizesAndStrides) {
    std::mt19937 rng(7);
    struct Size {
        int sw, sh, dw, dh;
    };
    for (const auto s :
         {Size{4, 4, 2, 2}, Size{3, 1, 2, 1}, Size{7, 5, 3, 2}, Size{10, 3, 4, 3}, Size{5, 5, 5, 5},
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

TEST(AreaAverage, FlatStaysExactlyFlatAndEmptyIsLeftAlone) {
    const std::vector<std::uint32_t> white(500 * 375, Rgb(255, 255, 255));
    for (auto p : Resample(white, 500, 375, 78, 58))
        ASSERT_EQ(p, Rgb(255, 255, 255));
    std::uint32_t dst = kUntouched;
    AreaAverage({white.data(), 0, 2, 3}, {&dst, 1, 1, 1});
    AreaAverage({white.data(), 2, 2, 3}, {&dst, 0, 1, 1});
    EXPECT_EQ(dst, kUntouched);
}

} // namespace
} // namespace fotello
