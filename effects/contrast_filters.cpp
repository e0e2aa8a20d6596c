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
#include "effects/wide_lookup.h"

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

// Spills the noted pixels eight at a time, their values from the table by
// their original words, into a, b and c; the rest (fewer than eight) are left
// for the caller. Returns how many were done.
__attribute__((target_clones("avx2", "default"))) int SpillChunk(const int* table,
                                                                 const std::uint32_t* original,
                                                                 std::int32_t* a, std::int32_t* b,
                                                                 std::int32_t* c, int count) {
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        Lanes va, vb, vc;
        for (int i = 0; i < 8; ++i) {
            const std::uint32_t v = original[k + i];
            va[i] = table[v & 0xFF];
            vb[i] = table[(v >> 8) & 0xFF];
            vc[i] = table[(v >> 16) & 0xFF];
        }
        // Every lane was noted, so the first round is never skipped.
        for (int round = 0; round < 256; ++round) {
            const Lanes allLow = (va <= 0) & (vb <= 0) & (vc <= 0);
            const Lanes allHigh = (va >= 255) & (vb >= 255) & (vc >= 255);
            va = allLow ? Lanes{} : (allHigh ? Lanes{} + 255 : va);
            vb = allLow ? Lanes{} : (allHigh ? Lanes{} + 255 : vb);
            vc = allLow ? Lanes{} : (allHigh ? Lanes{} + 255 : vc);
            SpillStepLanes(va, vb, vc);
            SpillStepLanes(vb, va, vc);
            SpillStepLanes(vc, va, vb);
            const Lanes out = (va < 0) | (va > 255) | (vb < 0) | (vb > 255) | (vc < 0) | (vc > 255);
            // Four words ORed rather than eight lanes taken out one by one.
            std::uint64_t words[4];
            std::memcpy(words, &out, sizeof words);
            if ((words[0] | words[1] | words[2] | words[3]) == 0)
                break;
        }
        std::memcpy(a + k, &va, sizeof va);
        std::memcpy(b + k, &vb, sizeof vb);
        std::memcpy(c + k, &vc, sizeof vc);
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
    // Per channel, the value in place and, in the top bit, whether it left 0..255;
    // and the same as bytes for the wide look-up.
    std::uint32_t lanes[3][256];
    std::uint8_t fitted[256], high[256], outside[256];
    bool anyOutside = false;
    bool fits16 = true; // the values as 16-bit: fitted is their low byte, high the other
    // 32-bit lanes are exact while every value and its spills stay far from overflow.
    bool lanesFit = true;
    for (int i = 0; i < 256; ++i) {
        const double v = std::nearbyint(f * double(i - mean) + double(mean));
        // Far beyond any pixel's reach; keeps the integers sane for absurd factors.
        table[i] = int(v > 1e9 ? 1e9 : (v < -1e9 ? -1e9 : v));
        const bool out = table[i] < 0 || table[i] > 255;
        anyOutside = anyOutside || out;
        lanesFit = lanesFit && table[i] > -(1 << 24) && table[i] < (1 << 24);
        const std::uint32_t flag = out ? 0x80000000u : 0u;
        fits16 = fits16 && table[i] >= -32768 && table[i] <= 32767;
        fitted[i] = std::uint8_t(table[i] & 0xFF);
        high[i] = std::uint8_t((table[i] >> 8) & 0xFF);
        outside[i] = out ? 0xFF : 0;
        lanes[0][i] = fitted[i] | flag;
        lanes[1][i] = (std::uint32_t(fitted[i]) << 8) | flag;
        lanes[2][i] = (std::uint32_t(fitted[i]) << 16) | flag;
    }
    if (!anyOutside) {
        // "Contrast -" and other curves that stay inside: a plain look-up,
        // still reporting the second pass's figures after the mean's 5.
        ThroughTables(job, {fitted, fitted, fitted}, 95, 5);
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
            int spillAt[kChunk + 16];
            std::uint32_t original[kChunk + 16];
            std::int32_t va[kChunk + 16], vb[kChunk + 16], vc[kChunk + 16];
            std::uint32_t spilled[kChunk + 16];
            const std::uint32_t* const lb = lanes[0];
            const std::uint32_t* const lg = lanes[1];
            const std::uint32_t* const lr = lanes[2];
            const int width = w;
            for (int x0 = 0; x0 < width; x0 += kChunk) {
                const int x1 = std::min(width, x0 + kChunk);
                int wideCount = 0;
                int x = x0;
                if (job.wideLookups)
                    x += LookupWideNoting(row + x0, x1 - x0, fitted, outside, original, spillAt, x0,
                                          wideCount);
                // A local count: its address has not escaped, so the stores to
                // the row do not make the loop read it back from memory.
                int count = wideCount;
                for (; x < x1; ++x) {
                    const std::uint32_t v = row[x];
                    const std::uint32_t n =
                        lb[v & 0xFF] | lg[(v >> 8) & 0xFF] | lr[(v >> 16) & 0xFF];
                    row[x] = (v & kUnusedMask) | (n & kColourMask);
                    spillAt[count] = x;
                    original[count] = v;
                    count += int(n >> 31);
                }
                // The noted pixels spilled: sixteen at a time where the
                // processor allows, else eight, then one by one.
                int done = 0;
                if (job.wideLookups && fits16) {
                    done = SpillWide(original, count, fitted, high, spilled);
                    for (int i = 0; i < done; ++i)
                        row[spillAt[i]] = spilled[i];
                }
                const int rest = count - done;
                int k = lanesFit ? SpillChunk(table, original + done, va, vb, vc, rest) : 0;
                for (int i = k; i < rest; ++i) {
                    const std::uint32_t v = original[done + i];
                    long long a = table[v & 0xFF], b = table[(v >> 8) & 0xFF],
                              c = table[(v >> 16) & 0xFF];
                    SpillIntoRange(a, b, c);
                    va[i] = std::int32_t(a);
                    vb[i] = std::int32_t(b);
                    vc[i] = std::int32_t(c);
                }
                for (k = 0; k < rest; ++k)
                    row[spillAt[done + k]] = (original[done + k] & kUnusedMask) |
                                             std::uint32_t(va[k]) | (std::uint32_t(vb[k]) << 8) |
                                             (std::uint32_t(vc[k]) << 16);
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

    std::uint8_t tables[3][256];
    for (int c = 0; c < 3; ++c) {
        for (int v = 0; v < 256; ++v) {
            int out = v; // a flat channel keeps its values
            if (hi[c] != lo[c]) {
                const double s = std::nearbyint(double(v - lo[c]) * 255 / double(hi[c] - lo[c]));
                out = int(s < 0 ? 0 : (s > 255 ? 255 : s));
            }
            tables[c][v] = std::uint8_t(out);
        }
    }
    ThroughTables(job, {tables[0], tables[1], tables[2]}, 90, 10);
}

} // namespace fotello::filters
