// Floyd-Steinberg, Burkes and Stucki error diffusion to black and white. The
// output and the shares (each rounded toward zero) of every possible value
// are worked out once; error sums live in rows padded by two columns each
// side, so errors bound outside the picture fall into the padding and are
// never read. Each pixel reads only itself before it is written, so the
// picture is worked on in place.

#include <algorithm>
#include <vector>

#include "effects/filters.h"
#include "effects/point_loop.h"

namespace fotello::filters {

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

__attribute__((target_clones("avx2", "default"))) void RowGrey(const PixelWord* row, int w,
                                                               int* grey) {
    for (int x = 0; x < w; ++x) {
        const std::uint32_t v = row[x];
        grey[x] = int(((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF)) * 21846u >> 16);
    }
}

// kDamping is the parameter when known at compile time (the menu's 15), else 0.
template <class K, int kDamping> void Run(const FilterJob& job, int damping) {
    constexpr int kTapCount = int(sizeof(K::kTaps) / sizeof(Tap));
    const int w = job.width;
    const int h = job.height;
    const long long mean = MeanGrey(job, job.work);
    job.progress->Report(10);
    // Everything that follows from t is looked up by t before clamping: the
    // output (black when t < mean, or t is 0) and the shares of the error
    // t - output, each rounded toward zero. That keeps the chain from one
    // pixel to the next short: sum, damping, one look-up. Errors lie in
    // -255..255, so a pixel's carried sum does too, and t stays within reach.
    const long long magnitude = damping < 0 ? -static_cast<long long>(damping) : damping;
    const int reach = int(2550 / magnitude + 1);
    const int entries = 2 * reach + 256;
    std::vector<int> shares(static_cast<std::size_t>(entries) * kTapCount);
    std::vector<std::uint32_t> colour(static_cast<std::size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        const int t = std::clamp(i - reach, 0, 255);
        const int o = (t < mean || t == 0) ? 0 : 255;
        const int e = t - o;
        colour[std::size_t(i)] = o != 0 ? kColourMask : 0u;
        for (int k = 0; k < kTapCount; ++k) {
            shares[std::size_t(i) * kTapCount + k] = e * K::kTaps[k].weight / K::kDenominator;
        }
    }

    const std::size_t span = std::size_t(w) + 2 * kPad;
    std::vector<int> sums(span * K::kRows, 0);
    std::vector<int> grey(std::size_t(w > 0 ? w : 0));
    for (int y = 0; y < h; ++y) {
        Byte* row = job.workRow(y); // each pixel reads only itself before it is written
        RowGrey(reinterpret_cast<const PixelWord*>(row), w, grey.data());
        int* row0 = sums.data() + kPad;
        // Errors bound for the next one or two pixels of this row stay in
        // registers: that chain is the loop's critical path.
        int next1 = 0;
        int next2 = 0;
        // Shares for the rows below gather in registers too, for the columns
        // x - 2 .. x + 2; a column goes to memory once no pixel of this row
        // can add to it any more.
        int below[K::kRows][5] = {};
        for (int x = 0; x < w; ++x) {
            const int carriedSum = row0[x] + next1;
            const int carried =
                kDamping != 0 ? carriedSum * 10 / kDamping : carriedSum * 10 / damping;
            const std::size_t i = std::size_t(carried + grey[x] + reach);
            Byte* px = row + std::size_t(x) * 4;
            StoreWord(px, (LoadWord(px) & kUnusedMask) | colour[i]);
            const int* share = shares.data() + i * kTapCount;
            next1 = next2 + share[0]; // first tap: (1, 0)
            next2 = 0;
            for (int k = 1; k < kTapCount; ++k) {
                const Tap& tap = K::kTaps[k];
                if (tap.dy == 0) {
                    next2 = share[k]; // (2, 0)
                } else {
                    below[tap.dy][tap.dx + 2] += share[k];
                }
            }
            for (int r = 1; r < K::kRows; ++r) {
                row0[r * span + x - 2] += below[r][0];
                for (int j = 0; j < 4; ++j) {
                    below[r][j] = below[r][j + 1];
                }
                below[r][4] = 0;
            }
        }
        // Columns w - 2 .. w + 1 (the last two fall in the padding and are dropped).
        for (int r = 1; r < K::kRows; ++r) {
            for (int j = 0; j < 4; ++j) {
                row0[r * span + w - 2 + j] += below[r][j];
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
