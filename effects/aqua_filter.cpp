// "Aqua": each channel takes the mean of the calmest of the four 3 x 3
// quadrants that share the pixel as a corner (the Kuwahara rule), read from
// the copy. One vectorised loop over the bytes of a row; rows split across cores.

#include "effects/filters.h"

namespace fotello::filters {

namespace {

using Byte = std::uint8_t;

// Mean and spread of the 3 x 3 block whose top-left byte is at p.
struct Quadrant {
    int mean;
    int spread;
};

inline Quadrant Measure(const Byte* const rows[5], std::size_t i, int dx0, int dy0) {
    int sum = 0;
    for (int dy = 0; dy < 3; ++dy) {
        const Byte* r = rows[dy0 + dy] + i;
        for (int dx = 0; dx < 3; ++dx) {
            sum += r[(dx0 + dx - 2) * 4];
        }
    }
    const int mean = sum / 9;
    int spread = 0;
    for (int dy = 0; dy < 3; ++dy) {
        const Byte* r = rows[dy0 + dy] + i;
        for (int dx = 0; dx < 3; ++dx) {
            const int d = r[(dx0 + dx - 2) * 4] - mean;
            spread += d < 0 ? -d : d;
        }
    }
    return Quadrant{mean, spread};
}

__attribute__((target_clones("avx2", "default"))) void AquaRow(const Byte* r0, const Byte* r1,
                                                               const Byte* r2, const Byte* r3,
                                                               const Byte* r4, Byte* __restrict out,
                                                               std::size_t begin, std::size_t end) {
    const Byte* const rows[5] = {r0, r1, r2, r3, r4};
    for (std::size_t i = begin; i < end; ++i) {
        // Order: upper left, upper right, lower left, lower right; ties keep the earlier.
        const Quadrant q0 = Measure(rows, i, 0, 0);
        const Quadrant q1 = Measure(rows, i, 2, 0);
        const Quadrant q2 = Measure(rows, i, 0, 2);
        const Quadrant q3 = Measure(rows, i, 2, 2);
        int best = q0.mean;
        int limit = q0.spread; // every spread is below the starting limit of 99999
        if (q1.spread < limit) {
            best = q1.mean;
            limit = q1.spread;
        }
        if (q2.spread < limit) {
            best = q2.mean;
            limit = q2.spread;
        }
        if (q3.spread < limit) {
            best = q3.mean;
        }
        out[i] = Byte(best);
    }
}

} // namespace

void Aqua(const FilterJob& job) {
    const int w = job.width;
    const int h = job.height;
    if (w >= 5 && h >= 5) {
        ForRows(
            job, 2, h - 3, true,
            [&](int y) {
                Byte* out = job.workRow(y);
                AquaRow(job.sourceRow(y - 2), job.sourceRow(y - 1), job.sourceRow(y),
                        job.sourceRow(y + 1), job.sourceRow(y + 2), out, 8, std::size_t(w - 2) * 4);
                RestoreUnused(out, job.sourceRow(y), 2, w - 3);
            },
            PlainFigure(job));
    }
    job.progress->Report(100);
}

} // namespace fotello::filters
