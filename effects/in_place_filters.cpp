// Neighbourhood filters that work in place: each pixel sees its left and upper
// neighbours already changed. Per row, the part of the sum that cannot change
// (upper row, right neighbour, lower row) is gathered first in one pass the
// compiler vectorises; a short sequential pass then adds the new left value.

#include <cstring>
#include <vector>

#include "effects/filters.h"

namespace fotello::filters {

namespace {

// Sum of the eight neighbours except the left one (which is taken new).
struct EightSum {
    static int Partial(const std::uint8_t* up, const std::uint8_t* cur, const std::uint8_t* down,
                       std::size_t i) {
        return up[i - 4] + up[i] + up[i + 4] + cur[i + 4] + down[i - 4] + down[i] + down[i + 4];
    }
};

// Cross of four without the left one.
struct CrossSum {
    static int Partial(const std::uint8_t* up, const std::uint8_t* cur, const std::uint8_t* down,
                       std::size_t i) {
        return up[i] + cur[i + 4] + down[i];
    }
};

template <class Sum, class Finish> void RunInPlace3x3(const FilterJob& job, Finish finish) {
    const int w = job.width;
    const int h = job.height;
    if (w >= 3 && h >= 3) {
        std::vector<int> partial(std::size_t(w) * 4);
        for (int y = 1; y <= h - 2; ++y) {
            const std::uint8_t* up = job.workRow(y - 1);
            std::uint8_t* cur = job.workRow(y);
            const std::uint8_t* down = job.workRow(y + 1);
            const std::size_t end = std::size_t(w - 1) * 4;
            for (std::size_t i = 4; i < end; ++i) {
                partial[i] = Sum::Partial(up, cur, down, i);
            }
            int left[3] = {cur[0], cur[1], cur[2]};
            for (int x = 1; x <= w - 2; ++x) {
                std::uint8_t* px = cur + std::size_t(x) * 4;
                const std::size_t i = std::size_t(x) * 4;
                // All three values are worked out before any is stored.
                const std::uint8_t b = finish(px[0], partial[i] + left[0]);
                const std::uint8_t g = finish(px[1], partial[i + 1] + left[1]);
                const std::uint8_t r = finish(px[2], partial[i + 2] + left[2]);
                px[0] = b;
                px[1] = g;
                px[2] = r;
                left[0] = b;
                left[1] = g;
                left[2] = r;
            }
            job.progress->Report(job.Figure(y));
        }
    }
    job.progress->Report(100);
}

// Lower-right difference: reads the pixel itself and the one below right,
// neither changed yet when the pixel is visited, so a row is computed whole.
template <bool Engrave> void RunLowerRight(const FilterJob& job) {
    const int w = job.width;
    const int h = job.height;
    const ColourParts k = SplitColour(job.parameter);
    if (w >= 2 && h >= 2) {
        std::vector<int> lift(std::size_t(w) * 4);
        for (int x = 0; x < w; ++x) {
            lift[std::size_t(x) * 4 + 0] = k.blue;
            lift[std::size_t(x) * 4 + 1] = k.green;
            lift[std::size_t(x) * 4 + 2] = k.red;
        }
        std::vector<std::uint8_t> out(std::size_t(w) * 4);
        const std::size_t end = std::size_t(w - 1) * 4;
        for (int y = 0; y <= h - 2; ++y) {
            std::uint8_t* cur = job.workRow(y);
            const std::uint8_t* down = job.workRow(y + 1);
            for (std::size_t i = 0; i < end; ++i) {
                int v = Engrave ? down[i + 4] - cur[i] : cur[i] - down[i + 4];
                v += lift[i];
                v = v < 0 ? -v : v;
                out[i] = std::uint8_t(v > 255 ? 255 : v);
            }
            StoreKeepingUnused(cur, out.data(), 0, w - 2);
            job.progress->Report(job.Figure(y));
        }
    }
    job.progress->Report(100);
}

} // namespace

void Sharpen(const FilterJob& job) {
    const long long p = job.parameter;
    // The menu's two strengths get constant divisors.
    if (p == 2) {
        RunInPlace3x3<EightSum>(job,
                                [](int c, int n8) { return Clamp255((c * 26 - 2 * n8) / 10); });
    } else if (p == 0) {
        RunInPlace3x3<EightSum>(job, [](int c, int n8) { return Clamp255((c * 24 - 2 * n8) / 8); });
    } else if (p + 8 != 0) {
        RunInPlace3x3<EightSum>(
            job, [p](int c, int n8) { return Clamp255((c * (p + 24) - 2LL * n8) / (p + 8)); });
    } else {
        job.progress->Report(100); // a zero divisor leaves the picture as it is
    }
}

void Blur(const FilterJob& job) {
    RunInPlace3x3<EightSum>(job, [](int, int n8) { return std::uint8_t(n8 / 8); });
}

void Smooth(const FilterJob& job) {
    RunInPlace3x3<CrossSum>(job, [](int c, int cross) { return std::uint8_t((c + cross) / 5); });
}

void EdgeEnhance(const FilterJob& job) {
    const long long p = job.parameter;
    if (p == 0) {
        RunInPlace3x3<EightSum>(job, [](int c, int n8) { return Clamp255(c * 9 - n8); });
    } else if (p + 1 != 0) {
        RunInPlace3x3<EightSum>(
            job, [p](int c, int n8) { return Clamp255((c * (p + 9) - n8) / (p + 1)); });
    } else {
        job.progress->Report(100);
    }
}

void Emboss(const FilterJob& job) {
    RunLowerRight<false>(job);
}

void Engrave(const FilterJob& job) {
    RunLowerRight<true>(job);
}

void StoreKeepingUnused(std::uint8_t* row, const std::uint8_t* computed, int x0, int x1) {
    for (int x = x0; x <= x1; ++x) {
        std::uint32_t a;
        std::uint32_t b;
        std::memcpy(&a, row + std::size_t(x) * 4, 4);
        std::memcpy(&b, computed + std::size_t(x) * 4, 4);
        // Byte order in memory is blue, green, red, unused on this little-endian machine.
        a = (a & 0xFF000000u) | (b & 0x00FFFFFFu);
        std::memcpy(row + std::size_t(x) * 4, &a, 4);
    }
}

void RestoreUnused(std::uint8_t* row, const std::uint8_t* original, int x0, int x1) {
    for (int x = x0; x <= x1; ++x) {
        std::uint32_t a;
        std::uint32_t b;
        std::memcpy(&a, row + std::size_t(x) * 4, 4);
        std::memcpy(&b, original + std::size_t(x) * 4, 4);
        a = (b & 0xFF000000u) | (a & 0x00FFFFFFu);
        std::memcpy(row + std::size_t(x) * 4, &a, 4);
    }
}

} // namespace fotello::filters
