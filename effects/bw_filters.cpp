// Black-and-white renderings that need no error tables: the colour threshold,
// the ordered 4 x 4 dither, and the sharpened diffusion with one carried error.

#include <cstring>
#include <vector>

#include "effects/filters.h"

namespace fotello::filters {

namespace {

using Byte = std::uint8_t;

inline void SetGrey(Byte* px, Byte v) {
    px[0] = v;
    px[1] = v;
    px[2] = v;
}

} // namespace

long long MeanGrey(const FilterJob& job, const std::uint8_t* bits) {
    const int w = job.width;
    const int h = job.height;
    std::vector<long long> rowSums(std::size_t(h > 0 ? h : 0));
    ForRows(
        job, 0, h - 1, true,
        [&](int y) {
            const Byte* row = bits + std::size_t(y) * job.stride();
            long long sum = 0;
            for (int x = 0; x < w; ++x) {
                const Byte* px = row + std::size_t(x) * 4;
                sum += (px[0] + px[1] + px[2]) / 3;
            }
            rowSums[y] = sum;
        },
        [](int) { return -1; });
    long long sum = 0;
    for (long long s : rowSums) {
        sum += s;
    }
    const long long n = (long long)w * h;
    return n > 0 ? sum / n : 0;
}

void Threshold(const FilterJob& job) {
    const ColourParts k = SplitColour(job.parameter);
    const int w = job.width;
    ForRows(
        job, 0, job.height - 1, true,
        [&](int y) {
            Byte* row = job.workRow(y);
            for (int x = 0; x < w; ++x) {
                Byte* px = row + std::size_t(x) * 4;
                const bool white = px[2] >= k.red || px[1] >= k.green || px[0] >= k.blue;
                SetGrey(px, white ? 255 : 0);
            }
        },
        PlainFigure(job));
    job.progress->Report(100);
}

void OrderedDither(const FilterJob& job) {
    static constexpr int kMatrix[4][4] = {
        {1, 13, 4, 16}, {9, 5, 12, 8}, {3, 15, 2, 14}, {11, 7, 10, 6}};
    const int w = job.width;
    ForRows(
        job, 0, job.height - 1, true,
        [&](int y) {
            Byte* row = job.workRow(y);
            const int* m = kMatrix[y % 4];
            for (int x = 0; x < w; ++x) {
                Byte* px = row + std::size_t(x) * 4;
                const int level = (px[0] + px[1] + px[2]) / 3 / 16 + 1;
                SetGrey(px, level < m[x % 4] ? 0 : 255);
            }
        },
        PlainFigure(job));
    job.progress->Report(100);
}

void SharpenedDiffusion(const FilterJob& job) {
    const int w = job.width;
    const int h = job.height;
    const long long mean = MeanGrey(job, job.source);
    job.progress->Report(5);
    std::vector<int> grey(std::size_t(w > 0 ? w : 0));
    int e = 0; // carried from pixel to pixel and from one row to the next
    for (int y = 0; y < h; ++y) {
        const Byte* b = job.sourceRow(y);
        const bool borderRow = y == 0 || y == h - 1;
        for (int x = 0; x < w; ++x) {
            const Byte* px = b + std::size_t(x) * 4;
            int sum = 0;
            if (borderRow || x == 0 || x == w - 1) {
                sum = px[0] + px[1] + px[2];
            } else {
                const Byte* a = px - job.stride();
                const Byte* c = px + job.stride();
                for (int ch = 0; ch < 3; ++ch) {
                    const int n8 = a[ch - 4] + a[ch] + a[ch + 4] + px[ch - 4] + px[ch + 4] +
                                   c[ch - 4] + c[ch] + c[ch + 4];
                    sum += Clamp255((10 * px[ch] - n8) / 2);
                }
            }
            grey[x] = sum / 3;
        }
        Byte* out = job.workRow(y);
        for (int x = 0; x < w; ++x) {
            int t = grey[x] + e;
            t = t < 0 ? 0 : (t > 255 ? 255 : t);
            // A t of 0 is black even when the mean is 0 (an all-black picture stays black).
            const int o = (t < mean || t == 0) ? 0 : 255;
            SetGrey(out + std::size_t(x) * 4, Byte(o));
            e = (t - o) / 4;
        }
        job.progress->Report(job.Figure(y, 95, 5));
    }
    job.progress->Report(100);
}

} // namespace fotello::filters
