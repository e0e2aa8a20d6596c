// Contrast around the picture's mean grey, and contrast stretch per channel.
// Both have a first pass over the whole picture (the mean's sum is 64-bit, so
// a large white picture does not overflow it). Each pixel reads only itself,
// so the picture is worked on in place.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "effects/filters.h"
#include "effects/point_loop.h"

namespace fotello::filters {

namespace {

using Byte = std::uint8_t;

inline bool InRange(long long v) {
    return v >= 0 && v <= 255;
}

// Pushes a channel that left 0..255 back in and shares what it lost or gained
// (half, rounded toward zero) with the other two. Written with selects rather
// than branches: which channels spill is as good as random to a predictor.
inline void SpillStep(long long& v, long long& o1, long long& o2) {
    const long long share = v < 0 ? v / 2 : (v > 255 ? (v - 255) / 2 : 0);
    o1 += share;
    o2 += share;
    v = v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Eight pixels spilled at once. A pixel already inside the range is left as it
// is by another round, so the lanes can all run until the last one settles.
using Lanes = std::int32_t __attribute__((vector_size(32)));

inline void SpillStepLanes(Lanes& v, Lanes& o1, Lanes& o2) {
    const Lanes share = v < 0 ? v / 2 : (v > 255 ? (v - 255) / 2 : Lanes{});
    o1 += share;
    o2 += share;
    v = v < 0 ? Lanes{} : (v > 255 ? Lanes{} + 255 : v);
}

// Spills the noted pixels of a chunk of a row, eight at a time, and stores
// them; the rest (fewer than eight) are left for the caller. Returns how many
// were done.
__attribute__((target_clones("avx2", "default"))) int SpillChunk(const int* table,
                                                                 const std::uint32_t* original,
                                                                 const int* spillAt, int count,
                                                                 PixelWord* row) {
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        Lanes va, vb, vc;
        for (int i = 0; i < 8; ++i) {
            const std::uint32_t v = original[k + i];
            va[i] = table[v & 0xFF];
            vb[i] = table[(v >> 8) & 0xFF];
            vc[i] = table[(v >> 16) & 0xFF];
        }
        for (int round = 0; round < 256; ++round) {
            const Lanes out = (va < 0) | (va > 255) | (vb < 0) | (vb > 255) | (vc < 0) | (vc > 255);
            const std::int32_t any =
                out[0] | out[1] | out[2] | out[3] | out[4] | out[5] | out[6] | out[7];
            if (any == 0)
                break;
            const Lanes allLow = (va <= 0) & (vb <= 0) & (vc <= 0);
            const Lanes allHigh = (va >= 255) & (vb >= 255) & (vc >= 255);
            va = allLow ? Lanes{} : (allHigh ? Lanes{} + 255 : va);
            vb = allLow ? Lanes{} : (allHigh ? Lanes{} + 255 : vb);
            vc = allLow ? Lanes{} : (allHigh ? Lanes{} + 255 : vc);
            SpillStepLanes(va, vb, vc);
            SpillStepLanes(vb, va, vc);
            SpillStepLanes(vc, va, vb);
        }
        for (int i = 0; i < 8; ++i)
            row[spillAt[k + i]] = (original[k + i] & kUnusedMask) | std::uint32_t(va[i]) |
                                  (std::uint32_t(vb[i]) << 8) | (std::uint32_t(vc[i]) << 16);
    }
    return k;
}

} // namespace

void SpillIntoRange(long long& a, long long& b, long long& c) {
    // The shares halve each round; the guard only matters for absurd parameters.
    for (int round = 0; round < 256 && !(InRange(a) && InRange(b) && InRange(c)); ++round) {
        const bool allLow = a <= 0 && b <= 0 && c <= 0;
        const bool allHigh = a >= 255 && b >= 255 && c >= 255;
        a = allLow ? 0 : (allHigh ? 255 : a);
        b = allLow ? 0 : (allHigh ? 255 : b);
        c = allLow ? 0 : (allHigh ? 255 : c);
        SpillStep(a, b, c);
        SpillStep(b, a, c);
        SpillStep(c, a, b);
    }
    a = Clamp255(a);
    b = Clamp255(b);
    c = Clamp255(c);
}

void Contrast(const FilterJob& job) {
    const int w = job.width;
    const int h = job.height;
    const long long mean = MeanGrey(job, job.work);
    job.progress->Report(5);

    const double f = (double(job.parameter) + 100) / 100;
    int table[256];
    // Per channel, the value in place and, in the top bit, whether it left 0..255.
    std::uint32_t lanes[3][256];
    bool anyOutside = false;
    // 32-bit lanes are exact while every value and its spills stay far from overflow.
    bool lanesFit = true;
    for (int i = 0; i < 256; ++i) {
        const double v = std::nearbyint(f * double(i - mean) + double(mean));
        // Far beyond any pixel's reach; keeps the integers sane for absurd factors.
        table[i] = int(v > 1e9 ? 1e9 : (v < -1e9 ? -1e9 : v));
        const bool outside = table[i] < 0 || table[i] > 255;
        anyOutside = anyOutside || outside;
        lanesFit = lanesFit && table[i] > -(1 << 24) && table[i] < (1 << 24);
        const std::uint32_t flag = outside ? 0x80000000u : 0u;
        const std::uint32_t fitted = std::uint32_t(table[i]) & 0xFF;
        lanes[0][i] = fitted | flag;
        lanes[1][i] = (fitted << 8) | flag;
        lanes[2][i] = (fitted << 16) | flag;
    }
    if (!anyOutside) {
        // "Contrast -" and other curves that stay inside: a plain look-up,
        // still reporting the second pass's figures after the mean's 5.
        ForEachWord(
            job,
            [&lanes](std::uint32_t v) {
                return (v & kUnusedMask) | lanes[0][v & 0xFF] | lanes[1][(v >> 8) & 0xFF] |
                       lanes[2][(v >> 16) & 0xFF];
            },
            95, 5);
        return;
    }
    ForRows(
        job, 0, h - 1, true,
        [&](int y) {
            PixelWord* row = reinterpret_cast<PixelWord*>(job.workRow(y));
            // Pixels that leave the range are noted without a branch and
            // spilled afterwards, so a picture full of them does not stall.
            // Chunks of the row keep the notes on the stack.
            constexpr int kChunk = 256;
            int spillAt[kChunk];
            std::uint32_t original[kChunk];
            const std::uint32_t* const lb = lanes[0];
            const std::uint32_t* const lg = lanes[1];
            const std::uint32_t* const lr = lanes[2];
            const int width = w;
            for (int x0 = 0; x0 < width; x0 += kChunk) {
                const int x1 = std::min(width, x0 + kChunk);
                int count = 0;
                for (int x = x0; x < x1; ++x) {
                    const std::uint32_t v = row[x];
                    const std::uint32_t n =
                        lb[v & 0xFF] | lg[(v >> 8) & 0xFF] | lr[(v >> 16) & 0xFF];
                    row[x] = (v & kUnusedMask) | (n & kColourMask);
                    spillAt[count] = x;
                    original[count] = v;
                    count += int(n >> 31);
                }
                int k = lanesFit ? SpillChunk(table, original, spillAt, count, row) : 0;
                for (; k < count; ++k) {
                    const std::uint32_t v = original[k];
                    long long a = table[v & 0xFF];
                    long long b = table[(v >> 8) & 0xFF];
                    long long c = table[(v >> 16) & 0xFF];
                    SpillIntoRange(a, b, c);
                    row[spillAt[k]] = (v & kUnusedMask) | std::uint32_t(a) |
                                      (std::uint32_t(b) << 8) | (std::uint32_t(c) << 16);
                }
            }
        },
        [&job](int y) { return job.Figure(y, 95, 5); });
    job.progress->Report(100);
}

namespace {

struct Range {
    int lo[3], hi[3];
};

__attribute__((target_clones("avx2", "default"))) Range RowRange(const PixelWord* row, int w) {
    int lb = 255, lg = 255, lr = 255, hb = 0, hg = 0, hr = 0;
    for (int x = 0; x < w; ++x) {
        const std::uint32_t v = row[x];
        const int b = int(v & 0xFF);
        const int g = int((v >> 8) & 0xFF);
        const int r = int((v >> 16) & 0xFF);
        lb = b < lb ? b : lb;
        lg = g < lg ? g : lg;
        lr = r < lr ? r : lr;
        hb = b > hb ? b : hb;
        hg = g > hg ? g : hg;
        hr = r > hr ? r : hr;
    }
    return Range{{lb, lg, lr}, {hb, hg, hr}};
}

} // namespace

void ContrastStretch(const FilterJob& job) {
    const int w = job.width;
    const int h = job.height;
    std::vector<Range> rows(std::size_t(h > 0 ? h : 0));
    ForRows(
        job, 0, h - 1, true,
        [&](int y) { rows[y] = RowRange(reinterpret_cast<const PixelWord*>(job.workRow(y)), w); },
        [&job](int y) { return job.Figure(y, 10); });
    int lo[3] = {255, 255, 255};
    int hi[3] = {0, 0, 0};
    for (const Range& r : rows) {
        for (int c = 0; c < 3; ++c) {
            lo[c] = r.lo[c] < lo[c] ? r.lo[c] : lo[c];
            hi[c] = r.hi[c] > hi[c] ? r.hi[c] : hi[c];
        }
    }
    job.progress->Report(10);

    // One word table per channel, each value already in its channel's place.
    std::uint32_t lanes[3][256];
    for (int c = 0; c < 3; ++c) {
        for (int v = 0; v < 256; ++v) {
            std::uint32_t out = std::uint32_t(v); // a flat channel keeps its values
            if (hi[c] != lo[c]) {
                const double s = std::nearbyint(double(v - lo[c]) * 255 / double(hi[c] - lo[c]));
                out = std::uint32_t(s < 0 ? 0 : (s > 255 ? 255 : s));
            }
            lanes[c][v] = out << (8 * c);
        }
    }
    ForRows(
        job, 0, h - 1, true,
        [&](int y) {
            PixelWord* row = reinterpret_cast<PixelWord*>(job.workRow(y));
            const std::uint32_t* const lb = lanes[0];
            const std::uint32_t* const lg = lanes[1];
            const std::uint32_t* const lr = lanes[2];
            const int width = w;
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = row[x];
                row[x] =
                    (v & kUnusedMask) | lb[v & 0xFF] | lg[(v >> 8) & 0xFF] | lr[(v >> 16) & 0xFF];
            }
        },
        [&job](int y) { return job.Figure(y, 90, 10); });
    job.progress->Report(100);
}

} // namespace fotello::filters
