// The reference point, black-and-white and random filters, literally.

#include <algorithm>
#include <cmath>
#include <vector>

#include "reference_run.h"

namespace fotello::testing::reference {

void Run::ErrorDiffusion(const int (*taps)[3], int count, int den, int rows) {
    if (p == 0)
        return;
    const long long mean = MeanGrey();
    std::vector<std::vector<int>> err(rows, std::vector<int>(W + 1, 0));
    for (int y = 1; y <= H; ++y) {
        for (int x = 1; x <= W; ++x) {
            const int grey = (source.at(1, x, y) + source.at(2, x, y) + source.at(3, x, y)) / 3;
            int t = Clamp(err[0][x] * 10 / p + grey);
            const int out = (t < mean || t == 0) ? 0 : 255;
            SetGrey(x, y, out);
            const int e = t - out;
            for (int k = 0; k < count; ++k) {
                const int tx = x + taps[k][0];
                const int ty = taps[k][1];
                if (tx >= 1 && tx <= W && y + ty <= H)
                    err[ty][tx] += e * taps[k][2] / den;
            }
        }
        for (int r = 0; r + 1 < rows; ++r)
            err[r] = err[r + 1];
        err[rows - 1].assign(W + 1, 0);
    }
}

void Run::Contrast() {
    const long long mean = MeanGrey();
    const double f = (p + 100.0) / 100;
    long long table[256];
    for (int i = 0; i <= 255; ++i)
        table[i] = Round(f * (i - mean) + mean);
    EveryPixel([&](int x, int y) {
        long long v[3];
        for (int i = 0; i < 3; ++i)
            v[i] = table[source.at(i + 1, x, y)];
        auto in = [](long long t) { return t >= 0 && t <= 255; };
        while (!(in(v[0]) && in(v[1]) && in(v[2]))) {
            if (v[0] <= 0 && v[1] <= 0 && v[2] <= 0)
                v[0] = v[1] = v[2] = 0;
            if (v[0] >= 255 && v[1] >= 255 && v[2] >= 255)
                v[0] = v[1] = v[2] = 255;
            // Blue, green, red in turn: back into 0..255, half the excess to each other one.
            for (int i = 0; i < 3; ++i) {
                const long long share = v[i] < 0 ? v[i] / 2 : (v[i] > 255 ? (v[i] - 255) / 2 : 0);
                v[i] = std::clamp(v[i], 0LL, 255LL);
                v[(i + 1) % 3] += share;
                v[(i + 2) % 3] += share;
            }
        }
        for (int i = 0; i < 3; ++i)
            work.at(i + 1, x, y) = std::uint8_t(v[i]);
    });
}

bool PointFilter(int number, Run& r, UniformRandom& random) {
    const int W = r.W, H = r.H;
    const std::int32_t p = r.p;
    Picture& work = r.work;
    const Picture& src = r.source;
    switch (number) {
    case 2:
        r.EveryValue([&](int c, int x, int y) { return 255 - work.at(c, x, y); });
        break;
    case 4: {
        const double half = std::nearbyint(p / 2.0);
        r.EveryPixel([&](int x, int y) {
            long long dx = Round(random.Next() * p - half);
            long long dy = Round(random.Next() * p - half);
            if (x + dx < 1 || x + dx > W)
                dx = 0;
            if (y + dy < 1 || y + dy > H)
                dy = 0;
            for (int c = 1; c <= 3; ++c)
                work.at(c, x, y) = work.at(c, int(x + dx), int(y + dy));
        });
        break;
    }
    case 12:
        r.EveryPixel([&](int x, int y) {
            r.SetGrey(x, y, (work.at(1, x, y) + work.at(2, x, y) + work.at(3, x, y)) / 3);
        });
        break;
    case 14: {
        const double f = (p + 100.0) / 100;
        r.EveryValue([&](int c, int x, int y) { return Clamp(Round(f * src.at(c, x, y))); });
        break;
    }
    case 15: // each pixel the mean of its p x p block, cut at the edges
        if (p > 0)
            r.EveryValue([&](int c, int x, int y) {
                const int x0 = (x - 1) / p * p + 1, y0 = (y - 1) / p * p + 1;
                long long s = 0, n = 0;
                for (int yy = y0; yy < y0 + p && yy <= H; ++yy)
                    for (int xx = x0; xx < x0 + p && xx <= W; ++xx, ++n)
                        s += src.at(c, xx, yy);
                return int(s / n);
            });
        break;
    case 16:
        if (p >= 1 && p <= 5)
            r.EveryValue([&](int c, int x, int y) {
                // The old channel each new blue, green and red is taken from.
                static const int map[6][3] = {{},        {2, 3, 1}, {3, 1, 2},
                                              {2, 1, 3}, {3, 2, 1}, {1, 3, 2}};
                return src.at(map[p][c - 1], x, y);
            });
        break;
    case 17:
        r.Contrast();
        break;
    case 18:
        r.EveryPixel([&](int x, int y) {
            const bool white =
                src.at(3, x, y) >= r.k[3] || src.at(2, x, y) >= r.k[2] || src.at(1, x, y) >= r.k[1];
            r.SetGrey(x, y, white ? 255 : 0);
        });
        break;
    case 19: {
        const long long mean = r.MeanGrey();
        int e = 0;
        r.EveryPixel([&](int x, int y) {
            int v[4];
            for (int c = 1; c <= 3; ++c)
                v[c] = (x < 2 || y < 2 || x == W || y == H)
                           ? src.at(c, x, y)
                           : Clamp((10 * src.at(c, x, y) - r.N8(src, c, x, y)) / 2);
            const int t = Clamp((v[1] + v[2] + v[3]) / 3 + e);
            const int out = (t < mean || t == 0) ? 0 : 255;
            r.SetGrey(x, y, out);
            e = (t - out) / 4;
        });
        break;
    }
    case 20: {
        const int M[4][4] = {{1, 13, 4, 16}, {9, 5, 12, 8}, {3, 15, 2, 14}, {11, 7, 10, 6}};
        r.EveryPixel([&](int x, int y) {
            const int level = (src.at(1, x, y) + src.at(2, x, y) + src.at(3, x, y)) / 3 / 16 + 1;
            r.SetGrey(x, y, level < M[(y - 1) % 4][(x - 1) % 4] ? 0 : 255);
        });
        break;
    }
    case 21: {
        static const int taps[][3] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
        r.ErrorDiffusion(taps, 4, 16, 2);
        break;
    }
    case 22:
    case 23: {
        // Stucki's taps; Burkes' are its first two rows.
        static const int taps[][3] = {{1, 0, 8},  {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4},
                                      {0, 1, 8},  {1, 1, 4}, {2, 1, 2},  {-2, 2, 1},
                                      {-1, 2, 2}, {0, 2, 4}, {1, 2, 2},  {2, 2, 1}};
        if (number == 22)
            r.ErrorDiffusion(taps, 7, 32, 2);
        else
            r.ErrorDiffusion(taps, 12, 42, 3);
        break;
    }
    case 28: {
        int lo[4] = {0, 255, 255, 255}, hi[4] = {0, 0, 0, 0};
        r.EveryPixel([&](int x, int y) {
            for (int c = 1; c <= 3; ++c) {
                lo[c] = std::min(lo[c], int(src.at(c, x, y)));
                hi[c] = std::max(hi[c], int(src.at(c, x, y)));
            }
        });
        r.EveryValue([&](int c, int x, int y) {
            return hi[c] == lo[c] ? src.at(c, x, y)
                                  : Round((src.at(c, x, y) - lo[c]) * 255.0 / (hi[c] - lo[c]));
        });
        break;
    }
    case 29:
        r.EveryValue([&](int c, int x, int y) {
            return Clamp(Round(random.Next() * (2.0 * p + 1) - p + src.at(c, x, y)));
        });
        break;
    case 30: {
        const double f = p / 100.0;
        r.EveryValue([&](int c, int x, int y) {
            const int g = (src.at(1, x, y) + src.at(2, x, y) + src.at(3, x, y)) / 3;
            const int v = src.at(c, x, y);
            return Clamp(Round(f * (v - g) + v));
        });
        break;
    }
    case 31:
        if (p > 0) {
            const float g = float(p / 100.0);
            r.EveryValue([&](int c, int x, int y) {
                return Round(std::pow(src.at(c, x, y) / 255.0, 1.0 / g) * 255);
            });
        }
        break;
    default:
        return false;
    }
    return true;
}

} // namespace fotello::testing::reference
