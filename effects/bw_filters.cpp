// Black-and-white renderings that need no error tables: the colour threshold,
// the ordered 4 x 4 dither, and the sharpened diffusion with one carried error.

#include <cstring>
#include <vector>

#include "effects/filters.h"
#include "effects/point_loop.h"

namespace fotello::filters {

namespace {

using Byte = std::uint8_t;

inline void SetGrey(Byte* px, Byte v) {
    px[0] = v;
    px[1] = v;
    px[2] = v;
}

// Sum of (B + G + R) \ 3 over a row; the \ 3 as an exact multiply and shift.
__attribute__((target_clones("avx2", "default"))) long long RowGreySum(const PixelWord* row,
                                                                       int w) {
    long long sum = 0;
    for (int x = 0; x < w; ++x) {
        const std::uint32_t v = row[x];
        sum += ((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF)) * 21846u >> 16;
    }
    return sum;
}

__attribute__((target_clones("avx2", "default"))) void RowGrey(const PixelWord* row, int x0, int x1,
                                                               int* grey) {
    for (int x = x0; x < x1; ++x) {
        const std::uint32_t v = row[x];
        grey[x] = int(((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF)) * 21846u >> 16);
    }
}

// (10 x C - N8) \ 2, clamped, for the bytes begin..end of a row.
__attribute__((target_clones("avx2", "default"))) void
SharpenRow(const Byte* __restrict a, const Byte* __restrict b, const Byte* __restrict c,
           Byte* __restrict out, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        const int n8 =
            a[i - 4] + a[i] + a[i + 4] + b[i - 4] + b[i + 4] + c[i - 4] + c[i] + c[i + 4];
        const int v = (10 * b[i] - n8) / 2;
        out[i] = Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

} // namespace

long long MeanGrey(const FilterJob& job, const std::uint8_t* bits) {
    const int w = job.width;
    const int h = job.height;
    std::vector<long long> rowSums(std::size_t(h > 0 ? h : 0));
    ForRows(
        job, 0, h - 1, true,
        [&](int y) {
            rowSums[y] = RowGreySum(
                reinterpret_cast<const PixelWord*>(bits + std::size_t(y) * job.stride()), w);
        },
        [](int) { return -1; });
    long long sum = 0;
    for (long long s : rowSums) {
        sum += s;
    }
    const long long n = (long long)w * h;
    return n > 0 ? sum / n : 0;
}

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFFu;

__attribute__((target_clones("avx2", "default"))) void ThresholdRow(PixelWord* row, int w, int kb,
                                                                    int kg, int kr) {
    for (int x = 0; x < w; ++x) {
        const std::uint32_t v = row[x];
        const int b = int(v & 0xFF);
        const int g = int((v >> 8) & 0xFF);
        const int r = int((v >> 16) & 0xFF);
        const bool white = r >= kr || g >= kg || b >= kb;
        row[x] = (v & kUnusedMask) | (white ? kWhite : 0u);
    }
}

// Black when the level (sum \ 3) \ 16 + 1 is below the matrix cell M, that
// is when the channel sum is below 48 x (M - 1): one compare per pixel.
__attribute__((target_clones("avx2", "default"))) void DitherRow(PixelWord* row, int w,
                                                                 const int* limits) {
    for (int x = 0; x < w; ++x) {
        const std::uint32_t v = row[x];
        const int sum = int((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF));
        row[x] = (v & kUnusedMask) | (sum < limits[x] ? 0u : kWhite);
    }
}

} // namespace

void Threshold(const FilterJob& job) {
    const ColourParts k = SplitColour(job.parameter);
    ForEachRowOfWords(
        job, [&k](PixelWord* row, int w, int) { ThresholdRow(row, w, k.blue, k.green, k.red); });
}

void OrderedDither(const FilterJob& job) {
    static constexpr int kMatrix[4][4] = {
        {1, 13, 4, 16}, {9, 5, 12, 8}, {3, 15, 2, 14}, {11, 7, 10, 6}};
    const int w = job.width > 0 ? job.width : 0;
    std::vector<int> limits(std::size_t(w) * 4);
    for (int j = 0; j < 4; ++j) {
        for (int x = 0; x < w; ++x) {
            limits[std::size_t(j) * w + x] = 48 * (kMatrix[j][x % 4] - 1);
        }
    }
    ForEachRowOfWords(job, [&limits](PixelWord* row, int width, int y) {
        DitherRow(row, width, limits.data() + std::size_t(y % 4) * width);
    });
}

void SharpenedDiffusion(const FilterJob& job) {
    const int w = job.width;
    const int h = job.height;
    const long long mean = MeanGrey(job, job.source);
    job.progress->Report(5);
    std::vector<int> grey(std::size_t(w > 0 ? w : 0));
    std::vector<Byte> sharp(std::size_t(w > 0 ? w : 0) * 4);
    int e = 0; // carried from pixel to pixel and from one row to the next
    for (int y = 0; y < h; ++y) {
        const Byte* b = job.sourceRow(y);
        if (y == 0 || y == h - 1 || w < 3) {
            RowGrey(reinterpret_cast<const PixelWord*>(b), 0, w, grey.data());
        } else {
            // Border columns take the pixel's own channels, the rest the sharpened ones.
            SharpenRow(b - job.stride(), b, b + job.stride(), sharp.data(), 4,
                       std::size_t(w - 1) * 4);
            sharp[0] = b[0];
            sharp[1] = b[1];
            sharp[2] = b[2];
            const std::size_t last = std::size_t(w - 1) * 4;
            sharp[last] = b[last];
            sharp[last + 1] = b[last + 1];
            sharp[last + 2] = b[last + 2];
            RowGrey(reinterpret_cast<const PixelWord*>(sharp.data()), 0, w, grey.data());
        }
        Byte* out = job.workRow(y);
        for (int x = 0; x < w; ++x) {
            int t = grey[x] + e;
            t = t < 0 ? 0 : (t > 255 ? 255 : t);
            // A t of 0 is black even when the mean is 0 (an all-black picture stays black).
            const int o = -int((t >= mean) & (t != 0)) & 255;
            SetGrey(out + std::size_t(x) * 4, Byte(o));
            e = (t - o) / 4;
        }
        job.progress->Report(job.Figure(y, 95, 5));
    }
    job.progress->Report(100);
}

} // namespace fotello::filters
