// Contrast around the picture's mean grey, and contrast stretch per channel.
// Both have a first pass over the whole picture; its sums are 64-bit, so a
// large white picture does not overflow them.

#include <cmath>
#include <cstring>
#include <vector>

#include "effects/filters.h"

namespace fotello::filters {

namespace {

using Byte = std::uint8_t;

inline bool InRange(long long v) {
    return v >= 0 && v <= 255;
}

// Pushes a channel that left 0..255 back in and shares what it lost with the
// other two, so the pixel keeps its hue instead of clipping channel by channel.
inline void SpillStep(long long& v, long long& o1, long long& o2) {
    if (v < 0) {
        o1 += v / 2;
        o2 += v / 2;
        v = 0;
    } else if (v > 255) {
        const long long e = (v - 255) / 2;
        o1 += e;
        o2 += e;
        v = 255;
    }
}

} // namespace

void SpillIntoRange(long long& a, long long& b, long long& c) {
    // The shares halve each round; the guard only matters for absurd parameters.
    for (int round = 0; round < 256 && !(InRange(a) && InRange(b) && InRange(c)); ++round) {
        if (a <= 0 && b <= 0 && c <= 0) {
            a = b = c = 0;
        }
        if (a >= 255 && b >= 255 && c >= 255) {
            a = b = c = 255;
        }
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
    std::vector<long long> rowSums(std::size_t(h > 0 ? h : 0));
    ForRows(
        job, 0, h - 1, true,
        [&](int y) {
            const Byte* row = job.workRow(y);
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
    const long long mean = n > 0 ? sum / n : 0;
    job.progress->Report(5);

    const double f = (double(job.parameter) + 100) / 100;
    long long table[256];
    for (int i = 0; i < 256; ++i) {
        const double v = std::nearbyint(f * double(i - mean) + double(mean));
        // Far beyond any pixel's reach; keeps the integers sane for absurd factors.
        table[i] = (long long)(v > 1e12 ? 1e12 : (v < -1e12 ? -1e12 : v));
    }
    ForRows(
        job, 0, h - 1, true,
        [&](int y) {
            const Byte* src = job.workRow(y);
            Byte* out = job.workRow(y);
            for (int x = 0; x < w; ++x) {
                const Byte* s = src + std::size_t(x) * 4;
                long long a = table[s[0]];
                long long b = table[s[1]];
                long long c = table[s[2]];
                if (!(InRange(a) && InRange(b) && InRange(c))) {
                    SpillIntoRange(a, b, c);
                }
                Byte* o = out + std::size_t(x) * 4;
                o[0] = Byte(a);
                o[1] = Byte(b);
                o[2] = Byte(c);
            }
        },
        [&job](int y) { return job.Figure(y, 95, 5); });
    job.progress->Report(100);
}

void ContrastStretch(const FilterJob& job) {
    const int w = job.width;
    const int h = job.height;
    struct Range {
        Byte lo[3], hi[3];
    };
    std::vector<Range> rows(std::size_t(h > 0 ? h : 0));
    ForRows(
        job, 0, h - 1, true,
        [&](int y) {
            const Byte* row = job.workRow(y);
            Range r{{255, 255, 255}, {0, 0, 0}};
            for (int x = 0; x < w; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const Byte v = row[std::size_t(x) * 4 + c];
                    r.lo[c] = v < r.lo[c] ? v : r.lo[c];
                    r.hi[c] = v > r.hi[c] ? v : r.hi[c];
                }
            }
            rows[y] = r;
        },
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

    Byte table[3][256];
    for (int c = 0; c < 3; ++c) {
        for (int v = 0; v < 256; ++v) {
            if (hi[c] == lo[c]) {
                table[c][v] = Byte(v); // a flat channel keeps its values
            } else {
                const double s = std::nearbyint(double(v - lo[c]) * 255 / double(hi[c] - lo[c]));
                table[c][v] = Byte(s < 0 ? 0 : (s > 255 ? 255 : s));
            }
        }
    }
    ForRows(
        job, 0, h - 1, true,
        [&](int y) {
            Byte* row = job.workRow(y);
            for (int x = 0; x < w; ++x) {
                Byte* px = row + std::size_t(x) * 4;
                px[0] = table[0][px[0]];
                px[1] = table[1][px[1]];
                px[2] = table[2][px[2]];
            }
        },
        [&job](int y) { return job.Figure(y, 90, 10); });
    job.progress->Report(100);
}

} // namespace fotello::filters
