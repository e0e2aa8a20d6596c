// Floyd-Steinberg, Burkes and Stucki error diffusion to black and white. The
// shares of every error -255..255 are worked out once (each rounded toward
// zero); error sums live in rows padded by two columns each side, so errors
// bound outside the picture fall into the padding and are never read.

#include <vector>

#include "effects/filters.h"

namespace fotello::filters {

long long MeanGrey(const FilterJob& job, const std::uint8_t* bits);

namespace {

using Byte = std::uint8_t;

struct Tap {
    int dx, dy, weight;
};

struct FloydKernel {
    static constexpr Tap kTaps[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
    static constexpr int kDenominator = 16;
    static constexpr int kRows = 2;
};
struct BurkesKernel {
    static constexpr Tap kTaps[] = {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4},
                                    {0, 1, 8}, {1, 1, 4}, {2, 1, 2}};
    static constexpr int kDenominator = 32;
    static constexpr int kRows = 2;
};
struct StuckiKernel {
    static constexpr Tap kTaps[] = {{1, 0, 8},  {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4},
                                    {0, 1, 8},  {1, 1, 4}, {2, 1, 2},  {-2, 2, 1},
                                    {-1, 2, 2}, {0, 2, 4}, {1, 2, 2},  {2, 2, 1}};
    static constexpr int kDenominator = 42;
    static constexpr int kRows = 3;
};

constexpr int kPad = 2;

// kDamping is the parameter when known at compile time (the menu's 15), else 0.
template <class K, int kDamping> void Run(const FilterJob& job, int damping) {
    constexpr int kTapCount = int(sizeof(K::kTaps) / sizeof(Tap));
    const int w = job.width;
    const int h = job.height;
    std::vector<int> shares(511 * kTapCount);
    for (int e = -255; e <= 255; ++e) {
        for (int k = 0; k < kTapCount; ++k) {
            shares[std::size_t(e + 255) * kTapCount + k] = e * K::kTaps[k].weight / K::kDenominator;
        }
    }
    const long long mean = MeanGrey(job, job.work);
    job.progress->Report(10);

    const std::size_t span = std::size_t(w) + 2 * kPad;
    std::vector<int> sums(span * K::kRows, 0);
    for (int y = 0; y < h; ++y) {
        const Byte* src = job.workRow(y); // each pixel reads only itself
        Byte* out = job.workRow(y);
        int* row0 = sums.data() + kPad;
        for (int x = 0; x < w; ++x) {
            const Byte* px = src + std::size_t(x) * 4;
            const int grey = (px[0] + px[1] + px[2]) / 3;
            const int carried = kDamping != 0 ? row0[x] * 10 / kDamping : row0[x] * 10 / damping;
            int t = carried + grey;
            t = t < 0 ? 0 : (t > 255 ? 255 : t);
            const int o = (t < mean || t == 0) ? 0 : 255;
            Byte* q = out + std::size_t(x) * 4;
            q[0] = q[1] = q[2] = Byte(o);
            const int* share = shares.data() + std::size_t(t - o + 255) * kTapCount;
            for (int k = 0; k < kTapCount; ++k) {
                row0[K::kTaps[k].dy * span + x + K::kTaps[k].dx] += share[k];
            }
        }
        // The next row's sums move up; the last row starts empty.
        for (int r = 0; r + 1 < K::kRows; ++r) {
            std::copy(sums.begin() + (r + 1) * span, sums.begin() + (r + 2) * span,
                      sums.begin() + r * span);
        }
        std::fill(sums.begin() + (K::kRows - 1) * span, sums.end(), 0);
        job.progress->Report(job.Figure(y, 90, 10));
    }
    job.progress->Report(100);
}

template <class K> void Diffuse(const FilterJob& job) {
    if (job.parameter == 15) {
        Run<K, 15>(job, 15);
    } else if (job.parameter != 0) {
        Run<K, 0>(job, job.parameter);
    } else {
        job.progress->Report(100); // no damping divisor: the picture stays as it is
    }
}

} // namespace

void FloydSteinberg(const FilterJob& job) {
    Diffuse<FloydKernel>(job);
}
void Burkes(const FilterJob& job) {
    Diffuse<BurkesKernel>(job);
}
void Stucki(const FilterJob& job) {
    Diffuse<StuckiKernel>(job);
}

} // namespace fotello::filters
