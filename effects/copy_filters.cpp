// Neighbourhood filters that read the untouched copy: rows are independent, so
// they are split across the cores, and each row is one loop over the bytes
// that the compiler vectorises (AVX2 where the processor has it). The unused
// byte is computed along and then put back from the copy.

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "effects/filters.h"

#define FOTELLO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))

namespace fotello::filters {

namespace {

using Byte = std::uint8_t;

struct Rows {
    const Byte* __restrict a; // row above
    const Byte* __restrict b; // this row
    const Byte* __restrict c; // row below
    Byte* __restrict out;
    const short* __restrict lift; // the colour parameter, per byte
    std::size_t begin, end;       // bytes of the columns 1 .. W - 2
};

inline Byte Clip(int v) {
    return Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
}

FOTELLO_VECTOR_CLONES void ContourRow(Rows r) {
    // Sixteen-bit lanes hold every value: |8 x C - N8 + k| stays below 2,600.
    for (std::size_t i = r.begin; i < r.end; ++i) {
        const std::uint16_t n8 = std::uint16_t(r.a[i - 4] + r.a[i] + r.a[i + 4] + r.b[i - 4] +
                                               r.b[i + 4] + r.c[i - 4] + r.c[i] + r.c[i + 4]);
        const short v = short(short(r.b[i] << 3) - short(n8) + r.lift[i]);
        r.out[i] = Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

inline short S(Byte v) {
    return short(v);
}

FOTELLO_VECTOR_CLONES void EmbossWideRow(Rows r) {
    for (std::size_t i = r.begin; i < r.end; ++i) {
        const short v = short(S(r.a[i - 4]) - S(r.a[i + 4]) + S(r.b[i - 4]) - S(r.b[i + 4]) +
                              S(r.c[i - 4]) - S(r.c[i + 4]) + r.lift[i]);
        r.out[i] = Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

FOTELLO_VECTOR_CLONES void EngraveWideRow(Rows r) {
    for (std::size_t i = r.begin; i < r.end; ++i) {
        const short v = short(S(r.a[i + 4]) - S(r.a[i - 4]) + S(r.b[i + 4]) - S(r.b[i - 4]) +
                              S(r.c[i + 4]) - S(r.c[i - 4]) + r.lift[i]);
        r.out[i] = Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

FOTELLO_VECTOR_CLONES void ReliefRow(Rows r) {
    for (std::size_t i = r.begin; i < r.end; ++i) {
        const short s = short(2 * S(r.a[i - 4]) + S(r.b[i - 4]) + S(r.a[i]) - S(r.c[i]) -
                              S(r.b[i + 4]) - 2 * S(r.c[i + 4]));
        // Division truncating toward zero, as C++ does.
        const short v = short(short(S(r.b[i]) + s) / 2 + 50);
        r.out[i] = Byte(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

inline Byte Max3(Byte x, Byte y, Byte z) {
    const Byte m = x > y ? x : y;
    return m > z ? m : z;
}
inline Byte Min3(Byte x, Byte y, Byte z) {
    const Byte m = x < y ? x : y;
    return m < z ? m : z;
}

FOTELLO_VECTOR_CLONES void DilateRow(Rows r) {
    for (std::size_t i = r.begin; i < r.end; ++i) {
        r.out[i] = Max3(Max3(r.a[i - 4], r.a[i], r.a[i + 4]), Max3(r.b[i - 4], r.b[i], r.b[i + 4]),
                        Max3(r.c[i - 4], r.c[i], r.c[i + 4]));
    }
}

FOTELLO_VECTOR_CLONES void ErodeRow(Rows r) {
    for (std::size_t i = r.begin; i < r.end; ++i) {
        r.out[i] = Min3(Min3(r.a[i - 4], r.a[i], r.a[i + 4]), Min3(r.b[i - 4], r.b[i], r.b[i + 4]),
                        Min3(r.c[i - 4], r.c[i], r.c[i + 4]));
    }
}

FOTELLO_VECTOR_CLONES void InverseContourRow(Rows r) {
    for (std::size_t i = r.begin; i < r.end; ++i) {
        const Byte m =
            Min3(Min3(r.a[i - 4], r.a[i], r.a[i + 4]), Min3(r.b[i - 4], r.b[i], r.b[i + 4]),
                 Min3(r.c[i - 4], r.c[i], r.c[i + 4]));
        r.out[i] = Byte(r.b[i] - m);
    }
}

// Rows 1 .. H - 2, columns 1 .. W - 2 computed from the pixels as they were;
// the outer ring keeps its values. No copy of the whole picture is made:
// each core walks down a band of rows keeping the row above as it was, and
// the two rows bordering each band, which another core may change first, are
// put aside before any core starts. The bytes are those a full copy gives.
void RunFromCopy(const FilterJob& job, void (*row)(Rows)) {
    const int w = job.width;
    const int h = job.height;
    if (w >= 3 && h >= 3) {
        const ColourParts k = SplitColour(job.parameter);
        const std::size_t stride = job.stride();
        std::vector<short> lift(std::size_t(w) * 4);
        for (int x = 0; x < w; ++x) {
            lift[std::size_t(x) * 4 + 0] = short(k.blue);
            lift[std::size_t(x) * 4 + 1] = short(k.green);
            lift[std::size_t(x) * 4 + 2] = short(k.red);
        }
        // Bands a few times longer than the runner's usual ones: fewer edge rows.
        const int first = 1;
        const int last = h - 2;
        // perBand x w must fit an int: the runner is handed exactly that many pixels a band.
        const long long wanted = (long long)job.bandPixels * 4 / w;
        const int perBand =
            int(std::clamp<long long>(wanted, 1, std::min(last - first + 1, INT_MAX / w)));
        const int bands = (last - first + 1 + perBand - 1) / perBand;
        std::vector<Byte> edges(std::size_t(bands) * 2 * stride);
        for (int b = 0; b < bands; ++b) {
            const int y0 = first + b * perBand;
            const int y1 = std::min(last, y0 + perBand - 1);
            std::memcpy(edges.data() + std::size_t(2 * b) * stride, job.workRow(y0 - 1), stride);
            std::memcpy(edges.data() + std::size_t(2 * b + 1) * stride, job.workRow(y1 + 1),
                        stride);
        }
        struct Scratch {
            std::vector<Byte> above; // the row above, as it was
            std::vector<Byte> out;
            int lastRow = -2;
        };
        std::vector<Scratch> scratch(std::size_t(job.threads),
                                     Scratch{std::vector<Byte>(stride), std::vector<Byte>(stride)});
        FilterJob banded = job;
        banded.bandPixels = perBand * w; // the runner's bands are then exactly these
        ForRows(
            banded, first, last, true,
            [&](int y, int worker) {
                Scratch& mine = scratch[std::size_t(worker)];
                const int b = (y - first) / perBand;
                const int y1 = std::min(last, first + b * perBand + perBand - 1);
                const Byte* above = mine.lastRow == y - 1
                                        ? mine.above.data()
                                        : edges.data() + std::size_t(2 * b) * stride;
                const Byte* below =
                    y == y1 ? edges.data() + std::size_t(2 * b + 1) * stride : job.workRow(y + 1);
                Byte* current = job.workRow(y);
                row(Rows{above, current, below, mine.out.data(), lift.data(), 4,
                         std::size_t(w - 1) * 4});
                std::memcpy(mine.above.data(), current, stride); // for the row below
                StoreKeepingUnused(current, mine.out.data(), 1, w - 2);
                mine.lastRow = y;
            },
            PlainFigure(job));
    }
    job.progress->Report(100);
}

} // namespace

void Contour(const FilterJob& job) {
    RunFromCopy(job, ContourRow);
}
void EmbossWide(const FilterJob& job) {
    RunFromCopy(job, EmbossWideRow);
}
void EngraveWide(const FilterJob& job) {
    RunFromCopy(job, EngraveWideRow);
}
void Relief(const FilterJob& job) {
    RunFromCopy(job, ReliefRow);
}
void Dilate(const FilterJob& job) {
    RunFromCopy(job, DilateRow);
}
void Erode(const FilterJob& job) {
    RunFromCopy(job, ErodeRow);
}
void InverseContour(const FilterJob& job) {
    RunFromCopy(job, InverseContourRow);
}

} // namespace fotello::filters
