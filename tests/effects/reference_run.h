#pragma once
// The literal reference filters' shared state: the work and source arrays,
// 1-based access, and the helpers the filters use.

#include <cmath>
#include <cstdint>

#include "reference_filters.h"

namespace fotello::testing::reference {

inline int Clamp(long long v) {
    return int(v < 0 ? 0 : (v > 255 ? 255 : v));
}
inline long long Round(double v) {
    return (long long)std::nearbyint(v);
}

struct Run {
    Picture work, source;
    int W, H;
    std::int32_t p;
    int k[4] = {}; // the parameter as a colour, by channel: 1 blue, 2 green, 3 red

    // The 3 x 3 area around (x, y), weights given row by row from the top.
    int Weighted(const Picture& b, int c, int x, int y, const int (&k)[3][3]) const {
        int s = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                s += k[dy + 1][dx + 1] * b.at(c, x + dx, y + dy);
        return s;
    }
    int N8(const Picture& b, int c, int x, int y) const {
        return Weighted(b, c, x, y, {{1, 1, 1}, {1, 0, 1}, {1, 1, 1}});
    }

    // In place over the 3 x 3 area: all three values first, then the stores.
    template <class F> void InPlace3x3(F f) {
        for (int y = 2; y <= H - 1; ++y)
            for (int x = 2; x <= W - 1; ++x) {
                int v[4];
                for (int c = 1; c <= 3; ++c)
                    v[c] = f(c, x, y);
                for (int c = 1; c <= 3; ++c)
                    work.at(c, x, y) = std::uint8_t(v[c]);
            }
    }
    template <class F> void FromCopy3x3(F f) {
        for (int y = 2; y <= H - 1; ++y)
            for (int x = 2; x <= W - 1; ++x)
                for (int c = 1; c <= 3; ++c)
                    work.at(c, x, y) = std::uint8_t(f(c, x, y));
    }
    template <class F> void EveryPixel(F f) const {
        for (int y = 1; y <= H; ++y)
            for (int x = 1; x <= W; ++x)
                f(x, y);
    }
    // Blue, green and red of every pixel set to f(c, x, y).
    template <class F> void EveryValue(F f) {
        EveryPixel([&](int x, int y) {
            for (int c = 1; c <= 3; ++c)
                work.at(c, x, y) = std::uint8_t(f(c, x, y));
        });
    }
    void SetGrey(int x, int y, int v) {
        for (int c = 1; c <= 3; ++c)
            work.at(c, x, y) = std::uint8_t(v);
    }
    long long MeanGrey() const {
        long long sum = 0;
        EveryPixel([&](int x, int y) {
            sum += (source.at(1, x, y) + source.at(2, x, y) + source.at(3, x, y)) / 3;
        });
        return sum / ((long long)W * H);
    }
    void ErrorDiffusion(const int (*taps)[3], int count, int den, int rows);
    void Contrast();
    void Aqua();
};

// Point, black-and-white and random filters; false for other numbers.
bool PointFilter(int number, Run& r, UniformRandom& random);

} // namespace fotello::testing::reference
